// The Windows message pump leaves a quit request for the main loop.

#include "platform/messages.h"
#include "platform/win32_api.h"

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

} // namespace
} // namespace kq
