#include "base/ini_text.h"

#include "base/strings.h"

#include <optional>
#include <utility>

namespace kq::ini {

namespace {

bool IsTrimmed(char c, TTrim trim) {
    switch (trim) {
    case TTrim::None:
        return false;
    case TTrim::Blanks:
        return IsBlank(c);
    case TTrim::Controls:
        return static_cast<unsigned char>(c) <= ' ';
    }
    return false;
}

std::string_view TrimStart(std::string_view text, TTrim trim) {
    std::size_t first = 0;
    while (first < text.size() && IsTrimmed(text[first], trim)) {
        ++first;
    }
    return text.substr(first);
}

std::string_view TrimEnd(std::string_view text, TTrim trim) {
    std::size_t last = text.size();
    while (last > 0 && IsTrimmed(text[last - 1], trim)) {
        --last;
    }
    return text.substr(0, last);
}

std::string_view TrimBoth(std::string_view text, TTrim trim) {
    return TrimEnd(TrimStart(text, trim), trim);
}

// The system's writer keeps the blanks that end a value: it writes them.
std::string_view TrimValue(std::string_view value, TTrim trim) {
    const std::string_view started = TrimStart(value, trim);
    return trim == TTrim::Blanks ? started : TrimEnd(started, trim);
}

// Where the line that begins at start ends, and where the next one begins.
std::pair<std::size_t, std::size_t> LineBounds(std::string_view text, std::size_t start,
                                               TLineEnds lineEnds) {
    constexpr std::size_t npos = std::string_view::npos;
    switch (lineEnds) {
    case TLineEnds::Any: {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == npos) {
            return {text.size(), text.size()};
        }
        const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        return {end, end + (crLf ? 2 : 1)};
    }
    case TLineEnds::LineFeed: {
        const std::size_t feed = text.find('\n', start);
        const std::size_t end = feed == npos ? text.size() : feed;
        const bool cr = end > start && text[end - 1] == '\r';
        return {cr ? end - 1 : end, feed == npos ? text.size() : feed + 1};
    }
    case TLineEnds::CrLf: {
        const std::size_t end = text.find(kLineEnd, start);
        if (end == npos) {
            return {text.size(), text.size()};
        }
        return {end, end + kLineEnd.size()};
    }
    }
    return {text.size(), text.size()};
}

// A line that begins with "[": its section, or nothing when the rules take it for no section
// line.
std::optional<TLine> ReadSectionLine(std::string_view whole, const TRules& rules) {
    std::size_t close = std::string_view::npos;
    switch (rules.sectionEnd) {
    case TSectionEnd::LastByte:
        if (whole.size() >= 2 && whole.back() == ']') {
            close = whole.size() - 1;
        }
        break;
    case TSectionEnd::LastBracket:
        close = whole.rfind(']');
        break;
    case TSectionEnd::FirstBracket:
        close = whole.find(']');
        if (close == std::string_view::npos) {
            return TLine{TLineKind::Unclosed, {}, {}};
        }
        break;
    }
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return TLine{TLineKind::Section, TrimBoth(whole.substr(1, close - 1), rules.trim), {}};
}

} // namespace

std::vector<std::string_view> SplitLines(std::string_view text, TLineEnds lineEnds) {
    if (lineEnds == TLineEnds::Any) {
        text = text.substr(0, text.find('\0'));
    }
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto [end, next] = LineBounds(text, start, lineEnds);
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

TLine ReadLine(std::string_view line, const TRules& rules) {
    const std::string_view started = TrimStart(line, rules.trim);
    const std::string_view whole = TrimEnd(started, rules.trim);
    if (whole.empty()) {
        return {TLineKind::Empty, {}, {}};
    }
    if (rules.comments && whole.front() == ';') {
        return {TLineKind::Comment, {}, {}};
    }
    if (whole.front() == '[') {
        if (const std::optional<TLine> section = ReadSectionLine(whole, rules)) {
            return *section;
        }
    }
    const std::size_t equals = started.find('=');
    if (equals != std::string_view::npos) {
        return {TLineKind::Entry, TrimBoth(started.substr(0, equals), rules.trim),
                TrimValue(started.substr(equals + 1), rules.trim)};
    }
    return {rules.bareKeys ? TLineKind::Entry : TLineKind::Other, whole, {}};
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool SameName(std::string_view a, std::string_view b) {
    return SameText(a, b);
}

std::string FoldedName(std::string_view name) {
    return UpperCase(name);
}

std::string SectionLine(std::string_view name) {
    std::string line = "[";
    line.append(name).append("]").append(kLineEnd);
    return line;
}

std::string EntryLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line.append("=").append(value).append(kLineEnd);
    return line;
}

bool BreaksLines(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsWritable(std::string_view section, std::string_view key, std::string_view value) {
    return !BreaksLines(section) && !BreaksLines(key) && !BreaksLines(value) &&
           section.find(']') == std::string_view::npos && key.find('=') == std::string_view::npos &&
           !TrimStart(key, TTrim::Blanks).starts_with('[');
}

} // namespace kq::ini
