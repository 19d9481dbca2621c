#pragma once

// The stored form of the translation table (the "TranslationData" block of the form).
//
// The block is the table text and nothing else: no header, version or checksum.
//   - Lines end with CR LF (on reading, CR, LF and CR LF each end a line; a NUL ends the text).
//   - A line that is the name of a TStringsType, compared as a whole line ignoring case, opens
//     that section; the following lines up to the next such line are its rows, in order.
//   - Inside a row every CR is stored as 0x19 and every LF as 0x1A, so that a cell of several
//     lines stays on one line of the block.
// Lines before the first header belong to no section and are dropped. A header that occurs
// twice starts its section again: the later occurrence wins.

#include "base/strings.h"
#include "lang/table.h"

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace kq {

using TTableRows = std::vector<AnsiString>;

// The sections a block holds; a section the block does not name is absent.
struct TStoredTable {
    std::array<std::optional<TTableRows>, kStringsTypeCount> Sections;
};

// Splits text into lines: CR, LF and CR LF end a line, a break at the very end adds no empty
// line, and a NUL byte ends the text.
std::vector<AnsiString> SplitLines(std::string_view text);

TStoredTable ReadStoredTable(std::string_view block);

struct TStoredSection {
    TStringsType Type;
    const TTableRows* Rows;
};

// Writes the sections in the order given (the component passes them in enumeration order).
AnsiString WriteStoredTable(const std::vector<TStoredSection>& sections);

} // namespace kq
