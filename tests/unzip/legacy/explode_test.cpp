// Implode streams built bit by bit. Codes are assigned as the format describes it (values sorted
// by length, a 16-bit counter counting up from the longest end), independently of the decoder's
// tables; expected outputs come from the plain model of the matches.
#include "legacy_decode.h"

#include <gtest/gtest.h>
#include <numeric>

namespace kq::test {
namespace {

using Lengths = std::vector<int>;

// 1 to 5 bits, then five of 10 and fifty-four of 11: complete, longer than any first-level table.
const Lengths kSkewed64 = Lengths{1, 2, 3, 4, 5} + Lengths(5, 10) + Lengths(54, 11);

// 'a' 1 bit, 'b' 8 bits, the other 254 values 9 bits: complete.
Lengths SkewedLiterals() {
    Lengths l(256, 9);
    l['a'] = 1;
    l['b'] = 8;
    return l;
}

std::vector<std::uint32_t> ShannonFanoCodes(const Lengths& lengths) {
    std::vector<int> order(lengths.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int x, int y) { return lengths[x] < lengths[y]; });
    std::vector<std::uint32_t> codes(lengths.size());
    std::uint32_t code = 0, increment = 0;
    for (int i = static_cast<int>(order.size()) - 1; i >= 0; --i) {
        code += increment;
        const int len = lengths[order[i]];
        increment = 1u << (16 - len);
        codes[order[i]] = (code & 0xFFFF) >> (16 - len);
    }
    return codes;
}

// The number of runs minus one, then per run (count - 1) << 4 | (length - 1).
Bytes Describe(const Lengths& lengths) {
    Bytes runs = {0};
    for (std::size_t i = 0, n; i < lengths.size(); i += n) {
        for (n = 1; n < 16 && i + n < lengths.size() && lengths[i + n] == lengths[i];) {
            ++n;
        }
        runs.push_back(static_cast<std::uint8_t>((n - 1) << 4 | (lengths[i] - 1)));
    }
    runs[0] = static_cast<std::uint8_t>(runs.size() - 2);
    return runs;
}

struct Trees {
    Lengths literal = SkewedLiterals(); // sent when the flags ask for a literal code
    Lengths length = kSkewed64;
    Lengths distance = kSkewed64;
};

constexpr std::uint16_t kBig = implodeflag::BigDictionary, kLiteral = implodeflag::LiteralTree;

Bytes Implode(std::uint16_t flags, const std::vector<Symbol>& symbols, const Trees& t = {}) {
    const int lowBits = flags & kBig ? 7 : 6, minLength = flags & kLiteral ? 3 : 2;
    Bytes out = (flags & kLiteral ? Describe(t.literal) : Bytes()) + Describe(t.length) +
                Describe(t.distance);
    const auto literalCodes = ShannonFanoCodes(t.literal), lengthCodes = ShannonFanoCodes(t.length),
               distanceCodes = ShannonFanoCodes(t.distance);
    BitWriter w;
    for (const Symbol& s : symbols) {
        if (s.literal >= 0 && (flags & kLiteral)) {
            w.Bits(1, 1).Code(literalCodes[s.literal], t.literal[s.literal]);
        } else if (s.literal >= 0) {
            w.Bits(1, 1).Byte(static_cast<std::uint8_t>(s.literal));
        }
        if (s.literal >= 0) {
            continue;
        }
        const int d = s.distance - 1, l = std::min(s.length - minLength, 63);
        w.Bits(0, 1).Bits(d & ((1 << lowBits) - 1), lowBits);
        w.Code(distanceCodes[d >> lowBits], t.distance[d >> lowBits]);
        w.Code(lengthCodes[l], t.length[l]);
        if (l == 63) {
            w.Byte(static_cast<std::uint8_t>(s.length - minLength - 63));
        }
    }
    return out + w.Finish();
}

// A match reaching before the data, every distance code and length value, and the lengths
// around the one that takes an extra byte.
std::vector<Symbol> Workout(std::uint16_t flags) {
    const int minLength = flags & kLiteral ? 3 : 2, dictionary = flags & kBig ? 8192 : 4096;
    std::vector<Symbol> s = {{'x'}, Match(minLength, 3)};
    for (int i = 0; i < dictionary + 200; ++i) {
        s.push_back({i % 5 == 0 ? 'a' : i % 7 == 0 ? 'b' : i * 37 % 256});
    }
    for (int v = 0; v < 64; ++v) {
        s.push_back(Match(minLength + v, dictionary - 1 - v * (dictionary / 64)));
    }
    for (const int extra : {62, 63, 64, 63 + 255}) {
        s.push_back(Match(minLength + extra, 1 + extra));
    }
    return s;
}

LegacyResult Explode(std::uint16_t flags, const Bytes& data, std::int32_t declared) {
    return DecodeLegacy(method::Imploded, flags, data, declared);
}

TEST(Explode, EveryDictionaryAndLiteralCoding) {
    for (const std::uint16_t flags : {0, 2, 4, 6}) {
        SCOPED_TRACE("flags " + std::to_string(flags));
        const Bytes expected = Expand(Workout(flags));
        const LegacyResult r = Explode(flags, Implode(flags, Workout(flags)),
                                       static_cast<std::int32_t>(expected.size()));
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output, expected);
    }
}

