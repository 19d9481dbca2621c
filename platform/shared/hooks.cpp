// The hooks a test installs in place of the system's answer (responders to the dialogs, a
// launcher of programs, the exit and message-pump hooks), the same on both platforms: each call
// gives the hook its turn first and leaves the rest to the platform (unhooked_calls.h).
//
// A hook is called through a copy, so that one that replaces or removes itself while it runs is
// not destroyed under it.

#include "platform/dialogs.h"
#include "platform/file_dialogs.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "unhooked_calls.h"

#include <cstdio>
#include <utility>

namespace kq {

namespace {

struct InstalledHooks {
    MessageBoxResponder messageBox;
    FileOpenDialogResponder fileOpenDialog;
    FolderDialogResponder folderDialog;
    ProcessLauncher launcher;
    ExitProcessHook exitProcess;
    std::function<void()> messagePump;
    unsigned messagePumpInterval = 0;
};

InstalledHooks& Installed() {
    static InstalledHooks hooks;
    return hooks;
}

// The answer of a dialog that lets the user choose: the choice, or err::Cancelled for a dialog
// cancelled or confirmed without one. The error is set last, since freeing what the shell
// allocated for the dialog may change the thread's error code.
bool Chosen(bool confirmed, std::string& chosen, std::string& result) {
    if (!confirmed || chosen.empty()) {
        SetLastError(err::Cancelled);
        return false;
    }
    result = std::move(chosen);
    return true;
}

} // namespace

int MessageBox(const std::string& text, const std::string& caption, std::uint32_t flags) {
    if (const MessageBoxResponder responder = Installed().messageBox) {
        return responder(text, caption, flags);
    }
    return native::ShowMessageBox(text, caption, flags);
}

void SetMessageBoxResponder(MessageBoxResponder responder) {
    Installed().messageBox = std::move(responder);
}

bool ShowFileOpenDialog(const std::string& title, const std::string& filter,
                        const std::string& initialFolder, std::string& fileName) {
    fileName.clear();
    std::string chosen;
    const FileOpenDialogResponder responder = Installed().fileOpenDialog;
    const bool confirmed = responder ? responder(title, filter, initialFolder, chosen)
                                     : native::AskFileToOpen(title, filter, initialFolder, chosen);
    return Chosen(confirmed, chosen, fileName);
}

void SetFileOpenDialogResponder(FileOpenDialogResponder responder) {
    Installed().fileOpenDialog = std::move(responder);
}

bool ShowFolderDialog(const std::string& title, const std::wstring& root, std::string& folder) {
    folder.clear();
    std::string chosen;
    const FolderDialogResponder responder = Installed().folderDialog;
    const bool confirmed =
        responder ? responder(title, root, chosen) : native::AskFolder(title, root, chosen);
    return Chosen(confirmed, chosen, folder);
}

void SetFolderDialogResponder(FolderDialogResponder responder) {
    Installed().folderDialog = std::move(responder);
}

bool CreateProcess(const ProcessRequest& request, ProcessIds* ids) {
    if (const ProcessLauncher launcher = Installed().launcher) {
        return launcher(request);
    }
    return native::StartProcess(request, ids);
}

void SetProcessLauncher(ProcessLauncher launcher) {
    Installed().launcher = std::move(launcher);
}

void ExitProcess(std::uint32_t exitCode) {
    if (const ExitProcessHook hook = Installed().exitProcess) {
        hook(exitCode);
    }
    // The standard streams write through to C's (they stay synchronised with it), so flushing
    // C's streams flushes everything written either way.
    std::fflush(nullptr);
    native::EndProcess(exitCode);
}

void SetExitProcessHook(ExitProcessHook hook) {
    Installed().exitProcess = std::move(hook);
}

unsigned SetMessagePumpInterval(unsigned milliseconds) {
    return std::exchange(Installed().messagePumpInterval, milliseconds);
}

void ProcessMessages() {
    native::DispatchPendingMessages(Installed().messagePumpInterval);
    if (const std::function<void()> hook = Installed().messagePump) {
        hook();
    }
}

void SetMessagePumpHook(std::function<void()> hook) {
    Installed().messagePump = std::move(hook);
}

} // namespace kq
