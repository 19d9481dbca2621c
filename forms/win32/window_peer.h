// TWindowPeer: what every Windows peer shares. A peer owns one native window for one control,
// made when the peer is made and destroyed with it, and keeps it in line with the control's state.
//
// Windows of the toolkit's own classes (form, containers, pictures) hand every message to their
// peer; native controls (buttons, edits, labels, progress bars) are subclassed so that their peer
// sees their messages first. Notifications a child sends its parent (WM_COMMAND, WM_CTLCOLOR...)
// are handed back to the child's peer (Reflect), so each control handles its own.
#pragma once

#include "atom_property.h"
#include "forms/control.h"
#include "forms_platform.h"
#include "gdi.h"
#include "platform/win32_api.h"

namespace kq {

class TWindowPeer : public TControlPeer {
public:
    ~TWindowPeer() override;

    void Changed(TControlChange change) override;
    bool Focused() const override;
    void SetFocus() override;

    HWND Window() const { return window_; }
    TControl& Control() const { return control_; }

    // The peer of a window made by a peer, nullptr for any other window.
    static TWindowPeer* FromWindow(HWND window);

protected:
    explicit TWindowPeer(TControl& control) : control_(control) {}

    // Makes the window: a window of a toolkit class when ownClass, else a native control that is
    // then subclassed. Children go into the parent's window; a parentless control is top-level.
    void Create(const char* windowClass, bool ownClass, DWORD style, DWORD exStyle,
                HWND owner = nullptr);
    // Brings everything in line once the derived peer is whole; its constructor calls it last.
    void SyncAll();

    // Messages of the window; the default handles the cursor, takes a text set from outside
    // (an automation tool) into the control, and passes the rest on.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
    // A notification the parent received from this window. Return true when handled.
    virtual bool Reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    virtual void UpdateText();
    virtual void UpdateState() {}
    virtual void UpdateBounds();
    virtual void UpdateColor();
    void UpdateFont();
    virtual void UpdateVisible();
    // Windowed children in tab order: the system visits them in the order of the windows.
    void UpdateChildOrder();

    // The text and background colours of a child that draws its text on its own background:
    // WM_CTLCOLOR* answered with the control's colours.
    LRESULT ControlColors(HDC dc, bool transparentText);
    // Fills rect with the control's colour.
    void FillBackground(HDC dc, const RECT& rect);

    // A parent's messages: notifications go back to the child that sent them.
    bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    HFONT FontHandle() { return font_.For(*control_.Font()); }

    TControl& control_;
    HWND window_ = nullptr;
    bool ownClass_ = false;
    // Set while the peer itself changes the window's text, which the window reports back.
    bool settingText_ = false;

private:
    static LRESULT CALLBACK OwnWindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR data);
    static void RegisterOwnClass(const char* name);
    void Detach();

    TAtomProperty name_{"KavoruQyn.Name"};
    TAtomProperty class_{"KavoruQyn.Class"};
    TGdiFont font_;
    TBrush brush_;
};

// The window classes of the toolkit.
inline constexpr char formClassName[] = "KavoruQyn.Form";
inline constexpr char containerClassName[] = "KavoruQyn.Container";
inline constexpr char imageClassName[] = "KavoruQyn.Image";

// The text of a window in the ANSI code page.
AnsiString WindowText(HWND window);

// The window's system cursor for a cursor number; nullptr for cursorDefault.
HCURSOR CursorHandle(int cursor);

} // namespace kq
