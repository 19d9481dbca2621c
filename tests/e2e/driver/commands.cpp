#include "commands.h"

#include "glyph_check.h"
#include "keys.h"
#include "window_finder.h"

#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace kqdriver {
namespace {

using Args = std::vector<std::string>;

// A click that opens a modal dialog only returns when the dialog closes; the driver stops
// waiting after this long and goes on (to answer the dialog, typically).
constexpr DWORD clickAnswerMs = 500;

bool IsDigits(const std::string& word) {
    return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}

DWORD ToNumber(const std::string& word) {
    return std::strtoul(word.c_str(), nullptr, 10);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// ---- waiting -----------------------------------------------------------------------------------

std::string Waited(DWORD ms) {
    return " (waited " + std::to_string(ms) + " ms)";
}

// ---- finding -----------------------------------------------------------------------------------

HWND FindNamedNow(const Session& s, const std::string& name) {
    for (HWND w : AllWindows(s.pid)) {
        if (ComponentName(w) == name) {
            return w;
        }
    }
    return nullptr;
}

HWND FindNamed(const Session& s, const std::string& name) {
    auto w = WaitFor(s, s.waitMs, [&]() -> std::optional<HWND> {
        if (HWND found = FindNamedNow(s, name)) {
            return found;
        }
        return std::nullopt;
    });
    if (!w) {
        throw Failure("no window named " + Quoted(name) + Waited(s.waitMs));
    }
    return *w;
}

// A visible top-level window whose caption or component name is text.
std::optional<HWND> FindTopLevelNow(const Session& s, const std::string& text) {
    for (HWND w : TopLevelWindows(s.pid)) {
        if (IsWindowVisible(w) && (ComponentName(w) == text || Caption(w) == text)) {
            return w;
        }
    }
    return std::nullopt;
}

HWND FindTopLevel(const Session& s, const std::string& text, DWORD waitMs) {
    auto w = WaitFor(s, waitMs, [&] { return FindTopLevelNow(s, text); });
    if (!w) {
        throw Failure("no visible window with caption or name " + Quoted(text) + Waited(waitMs));
    }
    return *w;
}

// A dialog box (message boxes, the folder dialog) of that caption; the main window may carry
// the same caption as the program's message boxes.
HWND FindDialog(const Session& s, const std::string& caption, DWORD waitMs) {
    auto w = WaitFor(s, waitMs, [&]() -> std::optional<HWND> {
        for (HWND w : TopLevelWindows(s.pid)) {
            if (IsWindowVisible(w) && WindowClassName(w) == "#32770" && Caption(w) == caption) {
                return w;
            }
        }
        return std::nullopt;
    });
    if (!w) {
        throw Failure("no dialog with caption " + Quoted(caption) + Waited(waitMs));
    }
    return *w;
}

std::vector<HWND> DescendantsOfClass(HWND top, const std::string& windowClass) {
    std::vector<HWND> found;
    for (HWND w : Descendants(top)) {
        if (WindowClassName(w) == windowClass) {
            found.push_back(w);
        }
    }
    return found;
}

std::vector<std::string> VisiblePages(const Session& s) {
    std::vector<std::string> pages;
    for (HWND w : AllWindows(s.pid)) {
        if (ComponentClass(w) == "TTabSheet" && IsWindowVisible(w)) {
            pages.push_back(ComponentName(w));
        }
    }
    return pages;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& w : words) {
        if (!line.empty()) {
            line += ' ';
        }
        line += w;
    }
    return line;
}

// ---- describing --------------------------------------------------------------------------------

// The window style flags that matter to the tests, in words. The box flags share their bits with
// WS_GROUP and WS_TABSTOP, which is what they mean on a child window.
std::string StyleWords(HWND w) {
    const auto style = static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE));
    auto word = [style](DWORD flag, const char* name) {
        return std::string((style & flag) == flag ? "" : "no-") + name;
    };
    std::vector<std::string> words;
    if (style & WS_CHILD) {
        words = {"child", word(WS_TABSTOP, "tabstop"), word(WS_GROUP, "group")};
    } else {
        words = {word(WS_CAPTION, "caption"), word(WS_SYSMENU, "sysmenu"),
                 word(WS_MINIMIZEBOX, "minimize-box"), word(WS_MAXIMIZEBOX, "maximize-box"),
                 word(WS_THICKFRAME, "sizable")};
    }
    words.push_back(style & WS_VISIBLE ? "visible" : "hidden");
    words.push_back(style & WS_DISABLED ? "disabled" : "enabled");
    return Joined(words);
}

