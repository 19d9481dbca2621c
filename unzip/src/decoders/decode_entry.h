// The choice of decoder by an entry's compression method. Each decoder reads through the context's
// input reader and writes through its output path; none reports success or failure to the driver:
// a failure leaves by exception or shows afterwards as a CRC mismatch.
#pragma once

#include <cstdint>

namespace kq {

class TUnzipContext;

namespace method {
inline constexpr std::uint16_t Stored = 0;
inline constexpr std::uint16_t Shrunk = 1;
// Reduced with compression factor 1 to 4.
inline constexpr std::uint16_t ReducedFactor1 = 2;
inline constexpr std::uint16_t ReducedFactor4 = 5;
inline constexpr std::uint16_t Imploded = 6;
inline constexpr std::uint16_t Deflated = 8;
} // namespace method

// Decodes the entry the context was prepared for (TUnzipContext::StartEntry) by its compression
// method; an imploded entry also needs the entry's general purpose flags. An unknown method shows
// "Unknown Compression Method" and writes nothing.
void DecodeEntryData(TUnzipContext& context, std::uint16_t compressionMethod,
                     std::uint16_t generalPurposeFlags = 0);

} // namespace kq
