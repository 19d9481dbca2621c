// Keys typed as a user types them: real input through SendInput, which the system delivers to
// the window with the keyboard focus of the foreground window, as from the keyboard.
#pragma once

#include "commands.h"

#include <string>

namespace kqdriver {

// Presses and releases each chord of keys ("Enter", "Shift+Tab", "Alt+N", "Esc") in turn, once
// a window of the program under test is in the foreground.
std::string PressKeys(Session& s, const std::vector<std::string>& chords);

// The window with the keyboard focus in the program's foreground window: its component name, else
// its class and text ("Button &No").
std::string FocusedWindow(Session& s);

} // namespace kqdriver
