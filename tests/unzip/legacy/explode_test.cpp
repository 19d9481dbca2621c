// Implode streams built bit by bit. The codes are assigned the way the format's description
// does it (lengths sorted, codes counted up from the longest end), independently of how the decoder
// builds its tables; expected outputs come from a plain model of the matches.
#include "legacy_decode.h"
#include "support/bit_writer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace kq::test {
namespace {

using Lengths = std::vector<int>;

// Code lengths of 1, 2, 3, 4 and 5 bits, then five of 10 and fifty-four of 11: complete, with codes
// longer than any first-level table.
Lengths Skewed64() {
    Lengths l = {1, 2, 3, 4, 5};
    l.insert(l.end(), 5, 10);
    l.insert(l.end(), 54, 11);
    return l;
}

// 'a' 1 bit, 'b' 8 bits, the other 254 values 9 bits: complete.
Lengths SkewedLiterals() {
    Lengths l(256, 9);
    l['a'] = 1;
    l['b'] = 8;
    return l;
}

// The codes as the format assigns them: values sorted by length (stable), then, from the last one
// (longest) back to the first, each gets a 16-bit counter that grows by 2^(16 - length).
std::vector<std::uint32_t> ShannonFanoCodes(const Lengths& lengths) {
    std::vector<int> order(lengths.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int x, int y) { return lengths[x] < lengths[y]; });
    std::vector<std::uint32_t> codes(lengths.size());
    std::uint32_t code = 0, increment = 0;
    int last = 0;
    for (int i = static_cast<int>(order.size()) - 1; i >= 0; --i) {
        code += increment;
        const int len = lengths[order[i]];
        if (len != last) {
            last = len;
            increment = 1u << (16 - len);
        }
        codes[order[i]] = (code & 0xFFFF) >> (16 - len);
    }
    return codes;
}

// A description: the number of runs minus one, then per run (count - 1) << 4 | (length - 1).
Bytes Describe(const Lengths& lengths) {
    Bytes runs;
    for (std::size_t i = 0; i < lengths.size();) {
        std::size_t n = 1;
        while (n < 16 && i + n < lengths.size() && lengths[i + n] == lengths[i])
            ++n;
        runs.push_back(static_cast<std::uint8_t>((n - 1) << 4 | (lengths[i] - 1)));
        i += n;
    }
    runs.insert(runs.begin(), static_cast<std::uint8_t>(runs.size() - 1));
    return runs;
}

struct Symbol {
    int literal = -1; // or a match:
    int length = 0;
    int distance = 0;
};

Symbol Lit(int b) {
    return {b};
}
Symbol Match(int length, int distance) {
    return {-1, length, distance};
}

struct Trees {
    Lengths literal = SkewedLiterals(); // used when the flags ask for a literal code
    Lengths length = Skewed64();
    Lengths distance = Skewed64();
};

Bytes Implode(std::uint16_t flags, const std::vector<Symbol>& symbols, const Trees& t = {}) {
    const bool literalCode = flags & implodeflag::LiteralTree;
    const int lowBits = flags & implodeflag::BigDictionary ? 7 : 6;
    const int minLength = literalCode ? 3 : 2;
    Bytes out;
    for (const Lengths* l : {&t.literal, &t.length, &t.distance})
        if (l != &t.literal || literalCode) {
            const Bytes d = Describe(*l);
            out.insert(out.end(), d.begin(), d.end());
        }
    const auto literalCodes = ShannonFanoCodes(t.literal);
    const auto lengthCodes = ShannonFanoCodes(t.length);
    const auto distanceCodes = ShannonFanoCodes(t.distance);
    BitWriter w;
    for (const Symbol& s : symbols) {
        if (s.literal >= 0) {
            w.Bits(1, 1);
            if (literalCode)
                w.Code(literalCodes[s.literal], t.literal[s.literal]);
            else
                w.Byte(static_cast<std::uint8_t>(s.literal));
            continue;
        }
        const int d = s.distance - 1, l = std::min(s.length - minLength, 63);
        w.Bits(0, 1).Bits(d & ((1 << lowBits) - 1), lowBits);
        w.Code(distanceCodes[d >> lowBits], t.distance[d >> lowBits]);
        w.Code(lengthCodes[l], t.length[l]);
        if (l == 63)
            w.Byte(static_cast<std::uint8_t>(s.length - minLength - 63));
    }
    const Bytes bits = w.Finish();
    out.insert(out.end(), bits.begin(), bits.end());
    return out;
}

Bytes Expand(const std::vector<Symbol>& symbols) {
    Bytes out;
    for (const Symbol& s : symbols) {
        if (s.literal >= 0)
            out.push_back(static_cast<std::uint8_t>(s.literal));
        for (int i = 0; i < s.length; ++i) {
            const std::ptrdiff_t from = std::ptrdiff_t(out.size()) - s.distance;
            out.push_back(from < 0 ? 0 : out[static_cast<std::size_t>(from)]);
        }
    }
    return out;
}

