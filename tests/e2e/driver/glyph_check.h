// The "glyphs" command: whether every character a person sees in the program's windows is drawn
// with a real glyph, and whether any text is cut off by its control.
#pragma once

#include "commands.h"

#include <string>

namespace kqdriver {

// Checks the visible top-level windows of the program whose component name or caption is target
// (every one for "all"), with every visible control in them that shows text. Prints a line per
// text, "<window>.<control>: ok" or what is wrong with it, and returns a summary; throws Failure
// naming the offenders when a character has no glyph or a text is clipped, or when the check
// cannot run in the program.
std::string CheckGlyphs(const Session& s, const std::string& target);

} // namespace kqdriver