// Left, top, width and height: on the screen for a top-level window, in the parent's client area
// for a child.
std::string Bounds(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    if (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(HWND_DESKTOP, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    }
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top);
}

DWORD_PTR AskNumber(HWND w, UINT msg) {
    DWORD_PTR value = 0;
    if (!SendWithin(w, msg, 0, 0, 5000, &value)) {
        throw Failure("the window does not answer");
    }
    return value;
}

// ---- the program -------------------------------------------------------------------------------

// One argument of a command line, quoted so the C runtime's parser gives it back unchanged:
// backslashes are literal except before a quote, where they are doubled.
std::string CommandLineArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        return arg;
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

std::string Start(Session& s, const Args& a) {
    if (s.process.Get() != nullptr) {
        throw Failure("a program is already started or attached");
    }
    std::string commandLine;
    for (const std::string& arg : a) {
        if (!commandLine.empty()) {
            commandLine += ' ';
        }
        commandLine += CommandLineArgument(arg);
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi)) {
        throw Failure("cannot start it (error " + std::to_string(GetLastError()) + ")");
    }
    CloseHandle(pi.hThread);
    s.process.Reset(pi.hProcess);
    s.pid = pi.dwProcessId;
    return "started, pid " + std::to_string(s.pid);
}

std::string Attach(Session& s, const Args& a) {
    if (s.process.Get() != nullptr) {
        throw Failure("a program is already started or attached");
    }
    const HWND w = FindTopLevel(s, a[0], a.size() > 1 ? ToNumber(a[1]) : s.waitMs);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        throw Failure("cannot open its process (error " + std::to_string(GetLastError()) + ")");
    }
    s.process.Reset(process);
    s.pid = pid;
    return "attached, pid " + std::to_string(pid);
}

DWORD WaitForExit(const Session& s, DWORD waitMs) {
    if (s.process.Get() == nullptr) {
        throw Failure("no program was started or attached");
    }
    if (WaitForSingleObject(s.process.Get(), waitMs) != WAIT_OBJECT_0) {
        throw Failure("the program is still running" + Waited(waitMs));
    }
    DWORD code = 0;
    GetExitCodeProcess(s.process.Get(), &code);
    return code;
}

// Watches the program until it ends: a visible top-level window of it at any moment fails.
// Returns the exit code. A program that never ends is a failure too.
DWORD ExitWithoutWindow(const Session& s, DWORD waitMs) {
    if (s.process.Get() == nullptr) {
        throw Failure("no program was started or attached");
    }
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(s.process.Get(), 5) != WAIT_OBJECT_0) {
        for (HWND w : TopLevelWindows(s.pid)) {
            if (IsWindowVisible(w)) {
                throw Failure("a window is shown: '" + Caption(w) + "'");
            }
        }
        if (GetTickCount() - start > waitMs) {
            throw Failure("the program is still running" + Waited(waitMs));
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(s.process.Get(), &code);
    return code;
}

// ---- screenshots -------------------------------------------------------------------------------

// wine-run takes the picture: the request names the file (empty: wine-run's --screenshot file),
// the reply says "ok" or why not.
std::string Screenshot(Session& s, const Args& a) {
    // The program has painted what it last changed once it answers messages again; the rest of
    // the moment is for the display to show it.
    for (HWND w : TopLevelWindows(s.pid)) {
        if (IsWindowVisible(w)) {
            SendWithin(w, WM_NULL, 0, 0, 5000, nullptr);
        }
    }
    Sleep(200);

    const char* folder = std::getenv("KQ_SCREENSHOT_DIR_WIN");
    if (folder == nullptr) {
        throw Failure("screenshots are taken by scripts/wine-run; run the driver through it");
    }
    const std::string request = std::string(folder) + "\\request";
    const std::string reply = std::string(folder) + "\\reply";
    DeleteFileA(reply.c_str());
    FILE* f = std::fopen((request + ".tmp").c_str(), "wb");
    if (f == nullptr) {
        throw Failure("cannot write the request in " + std::string(folder));
    }
    const std::string target = a.empty() ? "" : a[0];
    const bool written = std::fwrite(target.data(), 1, target.size(), f) == target.size();
    if (std::fclose(f) != 0 || !written ||
        !MoveFileA((request + ".tmp").c_str(), request.c_str())) {
        throw Failure("cannot write the request in " + std::string(folder));
    }

    std::string answer;
    constexpr DWORD replyMs = 30000;
    const DWORD start = GetTickCount();
    while (answer.empty()) {
        if (GetTickCount() - start >= replyMs) {
            throw Failure("wine-run did not answer" + Waited(replyMs));
        }
        Sleep(pollMs);
        if (FILE* r = std::fopen(reply.c_str(), "rb")) {
            char buf[512];
            answer.assign(buf, std::fread(buf, 1, sizeof buf, r));
            std::fclose(r);
        }
    }
    DeleteFileA(reply.c_str());
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) {
        answer.pop_back();
    }
    if (answer != "ok") {
        throw Failure(answer);
    }
    return "saved";
}

