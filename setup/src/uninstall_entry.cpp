#include "setup/uninstall_entry.h"

#include "platform/registry.h"
#include "setup/uconst.h"

namespace kq {

namespace {

// The folder without its trailing "\", except at a drive's root ("C:\"), which needs it.
AnsiString WithoutTrailingBackslash(const AnsiString& folder) {
    if (folder.size() > 3 && folder.back() == '\\') {
        return folder.substr(0, folder.size() - 1);
    }
    return folder;
}

// The list's size column counts KiB in a DWORD.
std::uint32_t KiB(std::uint64_t bytes) {
    const std::uint64_t kib = (bytes + 1023) / 1024;
    return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kib);
}

} // namespace

bool WriteUninstallEntry(const TUninstallEntry& entry) {
    RegKey key;
    if (!key.Create(TRegistryRoot::LocalMachine, kUninstallKey)) {
        return false;
    }
    const AnsiString uninstaller = "\"" + entry.folder + uconst::kUninstallerExe + "\"";
    bool written = key.SetStringValue("DisplayName", entry.displayName);
    written = key.SetStringValue("DisplayVersion", entry.displayVersion) && written;
    written = key.SetStringValue("Publisher", entry.publisher) && written;
    written =
        key.SetStringValue("InstallLocation", WithoutTrailingBackslash(entry.folder)) && written;
    written = key.SetStringValue("DisplayIcon", entry.folder + uconst::kProgramExe) && written;
    written = key.SetStringValue("UninstallString", uninstaller) && written;
    written = key.SetStringValue("QuietUninstallString", uninstaller + " /S") && written;
    written = key.SetDwordValue("EstimatedSize", KiB(entry.installedBytes)) && written;
    written = key.SetDwordValue("NoModify", 1) && written;
    written = key.SetDwordValue("NoRepair", 1) && written;
    return written;
}

} // namespace kq
