#include "unzip/file_handle_stream.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/properties.h"

namespace kq {

const TClassInfo& TFileHandleStream::StaticClassInfo() {
    static const TClassInfo info("TFileHandleStream", &TStream::StaticClassInfo());
    return info;
}

TFileHandleStream::TFileHandleStream(const std::string& fileName, FileMode mode)
    : fileName_(fileName) {
    if (file_.Open(fileName, mode))
        return;
    const std::string reason = SysErrorMessage(LastError());
    if (mode == FileMode::Create)
        throw EFCreateError(Format("Cannot create file \"%s\". %s", {fileName, reason}));
    throw EFOpenError(Format("Cannot open file \"%s\". %s", {fileName, reason}));
}

std::int32_t TFileHandleStream::Read(void* buffer, std::int32_t count) {
    return std::max<std::int32_t>(file_.Read(buffer, count), 0);
}

std::int32_t TFileHandleStream::Write(const void* buffer, std::int32_t count) {
    return std::max<std::int32_t>(file_.Write(buffer, count), 0);
}

std::int64_t TFileHandleStream::Seek(std::int64_t offset, int origin) {
    return file_.Seek(offset, origin);
}

} // namespace kq
