#include "window_peer.h"

#include "base/format.h"
#include "forms/application.h"
#include "forms/form.h"
#include "forms/screen.h"
#include "platform/errors.h"

#include <commctrl.h>

namespace kq {

namespace {

// The window property that leads from a window to its peer.
constexpr char peerProperty[] = "KavoruQyn.Peer";
constexpr UINT_PTR subclassId = 1;

} // namespace

AnsiString WindowText(HWND window) {
    AnsiString text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

namespace {

[[noreturn]] void WindowFailed(const TControl& control) {
    throw EWindowError(Format("Cannot create the window of %s: %s",
                              {control.Name(), SysErrorMessage(GetLastError())}));
}

HWND ParentWindow(const TControl& control) {
    if (control.Parent() == nullptr) {
        return nullptr;
    }
    auto* parent = dynamic_cast<TWindowPeer*>(control.Parent()->Peer());
    return parent != nullptr ? parent->Window() : nullptr;
}

} // namespace

HCURSOR CursorHandle(int cursor) {
    const char* id = nullptr;
    switch (cursor) {
    case cursorDefault:
        return nullptr;
    case cursorIBeam:
        id = IDC_IBEAM;
        break;
    case cursorHourGlass:
        id = IDC_WAIT;
        break;
    case cursorAppStart:
        id = IDC_APPSTARTING;
        break;
    case cursorHandPoint:
        id = IDC_HAND;
        break;
    default:
        id = IDC_ARROW;
        break;
    }
    return LoadCursorA(nullptr, id);
}

void TWindowPeer::RegisterOwnClass(const char* name) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &wc)) {
        return;
    }
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &TWindowPeer::OwnWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    if (std::string_view(name) == formClassName) {
        wc.hIcon = LoadIconA(wc.hInstance, "MAINICON");
        wc.hIconSm = static_cast<HICON>(LoadImageA(wc.hInstance, "MAINICON", IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
    }
    RegisterClassExA(&wc);
}

void TWindowPeer::Create(const char* windowClass, bool ownClass, DWORD style, DWORD exStyle,
                         HWND owner) {
    ownClass_ = ownClass;
    const HWND parent = ParentWindow(control_);
    if (parent != nullptr) {
        style |= WS_CHILD;
    }
    if (ownClass) {
        RegisterOwnClass(windowClass);
    }
    const TRect& b = control_.BoundsRect();
    const AnsiString text = control_.Text();
    window_ =
        CreateWindowExA(exStyle, windowClass, text.c_str(), style, Scale(b.Left), Scale(b.Top),
                        Scale(b.Width), Scale(b.Height), parent != nullptr ? parent : owner,
                        nullptr, GetModuleHandleA(nullptr), ownClass ? this : nullptr);
    if (window_ == nullptr) {
        WindowFailed(control_);
    }
    SetPropA(window_, peerProperty, this);
    if (!ownClass) {
        SetWindowSubclass(window_, &TWindowPeer::SubclassProc, subclassId,
                          reinterpret_cast<DWORD_PTR>(this));
    }
}

void TWindowPeer::SyncAll() {
    UpdateFont();
    UpdateColor();
    UpdateState();
    UpdateBounds();
    EnableWindow(window_, control_.Enabled());
    name_.Set(window_, control_.Name());
    class_.Set(window_, control_.ClassName());
    UpdateVisible();
}

// The window goes without its peer: what it says while it is destroyed reaches nobody.
void TWindowPeer::Detach() {
    if (window_ == nullptr) {
        return;
    }
    RemovePropA(window_, peerProperty);
    if (ownClass_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    } else {
        RemoveWindowSubclass(window_, &TWindowPeer::SubclassProc, subclassId);
    }
    name_.Remove();
    class_.Remove();
}

TWindowPeer::~TWindowPeer() {
    Detach();
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

TWindowPeer* TWindowPeer::FromWindow(HWND window) {
    return window != nullptr ? static_cast<TWindowPeer*>(GetPropA(window, peerProperty)) : nullptr;
}

void TWindowPeer::Changed(TControlChange change) {
    if (window_ == nullptr) {
        return;
    }
    switch (change) {
    case TControlChange::Bounds:
        UpdateBounds();
        break;
    case TControlChange::Text:
        UpdateText();
        break;
    case TControlChange::Font:
        UpdateFont();
        break;
    case TControlChange::Color:
        UpdateColor();
        break;
    case TControlChange::Visible:
        UpdateVisible();
        break;
    case TControlChange::Enabled:
        EnableWindow(window_, control_.Enabled());
        break;
    case TControlChange::TabOrder:
        UpdateChildOrder();
        UpdateState();
        break;
    case TControlChange::State:
        UpdateState();
        break;
    }
}

bool TWindowPeer::Focused() const {
    return window_ != nullptr && GetFocus() == window_;
}

void TWindowPeer::SetFocus() {
    if (window_ != nullptr) {
        ::SetFocus(window_);
    }
}

void TWindowPeer::UpdateText() {
    settingText_ = true;
    SetWindowTextA(window_, control_.Text().c_str());
    settingText_ = false;
}

void TWindowPeer::UpdateBounds() {
    const TRect& b = control_.BoundsRect();
    SetWindowPos(window_, nullptr, Scale(b.Left), Scale(b.Top), Scale(b.Width), Scale(b.Height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWindowPeer::UpdateColor() {
    InvalidateRect(window_, nullptr, TRUE);
}

void TWindowPeer::UpdateFont() {
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
    InvalidateRect(window_, nullptr, TRUE);
}

void TWindowPeer::UpdateVisible() {
    const bool visible = control_.Visible();
    const bool shown = (GetWindowLongA(window_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != shown) {
        ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void TWindowPeer::UpdateChildOrder() {
    auto* self = dynamic_cast<TWinControl*>(&control_);
    if (self == nullptr) {
        return;
    }
    HWND previous = HWND_TOP;
    for (TWinControl* child : self->TabList()) {
        auto* peer = dynamic_cast<TWindowPeer*>(child->Peer());
        if (peer == nullptr) {
            continue;
        }
        SetWindowPos(peer->window_, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = peer->window_;
    }
}

LRESULT TWindowPeer::ControlColors(HDC dc, bool transparentText) {
    SetTextColor(dc, ColorRef(control_.Font()->Color()));
    SetBkColor(dc, ColorRef(control_.Color()));
    if (transparentText) {
        SetBkMode(dc, TRANSPARENT);
    }
    return reinterpret_cast<LRESULT>(brush_.For(control_.Color()));
}

void TWindowPeer::FillBackground(HDC dc, const RECT& rect) {
    FillRect(dc, &rect, brush_.For(control_.Color()));
}

bool TWindowPeer::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lp);
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        child = reinterpret_cast<HWND>(lp);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lp)->hwndFrom;
        break;
    default:
        return false;
    }
    TWindowPeer* peer = FromWindow(child);
    return peer != nullptr && peer != this && peer->Reflect(msg, wp, lp, result);
}

bool TWindowPeer::Reflect(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT TWindowPeer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETTEXT: {
        const LRESULT result = Default(msg, wp, lp);
        if (!settingText_ && result != FALSE) {
            // Read back rather than taken from lp: a subclassed control gets its messages in
            // Unicode (the subclassing makes its window procedure a wide one).
            const AnsiString text = WindowText(window_);
            TControl& control = control_;
            Application().CallHandler([&control, &text] { control.SetText(text); });
        }
        return result;
    }
    case WM_SETCURSOR:
        // While the program shows a cursor of its own, it stays over every window.
        if (HCURSOR cursor = CursorHandle(Screen().Cursor())) {
            ::SetCursor(cursor);
            return TRUE;
        }
        break;
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (ReflectToChild(msg, wp, lp, result)) {
            return result;
        }
        break;
    }
    }
    return Default(msg, wp, lp);
}

LRESULT TWindowPeer::Default(UINT msg, WPARAM wp, LPARAM lp) {
    return ownClass_ ? DefWindowProcA(window_, msg, wp, lp) : DefSubclassProc(window_, msg, wp, lp);
}

LRESULT CALLBACK TWindowPeer::OwnWindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    // The peer arrives with the first message and is kept with the window from then on.
    if (msg == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTA*>(lp);
        auto* self = static_cast<TWindowPeer*>(created->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* peer = reinterpret_cast<TWindowPeer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (peer == nullptr) {
        return DefWindowProcA(window, msg, wp, lp);
    }
    return peer->HandleMessage(msg, wp, lp);
}

LRESULT CALLBACK TWindowPeer::SubclassProc(HWND window, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                           DWORD_PTR data) {
    auto* peer = reinterpret_cast<TWindowPeer*>(data);
    if (peer == nullptr || peer->window_ != window) {
        return DefSubclassProc(window, msg, wp, lp);
    }
    return peer->HandleMessage(msg, wp, lp);
}

} // namespace kq