TEST(Explode, DistanceLookupWidensAbove200000CompressedBytes) {
    EXPECT_EQ(ImplodeDistanceLookupBits(200000), 7);
    EXPECT_EQ(ImplodeDistanceLookupBits(200001), 8);
    // Padded to either size, the same stream decodes alike; the padding is never reached.
    const Bytes expected = Expand(Workout(kBig | kLiteral));
    for (const std::size_t size : {200000, 200001}) {
        Bytes data = Implode(kBig | kLiteral, Workout(kBig | kLiteral));
        data.resize(size, 0);
        EXPECT_EQ(Explode(kBig | kLiteral, data, static_cast<std::int32_t>(expected.size())).output,
                  expected)
            << size;
    }
}

TEST(Explode, UnusableTreesEndTheEntryWithNothingWritten) {
    // Complete codes of one value less (255: 'a' 1 bit, two of 8, the rest 9; 63: six of 10
    // instead of five), so that only the count gives them away; and one value more.
    Lengths literals255(255, 9),
        lengths63 = Lengths{1, 2, 3, 4, 5} + Lengths(6, 10) + Lengths(52, 11);
    literals255['a'] = 1;
    literals255['b'] = literals255['c'] = 8;
    const struct {
        const char* name;
        Trees trees;
    } cases[] = {
        {"literal runs adding up to 255", {literals255}},
        {"literal runs adding up to 257", {SkewedLiterals() + Lengths{9}}},
        {"length runs adding up to 63", {SkewedLiterals(), lengths63}},
        {"distance runs adding up to 65", {SkewedLiterals(), kSkewed64, kSkewed64 + Lengths{11}}},
        {"an incomplete distance code", {SkewedLiterals(), kSkewed64, Lengths(64, 7)}},
        {"an over-subscribed length code", {SkewedLiterals(), Lengths(64, 5)}},
    };
    const std::vector<Symbol> symbols(100, Symbol{'b'});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LegacyResult r = Explode(kLiteral, Implode(kLiteral, symbols, c.trees), 100);
        EXPECT_EQ(r.error, "");
        EXPECT_TRUE(r.output.empty());
        EXPECT_NE(r.crc, 0x250162DBu); // CRC-32 of 100 bytes "b" (zlib)
    }
    const Bytes cut = Implode(kLiteral, symbols);
    EXPECT_TRUE(Explode(kLiteral, Bytes(cut.begin(), cut.begin() + 10), 100).output.empty());
}

TEST(Explode, EndsWhenTheDataIsUsedUp) {
    // Eight plain literals of 9 bits fill 9 bytes exactly. Declared far larger, decoding stops
    // there instead of going on with the last byte supplied again.
    const LegacyResult r = Explode(0, Implode(0, Literals("qqqqqqqq")), 1 << 30);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.output, Text("qqqqqqqq"));
}

} // namespace
} // namespace kq::test
