#include "forms/focus.h"

#include "forms/button.h"
#include "forms/control.h"
#include "forms/edit.h"

namespace kq {

namespace {

// The first control inside parent, depth first in tab order, that Tab stops at and that wanted
// accepts.
template <class Wanted>
TWinControl* FirstStopWhere(const TWinControl& parent, Wanted wanted) {
    for (TWinControl* child : parent.TabList()) {
        if (!child->CanFocus())
            continue;
        if (child->TabStop() && wanted(*child))
            return child;
        if (TWinControl* inner = FirstStopWhere(*child, wanted))
            return inner;
    }
    return nullptr;
}

// A single-line field the user can type in; a memo would take Enter as a new line.
bool TakesTyping(const TWinControl& control) {
    const auto* edit = dynamic_cast<const TEdit*>(&control);
    return edit != nullptr && !edit->ReadOnly();
}

} // namespace

TWinControl* FirstTabStop(const TWinControl& parent) {
    return FirstStopWhere(parent, [](const TWinControl&) { return true; });
}

TButton* DefaultButtonWithin(const TWinControl& parent) {
    for (TWinControl* child : parent.TabList()) {
        if (!child->CanFocus())
            continue;
        auto* button = dynamic_cast<TButton*>(child);
        if (button != nullptr && button->Default())
            return button;
        if (TButton* inner = DefaultButtonWithin(*child))
            return inner;
    }
    return nullptr;
}

TWinControl* FocusOnArrival(const TWinControl& parent) {
    if (TWinControl* field = FirstStopWhere(parent, TakesTyping))
        return field;
    if (TButton* button = DefaultButtonWithin(parent))
        return button;
    return FirstTabStop(parent);
}

} // namespace kq
