// Shrink streams built code by code; expected outputs worked out by hand. Each code after the
// first defines the lowest free code as the previous string plus the current one's first byte.
#include "legacy_decode.h"

#include <gtest/gtest.h>

namespace kq::test {
namespace {

struct Code {
    std::uint32_t value;
    int width = 9;
};

constexpr std::uint32_t kEscCode = 256;

LegacyResult Unshrink(const std::vector<Code>& codes, std::int32_t declared = 1000) {
    BitWriter w;
    for (const Code& c : codes) {
        w.Bits(c.value, c.width);
    }
    return DecodeLegacy(method::Shrunk, 0, w.Finish(), declared);
}

TEST(Unshrink, CodesEscapesAndDamage) {
    const std::vector<Code> to13Bits = {{'a'},   {kEscCode},     {1},     {kEscCode, 10},
                                        {1, 10}, {kEscCode, 11}, {1, 11}, {kEscCode, 12},
                                        {1, 12}, {'b', 13}};
    const struct {
        const char* name;
        std::vector<Code> codes;
        std::string expected;
    } cases[] = {
        {"a defined code", {{'a'}, {'b'}, {257}}, "abab"},
        // 257 is being defined by this very step: "a" plus its own first byte.
        {"the code being defined", {{'a'}, {257}, {258}}, "aaaaaa"},
        {"the code being defined after others", {{'a'}, {'b'}, {258}}, "abbb"},
        // The sub-code is still 9 bits wide, the code after it 10.
        {"256,1 widens from the next code on",
         {{'a'}, {kEscCode}, {1}, {'b', 10}, {257, 10}},
         "abab"},
        {"widened to 13 bits", to13Bits + std::vector<Code>{{257, 13}}, "abab"},
        {"256,0, 256,3 and 256,511 are ignored",
         {{'a'}, {kEscCode}, {0}, {kEscCode}, {3}, {'b'}, {kEscCode}, {511}, {257}},
         "abab"},
        // 257 "ab", 258 "ba", 259 "abc": 257 is 259's prefix and stays, the leaves 258 and 259
        // go. Then 'd' defines 258 as "cd" and 257 defines 259 as "da".
        {"256,2 frees only the leaves",
         {{'a'}, {'b'}, {257}, {'c'}, {kEscCode}, {2}, {'d'}, {257}, {258}, {259}},
         "ababcdabcdda"},
        // Damaged streams end the entry where the damage is met.
        {"codes widened to 14 bits",
         to13Bits + std::vector<Code>{{kEscCode, 13}, {1, 13}, {'c', 14}}, "ab"},
        // The clear frees 257 and 258; 257, free and the previous code, then chains to itself.
        {"a free code that is the previous one",
         {{'a'}, {'b'}, {257}, {kEscCode}, {2}, {257}},
         "abab"},
        // 'c' defines the free 257 with the previous code 257 as its prefix.
        {"a code that is its own prefix",
         {{'a'}, {'b'}, {257}, {kEscCode}, {2}, {'c'}, {257}, {'d'}},
         "ababc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LegacyResult r = Unshrink(c.codes);
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output, Text(c.expected));
    }
}

TEST(Unshrink, LongStringsAndTheEndOfTheData) {
    // 'a', then 257 ... 455, each the code being defined: strings of 2 to 200 bytes, 20100 in
    // all, moved in one piece and byte by byte, written in two chunks.
    std::vector<Code> codes = {{'a'}};
    for (std::uint32_t code = 257; code <= 455; ++code) {
        codes.push_back({code});
    }
    EXPECT_EQ(Unshrink(codes, 20100).output, Bytes(20100, 'a'));
    // The declared size does not end the decoder; the output path refuses a larger file.
    EXPECT_EQ(Unshrink({{'a'}, {'b'}}, 1 << 30).output, Text("ab"));
    EXPECT_EQ(Unshrink({{'a'}, {'b'}, {257}}, 3).error, "File is larger than uncompressed size!");
}

} // namespace
} // namespace kq::test
