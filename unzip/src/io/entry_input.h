// The input reader of one entry: hands out the entry's compressed bytes from the archive in chunks,
// decrypting an encrypted entry's as they come, and goes on in the next volume of an archive that
// spans several. The decoders read through it.
#pragma once

#include "crypto/crypt.h"
#include "io/entry_chunks.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace kq {

class TStream;
class TDecryptAhead;

class TEntryInput {
public:
    TEntryInput();
    ~TEntryInput();
    TEntryInput(const TEntryInput&) = delete;
    TEntryInput& operator=(const TEntryInput&) = delete;

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

    // --- Set for each entry --------------------------------------------------------------------

    // Resets the entry's input: the counts, the buffer's position and the bit reservoir.
    // compressedSize excludes an encrypted entry's 12-byte header; the keys must then be those
    // left by the password check.
    void StartEntry(std::int64_t compressedSize, bool encrypted);

    bool Encrypted = false;
    TCryptKeys Keys;

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

private:
    bool Refill();
    void ReadAhead();
    void DropReadAhead();

    std::unique_ptr<std::uint8_t[]> inputBuffer_;
    // An encrypted entry's next chunk, read when the current one is and decrypted meanwhile on
    // another thread: the keys' chain of dependent steps is the slowest part of such an entry.
    std::unique_ptr<TDecryptAhead> ahead_;
};

// Bit reading for decoders that keep their reservoir themselves (least significant bit first):
// NeedBits makes at least n bits available, DropBits consumes n of them. After the entry's data
// the reader's last byte is supplied again, which lets a final code whose lookup reaches past the
// last byte be decoded.
template <class Buffer, class Count>
inline void NeedBits(TEntryInput& input, Buffer& bitBuffer, Count& bitCount, int n) {
    while (bitCount < n) {
        input.ReadCompressedByte(input.LastByte);
        bitBuffer |= static_cast<Buffer>(input.LastByte) << bitCount;
        bitCount += 8;
    }
}

template <class Buffer, class Count>
inline void DropBits(Buffer& bitBuffer, Count& bitCount, int n) {
    bitBuffer >>= n;
    bitCount -= n;
}

} // namespace kq
