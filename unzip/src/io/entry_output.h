// The output path of one entry: decoded bytes collect in chunks, and each chunk is checked against
// the entry's declared size before it is written; only bytes that reached the file enter the
// CRC-32, the counts and the percentages.
#pragma once

#include "io/entry_chunks.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace kq {

class TStream;

class TEntryOutput {
public:
    TEntryOutput();
    ~TEntryOutput();
    TEntryOutput(const TEntryOutput&) = delete;
    TEntryOutput& operator=(const TEntryOutput&) = delete;

    // --- Set by the driver for the run ---------------------------------------------------------

    // Progress, after every chunk written: the entry's and the run's percentages.
    std::function<void(int percent)> OnFilePercentDone;
    std::function<void(int percent)> OnTotalPercentDone;
    // The run's totals: the bytes of every entry selected (less those skipped) and the bytes
    // written so far while OnTotalPercentDone is assigned.
    std::int64_t RunTotalBytes = 0;
    std::int64_t RunBytesWritten = 0;

    // --- Set for each entry --------------------------------------------------------------------

    // Resets the entry's output: the counts, the buffer's position and the CRC register.
    void StartEntry(TStream* output, std::int64_t uncompressedSize);
    // The entry's CRC-32 once its decoding has ended.
    std::uint32_t FinalCrc() const { return ~Crc; }

    TStream* Output = nullptr;
    std::uint32_t Crc = 0xFFFFFFFF;

    void PutOutputByte(std::uint8_t byte) {
        *OutputPos++ = byte;
        if (++OutputCount == kEntryChunkSize) {
            FlushOutput();
        }
    }
    // Moves n bytes of a decoder's window into the output buffer, writing every full chunk.
    void FlushWindow(const std::uint8_t* window, std::size_t n);
    // Writes the whole chunks that the bytes from data up to end make with those in the output
    // buffer, as FlushWindow would, but straight from the decoder's memory where a chunk lies
    // there whole; returns the first byte not taken (the rest make less than a chunk).
    const std::uint8_t* WriteWholeChunks(const std::uint8_t* data, const std::uint8_t* end);
    // Writes the output buffer: refuses a chunk that would make the entry larger than its
    // declared size (EBiggerThanUncompressed), raises EWriteError when the file does not take
    // every byte, then updates the CRC, the counts and the percentages.
    void FlushOutput();

    std::uint8_t* OutputPos = nullptr;
    std::uint16_t OutputCount = 0;
    std::int64_t BytesWritten = 0;
    std::int64_t UncompressedSize = 0;

    std::uint8_t* OutputBuffer() { return outputBuffer_.get(); }

private:
    void EmptyBuffer();
    // Writes n bytes (at most a chunk) from data, as FlushOutput writes the output buffer.
    void WriteChunk(const std::uint8_t* data, std::int32_t n);

    std::unique_ptr<std::uint8_t[]> outputBuffer_;
};

} // namespace kq