// ---- the commands ------------------------------------------------------------------------------

std::string ExpectText(Session& s, const Args& a) {
    const HWND w = FindNamed(s, a[0]);
    std::string last;
    auto same = WaitFor(s, s.waitMs, [&]() -> std::optional<bool> {
        last = WindowText(w);
        return last == a[1] ? std::optional<bool>(true) : std::nullopt;
    });
    if (!same) {
        throw Failure("expected " + Quoted(a[1]) + ", found " + Quoted(last) + Waited(s.waitMs));
    }
    return "ok";
}

std::string Click(Session& s, const Args& a) {
    const HWND w = FindNamed(s, a[0]);
    // A user can only click what is shown and enabled; a page switch may still be under way.
    auto ready = WaitFor(s, s.waitMs, [&]() -> std::optional<bool> {
        return IsWindowVisible(w) && IsWindowEnabled(w) ? std::optional<bool>(true) : std::nullopt;
    });
    if (!ready) {
        throw Failure(std::string(IsWindowVisible(w) ? "is disabled" : "is not visible") +
                      Waited(s.waitMs));
    }
    return SendWithin(w, BM_CLICK, 0, 0, clickAnswerMs, nullptr) ? "clicked"
                                                                 : "clicked, still busy";
}

std::string PressDialogButton(Session& s, const Args& a) {
    const HWND dialog = FindDialog(s, a[0], s.waitMs);
    const std::string wanted = WithoutAccelerator(a[1]);
    std::vector<std::string> seen;
    // Message boxes keep every kind of button and hide those they do not use.
    for (HWND b : DescendantsOfClass(dialog, "Button")) {
        if (!IsWindowVisible(b)) {
            continue;
        }
        const std::string text = WindowText(b);
        if (WithoutAccelerator(text) == wanted) {
            SendWithin(b, BM_CLICK, 0, 0, clickAnswerMs, nullptr);
            // Gone before the next command looks for a dialog of the same caption, which
            // must then be a new one.
            const DWORD start = GetTickCount();
            while (IsWindow(dialog) && IsWindowVisible(dialog)) {
                if (GetTickCount() - start >= s.waitMs) {
                    throw Failure("pressed " + text + ", the dialog stays" + Waited(s.waitMs));
                }
                Sleep(pollMs);
            }
            return "pressed " + text;
        }
        seen.push_back(Quoted(text));
    }
    throw Failure("no button " + Quoted(a[1]) + " (buttons: " + Joined(seen) + ")");
}

std::string DialogText(Session& s, const Args& a) {
    const HWND dialog = FindDialog(s, a[0], s.waitMs);
    std::vector<std::string> texts;
    for (HWND t : DescendantsOfClass(dialog, "Static")) {
        std::string text = WindowText(t);
        if (!text.empty()) {
            texts.push_back(text);
        }
    }
    return Joined(texts);
}

std::string ExpectPage(Session& s, const Args& a) {
    std::vector<std::string> pages;
    auto shown = WaitFor(s, s.waitMs, [&]() -> std::optional<bool> {
        pages = VisiblePages(s);
        return pages.size() == 1 && pages[0] == a[0] ? std::optional<bool>(true) : std::nullopt;
    });
    if (!shown) {
        throw Failure("the page shown is " + Quoted(Joined(pages)) + Waited(s.waitMs));
    }
    return "ok";
}

