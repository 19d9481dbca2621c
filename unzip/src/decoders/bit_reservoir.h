// Bit reading of Shrink and Reduce (least significant bit first), from the reservoir the entry's
// input reader keeps for them.
#pragma once

#include "io/entry_input.h"

#include <cstdint>

namespace kq {

// Tops up the reservoir to at least 25 bits while the entry has bytes. EndOfInput tells afterwards
// whether not a single byte could be had.
inline void FillBitBuffer(TEntryInput& input) {
    input.EndOfInput = true;
    std::uint16_t byte = 0;
    while (input.BitCount < 25 && input.ReadCompressedByte(byte) != 0) {
        input.BitBuffer |= std::uint32_t(byte) << input.BitCount;
        input.BitCount = static_cast<std::uint16_t>(input.BitCount + 8);
        input.EndOfInput = false;
    }
}

// The next n bits (1 to 16). Past the end of the data they are zero bits, and the bit count
// wraps below zero: that is how the decoders see that they read more than there was.
inline std::uint32_t ReadBits(TEntryInput& input, int n) {
    if (input.BitCount < n) {
        FillBitBuffer(input);
    }
    const std::uint32_t bits = input.BitBuffer & ((std::uint32_t(1) << n) - 1);
    input.BitBuffer >>= n;
    input.BitCount = static_cast<std::uint16_t>(input.BitCount - n);
    return bits;
}

} // namespace kq
