// The decoding context of one extraction run: the reader of an entry's compressed bytes, the
// output path that guards the entry's size, keeps its CRC-32 and reports progress, and the working
// memory the decoders share. The extraction driver owns one, wires it to the archive and to its
// events, prepares it for each entry (StartEntry) and then calls the decoder of the entry's
// method. A decoder keeps only the parts it uses.
#pragma once

#include "io/entry_chunks.h"
#include "io/entry_input.h"
#include "io/entry_output.h"

#include <cstdint>
#include <memory>

namespace kq {

class TStream;

class TUnzipContext : public TEntryInput, public TEntryOutput {
public:
    static constexpr int ChunkSize = kEntryChunkSize;
    // The sliding window of Deflate and Implode.
    static constexpr int WindowSize = 32768;
    // The work area holds several windows in a row, so that Deflate copies never wrap: when the
    // last one is full it moves to the front as the history of the next. Behind them is room for
    // one copy that runs past the end of a window.
    static constexpr int WorkAreaSize = 8 * WindowSize + 1024;
    // Entries of the Deflate decoder's own lookup tables.
    static constexpr int InflateTableEntries = 12288;

    TUnzipContext();
    ~TUnzipContext();
    TUnzipContext(const TUnzipContext&) = delete;
    TUnzipContext& operator=(const TUnzipContext&) = delete;

    // Resets the entry's state, its input's and its output's. compressedSize excludes an
    // encrypted entry's 12-byte header; the keys must then be those left by the password check.
    void StartEntry(TStream* output, std::int64_t compressedSize, std::int64_t uncompressedSize,
                    bool encrypted);

    std::uint8_t* WorkArea() { return workArea_.get(); }
    // Room for the Deflate decoder's own lookup tables.
    std::uint32_t* InflateTables() { return inflateTables_.get(); }

private:
    std::unique_ptr<std::uint8_t[]> workArea_;
    std::unique_ptr<std::uint32_t[]> inflateTables_;
};

} // namespace kq
