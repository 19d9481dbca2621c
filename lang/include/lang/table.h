#pragma once

// The translation table's sections and rows.
//
// A row is one byte string: the row name, then for each language i = 1..N the delimiter byte and
// cell i, then one closing delimiter: "sRetry" 01 cell1 01 cell2 01 cell3 01. A cell may be
// empty, and a row may stop after fewer cells; missing cells read as empty. Rows are never
// converted: each language's cells are in that language's code page.

#include "base/strings.h"

#include <optional>
#include <string_view>

namespace kq {

// One section of the table per value; the stored block names a section by its value's name.
enum TStringsType {
    stCaptions,
    stHints,
    stDisplayLabels,
    stFonts,
    stMultiLines,
    stDlgsCaptions,
    stStrings,
    stOtherStrings,
    stLocales,
    stCollections,
    stCharSets,
    stListView_TreeView_Items,
};

constexpr int kStringsTypeCount = 12;
// The translation component keeps a list for each section but the last.
constexpr int kSectionListCount = 11;

// The most languages a translation component or dispatcher holds. Each one is a cell of every
// row and a name in a list; a count read from a file (a stored property, the file's language
// names) beyond any real table would only exhaust the memory.
constexpr int kMaxLanguages = 255;

// "stCaptions", "stHints", ...
std::string_view StringsTypeName(TStringsType type);
// The section whose name equals the whole of text, ignoring case.
std::optional<TStringsType> FindStringsType(std::string_view text);

// Cell n of a row: n = 0 is the name (up to the first delimiter or the end); n >= 1 is the text
// after the n-th delimiter up to the next one or the end; a row with fewer than n delimiters
// gives "". Cells come back exactly as stored, spaces included.
AnsiString ExtractField(std::string_view row, int n, char delimiter);

// The row cut after its name and first `cells` cells, keeping the delimiter that follows them;
// a row with fewer cells is returned whole.
AnsiString KeepCells(std::string_view row, int cells, char delimiter);

// The row with delimiters appended until it holds at least `count` of them.
AnsiString PadDelimiters(std::string_view row, int count, char delimiter);

// Every byte `from` in text replaced by `to`.
AnsiString ReplaceByte(std::string_view text, char from, char to);

} // namespace kq
