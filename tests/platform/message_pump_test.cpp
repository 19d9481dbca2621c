// The message pump gives a test's hook its turn, the way a user's click would come in during a
// long extraction.

#include "platform/messages.h"
#include "test/hooks.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

TEST(MessagePump, TheHookRunsOncePerCall) {
    test::ScopedHooks hooks;
    int calls = 0;
    SetMessagePumpHook([&calls] { ++calls; });
    ProcessMessages();
    ProcessMessages();
    ProcessMessages();
    EXPECT_EQ(calls, 3);
    SetMessagePumpHook(nullptr);
    ProcessMessages();
    EXPECT_EQ(calls, 3) << "a removed hook is not called";
}

TEST(MessagePump, AHookMayRemoveItselfWhileItRuns) {
    test::ScopedHooks hooks;
    // The captured text makes the closure too big to be kept inside the std::function, so a
    // hook destroyed while it runs would be caught by the address sanitizer.
    std::string seen;
    const std::string name(40, 'h');
    SetMessagePumpHook([&seen, name] {
        SetMessagePumpHook(nullptr);
        seen = name;
    });
    ProcessMessages();
    ProcessMessages();
    EXPECT_EQ(seen, name);
}

} // namespace
} // namespace kq
