// The Windows peers of the controls: native buttons, check boxes, edits, labels and progress
// bars, and windows of the toolkit's own for page controls, pages, panels and pictures.
#include "forms/application.h"
#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/image.h"
#include "forms/label.h"
#include "forms/page_control.h"
#include "forms/panel.h"
#include "forms/progress_bar.h"
#include "window_peer.h"

#include <commctrl.h>
#include <optional>

namespace kq {

std::unique_ptr<TControlPeer> CreateFormPeer(TForm& form);

namespace {

DWORD TabStopStyle(const TWinControl& control) {
    return control.TabStop() ? WS_TABSTOP : 0;
}

// Sets or clears style bits of a window; true when they changed.
bool ChangeStyle(HWND window, DWORD mask, DWORD bits) {
    const auto current = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const DWORD wanted = (current & ~mask) | bits;
    if (wanted == current) {
        return false;
    }
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(wanted));
    return true;
}

// --- Pages, page controls and panels --------------------------------------------------------

// The automation contract's way to show a page: a page control's window shows page wParam (from
// 0) when sent this registered message, so that a test can reach every page without the
// wizard's buttons.
UINT SetPageMessage() {
    static const UINT message = RegisterWindowMessageA("KavoruQyn.SetPage");
    return message;
}

// A window that holds other controls and paints its own surface: a page control (a raised frame
// around its pages), a page, or a panel (its bevels).
class TContainerPeer final : public TWindowPeer {
public:
    explicit TContainerPeer(TWinControl& control) : TWindowPeer(control) {
        Create(containerClassName, true,
               WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (control.TabStop() ? WS_TABSTOP : 0),
               WS_EX_CONTROLPARENT);
        SyncAll();
    }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_ERASEBKGND: {
            RECT r{};
            GetClientRect(window_, &r);
            FillBackground(reinterpret_cast<HDC>(wp), r);
            return 1;
        }
        case WM_PAINT:
            Paint();
            return 0;
        }
        auto* pages = dynamic_cast<TPageControl*>(&control_);
        if (pages != nullptr && msg == SetPageMessage() && msg != 0) {
            const int index = static_cast<int>(wp);
            Application().CallHandler([pages, index] { pages->SetActivePageIndex(index); });
            return pages->ActivePageIndex() == index;
        }
        return TWindowPeer::HandleMessage(msg, wp, lp);
    }

    void UpdateState() override {
        ChangeStyle(window_, WS_TABSTOP, TabStopStyle(static_cast<TWinControl&>(control_)));
        InvalidateRect(window_, nullptr, TRUE);
    }
    void UpdateText() override {
        TWindowPeer::UpdateText();
        InvalidateRect(window_, nullptr, TRUE);
    }

    void Paint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        RECT r{};
        GetClientRect(window_, &r);
        if (dynamic_cast<TPageControl*>(&control_) != nullptr) {
            DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
        } else if (auto* panel = dynamic_cast<TPanel*>(&control_)) {
            DrawBevel(dc, r, panel->BevelOuter());
            DrawBevel(dc, r, panel->BevelInner());
            DrawCaption(dc, r);
        }
        EndPaint(window_, &ps);
    }

    // One pixel of edge, which leaves the rest inside it; a panel two or three pixels high is a
    // rule: a dark line over a light one.
    static void DrawBevel(HDC dc, RECT& r, TBevel bevel) {
        if (bevel == TBevel::None || r.right <= r.left || r.bottom <= r.top) {
            return;
        }
        DrawEdge(dc, &r, bevel == TBevel::Lowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                 BF_RECT | BF_ADJUST);
    }

    void DrawCaption(HDC dc, RECT& r) {
        const AnsiString caption = control_.Text();
        if (caption.empty()) {
            return;
        }
        HGDIOBJ old = SelectObject(dc, FontHandle());
        SetTextColor(dc, ColorRef(control_.Font()->Color()));
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
    }
};

// --- Labels ---------------------------------------------------------------------------------

class TLabelPeer final : public TWindowPeer {
public:
    explicit TLabelPeer(TLabel& label) : TWindowPeer(label) {
        // One line, "&" shown as it is: the caption may carry a product name with one in it.
        Create("STATIC", false, SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_CLIPSIBLINGS, 0);
        SyncAll();
    }

private:
    bool Reflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
        if (msg != WM_CTLCOLORSTATIC) {
            return false;
        }
        result = ControlColors(reinterpret_cast<HDC>(wp), true);
        return true;
    }
};

// --- Pictures -------------------------------------------------------------------------------

