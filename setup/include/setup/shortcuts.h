// Shell shortcuts (.lnk files) in the current user's special folders.
#pragma once

#include "base/strings.h"

namespace kq {

// The special folder a shortcut goes into, each named by its value under the current user's
// "Shell Folders" key. Ordinal values are fixed.
enum class TShortcutFolder {
    sfDesktop = 0,
    sfStartMenu = 1,
    sfPrograms = 2,
    sfStartup = 3,
    sfQuickLaunch = 4, // below AppData
};

// Saves a shortcut to target, named linkName (the target's file name when empty) with ".lnk" in
// place of its extension, into folder, or into its sub-folder subFolder, which is made when
// missing (one level: the special folder itself must exist). The shortcut starts in the target's
// folder and carries the name, before its extension is replaced, as its description. An empty
// target makes a shortcut named "我的电脑" (in the code page of 936).
//
// True when the file was saved (an existing one is replaced). False when the "Shell Folders" key
// cannot be opened, the folder is unknown or its path empty, the sub-folder cannot be made or
// the save fails. Raises an error when the shell cannot make a link object, or when the folder's
// value in the registry is not a string. Needs COM on the calling thread (ComApartment).
bool CreateShortcut(const AnsiString& target, const AnsiString& linkName, TShortcutFolder folder,
                    const AnsiString& subFolder);

// The name with its extension (from the last "." after the last "\" or ":") replaced by ext,
// or ext appended when it has none.
AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& ext);

} // namespace kq
