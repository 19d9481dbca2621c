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
#include "unzip/percent.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

namespace kq {

namespace {

// The buffers keep one byte more than a chunk, as they always have.
constexpr int kBufferSize = TUnzipContext::ChunkSize + 1;

} // namespace

// The chunk of an encrypted entry that follows the one being decoded: read together with it and
// decrypted on a thread of its own meanwhile, with the keys the current chunk left. Each byte's
// keys depend on the byte before, so one chunk's decryption cannot be shared out; the next
// chunk's can overlap the decoding of this one. Only the bytes change hands: the archive is
// read, and messages processed, on the caller's thread, at each refill as before.
class TDecryptAhead {
public:
    TDecryptAhead() : buffer_(new std::uint8_t[kBufferSize]), worker_([this] { Work(); }) {}
    ~TDecryptAhead() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            quit_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }
    TDecryptAhead(const TDecryptAhead&) = delete;
    TDecryptAhead& operator=(const TDecryptAhead&) = delete;

    // The chunk read ahead lies in Buffer(): count bytes asked for, fewer of them read when
    // shortRead (the archive ended; raised when the chunk is wanted).
    std::unique_ptr<std::uint8_t[]>& Buffer() { return buffer_; }
    bool loaded = false;
    bool shortRead = false;
    std::int32_t count = 0;
    std::int32_t read = 0;

    // Starts decrypting the chunk with keys.
    void Start(const TCryptKeys& keys) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            keys_ = keys;
            busy_ = true;
        }
        changed_.notify_all();
    }
    // Waits for the chunk and returns the keys it left.
    TCryptKeys Finish() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        return keys_;
    }

private:
    void Work() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return busy_ || quit_; });
            if (quit_) {
                return;
            }
            lock.unlock();
            DecryptBuffer(keys_, buffer_.get(), static_cast<std::size_t>(count));
            lock.lock();
            busy_ = false;
            changed_.notify_all();
        }
    }

    std::unique_ptr<std::uint8_t[]> buffer_;
    TCryptKeys keys_;
    bool busy_ = false;
    bool quit_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    // Last: started once everything it uses is made.
    std::thread worker_;
};

TUnzipContext::TUnzipContext()
    : ProcessMessages([] { kq::ProcessMessages(); }), workArea_(new std::uint8_t[WorkAreaSize]),
      inputBuffer_(new std::uint8_t[kBufferSize]), outputBuffer_(new std::uint8_t[kBufferSize]),
      inflateTables_(new std::uint32_t[InflateTableEntries]) {
    InputPos = inputBuffer_.get();
    OutputPos = outputBuffer_.get();
}

TUnzipContext::~TUnzipContext() = default;

void TUnzipContext::StartEntry(TStream* output, std::int64_t compressedSize,
                               std::int64_t uncompressedSize, bool encrypted) {
    DropReadAhead();
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
    if (DoProcessMessages && ProcessMessages) {
        ProcessMessages();
    }
}

void TUnzipContext::ReadArchive(std::uint8_t* buffer, std::int32_t count) {
    std::int32_t got = std::max<std::int32_t>(Archive->Read(buffer, count), 0);
    if (got < count && !(MultiVolume && NextVolume)) {
        throw EFatalUnzipError(zipmsg::PrematureEnd);
    }
    while (got < count) {
        TStream* next = NextVolume();
        if (next == nullptr) {
            throw EUserCanceled(zipmsg::UserAborted);
        }
        Archive = next;
        got += std::max<std::int32_t>(Archive->Read(buffer + got, count - got), 0);
    }
    if (Encrypted) {
        DecryptBuffer(Keys, buffer, static_cast<std::size_t>(count));
    }
}

bool TUnzipContext::Refill() {
    LetWindowBreathe();
    // A negative size (an encrypted entry declared shorter than its header) loads nothing.
    const auto len =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(CompressedBytesToLoad, 0, ChunkSize));
    CompressedBytesToLoad -= len;
    if (ahead_ && ahead_->loaded && ahead_->count == len) {
        ahead_->loaded = false;
        // Where the read itself would have failed.
        if (ahead_->shortRead) {
            throw EFatalUnzipError(zipmsg::PrematureEnd);
        }
        Keys = ahead_->Finish();
        std::swap(inputBuffer_, ahead_->Buffer());
    } else {
        if (ahead_ && ahead_->loaded) {
            // Not the chunk wanted after all: its bytes go back to the archive.
            DropReadAhead();
            Archive->Seek(-std::int64_t(ahead_->read), soFromCurrent);
        }
        ReadArchive(inputBuffer_.get(), len);
    }
    InputCount = static_cast<std::uint16_t>(len);
    InputPos = inputBuffer_.get();
    ReadAhead();
    return InputCount != 0;
}

void TUnzipContext::ReadAhead() {
    // Volumes are asked for only when their bytes are wanted, so not across them.
    if (!Encrypted || MultiVolume || CompressedBytesToLoad <= 0) {
        return;
    }
    if (!ahead_) {
        try {
            ahead_ = std::make_unique<TDecryptAhead>();
        } catch (const std::exception&) {
            // No thread to be had: every chunk is decrypted when it is read, as it always could.
            return;
        }
    }
    const auto len =
        static_cast<std::int32_t>(std::min<std::int64_t>(CompressedBytesToLoad, ChunkSize));
    const std::int32_t got = std::max<std::int32_t>(Archive->Read(ahead_->Buffer().get(), len), 0);
    ahead_->count = len;
    ahead_->read = got;
    ahead_->shortRead = got < len;
    ahead_->loaded = true;
    if (!ahead_->shortRead) {
        ahead_->Start(Keys);
    }
}

// Forgets a chunk read ahead that the entry did not need (its decoder stopped early), once its
// decryption is over. The archive is positioned afresh for every entry.
void TUnzipContext::DropReadAhead() {
    if (!ahead_ || !ahead_->loaded) {
        return;
    }
    ahead_->loaded = false;
    if (!ahead_->shortRead) {
        ahead_->Finish();
    }
}

void TUnzipContext::FlushWindow(const std::uint8_t* window, std::size_t n) {
    while (n > 0) {
        const std::size_t piece = std::min<std::size_t>(n, ChunkSize - OutputCount);
        std::memcpy(OutputPos, window, piece);
        OutputPos += piece;
        OutputCount = static_cast<std::uint16_t>(OutputCount + piece);
        window += piece;
        n -= piece;
        if (OutputCount == ChunkSize) {
            FlushOutput();
        }
    }
}

const std::uint8_t* TUnzipContext::WriteWholeChunks(const std::uint8_t* data,
                                                    const std::uint8_t* end) {
    if (OutputCount > 0) {
        const std::size_t fill = std::size_t(ChunkSize - OutputCount);
        if (std::size_t(end - data) < fill) {
            return data;
        }
        FlushWindow(data, fill);
        data += fill;
    }
    while (end - data >= ChunkSize) {
        WriteChunk(data, ChunkSize);
        data += ChunkSize;
    }
    return data;
}

void TUnzipContext::FlushOutput() {
    if (OutputCount == 0) {
        return;
    }
    WriteChunk(outputBuffer_.get(), OutputCount);
    OutputCount = 0;
    OutputPos = outputBuffer_.get();
}

void TUnzipContext::WriteChunk(const std::uint8_t* data, std::int32_t count) {
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
