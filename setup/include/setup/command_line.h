// Setup.exe's switches, read from the command line as the system keeps it.
#pragma once

#include "base/strings.h"

namespace kq {

// What the command line asks for. Without any switch every field keeps its default and the
// wizard runs as it always has.
struct TSetupOptions {
    bool silent = false;    // /S: no window, no message box
    bool hasFolder = false; // /D=<folder> was given
    AnsiString folder;      // its folder, as typed
    AnsiString logFile;     // /LOG=<file>; empty for no log
    // The first thing the line got wrong (an unknown switch, a switch without its value), empty
    // when the line is good. The rest of the line is still read, so that /S and /LOG= given
    // beside a mistake are known when it is reported.
    AnsiString usageError;
};

// The switches, for the usage error.
inline constexpr const char* kSetupUsage = "Usage: Setup.exe [/S] [/LOG=<file>] [/D=<folder>]";

// Reads the switches of commandLine, the program's path (quoted or not) first.
//
// The switches are separated by blanks and their names compare without regard to ASCII case.
// A double quote groups blanks into a switch and is removed ("/LOG=C:\My logs\s.txt" quoted
// whole or in part). /D= must come last: everything after it up to the end of the line is the
// folder, blanks included, quotes kept as they are, trailing blanks dropped. A switch quoted
// whole from its start ("/D=C:\My Apps") is read as one switch, its quotes removed.
TSetupOptions ParseSetupCommandLine(const AnsiString& commandLine);

} // namespace kq
