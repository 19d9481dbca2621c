// Reduce streams built bit by bit: follower sets, then bytes coded against the set of the byte
// before. Expected outputs are worked out by hand or by a plain model of the matches.
#include "legacy_decode.h"
#include "support/bit_writer.h"

#include <gtest/gtest.h>
#include <map>

namespace kq::test {
namespace {

constexpr std::uint8_t kEscape = 144;

// A stream under construction: the follower sets are written first, for byte values 255 down to 0.
class ReduceWriter {
public:
    explicit ReduceWriter(std::map<int, Bytes> sets = {}) : sets_(std::move(sets)) {
        for (int x = 255; x >= 0; --x) {
            const Bytes& set = sets_[x];
            w_.Bits(static_cast<std::uint32_t>(set.size()), 6);
            for (const std::uint8_t b : set)
                w_.Byte(b);
        }
    }
    // A byte sent plainly: 8 bits, after a 1 flag bit when the last byte's set is not empty.
    ReduceWriter& Plain(std::uint8_t b) {
        if (!sets_[last_].empty())
            w_.Bits(1, 1);
        w_.Byte(b);
        last_ = b;
        return *this;
    }
    ReduceWriter& Plain(const Bytes& bytes) {
        for (const std::uint8_t b : bytes)
            Plain(b);
        return *this;
    }
    // A byte sent as a 0 flag bit and an index of the given width into the last byte's set.
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

// What a stream should decode to: literal bytes, and matches copied by hand's rule from distance
// bytes back, where positions before the data read as zero.
struct Piece {
    Bytes literal;
    int length = 0;
    int distance = 0;
};

Bytes Expand(const std::vector<Piece>& pieces) {
    Bytes out;
    for (const Piece& p : pieces) {
        out.insert(out.end(), p.literal.begin(), p.literal.end());
        for (int i = 0; i < p.length; ++i) {
            const std::ptrdiff_t from = std::ptrdiff_t(out.size()) - p.distance;
            out.push_back(from < 0 ? 0 : out[static_cast<std::size_t>(from)]);
        }
    }
    return out;
}

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Unreduce, FollowerSetIndexWidths) {
    const struct {
        int setSize;
        int width;
    } cases[] = {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {32, 5}, {33, 6}, {63, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE("set of " + std::to_string(c.setSize));
        Bytes set;
        for (int i = 0; i < c.setSize; ++i)
            set.push_back(static_cast<std::uint8_t>('A' + i));
        // The first byte follows the value 0. The chosen byte's set is empty, so the next byte
        // (0) comes without a flag bit; then 'z' plainly, after a 1 flag bit.
        ReduceWriter w({{0, set}});
        w.Indexed(static_cast<std::uint32_t>(c.setSize - 1), c.width).Plain(0).Plain('z');
        const LegacyResult r = DecodeLegacy(method::ReducedFactor1, 0, w.Finish(), 3);
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output, (Bytes{set.back(), 0, 'z'}));
    }
}

TEST(Unreduce, EveryByteBecomesTheLastByteWhateverItsRole) {
    // The match's distance byte 3 and the escape's 0 pick the sets the next bytes are coded with.
    ReduceWriter w({{0, {'k'}}, {3, {'q'}}});
    w.Plain(Text("abcd")).Plain({kEscape, 0x01, 3}).Indexed(0, 1).Plain({kEscape, 0}).Indexed(0, 1);
    const LegacyResult r = DecodeLegacy(method::ReducedFactor1, 0, w.Finish(), 11);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.output, Text("abcdabcdq\x90k"));
}

struct ReduceCase {
    std::string name;
    std::uint16_t method;
    Bytes sent; // every byte sent plainly, every follower set empty
    std::vector<Piece> expected;
};

TEST(Unreduce, EscapesAndMatches) {
    Bytes history; // 4000 bytes, none of them 144
    for (int i = 0; i < 4000; ++i)
        history.push_back(static_cast<std::uint8_t>(i * 7 % 128));
    std::vector<ReduceCase> cases = {
        {"144, 0 is the byte 144", 2, {'a', kEscape, 0, 'b'}, {{Text("a\x90") + Text("b")}}},
        // Factor 1: 0x7E has length part 126 (129 bytes); 0x7F is all ones, so a byte adds 5.
        {"factor 1, 0x7E",
         2,
         Text("abc") + Bytes{kEscape, 0x7E, 2, 'x'},
         {{Text("abc")}, {{}, 129, 3}, {Text("x")}}},
        {"factor 1, 0x7F and its extra length byte",
         2,
         Text("abc") + Bytes{kEscape, 0x7F, 5, 2, 'x'},
         {{Text("abc")}, {{}, 135, 3}, {Text("x")}}},
        {"a match reaching before the data",
         2,
         Text("ab") + Bytes{kEscape, 0x01, 4},
         {{Text("ab")}, {{}, 4, 5}}},
    };
    // 0xFE and 0xFF give each factor the largest distance; 0xFF also a length of all ones.
    const struct {
        std::uint16_t method;
        int length;   // of 0xFE; 0xFF with an extra byte 7 is 8 more
        int distance; // with a low byte of 0x20
    } factors[] = {{2, 129, 289}, {3, 65, 801}, {4, 33, 1825}, {5, 17, 3873}};
    for (const auto& f : factors)
        cases.push_back({"method " + std::to_string(f.method),
                         f.method,
                         history + Bytes{kEscape, 0xFE, 0x20, kEscape, 0xFF, 7, 0x20},
                         {{history}, {{}, f.length, f.distance}, {{}, f.length + 8, f.distance}}});
    for (const ReduceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes expected = Expand(c.expected);
        const LegacyResult r = DecodeLegacy(c.method, 0, ReduceWriter().Plain(c.sent).Finish(),
                                            static_cast<std::int32_t>(expected.size()));
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output, expected);
    }
}

TEST(Unreduce, EndsAtTheDeclaredSizeOrWhenTheDataIsUsedUp) {
    const Bytes data = ReduceWriter().Plain(Text("abcd")).Finish();
    const LegacyResult shorter = DecodeLegacy(method::ReducedFactor4, 0, data, 2);
    EXPECT_EQ(shorter.error, "");
    EXPECT_EQ(shorter.output, Text("ab"));
    // Declared far larger than the data: decoding stops with the data, not a gigabyte later.
    const LegacyResult longer = DecodeLegacy(method::ReducedFactor4, 0, data, 1 << 30);
    EXPECT_EQ(longer.error, "");
    EXPECT_EQ(longer.output, Text("abcd"));
    const LegacyResult cut =
        DecodeLegacy(method::ReducedFactor4, 0, Bytes(data.begin(), data.begin() + 100), 1 << 30);
    EXPECT_EQ(cut.error, "");
    EXPECT_TRUE(cut.output.empty());
}

} // namespace
} // namespace kq::test
