#include "base/stream.h"

#include "base/exceptions.h"
#include "base/properties.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace kq {

namespace {

constexpr std::int32_t kCopyBufferSize = 0xF000;
// A memory stream holds resources and test data, never anything near this; a position computed
// from damaged input must not make it try to allocate gigabytes.
constexpr std::int64_t kMaxMemoryStreamSize = std::int64_t{1} << 30;

[[noreturn]] void RaiseOutOfRange() {
    throw EStreamError("Stream position out of range");
}

std::int64_t CheckedAdd(std::int64_t a, std::int64_t b) {
    if ((b > 0 && a > std::numeric_limits<std::int64_t>::max() - b) ||
        (b < 0 && a < std::numeric_limits<std::int64_t>::min() - b)) {
        RaiseOutOfRange();
    }
    return a + b;
}

} // namespace

// --- TStream -------------------------------------------------------------------------------------

const TClassInfo& TStream::StaticClassInfo() {
    static const TClassInfo info("TStream", &TObject::StaticClassInfo());
    return info;
}

std::int64_t TStream::Size() {
    const std::int64_t position = Seek(0, soFromCurrent);
    const std::int64_t size = Seek(0, soFromEnd);
    Seek(position, soFromBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) {
    throw EStreamError("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* buffer, std::int32_t count) {
    if (count != 0 && Read(buffer, count) != count) {
        throw EReadError("Stream read error");
    }
}

void TStream::WriteBuffer(const void* buffer, std::int32_t count) {
    if (count != 0 && Write(buffer, count) != count) {
        throw EWriteError("Stream write error");
    }
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count < 0) {
        throw EReadError("Stream read error");
    }
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::int64_t>(count, kCopyBufferSize)));
    for (std::int64_t left = count; left > 0;) {
        const auto chunk = static_cast<std::int32_t>(std::min<std::int64_t>(left, kCopyBufferSize));
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        left -= chunk;
    }
    return count;
}

// --- TMemoryStream -------------------------------------------------------------------------------

const TClassInfo& TMemoryStream::StaticClassInfo() {
    static const TClassInfo info("TMemoryStream", &TStream::StaticClassInfo());
    return info;
}

std::int32_t TMemoryStream::Read(void* buffer, std::int32_t count) {
    if (position_ < 0 || count <= 0 || position_ >= Size()) {
        return 0;
    }
    const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(count, Size() - position_));
    std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int32_t TMemoryStream::Write(const void* buffer, std::int32_t count) {
    if (position_ < 0 || count <= 0) {
        return 0;
    }
    const std::int64_t end = CheckedAdd(position_, count);
    if (end > Size()) {
        Resize(end);
    }
    std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, int origin) {
    switch (origin) {
    case soFromBeginning:
        position_ = offset;
        break;
    case soFromCurrent:
        position_ = CheckedAdd(position_, offset);
        break;
    case soFromEnd:
        position_ = CheckedAdd(Size(), offset);
        break;
    default:
        break;
    }
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
    if (size < 0) {
        RaiseOutOfRange();
    }
    Resize(size);
    if (position_ > size) {
        position_ = size;
    }
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::Resize(std::int64_t size) {
    try {
        if (size > kMaxMemoryStreamSize) {
            throw std::length_error("memory stream");
        }
        data_.resize(static_cast<std::size_t>(size)); // new bytes are zero
    } catch (const std::length_error&) {
        throw EStreamError("Out of memory while expanding memory stream");
    } catch (const std::bad_alloc&) {
        throw EStreamError("Out of memory while expanding memory stream");
    }
}

} // namespace kq
