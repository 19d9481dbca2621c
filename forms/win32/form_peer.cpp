// The Windows peer of TForm, and the application's own window.
//
// The application window carries the program's task-bar button, captioned with the application's
// title, as the user knows the program by it; it is never seen itself (no size). Forms are owned
// by it, so they have no button of their own; minimising a form minimises the application window,
// which hides the forms it owns, and the task-bar button brings them back.
#include "forms/application.h"
#include "forms/focus.h"
#include "forms/form.h"
#include "window_peer.h"

namespace kq {

namespace {

constexpr char applicationClassName[] = "KavoruQyn.Application";

// The style bits the form decides; the others (visibility, state) are left as they are.
constexpr DWORD formStyleMask =
    WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

DWORD FormStyle(const TForm& form) {
    const TWindowBorder border = form.Border();
    DWORD style = WS_CLIPCHILDREN;
    switch (border) {
    case TWindowBorder::None:
        return style | WS_POPUP;
    case TWindowBorder::Single:
    case TWindowBorder::Dialog:
    case TWindowBorder::ToolWindow:
        style |= WS_CAPTION;
        break;
    case TWindowBorder::Sizable:
    case TWindowBorder::SizableToolWindow:
        style |= WS_CAPTION | WS_THICKFRAME;
        break;
    }
    const TCaptionButtons buttons = form.CaptionButtons();
    if (!buttons.Contains(TCaptionButton::SystemMenu)) {
        return style;
    }
    style |= WS_SYSMENU;
    // Minimise and maximise boxes belong to main windows; dialogs and tool windows have none.
    const bool boxes = border == TWindowBorder::Single || border == TWindowBorder::Sizable;
    if (boxes && buttons.Contains(TCaptionButton::Minimize)) {
        style |= WS_MINIMIZEBOX;
    }
    if (boxes && buttons.Contains(TCaptionButton::Maximize)) {
        style |= WS_MAXIMIZEBOX;
    }
    return style;
}

DWORD FormExStyle(const TForm& form) {
    // Dialog navigation (Tab, Enter, mnemonics) goes into the form's children.
    DWORD exStyle = WS_EX_CONTROLPARENT;
    switch (form.Border()) {
    case TWindowBorder::Dialog:
        return exStyle | WS_EX_DLGMODALFRAME;
    case TWindowBorder::ToolWindow:
    case TWindowBorder::SizableToolWindow:
        return exStyle | WS_EX_TOOLWINDOW;
    default:
        return exStyle;
    }
}

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
        // The application window itself is nothing to look at: its last active form takes over.
        if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) {
            HWND popup = GetLastActivePopup(window);
            if (popup != window && IsWindowVisible(popup) && IsWindowEnabled(popup)) {
                PostMessageA(window, WM_USER, 0, reinterpret_cast<LPARAM>(popup));
            }
        }
        return 0;
    case WM_USER:
        SetActiveWindow(reinterpret_cast<HWND>(lp));
        return 0;
    case WM_CLOSE:
        // Closing the task-bar button closes the main form.
        if (TForm* main = Application().MainForm()) {
            Application().CallHandler([main] { main->Close(); });
        }
        return 0;
    }
    return DefWindowProcA(window, msg, wp, lp);
}

HWND ApplicationWindow() {
    static HWND window = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &ApplicationWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hIcon = LoadIconA(wc.hInstance, "MAINICON");
        wc.lpszClassName = applicationClassName;
        RegisterClassExA(&wc);
        const HWND made =
            CreateWindowExA(0, applicationClassName, Application().Title().c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
                            0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (made != nullptr) {
            SetWindowPos(made, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
        return made;
    }();
    return window;
}

class TFormPeer final : public TWindowPeer {
public:
    explicit TFormPeer(TForm& form) : TWindowPeer(form), form_(form) {
        Create(formClassName, true, FormStyle(form), FormExStyle(form), ApplicationWindow());
        UpdateText();
        SyncAll();
    }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void UpdateState() override;
    void UpdateBounds() override;
    void UpdateVisible() override;
    void Activated(WPARAM wp);

    TForm& form_;
    HWND lastFocus_ = nullptr;
};

void TFormPeer::UpdateState() {
    const auto current = static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE));
    const DWORD wanted = (current & ~formStyleMask) | FormStyle(form_);
    const auto currentEx = static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE));
    const DWORD wantedEx =
        (currentEx & ~(WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW)) | FormExStyle(form_);
    if (wanted == current && wantedEx == currentEx) {
        return;
    }
    SetWindowLongA(window_, GWL_STYLE, static_cast<LONG>(wanted));
    SetWindowLongA(window_, GWL_EXSTYLE, static_cast<LONG>(wantedEx));
    // A changed frame is only recomputed when asked to.
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateBounds();
}

// Places the window at Left, Top with a client area of exactly the form's size. The frame is
// measured on the window itself: a caption or border that the system draws larger than its
// metrics promise would otherwise eat into the client area.
void TFormPeer::UpdateBounds() {
    RECT outer{};
    RECT client{};
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    const int frameWidth = (outer.right - outer.left) - client.right;
    const int frameHeight = (outer.bottom - outer.top) - client.bottom;
    const int width = Scale(form_.ClientWidth()) + frameWidth;
    const int height = Scale(form_.ClientHeight()) + frameHeight;
    if (outer.left == form_.Left() && outer.top == form_.Top() &&
        outer.right - outer.left == width && outer.bottom - outer.top == height) {
        return;
    }
    SetWindowPos(window_, nullptr, form_.Left(), form_.Top(), width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormPeer::UpdateVisible() {
    const bool visible = form_.Visible();
    if (visible == (IsWindowVisible(window_) != FALSE)) {
        return;
    }
    if (!visible) {
        ShowWindow(window_, SW_HIDE);
        // The message loop checks the main form after each message it gets; a form hidden from a
        // sent message (a click sent by automation, say) must not leave it waiting for the next.
        PostMessageA(window_, WM_NULL, 0, 0);
        return;
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    if (TWinControl* arrival = FocusOnArrival(form_)) {
        arrival->SetFocus();
    }
}

// Windows gives the focus to the window itself when it is activated; the control that had it
// when the window was left gets it back instead, or else the control the focus arrives at.
void TFormPeer::Activated(WPARAM wp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) {
            lastFocus_ = focus;
        }
        return;
    }
    if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) &&
        IsWindowEnabled(lastFocus_)) {
        ::SetFocus(lastFocus_);
        return;
    }
    if (TWinControl* arrival = FocusOnArrival(form_)) {
        arrival->SetFocus();
    }
}

LRESULT TFormPeer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        // The form decides; the window itself lives as long as the form.
        Application().CallHandler([this] { form_.Close(); });
        return 0;
    case WM_ERASEBKGND: {
        RECT r{};
        GetClientRect(window_, &r);
        FillBackground(reinterpret_cast<HDC>(wp), r);
        return 1;
    }
    case WM_ACTIVATE:
        if (!HIWORD(wp)) {
            Activated(wp);
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_MINIMIZE && GetWindow(window_, GW_OWNER) != nullptr) {
            ShowWindow(GetWindow(window_, GW_OWNER), SW_MINIMIZE);
            return 0;
        }
        break;
    }
    return TWindowPeer::HandleMessage(msg, wp, lp);
}

} // namespace

std::unique_ptr<TControlPeer> CreateFormPeer(TForm& form) {
    return std::make_unique<TFormPeer>(form);
}

void SetNativeTitle(const AnsiString& title) {
    if (HWND window = ApplicationWindow()) {
        SetWindowTextA(window, title.c_str());
    }
}

} // namespace kq
