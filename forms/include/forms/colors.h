// Colours of controls and windows.
//
// A TColor is either an RGB value (0x00BBGGRR) or a system colour: the system's colour index with
// the high bit set, resolved only when drawn, so it follows the user's colour scheme.
#pragma once

#include "base/strings.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kq {

using TColor = std::int32_t;

constexpr TColor SystemColor(int index) {
    return static_cast<TColor>(0x80000000u | static_cast<std::uint32_t>(index));
}
constexpr bool IsSystemColor(TColor color) {
    return color < 0;
}
constexpr int SystemColorIndex(TColor color) {
    return color & 0xFF;
}

// The system colour indexes are the Windows ones.
constexpr TColor colorWindow = SystemColor(5);
constexpr TColor colorWindowText = SystemColor(8);
constexpr TColor colorButtonFace = SystemColor(15);
constexpr TColor colorButtonShadow = SystemColor(16);
constexpr TColor colorGrayText = SystemColor(17);
constexpr TColor colorButtonHighlight = SystemColor(20);

constexpr TColor colorBlack = 0x000000;
constexpr TColor colorBlue = 0xFF0000;
constexpr TColor colorNavy = 0x800000;
constexpr TColor colorWhite = 0xFFFFFF;

// The colour a stored window description names ("colorButtonFace"), if it is one of the above.
std::optional<TColor> ColorFromName(std::string_view name);

} // namespace kq
