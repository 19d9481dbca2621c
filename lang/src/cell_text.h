#pragma once

// What a cell shows when the active language leaves it empty. The look-ups of named strings and
// the translation pass answer alike, so a text reads the same wherever it is shown.

#include "base/strings.h"

#include <string_view>

namespace kq {

class TCustomTranslator;

// Upper-cases the ASCII letters, leaving the second byte of every double-byte character of the
// system's code page alone.
AnsiString SystemUpperCase(std::string_view text);

// value itself unless it is empty. An empty cell shows, in test mode and past language 1, the
// language-1 text in capitals (where capitals may be shown: face names and locale settings would
// break); else under ttGetDefault the language-1 text; else it stays empty.
AnsiString WithFallbacks(AnsiString value, const AnsiString& firstLanguage,
                         const TCustomTranslator& translator, bool capitalsAllowed = true);

} // namespace kq
