#include "setup/shortcuts.h"

#include "base/exceptions.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace kq {

namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kQuickLaunchSuffix = "\\Microsoft\\Internet Explorer\\Quick Launch";
// "我的电脑" in code page 936: the name of a shortcut without a target.
constexpr const char* kMyComputer = "\xCE\xD2\xB5\xC4\xB5\xE7\xC4\xD4";

// The registry value holding the folder's path; null for a folder outside the known ones.
const char* ShellFolderValueName(TShortcutFolder folder) {
    switch (folder) {
    case TShortcutFolder::sfDesktop:
        return "Desktop";
    case TShortcutFolder::sfStartMenu:
        return "Start Menu";
    case TShortcutFolder::sfPrograms:
        return "Programs";
    case TShortcutFolder::sfStartup:
        return "Startup";
    case TShortcutFolder::sfQuickLaunch:
        return "AppData";
    }
    return nullptr;
}

// The folder's path from the registry; empty when the value is missing. A value of another type
// than a string is an error in the user's profile, not a missing folder.
AnsiString ReadShellFolder(const RegKey& key, const char* valueName) {
    RegistryValue value;
    if (!key.QueryValue(valueName, value)) {
        return AnsiString();
    }
    if (value.type != reg::Sz && value.type != reg::ExpandSz) {
        throw Exception(AnsiString("Invalid data type for '") + valueName + "'");
    }
    return value.data;
}

} // namespace

AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& ext) {
    const AnsiString old = ExtractFileExt(name, static_cast<int>(GetACP()));
    return name.substr(0, name.size() - old.size()) + ext;
}

bool CreateShortcut(const AnsiString& target, const AnsiString& linkName, TShortcutFolder folder,
                    const AnsiString& subFolder) {
    ShellLink link;
    if (!link.Create()) {
        throw Exception("Cannot create a shell link: " + SysErrorMessage(LastError()));
    }
    link.SetPath(target);
    // Names are split where the code page says a character ends: a second byte 0x5C of a
    // double-byte character is not a folder separator.
    const int codePage = static_cast<int>(GetACP());
    link.SetWorkingDirectory(ExtractFilePath(target, codePage));

    RegKey key;
    if (!key.Open(kShellFoldersKey)) {
        return false;
    }

    AnsiString name;
    if (target.empty()) {
        name = kMyComputer;
    } else {
        name = linkName.empty() ? ExtractFileName(target, codePage) : linkName;
    }
    link.SetDescription(name);
    name = ChangeFileExt(name, ".lnk");

    const char* valueName = ShellFolderValueName(folder);
    if (valueName == nullptr) {
        return false;
    }
    AnsiString folderPath = ReadShellFolder(key, valueName);
    if (folder == TShortcutFolder::sfQuickLaunch) {
        folderPath += kQuickLaunchSuffix;
    }
    if (folderPath.empty()) {
        return false;
    }

    AnsiString linkFolder = folderPath;
    if (!subFolder.empty()) {
        linkFolder += "\\" + subFolder;
        if (!DirectoryExists(linkFolder) && !CreateDirectory(linkFolder)) {
            return false;
        }
    }
    return link.Save(linkFolder + "\\" + name);
}

} // namespace kq
