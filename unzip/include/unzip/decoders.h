// The decoders of an entry's data, by compression method. Each reads through the context's input
// reader and writes through its output path; none reports success or failure to the driver: a
// failure leaves by exception or shows afterwards as a CRC mismatch.
#pragma once

#include <cstdint>

namespace kq {

class TUnzipContext;

namespace method {
inline constexpr std::uint16_t Stored = 0;
inline constexpr std::uint16_t Deflated = 8;
} // namespace method

// Decodes the entry the context was prepared for (TUnzipContext::StartEntry) by its compression
// method; an imploded entry also needs the entry's general purpose flags. An unknown method shows
// "Unknown Compression Method" and writes nothing.
void DecodeEntryData(TUnzipContext& context, std::uint16_t compressionMethod,
                     std::uint16_t generalPurposeFlags = 0);

// Method 0: the data is the file.
void Unstore(TUnzipContext& context);

// What Inflate answers: Decoded when the final block was decoded and everything written,
// otherwise why a block failed, in which case the bytes still in the window are not written.
enum class TInflateResult {
    Decoded,
    BadData,
    OverSubscribed, // a code with more codes of some length than its code space holds
    BadBlockType,   // block type 3
};

// Method 8. The driver need not look at the result: a failed entry fails its CRC check. Running
// out of memory leaves as std::bad_alloc.
TInflateResult Inflate(TUnzipContext& context);

} // namespace kq
