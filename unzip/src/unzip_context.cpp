// The input reader and the output path shared by every decoder.
//
// Compressed bytes are read in chunks of at most 16000 bytes, each decrypted in place right after
// it is read, so the keys follow the data in archive order across chunks and volumes. Output is
// collected in chunks of at most 16000 bytes; each chunk is checked against the entry's declared
// size before it is written, and only bytes that reached the file enter the CRC, the counts and
// the percentages.
#include "unzip/unzip_context.h"

#include "base/exceptions.h"
#include "base/stream.h"
#include "platform/messages.h"
#include "unzip/crc32.h"
#include "unzip/errors.h"
#include "unzip/helpers.h"

#include <algorithm>
#include <cstring>

namespace kq {

namespace {

// The buffers keep one byte more than a chunk, as they always have.
constexpr int kBufferSize = TUnzipContext::ChunkSize + 1;

} // namespace

TUnzipContext::TUnzipContext()
    : ProcessMessages([] { kq::ProcessMessages(); }), workArea_(new std::uint8_t[WorkAreaSize]),
      inputBuffer_(new std::uint8_t[kBufferSize]), outputBuffer_(new std::uint8_t[kBufferSize]),
      inflateTables_(new std::uint32_t[InflateTableEntries]) {
    InputPos = inputBuffer_.get();
    OutputPos = outputBuffer_.get();
}

TUnzipContext::~TUnzipContext() = default;

void TUnzipContext::StartEntry(TStream* output, std::int32_t compressedSize,
                               std::int32_t uncompressedSize, bool encrypted) {
    Output = output;
    Encrypted = encrypted;
    CompressedBytesLeft = compressedSize;
    CompressedBytesToLoad = compressedSize;
    UncompressedSize = uncompressedSize;
    InputPos = inputBuffer_.get();
    InputCount = 0;
    LastByte = 0;
    BitBuffer = 0;
    BitCount = 0;
    EndOfInput = false;
    OutputPos = outputBuffer_.get();
    OutputCount = 0;
    BytesWritten = 0;
    Crc = 0xFFFFFFFF;
}

void TUnzipContext::LetWindowBreathe() {
    if (DoProcessMessages && ProcessMessages)
        ProcessMessages();
}

void TUnzipContext::ReadArchive(std::uint8_t* buffer, std::int32_t count) {
    std::int32_t got = std::max<std::int32_t>(Archive->Read(buffer, count), 0);
    if (got < count && !(MultiVolume && NextVolume))
        throw EFatalUnzipError(zipmsg::PrematureEnd);
    while (got < count) {
        TStream* next = NextVolume();
        if (next == nullptr)
            throw EUserCanceled(zipmsg::UserAborted);
        Archive = next;
        got += std::max<std::int32_t>(Archive->Read(buffer + got, count - got), 0);
    }
    if (Encrypted)
        DecryptBuffer(Keys, buffer, static_cast<std::size_t>(count));
}

bool TUnzipContext::Refill() {
    LetWindowBreathe();
    // A negative size (an encrypted entry declared shorter than its header) loads nothing.
    const std::int32_t len = std::clamp<std::int32_t>(CompressedBytesToLoad, 0, ChunkSize);
    CompressedBytesToLoad -= len;
    ReadArchive(inputBuffer_.get(), len);
    InputCount = static_cast<std::uint16_t>(len);
    InputPos = inputBuffer_.get();
    return InputCount != 0;
}

void TUnzipContext::FlushWindow(const std::uint8_t* window, std::size_t n) {
    while (n > 0) {
        const std::size_t piece = std::min<std::size_t>(n, ChunkSize - OutputCount);
        std::memcpy(OutputPos, window, piece);
        OutputPos += piece;
        OutputCount = static_cast<std::uint16_t>(OutputCount + piece);
        window += piece;
        n -= piece;
        if (OutputCount == ChunkSize)
            FlushOutput();
    }
}

void TUnzipContext::FlushOutput() {
    if (OutputCount == 0)
        return;
    const std::int32_t count = OutputCount;
    if (Output->Position() + count > std::int64_t(UncompressedSize))
        throw EBiggerThanUncompressed();
    Output->WriteBuffer(outputBuffer_.get(), count);
    Crc = UpdateCrc(Crc, outputBuffer_.get(), static_cast<std::size_t>(count));
    BytesWritten += count;
    if (OnFilePercentDone)
        OnFilePercentDone(Percent(BytesWritten, UncompressedSize));
    if (OnTotalPercentDone) {
        RunBytesWritten += count;
        OnTotalPercentDone(Percent(RunBytesWritten, RunTotalBytes));
    }
    OutputCount = 0;
    OutputPos = outputBuffer_.get();
}

} // namespace kq
