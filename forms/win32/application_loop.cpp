// The Windows side of TApplication: COM and the common controls, and the message loop.
#include "forms/form.h"
#include "native.h"
#include "platform/win32_api.h"

#include <commctrl.h>
#include <objbase.h>

namespace kq {

bool InitializeNative() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES;
    InitCommonControlsEx(&controls);
    // The shell's folder browser and shortcut objects need COM on the GUI thread. S_FALSE (already
    // initialised) must be balanced too; only a failure leaves nothing to release.
    return SUCCEEDED(CoInitialize(nullptr));
}

void FinalizeNative(bool comInitialized) {
    if (comInitialized)
        CoUninitialize();
}

void RunMessageLoop(const TForm& form) {
    MSG msg{};
    while (form.Visible()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break; // WM_QUIT, or a loop that can no longer get messages
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace kq
