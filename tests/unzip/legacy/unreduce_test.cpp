// Reduce streams built bit by bit: follower sets, then bytes coded against the set of the byte
// before them; expected outputs worked out by hand or by the plain model of the matches.
#include "legacy_decode.h"

#include <gtest/gtest.h>
#include <map>

namespace kq::test {
namespace {

constexpr std::uint8_t kEscByte = 144;

// Writes the follower sets (for byte values 255 down to 0), then bytes.
class ReduceWriter {
public:
    explicit ReduceWriter(std::map<int, Bytes> sets = {}) : sets_(std::move(sets)) {
        for (int x = 255; x >= 0; --x) {
            w_.Bits(static_cast<std::uint32_t>(sets_[x].size()), 6);
            for (const std::uint8_t b : sets_[x]) {
                w_.Byte(b);
            }
        }
    }
    // 8 bits, after a 1 flag bit when the last byte's set is not empty.
    ReduceWriter& Plain(const Bytes& bytes) {
        for (const std::uint8_t b : bytes) {
            if (!sets_[last_].empty()) {
                w_.Bits(1, 1);
            }
            w_.Byte(last_ = b);
        }
        return *this;
    }
    // A 0 flag bit and an index of the given width into the last byte's set.
    ReduceWriter& Indexed(std::uint32_t index, int width) {
        w_.Bits(0, 1).Bits(index, width);
        last_ = sets_[last_][index];
        return *this;
    }
    Bytes Finish() { return w_.Finish(); }

private:
    std::map<int, Bytes> sets_;
    BitWriter w_;
    std::uint8_t last_ = 0;
};

TEST(Unreduce, FollowerSets) {
    const struct {
        int setSize;
        int width;
    } cases[] = {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {32, 5}, {33, 6}, {63, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE("set of " + std::to_string(c.setSize));
        Bytes set;
        for (int i = 0; i < c.setSize; ++i) {
            set.push_back(static_cast<std::uint8_t>('A' + i));
        }
        // The first byte follows 0; the byte chosen has an empty set, so 0 follows with no flag
        // bit; then 'z' after a 1 flag bit.
        ReduceWriter w({{0, set}});
        w.Indexed(static_cast<std::uint32_t>(c.setSize - 1), c.width).Plain({0, 'z'});
        EXPECT_EQ(DecodeLegacy(2, 0, w.Finish(), 3).output, (Bytes{set.back(), 0, 'z'}));
    }
    // The match's distance byte 3 and the escape's 0 pick the sets of the bytes after them.
    ReduceWriter w({{0, {'k'}}, {3, {'q'}}});
    w.Plain(Text("abcd"))
        .Plain({kEscByte, 0x01, 3})
        .Indexed(0, 1)
        .Plain({kEscByte, 0})
        .Indexed(0, 1);
    EXPECT_EQ(DecodeLegacy(2, 0, w.Finish(), 11).output, Text("abcdabcdq\x90k"));
}

TEST(Unreduce, EscapesAndMatches) {
    Bytes history; // 4000 bytes, none of them 144
    std::vector<Symbol> historySymbols;
    for (int i = 0; i < 4000; ++i) {
        history.push_back(static_cast<std::uint8_t>(i * 7 % 128));
        historySymbols.push_back({i * 7 % 128});
    }
    struct Case {
        std::string name;
        std::uint16_t method;
        Bytes sent; // plainly, every follower set empty
        std::vector<Symbol> expected;
    };
    std::vector<Case> cases = {
        {"144, 0 is the byte 144",
         2,
         {'a', kEscByte, 0, 'b'},
         Literals("a\x90"
                  "b")},
        // Factor 1: 0x7E has length part 126 (129 bytes); 0x7F is all ones, so a byte adds 5.
        {"factor 1, 0x7E", 2, Text("abc") + Bytes{kEscByte, 0x7E, 2, 'x'},
         Literals("abc") + std::vector<Symbol>{Match(129, 3)} + Literals("x")},
        {"factor 1, 0x7F and its extra byte", 2, Text("abc") + Bytes{kEscByte, 0x7F, 5, 2, 'x'},
         Literals("abc") + std::vector<Symbol>{Match(135, 3)} + Literals("x")},
        {"a match reaching before the data", 2, Text("ab") + Bytes{kEscByte, 0x01, 4},
         Literals("ab") + std::vector<Symbol>{Match(4, 5)}},
    };
    // 0xFE and 0xFF give each factor its largest distance, 0xFF also a length part of all ones.
    const int lengths[] = {129, 65, 33, 17}, distances[] = {289, 801, 1825, 3873};
    for (int f = 0; f < 4; ++f) {
        cases.push_back(
            {"factor " + std::to_string(f + 1), static_cast<std::uint16_t>(2 + f),
             history + Bytes{kEscByte, 0xFE, 0x20, kEscByte, 0xFF, 7, 0x20},
             historySymbols + std::vector<Symbol>{Match(lengths[f], distances[f]),
                                                  Match(lengths[f] + 8, distances[f])}});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes expected = Expand(c.expected);
        const LegacyResult r = DecodeLegacy(c.method, 0, ReduceWriter().Plain(c.sent).Finish(),
                                            static_cast<std::int32_t>(expected.size()));
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output, expected);
    }
}

TEST(Unreduce, EndsAtTheDeclaredSizeOrWithTheData) {
    const Bytes data = ReduceWriter().Plain(Text("abcd")).Finish();
    EXPECT_EQ(DecodeLegacy(5, 0, data, 2).output, Text("ab"));
    // Declared far larger: decoding stops with the data, not a gigabyte of zeros later.
    EXPECT_EQ(DecodeLegacy(5, 0, data, 1 << 30).output, Text("abcd"));
    EXPECT_EQ(DecodeLegacy(5, 0, Bytes(data.begin(), data.begin() + 100), 1 << 30).output, Bytes());
}

} // namespace
} // namespace kq::test
