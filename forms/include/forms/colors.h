// Colours of controls and windows.
//
// A TColor is either an RGB value (0x00BBGGRR) or a system colour: the system's colour index with
// the high bit set, resolved only when drawn, so it follows the user's colour scheme.
#pragma once

#include <cstdint>

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
constexpr TColor colorWindowText = SystemColor(8);
constexpr TColor colorButtonFace = SystemColor(15);

constexpr TColor colorBlack = 0x000000;
constexpr TColor colorBlue = 0xFF0000;
constexpr TColor colorWhite = 0xFFFFFF;

} // namespace kq
