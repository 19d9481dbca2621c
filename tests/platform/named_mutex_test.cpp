// A named mutex is held by the first object that asks for its name and by no other until that
// one goes: a second copy of a program that thought itself first (two installations at once), or
// a name that stays taken after its holder went (no Setup ever again), is the fault it guards.

#include "platform/named_mutex.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>

namespace kq {
namespace {

// Names of the system's namespace are shared by every test run under the same Windows: each
// test takes names of its own.
std::string FreshName(const char* what) {
    std::random_device random;
    return std::string("Local\\kq-test-") + what + "-" + std::to_string(random());
}

TEST(NamedMutex, OnlyTheFirstHoldsTheNameUntilItGoes) {
    const test::ScratchFolder scratch; // the stand-in keeps its lock files under its root
    const std::string name = FreshName("one");
    auto first = std::make_unique<NamedMutex>(name);
    EXPECT_TRUE(first->Held());
    EXPECT_FALSE(NamedMutex(name).Held()) << "a second object while the first keeps the name";
    EXPECT_FALSE(NamedMutex(name).Held()) << "a refused object does not take the name on leaving";
    EXPECT_TRUE(NamedMutex(FreshName("other")).Held()) << "another name is free";

    first.reset();
    const NamedMutex next(name);
    EXPECT_TRUE(next.Held()) << "the name is free once its holder has gone";
    EXPECT_FALSE(NamedMutex(name).Held()) << "and held again by the next";
}

} // namespace
} // namespace kq
