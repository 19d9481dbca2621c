#include "forms/focus.h"

#include "forms/button.h"
#include "forms/control.h"
#include "forms/edit.h"

namespace kq {

namespace {

// The first control inside parent, depth first in tab order, that can take the focus and that
// wanted accepts.
template <class Wanted>
TWinControl* FirstFocusableWhere(const TWinControl& parent, Wanted wanted) {
    for (TWinControl* child : parent.TabList()) {
        if (!child->CanFocus()) {
            continue;
        }
        if (wanted(*child)) {
            return child;
        }
        if (TWinControl* inner = FirstFocusableWhere(*child, wanted)) {
            return inner;
        }
    }
    return nullptr;
}

bool IsTabStop(const TWinControl& control) {
    return control.TabStop();
}

// A single-line field that Tab stops at and the user can type in; a memo would take Enter as a
// new line.
bool TakesTyping(const TWinControl& control) {
    const auto* edit = dynamic_cast<const TEdit*>(&control);
    return control.TabStop() && edit != nullptr && !edit->ReadOnly();
}

bool IsDefaultButton(const TWinControl& control) {
    const auto* button = dynamic_cast<const TButton*>(&control);
    return button != nullptr && button->Default();
}

} // namespace

TWinControl* FirstTabStop(const TWinControl& parent) {
    return FirstFocusableWhere(parent, IsTabStop);
}

TButton* DefaultButtonWithin(const TWinControl& parent) {
    return static_cast<TButton*>(FirstFocusableWhere(parent, IsDefaultButton));
}

TWinControl* FocusOnArrival(const TWinControl& parent) {
    if (TWinControl* field = FirstFocusableWhere(parent, TakesTyping)) {
        return field;
    }
    if (TButton* button = DefaultButtonWithin(parent)) {
        return button;
    }
    return FirstTabStop(parent);
}

} // namespace kq
