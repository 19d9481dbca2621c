// Code pages of the stand-in, derived from the locale the way Windows programs see it when the
// host's locale is carried over: Chinese (PRC) 936, Chinese (Taiwan, Hong Kong) 950, Japanese
// 932, every other locale 1252.

#include "platform/codepage.h"

#include "platform/standin.h"
#include "standin_internal.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace kq {

namespace {

std::uint32_t& ExplicitCodePage() {
    static std::uint32_t codePage = 0;
    return codePage;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The locale in force for character types: LC_ALL, then LC_CTYPE, then LANG.
std::string CharacterLocale() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            return value;
        }
    }
    return std::string();
}

std::uint32_t CodePageOfLocale(const std::string& locale) {
    if (StartsWith(locale, "zh_CN")) {
        return 936;
    }
    if (StartsWith(locale, "zh_TW") || StartsWith(locale, "zh_HK")) {
        return 950;
    }
    if (StartsWith(locale, "ja")) {
        return 932;
    }
    return 1252;
}

// CP437 bytes 80 to FF in CP1252. Characters CP1252 lacks (box drawing, shading, most Greek
// letters, mathematical signs, the peseta sign) become '?'.
constexpr unsigned char oem437ToAnsi1252[128] = {
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xA2, 0xA3, 0xA5, '?',  0x83,
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, '?',  0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,
    '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',
    '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',
    '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',
    '?',  0xDF, '?',  '?',  '?',  '?',  0xB5, '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',  '?',
    '?',  0xB1, '?',  '?',  '?',  '?',  0xF7, '?',  0xB0, '?',  0xB7, '?',  '?',  0xB2, '?',  0xA0,
};

} // namespace

void SetAnsiCodePage(std::uint32_t codePage) {
    ExplicitCodePage() = codePage;
}

std::uint32_t GetACP() {
    if (ExplicitCodePage() != 0) {
        return ExplicitCodePage();
    }
    if (const char* value = std::getenv("KQ_ACP"); value != nullptr && *value != '\0') {
        char* end = nullptr;
        const unsigned long codePage = std::strtoul(value, &end, 10);
        if (*end == '\0' && codePage > 0 && codePage <= 65535) {
            return static_cast<std::uint32_t>(codePage);
        }
    }
    return CodePageOfLocale(CharacterLocale());
}

std::uint32_t GetOEMCP() {
    const std::uint32_t ansi = GetACP();
    return ansi == 1252 ? 437 : ansi;
}

std::string OemToAnsi(const std::string& text) {
    if (GetOEMCP() != 437 || GetACP() != 1252) {
        return text;
    }
    std::string converted = text;
    for (char& c : converted) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            c = static_cast<char>(oem437ToAnsi1252[byte - 0x80]);
        }
    }
    return converted;
}

int CompareStringIgnoreCase(const std::string& a, const std::string& b) {
    // Folding to lower case puts "_" and the other signs between "Z" and "a" before the
    // letters, as Windows sorts them.
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto left = static_cast<unsigned char>(standin::ToLowerAscii(a[i]));
        const auto right = static_cast<unsigned char>(standin::ToLowerAscii(b[i]));
        if (left != right) {
            return left < right ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

} // namespace kq
