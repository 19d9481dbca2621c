#include "forms/control.h"

#include "base/format.h"
#include "base/properties.h"
#include "forms_platform.h"

#include <algorithm>

namespace kq {

namespace {

const TEnumInfo& AlignInfo() {
    static const TEnumInfo info("TAlign", {"None", "Top", "Bottom", "Left", "Right", "Client"});
    return info;
}

template <class T>
void Erase(std::vector<T*>& list, const void* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

const TClassInfo& TBasicAction::StaticClassInfo() {
    static const TClassInfo info("TBasicAction", &TComponent::StaticClassInfo());
    return info;
}

// --- TControl -------------------------------------------------------------------------------

const TClassInfo& TControl::StaticClassInfo() {
    static const TClassInfo info(
        "TControl", &TComponent::StaticClassInfo(),
        TClassTable<TControl>()
            .Integer("Left", &TControl::Left, &TControl::SetLeft)
            .Integer("Top", &TControl::Top, &TControl::SetTop)
            .Integer("Width", &TControl::Width, &TControl::SetWidth)
            .Integer("Height", &TControl::Height, &TControl::SetHeight)
            .Enumeration("Align", AlignInfo(), &TControl::Align, &TControl::SetAlign)
            .Boolean("Visible", &TControl::Visible, &TControl::SetVisible)
            .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .String("Hint", &TControl::Hint, &TControl::SetHint)
            .String("HelpKeyword", &TControl::HelpKeyword, &TControl::SetHelpKeyword)
            .Font(
                "Font", [](TControl& c) { return c.Font(); },
                [](TControl& c, TFont* font) { c.SetFont(font); })
            .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .Integer("Color", &TControl::Color, &TControl::SetColor)
            .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
            .Object("Action", &TControl::Action, &TControl::SetAction)
            .Event("OnClick"));
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
    font_.OnChange = [this](TObject*) { FontObjectChanged(); };
}

TControl::~TControl() {
    TControl::DestroyPeers();
    if (parent_ != nullptr) {
        parent_->RemoveControl(this);
    }
    if (action_ != nullptr) {
        action_->RemoveFreeNotification(this);
    }
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) {
        return;
    }
    for (const TControl* p = parent; p != nullptr; p = p->parent_) {
        if (p == this) {
            throw EInvalidOperation(Format(
                "Control %s cannot be placed in itself or in one of its children", {Name()}));
        }
    }
    DestroyPeers();
    if (parent_ != nullptr) {
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    if (parent_ == nullptr) {
        return;
    }
    parent_->InsertControl(this);
    ParentFontChanged();
    ParentColorChanged();
    // The parent makes its children's peers now, or (a page not shown) when it is shown.
    if (parent_->Peer() != nullptr) {
        parent_->CreatePeers();
    }
}

void TControl::SetLeft(int left) {
    SetBounds(left, bounds_.Top, bounds_.Width, bounds_.Height);
}

void TControl::SetTop(int top) {
    SetBounds(bounds_.Left, top, bounds_.Width, bounds_.Height);
}

void TControl::SetWidth(int width) {
    SetBounds(bounds_.Left, bounds_.Top, width, bounds_.Height);
}

void TControl::SetHeight(int height) {
    SetBounds(bounds_.Left, bounds_.Top, bounds_.Width, height);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    const TRect wanted{left, top, std::max(width, 0), std::max(height, 0)};
    if (wanted == bounds_) {
        return;
    }
    bounds_ = wanted;
    BoundsChanged();
    UpdateBoundsInParent();
}

// An aligned control that moved or changed size is put back in place by its parent.
void TControl::UpdateBoundsInParent() {
    if (parent_ != nullptr && align_ != TAlign::None) {
        parent_->AlignControls();
    }
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) {
        return;
    }
    align_ = align;
    if (parent_ != nullptr) {
        parent_->AlignControls();
    }
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) {
        return;
    }
    visible_ = visible;
    VisibleChanged();
    UpdateBoundsInParent();
}

bool TControl::Showing() const {
    for (const TControl* c = this; c != nullptr; c = c->parent_) {
        if (!c->visible_) {
            return false;
        }
    }
    return true;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    Changed(TControlChange::Enabled);
}

void TControl::SetParentFont(bool parentFont) {
    parentFont_ = parentFont;
    ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || parent_ == nullptr) {
        return;
    }
    followingParentFont_ = true;
    font_.Assign(parent_->Font());
    followingParentFont_ = false;
}

