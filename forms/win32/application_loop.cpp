// The Windows side of TApplication: the common controls, the message loop with the
// keyboard's dialog keys, text measuring and the cursor.
#include "forms/button.h"
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/screen.h"
#include "forms_platform.h"
#include "platform/messages.h"
#include "window_peer.h"

#include <commctrl.h>

namespace kq {

namespace {

// The form whose window holds `window`, if any.
TWindowPeer* FormPeerOf(HWND window) {
    HWND root = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
    TWindowPeer* peer = TWindowPeer::FromWindow(root);
    return peer != nullptr && dynamic_cast<TForm*>(&peer->Control()) != nullptr ? peer : nullptr;
}

void Press(TControl& button) {
    if (auto* peer = dynamic_cast<TWindowPeer*>(button.Peer())) {
        SendMessageA(peer->Window(), BM_CLICK, 0, 0);
    }
}

// Enter presses the button that has the focus, else the default button of what is shown. A memo
// that takes Enter for a new line keeps it.
bool HandleEnter(TWindowPeer& formPeer) {
    TWindowPeer* focused = TWindowPeer::FromWindow(GetFocus());
    if (focused != nullptr) {
        if (dynamic_cast<TButton*>(&focused->Control()) != nullptr) {
            Press(focused->Control());
            return true;
        }
        auto* memo = dynamic_cast<TMemo*>(&focused->Control());
        if (memo != nullptr && memo->WantReturns()) {
            return false;
        }
    }
    TButton* button = static_cast<TForm&>(formPeer.Control()).DefaultButton();
    if (button == nullptr) {
        return false;
    }
    Press(*button);
    return true;
}

// What the loop does before a message is dispatched: the dialog keys of the form it is for (Tab
// and Shift+Tab through the tab order, Enter, Alt and a control's underlined letter). True when
// the message has been handled.
bool PreTranslate(MSG& msg) {
    TWindowPeer* formPeer = FormPeerOf(msg.hwnd);
    if (formPeer == nullptr) {
        return false;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && HandleEnter(*formPeer)) {
        return true;
    }
    return IsDialogMessageA(formPeer->Window(), &msg) != FALSE;
}

// The same for the platform's pump, which the engines call during long operations.
bool PreTranslateNative(void* nativeMessage) {
    return PreTranslate(*static_cast<MSG*>(nativeMessage));
}

} // namespace

void InitializeNative() {
    SetMessageFilter(PreTranslateNative);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES;
    InitCommonControlsEx(&controls);
    // No COM here: loading it (and the DLLs it brings) would delay the first page. The dialogs
    // and the shortcuts that need it initialise it themselves (ComApartment).
}

void FinalizeNative() {
    SetMessageFilter(nullptr);
}

void RunMessageLoop(const TForm& form) {
    MSG msg{};
    while (form.Visible()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break; // WM_QUIT, or a loop that can no longer get messages
        }
        if (PreTranslate(msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ProcessNativeMessages() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The main loop must see the quit request too.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (PreTranslate(msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The platform's pump has nothing left to do but call its hook.
    ProcessMessages();
}

std::optional<TSize> MeasureText(const TFont& font, std::string_view text) {
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) {
        return std::nullopt;
    }
    TGdiFont handle;
    HGDIOBJ old = SelectObject(dc, handle.For(font));
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return TSize{Unscale(r.right - r.left), Unscale(r.bottom - r.top)};
}

void ApplyScreenCursor(int cursor) {
    HCURSOR handle = CursorHandle(cursor);
    ::SetCursor(handle != nullptr ? handle : LoadCursorA(nullptr, IDC_ARROW));
}

} // namespace kq
