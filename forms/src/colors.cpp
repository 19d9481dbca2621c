#include "forms/colors.h"

#include "base/strings.h"

#include <utility>

namespace kq {

std::optional<TColor> ColorFromName(std::string_view name) {
    static const std::pair<const char*, TColor> names[] = {
        {"colorWindow", colorWindow},
        {"colorWindowText", colorWindowText},
        {"colorButtonFace", colorButtonFace},
        {"colorButtonShadow", colorButtonShadow},
        {"colorGrayText", colorGrayText},
        {"colorButtonHighlight", colorButtonHighlight},
        {"colorBlack", colorBlack},
        {"colorBlue", colorBlue},
        {"colorNavy", colorNavy},
        {"colorWhite", colorWhite},
    };
    for (const auto& [colorName, color] : names) {
        if (SameText(colorName, name)) {
            return color;
        }
    }
    return std::nullopt;
}

} // namespace kq
