// Code tables built from code lengths: the result (complete, incomplete, over-subscribed), the
// lookup width, the entries of small codes worked out by hand, and for larger codes that every
// canonical code decodes through the levels to its value, consuming exactly its length.
#include "support/bit_writer.h"
#include "unzip/code_table.h"

#include <gtest/gtest.h>

namespace kq::test {
namespace {

struct Expect {
    int index;
    int e;
    int b;
    int v; // -1: not checked
};

struct ShapeCase {
    const char* what;
    std::vector<std::uint8_t> lengths;
    int simple;
    int wanted;
    int result;
    int bits;
    std::vector<Expect> root;
};

const std::uint16_t kBases[] = {300, 400};
const std::uint8_t kExtra[] = {3, 4};

const ShapeCase kShapes[] = {
    // Codes: value 1 "0", value 0 "10", value 2 "110", value 3 "111". Indexes take the code's
    // first bit as their lowest bit; the two 3-bit codes share a 1-bit table under "11".
    {"complete code with a further table",
     {2, 1, 3, 3},
     4,
     2,
     coderesult::Complete,
     2,
     {{0, codeop::Literal, 1, 1},
      {2, codeop::Literal, 1, 1},
      {1, codeop::Literal, 2, 0},
      {3, codeop::Literal + 1, 2, -1}}},
    {"unused code space decodes as invalid",
     {1, 0, 2},
     3,
     2,
     coderesult::Incomplete,
     2,
     {{0, codeop::Literal, 1, 0}, {1, codeop::Literal, 2, 2}, {3, codeop::Invalid, 2, -1}}},
    {"a single 1-bit code counts as complete",
     {0, 1},
     2,
     7,
     coderesult::Complete,
     1,
     {{0, codeop::Literal, 1, 1}, {1, codeop::Invalid, 1, -1}}},
    {"over-subscribed", {1, 1, 1}, 3, 7, coderesult::OverSubscribed, 1, {}},
    {"no codes at all", {0, 0, 0}, 3, 7, coderesult::Complete, 0, {}},
    {"width lowered to the longest code",
     {2, 2, 2, 2},
     4,
     9,
     coderesult::Complete,
     2,
     {{3, codeop::Literal, 2, 3}}},
    {"width raised to the shortest code",
     {3, 3, 3, 3, 3, 3, 3, 3},
     8,
     2,
     coderesult::Complete,
     3,
     {{7, codeop::Literal, 3, 7}}},
    {"values from the simple count on take bases and extra bits",
     {1, 2, 2},
     1,
     2,
     coderesult::Complete,
     2,
     {{1, 3, 2, 300}, {3, 4, 2, 400}}},
};

TEST(CodeTable, Shapes) {
    for (const ShapeCase& c : kShapes) {
        SCOPED_TRACE(c.what);
        TCodeTable table;
        EXPECT_EQ(table.Build(c.lengths.data(), static_cast<int>(c.lengths.size()), c.simple,
                              kBases, kExtra, c.wanted),
                  c.result);
        EXPECT_EQ(table.LookupBits(), c.bits);
        EXPECT_EQ(CheckCodeLengths(c.lengths.data(), static_cast<int>(c.lengths.size())),
                  c.result);
        for (const Expect& x : c.root) {
            SCOPED_TRACE("index " + std::to_string(x.index));
            const TCodeTableEntry& entry = table.Root()[x.index];
            EXPECT_EQ(entry.e, x.e);
            EXPECT_EQ(entry.b, x.b);
            if (x.v >= 0) {
                EXPECT_EQ(entry.v, x.v);
            }
        }
    }
}

TEST(CodeTable, EndOfBlockIsValue256AmongTheSimpleOnes) {
    std::vector<std::uint8_t> lengths(258, 0);
    lengths[65] = lengths[256] = lengths[257] = 2;
    lengths[66] = 2;
    TCodeTable table;
    ASSERT_EQ(table.Build(lengths.data(), 258, 257, kBases, kExtra, 9), coderesult::Complete);
    // Codes in value order: 65 "00", 66 "01", 256 "10", 257 "11"; index bits are reversed.
    EXPECT_EQ(table.Root()[1].e, codeop::EndOfBlock);
    EXPECT_EQ(table.Root()[3].e, 3);
    EXPECT_EQ(table.Root()[3].v, 300);
}

// Walks the tables the way a decoder does: index with the lookup width, drop b bits at a level,
// index the next level with its own width.
int DecodeThroughTables(const TCodeTable& table, std::uint32_t reversedCode, int& used) {
    const TCodeTableEntry* entry = table.Root() + (reversedCode & ((1u << table.LookupBits()) - 1));
    used = 0;
    while (entry->e > codeop::Literal && entry->e != codeop::Invalid) {
        used += entry->b;
        reversedCode >>= entry->b;
        const int width = entry->e - codeop::Literal;
        entry = entry->t + (reversedCode & ((1u << width) - 1));
    }
    used += entry->b;
    return entry->e == codeop::Invalid ? -1 : entry->v;
}

std::uint32_t Reverse(std::uint32_t code, int length) {
    std::uint32_t r = 0;
    for (int i = 0; i < length; ++i)
        r |= ((code >> i) & 1) << (length - 1 - i);
    return r;
}

TEST(CodeTable, EveryCodeDecodesToItsValue) {
    // A ladder of lengths 1 to 15 (complete), which needs three levels below a 5-bit table.
    std::vector<int> ladder;
    for (int len = 1; len <= 15; ++len)
        ladder.push_back(len);
    ladder.push_back(15);
    std::vector<int> lopsided(286, 0);
    for (int v = 0; v < 286; ++v)
        lopsided[v] = v < 8 ? 4 : v < 100 ? 9 : v < 200 ? 10 : 0;
    lopsided[200] = 10;
    struct Set {
        const char* what;
        std::vector<int> lengths;
        int wanted;
    };
    const Set sets[] = {{"fixed literal/length code, 7-bit lookup", FixedLiteralLengths(), 7},
                        {"ladder, 5-bit lookup", ladder, 5},
                        {"ladder, 9-bit lookup", ladder, 9},
                        {"lopsided code, 9-bit lookup", lopsided, 9},
                        {"lopsided code, 6-bit lookup", lopsided, 6}};
    for (const Set& s : sets) {
        SCOPED_TRACE(s.what);
        std::vector<std::uint8_t> lengths(s.lengths.begin(), s.lengths.end());
        TCodeTable table;
        const int n = static_cast<int>(lengths.size());
        const int result = table.Build(lengths.data(), n, n, nullptr, nullptr, s.wanted);
        ASSERT_TRUE(result == coderesult::Complete || result == coderesult::Incomplete);
        const std::vector<std::uint32_t> codes = CanonicalCodes(s.lengths);
        for (int v = 0; v < n; ++v) {
            if (s.lengths[v] == 0)
                continue;
            int used = 0;
            EXPECT_EQ(DecodeThroughTables(table, Reverse(codes[v], s.lengths[v]), used), v);
            EXPECT_EQ(used, s.lengths[v]) << "value " << v;
        }
    }
}

// A further table below a 5-bit first level starts as wide as the next code needs and grows while
// the longer codes would leave it unfilled, never wider than the first level.
TEST(CodeTable, FurtherTableWidths) {
    std::vector<std::uint8_t> ladder;
    for (int len = 1; len <= 15; ++len)
        ladder.push_back(static_cast<std::uint8_t>(len));
    ladder.push_back(15);
    TCodeTable table;
    ASSERT_EQ(table.Build(ladder.data(), 16, 16, nullptr, nullptr, 5), coderesult::Complete);
    // Codes of 6 bits and more start with five 1 bits: index 31.
    const TCodeTableEntry& link = table.Root()[31];
    EXPECT_EQ(link.e, codeop::Literal + 5);
    EXPECT_EQ(link.b, 5);
    const TCodeTableEntry& next = link.t[31];
    EXPECT_EQ(next.e, codeop::Literal + 5);
    EXPECT_EQ(next.b, 5);
}

} // namespace
} // namespace kq::test
