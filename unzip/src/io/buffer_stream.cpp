#include "io/buffer_stream.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/properties.h"

#include <algorithm>
#include <cstring>

namespace kq {

// --- TS_BufferStream -----------------------------------------------------------------------------

const TClassInfo& TS_BufferStream::StaticClassInfo() {
    static const TClassInfo info("TS_BufferStream", &TStream::StaticClassInfo());
    return info;
}

TS_BufferStream::TS_BufferStream(TStream& stream)
    : stream_(stream), buffer_(new std::uint8_t[kBufferStreamSize]) {}

TS_BufferStream::~TS_BufferStream() {
    FinishWriting();
}

bool TS_BufferStream::FinishWriting() {
    if (finished_) {
        return true;
    }
    finished_ = true;
    bool ok = true;
    if (state_ == BufferState::Writing) {
        ok = Flush();
    }
    if (flushOnDestroy_ && written_) {
        if (auto* file = dynamic_cast<TFileHandleStream*>(&stream_)) {
            ok = file->Handle().FlushToDisk() && ok;
        }
    }
    return ok;
}

void TS_BufferStream::DoAfterFill() {
    if (OnAfterFill) {
        OnAfterFill(this);
    }
}

void TS_BufferStream::DoAfterFlush() {
    if (OnAfterFlush) {
        OnAfterFlush(this);
    }
}

bool TS_BufferStream::Fill() {
    const std::int32_t got = stream_.Read(buffer_.get(), kBufferStreamSize);
    pointer_ = 0;
    hasPointer_ = true;
    end_ = static_cast<std::size_t>(std::max<std::int32_t>(got, 0));
    state_ = end_ > 0 ? BufferState::Reading : BufferState::Unknown;
    DoAfterFill();
    return end_ > 0;
}

bool TS_BufferStream::Flush() {
    const auto pending = static_cast<std::int32_t>(hasPointer_ ? pointer_ : 0);
    const std::int32_t written = pending > 0 ? stream_.Write(buffer_.get(), pending) : 0;
    pointer_ = 0;
    state_ = BufferState::Unknown;
    DoAfterFlush();
    return written == pending;
}

std::int32_t TS_BufferStream::Read(void* buffer, std::int32_t count) {
    if (state_ == BufferState::Writing) {
        Flush();
    }
    if (!hasPointer_) {
        pointer_ = end_;
        hasPointer_ = true;
    }
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        if (pointer_ >= end_ && count - done >= kBufferStreamSize && !OnAfterFill) {
            // A buffer-full or more still wanted: straight into the caller's memory, which
            // saves a copy and, for a chunk of the archive, a call of the system.
            done += std::max<std::int32_t>(stream_.Read(out + done, count - done), 0);
            pointer_ = end_ = 0;
            state_ = BufferState::Unknown;
            break;
        }
        if (pointer_ >= end_ && !Fill()) {
            break;
        }
        const auto chunk = static_cast<std::int32_t>(
            std::min<std::size_t>(static_cast<std::size_t>(count - done), end_ - pointer_));
        std::memcpy(out + done, buffer_.get() + pointer_, static_cast<std::size_t>(chunk));
        pointer_ += static_cast<std::size_t>(chunk);
        done += chunk;
    }
    return done;
}

std::int32_t TS_BufferStream::Write(const void* buffer, std::int32_t count) {
    if (state_ == BufferState::Reading) {
        // Writing where reading stopped: the data read ahead is given back first.
        stream_.Seek(LogicalPosition(), soFromBeginning);
        hasPointer_ = false;
        state_ = BufferState::Unknown;
    }
    if (!hasPointer_ || state_ != BufferState::Writing) {
        pointer_ = 0;
        hasPointer_ = true;
        end_ = static_cast<std::size_t>(kBufferStreamSize);
    }
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        if (pointer_ == 0 && count - done >= kBufferStreamSize && !OnAfterFlush) {
            // An empty buffer and a buffer-full or more to write: handed on at once, in one
            // piece. A short write loses bytes no count could report, as a failed flush does.
            const std::int32_t written = stream_.Write(in + done, count - done);
            if (written != count - done) {
                throw EWriteError("Stream write error");
            }
            done = count;
            break;
        }
        const auto chunk = static_cast<std::int32_t>(
            std::min<std::size_t>(static_cast<std::size_t>(count - done), end_ - pointer_));
        std::memcpy(buffer_.get() + pointer_, in + done, static_cast<std::size_t>(chunk));
        pointer_ += static_cast<std::size_t>(chunk);
        done += chunk;
        if (pointer_ == end_ && !Flush()) {
            throw EWriteError("Stream write error");
        }
    }
    state_ = pointer_ > 0 ? BufferState::Writing : BufferState::Unknown;
    written_ = written_ || count > 0;
    return done;
}

