#pragma once

// The shell: COM for the GUI thread, shell links (.lnk files) and the folder dialog.
//
// The user's special folders (Desktop, Programs...) are read by the caller through the registry
// (registry.h), from the values of "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell
// Folders"; the stand-in's registry has them from its first use.
//
// The stand-in writes shell links in the binary link format itself (see standin/shell_link.cpp),
// so Windows can open them; its folder dialog is answered by a responder that a test installs.

#include "platform/errors.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kq {

namespace err {
inline constexpr std::uint32_t Cancelled = 1223;
}

// COM initialised for this thread in apartment mode while the object lives, as the shell's
// objects and dialogs need. The stand-in has nothing to initialise.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool Initialized() const { return initialized_; }

private:
    bool initialized_ = false;
};

// One shell link object. Create() makes the shell's object (it needs a ComApartment on this
// thread); a failure there is the shell's failure and is reported apart from a failed Save.
// Failures leave in LastError() the Windows code, or the COM result when it carries no Windows
// code.
class ShellLink {
public:
    ShellLink();
    ~ShellLink();
    ShellLink(const ShellLink&) = delete;
    ShellLink& operator=(const ShellLink&) = delete;

    bool Create();
    bool IsCreated() const { return created_; }

    // The target need not exist. The working folder is taken as given.
    bool SetPath(const std::string& target);
    bool SetWorkingDirectory(const std::string& folder);
    bool SetDescription(const std::string& description);

    // Writes the link to path (ANSI; passed to the shell in UTF-16), replacing a file of that
    // name; the folder must exist.
    bool Save(const std::string& path);

private:
    // Windows: the shell's IShellLinkA and IPersistFile of the link. The stand-in keeps the texts.
    struct ComObjects;

    bool created_ = false;
    std::string target_;
    std::string workingDirectory_;
    std::string description_;
    std::unique_ptr<ComObjects> com_;
};

// Answers the folder dialog instead of the user: returns true with the chosen folder, or false
// for Cancel. It receives the dialog's title and root.
using FolderDialogResponder =
    std::function<bool(const std::string& title, const std::wstring& root, std::string& folder)>;

// Shows the shell's dialog for choosing a file-system folder, owned by the active window, below
// root (a name the desktop folder can parse, such as "C:\data"; empty or unknown: the whole
// namespace). True when the user confirmed a folder, which is then in folder as the shell gives
// it (a drive root keeps its backslash, other folders have none). A confirmed item without a
// file-system path counts as cancelled. False leaves folder empty.
//
// A responder installed by a test answers instead, on both platforms; without one, the
// stand-in's dialog is cancelled (err::Cancelled).
bool ShowFolderDialog(const std::string& title, const std::wstring& root, std::string& folder);

// Installs the responder for every later ShowFolderDialog; an empty function removes it.
void SetFolderDialogResponder(FolderDialogResponder responder);

} // namespace kq
