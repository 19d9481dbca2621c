// Where the keyboard's focus goes inside a form or one of its pages.
#pragma once

namespace kq {

class TButton;
class TWinControl;

// The first control inside parent, depth first in tab order, that Tab stops at.
TWinControl* FirstTabStop(const TWinControl& parent);

// The default button inside parent, depth first in tab order, if it can take the focus.
TButton* DefaultButtonWithin(const TWinControl& parent);

// Where the focus rests when parent comes into view: in the first field that takes typing, where
// Enter still presses the default button; else on the default button itself; else on the first
// control Tab stops at. Never on Back merely because it comes first in the tab order, where Enter
// would press it.
TWinControl* FocusOnArrival(const TWinControl& parent);

} // namespace kq
