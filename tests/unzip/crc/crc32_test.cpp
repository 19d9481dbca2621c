// CRC-32 against zlib's: the table, and whole buffers at every length and alignment the sixteen-
// byte steps and the byte-by-byte tail can meet.
#include "crypto/crc32.h"
#include "support/zlib_oracle.h"

#include <gtest/gtest.h>

namespace kq::test {
namespace {

TEST(Crc32, TableIsZlibs) {
    const auto* zlibTable = get_crc_table();
    for (int n = 0; n < 256; ++n) {
        ASSERT_EQ(Crc32Table[n], zlibTable[n]) << "entry " << n;
    }
}

TEST(Crc32, PublishedCheckValue) {
    const char* digits = "123456789";
    EXPECT_EQ(~UpdateCrc(0xFFFFFFFF, reinterpret_cast<const std::uint8_t*>(digits), 9),
              0xCBF43926u);
    std::uint32_t crc = 0xFFFFFFFF;
    for (int i = 0; i < 9; ++i) {
        crc = Crc32Byte(static_cast<std::uint8_t>(digits[i]), crc);
    }
    EXPECT_EQ(~crc, 0xCBF43926u);
}

// Every way, the processor's folding in 256-bit and in 128-bit registers (where it has them) and
// the tables alone, past several rounds of each.
TEST(Crc32, EveryLengthAndAlignment) {
    const std::vector<std::uint8_t> data = MakeInput(InputKind::Random, 400, 3);
    for (std::size_t offset = 0; offset < 16; ++offset) {
        for (std::size_t length = 0; offset + length <= data.size(); ++length) {
            const std::vector<std::uint8_t> piece(data.begin() + offset,
                                                  data.begin() + offset + length);
            ASSERT_EQ(~UpdateCrc(0xFFFFFFFF, data.data() + offset, length), ZlibCrc(piece))
                << "offset " << offset << " length " << length;
            ASSERT_EQ(~UpdateCrcWithTables(0xFFFFFFFF, data.data() + offset, length),
                      ZlibCrc(piece))
                << "tables, offset " << offset << " length " << length;
            ASSERT_EQ(~UpdateCrcWith128Bits(0xFFFFFFFF, data.data() + offset, length),
                      ZlibCrc(piece))
                << "128 bits, offset " << offset << " length " << length;
        }
    }
}

// The register carries over between calls, as it does from one output chunk to the next.
TEST(Crc32, RegisterCarriesAcrossChunks) {
    const std::vector<std::uint8_t> data = MakeInput(InputKind::Text, 100000, 9);
    for (const std::size_t chunk : {1, 15, 16, 17, 16000}) {
        std::uint32_t crc = 0xFFFFFFFF;
        for (std::size_t at = 0; at < data.size(); at += chunk) {
            crc = UpdateCrc(crc, data.data() + at, std::min(chunk, data.size() - at));
        }
        EXPECT_EQ(~crc, ZlibCrc(data)) << "chunks of " << chunk;
    }
}

} // namespace
} // namespace kq::test