constexpr std::uint16_t kFlagCombinations[] = {
    0, implodeflag::BigDictionary, implodeflag::LiteralTree,
    implodeflag::BigDictionary | implodeflag::LiteralTree};

// Every distance code and every length value, lengths around the one that takes an extra byte,
// and a match that reaches before the data.
std::vector<Symbol> Workout(std::uint16_t flags) {
    const int minLength = flags & implodeflag::LiteralTree ? 3 : 2;
    const int dictionary = flags & implodeflag::BigDictionary ? 8192 : 4096;
    std::vector<Symbol> s = {Lit('x'), Match(minLength, 3)};
    for (int i = 0; i < dictionary + 200; ++i)
        s.push_back(Lit(i % 5 == 0 ? 'a' : i % 7 == 0 ? 'b' : i * 37 % 256));
    for (int v = 0; v < 64; ++v)
        s.push_back(Match(minLength + v, dictionary - 1 - v * (dictionary / 64)));
    for (const int extra : {62, 63, 64, 63 + 255})
        s.push_back(Match(minLength + extra, 1 + extra));
    s.push_back(Lit('a'));
    return s;
}

TEST(Explode, EveryDictionaryAndLiteralCoding) {
    for (const std::uint16_t flags : kFlagCombinations) {
        SCOPED_TRACE("flags " + std::to_string(flags));
        const std::vector<Symbol> symbols = Workout(flags);
        const Bytes expected = Expand(symbols);
        const LegacyResult r = DecodeLegacy(method::Imploded, flags, Implode(flags, symbols),
                                            static_cast<std::int32_t>(expected.size()));
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output, expected);
    }
}

TEST(Explode, DistanceLookupWidensAbove200000CompressedBytes) {
    EXPECT_EQ(ImplodeDistanceLookupBits(200000), 7);
    EXPECT_EQ(ImplodeDistanceLookupBits(200001), 8);
    // The same stream padded to either size decodes alike: the padding is never reached.
    const std::uint16_t flags = implodeflag::BigDictionary | implodeflag::LiteralTree;
    const std::vector<Symbol> symbols = Workout(flags);
    const Bytes expected = Expand(symbols);
    for (const std::size_t size : {200000, 200001}) {
        SCOPED_TRACE(size);
        Bytes data = Implode(flags, symbols);
        data.resize(size, 0);
        const LegacyResult r =
            DecodeLegacy(method::Imploded, flags, data, static_cast<std::int32_t>(expected.size()));
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.output, expected);
    }
}

TEST(Explode, UnusableTreesEndTheEntryWithNothingWritten) {
    const std::vector<Symbol> symbols(100, Lit('b'));
    // Complete codes for one value less (255: 'a' 1 bit, two of 8, the rest 9; 63: six of 10 bits
    // instead of five), so that only the count tells them apart; and one value more.
    Lengths literals255(255, 9), literals257 = SkewedLiterals();
    literals255['a'] = 1;
    literals255['b'] = literals255['c'] = 8;
    literals257.push_back(9);
    Lengths lengths63 = Skewed64(), lengths65 = Skewed64();
    lengths63.pop_back();
    lengths63[5 + 5] = 10;
    lengths65.push_back(11);
    const struct {
        const char* name;
        Trees trees;
    } cases[] = {
        {"literal runs adding up to 255", {literals255}},
        {"literal runs adding up to 257", {literals257}},
        {"length runs adding up to 63", {SkewedLiterals(), lengths63}},
        {"distance runs adding up to 65", {SkewedLiterals(), Skewed64(), lengths65}},
        {"an incomplete distance code", {SkewedLiterals(), Skewed64(), Lengths(64, 7)}},
        {"an over-subscribed length code", {SkewedLiterals(), Lengths(64, 5)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LegacyResult r =
            DecodeLegacy(method::Imploded, implodeflag::LiteralTree,
                         Implode(implodeflag::LiteralTree, symbols, c.trees), 100);
        EXPECT_EQ(r.error, "");
        EXPECT_TRUE(r.output.empty());
        EXPECT_NE(r.crc, 0x250162DBu); // CRC-32 of 100 bytes "b" (zlib)
    }
    // Cut inside the descriptions.
    const Bytes whole = Implode(implodeflag::LiteralTree, symbols);
    const LegacyResult cut = DecodeLegacy(method::Imploded, implodeflag::LiteralTree,
                                          Bytes(whole.begin(), whole.begin() + 10), 100);
    EXPECT_TRUE(cut.output.empty());
}

TEST(Explode, EndsWhenTheDataIsUsedUp) {
    // Eight plain literals of 9 bits fill exactly 9 bytes; declared far larger, decoding stops
    // there instead of going on with the last byte supplied again.
    const std::vector<Symbol> symbols(8, Lit('q'));
    const LegacyResult r = DecodeLegacy(method::Imploded, 0, Implode(0, symbols), 1 << 30);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.output, Bytes(8, 'q'));
}

} // namespace
} // namespace kq::test
