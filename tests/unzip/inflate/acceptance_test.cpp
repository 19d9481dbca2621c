// Which Deflate streams are accepted and which end their block, for streams built bit by bit.
// Each case says what it guards. Expected outputs are worked out by hand; where zlib applies the
// same rule, its verdict is checked as well.
#include "support/bit_writer.h"
#include "support/decoding.h"
#include "support/zlib_oracle.h"

#include <functional>
#include <gtest/gtest.h>

namespace kq::test {
namespace {

constexpr int kAccepted = 0, kBad = 1, kOverSubscribed = 2;

// --- Fixed blocks ----------------------------------------------------------------------------

void FixedHeader(BitWriter& w, bool final) {
    w.Bits(final, 1).Bits(1, 2);
}
void FixedSymbol(BitWriter& w, int symbol) {
    static const std::vector<int> lengths = FixedLiteralLengths();
    static const std::vector<std::uint32_t> codes = CanonicalCodes(lengths);
    w.Code(codes[symbol], lengths[symbol]);
}
// Fixed distance codes are the 5-bit numbers themselves.
void FixedDistance(BitWriter& w, int code) {
    w.Code(static_cast<std::uint32_t>(code), 5);
}

// "ab", then length 3 (symbol 257) at distance 2 (code 1): "ababa".
Bytes FixedAbaba(int distanceCode = 1, int lengthSymbol = 257) {
    BitWriter w;
    FixedHeader(w, true);
    FixedSymbol(w, 'a');
    FixedSymbol(w, 'b');
    FixedSymbol(w, lengthSymbol);
    FixedDistance(w, distanceCode);
    FixedSymbol(w, 256);
    return w.Finish();
}

Bytes Stored(const std::string& text, std::uint32_t damage = 0) {
    BitWriter w;
    w.Bits(1, 1).Bits(0, 2).Align();
    const auto len = static_cast<std::uint32_t>(text.size());
    w.Bits(len, 16).Bits((~len & 0xFFFF) ^ damage, 16);
    for (const char c : text)
        w.Byte(static_cast<std::uint8_t>(c));
    return w.Finish();
}

// --- Dynamic blocks --------------------------------------------------------------------------

struct LengthSymbol {
    int symbol;
    std::uint32_t extra = 0;
};

// A complete code-length code with codes for every symbol: 0-13 of 4 bits, 14-16 of 5, 17-18 of 6.
std::vector<int> FullCodeLengthCode() {
    std::vector<int> code(19, 4);
    code[14] = code[15] = code[16] = 5;
    code[17] = code[18] = 6;
    return code;
}

std::vector<LengthSymbol> Plain(const std::vector<int>& lengths) {
    std::vector<LengthSymbol> sequence;
    for (const int len : lengths)
        sequence.push_back({len});
    return sequence;
}

void DynamicHeader(BitWriter& w, int literalCount, int distanceCount,
                   const std::vector<int>& codeLengthCode,
                   const std::vector<LengthSymbol>& sequence) {
    static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    int sent = 4;
    for (int i = 0; i < 19; ++i)
        if (codeLengthCode[order[i]] != 0)
            sent = std::max(sent, i + 1);
    w.Bits(1, 1).Bits(2, 2);
    w.Bits(literalCount - 257, 5).Bits(distanceCount - 1, 5).Bits(sent - 4, 4);
    for (int i = 0; i < sent; ++i)
        w.Bits(codeLengthCode[order[i]], 3);
    const auto codes = CanonicalCodes(codeLengthCode);
    for (const LengthSymbol& s : sequence) {
        w.Code(codes[s.symbol], codeLengthCode[s.symbol]);
        if (s.symbol >= 16)
            w.Bits(s.extra, s.symbol == 16 ? 2 : s.symbol == 17 ? 3 : 7);
    }
}

void Symbol(BitWriter& w, const std::vector<int>& lengths, int symbol) {
    w.Code(CanonicalCodes(lengths)[symbol], lengths[symbol]);
}

// The literal/length code of the dynamic cases: 'a', 'b', end of block and length 3, 2 bits each.
std::vector<int> AbLiterals(int count = 258) {
    std::vector<int> lengths(count, 0);
    lengths['a'] = lengths['b'] = lengths[256] = lengths[257] = 2;
    return lengths;
}

// A dynamic block "ab" + (length 3, distance code d) + end of block, with the given codes.
Bytes DynamicAbaba(const std::vector<int>& literal, const std::vector<int>& distance,
                   int distanceCode = 1) {
    BitWriter w;
    std::vector<int> all = literal;
    all.insert(all.end(), distance.begin(), distance.end());
    DynamicHeader(w, static_cast<int>(literal.size()), static_cast<int>(distance.size()),
                  FullCodeLengthCode(), Plain(all));
    Symbol(w, literal, 'a');
    Symbol(w, literal, 'b');
    Symbol(w, literal, 257);
    Symbol(w, distance, distanceCode);
    Symbol(w, literal, 256);
    return w.Finish();
}

// A header whose length sequence is given as it is, followed by "ab" and the end of block.
Bytes DynamicWithSequence(const std::vector<int>& literal, int distanceCount,
                          const std::vector<LengthSymbol>& sequence,
                          const std::vector<int>& codeLengthCode = FullCodeLengthCode()) {
    BitWriter w;
    DynamicHeader(w, static_cast<int>(literal.size()), distanceCount, codeLengthCode, sequence);
    Symbol(w, literal, 'a');
    Symbol(w, literal, 'b');
    Symbol(w, literal, 256);
    return w.Finish();
}

Bytes WithLengthCounts(int literalCount, int distanceCount) {
    BitWriter w;
    w.Bits(1, 1).Bits(2, 2).Bits(literalCount - 257, 5).Bits(distanceCount - 1, 5).Bits(15, 4);
    for (int i = 0; i < 19; ++i)
        w.Bits(FullCodeLengthCode()[i], 3);
    return w.Finish();
}

struct Case {
    const char* guards;
    std::function<Bytes()> stream;
    int result;
    std::string output;
    bool zlibAgrees;
};

const Case kCases[] = {
    {"fixed block: literals and a copy", [] { return FixedAbaba(); }, kAccepted, "ababa", true},
    {"fixed block: distance code 30 is one of the fixed code's two unused codes",
     [] { return FixedAbaba(30); }, kBad, "", true},
    {"fixed block: distance code 31, the other unused code", [] { return FixedAbaba(31); }, kBad,
     "", true},
    {"fixed block: literal/length 286 has a code but is no length",
     [] { return FixedAbaba(1, 286); }, kBad, "", true},
    {"fixed block: literal/length 287 likewise", [] { return FixedAbaba(1, 287); }, kBad, "", true},
    {"stored block", [] { return Stored("hello"); }, kAccepted, "hello", true},
    {"stored block whose NLEN is not the complement of LEN", [] { return Stored("hello", 1); },
     kBad, "", true},
    {"block type 3", [] { return BitWriter().Bits(1, 1).Bits(3, 2).Finish(); }, kOverSubscribed, "",
     true},
    {"blocks in a row: an empty fixed block, a stored block after aligning, a fixed block",
     [] {
         BitWriter w;
         FixedHeader(w, false);
         FixedSymbol(w, 256);
         w.Bits(0, 1).Bits(0, 2).Align().Bits(2, 16).Bits(0xFFFD, 16).Byte('x').Byte('y');
         FixedHeader(w, true);
         FixedSymbol(w, 'z');
         FixedSymbol(w, 256);
         return w.Finish();
     },
     kAccepted, "xyz", true},
    {"dynamic block; a distance code of one 1-bit code counts as complete",
     [] {
         return DynamicAbaba(AbLiterals(), {0, 1});
     },
     kAccepted, "ababa", true},
    {"HLIT giving 287 literal/length codes", [] { return WithLengthCounts(287, 30); }, kBad, "",
     true},
    {"HLIT giving 288 literal/length codes", [] { return WithLengthCounts(288, 30); }, kBad, "",
     true},
    {"HDIST giving 31 distance codes", [] { return WithLengthCounts(286, 31); }, kBad, "", true},
    {"HDIST giving 32 distance codes", [] { return WithLengthCounts(286, 32); }, kBad, "", true},
    {"an incomplete distance code in a dynamic block",
     [] {
         return DynamicAbaba(AbLiterals(), {2, 2});
     },
     kBad, "", true},
    {"a literal/length code of one 1-bit code (the end of block) counts as complete",
     [] {
         std::vector<int> literal(257, 0);
         literal[256] = 1;
         BitWriter w;
         std::vector<int> all = literal;
         all.push_back(0);
         DynamicHeader(w, 257, 1, FullCodeLengthCode(), Plain(all));
         Symbol(w, literal, 256);
         return w.Finish();
     },
     kAccepted, "", true},
    {"an over-subscribed literal/length code",
     [] {
         auto literal = AbLiterals();
         literal['c'] = 2;
         return DynamicAbaba(literal, {0, 1});
     },
     kOverSubscribed, "", true},
    {"an incomplete literal/length code",
     [] {
         auto literal = AbLiterals();
         literal['b'] = 0;
         return DynamicWithSequence(literal, 1, Plain([&] {
                                        auto all = literal;
                                        all.push_back(0);
                                        return all;
                                    }()));
     },
     kBad, "", true},
    {"an over-subscribed code-length code",
     [] {
         std::vector<int> code(19, 0);
         for (int i = 0; i <= 16; ++i)
             code[i] = 4;
         auto all = AbLiterals();
         all.push_back(0);
         return DynamicWithSequence(AbLiterals(), 1, Plain(all), code);
     },
     kOverSubscribed, "", true},
    {"an incomplete code-length code",
     [] {
         std::vector<int> code(19, 0);
         for (int i = 0; i <= 13; ++i)
             code[i] = 4;
         auto all = AbLiterals();
         all.push_back(0);
         return DynamicWithSequence(AbLiterals(), 1, Plain(all), code);
     },
     kBad, "", true},
    {"a code-length code of one 1-bit code counts as complete: its lengths (all 8) are read, "
     "and 257 codes of 8 bits over-subscribe the literal/length code",
     [] {
         std::vector<int> code(19, 0);
         code[8] = 1;
         return DynamicWithSequence(std::vector<int>(257, 8), 1,
                                    std::vector<LengthSymbol>(258, LengthSymbol{8}), code);
     },
     kOverSubscribed, "", true},
    {"the unused half of a code-length code of one 1-bit code",
     [] {
         std::vector<int> code(19, 0);
         code[8] = 1;
         BitWriter w;
         w.Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5).Bits(0, 4);
         w.Bits(0, 3).Bits(0, 3).Bits(0, 3).Bits(0, 3).Bits(1, 3); // 16, 17, 18, 0, 8
         w.Code(1, 1);
         return w.Finish();
     },
     kBad, "", true},
    {"a code-length code without any code",
     [] {
         BitWriter w;
         w.Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5).Bits(0, 4).Bits(0, 12).Bits(0, 8);
         return w.Finish();
     },
     kBad, "", true},
    {"repeat code 16 as the first length repeats length 0",
     [] {
         auto all = AbLiterals();
         all.push_back(0);
         std::vector<LengthSymbol> sequence = {{16, 0}};
         for (std::size_t i = 3; i < all.size(); ++i)
             sequence.push_back({all[i]});
         return DynamicWithSequence(AbLiterals(), 1, sequence);
     },
     kAccepted, "ab", false},
    {"a repeat that runs past the last length",
     [] {
         auto all = AbLiterals();
         all.push_back(0);
         auto sequence = Plain(all);
         sequence.pop_back();
         sequence.push_back({17, 0}); // 3 zeros where 1 is left
         return DynamicWithSequence(AbLiterals(), 1, sequence);
     },
     kBad, "", true},
    {"a repeat that runs from the literal/length lengths into the distance lengths",
     [] {
         auto literal = AbLiterals(259);
         const std::vector<int> distance = {0, 0, 1};
         auto sequence = Plain(std::vector<int>(literal.begin(), literal.end() - 1));
         sequence.push_back({17, 0}); // 258, distance 0 and distance 1 get length 0
         sequence.push_back({1});
         BitWriter w;
         DynamicHeader(w, 259, 3, FullCodeLengthCode(), sequence);
         Symbol(w, literal, 'a');
         Symbol(w, literal, 'b');
         Symbol(w, literal, 'a');
         Symbol(w, literal, 257);
         Symbol(w, distance, 2);
         Symbol(w, literal, 256);
         return w.Finish();
     },
     kAccepted, "abaaba", true},
    {"no distance codes, literals only",
     [] {
         auto all = AbLiterals();
         all.push_back(0);
         return DynamicWithSequence(AbLiterals(), 1, Plain(all));
     },
     kAccepted, "ab", true},
    {"no distance codes, and a length that would need one",
     [] { return DynamicAbaba(AbLiterals(), {0}, 0); }, kBad, "", true},
    {"no literal/length codes at all",
     [] {
         std::vector<LengthSymbol> sequence(258, LengthSymbol{0});
         BitWriter w;
         DynamicHeader(w, 257, 1, FullCodeLengthCode(), sequence);
         return w.Finish();
     },
     kBad, "", true},
    {"the last code's 9-bit lookup reaches past the final byte",
     [] {
         // 'a' 1 bit, end of block 2 bits, and fillers of 3 to 9 bits: a complete code whose
         // first-level lookup is 9 bits wide.
         std::vector<int> literal(257, 0);
         literal['a'] = 1;
         literal[256] = 2;
         const int fillers[] = {3, 4, 5, 6, 7, 8, 9, 9};
         for (int i = 0; i < 8; ++i)
             literal['b' + i] = fillers[i];
         auto all = literal;
         all.push_back(0);
         BitWriter w;
         DynamicHeader(w, 257, 1, FullCodeLengthCode(), Plain(all));
         Symbol(w, literal, 'a');
         const std::size_t endOfBlock = w.BitLength();
         Symbol(w, literal, 256);
         Bytes stream = w.Finish();
         EXPECT_LT(stream.size() * 8 - endOfBlock, 9u) << "the lookup must reach past the end";
         return stream;
     },
     kAccepted, "a", true},
};

// Each stream is decoded as it is, and with bytes after it: short streams are decoded by the
// careful loop alone, while with 16 bytes to spare the fast loop decodes the symbols.
TEST(InflateAcceptance, HandBuiltStreams) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.guards);
        const Bytes stream = c.stream();
        for (const std::size_t spare : {0, 16}) {
            SCOPED_TRACE("bytes after the stream: " + std::to_string(spare));
            Bytes data = stream;
            data.resize(stream.size() + spare, 0);
            DecodeOptions options;
            options.uncompressedSize = 1000;
            const DecodeRecord r = Decode(method::Deflated, data, options);
            EXPECT_EQ(r.error, "");
            EXPECT_EQ(r.inflateResult, c.result);
            EXPECT_EQ(std::string(r.output.begin(), r.output.end()), c.output);
        }
        if (c.zlibAgrees) {
            const ZlibVerdict zlib = ZlibInflate(stream);
            EXPECT_EQ(zlib.accepted, c.result == kAccepted) << "zlib's verdict";
            if (zlib.accepted) {
                EXPECT_EQ(std::string(zlib.output.begin(), zlib.output.end()), c.output);
            }
        }
    }
}

} // namespace
} // namespace kq::test
