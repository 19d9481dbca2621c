// What damaged Deflate data may not do: copy bytes from before the entry's first byte (the work
// area still holds the previous entry's), or start blocks from the reader's repeated last byte.
#include "support/bit_writer.h"
#include "support/decoding.h"

#include <gtest/gtest.h>

namespace kq::test {
namespace {

void FixedSymbol(BitWriter& w, int symbol) {
    static const std::vector<int> lengths = FixedLiteralLengths();
    static const std::vector<std::uint32_t> codes = CanonicalCodes(lengths);
    w.Code(codes[symbol], lengths[symbol]);
}

// A final fixed block: the given literals, then length 3 (symbol 257) at distance code d.
Bytes LiteralsThenCopy(const std::string& literals, int distanceCode) {
    BitWriter w;
    w.Bits(1, 1).Bits(1, 2);
    for (const char c : literals)
        FixedSymbol(w, static_cast<std::uint8_t>(c));
    FixedSymbol(w, 257);
    w.Code(static_cast<std::uint32_t>(distanceCode), 5);
    FixedSymbol(w, 256);
    return w.Finish();
}

TEST(DeflateGuards, NoCopyFromBeforeTheEntrysFirstByte) {
    struct Case {
        const char* what;
        std::string literals;
        int distanceCode; // code d: distance d + 1 for d < 4
        int result;
        std::string output;
    };
    const Case cases[] = {
        {"a copy from the first byte back", "ab", 1, 0, "ababa"},
        {"one byte too far", "a", 1, 1, ""},
        {"a copy before any byte", "", 0, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Spare bytes after the stream let the fast loop see it too.
        for (const std::size_t spare : {0, 16}) {
            Bytes data = LiteralsThenCopy(c.literals, c.distanceCode);
            data.insert(data.end(), spare, std::uint8_t{0});
            const DecodeRecord r =
                Decode(method::Deflated, data, DecodeOptions().Declared(100).PreviousEntry('Z'));
            EXPECT_EQ(r.inflateResult, c.result);
            EXPECT_EQ(std::string(r.output.begin(), r.output.end()), c.output);
        }
    }
}

// A non-final stored block whose last byte is also the entry's last byte. Supplied again and
// again, that byte (0xDB) reads as a final fixed block of literals that never ends: decoding it
// would write garbage up to the declared size. No block is started once the data is used up.
TEST(DeflateGuards, NoBlockStartsFromTheRepeatedLastByte) {
    BitWriter w;
    w.Bits(0, 1).Bits(0, 2).Align().Bits(6, 16).Bits(~6u & 0xFFFF, 16);
    for (const char c : std::string("hello\xDB"))
        w.Byte(static_cast<std::uint8_t>(c));
    const DecodeRecord r = Decode(method::Deflated, w.Finish(), DecodeOptions().Declared(100000));
    EXPECT_EQ(r.inflateResult, 1);
    EXPECT_TRUE(r.writes.empty());
}

} // namespace
} // namespace kq::test
