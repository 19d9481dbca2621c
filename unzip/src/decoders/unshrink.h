// Method 1, shrunk: LZW with codes that grow from 9 to 13 bits, and partial clearing.
#pragma once

namespace kq {

class TUnzipContext;

// Ends at the end of the compressed data; the uncompressed size is not consulted.
void Unshrink(TUnzipContext& context);

} // namespace kq
