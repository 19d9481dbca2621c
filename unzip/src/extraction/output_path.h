// Where an entry's file is written. The stored path is the archive's say, and archives come from
// anywhere: before any folder or file is made, the path is turned into one that stays below the
// destination folder and names an ordinary file on Windows.
//
// - The leading RootDir (compared ignoring case) is taken off the stored folder.
// - Prefixes that reach outside the folder are dropped: "\", "\\server\share" becomes the folders
//   server\share, "\\?\" and "\\.\" go, and a leading drive ("C:", "C:\") goes.
// - "." and ".." folders are dropped, as are folders made only of dots and blanks (Windows
//   strips trailing dots and blanks, so ". ." would be "." to it).
// - Bytes Windows does not allow in a name (control bytes, < > : " / \ | ? *) become "_"; ":"
//   would otherwise name an alternate data stream. The second byte of a double-byte character
//   is never taken for one of them.
// - A name ending in a dot or blank gets "_" for each of them, and a device name (CON, PRN, AUX,
//   NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, CLOCK$, with or without an extension) gets a leading
//   "_", so that the file made is the one named.
//
// The entry keeps its stored path: Pathname and Filename report it unchanged.
#pragma once

#include "base/strings.h"

#include <string_view>

namespace kq {

// The stored folder (directory part, "\" between folders) with rootDir taken off its front when
// it starts with it, made safe: "" or relative folders each followed by "\".
AnsiString SafeEntryFolder(std::string_view directory, std::string_view rootDir, int codePage);

// A stored file name made safe; never empty for a non-empty name.
AnsiString SafeEntryFileName(std::string_view name, int codePage);

// The folder an entry's file goes to, ending in "\": destDir followed by the safe folder when
// the entry's folders are recreated, else destDir itself.
AnsiString EntryOutputFolder(std::string_view destDir, std::string_view directory,
                             std::string_view rootDir, bool recreateDirs, int codePage);

} // namespace kq
