// Method 8, Deflate: the decoder of nearly every archive.
#pragma once

namespace kq {

class TUnzipContext;

// What Inflate answers: Decoded when the final block was decoded and everything written,
// otherwise why a block failed, in which case the bytes still in the window are not written.
enum class TInflateResult {
    Decoded,
    BadData,
    OverSubscribed, // a code with more codes of some length than its code space holds
    BadBlockType,   // block type 3
};

// The driver need not look at the result: a failed entry fails its CRC check. Running out of
// memory leaves as std::bad_alloc.
TInflateResult Inflate(TUnzipContext& context);

} // namespace kq
