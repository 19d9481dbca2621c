#pragma once

// Controls of the stand-in platform used by native builds; not available on Windows.
//
// Windows paths map onto one root folder of the host: "X:\a\b" becomes "<root>/x/a/b" (the
// drive letter lower-cased), "\" becomes "/", a path without a drive stays relative to the
// process's current folder, "\a" takes the current folder's drive (C when the current folder
// lies outside the root) and "\\server\share" becomes "<root>/unc/server/share". Name bytes are
// converted from the ANSI code page to UTF-8 on the way in and back on the way out. Names keep
// their case: unlike Windows, the stand-in tells "A.txt" from "a.txt".
//
// The root is the folder set by SetRootFolder, else the variable KQ_ROOT, else
// "$HOME/.kavoruqyn", else "/tmp/kavoruqyn-root".
//
// What the stand-in does not imitate: sharing modes (a second writer is never refused) and
// volume labels (always empty).

#include <cstdint>
#include <optional>
#include <string>

namespace kq {

// An empty folder returns to the default root.
void SetRootFolder(const std::string& hostFolder);
std::string RootFolder();

// The host path for a Windows path; nothing (err::InvalidName) when the name's bytes are not
// valid in the ANSI code page.
std::optional<std::string> HostPath(const std::string& windowsPath);

// Makes GetModuleFileName() answer path (a Windows path); empty returns to "C:\Setup.exe".
void SetModuleFileName(const std::string& path);

// Makes GetCommandLine() answer line, as given; empty returns to "C:\Setup.exe".
void SetCommandLine(const std::string& line);

// Makes GetACP() answer codePage; 0 returns to KQ_ACP and the locale.
void SetAnsiCodePage(std::uint32_t codePage);

} // namespace kq
