// Which Deflate streams are accepted and which end their block, for streams built bit by bit.
// Each case says what it guards. Expected outputs are worked out by hand; where zlib applies the
// same rule, its verdict is checked as well. Every stream is decoded in a work area still holding
// an earlier entry's bytes, which no copy may reach.
#include "support/bit_writer.h"
#include "support/decoding.h"
#include "support/zlib_oracle.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace kq::test {
namespace {

constexpr TInflateResult kAccepted = TInflateResult::Decoded, kBad = TInflateResult::BadData,
                         kOverSubscribed = TInflateResult::OverSubscribed,
                         kBadBlockType = TInflateResult::BadBlockType;
constexpr int D = 1000; // D + d in a block's symbols: distance code d

// A complete code-length code with codes for every symbol: 0-13 of 4 bits, 14-16 of 5, 17-18 of 6.
const std::vector<int> kFullCodeLengthCode = {4, 4, 4, 4, 4, 4, 4, 4, 4, 4,
                                              4, 4, 4, 4, 5, 5, 5, 6, 6};

struct LengthSymbol {
    int symbol;
    std::uint32_t extra = 0;
};

struct Dynamic {
    std::map<int, int> literal = {{'a', 2}, {'b', 2}, {256, 2}, {257, 2}};
    int literalCount = 258;
    std::vector<int> distance = {0, 1}; // one 1-bit code: distance code 1, distance 2
    std::vector<int> codeLengthCode = kFullCodeLengthCode;
    std::vector<LengthSymbol> sequence; // empty: every length as itself
};

std::vector<int> Lengths(const Dynamic& d) {
    std::vector<int> literal(d.literalCount, 0);
    for (const auto& [symbol, length] : d.literal) {
        literal[symbol] = length;
    }
    return literal;
}

// Writes a final block: fixed codes without d; symbols from D on are distance codes.
Bytes Block(const std::optional<Dynamic>& d, const std::vector<int>& symbols) {
    static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    BitWriter w;
    std::vector<int> literal = FixedLiteralLengths(), distance(32, 5);
    if (!d) {
        w.Bits(1, 1).Bits(1, 2);
    } else {
        literal = Lengths(*d);
        distance = d->distance;
        int sent = 4;
        for (int i = 0; i < 19; ++i) {
            if (d->codeLengthCode[order[i]] != 0) {
                sent = std::max(sent, i + 1);
            }
        }
        w.Bits(1, 1).Bits(2, 2).Bits(d->literalCount - 257, 5);
        w.Bits(static_cast<std::uint32_t>(distance.size()) - 1, 5).Bits(sent - 4, 4);
        for (int i = 0; i < sent; ++i) {
            w.Bits(d->codeLengthCode[order[i]], 3);
        }
        std::vector<LengthSymbol> sequence = d->sequence;
        if (sequence.empty()) {
            for (const int len : literal) {
                sequence.push_back({len});
            }
            for (const int len : distance) {
                sequence.push_back({len});
            }
        }
        const auto codes = CanonicalCodes(d->codeLengthCode);
        for (const LengthSymbol& s : sequence) {
            w.Code(codes[s.symbol], d->codeLengthCode[s.symbol]);
            if (s.symbol >= 16) {
                w.Bits(s.extra, s.symbol == 16 ? 2 : s.symbol == 17 ? 3 : 7);
            }
        }
    }
    const auto literalCodes = CanonicalCodes(literal), distanceCodes = CanonicalCodes(distance);
    for (const int s : symbols) {
        if (s >= D) {
            w.Code(distanceCodes[s - D], distance[s - D]);
        } else {
            w.Code(literalCodes[s], literal[s]);
        }
    }
    return w.Finish();
}

Bytes Stored(const std::string& text, std::uint32_t damage = 0, bool final = true) {
    BitWriter w;
    const auto len = static_cast<std::uint32_t>(text.size());
    w.Bits(final, 1).Bits(0, 2).Align().Bits(len, 16).Bits((~len & 0xFFFF) ^ damage, 16);
    for (const char c : text) {
        w.Byte(static_cast<std::uint8_t>(c));
    }
    return w.Finish();
}

Bytes Raw(std::initializer_list<std::pair<std::uint32_t, int>> fields) {
    BitWriter w;
    for (const auto& [value, bits] : fields) {
        w.Bits(value, bits);
    }
    return w.Finish();
}

// An empty fixed block, a stored block "xy" after aligning, and a final fixed block "z".
Bytes BlocksInARow() {
    BitWriter w;
    w.Bits(0, 1).Bits(1, 2).Code(0, 7);
    w.Bits(0, 1).Bits(0, 2).Align().Bits(2, 16).Bits(0xFFFD, 16).Byte('x').Byte('y');
    w.Bits(1, 1).Bits(1, 2).Code(0x30 + 'z', 8).Code(0, 7);
    return w.Finish();
}

Dynamic With(const std::function<void(Dynamic&)>& change) {
    Dynamic d;
    change(d);
    return d;
}

const std::vector<int> kAbaba = {'a', 'b', 257, D + 1, 256};
const Dynamic kAb;
// Only the code-length code for symbol 8 (1 bit, "0"): every length read is 8.
const Dynamic kOneCodeLengthCode = With([](Dynamic& d) {
    d.codeLengthCode.assign(19, 0);
    d.codeLengthCode[8] = 1;
    d.literalCount = 257;
    d.literal.clear();
    d.distance = {0};
    d.sequence.assign(258, {8});
});

// "abcd", then 12000 copies of 3 bytes from 4 back, 15 bits each: an input chunk ends among them,
// where the careful loop decodes them. Distance 4 (code 3) has the longest of distanceLengths.
Bytes AbcdCopies(const std::vector<int>& distanceLengths) {
    std::vector<int> symbols = {'a', 'b', 'c', 'd'};
    for (int i = 0; i < 12000; ++i) {
        symbols.push_back(257);
        symbols.push_back(D + 3);
    }
    symbols.push_back(256);
    return Block(With([&](Dynamic& d) {
                     d.literal = {{257, 1}, {256, 3}, {'a', 4}, {'b', 4}, {'c', 3}, {'d', 3}};
                     d.distance = distanceLengths;
                 }),
                 symbols);
}

std::string Abcd(std::size_t n) {
    std::string s;
    while (s.size() < n) {
        s += "abcd";
    }
    s.resize(n);
    return s;
}

struct Case {
    const char* guards;
    Bytes stream;
    TInflateResult result;
    std::string output;
    bool zlibAgrees;
};

const Case kCases[] = {
    {"fixed block: literals and a copy", Block(std::nullopt, {'a', 'b', 257, D + 1, 256}),
     kAccepted, "ababa", true},
    {"fixed block: distance codes 30 and 31 are unused codes of the fixed code",
     Block(std::nullopt, {'a', 'b', 257, D + 30, 256}), kBad, "", true},
    {"fixed block: distance code 31", Block(std::nullopt, {'a', 'b', 257, D + 31, 256}), kBad, "",
     true},
    {"a copy from one byte too far back: before the entry's first byte",
     Block(std::nullopt, {'a', 257, D + 1, 256}), kBad, "", true},
    {"a copy before any byte", Block(std::nullopt, {257, D + 0, 256}), kBad, "", true},
    // Supplied again and again, the last byte (0xDB) reads as a final fixed block of literals that
    // never ends: decoding it would write garbage up to the declared size.
    {"no block starts once the data is used up", Stored("hello\xDB", 0, false), kBad, "", true},
    {"fixed block: literal/length 286 has a code but is no length",
     Block(std::nullopt, {'a', 'b', 286, D + 1, 256}), kBad, "", true},
    {"fixed block: literal/length 287", Block(std::nullopt, {'a', 'b', 287, D + 1, 256}), kBad, "",
     true},
    {"stored block", Stored("hello"), kAccepted, "hello", true},
    {"stored block whose NLEN is not the complement of LEN", Stored("hello", 1), kBad, "", true},
    {"block type 3", Raw({{1, 1}, {3, 2}}), kBadBlockType, "", true},
    {"blocks in a row: empty fixed, stored after aligning, fixed", BlocksInARow(), kAccepted, "xyz",
     true},
    {"dynamic block; a distance code of one 1-bit code counts as complete", Block(kAb, kAbaba),
     kAccepted, "ababa", true},
    {"HLIT giving 287 codes", Block(With([](Dynamic& d) { d.literalCount = 287; }), kAbaba), kBad,
     "", true},
    {"HLIT giving 288 codes", Block(With([](Dynamic& d) { d.literalCount = 288; }), kAbaba), kBad,
     "", true},
    {"HDIST giving 31 codes", Block(With([](Dynamic& d) { d.distance.resize(31); }), kAbaba), kBad,
     "", true},
    {"HDIST giving 32 codes", Block(With([](Dynamic& d) { d.distance.resize(32); }), kAbaba), kBad,
     "", true},
    {"an incomplete distance code in a dynamic block",
     Block(With([](Dynamic& d) {
               d.distance = {2, 2};
           }),
           kAbaba),
     kBad, "", true},
    {"a literal/length code of one 1-bit code (end of block) counts as complete",
     Block(With([](Dynamic& d) {
               d.literal = {{256, 1}};
           }),
           {256}),
     kAccepted, "", true},
    {"an over-subscribed literal/length code",
     Block(With([](Dynamic& d) { d.literal['c'] = 2; }), kAbaba), kOverSubscribed, "", true},
    {"an incomplete literal/length code",
     Block(With([](Dynamic& d) { d.literal.erase('b'); }), {'a', 256}), kBad, "", true},
    {"an over-subscribed code-length code",
     Block(With([](Dynamic& d) { d.codeLengthCode.assign(19, 4); }), kAbaba), kOverSubscribed, "",
     true},
    {"an incomplete code-length code",
     Block(With([](Dynamic& d) {
               d.codeLengthCode.resize(14);
               d.codeLengthCode.resize(19);
           }),
           kAbaba),
     kBad, "", true},
    {"a code-length code of one 1-bit code counts as complete: its lengths are read, all 8, and "
     "257 codes of 8 bits over-subscribe the literal/length code",
     Block(kOneCodeLengthCode, {}), kOverSubscribed, "", true},
    {"the unused half of a code-length code of one 1-bit code",
     Raw({{1, 1}, {2, 2}, {0, 5}, {0, 5}, {1, 4}, {0, 12}, {1, 3}, {1, 1}}), kBad, "", true},
    {"a code-length code without any code", Raw({{1, 1}, {2, 2}, {0, 14}, {0, 12}, {0, 8}}), kBad,
     "", true},
    {"repeat code 16 as the first length repeats length 0",
     Block(With([](Dynamic& d) {
               const auto literal = Lengths(d);
               d.sequence = {{16, 0}};
               for (std::size_t i = 3; i < literal.size(); ++i) {
                   d.sequence.push_back({literal[i]});
               }
               d.sequence.insert(d.sequence.end(), {{0}, {1}});
           }),
           kAbaba),
     kAccepted, "ababa", false},
    {"a repeat that runs past the last length",
     Block(With([](Dynamic& d) {
               for (const int len : Lengths(d)) {
                   d.sequence.push_back({len});
               }
               d.sequence.push_back({17, 0}); // 3 zeros where 2 lengths are left
           }),
           kAbaba),
     kBad, "", true},
    {"a repeat that runs from the literal/length lengths into the distance lengths",
     Block(With([](Dynamic& d) {
               d.literalCount = 259;
               d.distance = {0, 0, 1};
               const auto literal = Lengths(d);
               for (int i = 0; i < 258; ++i) {
                   d.sequence.push_back({literal[i]});
               }
               d.sequence.insert(d.sequence.end(), {{17, 0}, {1}}); // 258, d0, d1: 0; d2: 1
           }),
           {'a', 'b', 'a', 257, D + 2, 256}),
     kAccepted, "abaaba", true},
    {"no distance codes, literals only",
     Block(With([](Dynamic& d) { d.distance = {0}; }), {'a', 'b', 256}), kAccepted, "ab", true},
    {"no distance codes, and a length that would need one",
     Block(With([](Dynamic& d) { d.distance = {0}; }), {'a', 'b', 257}), kBad, "", true},
    {"no literal/length codes at all", Block(With([](Dynamic& d) { d.literal.clear(); }), {}), kBad,
     "", true},
    // 'a' 1 bit, end of block 2 bits, fillers of 3 to 9 bits: the first-level lookup is 9 bits
    // wide, so decoding the end of block reaches past the last byte.
    {"the last code's lookup reaches past the final byte",
     Block(With([](Dynamic& d) {
               d.literalCount = 257;
               d.literal = {{'a', 1}, {256, 2}, {'b', 3}, {'c', 4}, {'d', 5},
                            {'e', 6}, {'f', 7}, {'g', 8}, {'h', 9}, {'i', 9}};
               d.distance = {0};
           }),
           {'a', 256}),
     kAccepted, "a", true},
    {"dynamic block: distance codes of up to 12 bits (two table levels) at an input chunk's end",
     AbcdCopies({11, 10, 12, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9}), kAccepted, Abcd(36004), true},
    {"dynamic block: distance codes of up to 14 bits (three table levels) at an input chunk's end",
     AbcdCopies({13, 12, 14, 14, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), kAccepted, Abcd(36004), true},
};

// Each stream is decoded as it is, and with bytes after it: short streams are decoded by the
// careful loop alone, while with 16 bytes to spare the fast loop decodes the symbols.
TEST(InflateAcceptance, HandBuiltStreams) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.guards);
        for (const std::size_t spare : {0, 16}) {
            Bytes data = c.stream;
            data.insert(data.end(), spare, std::uint8_t{0});
            const DecodeRecord r = Decode(method::Deflated, data,
                                          DecodeOptions().Declared(1 << 20).PreviousEntry('Z'));
            EXPECT_EQ(r.error, "");
            EXPECT_EQ(r.inflateResult, c.result) << spare << " bytes after the stream";
            EXPECT_EQ(std::string(r.output.begin(), r.output.end()), c.output);
        }
        if (c.zlibAgrees) {
            const ZlibVerdict zlib = ZlibInflate(c.stream);
            EXPECT_EQ(zlib.accepted, c.result == kAccepted) << "zlib's verdict";
            if (zlib.accepted) {
                EXPECT_EQ(std::string(zlib.output.begin(), zlib.output.end()), c.output);
            }
        }
    }
}

} // namespace
} // namespace kq::test
