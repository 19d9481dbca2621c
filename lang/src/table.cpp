#include "lang/table.h"

#include "platform/codepage.h"

#include <algorithm>
#include <array>

namespace kq {

namespace {

constexpr std::array<std::string_view, kStringsTypeCount> kTypeNames = {
    "stCaptions",   "stHints",        "stDisplayLabels", "stFonts",
    "stMultiLines", "stDlgsCaptions", "stStrings",       "stOtherStrings",
    "stLocales",    "stCollections",  "stCharSets",      "stListView_TreeView_Items",
};

// Offset of the n-th delimiter (n >= 1), or npos when the row holds fewer.
std::size_t NthDelimiter(std::string_view row, int n, char delimiter) {
    std::size_t pos = std::string_view::npos;
    for (int i = 0; i < n; ++i) {
        pos = row.find(delimiter, pos == std::string_view::npos ? 0 : pos + 1);
        if (pos == std::string_view::npos) {
            break;
        }
    }
    return pos;
}

} // namespace

std::string_view StringsTypeName(TStringsType type) {
    return kTypeNames.at(static_cast<std::size_t>(type));
}

std::optional<TStringsType> FindStringsType(std::string_view text) {
    const std::string candidate(text);
    for (int i = 0; i < kStringsTypeCount; ++i) {
        if (CompareStringIgnoreCase(candidate, std::string(kTypeNames[i])) == 0) {
            return static_cast<TStringsType>(i);
        }
    }
    return std::nullopt;
}

AnsiString ExtractField(std::string_view row, int n, char delimiter) {
    if (n < 0) {
        return {};
    }
    std::size_t start = 0;
    if (n > 0) {
        const std::size_t at = NthDelimiter(row, n, delimiter);
        if (at == std::string_view::npos) {
            return {};
        }
        start = at + 1;
    }
    const std::size_t end = row.find(delimiter, start);
    return AnsiString(row.substr(start, end == std::string_view::npos ? row.npos : end - start));
}

AnsiString KeepCells(std::string_view row, int cells, char delimiter) {
    const std::size_t closing = NthDelimiter(row, std::max(cells, 0) + 1, delimiter);
    if (closing == std::string_view::npos) {
        return AnsiString(row);
    }
    return AnsiString(row.substr(0, closing + 1));
}

AnsiString PadDelimiters(std::string_view row, int count, char delimiter) {
    AnsiString result(row);
    const auto present = std::count(result.begin(), result.end(), delimiter);
    if (present < count) {
        result.append(static_cast<std::size_t>(count - present), delimiter);
    }
    return result;
}

AnsiString ReplaceByte(std::string_view text, char from, char to) {
    AnsiString result(text);
    std::replace(result.begin(), result.end(), from, to);
    return result;
}

} // namespace kq
