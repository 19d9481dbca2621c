// UnInstall.exe's command line.
//
//   /S            silent: no question, no message; the result is the exit code and /LOG=
//   /LOG=<file>   one line per path looked at, with its outcome; a quoted file may hold blanks
//   /REMOVE=<exe> (internal) run by the copy in the temporary folder: wait for <exe> to end,
//                 delete it and its folder if empty
#pragma once

#include "base/strings.h"

namespace kq {

// Exit codes.
inline constexpr int kUninstallDone = 0;
inline constexpr int kUninstallCancelled = 1;
inline constexpr int kUninstallKept = 2;
inline constexpr int kUninstallUsage = 5;

struct TUninstallOptions {
    bool silent = false;
    AnsiString logFile;
    AnsiString removeOriginal;
    bool valid = true; // false for an unknown switch or a stray word
};

// Reads the arguments after the program's name.
TUninstallOptions ParseUninstallOptions(const AnsiString& arguments);
// The same for a whole command line, the program's name (quoted or not) first. The program reads
// its own command line rather than WinMain's argument, whose start the C runtime finds by its own
// rules.
TUninstallOptions ParseUninstallCommandLine(const AnsiString& commandLine);

} // namespace kq
