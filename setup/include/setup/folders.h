// The wizard's folder utilities: free functions keeping no state; a folder path they return ends
// in a backslash.
#pragma once

#include "base/strings.h"

namespace kq {

// The Windows directory, ending in "\".
AnsiString GetWindowsDirPath();
// The drive root of the Windows directory (its first three characters, such as C:\) followed by
// "Program Files\". Derived from the Windows directory's drive, not asked of the system.
AnsiString GetProgramFilesDir();

} // namespace kq