std::string ExpectProgress(Session& s, const Args& a) {
    const HWND w = FindNamed(s, a[0]);
    DWORD_PTR last = 0;
    auto reached = WaitFor(s, s.waitMs, [&]() -> std::optional<bool> {
        last = AskNumber(w, PBM_GETPOS);
        return last == ToNumber(a[1]) ? std::optional<bool>(true) : std::nullopt;
    });
    if (!reached) {
        throw Failure("the position is " + std::to_string(last) + Waited(s.waitMs));
    }
    return "ok";
}

// The automation contract's page switch: the page control shows the page of that index.
std::string SetPage(Session& s, const Args& a) {
    static const UINT message = RegisterWindowMessageA("KavoruQyn.SetPage");
    DWORD_PTR shown = 0;
    if (!SendWithin(FindNamed(s, a[0]), message, ToNumber(a[1]), 0, 5000, &shown)) {
        throw Failure("the window does not answer");
    }
    if (shown == 0) {
        throw Failure("it has no page " + a[1]);
    }
    return "ok";
}

// Files the program under test leaves behind, and obstacles the test puts in its way.
std::string WaitFile(Session& s, const Args& a) {
    const DWORD waitMs = a.size() > 1 ? ToNumber(a[1]) : s.waitMs;
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(a[0].c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start >= waitMs) {
            throw Failure("no such file" + Waited(waitMs));
        }
        Sleep(pollMs);
    }
    return "present";
}

// Waits until the file holds at least BYTES bytes: a moment of an installation, told by how far
// its uninstall log has grown.
std::string WaitSize(Session& s, const Args& a) {
    const std::uint64_t wanted = ToNumber(a[1]);
    const DWORD waitMs = a.size() > 2 ? ToNumber(a[2]) : s.waitMs;
    const DWORD start = GetTickCount();
    for (;;) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExA(a[0].c_str(), GetFileExInfoStandard, &data) &&
            ((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow) >= wanted) {
            return "reached";
        }
        if (GetTickCount() - start >= waitMs) {
            throw Failure("not that large" + Waited(waitMs));
        }
        Sleep(1);
    }
}

// Ends the program at once, as the task manager or a power cut would: no message, no unwinding.
std::string Kill(Session& s, const Args&) {
    if (s.process.Get() == nullptr || !TerminateProcess(s.process.Get(), 9) ||
        WaitForSingleObject(s.process.Get(), 10000) != WAIT_OBJECT_0) {
        throw Failure("cannot end the program");
    }
    return "killed";
}

std::string Remove(Session&, const Args& a) {
    const DWORD attributes = GetFileAttributesA(a[0].c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw Failure("no such file or folder");
    }
    const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                             ? RemoveDirectoryA(a[0].c_str())
                             : DeleteFileA(a[0].c_str());
    if (!removed) {
        throw Failure("cannot remove it (error " + std::to_string(GetLastError()) + ")");
    }
    return "removed";
}

std::string ListNames(Session& s, const Args&) {
    std::vector<std::string> names;
    for (HWND w : AllWindows(s.pid)) {
        std::string name = ComponentName(w);
        if (!name.empty()) {
            names.push_back(name + ":" + ComponentClass(w) +
                            (IsWindowVisible(w) ? "" : "(hidden)"));
        }
    }
    return Joined(names);
}

