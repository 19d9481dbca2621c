// A stream over one open file of the platform layer.
#pragma once

#include "base/stream.h"
#include "platform/files.h"

namespace kq {

class TFileHandleStream : public TStream {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    // Raises EFCreateError (mode Create) or EFOpenError (other modes) when the file cannot be
    // opened.
    TFileHandleStream(const std::string& fileName, FileMode mode);

    // A failed transfer reads as a count of 0: a short count is how a stream reports trouble.
    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    // The new position, or -1 when the file refuses it (a target before the start).
    std::int64_t Seek(std::int64_t offset, int origin) override;
    // A file opened ReadDenyWrite cannot change while open: its size is asked for once.
    std::int64_t Size() override;

    File& Handle() { return file_; }
    const std::string& FileName() const { return fileName_; }

private:
    void Advance(std::int32_t done);

    File file_;
    std::string fileName_;
    // Where the file stands, as its reads, writes and seeks left it: asking for the position
    // costs no call of the system. Unknown after a failed transfer or seek.
    std::int64_t position_ = 0;
    bool positionKnown_ = true;
    bool sizeFixed_ = false;
    std::int64_t size_ = -1;
};

} // namespace kq
