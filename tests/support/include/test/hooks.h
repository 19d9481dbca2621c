// Test support: the platform's test hooks put back at the end of a scope.
#pragma once

#include "platform/dialogs.h"
#include "platform/file_dialogs.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/shell.h"

namespace kq::test {

// Every hook the platform offers tests: the process launcher, the exit hook, the message-box,
// file-open and folder dialog responders and the message pump's hook. The program installs none
// of them and the platform has no way to read one back, so a scope starts and ends with none:
// whatever a test installs while the guard lives is removed when it ends, however it ends.
class ScopedHooks {
public:
    ScopedHooks() = default;
    ~ScopedHooks() { RemoveAll(); }
    ScopedHooks(const ScopedHooks&) = delete;
    ScopedHooks& operator=(const ScopedHooks&) = delete;

    static void RemoveAll() {
        SetProcessLauncher({});
        SetExitProcessHook({});
        SetMessageBoxResponder({});
        SetFileOpenDialogResponder({});
        SetFolderDialogResponder({});
        SetMessagePumpHook({});
    }
};

} // namespace kq::test
