// Cells of a row: the name, the cells after each delimiter, and the edits that keep or pad the
// delimiters when the number of languages changes.

#include "delimited.h"
#include "lang/table.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kq {
namespace {

using test::D;

struct FieldCase {
    const char* label;
    std::string row; // "|" is the delimiter
    int n;
    std::string expected;
};

TEST(ExtractField, TakesTheCellBetweenDelimiters) {
    // Cell n of each row for n = 0, 1, ...: the name, the cells, then nothing past the last.
    struct RowCase {
        const char* label;
        std::string row; // "|" is the delimiter
        std::vector<std::string> cells;
    };
    const RowCase rows[] = {
        {"every cell, then nothing after the closing delimiter",
         "sRetry|a|b|c|",
         {"sRetry", "a", "b", "c", ""}},
        {"nothing beyond every delimiter", "sRetry|a|", {"sRetry", "a", "", ""}},
        {"an empty cell between two delimiters", "x||b|", {"x", "", "b"}},
        {"blanks around a cell are kept",
         "sCompany|Kavoru | Setup|",
         {"sCompany", "Kavoru ", " Setup"}},
        {"the last cell without closing delimiter", "x|a|tail", {"x", "a", "tail"}},
        {"a row without delimiter is its name", "lonely", {"lonely", ""}},
        {"an empty row", "", {""}},
        {"line breaks inside a cell", "m|one\r\ntwo|", {"m", "one\r\ntwo"}},
    };
    for (const RowCase& r : rows) {
        for (std::size_t n = 0; n < r.cells.size(); ++n) {
            EXPECT_EQ(ExtractField(D(r.row), static_cast<int>(n), '\x01'), r.cells[n])
                << r.label << ", cell " << n;
        }
    }
    EXPECT_EQ(ExtractField(D("x|a|"), -1, '\x01'), "") << "a negative cell number";
}

TEST(ExtractField, UsesTheGivenDelimiter) {
    EXPECT_EQ(ExtractField(D("x\ta|b\tc\t"), 1, '\t'), D("a|b"));
    EXPECT_EQ(ExtractField(D("x\ta|b\tc\t"), 2, '\t'), "c");
}

// Each case's row as edit leaves it, with n as the edit's count.
void ExpectEdited(AnsiString (*edit)(std::string_view, int, char),
                  std::initializer_list<FieldCase> cases) {
    for (const FieldCase& c : cases) {
        EXPECT_EQ(edit(D(c.row), c.n, '\x01'), D(c.expected)) << c.label;
    }
}

TEST(KeepCells, CutsAfterTheLastKeptCellsDelimiter) {
    ExpectEdited(KeepCells, {
                                {"three cells to two", "x|a|b|c|", 2, "x|a|b|"},
                                {"three cells to one", "x|a|b|c|", 1, "x|a|"},
                                {"short row stays whole", "x|a|", 2, "x|a|"},
                                {"row without closing delimiter", "x|a|b", 1, "x|a|"},
                                {"just enough delimiters", "x|a|b", 2, "x|a|b"},
                            });
}

TEST(PadDelimiters, AppendsUntilTheCountIsReached) {
    ExpectEdited(PadDelimiters, {
                                    {"one cell to three languages", "x|a|", 4, "x|a|||"},
                                    {"already enough", "x|a|b|c|", 4, "x|a|b|c|"},
                                    {"no delimiter yet", "x", 2, "x||"},
                                });
}

TEST(StringsTypeNames, MatchWholeNamesIgnoringCase) {
    struct Case {
        const char* text;
        std::optional<TStringsType> expected;
    } cases[] = {
        {"stCaptions", stCaptions},   {"STSTRINGS", stStrings},
        {"stcharsets", stCharSets},   {"stListView_TreeView_Items", stListView_TreeView_Items},
        {"stStrings ", std::nullopt}, {" stStrings", std::nullopt},
        {"Strings", std::nullopt},    {"stString", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindStringsType(c.text), c.expected) << "\"" << c.text << "\"";
    }
}

} // namespace
} // namespace kq
