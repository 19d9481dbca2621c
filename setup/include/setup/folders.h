// The wizard's folder and process utilities: free functions keeping no state; a folder path they
// return ends in a backslash.
#pragma once

#include "base/strings.h"
#include "platform/process.h"

#include <string>

namespace kq {

// The Windows directory, ending in "\".
AnsiString GetWindowsDirPath();
// The drive root of the Windows directory (its first three characters, such as C:\) followed by
// "Program Files\". Derived from the Windows directory's drive, not asked of the system.
AnsiString GetProgramFilesDir();

// Creates dir and its missing parents. True when dir exists as a folder afterwards. A parent is
// found by scanning from the character before the last one down to the fourth for "\" or "/",
// so the trailing separator and the drive root are never taken for a parent.
bool CreateDirChain(const AnsiString& dir);

// The shell's folder dialog titled title, below root (empty: the whole namespace). True when the
// user confirmed a folder; dir is then its path ending in "\" (a drive root keeps its one
// backslash). False leaves dir empty. Errors are swallowed.
bool BrowseForFolder(const AnsiString& title, const std::wstring& root, AnsiString& dir);

// Starts the program commandLine names, with its folder (up to and including the last "\") as the
// working folder, and does not wait. The path is quoted in the command line and named as the
// program, so a path with blanks cannot start another program (C:\Program.exe). True when the
// process was created.
bool RunProgram(const AnsiString& commandLine, ProcessIds* ids = nullptr);

} // namespace kq
