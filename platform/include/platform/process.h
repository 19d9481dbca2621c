#pragma once

// Starting another program and ending this one.

#include "platform/errors.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kq {

namespace err {
inline constexpr std::uint32_t BadExeFormat = 193;
}

// Process creation flags, with Windows' values (CREATE_...).
namespace create {
inline constexpr std::uint32_t DefaultErrorMode = 0x04000000;
}

// What a program start asks for.
struct ProcessRequest {
    // The program's path, or empty to take the program from the start of the command line.
    // Windows reads an unquoted command line up to the first blank, then tries longer prefixes
    // ("C:\Program.exe" before "C:\Program Files\..."), so a path with blanks that is not quoted
    // may start another program: name the program here and quote it in the command line.
    std::string applicationName;
    // Passed to the program as it stands.
    std::string commandLine;
    // The new program's current folder; empty for this process's.
    std::string currentDirectory;
    std::uint32_t creationFlags = 0;
};

struct ProcessIds {
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
};

// Starts the program with this process's environment, no inherited handles and a start-up
// record that is all defaults, and does not wait for it. True when the process was created;
// ids, when given, receive its identifiers (the stand-in has no thread id). The handles Windows
// returns are closed here.
//
// The stand-in starts the program itself when it is an executable of the host (its arguments
// split at blanks, double quotes grouping them, \" standing for a quote); it cannot run other
// programs and fails with err::BadExeFormat for an existing file, err::FileNotFound or
// err::PathNotFound for a missing one.
//
// A launcher installed by a test receives the request instead, on both platforms, and its
// answer is the result.
bool CreateProcess(const ProcessRequest& request, ProcessIds* ids = nullptr);

using ProcessLauncher = std::function<bool(const ProcessRequest& request)>;
// Installs the launcher for every later CreateProcess; an empty function removes it.
void SetProcessLauncher(ProcessLauncher launcher);

// The full path of this program's file ("C:\dir\Setup.exe"). The stand-in answers the path set
// by SetModuleFileName (standin.h), "C:\Setup.exe" until one is set.
std::string GetModuleFileName();

// Ends this process with exitCode at once, after flushing the C library's output buffers;
// nothing else is cleaned up (no destructors, no exit handlers).
//
// A hook installed by a test is called first, on both platforms. To check "the program would end
// here with 0", it throws an exception of its own type (not derived from kq::Exception, so that
// no handler of the program catches it) and the test catches it; a hook that returns lets the
// process end.
[[noreturn]] void ExitProcess(std::uint32_t exitCode);

using ExitProcessHook = std::function<void(std::uint32_t exitCode)>;
// Installs the hook for every later ExitProcess; an empty function removes it.
void SetExitProcessHook(ExitProcessHook hook);

} // namespace kq
