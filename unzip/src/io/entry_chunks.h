// The unit in which an entry's bytes move between the archive, the decoders and the output file.
#pragma once

namespace kq {

// The archive is read, and the output written, in chunks of at most this many bytes.
inline constexpr int kEntryChunkSize = 16000;
// The buffers keep one byte more than a chunk, as they always have.
inline constexpr int kEntryBufferSize = kEntryChunkSize + 1;

} // namespace kq
