// Shrink streams built code by code. Expected outputs are worked out by hand from the format's
// rules: each code after the first defines the lowest free code as the previous string plus the
// current string's first byte.
#include "legacy_decode.h"
#include "support/bit_writer.h"

#include <gtest/gtest.h>

namespace kq::test {
namespace {

// A code and the width it is sent with.
struct Code {
    std::uint32_t value;
    int width = 9;
};

constexpr std::uint32_t kEscape = 256;

Bytes Stream(const std::vector<Code>& codes) {
    BitWriter w;
    for (const Code& c : codes)
        w.Bits(c.value, c.width);
    return w.Finish();
}

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

struct ShrinkCase {
    const char* name;
    std::vector<Code> codes;
    std::string expected;
};

TEST(Unshrink, CodesEscapesAndPartialClears) {
    const ShrinkCase cases[] = {
        {"literals", {{'a'}, {'b'}}, "ab"},
        {"a defined code", {{'a'}, {'b'}, {257}}, "abab"},
        // 257 is the code this very step defines: "a" plus its own first byte.
        {"the code being defined", {{'a'}, {257}}, "aaa"},
        {"a chain of codes being defined", {{'a'}, {257}, {258}}, "aaaaaa"},
        {"the code being defined after others", {{'a'}, {'b'}, {258}}, "abbb"},
        // The sub-code is still read 9 bits wide; the code after it 10 bits wide.
        {"256,1 widens from the next code on",
         {{'a'}, {kEscape}, {1}, {'b', 10}, {257, 10}},
         "abab"},
        {"widened to 13 bits",
         {{'a'},
          {kEscape},
          {1},
          {kEscape, 10},
          {1, 10},
          {kEscape, 11},
          {1, 11},
          {kEscape, 12},
          {1, 12},
          {'b', 13},
          {257, 13}},
         "abab"},
        {"256,0 is ignored", {{'a'}, {kEscape}, {0}, {'b'}, {257}}, "abab"},
        {"256,3 is ignored", {{'a'}, {kEscape}, {3}, {'b'}, {257}}, "abab"},
        {"256,511 is ignored", {{'a'}, {kEscape}, {511}, {'b'}, {257}}, "abab"},
        {"escapes in a row", {{'a'}, {kEscape}, {3}, {kEscape}, {1}, {'b', 10}}, "ab"},
        // 257 "ab", 258 "ba", 259 "abc": 257 is 259's prefix and stays; 258 and 259 are leaves
        // and go. 'd' then defines 258 as "cd", 257 defines 259 as "da".
        {"256,2 frees only the leaves",
         {{'a'}, {'b'}, {257}, {'c'}, {kEscape}, {2}, {'d'}, {257}, {258}, {259}},
         "ababcdabcdda"},
    };
    for (const ShrinkCase& c : cases) {
        SCOPED_TRACE(c.name);
        const LegacyResult r = DecodeLegacy(method::Shrunk, 0, Stream(c.codes), 1000);
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output, Text(c.expected));
    }
}

TEST(Unshrink, LongStringsAcrossTheOneMoveLimitAndTheChunks) {
    // 'a', then 257, 258, ... each the code being defined: strings of 2, 3, ... 200 bytes,
    // 20100 bytes in all, so strings are moved both in one piece and byte by byte, and the output
    // is written in two chunks.
    std::vector<Code> codes = {{'a'}};
    for (std::uint32_t code = 257; code <= 455; ++code)
        codes.push_back({code});
    const LegacyResult r = DecodeLegacy(method::Shrunk, 0, Stream(codes), 20100);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.output, Bytes(20100, 'a'));
}

TEST(Unshrink, EndsWithTheDataNotTheDeclaredSize) {
    const Bytes data = Stream({{'a'}, {'b'}, {257}});
    const LegacyResult longer = DecodeLegacy(method::Shrunk, 0, data, 1 << 30);
    EXPECT_EQ(longer.error, "");
    EXPECT_EQ(longer.output, Text("abab"));
    const LegacyResult shorter = DecodeLegacy(method::Shrunk, 0, data, 3);
    EXPECT_EQ(shorter.error, "File is larger than uncompressed size!");
    const LegacyResult empty = DecodeLegacy(method::Shrunk, 0, {}, 0);
    EXPECT_EQ(empty.error, "");
    EXPECT_TRUE(empty.output.empty());
}

TEST(Unshrink, DamagedStreamsEndTheEntry) {
    const ShrinkCase cases[] = {
        // A fifth 256,1 would make codes 14 bits wide: decoding stops there.
        {"codes wider than 13 bits",
         {{'a'},
          {kEscape},
          {1},
          {kEscape, 10},
          {1, 10},
          {kEscape, 11},
          {1, 11},
          {kEscape, 12},
          {1, 12},
          {'b', 13},
          {kEscape, 13},
          {1, 13},
          {'c', 14},
          {'c', 13}},
         "ab"},
        // 257 and 258 are leaves and freed; 257, free and the previous code at once, then chains
        // to itself for ever.
        {"a free code that is its own previous code",
         {{'a'}, {'b'}, {257}, {kEscape}, {2}, {257}, {'c'}},
         "abab"},
        // After the clear the previous code 257 is free and the lowest free code, so 'c' defines
        // 257 with itself as prefix; using it never reaches a byte.
        {"a code that is its own prefix",
         {{'a'}, {'b'}, {257}, {kEscape}, {2}, {'c'}, {257}, {'d'}},
         "ababc"},
    };
    for (const ShrinkCase& c : cases) {
        SCOPED_TRACE(c.name);
        const LegacyResult r = DecodeLegacy(method::Shrunk, 0, Stream(c.codes), 1000);
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output, Text(c.expected));
    }
}

} // namespace
} // namespace kq::test
