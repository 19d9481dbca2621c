// TControl and TWinControl: the visible parts of a window.
//
// A control is a component (its owner, the form, deletes it) placed in a parent (a TWinControl)
// at a position and size in pixels of the parent's client area at 96 pixels per inch. It keeps
// its whole state itself: bounds, alignment, visibility, enabled state, text, font, colour. On
// Windows a peer mirrors that state into a native window while the form is shown; the native
// stand-in has no peers, so there the state is all there is.
//
// A TWinControl can hold other controls and take the keyboard focus; its windowed children are
// kept in tab order, and Tab visits those of them whose TabStop is on.
#pragma once

#include "base/component.h"
#include "base/strings.h"
#include "forms/colors.h"
#include "forms/font.h"

#include <memory>
#include <vector>

namespace kq {

class TWinControl;
class TControlPeer;

// Where a control sticks in its parent: along an edge (spanning it), filling what the others
// left, or nowhere (its own bounds).
enum class TAlign { None, Top, Bottom, Left, Right, Client };

struct TRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TRect&) const = default;
};

struct TSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TSize&) const = default;
};

// What changed in a control, for its peer.
enum class TControlChange {
    Bounds,
    Text,
    Font,
    Color,
    Visible,
    Enabled,
    TabOrder,
    State, // a control's own state: checked, read-only, position, default flag, page...
};

// An action a control can be linked to. The window links none, but the translation pass leaves a
// control's caption alone while an action is linked, so the property exists.
class TBasicAction : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    using TComponent::TComponent;
};

class TControl : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    // Takes the control out of its old parent and puts it last into the new one. A control
    // cannot be its own parent or an ancestor's (EInvalidOperation).
    virtual void SetParent(TWinControl* parent);

    int Left() const { return bounds_.Left; }
    void SetLeft(int left);
    int Top() const { return bounds_.Top; }
    void SetTop(int top);
    int Width() const { return bounds_.Width; }
    void SetWidth(int width);
    int Height() const { return bounds_.Height; }
    void SetHeight(int height);
    const TRect& BoundsRect() const { return bounds_; }
    // Negative sizes become 0.
    virtual void SetBounds(int left, int top, int width, int height);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Visible, and so are all its parents.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    const AnsiString& Hint() const { return hint_; }
    void SetHint(const AnsiString& hint) { hint_ = hint; }
    const AnsiString& HelpKeyword() const { return helpKeyword_; }
    void SetHelpKeyword(const AnsiString& keyword) { helpKeyword_ = keyword; }

    // Changing the font in any way makes it the control's own (ParentFont false).
    TFont* Font() { return &font_; }
    const TFont* Font() const { return &font_; }
    void SetFont(const TFont* font) { font_.Assign(font); }
    // While true the font follows the parent's.
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);

    TColor Color() const { return color_; }
    // Makes the colour the control's own (ParentColor false).
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool parentColor);

    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* action);

    // The control's text: a caption for most controls, the content of edits and memos.
    virtual AnsiString Text() const { return text_; }
    virtual void SetText(const AnsiString& text);

    // Fires OnClick. An exception of the handler leaves Click.
    virtual void Click();
    TNotifyEvent OnClick;

    // --- For the platform's peers ---
    TControlPeer* Peer() const { return peer_.get(); }
    // Makes the peer (and a TWinControl's children's), when the platform has one for the
    // control; the parent's peer must exist.
    virtual void CreatePeers();
    // Drops the peers of the control and its children, children first.
    virtual void DestroyPeers();

    // The colour and font the control draws with, after ParentColor and ParentFont.
    void ParentColorChanged();
    void ParentFontChanged();

    void Loaded() override;

protected:
    // Tells the peer, if there is one.
    void Changed(TControlChange change);
    // After the text changed; the default tells the peer.
    virtual void TextChanged();
    // After the font changed (own or parent's); the default tells the peer.
    virtual void FontChanged();
    // After the bounds changed; the default tells the peer.
    virtual void BoundsChanged();
    // After Visible changed; the default tells the peer.
    virtual void VisibleChanged();
    // The colour a control shows with ParentColor when it has no parent.
    virtual TColor DefaultColor() const { return colorButtonFace; }
    // Whether ParentColor is on when the control is made.
    void InitParentColor(bool parentColor, TColor color);

    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TWinControl;

    void FontObjectChanged();
    // Takes color as the colour drawn with, telling the peer and the children that follow it.
    void ShowColor(TColor color);
    void UpdateBoundsInParent();

    TWinControl* parent_ = nullptr;
    TRect bounds_;
    TAlign align_ = TAlign::None;
    bool visible_ = true;
    bool enabled_ = true;
    AnsiString text_;
    AnsiString hint_;
    AnsiString helpKeyword_;
    TFont font_;
    bool parentFont_ = true;
    bool followingParentFont_ = false; // the parent's font is being copied in
    TColor color_ = colorButtonFace;
    bool parentColor_ = true;
    TBasicAction* action_ = nullptr;
    std::unique_ptr<TControlPeer> peer_;
};

class TWinControl : public TControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The child controls, in the order they were put in.
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;

    // The position among the parent's windowed children, from 0; -1 without a parent. Outside
    // loading a new value moves the control there (a value past the end makes it the last);
    // while loading the value is kept and the parent orders its children by it at the end of
    // loading.
    int TabOrder() const;
    void SetTabOrder(int order);
    // Whether Tab stops at the control.
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);
    // The windowed children in tab order.
    const std::vector<TWinControl*>& TabList() const { return tabList_; }

    // The area of the control where its children lie, in its own coordinates.
    virtual TRect ClientRect() const;
    // Places the aligned children: top, bottom, left and right edges in that order, each in the
    // order the children were put in, then the children that fill the rest.
    virtual void AlignControls();

    // Focus, through the peer: false where there is none.
    bool Focused() const;
    void SetFocus();
    // Showing and enabled, and so are all its parents.
    bool CanFocus() const;

    void CreatePeers() override;
    void DestroyPeers() override;
    void Loaded() override;

protected:
    void FontChanged() override;
    void BoundsChanged() override;

private:
    friend class TControl;

    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void OrderTabListByStoredOrder();
    void ColorChangedForChildren();

    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    int storedTabOrder_ = -1; // read while loading
    bool tabStop_ = false;
    bool aligning_ = false;
};

} // namespace kq
