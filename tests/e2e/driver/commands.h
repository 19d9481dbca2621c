// The driver's commands: what they take, what they do, and the list of commands parsed from the
// command line.
#pragma once

#include "window_finder.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace kqdriver {

// An owned kernel handle.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Reset(nullptr); }

    HANDLE Get() const { return h_; }
    void Reset(HANDLE h) {
        if (h_ != nullptr) {
            CloseHandle(h_);
        }
        h_ = h;
    }

private:
    HANDLE h_ = nullptr;
};

// What the commands share: the program under test and how long to wait for things.
// How often the driver looks again while it waits for something.
inline constexpr DWORD pollMs = 50;

struct Session {
    Handle process; // of the program started or attached to; none: look at every process
    DWORD pid = 0;
    DWORD waitMs = 10000;
};

// The exit code of the program under test once it has ended.
inline std::optional<DWORD> ExitCodeIfEnded(const Session& s) {
    if (s.process.Get() == nullptr || WaitForSingleObject(s.process.Get(), 0) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(s.process.Get(), &code);
    return code;
}

// Calls probe until it gives a value or waitMs have passed. Gives up early when the program under
// test has ended: nothing it showed will come back.
template <class Probe>
auto WaitFor(const Session& s, DWORD waitMs, Probe probe) -> decltype(probe()) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (auto found = probe()) {
            return found;
        }
        if (auto code = ExitCodeIfEnded(s)) {
            if (auto found = probe()) {
                return found;
            }
            throw Failure("the program has ended (exit code " + std::to_string(*code) + ")");
        }
        if (GetTickCount() - start >= waitMs) {
            return {};
        }
        Sleep(pollMs);
    }
}

// The shapes of a command's arguments.
enum class Param {
    Text,           // any word
    Number,         // decimal digits
    OptionalNumber, // taken when the next word is decimal digits
    OptionalPng,    // taken when the next word ends in ".png"
    RestUntilDashes // every word up to a lone "--"
};

struct Command {
    const char* name;
    std::vector<Param> params;
    const char* help;
    std::function<std::string(Session&, const std::vector<std::string>&)> run;
};

struct Invocation {
    const Command* command;
    std::vector<std::string> args;
};

// The commands in the order of the words; throws Failure for an unknown command or missing or
// malformed arguments.
std::vector<Invocation> ParseScript(const std::vector<std::string>& words);

// The command list for the usage message.
std::string Usage();

} // namespace kqdriver