void TControl::FontObjectChanged() {
    if (!followingParentFont_) {
        parentFont_ = false;
    }
    FontChanged();
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    ShowColor(color);
}

void TControl::SetParentColor(bool parentColor) {
    parentColor_ = parentColor;
    ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (parentColor_) {
        ShowColor(parent_ != nullptr ? parent_->Color() : DefaultColor());
    }
}

void TControl::ShowColor(TColor color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    Changed(TControlChange::Color);
    if (auto* self = dynamic_cast<TWinControl*>(this)) {
        self->ColorChangedForChildren();
    }
}

void TControl::InitParentColor(bool parentColor, TColor color) {
    parentColor_ = parentColor;
    color_ = color;
}

void TControl::SetAction(TBasicAction* action) {
    if (action == action_) {
        return;
    }
    if (action_ != nullptr) {
        action_->RemoveFreeNotification(this);
    }
    action_ = action;
    if (action_ != nullptr) {
        action_->FreeNotification(this);
    }
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == action_) {
        action_ = nullptr;
    }
}

void TControl::SetText(const AnsiString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    TextChanged();
}

void TControl::Click() {
    if (OnClick) {
        OnClick(this);
    }
}

void TControl::CreatePeers() {
    if (peer_ == nullptr) {
        peer_ = CreateControlPeer(*this);
    }
}

void TControl::DestroyPeers() {
    peer_.reset();
}

void TControl::Loaded() {
    TComponent::Loaded();
}

void TControl::Changed(TControlChange change) {
    if (peer_ != nullptr) {
        peer_->Changed(change);
    }
}

void TControl::TextChanged() {
    Changed(TControlChange::Text);
}

void TControl::FontChanged() {
    Changed(TControlChange::Font);
}

void TControl::BoundsChanged() {
    Changed(TControlChange::Bounds);
}

void TControl::VisibleChanged() {
    Changed(TControlChange::Visible);
}

// --- TWinControl ----------------------------------------------------------------------------

const TClassInfo& TWinControl::StaticClassInfo() {
    static const TClassInfo info(
        "TWinControl", &TControl::StaticClassInfo(),
        TClassTable<TWinControl>()
            .Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
            .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop));
    return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

// The children stay with their owner; they only lose their parent, whose windows are gone.
TWinControl::~TWinControl() {
    TWinControl::DestroyPeers();
    for (TControl* control : controls_) {
        control->parent_ = nullptr;
    }
    controls_.clear();
    tabList_.clear();
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount()) {
        throw EListError(Format("List index out of bounds (%d)", {index}));
    }
    return controls_[static_cast<std::size_t>(index)];
}

int TWinControl::TabOrder() const {
    if (Parent() == nullptr) {
        return -1;
    }
    const auto& list = Parent()->tabList_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (Loading() || Parent() == nullptr) {
        storedTabOrder_ = order;
        return;
    }
    auto& list = Parent()->tabList_;
    const int last = static_cast<int>(list.size()) - 1;
    if (order < 0 || order > last) {
        order = last;
    }
    Erase(list, this);
    list.insert(list.begin() + order, this);
    Parent()->Changed(TControlChange::TabOrder);
}

void TWinControl::SetTabStop(bool tabStop) {
    if (tabStop == tabStop_) {
        return;
    }
    tabStop_ = tabStop;
    Changed(TControlChange::TabOrder);
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        tabList_.push_back(windowed);
        if (!windowed->Loading() && windowed->storedTabOrder_ >= 0) {
            const int order = windowed->storedTabOrder_;
            windowed->storedTabOrder_ = -1;
            windowed->SetTabOrder(order);
        }
    }
    if (control->Align() != TAlign::None) {
        AlignControls();
    }
}

