// Finding and reading the windows of the program under test from another process.
//
// Every native window that mirrors a component carries the window property "KavoruQyn.Name": a
// global atom whose name is the component's name, and "KavoruQyn.Class": an atom of the
// component's class name. Window properties and global atoms are kept by the system, not by the
// program, so another process can read them.
#pragma once

#include <string>
#include <vector>
#include <windows.h>

namespace kqdriver {

// A failed command; the message says what was expected and what was found.
class Failure {
public:
    explicit Failure(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// The component name of w, "" when w mirrors no component.
std::string ComponentName(HWND w);
// The component class of w (TForm, TTabSheet...), "" when w mirrors no component.
std::string ComponentClass(HWND w);

// The top-level windows of process pid (every process when pid is 0) and all their descendants,
// parents before children.
std::vector<HWND> AllWindows(DWORD pid);
std::vector<HWND> TopLevelWindows(DWORD pid);
// Every window below top, parents before children.
std::vector<HWND> Descendants(HWND top);

// The caption of a top-level window as the system keeps it: no message is sent, so a window that
// does not answer cannot hold the driver up.
std::string Caption(HWND w);

// The window text through WM_GETTEXT, which, unlike GetWindowText, reaches the content of edit
// controls in another process. Throws Failure when the window does not answer.
std::string WindowText(HWND w);
std::string WindowClassName(HWND w);

// Sends msg and waits at most timeoutMs for the answer; false when it did not come in time (the
// message is still processed later). A message that opens a modal dialog only returns when the
// dialog closes, hence the limit.
bool SendWithin(HWND w, UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs, DWORD_PTR* result);

// text with every '&' that marks an accelerator removed ("&&" stands for one '&').
std::string WithoutAccelerator(const std::string& text);

} // namespace kqdriver
