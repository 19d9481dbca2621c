// Reading and writing the stored table block: line splitting, header lines, the CR and LF
// stand-ins inside rows, and a byte-exact round trip.

#include "lang/stored_table.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using Lines = std::vector<std::string>;

const TTableRows* Section(const TStoredTable& table, TStringsType type) {
    const auto& section = table.Sections[static_cast<std::size_t>(type)];
    return section ? &*section : nullptr;
}

TEST(SplitLines, EndsLinesAtCrLfAndCrLf) {
    struct Case {
        const char* label;
        std::string text;
        Lines expected;
    } cases[] = {
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"LF", "a\nb\n", {"a", "b"}},
        {"CR", "a\rb\r", {"a", "b"}},
        {"mixed", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"no break at the end", "a\r\nb", {"a", "b"}},
        {"empty lines inside", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"NUL ends the text", std::string("a\r\nb\0c\r\nd", 10), {"a", "b"}},
        {"empty text", "", {}},
        {"only a break", "\r\n", {""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitLines(c.text), c.expected) << c.label;
    }
}

TEST(ReadStoredTable, HeadersOpenSections) {
    struct Case {
        const char* label;
        std::string block;
        TStringsType type;
        std::optional<Lines> expected;
    } cases[] = {
        {"plain header",
         "stStrings\r\nsA\x01"
         "1\x01\r\n",
         stStrings,
         Lines{"sA\x01"
               "1\x01"}},
        {"header in capitals", "STSTRINGS\r\nsA\x01\r\n", stStrings, Lines{"sA\x01"}},
        {"header with a trailing space is a row", "stStrings\r\nstHints \r\nx\x01\r\n", stStrings,
         Lines{"stHints ", "x\x01"}},
        {"header with a trailing space opens nothing", "stHints \r\nx\x01\r\n", stHints,
         std::nullopt},
        {"repeated header keeps the later rows",
         "stStrings\r\nold\x01\r\nstHints\r\nh\x01\r\nstStrings\r\nnew\x01\r\n", stStrings,
         Lines{"new\x01"}},
        {"rows before the first header are dropped", "stray\x01\r\nstHints\r\nh\x01\r\n", stHints,
         Lines{"h\x01"}},
        {"section with no rows", "stDisplayLabels\r\nstHints\r\n", stDisplayLabels, Lines{}},
        {"section missing from the block", "stHints\r\n", stStrings, std::nullopt},
        {"rows of the list-view section are kept apart",
         "stListView_TreeView_Items\r\nitem\x01\r\nstHints\r\nh\x01\r\n", stHints, Lines{"h\x01"}},
        {"stand-ins become CR and LF",
         "stMultiLines\r\nMemo1.Lines\x01"
         "a\x19\x1A"
         "b\x01\r\n",
         stMultiLines,
         Lines{"Memo1.Lines\x01"
               "a\r\nb\x01"}},
        {"empty line is an empty row", "stHints\r\n\r\nh\x01\r\n", stHints, Lines{"", "h\x01"}},
    };
    for (const Case& c : cases) {
        const TStoredTable table = ReadStoredTable(c.block);
        const TTableRows* rows = Section(table, c.type);
        if (!c.expected) {
            EXPECT_EQ(rows, nullptr) << c.label;
        } else {
            ASSERT_NE(rows, nullptr) << c.label;
            EXPECT_EQ(*rows, *c.expected) << c.label;
        }
    }
}

TEST(WriteStoredTable, WritesHeadersRowsAndStandIns) {
    const TTableRows captions = {"TForm1\x01"
                                 "Form1\x01"};
    const TTableRows hints;
    const TTableRows lines = {"Memo1.Lines\x01"
                              "a\r\nb\rc\nd\x01"};
    const std::string expected = "stCaptions\r\n"
                                 "TForm1\x01"
                                 "Form1\x01\r\n"
                                 "stHints\r\n"
                                 "stMultiLines\r\n"
                                 "Memo1.Lines\x01"
                                 "a\x19\x1A"
                                 "b\x19"
                                 "c\x1A"
                                 "d\x01\r\n";
    EXPECT_EQ(
        WriteStoredTable({{stCaptions, &captions}, {stHints, &hints}, {stMultiLines, &lines}}),
        expected);
}

TEST(StoredTable, ReadThenWriteGivesTheSameBytes) {
    const std::string block = "stCaptions\r\n"
                              "TForm1\x01"
                              "Form1\x01"
                              "Form1\x01"
                              "Form1\x01\r\n"
                              "stHints\r\n"
                              "stMultiLines\r\n"
                              "Memo1.Lines\x01"
                              "one\x19\x1Atwo\x01\x01\x01\r\n"
                              "stStrings\r\n"
                              "sCompany\x01"
                              "Kavoru\x01"
                              "Kavoru\x01"
                              "Kavoru \x01\r\n"
                              "\r\n";
    const TStoredTable table = ReadStoredTable(block);
    std::vector<TStoredSection> sections;
    for (TStringsType type : {stCaptions, stHints, stMultiLines, stStrings}) {
        sections.push_back({type, Section(table, type)});
    }
    EXPECT_EQ(WriteStoredTable(sections), block);
}

} // namespace
} // namespace kq