// Whether the control's window is being made for its form's first showing and will be seen
// then: the form is not visible yet, and the control and its parents up to it are.
bool ShownWhenItsFormShows(const TControl& control) {
    const TControl* c = &control;
    for (; c != nullptr && dynamic_cast<const TForm*>(c) == nullptr; c = c->Parent()) {
        if (!c->Visible()) {
            return false;
        }
    }
    return c == nullptr || !c->Visible();
}

// Draws the picture at its place, resized once per size by area averaging (smoother than the
// system's stretching, which drops pixels when it shrinks). A picture seen when the form first
// shows is prepared at its drawn size from the moment its window is made, while the rest of the
// form's windows are made and shown. One whose window is made later (its page shown later) is
// painted right away: preparing it would only add a thread for the paint to wait on.
class TImagePeer final : public TWindowPeer {
public:
    explicit TImagePeer(TImage& image) : TWindowPeer(image), image_(image) {
        Create(imageClassName, true, WS_CLIPSIBLINGS, 0);
        SyncAll();
        if (ShownWhenItsFormShows(image)) {
            const TRect place = image_.PictureRect();
            image_.Picture()->Prepare(Scale(place.Width), Scale(place.Height));
        }
    }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        }
        return TWindowPeer::HandleMessage(msg, wp, lp);
    }

    void UpdateState() override {
        shown_.reset();
        InvalidateRect(window_, nullptr, TRUE);
    }
    void UpdateBounds() override {
        TWindowPeer::UpdateBounds();
        UpdateState();
    }

    void Paint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        RECT client{};
        GetClientRect(window_, &client);
        FillBackground(dc, client);
        const TRect place = image_.PictureRect();
        if (!image_.Picture()->Empty() && place.Width > 0 && place.Height > 0) {
            const int w = Scale(place.Width);
            const int h = Scale(place.Height);
            if (!shown_ || shown_->Width() != w || shown_->Height() != h) {
                shown_ = Drawn(w, h);
            }
            if (shown_) {
                BITMAPINFO info{};
                info.bmiHeader.biSize = sizeof info.bmiHeader;
                info.bmiHeader.biWidth = w;
                info.bmiHeader.biHeight = -h; // rows from the top
                info.bmiHeader.biPlanes = 1;
                info.bmiHeader.biBitCount = 24;
                info.bmiHeader.biCompression = BI_RGB;
                SetDIBitsToDevice(dc, Scale(place.Left), Scale(place.Top), w, h, 0, 0, 0, h,
                                  shown_->Pixels().data(), &info, DIB_RGB_COLORS);
            }
        }
        EndPaint(window_, &ps);
    }

    // The picture at the drawn size. Loading it read only its header: data damaged past that
    // leaves the control showing its background.
    std::optional<TBitmap> Drawn(int w, int h) const {
        try {
            return image_.Picture()->Drawn(w, h);
        } catch (const EInvalidGraphic&) {
            return std::nullopt;
        }
    }

    TImage& image_;
    std::optional<TBitmap> shown_;
};

// --- Buttons and check boxes ----------------------------------------------------------------

class TButtonPeer final : public TWindowPeer {
public:
    explicit TButtonPeer(TButton& button) : TWindowPeer(button), button_(button) {
        Create("BUTTON", false, Style() | TabStopStyle(button) | WS_CLIPSIBLINGS, 0);
        SyncAll();
    }

private:
    DWORD Style() const { return button_.Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }

    void UpdateState() override {
        SendMessageA(window_, BM_SETSTYLE, Style(), TRUE);
        ChangeStyle(window_, WS_TABSTOP, TabStopStyle(button_));
    }

    bool Reflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
        if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) {
            return false;
        }
        TButton& button = button_;
        Application().CallHandler([&button] { button.Click(); });
        result = 0;
        return true;
    }

    TButton& button_;
};

class TCheckBoxPeer final : public TWindowPeer {
public:
    explicit TCheckBoxPeer(TCheckBox& box) : TWindowPeer(box), box_(box) {
        Create("BUTTON", false, BS_AUTOCHECKBOX | TabStopStyle(box) | WS_CLIPSIBLINGS, 0);
        SyncAll();
    }

private:
    void UpdateState() override {
        SendMessageA(window_, BM_SETCHECK, box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        ChangeStyle(window_, WS_TABSTOP, TabStopStyle(box_));
    }

    bool Reflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
        if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
            result = ControlColors(reinterpret_cast<HDC>(wp), true);
            return true;
        }
        if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) {
            return false;
        }
        const bool checked = SendMessageA(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
        TCheckBox& box = box_;
        Application().CallHandler([&box, checked] { box.UserToggled(checked); });
        result = 0;
        return true;
    }

    TCheckBox& box_;
};

// --- Edits and memos ------------------------------------------------------------------------

