#pragma once

// The process's current folder and the system's folders, in Windows form.

#include "platform/errors.h"

#include <string>

namespace kq {

// The current folder, without a trailing backslash except at a drive root; empty on failure.
// The stand-in answers in Windows form ("C:\dir") while the current folder lies under its root
// and with the host path otherwise.
std::string GetCurrentDirectory();
bool SetCurrentDirectory(const std::string& path);

// The absolute form of path: relative paths are taken from the current folder, "." and ".."
// are resolved and "/" becomes "\". The path need not exist. Empty on failure.
std::string GetFullPathName(const std::string& path);

// The Windows folder, without a trailing backslash ("C:\windows" in the stand-in).
std::string GetWindowsDirectory();

// The folder for temporary files, ending in a backslash.
std::string GetTempPath();

} // namespace kq
