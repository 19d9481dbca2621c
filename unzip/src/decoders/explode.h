// Method 6, imploded: LZ77 with a 4 or 8 KiB dictionary and prefix-coded symbols.
#pragma once

#include <cstdint>

namespace kq {

class TEntryInput;
class TUnzipContext;

// General purpose flags an imploded entry is decoded by.
namespace implodeflag {
inline constexpr std::uint16_t BigDictionary = 0x0002; // 8 KiB dictionary, else 4 KiB
inline constexpr std::uint16_t LiteralTree = 0x0004;   // literals are coded, else plain bytes
} // namespace implodeflag

// With the entry's general purpose flags. Ends when the uncompressed size has been produced. A
// tree that cannot be read or built ends it without writing anything more.
void Explode(TUnzipContext& context, std::uint16_t generalPurposeFlags);

// Reads one implode tree description into lengths (n values): returns 0, or 4 when its runs do
// not cover exactly n values or the data ends inside it.
int ReadImplodeLengths(TEntryInput& input, int n, std::uint8_t* lengths);

// The first-level width of the implode distance table for an entry of this many compressed bytes:
// wider for large entries, where the lookups pay for the bigger table.
inline int ImplodeDistanceLookupBits(std::int64_t compressedBytes) {
    return compressedBytes > 200000 ? 8 : 7;
}

} // namespace kq
