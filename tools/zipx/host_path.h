// Paths given on zipx's command line, in the form the engine takes.
#pragma once

#include <string>

namespace kq::zipx {

// Windows: the argument as given. The stand-in maps Windows paths with a drive onto its own
// root folder, so a host path is handed on relative to the current folder, which it reaches
// unchanged ("/tmp/a" from "/work" becomes "..\tmp\a").
std::string EnginePath(const std::string& argument);

// Settles, once, what the platform would otherwise work out again for every file: the stand-in's
// code page and root folder, which it derives from the environment on each call. Nothing to do
// on Windows.
void SettleHostSettings();

} // namespace kq::zipx
