#include "lang/stored_table.h"

namespace kq {

namespace {

constexpr char kStoredCR = '\x19';
constexpr char kStoredLF = '\x1A';

AnsiString RowFromStored(std::string_view line) {
    AnsiString row(line);
    for (char& c : row) {
        if (c == kStoredCR) {
            c = '\r';
        } else if (c == kStoredLF) {
            c = '\n';
        }
    }
    return row;
}

AnsiString RowToStored(std::string_view row) {
    AnsiString line(row);
    for (char& c : line) {
        if (c == '\r') {
            c = kStoredCR;
        } else if (c == '\n') {
            c = kStoredLF;
        }
    }
    return line;
}

} // namespace

std::vector<AnsiString> SplitLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<AnsiString> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

TStoredTable ReadStoredTable(std::string_view block) {
    TStoredTable table;
    TTableRows* open = nullptr;
    for (const AnsiString& line : SplitLines(block)) {
        if (const auto type = FindStringsType(line)) {
            auto& section = table.Sections[static_cast<std::size_t>(*type)];
            section.emplace();
            open = &*section;
        } else if (open != nullptr) {
            open->push_back(RowFromStored(line));
        }
    }
    return table;
}

AnsiString WriteStoredTable(const std::vector<TStoredSection>& sections) {
    AnsiString block;
    for (const TStoredSection& section : sections) {
        block += StringsTypeName(section.Type);
        block += "\r\n";
        for (const AnsiString& row : *section.Rows) {
            block += RowToStored(row);
            block += "\r\n";
        }
    }
    return block;
}

} // namespace kq
