#pragma once

// Writing profile (INI) files: "[section]" lines, each followed by "key=value" lines, ANSI
// bytes, lines ending in CR LF.

#include "platform/errors.h"

#include <string>

namespace kq {

// Sets key to value in section of the profile file, as Windows' private-profile writer does:
// the file is created when missing (its folder is not), a missing section is appended at the end
// of the file, a missing key at the end of its section, and an existing key gets the new value.
// Section and key names compare without regard to case and to blanks around them; the value
// loses its leading blanks. A file name without a folder ("a.ini") names a file in the Windows
// folder.
//
// Text that would change the file's structure is refused with err::InvalidParameter, nothing
// written: a line break or NUL anywhere, "]" in the section, "=" in the key or a key beginning
// with "[". (Windows would write it and a reader would then find other sections and keys.)
//
// The stand-in rewrites the whole file, through a temporary file and a rename, in one normal
// form: every section as "[name]" and its lines as "key=value" (lines
// without "=", such as comments, as they are), no blank lines, lines before the first section
// kept first. Like Windows it refuses a read-only file (err::AccessDenied).
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& fileName);

} // namespace kq
