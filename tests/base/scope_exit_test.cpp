// ScopeExit runs its action however the scope ends; the exception that ends a scope is the one the
// caller sees, and an action's own exception reaches the caller only when nothing else is on its
// way (also when the scope itself lies in a destructor run by unwinding).
#include "base/scope_exit.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace kq {
namespace {

struct ScopeCase {
    const char* name;
    bool scopeRaises;  // the scope's own work ends it by an exception
    bool actionRaises; // the action raises too
    bool dismissed;
    int expectedRuns;
    std::string expectedCaught; // what the caller catches; "" for nothing
};

const ScopeCase kScopeCases[] = {
    {"ends normally", false, false, false, 1, ""},
    {"ends by an exception", true, false, false, 1, "work"},
    {"the action raises after a normal end", false, true, false, 1, "action"},
    {"the action raises while unwinding: the first exception wins", true, true, false, 1, "work"},
    {"dismissed", false, true, true, 0, ""},
    {"dismissed, ended by an exception", true, true, true, 0, "work"},
};

TEST(ScopeExit, RunsItsActionHoweverTheScopeEnds) {
    for (const ScopeCase& c : kScopeCases) {
        SCOPED_TRACE(c.name);
        int runs = 0;
        std::string caught;
        try {
            ScopeExit guard([&] {
                ++runs;
                if (c.actionRaises) {
                    throw std::runtime_error("action");
                }
            });
            if (c.dismissed) {
                guard.Dismiss();
            }
            if (c.scopeRaises) {
                throw std::runtime_error("work");
            }
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
        EXPECT_EQ(runs, c.expectedRuns);
        EXPECT_EQ(caught, c.expectedCaught);
    }
}

// A destructor run by unwinding may use a guard of its own: that scope ends normally, so its
// action's exception reaches the destructor's handler, while the outer one goes on.
struct CleansUp {
    std::string& seen;
    ~CleansUp() {
        try {
            ScopeExit inner([] { throw std::runtime_error("inner"); });
        } catch (const std::runtime_error& e) {
            seen = e.what();
        }
    }
};

TEST(ScopeExit, AGuardInADestructorRunByUnwindingEndsNormally) {
    std::string seen;
    std::string caught;
    try {
        CleansUp cleanup{seen};
        throw std::runtime_error("outer");
    } catch (const std::runtime_error& e) {
        caught = e.what();
    }
    EXPECT_EQ(seen, "inner");
    EXPECT_EQ(caught, "outer");
}

} // namespace
} // namespace kq
