// Test hooks of the native stand-in, which has no screen (built on the native platform only).
#pragma once

#include "forms/control.h"

#include <functional>
#include <optional>
#include <string_view>

namespace kq {

// Measures a line of text for auto-sizing labels; without one the stand-in cannot measure and
// labels keep their size. An empty function removes it.
using TTextMeasurer = std::function<std::optional<TSize>(const TFont& font, std::string_view text)>;
void SetTextMeasurer(TTextMeasurer measurer);

} // namespace kq
