// Cells of a row: the name, the cells after each delimiter, and the edits that keep or pad the
// delimiters when the number of languages changes.

#include "lang/table.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

struct FieldCase {
    const char* label;
    std::string row;
    int n;
    std::string expected;
};

TEST(ExtractField, TakesTheCellBetweenDelimiters) {
    const FieldCase cases[] = {
        {"name",
         "sRetry\x01"
         "a\x01"
         "b\x01"
         "c\x01",
         0, "sRetry"},
        {"first cell",
         "sRetry\x01"
         "a\x01"
         "b\x01"
         "c\x01",
         1, "a"},
        {"last cell",
         "sRetry\x01"
         "a\x01"
         "b\x01"
         "c\x01",
         3, "c"},
        {"after the closing delimiter",
         "sRetry\x01"
         "a\x01"
         "b\x01"
         "c\x01",
         4, ""},
        {"beyond every delimiter",
         "sRetry\x01"
         "a\x01",
         3, ""},
        {"empty cell between two delimiters",
         "x\x01\x01"
         "b\x01",
         1, ""},
        {"cell after an empty one",
         "x\x01\x01"
         "b\x01",
         2, "b"},
        {"spaces are kept",
         "sCompany\x01"
         "Kavoru \x01 Setup\x01",
         1, "Kavoru "},
        {"leading space is kept",
         "sCompany\x01"
         "Kavoru \x01 Setup\x01",
         2, " Setup"},
        {"last cell without closing delimiter",
         "x\x01"
         "a\x01"
         "tail",
         2, "tail"},
        {"name without any delimiter", "lonely", 0, "lonely"},
        {"cell of a row without delimiter", "lonely", 1, ""},
        {"empty row", "", 0, ""},
        {"negative cell number",
         "x\x01"
         "a\x01",
         -1, ""},
        {"line breaks inside a cell",
         "m\x01"
         "one\r\ntwo\x01",
         1, "one\r\ntwo"},
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(ExtractField(c.row, c.n, '\x01'), c.expected) << c.label;
    }
}

TEST(ExtractField, UsesTheGivenDelimiter) {
    EXPECT_EQ(ExtractField("x\ta\x01"
                           "b\tc\t",
                           1, '\t'),
              "a\x01"
              "b");
    EXPECT_EQ(ExtractField("x\ta\x01"
                           "b\tc\t",
                           2, '\t'),
              "c");
}

TEST(KeepCells, CutsAfterTheKeptCellsDelimiter) {
    const FieldCase cases[] = {
        {"three cells to two",
         "x\x01"
         "a\x01"
         "b\x01"
         "c\x01",
         2,
         "x\x01"
         "a\x01"
         "b\x01"},
        {"three cells to one",
         "x\x01"
         "a\x01"
         "b\x01"
         "c\x01",
         1,
         "x\x01"
         "a\x01"},
        {"short row stays whole",
         "x\x01"
         "a\x01",
         2,
         "x\x01"
         "a\x01"},
        {"row without closing delimiter",
         "x\x01"
         "a\x01"
         "b",
         1,
         "x\x01"
         "a\x01"},
        {"just enough delimiters",
         "x\x01"
         "a\x01"
         "b",
         2,
         "x\x01"
         "a\x01"
         "b"},
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(KeepCells(c.row, c.n, '\x01'), c.expected) << c.label;
    }
}

TEST(PadDelimiters, AppendsUntilTheCountIsReached) {
    const FieldCase cases[] = {
        {"one cell to three languages",
         "x\x01"
         "a\x01",
         4,
         "x\x01"
         "a\x01\x01\x01"},
        {"already enough",
         "x\x01"
         "a\x01"
         "b\x01"
         "c\x01",
         4,
         "x\x01"
         "a\x01"
         "b\x01"
         "c\x01"},
        {"no delimiter yet", "x", 2, "x\x01\x01"},
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(PadDelimiters(c.row, c.n, '\x01'), c.expected) << c.label;
    }
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