void TWinControl::RemoveControl(TControl* control) {
    Erase(controls_, control);
    Erase(tabList_, control);
    if (control->Align() != TAlign::None) {
        AlignControls();
    }
}

// Children read with a tab order take that place when it is free; the others fill the places
// left, in the order they were put in.
void TWinControl::OrderTabListByStoredOrder() {
    const std::size_t count = tabList_.size();
    std::vector<TWinControl*> ordered(count, nullptr);
    std::vector<TWinControl*> rest;
    for (TWinControl* child : tabList_) {
        const int wanted = child->storedTabOrder_;
        child->storedTabOrder_ = -1;
        if (wanted >= 0 && static_cast<std::size_t>(wanted) < count && ordered[wanted] == nullptr) {
            ordered[wanted] = child;
        } else {
            rest.push_back(child);
        }
    }
    auto next = rest.begin();
    for (TWinControl*& slot : ordered) {
        if (slot == nullptr) {
            slot = *next++;
        }
    }
    tabList_ = std::move(ordered);
}

TRect TWinControl::ClientRect() const {
    return TRect{0, 0, Width(), Height()};
}

void TWinControl::AlignControls() {
    if (Loading() || aligning_) {
        return;
    }
    aligning_ = true;
    TRect rest = ClientRect();
    for (TAlign edge : {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right, TAlign::Client}) {
        for (TControl* c : controls_) {
            if (c->Align() != edge || !c->Visible()) {
                continue;
            }
            const int w = std::min(c->Width(), rest.Width);
            const int h = std::min(c->Height(), rest.Height);
            switch (edge) {
            case TAlign::Top:
                c->SetBounds(rest.Left, rest.Top, rest.Width, h);
                rest.Top += h;
                rest.Height -= h;
                break;
            case TAlign::Bottom:
                c->SetBounds(rest.Left, rest.Top + rest.Height - h, rest.Width, h);
                rest.Height -= h;
                break;
            case TAlign::Left:
                c->SetBounds(rest.Left, rest.Top, w, rest.Height);
                rest.Left += w;
                rest.Width -= w;
                break;
            case TAlign::Right:
                c->SetBounds(rest.Left + rest.Width - w, rest.Top, w, rest.Height);
                rest.Width -= w;
                break;
            default:
                c->SetBounds(rest.Left, rest.Top, rest.Width, rest.Height);
                break;
            }
        }
    }
    aligning_ = false;
}

bool TWinControl::Focused() const {
    return Peer() != nullptr && Peer()->Focused();
}

void TWinControl::SetFocus() {
    if (!CanFocus()) {
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    }
    if (Peer() != nullptr) {
        Peer()->SetFocus();
    }
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c != nullptr; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) {
            return false;
        }
    }
    return true;
}

// Windowed children first, in tab order: the system visits windows in the order they were made.
void TWinControl::CreatePeers() {
    TControl::CreatePeers();
    if (Peer() == nullptr) {
        return;
    }
    for (TWinControl* child : tabList_) {
        child->CreatePeers();
    }
    for (TControl* child : controls_) {
        if (dynamic_cast<TWinControl*>(child) == nullptr) {
            child->CreatePeers();
        }
    }
}

void TWinControl::DestroyPeers() {
    for (TControl* child : controls_) {
        child->DestroyPeers();
    }
    TControl::DestroyPeers();
}

void TWinControl::Loaded() {
    TControl::Loaded();
    OrderTabListByStoredOrder();
    AlignControls();
    Changed(TControlChange::TabOrder);
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* child : controls_) {
        child->ParentFontChanged();
    }
}

void TWinControl::BoundsChanged() {
    TControl::BoundsChanged();
    AlignControls();
}

void TWinControl::ColorChangedForChildren() {
    for (TControl* child : controls_) {
        child->ParentColorChanged();
    }
}

} // namespace kq
