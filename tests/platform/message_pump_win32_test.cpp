// The Windows message pump leaves a quit request for the main loop, and can be paced.

#include "platform/messages.h"
#include "platform/win32_api.h"
#include "test/hooks.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(MessagePumpWin32, AQuitRequestStaysInTheQueue) {
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0);
    ::PostQuitMessage(7);
    ProcessMessages();

    MSG message;
    ASSERT_TRUE(::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "the queue is empty";
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT)) << "the other message was dispatched";
    EXPECT_EQ(message.wParam, 7u) << "the exit code travels with it";
    EXPECT_FALSE(::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessagePumpWin32, PendingMessagesAreDispatched) {
    for (int i = 0; i < 5; ++i) {
        ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP + i, 0, 0);
    }
    ProcessMessages();
    MSG message;
    EXPECT_FALSE(::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

// A paced pump leaves messages for a later turn but still gives the hook every turn; once the
// pacing is lifted, the next call dispatches what waited. An hour keeps the second call within the
// interval whatever the machine's speed.
TEST(MessagePumpWin32, APacedPumpWaitsForItsTurnButAlwaysCallsTheHook) {
    test::ScopedHooks hooks;
    int hookCalls = 0;
    SetMessagePumpHook([&hookCalls] { ++hookCalls; });
    EXPECT_EQ(SetMessagePumpInterval(3600 * 1000), 0u) << "not paced at the start";
    ProcessMessages();
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0);
    ProcessMessages();
    MSG message;
    EXPECT_TRUE(::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
        << "dispatched within the interval";
    EXPECT_EQ(SetMessagePumpInterval(0), 3600u * 1000);
    ProcessMessages();
    EXPECT_FALSE(::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
        << "still waiting once the pacing is lifted";
    EXPECT_EQ(hookCalls, 3);
}

// A redraw is due at once, then not again within the interval; a pacer of 0 ms is always due.
TEST(MessagePumpWin32, ARedrawPacerAllowsOneRedrawPerInterval) {
    TRedrawPacer hourly(3600 * 1000);
    EXPECT_TRUE(hourly.Due());
    EXPECT_FALSE(hourly.Due());
    EXPECT_FALSE(hourly.Due());
    TRedrawPacer always(0);
    EXPECT_TRUE(always.Due());
    EXPECT_TRUE(always.Due());
}

} // namespace
} // namespace kq
