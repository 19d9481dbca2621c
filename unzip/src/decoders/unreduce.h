// Methods 2 to 5, reduced: follower-set coding of bytes, with LZ77 on top of it.
#pragma once

#include <cstdint>

namespace kq {

class TUnzipContext;

// compressionMethod gives the factor. Ends when the uncompressed size has been produced.
void Unreduce(TUnzipContext& context, std::uint16_t compressionMethod);

} // namespace kq
