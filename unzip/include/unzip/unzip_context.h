// The decoding context of one extraction run: the buffers every decoder reads through and writes
// through, the reader of an entry's compressed bytes, and the output path that guards the entry's
// size, keeps its CRC-32 and reports progress. The extraction driver owns one, wires it to the
// archive and to its events, prepares it for each entry (StartEntry) and then calls the decoder of
// the entry's method.
#pragma once

#include "unzip/crypt.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace kq {

class TStream;
class TDecryptAhead;

class TUnzipContext {
public:
    // The archive is read, and the output written, in chunks of at most this many bytes.
    static constexpr int ChunkSize = 16000;
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

    // --- Set by the driver for the run ---------------------------------------------------------

    // Positioned at the entry's next unread compressed byte; replaced by the next volume when a
    // multi-volume archive continues there.
    TStream* Archive = nullptr;
    // The archive spans several volumes and the owner can supply the next one. NextVolume
    // returns the next volume's stream (positioned at its start), or null when the user gave up.
    bool MultiVolume = false;
    std::function<TStream*()> NextVolume;
    // Called before each chunk is read when DoProcessMessages is set, so the window stays alive.
    bool DoProcessMessages = true;
    std::function<void()> ProcessMessages;
    // Progress, after every chunk written: the entry's and the run's percentages.
    std::function<void(int percent)> OnFilePercentDone;
    std::function<void(int percent)> OnTotalPercentDone;
    // The run's totals: the bytes of every entry selected (less those skipped) and the bytes
    // written so far while OnTotalPercentDone is assigned.
    std::int64_t RunTotalBytes = 0;
    std::int64_t RunBytesWritten = 0;

    // --- Set for each entry --------------------------------------------------------------------

    // Resets the entry's state: the counts, the buffers' positions, the bit reservoir and the
    // CRC register. compressedSize excludes an encrypted entry's 12-byte header; the keys must
    // then be those left by the password check.
    void StartEntry(TStream* output, std::int64_t compressedSize, std::int64_t uncompressedSize,
                    bool encrypted);
    // The entry's CRC-32 once its decoding has ended.
    std::uint32_t FinalCrc() const { return ~Crc; }

    TStream* Output = nullptr;
    bool Encrypted = false;
    TCryptKeys Keys;
    std::uint32_t Crc = 0xFFFFFFFF;

    // --- The input reader ----------------------------------------------------------------------

    // Hands out the entry's next compressed byte and returns 8; returns 0, leaving byte alone,
    // once the entry's compressed bytes are used up.
    int ReadCompressedByte(std::uint16_t& byte) {
        if (CompressedBytesLeft <= 0) {
            --CompressedBytesLeft;
            return 0;
        }
        --CompressedBytesLeft;
        if (InputCount == 0 && !Refill()) {
            return 0;
        }
        byte = *InputPos++;
        --InputCount;
        return 8;
    }
    // Reads count bytes of the entry from the archive into buffer, going on in the next volume
    // when the archive allows it; raises the errors of a short read. Stored data uses this
    // directly.
    void ReadArchive(std::uint8_t* buffer, std::int32_t count);
    // The callback of DoProcessMessages, if it is set.
    void LetWindowBreathe();

    // Compressed bytes not yet handed out; goes below 0 as the last byte is handed out again.
    std::int64_t CompressedBytesLeft = 0;
    // Compressed bytes not yet loaded into the input buffer.
    std::int64_t CompressedBytesToLoad = 0;
    std::uint8_t* InputPos = nullptr;
    std::uint16_t InputCount = 0;
    // The byte the reader handed out last: NeedBits supplies it again after the end of the data.
    std::uint16_t LastByte = 0;

    // Bit reservoir of the decoders that keep theirs here (least significant bit first).
    std::uint32_t BitBuffer = 0;
    std::uint16_t BitCount = 0;
    bool EndOfInput = false;

    // --- The output path -----------------------------------------------------------------------

    void PutOutputByte(std::uint8_t byte) {
        *OutputPos++ = byte;
        if (++OutputCount == ChunkSize) {
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

    // --- Working memory of the run -------------------------------------------------------------

    std::uint8_t* WorkArea() { return workArea_.get(); }
    std::uint8_t* InputBuffer() { return inputBuffer_.get(); }
    std::uint8_t* OutputBuffer() { return outputBuffer_.get(); }
    // Room for the Deflate decoder's own lookup tables.
    std::uint32_t* InflateTables() { return inflateTables_.get(); }

private:
    // Writes n bytes (at most a chunk) from data, as FlushOutput writes the output buffer.
    void WriteChunk(const std::uint8_t* data, std::int32_t n);
    bool Refill();
    void ReadAhead();
    void DropReadAhead();

    std::unique_ptr<std::uint8_t[]> workArea_;
    std::unique_ptr<std::uint8_t[]> inputBuffer_;
    std::unique_ptr<std::uint8_t[]> outputBuffer_;
    std::unique_ptr<std::uint32_t[]> inflateTables_;
    // An encrypted entry's next chunk, read when the current one is and decrypted meanwhile on
    // another thread: the keys' chain of dependent steps is the slowest part of such an entry.
    std::unique_ptr<TDecryptAhead> ahead_;
};

// Bit reading for decoders that keep their reservoir themselves (least significant bit first):
// NeedBits makes at least n bits available, DropBits consumes n of them. After the entry's data
// the reader's last byte is supplied again, which lets a final code whose lookup reaches past the
// last byte be decoded.
template <class Buffer, class Count>
inline void NeedBits(TUnzipContext& context, Buffer& bitBuffer, Count& bitCount, int n) {
    while (bitCount < n) {
        context.ReadCompressedByte(context.LastByte);
        bitBuffer |= static_cast<Buffer>(context.LastByte) << bitCount;
        bitCount += 8;
    }
}

template <class Buffer, class Count>
inline void DropBits(Buffer& bitBuffer, Count& bitCount, int n) {
    bitBuffer >>= n;
    bitCount -= n;
}

} // namespace kq
