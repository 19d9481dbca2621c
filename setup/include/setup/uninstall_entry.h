// The product's entry in the system's list of installed programs (Apps & features).
#pragma once

#include "base/strings.h"

#include <cstdint>

namespace kq {

// What the entry says of one installation; the paths it names are derived from folder.
struct TUninstallEntry {
    AnsiString displayName;
    AnsiString displayVersion;
    AnsiString publisher;
    AnsiString folder; // the installation folder, ending in "\"
    std::uint64_t installedBytes = 0;
};

// The machine's key of the entries, and the product's entry below it.
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KavoruQyn";

// Writes the entry under the machine's key: the names above, InstallLocation (the folder without
// its last "\"), DisplayIcon (the installed program), UninstallString (UnInstall.exe's quoted
// path) and QuietUninstallString (the same with " /S"), EstimatedSize in KiB rounded up, NoModify
// and NoRepair set to 1. True when every value was written.
bool WriteUninstallEntry(const TUninstallEntry& entry);

} // namespace kq