std::int64_t TS_BufferStream::BufferedOffset() const {
    if (!hasPointer_) {
        return 0;
    }
    switch (state_) {
    case BufferState::Reading:
        return static_cast<std::int64_t>(pointer_) - static_cast<std::int64_t>(end_);
    case BufferState::Writing:
        return static_cast<std::int64_t>(pointer_);
    case BufferState::Unknown:
        break;
    }
    return 0;
}

std::int64_t TS_BufferStream::LogicalPosition() {
    return stream_.Seek(0, soFromCurrent) + BufferedOffset();
}

std::int64_t TS_BufferStream::Seek(std::int64_t offset, int origin) {
    const std::int64_t current = LogicalPosition();
    std::int64_t target = 0;
    switch (origin) {
    case soFromBeginning:
        target = offset;
        break;
    case soFromCurrent:
        target = current + offset;
        break;
    case soFromEnd: {
        const std::int64_t end = std::max(current, stream_.Size());
        const std::uint64_t distance = offset < 0 ? 0 - static_cast<std::uint64_t>(offset)
                                                  : static_cast<std::uint64_t>(offset);
        target = distance > static_cast<std::uint64_t>(end)
                     ? -1
                     : end - static_cast<std::int64_t>(distance);
        break;
    }
    default:
        throw Exception(Format("Invalid seek origin (%d)", {origin}));
    }
    if (target == current) {
        return current;
    }
    if (state_ == BufferState::Reading && !OnAfterFill) {
        // A target inside the data read ahead (a local header's name and extra field skipped,
        // say) is reached by moving the pointer: no call of the system, no read again.
        const std::int64_t bufferStart = current - static_cast<std::int64_t>(pointer_);
        if (target >= bufferStart && target <= bufferStart + static_cast<std::int64_t>(end_)) {
            pointer_ = static_cast<std::size_t>(target - bufferStart);
            return target;
        }
    }
    if (state_ == BufferState::Writing && !Flush()) {
        throw Exception("Seek error");
    }
    hasPointer_ = false;
    state_ = BufferState::Unknown;
    return stream_.Seek(target, soFromBeginning);
}

std::int64_t TS_BufferStream::Size() {
    return std::max(LogicalPosition(), stream_.Size());
}

void TS_BufferStream::PutBack(std::uint8_t b) {
    if (!hasPointer_ || pointer_ == 0) {
        throw EStreamError("Putback overflow");
    }
    --pointer_;
    buffer_[pointer_] = b;
}

// --- TLFNFileStream ------------------------------------------------------------------------------

const TClassInfo& TLFNFileStream::StaticClassInfo() {
    static const TClassInfo info("TLFNFileStream", &TS_BufferStream::StaticClassInfo());
    return info;
}

TLFNFileStream::TLFNFileStream(const std::string& fileName, FileMode mode, bool flushToDisk)
    : detail::FileStreamHolder(fileName, mode), TS_BufferStream(fileStream) {
    const bool writes = mode == FileMode::Create || mode == FileMode::Write;
    SetFlushOnDestroy(writes && flushToDisk);
}

void TLFNFileStream::Close() {
    const bool finished = FinishWriting();
    const bool closed = Handle().Close();
    if (!finished || !closed) {
        throw EWriteError("Stream write error");
    }
}

} // namespace kq
