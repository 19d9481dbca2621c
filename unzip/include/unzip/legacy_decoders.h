// The decoders of the three older methods: shrunk (1), reduced (2 to 5) and imploded (6). Like
// the others they read through the context's input reader and write through its output path, and
// report nothing: a damaged entry ends early and fails its CRC check.
#pragma once

#include "unzip/unzip_context.h"

#include <cstdint>

namespace kq {

namespace method {
inline constexpr std::uint16_t Shrunk = 1;
// Reduced with compression factor 1 to 4.
inline constexpr std::uint16_t ReducedFactor1 = 2;
inline constexpr std::uint16_t ReducedFactor4 = 5;
inline constexpr std::uint16_t Imploded = 6;
} // namespace method

// General purpose flags an imploded entry is decoded by.
namespace implodeflag {
inline constexpr std::uint16_t BigDictionary = 0x0002; // 8 KiB dictionary, else 4 KiB
inline constexpr std::uint16_t LiteralTree = 0x0004;   // literals are coded, else plain bytes
} // namespace implodeflag

// --- Bit reading of Shrink and Reduce (least significant bit first) ---------------------------

// Tops up the context's bit reservoir to at least 25 bits while the entry has bytes. EndOfInput
// tells afterwards whether not a single byte could be had.
inline void FillBitBuffer(TUnzipContext& context) {
    context.EndOfInput = true;
    std::uint16_t byte = 0;
    while (context.BitCount < 25 && context.ReadCompressedByte(byte) != 0) {
        context.BitBuffer |= std::uint32_t(byte) << context.BitCount;
        context.BitCount = static_cast<std::uint16_t>(context.BitCount + 8);
        context.EndOfInput = false;
    }
}

// The next n bits (1 to 16). Past the end of the data they are zero bits, and the bit count
// wraps below zero: that is how the decoders see that they read more than there was.
inline std::uint32_t ReadBits(TUnzipContext& context, int n) {
    if (context.BitCount < n) {
        FillBitBuffer(context);
    }
    const std::uint32_t bits = context.BitBuffer & ((std::uint32_t(1) << n) - 1);
    context.BitBuffer >>= n;
    context.BitCount = static_cast<std::uint16_t>(context.BitCount - n);
    return bits;
}

// --- The decoders -------------------------------------------------------------------------------

// Method 1. Ends at the end of the compressed data; the uncompressed size is not consulted.
void Unshrink(TUnzipContext& context);

// Methods 2 to 5 (compressionMethod gives the factor). Ends when the uncompressed size has been
// produced.
void Unreduce(TUnzipContext& context, std::uint16_t compressionMethod);

// Method 6, with the entry's general purpose flags. Ends when the uncompressed size has been
// produced. A tree that cannot be read or built ends it without writing anything more.
void Explode(TUnzipContext& context, std::uint16_t generalPurposeFlags);

// Reads one implode tree description into lengths (n values): returns 0, or 4 when its runs do
// not cover exactly n values or the data ends inside it.
int ReadImplodeLengths(TUnzipContext& context, int n, std::uint8_t* lengths);

// The first-level width of the implode distance table for an entry of this many compressed bytes:
// wider for large entries, where the lookups pay for the bigger table.
inline int ImplodeDistanceLookupBits(std::int64_t compressedBytes) {
    return compressedBytes > 200000 ? 8 : 7;
}

} // namespace kq