const std::vector<Command>& Commands() {
    using P = Param;
    static const std::vector<Command> commands = {
        {"start",
         {P::Text, P::RestUntilDashes},
         "EXE [ARGS...] --   start the program under test",
         [](Session& s, const Args& a) { return Start(s, a); }},
        {"attach",
         {P::Text, P::OptionalNumber},
         "CAPTION-OR-NAME [MS]   take the program of a window",
         [](Session& s, const Args& a) { return Attach(s, a); }},
        {"detach",
         {},
         "   leave the program running and watch no program, so another can be started",
         [](Session& s, const Args&) {
             s.process.Reset(nullptr);
             s.pid = 0;
             return std::string("detached");
         }},
        {"wait-window",
         {P::Text, P::OptionalNumber},
         "CAPTION-OR-NAME [MS]   wait for a window",
         [](Session& s, const Args& a) {
             FindTopLevel(s, a[0], a.size() > 1 ? ToNumber(a[1]) : s.waitMs);
             return std::string("found");
         }},
        {"click", {P::Text}, "NAME   click a button", Click},
        {"text",
         {P::Text},
         "NAME   print its text",
         [](Session& s, const Args& a) { return WindowText(FindNamed(s, a[0])); }},
        {"expect-text", {P::Text, P::Text}, "NAME TEXT   wait until its text is TEXT", ExpectText},
        {"set-text",
         {P::Text, P::Text},
         "NAME TEXT   replace its text",
         [](Session& s, const Args& a) {
             if (!SendWithin(FindNamed(s, a[0]), WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(a[1].c_str()), 5000, nullptr)) {
                 throw Failure("the window does not answer");
             }
             return std::string("ok");
         }},
        {"checked",
         {P::Text},
         "NAME   print checked, unchecked or indeterminate",
         [](Session& s, const Args& a) {
             const DWORD_PTR state = AskNumber(FindNamed(s, a[0]), BM_GETCHECK);
             return std::string(state == BST_CHECKED     ? "checked"
                                : state == BST_UNCHECKED ? "unchecked"
                                                         : "indeterminate");
         }},
        {"progress",
         {P::Text},
         "NAME   print the position of a progress bar",
         [](Session& s, const Args& a) {
             return std::to_string(AskNumber(FindNamed(s, a[0]), PBM_GETPOS));
         }},
        {"expect-progress",
         {P::Text, P::Number},
         "NAME N   wait until the position is N",
         ExpectProgress},
        {"page",
         {},
         "   print the name of the page shown",
         [](Session& s, const Args&) { return Joined(VisiblePages(s)); }},
        {"expect-page", {P::Text}, "NAME   wait until NAME is the one page shown", ExpectPage},
        {"set-page",
         {P::Text, P::Number},
         "NAME INDEX   show a page of a page control (from 0)",
         SetPage},
        {"dialog",
         {P::Text, P::Text},
         "CAPTION BUTTON   wait for a dialog and press a button",
         PressDialogButton},
        {"dialog-text", {P::Text}, "CAPTION   wait for a dialog and print its message", DialogText},
        {"client-size",
         {P::Text},
         "NAME   print the width and height of its client area",
         [](Session& s, const Args& a) {
             RECT r{};
             GetClientRect(FindNamed(s, a[0]), &r);
             return std::to_string(r.right) + " " + std::to_string(r.bottom);
         }},
        {"bounds",
         {P::Text},
         "NAME   print left, top, width and height",
         [](Session& s, const Args& a) { return Bounds(FindNamed(s, a[0])); }},
        {"style",
         {P::Text},
         "NAME   print its window style in words",
         [](Session& s, const Args& a) { return StyleWords(FindNamed(s, a[0])); }},
        {"enabled",
         {P::Text},
         "NAME   print enabled or disabled",
         [](Session& s, const Args& a) {
             return std::string(IsWindowEnabled(FindNamed(s, a[0])) ? "enabled" : "disabled");
         }},
        {"visible",
         {P::Text},
         "NAME   print visible or hidden",
         [](Session& s, const Args& a) {
             return std::string(IsWindowVisible(FindNamed(s, a[0])) ? "visible" : "hidden");
         }},
        {"close",
         {P::Text},
         "NAME   ask the window to close (WM_CLOSE)",
         [](Session& s, const Args& a) {
             PostMessageA(FindNamed(s, a[0]), WM_CLOSE, 0, 0);
             return std::string("sent");
         }},
        {"wait-exit",
         {P::OptionalNumber},
         "[MS]   wait for the program to end, print its code",
         [](Session& s, const Args& a) {
             return "exit code " +
                    std::to_string(WaitForExit(s, a.empty() ? s.waitMs : ToNumber(a[0])));
         }},
        {"expect-exit-without-window",
         {P::Number, P::OptionalNumber},
         "CODE [MS]   watch the program show no window until it ends with CODE",
         [](Session& s, const Args& a) {
             const DWORD code = ExitWithoutWindow(s, a.size() > 1 ? ToNumber(a[1]) : s.waitMs);
             if (code != ToNumber(a[0])) {
                 throw Failure("the exit code is " + std::to_string(code));
             }
             return std::string("ok");
         }},
        {"expect-exit",
         {P::Number, P::OptionalNumber},
         "CODE [MS]   wait for the program to end with CODE",
         [](Session& s, const Args& a) {
             const DWORD code = WaitForExit(s, a.size() > 1 ? ToNumber(a[1]) : s.waitMs);
             if (code != ToNumber(a[0])) {
                 throw Failure("the exit code is " + std::to_string(code));
             }
             return std::string("ok");
         }},
        {"key",
         {P::Text},
         "CHORD   type a key as real input: Enter, Tab, Esc, Space, Shift+Tab, Alt+N...",
         [](Session& s, const Args& a) { return PressKeys(s, a); }},
        {"focus",
         {},
         "   print the name of the window with the keyboard focus",
         [](Session& s, const Args&) { return FocusedWindow(s); }},
        {"list", {}, "   print every named window as name:class", ListNames},
        {"atom",
         {P::Text},
         "TEXT   print whether the global atom TEXT exists",
         [](Session&, const Args& a) {
             return std::string(GlobalFindAtomA(a[0].c_str()) != 0 ? "present" : "absent");
         }},
        {"wait-file",
         {P::Text, P::OptionalNumber},
         "PATH [MS]   wait until a file or folder exists",
         WaitFile},
        {"wait-size",
         {P::Text, P::Number, P::OptionalNumber},
         "PATH BYTES [MS]   wait until a file holds at least BYTES bytes",
         WaitSize},
        {"kill", {}, "   end the program at once (TerminateProcess)", Kill},
        {"remove", {P::Text}, "PATH   delete a file or an empty folder", Remove},
        {"screenshot", {P::OptionalPng}, "[FILE.png]   ask wine-run for a screenshot", Screenshot},
        {"glyphs",
         {P::Text},
         "CAPTION-OR-NAME|all   check that every character shown has a glyph and fits",
         [](Session& s, const Args& a) { return CheckGlyphs(s, a[0]); }},
        {"sleep",
         {P::Number},
         "MS   wait",
         [](Session&, const Args& a) {
             Sleep(ToNumber(a[0]));
             return std::string("ok");
         }},
        {"timeout",
         {P::Number},
         "MS   how long later commands wait for things",
         [](Session& s, const Args& a) {
             s.waitMs = ToNumber(a[0]);
             return std::to_string(s.waitMs);
         }},
    };
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : Commands()) {
        if (name == c.name) {
            return &c;
        }
    }
    return nullptr;
}

