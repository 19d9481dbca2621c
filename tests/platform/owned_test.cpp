// Owned releases each handle it holds exactly once, whichever way its ownership ends: a handle
// released twice (a descriptor number reused meanwhile) or never (a leak) is the fault it guards.

#include "platform/owned.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

// Handles are numbers, -1 meaning none as for descriptors; each release is recorded.
std::vector<int>& Released() {
    static std::vector<int> released;
    return released;
}

struct RecordingTraits {
    using Handle = int;
    static constexpr int None = -1;
    static void Release(int handle) { Released().push_back(handle); }
};
using Held = Owned<RecordingTraits>;

struct Case {
    const char* name;
    std::function<void()> run;
    std::vector<int> released; // in order, once the scope of run has ended
};

TEST(Owned, ReleasesEachHandleOnceHoweverOwnershipEnds) {
    const Case cases[] = {
        {"the owner goes", [] { const Held held(3); }, {3}},
        {"an owner of none", [] { const Held held; }, {}},
        {"moved to another owner",
         [] {
             Held first(3);
             const Held second(std::move(first));
             EXPECT_FALSE(first) << "the moved-from owner holds none";
         },
         {3}},
        {"moved over a held handle",
         [] {
             Held first(3);
             Held second(4);
             second = std::move(first);
             EXPECT_EQ(Released(), std::vector<int>{4}) << "the replaced handle goes at once";
         },
         {4, 3}},
        {"moved onto itself",
         [] {
             Held held(3);
             Held& same = held;
             held = std::move(same);
             EXPECT_EQ(held.Get(), 3);
         },
         {3}},
        {"received again",
         [] {
             Held held(3);
             *held.Receive() = 4;
             EXPECT_EQ(Released(), std::vector<int>{3}) << "the old handle goes before the call";
         },
         {3, 4}},
        {"given up",
         [] {
             Held held(3);
             EXPECT_EQ(held.Release(), 3);
         },
         {}},
        {"reset to another",
         [] {
             Held held(3);
             held.Reset(4);
             held.Reset();
             EXPECT_FALSE(held);
         },
         {3, 4}},
    };
    for (const Case& c : cases) {
        Released().clear();
        c.run();
        EXPECT_EQ(Released(), c.released) << c.name;
    }
}

} // namespace
} // namespace kq
