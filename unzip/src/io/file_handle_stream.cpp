#include "io/file_handle_stream.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/properties.h"

namespace kq {

const TClassInfo& TFileHandleStream::StaticClassInfo() {
    static const TClassInfo info("TFileHandleStream", &TStream::StaticClassInfo());
    return info;
}

TFileHandleStream::TFileHandleStream(const std::string& fileName, FileMode mode)
    : fileName_(fileName), sizeFixed_(mode == FileMode::ReadDenyWrite) {
    if (file_.Open(fileName, mode)) {
        return;
    }
    const std::string reason = SysErrorMessage(LastError());
    if (mode == FileMode::Create) {
        throw EFCreateError(Format("Cannot create file \"%s\". %s", {fileName, reason}));
    }
    throw EFOpenError(Format("Cannot open file \"%s\". %s", {fileName, reason}));
}

std::int64_t TFileHandleStream::Size() {
    if (!sizeFixed_ || size_ < 0) {
        size_ = file_.Size();
    }
    return size_;
}

std::int32_t TFileHandleStream::Read(void* buffer, std::int32_t count) {
    const std::int32_t done = file_.Read(buffer, count);
    Advance(done);
    return std::max<std::int32_t>(done, 0);
}

std::int32_t TFileHandleStream::Write(const void* buffer, std::int32_t count) {
    const std::int32_t done = file_.Write(buffer, count);
    Advance(done);
    return std::max<std::int32_t>(done, 0);
}

void TFileHandleStream::Advance(std::int32_t done) {
    if (done < 0) {
        positionKnown_ = false;
    } else {
        position_ += done;
    }
}

std::int64_t TFileHandleStream::Seek(std::int64_t offset, int origin) {
    if (origin == soFromCurrent && offset == 0 && positionKnown_) {
        return position_;
    }
    const std::int64_t position = file_.Seek(offset, origin);
    positionKnown_ = position >= 0;
    position_ = position;
    return position;
}

} // namespace kq
