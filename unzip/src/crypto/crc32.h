// CRC-32 of the zip format: the reflected polynomial 0xEDB88320, one table entry per byte value.
// The caller keeps the register: it starts at 0xFFFFFFFF before an entry's first byte and is
// complemented after its last one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kq {

// Entry n is the CRC-32 remainder of the byte n: the standard table of the zip format.
extern const std::uint32_t Crc32Table[256];

// One step of the table-driven CRC-32: the register after feeding it one more byte.
inline std::uint32_t Crc32Byte(std::uint8_t byte, std::uint32_t crc) {
    return Crc32Table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

// The register after feeding it count bytes; gives the same value as count calls of Crc32Byte.
// Uses the processor's carry-less multiplication where it has one.
std::uint32_t UpdateCrc(std::uint32_t crc, const std::uint8_t* data, std::size_t count);
// The same with tables only, whatever the processor.
std::uint32_t UpdateCrcWithTables(std::uint32_t crc, const std::uint8_t* data, std::size_t count);
// The same without the 256-bit multiplications of newer processors (for tests of the others).
std::uint32_t UpdateCrcWith128Bits(std::uint32_t crc, const std::uint8_t* data, std::size_t count);

} // namespace kq
