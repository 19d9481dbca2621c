#pragma once

// The command line this program was started with.

#include <string>

namespace kq {

// The command line as the system keeps it: the program's path (quoted or not) followed by the
// arguments exactly as they were given, blanks and quotes included. The stand-in answers the line
// set by SetCommandLine (standin.h), "C:\Setup.exe" until one is set.
std::string GetCommandLine();

} // namespace kq
