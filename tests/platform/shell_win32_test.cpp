// The shell's own folder dialog, answered by a thread that presses its buttons, with or without
// the caller's COM, and a link object that COM cannot make.

#include "platform/files.h"
#include "platform/shell.h"
#include "platform/win32_api.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>
#include <thread>

namespace kq {
namespace {

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Waits up to ten seconds for a dialog of the thread, then presses the button.
void PressWhenShown(DWORD thread, int button, bool& pressed) {
    for (int attempt = 0; attempt < 100 && !pressed; ++attempt) {
        ::Sleep(100);
        HWND dialog = nullptr;
        ::EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog != nullptr) {
            pressed = ::PostMessageA(dialog, WM_COMMAND, button, 0) != 0;
        }
    }
}

TEST(FolderDialogWin32, TheShellsDialogAnswersCancelAndOk) {
    struct Case {
        const char* name;
        int button;
        bool expected;
    };
    const Case cases[] = {
        {"Cancel", IDCANCEL, false},
        {"OK", IDOK, true},
    };
    test::ScratchFolder scratch;
    ComApartment com;
    for (const Case& c : cases) {
        bool pressed = false;
        std::thread presser(PressWhenShown, ::GetCurrentThreadId(), c.button, std::ref(pressed));
        std::string folder = "stale";
        const std::string root = scratch.Path();
        const bool result =
            ShowFolderDialog("Choose", std::wstring(root.begin(), root.end()), folder);
        const std::uint32_t error = LastError();
        presser.join();
        ASSERT_TRUE(pressed) << c.name << ": no dialog appeared";
        EXPECT_EQ(result, c.expected) << c.name;
        if (c.expected) {
            EXPECT_TRUE(DirectoryExists(folder)) << c.name << ": " << folder;
        } else {
            EXPECT_EQ(folder, "") << c.name;
            EXPECT_EQ(error, err::Cancelled) << c.name;
        }
    }
}

// COM is not initialised at start: the dialog initialises it for itself, and leaves the thread
// as it found it (a link object still cannot be made afterwards).
TEST(FolderDialogWin32, WorksWithoutTheCallersApartmentAndReleasesItsOwn) {
    test::ScratchFolder scratch;
    bool pressed = false;
    std::thread presser(PressWhenShown, ::GetCurrentThreadId(), IDOK, std::ref(pressed));
    std::string folder;
    const std::string root = scratch.Path();
    const bool result = ShowFolderDialog("Choose", std::wstring(root.begin(), root.end()), folder);
    presser.join();
    ASSERT_TRUE(pressed) << "no dialog appeared";
    EXPECT_TRUE(result) << LastError();
    EXPECT_TRUE(DirectoryExists(folder)) << folder;
    ShellLink link;
    EXPECT_FALSE(link.Create()) << "the dialog left COM initialised on this thread";
}

TEST(ShellLinkWin32, CreatingALinkWithoutComFailsApartFromSaving) {
    ShellLink link;
    EXPECT_FALSE(link.Create()) << "COM is not initialised on this thread";
    EXPECT_NE(LastError(), 0u);
    EXPECT_FALSE(link.IsCreated());
}

} // namespace
} // namespace kq