bool EndsWith(const std::string& word, const std::string& end) {
    return word.size() >= end.size() &&
           word.compare(word.size() - end.size(), end.size(), end) == 0;
}

} // namespace

std::vector<Invocation> ParseScript(const std::vector<std::string>& words) {
    if (words.empty()) {
        throw Failure("no commands");
    }
    std::vector<Invocation> script;
    std::size_t i = 0;
    while (i < words.size()) {
        const Command* c = FindCommand(words[i]);
        if (c == nullptr) {
            throw Failure("unknown command " + Quoted(words[i]));
        }
        Invocation step{c, {}};
        ++i;
        for (Param p : c->params) {
            const bool more = i < words.size();
            switch (p) {
            case Param::Text:
            case Param::Number:
                if (!more || (p == Param::Number && !IsDigits(words[i]))) {
                    throw Failure(std::string(c->name) + ": expected " + c->help);
                }
                step.args.push_back(words[i++]);
                break;
            case Param::OptionalNumber:
                if (more && IsDigits(words[i])) {
                    step.args.push_back(words[i++]);
                }
                break;
            case Param::OptionalPng:
                if (more && EndsWith(words[i], ".png")) {
                    step.args.push_back(words[i++]);
                }
                break;
            case Param::RestUntilDashes:
                while (i < words.size() && words[i] != "--") {
                    step.args.push_back(words[i++]);
                }
                if (i == words.size()) {
                    throw Failure(std::string(c->name) + ": end the program's arguments with --");
                }
                ++i;
                break;
            }
        }
        script.push_back(std::move(step));
    }
    return script;
}

std::string Usage() {
    std::string usage = "usage: kqdriver COMMAND [ARGS...]...; commands:";
    for (const Command& c : Commands()) {
        usage += std::string("\n  ") + c.name + " " + c.help;
    }
    return usage;
}

} // namespace kqdriver
