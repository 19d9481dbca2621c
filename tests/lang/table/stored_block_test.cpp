// Reading and writing the stored table block: line splitting, header lines, the CR and LF
// stand-ins inside rows, and a byte-exact round trip. "|" stands for the delimiter 0x01.

#include "delimited.h"
#include "lang/stored_table.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using test::D;
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
        {"plain header", "stStrings\r\nsA|1|\r\n", stStrings, Lines{"sA|1|"}},
        {"header in capitals", "STSTRINGS\r\nsA|\r\n", stStrings, Lines{"sA|"}},
        {"header with a trailing space is a row", "stStrings\r\nstHints \r\nx|\r\n", stStrings,
         Lines{"stHints ", "x|"}},
        {"header with a trailing space opens nothing", "stHints \r\nx|\r\n", stHints, std::nullopt},
        {"repeated header keeps the later rows",
         "stStrings\r\nold|\r\nstHints\r\nh|\r\nstStrings\r\nnew|\r\n", stStrings, Lines{"new|"}},
        {"rows before the first header are dropped", "stray|\r\nstHints\r\nh|\r\n", stHints,
         Lines{"h|"}},
        {"section with no rows", "stDisplayLabels\r\nstHints\r\n", stDisplayLabels, Lines{}},
        {"section missing from the block", "stHints\r\n", stStrings, std::nullopt},
        {"rows of the list-view section stay there",
         "stListView_TreeView_Items\r\nitem|\r\nstHints\r\nh|\r\n", stHints, Lines{"h|"}},
        {"stand-ins become CR and LF",
         "stMultiLines\r\nMemo1.Lines|a\x19\x1A"
         "b|\r\n",
         stMultiLines, Lines{"Memo1.Lines|a\r\nb|"}},
        {"empty line is an empty row", "stHints\r\n\r\nh|\r\n", stHints, Lines{"", "h|"}},
    };
    for (const Case& c : cases) {
        const TStoredTable table = ReadStoredTable(D(c.block));
        const TTableRows* rows = Section(table, c.type);
        if (!c.expected) {
            EXPECT_EQ(rows, nullptr) << c.label;
            continue;
        }
        ASSERT_NE(rows, nullptr) << c.label;
        Lines expected;
        for (const std::string& row : *c.expected) {
            expected.push_back(D(row));
        }
        EXPECT_EQ(*rows, expected) << c.label;
    }
}

TEST(WriteStoredTable, WritesHeadersRowsAndStandIns) {
    const TTableRows captions = {D("TForm1|Form1|")};
    const TTableRows hints;
    const TTableRows lines = {D("Memo1.Lines|a\r\nb\rc\nd|")};
    EXPECT_EQ(
        WriteStoredTable({{stCaptions, &captions}, {stHints, &hints}, {stMultiLines, &lines}}),
        D("stCaptions\r\nTForm1|Form1|\r\nstHints\r\nstMultiLines\r\n"
          "Memo1.Lines|a\x19\x1A"
          "b\x19"
          "c\x1A"
          "d|\r\n"));
}

TEST(StoredTable, ReadThenWriteGivesTheSameBytes) {
    const std::string block = D("stCaptions\r\nTForm1|Form1|Form1|Form1|\r\n"
                                "stHints\r\n"
                                "stMultiLines\r\nMemo1.Lines|one\x19\x1Atwo|||\r\n"
                                "stStrings\r\nsCompany|Kavoru|Kavoru|Kavoru |\r\n\r\n");
    const TStoredTable table = ReadStoredTable(block);
    std::vector<TStoredSection> sections;
    for (TStringsType type : {stCaptions, stHints, stMultiLines, stStrings}) {
        sections.push_back({type, Section(table, type)});
    }
    EXPECT_EQ(WriteStoredTable(sections), block);
}

} // namespace
} // namespace kq
