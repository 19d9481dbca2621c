// Cells of a row: the name, the cells after each delimiter, and the edits that keep or pad the
// delimiters when the number of languages changes.

#include "delimited.h"
#include "lang/table.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

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
    const FieldCase cases[] = {
        {"name", "sRetry|a|b|c|", 0, "sRetry"},
        {"first cell", "sRetry|a|b|c|", 1, "a"},
        {"last cell", "sRetry|a|b|c|", 3, "c"},
        {"after the closing delimiter", "sRetry|a|b|c|", 4, ""},
        {"beyond every delimiter", "sRetry|a|", 3, ""},
        {"empty cell between two delimiters", "x||b|", 1, ""},
        {"cell after an empty one", "x||b|", 2, "b"},
        {"trailing space is kept", "sCompany|Kavoru | Setup|", 1, "Kavoru "},
        {"leading space is kept", "sCompany|Kavoru | Setup|", 2, " Setup"},
        {"last cell without closing delimiter", "x|a|tail", 2, "tail"},
        {"name without any delimiter", "lonely", 0, "lonely"},
        {"cell of a row without delimiter", "lonely", 1, ""},
        {"empty row", "", 0, ""},
        {"negative cell number", "x|a|", -1, ""},
        {"line breaks inside a cell", "m|one\r\ntwo|", 1, "one\r\ntwo"},
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(ExtractField(D(c.row), c.n, '\x01'), c.expected) << c.label;
    }
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