class TEditPeer final : public TWindowPeer {
public:
    explicit TEditPeer(TCustomEdit& edit) : TWindowPeer(edit), edit_(edit) {
        memo_ = dynamic_cast<TMemo*>(&edit);
        DWORD style = TabStopStyle(edit) | WS_CLIPSIBLINGS | (edit.ReadOnly() ? ES_READONLY : 0);
        if (memo_ == nullptr) {
            style |= ES_AUTOHSCROLL;
        } else {
            style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN |
                     (memo_->WordWrap() ? 0 : ES_AUTOHSCROLL);
        }
        Create("EDIT", false, style, Border());
        SyncAll();
    }

private:
    DWORD Border() const {
        return edit_.BorderStyle() == TBorderStyle::Single ? WS_EX_CLIENTEDGE : 0;
    }

    // A multi-line edit asks for every key, so the dialog keys would never leave it: a memo keeps
    // only Enter, and that only while it wants returns; Tab moves on as everywhere else.
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg != WM_GETDLGCODE || memo_ == nullptr) {
            return TWindowPeer::HandleMessage(msg, wp, lp);
        }
        LRESULT code = Default(msg, wp, lp) & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
        const auto* key = reinterpret_cast<const MSG*>(lp);
        if (memo_->WantReturns() && key != nullptr && key->message == WM_KEYDOWN &&
            key->wParam == VK_RETURN) {
            code |= DLGC_WANTALLKEYS;
        }
        return code;
    }

    void UpdateState() override {
        SendMessageA(window_, EM_SETREADONLY, edit_.ReadOnly(), 0);
        ChangeStyle(window_, WS_TABSTOP, TabStopStyle(edit_));
        const auto exStyle = static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE));
        const DWORD wanted = (exStyle & ~WS_EX_CLIENTEDGE) | Border();
        if (wanted != exStyle) {
            SetWindowLongA(window_, GWL_EXSTYLE, static_cast<LONG>(wanted));
            SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                             SWP_NOACTIVATE);
        }
    }

    bool Reflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
        if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) {
            result = ControlColors(reinterpret_cast<HDC>(wp), false);
            return true;
        }
        if (msg != WM_COMMAND || HIWORD(wp) != EN_CHANGE || settingText_) {
            return false;
        }
        const AnsiString text = WindowText(window_);
        TCustomEdit& edit = edit_;
        Application().CallHandler([&edit, &text] { edit.UserEdited(text); });
        result = 0;
        return true;
    }

    TCustomEdit& edit_;
    TMemo* memo_ = nullptr;
};

// --- Progress bars --------------------------------------------------------------------------

class TProgressBarPeer final : public TWindowPeer {
public:
    explicit TProgressBarPeer(TProgressBar& bar) : TWindowPeer(bar), bar_(bar) {
        Create(PROGRESS_CLASSA, false, WS_CLIPSIBLINGS, 0);
        SyncAll();
    }

private:
    void UpdateText() override {}
    void UpdateState() override {
        SendMessageA(window_, PBM_SETRANGE32, static_cast<WPARAM>(bar_.Min()),
                     static_cast<LPARAM>(bar_.Max()));
        SendMessageA(window_, PBM_SETPOS, static_cast<WPARAM>(bar_.Position()), 0);
    }

    TProgressBar& bar_;
};

} // namespace

std::unique_ptr<TControlPeer> CreateControlPeer(TControl& control) {
    if (auto* form = dynamic_cast<TForm*>(&control)) {
        return CreateFormPeer(*form);
    }
    // Every other control lives in its parent's window.
    if (control.Parent() == nullptr || control.Parent()->Peer() == nullptr) {
        return nullptr;
    }
    if (auto* label = dynamic_cast<TLabel*>(&control)) {
        return std::make_unique<TLabelPeer>(*label);
    }
    if (auto* image = dynamic_cast<TImage*>(&control)) {
        return std::make_unique<TImagePeer>(*image);
    }
    if (auto* button = dynamic_cast<TButton*>(&control)) {
        return std::make_unique<TButtonPeer>(*button);
    }
    if (auto* box = dynamic_cast<TCheckBox*>(&control)) {
        return std::make_unique<TCheckBoxPeer>(*box);
    }
    if (auto* edit = dynamic_cast<TCustomEdit*>(&control)) {
        return std::make_unique<TEditPeer>(*edit);
    }
    if (auto* bar = dynamic_cast<TProgressBar*>(&control)) {
        return std::make_unique<TProgressBarPeer>(*bar);
    }
    if (auto* container = dynamic_cast<TWinControl*>(&control)) {
        return std::make_unique<TContainerPeer>(*container);
    }
    return nullptr;
}

} // namespace kq
