// The Windows peer of TForm: one top-level window, created the first time the form is shown and
// destroyed with the form.
#include "atom_property.h"
#include "forms/form.h"
#include "native.h"
#include "platform/errors.h"
#include "platform/win32_api.h"

namespace kq {

namespace {

constexpr char formClassName[] = "KavoruQyn.Form";

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
    if (!buttons.Contains(TCaptionButton::SystemMenu))
        return style;
    style |= WS_SYSMENU;
    // Minimise and maximise boxes belong to main windows; dialogs and tool windows have none.
    const bool boxes = border == TWindowBorder::Single || border == TWindowBorder::Sizable;
    if (boxes && buttons.Contains(TCaptionButton::Minimize))
        style |= WS_MINIMIZEBOX;
    if (boxes && buttons.Contains(TCaptionButton::Maximize))
        style |= WS_MAXIMIZEBOX;
    return style;
}

DWORD FormExStyle(const TForm& form) {
    switch (form.Border()) {
    case TWindowBorder::Dialog:
        return WS_EX_DLGMODALFRAME;
    case TWindowBorder::ToolWindow:
    case TWindowBorder::SizableToolWindow:
        return WS_EX_TOOLWINDOW;
    default:
        return 0;
    }
}

class WindowsFormPeer final : public TFormPeer {
public:
    explicit WindowsFormPeer(TForm& form) : form_(form) {}
    ~WindowsFormPeer() override {
        if (window_ != nullptr)
            DestroyWindow(window_);
    }

    void Update() override;

private:
    static void RegisterWindowClass();
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    void Create();
    void UpdateStyle();
    void UpdateBounds();
    bool EraseBackground(HDC dc);
    void Destroyed();

    TForm& form_;
    HWND window_ = nullptr;
    AnsiString caption_;
    TColor color_ = colorButtonFace;
    TAtomProperty name_{"KavoruQyn.Name"};
    TAtomProperty class_{"KavoruQyn.Class"};
};

void WindowsFormPeer::RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &WindowsFormPeer::WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hIcon = LoadIconA(wc.hInstance, "MAINICON");
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = formClassName;
        return RegisterClassExA(&wc) != 0;
    }();
    (void)registered;
}

void WindowsFormPeer::Update() {
    if (window_ == nullptr) {
        if (!form_.Visible())
            return;
        Create();
    }
    if (form_.Caption() != caption_) {
        caption_ = form_.Caption();
        SetWindowTextA(window_, caption_.c_str());
    }
    UpdateStyle();
    UpdateBounds();
    if (form_.Color() != color_) {
        color_ = form_.Color();
        InvalidateRect(window_, nullptr, TRUE);
    }
    name_.Set(window_, form_.Name());
    class_.Set(window_, form_.ClassName());
    if (form_.Visible() != (IsWindowVisible(window_) != FALSE))
        ShowWindow(window_, form_.Visible() ? SW_SHOW : SW_HIDE);
}

void WindowsFormPeer::Create() {
    RegisterWindowClass();
    caption_ = form_.Caption();
    color_ = form_.Color();
    // The real size follows in UpdateBounds, once the frame's metrics can be measured.
    window_ = CreateWindowExA(FormExStyle(form_), formClassName, caption_.c_str(), FormStyle(form_),
                              form_.Left(), form_.Top(), form_.ClientWidth(), form_.ClientHeight(),
                              nullptr, nullptr, GetModuleHandleA(nullptr), this);
    if (window_ == nullptr)
        throw EWindowError("Cannot create the window: " + SysErrorMessage(GetLastError()));
}

void WindowsFormPeer::UpdateStyle() {
    const auto current = static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE));
    const DWORD wanted = (current & ~formStyleMask) | FormStyle(form_);
    const auto currentEx = static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE));
    const DWORD wantedEx =
        (currentEx & ~(WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW)) | FormExStyle(form_);
    if (wanted == current && wantedEx == currentEx)
        return;
    SetWindowLongA(window_, GWL_STYLE, static_cast<LONG>(wanted));
    SetWindowLongA(window_, GWL_EXSTYLE, static_cast<LONG>(wantedEx));
    // A changed frame is only recomputed when asked to.
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Places the window at Left, Top with a client area of exactly ClientWidth x ClientHeight. The
// frame is measured on the window itself: a caption or border that the system draws larger
// than its metrics promise would otherwise eat into the client area.
void WindowsFormPeer::UpdateBounds() {
    RECT outer{};
    RECT client{};
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    const int frameWidth = (outer.right - outer.left) - client.right;
    const int frameHeight = (outer.bottom - outer.top) - client.bottom;
    const int width = form_.ClientWidth() + frameWidth;
    const int height = form_.ClientHeight() + frameHeight;
    if (outer.left == form_.Left() && outer.top == form_.Top() &&
        outer.right - outer.left == width && outer.bottom - outer.top == height)
        return;
    SetWindowPos(window_, nullptr, form_.Left(), form_.Top(), width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool WindowsFormPeer::EraseBackground(HDC dc) {
    RECT r{};
    GetClientRect(window_, &r);
    if (IsSystemColor(color_)) {
        // System brushes belong to the system: never deleted.
        FillRect(dc, &r, GetSysColorBrush(SystemColorIndex(color_)));
        return true;
    }
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color_));
    if (brush == nullptr)
        return false;
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    return true;
}

void WindowsFormPeer::Destroyed() {
    name_.Remove();
    class_.Remove();
}

LRESULT CALLBACK WindowsFormPeer::WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    // The peer arrives with the first message and is kept with the window from then on.
    if (msg == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTA*>(lp);
        auto* self = static_cast<WindowsFormPeer*>(created->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* peer = reinterpret_cast<WindowsFormPeer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (peer == nullptr)
        return DefWindowProcA(window, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        peer->window_ = nullptr;
        return DefWindowProcA(window, msg, wp, lp);
    }
    return peer->Dispatch(msg, wp, lp);
}

LRESULT WindowsFormPeer::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        // The form decides; the window itself lives as long as the form.
        form_.Close();
        return 0;
    case WM_ERASEBKGND:
        if (EraseBackground(reinterpret_cast<HDC>(wp)))
            return 1;
        break;
    case WM_DESTROY:
        Destroyed();
        return 0;
    }
    return DefWindowProcA(window_, msg, wp, lp);
}

} // namespace

std::unique_ptr<TFormPeer> CreateFormPeer(TForm& form) {
    return std::make_unique<WindowsFormPeer>(form);
}

} // namespace kq
