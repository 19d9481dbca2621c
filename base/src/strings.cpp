#include "base/strings.h"

#include "base/exceptions.h"

#include <limits>

namespace kq {

namespace {

char FoldUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char FoldLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

template <class Fold>
AnsiString MapLetters(std::string_view s, int codePage, Fold fold) {
    AnsiString result(s);
    for (std::size_t i = 0; i < result.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(result[i]), codePage) && i + 1 < result.size()) {
            ++i; // the trail byte belongs to a double-byte character
        } else {
            result[i] = fold(result[i]);
        }
    }
    return result;
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    c = FoldUpper(c);
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Parses s as StrToInt describes; false when it is not a valid 32-bit integer.
bool TryStrToInt(std::string_view s, int& value) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i++] == '-';
    }
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == s.size()) {
        return false;
    }
    // Decimal values must fit the signed range; hexadecimal ones may use all 32 bits, so that
    // "$FFFFFFFF" is -1.
    const std::uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    std::uint64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        const int digit = hex ? HexDigitValue(s[i]) : (IsDigit(s[i]) ? s[i] - '0' : -1);
        if (digit < 0) {
            return false;
        }
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (magnitude > limit) {
            return false;
        }
    }
    const auto bits = static_cast<std::uint32_t>(negative ? 0u - magnitude : magnitude);
    value = static_cast<int>(static_cast<std::int32_t>(bits));
    return true;
}

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

// Index of the last single-byte character for which match is true, or npos.
template <class Match>
std::size_t LastDelimiter(std::string_view s, int codePage, Match match) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(s[i]), codePage) && i + 1 < s.size()) {
            ++i;
        } else if (match(s[i])) {
            found = i;
        }
    }
    return found;
}

} // namespace

AnsiString UpperCase(std::string_view s, int codePage) {
    return MapLetters(s, codePage, FoldUpper);
}

AnsiString LowerCase(std::string_view s, int codePage) {
    return MapLetters(s, codePage, FoldLower);
}

int CompareText(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(FoldUpper(a[i]));
        const auto cb = static_cast<unsigned char>(FoldUpper(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int CompareStr(std::string_view a, std::string_view b) {
    // std::string_view compares through char_traits<char>, whose order is unsigned bytes.
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

AnsiString Trim(std::string_view s) {
    std::size_t first = 0;
    std::size_t last = s.size();
    while (first < last && static_cast<unsigned char>(s[first]) <= ' ') {
        ++first;
    }
    while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ') {
        --last;
    }
    return AnsiString(s.substr(first, last - first));
}

bool IsValidIdent(std::string_view s) {
    if (s.empty() || !(IsAsciiLetter(s[0]) || s[0] == '_')) {
        return false;
    }
    for (char c : s.substr(1)) {
        if (!(IsAsciiLetter(c) || IsDigit(c) || c == '_')) {
            return false;
        }
    }
    return true;
}

AnsiString IntToStr(std::int64_t value) {
    return std::to_string(value);
}

int StrToInt(std::string_view s) {
    int value = 0;
    if (!TryStrToInt(s, value)) {
        throw EConvertError("'" + AnsiString(s) + "' is not a valid integer value");
    }
    return value;
}

int StrToIntDef(std::string_view s, int defaultValue) {
    int value = 0;
    return TryStrToInt(s, value) ? value : defaultValue;
}

bool IsLeadByte(unsigned char b, int codePage) {
    switch (codePage) {
    case 932: // Shift-JIS
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936: // GBK
    case 949: // Unified Hangul
    case 950: // Big5
        return b >= 0x81 && b <= 0xFE;
    default:
        return false;
    }
}

AnsiString IncludeTrailingBackslash(std::string_view path, int codePage) {
    const std::size_t last = LastDelimiter(path, codePage, [](char c) { return c == '\\'; });
    AnsiString result(path);
    if (path.empty() || last != path.size() - 1) {
        result += '\\';
    }
    return result;
}

AnsiString ExtractFilePath(std::string_view path, int codePage) {
    const std::size_t last = LastDelimiter(path, codePage, IsPathSeparator);
    return last == std::string_view::npos ? AnsiString() : AnsiString(path.substr(0, last + 1));
}

AnsiString ExtractFileName(std::string_view path, int codePage) {
    const std::size_t last = LastDelimiter(path, codePage, IsPathSeparator);
    return last == std::string_view::npos ? AnsiString(path) : AnsiString(path.substr(last + 1));
}

AnsiString ExtractFileExt(std::string_view path, int codePage) {
    const std::size_t last =
        LastDelimiter(path, codePage, [](char c) { return c == '.' || IsPathSeparator(c); });
    if (last == std::string_view::npos || path[last] != '.') {
        return AnsiString();
    }
    return AnsiString(path.substr(last));
}

} // namespace kq
