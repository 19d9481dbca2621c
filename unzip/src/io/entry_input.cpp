// The input reader of one entry.
//
// Compressed bytes are read in chunks of at most 16000 bytes, each decrypted in place right after
// it is read, so the keys follow the data in archive order across chunks and volumes.
#include "io/entry_input.h"

#include "base/exceptions.h"
#include "base/stream.h"
#include "platform/messages.h"
#include "unzip/errors.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace kq {

// The chunk of an encrypted entry that follows the one being decoded: read together with it and
// decrypted on a thread of its own meanwhile, with the keys the current chunk left. Each byte's
// keys depend on the byte before, so one chunk's decryption cannot be shared out; the next
// chunk's can overlap the decoding of this one. Only the bytes change hands: the archive is
// read, and messages processed, on the caller's thread, at each refill as before.
class TDecryptAhead {
public:
    TDecryptAhead() : buffer_(new std::uint8_t[kEntryBufferSize]), worker_([this] { Work(); }) {}
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

TEntryInput::TEntryInput()
    : ProcessMessages([] { kq::ProcessMessages(); }),
      inputBuffer_(new std::uint8_t[kEntryBufferSize]) {
    InputPos = inputBuffer_.get();
}

TEntryInput::~TEntryInput() = default;

void TEntryInput::StartEntry(std::int64_t compressedSize, bool encrypted) {
    DropReadAhead();
    Encrypted = encrypted;
    CompressedBytesLeft = compressedSize;
    CompressedBytesToLoad = compressedSize;
    InputPos = inputBuffer_.get();
    InputCount = 0;
    LastByte = 0;
    BitBuffer = 0;
    BitCount = 0;
    EndOfInput = false;
}

void TEntryInput::LetWindowBreathe() {
    if (DoProcessMessages && ProcessMessages) {
        ProcessMessages();
    }
}

void TEntryInput::ReadArchive(std::uint8_t* buffer, std::int32_t count) {
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

bool TEntryInput::Refill() {
    LetWindowBreathe();
    // A negative size (an encrypted entry declared shorter than its header) loads nothing.
    const auto len = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(CompressedBytesToLoad, 0, kEntryChunkSize));
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

void TEntryInput::ReadAhead() {
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
        static_cast<std::int32_t>(std::min<std::int64_t>(CompressedBytesToLoad, kEntryChunkSize));
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
void TEntryInput::DropReadAhead() {
    if (!ahead_ || !ahead_->loaded) {
        return;
    }
    ahead_->loaded = false;
    if (!ahead_->shortRead) {
        ahead_->Finish();
    }
}

} // namespace kq
