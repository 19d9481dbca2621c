// Code tables built from code lengths: the result, the lookup width and the entries of small codes
// worked out by hand, and for larger codes that every canonical code decodes through the levels to
// its value, consuming exactly its length.
#include "decoders/code_table.h"
#include "support/bit_writer.h"

#include <gtest/gtest.h>
#include <ostream>

namespace kq {

// Failure messages name the result.
inline void PrintTo(TCodeSpace space, std::ostream* os) {
    static const char* const names[] = {"Complete", "Incomplete", "OverSubscribed"};
    *os << names[static_cast<int>(space)];
}

namespace test {
namespace {

struct Expect {
    int index, operation, bits, value; // value -1: not checked
};

struct ShapeCase {
    const char* what;
    std::vector<std::uint8_t> lengths;
    int simple, wanted;
    TCodeSpace result;
    int bits;
    std::vector<Expect> root;
};

const std::uint16_t kBases[] = {300, 400};
const std::uint8_t kExtra[] = {3, 4};

std::vector<std::uint8_t> Ladder() { // lengths 1 to 15, then 15 again: complete
    std::vector<std::uint8_t> lengths;
    for (int len = 1; len <= 15; ++len) {
        lengths.push_back(static_cast<std::uint8_t>(len));
    }
    lengths.push_back(15);
    return lengths;
}

std::vector<std::uint8_t> WithEndOfBlock() { // 65 "00", 66 "01", 256 "10", 257 "11"
    std::vector<std::uint8_t> lengths(258, 0);
    lengths[65] = lengths[66] = lengths[256] = lengths[257] = 2;
    return lengths;
}

// Index bits are the code's bits in the order they arrive: "10" is index 1, "110" starts at 3.
const ShapeCase kShapes[] = {
    {"complete code with a further table (1 \"0\", 0 \"10\", 2 \"110\", 3 \"111\")",
     {2, 1, 3, 3},
     4,
     2,
     TCodeSpace::Complete,
     2,
     {{0, codeop::Literal, 1, 1},
      {2, codeop::Literal, 1, 1},
      {1, codeop::Literal, 2, 0},
      {3, codeop::Literal + 1, 2, -1}}},
    {"unused code space decodes as invalid",
     {1, 0, 2},
     3,
     2,
     TCodeSpace::Incomplete,
     2,
     {{0, codeop::Literal, 1, 0}, {1, codeop::Literal, 2, 2}, {3, codeop::Invalid, 2, -1}}},
    {"a single 1-bit code counts as complete",
     {0, 1},
     2,
     7,
     TCodeSpace::Complete,
     1,
     {{0, codeop::Literal, 1, 1}, {1, codeop::Invalid, 1, -1}}},
    {"over-subscribed", {1, 1, 1}, 3, 7, TCodeSpace::OverSubscribed, 1, {}},
    {"no codes at all", {0, 0, 0}, 3, 7, TCodeSpace::Complete, 0, {}},
    {"width lowered to the longest code",
     {2, 2, 2, 2},
     4,
     9,
     TCodeSpace::Complete,
     2,
     {{3, codeop::Literal, 2, 3}}},
    {"width raised to the shortest code",
     {3, 3, 3, 3, 3, 3, 3, 3},
     8,
     2,
     TCodeSpace::Complete,
     3,
     {{7, codeop::Literal, 3, 7}}},
    {"values from the simple count on take bases and extra bits",
     {1, 2, 2},
     1,
     2,
     TCodeSpace::Complete,
     2,
     {{1, 3, 2, 300}, {3, 4, 2, 400}}},
    {"value 256 among the simple ones is the end of block",
     WithEndOfBlock(),
     257,
     9,
     TCodeSpace::Complete,
     2,
     {{1, codeop::EndOfBlock, 2, -1}, {3, 3, 2, 300}}},
    // Codes of 6 bits and more start with five 1 bits; the further table below is as wide as
    // the first level (it stays unfilled at any smaller width) and links on.
    {"a further table grows while the longer codes would leave it unfilled",
     Ladder(),
     16,
     5,
     TCodeSpace::Complete,
     5,
     {{31, codeop::Literal + 5, 5, -1}}},
};

TEST(CodeTable, Shapes) {
    for (const ShapeCase& c : kShapes) {
        SCOPED_TRACE(c.what);
        TCodeTable table;
        const int n = static_cast<int>(c.lengths.size());
        EXPECT_EQ(table.Build(c.lengths.data(), n, c.simple, kBases, kExtra, c.wanted), c.result);
        EXPECT_EQ(CheckCodeLengths(c.lengths.data(), n), c.result);
        EXPECT_EQ(table.LookupBits(), c.bits);
        for (const Expect& x : c.root) {
            const TCodeTableEntry& entry = table.Root()[x.index];
            EXPECT_EQ(entry.operation, x.operation) << "index " << x.index;
            EXPECT_EQ(entry.bits, x.bits) << "index " << x.index;
            EXPECT_TRUE(x.value < 0 || entry.value == x.value) << "index " << x.index;
        }
    }
}

TEST(CodeTable, EveryCodeDecodesToItsValue) {
    std::vector<std::uint8_t> lopsided(286, 0); // incomplete, codes of 4, 9 and 10 bits
    for (int v = 0; v <= 200; ++v) {
        lopsided[v] = v < 8 ? 4 : v < 100 ? 9 : 10;
    }
    const std::vector<int> fixed = FixedLiteralLengths();
    const std::pair<std::vector<std::uint8_t>, int> sets[] = {
        {{fixed.begin(), fixed.end()}, 7}, {Ladder(), 5}, {Ladder(), 9}, {lopsided, 6}};
    for (const auto& [lengths, wanted] : sets) {
        SCOPED_TRACE("lookup " + std::to_string(wanted) + ", " + std::to_string(lengths.size()) +
                     " values");
        const int n = static_cast<int>(lengths.size());
        TCodeTable table;
        ASSERT_LE(table.Build(lengths.data(), n, n, nullptr, nullptr, wanted),
                  TCodeSpace::Incomplete);
        const auto codes = CanonicalCodes(std::vector<int>(lengths.begin(), lengths.end()));
        for (int v = 0; v < n; ++v) {
            if (lengths[v] == 0) {
                continue;
            }
            // The code's bits in arrival order, then a walk through the levels as a decoder does.
            std::uint32_t bits = 0;
            for (int i = 0; i < lengths[v]; ++i) {
                bits |= ((codes[v] >> i) & 1) << (lengths[v] - 1 - i);
            }
            const TCodeTableEntry* entry = table.Root() + (bits & ((1u << table.LookupBits()) - 1));
            int used = 0;
            while (entry->operation > codeop::Literal && entry->operation != codeop::Invalid) {
                used += entry->bits;
                bits >>= entry->bits;
                entry =
                    entry->further + (bits & ((1u << (entry->operation - codeop::Literal)) - 1));
            }
            EXPECT_EQ(entry->operation, v == 256 ? codeop::EndOfBlock : codeop::Literal)
                << "value " << v;
            EXPECT_EQ(entry->value, v);
            EXPECT_EQ(used + entry->bits, lengths[v]) << "value " << v;
        }
    }
}

} // namespace
} // namespace test
} // namespace kq
