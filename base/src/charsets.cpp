#include "base/charsets.h"

#include "base/strings.h"

namespace kq {

namespace {

struct TCharsetName {
    std::string_view Name;
    int Value;
};

constexpr TCharsetName kCharsets[] = {
    {"ANSI_CHARSET", 0},      {"DEFAULT_CHARSET", 1},    {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},      {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},   {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},   {"TURKISH_CHARSET", 162},  {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},  {"ARABIC_CHARSET", 178},   {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},     {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
};

} // namespace

std::optional<int> CharsetFromName(std::string_view name, TNameCase nameCase) {
    for (const TCharsetName& charset : kCharsets) {
        const bool same =
            nameCase == TNameCase::Exact ? charset.Name == name : SameText(charset.Name, name);
        if (same) {
            return charset.Value;
        }
    }
    return std::nullopt;
}

} // namespace kq
