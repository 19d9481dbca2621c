#pragma once

// What an uninstaller needs beyond files.h, registry.h and shell.h: listing a folder, telling a
// link or junction from a plain folder, reading a shell link's target, removing registry values
// and keys, copying a file, and removing a file when the system next starts.

#include "platform/errors.h"

#include <string>
#include <vector>

namespace kq {

// The names in a folder (files and folders, without "." and ".."), in the system's order; empty
// with LastError set when the folder cannot be read.
std::vector<std::string> ListFolder(const std::string& folder);

// True for a symbolic link, a junction or any other reparse point; false for a plain file or
// folder and for a missing path. The stand-in answers for host symbolic links.
bool IsLinkOrJunction(const std::string& path);

// The target path a shell link (.lnk) names; false when the file is not a link that names a
// path. Windows asks the shell; the stand-in reads the link's local base path, as it writes it.
bool ReadShellLinkTarget(const std::string& linkPath, std::string& target);

// Removes a value of a key of the current user's registry. False with err::FileNotFound when
// the key or the value does not exist.
bool DeleteRegistryValue(const std::string& subKey, const std::string& name);

// Removes a key without subkeys from the local machine's registry (HKEY_LOCAL_MACHINE), in a
// 32-bit program's view. The stand-in keeps that registry in "<root>/registry/HKLM.txt", in the
// form registry.h describes.
bool DeleteMachineKey(const std::string& subKey);

// Copies a file, replacing the target.
bool CopyFileTo(const std::string& from, const std::string& to);

// Asks the system to delete the file when it next starts (it needs an administrator). The
// stand-in appends the path to "<root>/pending_deletes.txt".
bool DeleteFileAtRestart(const std::string& path);

// Suspends the calling thread.
void SleepMilliseconds(unsigned milliseconds);

} // namespace kq
