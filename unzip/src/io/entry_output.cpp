// The output path of one entry.
//
// Output is collected in chunks of at most 16000 bytes; each chunk is checked against the entry's
// declared size before it is written, and only bytes that reached the file enter the CRC, the
// counts and the percentages.
#include "io/entry_output.h"

#include "base/stream.h"
#include "crypto/crc32.h"
#include "extraction/percent.h"
#include "unzip/errors.h"

#include <algorithm>
#include <cstring>

namespace kq {

TEntryOutput::TEntryOutput() : outputBuffer_(new std::uint8_t[kEntryBufferSize]) {
    OutputPos = outputBuffer_.get();
}

TEntryOutput::~TEntryOutput() = default;

void TEntryOutput::StartEntry(TStream* output, std::int64_t uncompressedSize) {
    Output = output;
    UncompressedSize = uncompressedSize;
    BytesWritten = 0;
    Crc = 0xFFFFFFFF;
    EmptyBuffer();
}

void TEntryOutput::EmptyBuffer() {
    OutputCount = 0;
    OutputPos = outputBuffer_.get();
}

void TEntryOutput::FlushWindow(const std::uint8_t* window, std::size_t n) {
    while (n > 0) {
        const std::size_t piece = std::min<std::size_t>(n, kEntryChunkSize - OutputCount);
        std::memcpy(OutputPos, window, piece);
        OutputPos += piece;
        OutputCount = static_cast<std::uint16_t>(OutputCount + piece);
        window += piece;
        n -= piece;
        if (OutputCount == kEntryChunkSize) {
            FlushOutput();
        }
    }
}

const std::uint8_t* TEntryOutput::WriteWholeChunks(const std::uint8_t* data,
                                                   const std::uint8_t* end) {
    if (OutputCount > 0) {
        const std::size_t fill = std::size_t(kEntryChunkSize - OutputCount);
        if (std::size_t(end - data) < fill) {
            return data;
        }
        FlushWindow(data, fill);
        data += fill;
    }
    while (end - data >= kEntryChunkSize) {
        WriteChunk(data, kEntryChunkSize);
        data += kEntryChunkSize;
    }
    return data;
}

void TEntryOutput::FlushOutput() {
    if (OutputCount == 0) {
        return;
    }
    WriteChunk(outputBuffer_.get(), OutputCount);
    EmptyBuffer();
}

void TEntryOutput::WriteChunk(const std::uint8_t* data, std::int32_t count) {
    if (Output->Position() + count > UncompressedSize) {
        throw EBiggerThanUncompressed();
    }
    Output->WriteBuffer(data, count);
    Crc = UpdateCrc(Crc, data, static_cast<std::size_t>(count));
    BytesWritten += count;
    if (OnFilePercentDone) {
        OnFilePercentDone(Percent(BytesWritten, UncompressedSize));
    }
    if (OnTotalPercentDone) {
        RunBytesWritten += count;
        OnTotalPercentDone(Percent(RunBytesWritten, RunTotalBytes));
    }
}

} // namespace kq
