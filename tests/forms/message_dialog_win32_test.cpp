// The message dialog on Windows, driven from a second thread the way a user would: its caption and
// buttons are the toolkit's own texts, Yes is the default that Enter presses, Escape and the
// close box answer No, and it opens in the middle of the screen.
#include "forms/dialogs.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

namespace kq {
namespace {

struct Seen {
    std::string caption;
    std::vector<std::string> buttons;
    bool yesIsDefault = false;
    bool centred = false;
};

BOOL CALLBACK FirstVisible(HWND w, LPARAM lp) {
    if (!IsWindowVisible(w)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

HWND WaitForDialog(DWORD threadId) {
    for (int i = 0; i < 200; ++i) {
        HWND found = nullptr;
        EnumThreadWindows(threadId, FirstVisible, reinterpret_cast<LPARAM>(&found));
        if (found != nullptr) {
            return found;
        }
        Sleep(50);
    }
    return nullptr;
}

std::string TextOf(HWND w) {
    char text[256];
    const int length = GetWindowTextA(w, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

// Shows the dialog on this thread while another looks at it and then does `answer` to it.
int AskWhile(Seen& seen, const std::function<void(HWND)>& answer) {
    const DWORD me = GetCurrentThreadId();
    std::thread user([&] {
        HWND dialog = WaitForDialog(me);
        if (dialog == nullptr) {
            return;
        }
        seen.caption = TextOf(dialog);
        for (HWND b = FindWindowExA(dialog, nullptr, "Button", nullptr); b != nullptr;
             b = FindWindowExA(dialog, b, "Button", nullptr)) {
            seen.buttons.push_back(TextOf(b));
            if (TextOf(b) == "&Yes") {
                seen.yesIsDefault = (GetWindowLongA(b, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON;
            }
        }
        RECT r{};
        GetWindowRect(dialog, &r);
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        seen.centred = std::abs((r.left + r.right) - (work.left + work.right)) <= 2 &&
                       std::abs((r.top + r.bottom) - (work.top + work.bottom)) <= 2;
        answer(dialog);
    });
    const int result = MessageDialog("Cancel the setup?", TDialogKind::Confirmation,
                                     {TDialogButton::Yes, TDialogButton::No});
    user.join();
    return result;
}

void PressKey(HWND dialog, WPARAM key) {
    HWND focus = GetDlgItem(dialog, IDYES); // the default button has the focus
    PostMessageA(focus, WM_KEYDOWN, key, 0);
    PostMessageA(focus, WM_KEYUP, key, 0);
}

TEST(MessageDialogWindows, AnswersAsTheUserPressed) {
    struct Case {
        const char* name;
        std::function<void(HWND)> answer;
        int expected;
    };
    const Case cases[] = {
        {"Yes clicked", [](HWND d) { PostMessageA(GetDlgItem(d, IDYES), BM_CLICK, 0, 0); }, 6},
        {"No clicked", [](HWND d) { PostMessageA(GetDlgItem(d, IDNO), BM_CLICK, 0, 0); }, 7},
        {"Enter", [](HWND d) { PressKey(d, VK_RETURN); }, 6},
        {"Escape", [](HWND d) { PressKey(d, VK_ESCAPE); }, 7},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seen seen;
        EXPECT_EQ(AskWhile(seen, c.answer), c.expected);
        EXPECT_EQ(seen.caption, "Confirm");
        EXPECT_EQ(seen.buttons, (std::vector<std::string>{"&Yes", "&No"}));
        EXPECT_TRUE(seen.yesIsDefault);
        EXPECT_TRUE(seen.centred);
    }
}

} // namespace
} // namespace kq
