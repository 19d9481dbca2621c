// Streams: TStream, the interface of every sequence of bytes the program reads or writes (the
// archive, the extracted files, the stored window description), and TMemoryStream, a stream
// held in memory.
#pragma once

#include "base/persistent.h"

#include <cstdint>
#include <vector>

namespace kq {

// Origins of Seek.
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

class TStream : public TObject {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    // Reads up to count bytes and returns how many were read: fewer only at the end of the data.
    virtual std::int32_t Read(void* buffer, std::int32_t count) = 0;
    // Writes up to count bytes and returns how many were written.
    virtual std::int32_t Write(const void* buffer, std::int32_t count) = 0;
    // Moves to offset from the origin (soFromBeginning, soFromCurrent, soFromEnd) and returns
    // the new position.
    virtual std::int64_t Seek(std::int64_t offset, int origin) = 0;

    std::int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, soFromBeginning); }
    virtual std::int64_t Size();
    // The default raises EStreamError: only streams that can change their size override it.
    virtual void SetSize(std::int64_t size);

    // All count bytes or EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* buffer, std::int32_t count);
    void WriteBuffer(const void* buffer, std::int32_t count);

    // Copies count bytes from source's position, or with count 0 the whole of source from its
    // start. Returns the number of bytes copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TMemoryStream : public TStream {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    std::int32_t Read(void* buffer, std::int32_t count) override;
    // Writing past the end grows the stream; a gap left by seeking past the end reads as zeros.
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    // Any position may be set; before the start nothing can be read or written, past the end
    // nothing can be read. An unknown origin leaves the position where it was.
    std::int64_t Seek(std::int64_t offset, int origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
    void SetSize(std::int64_t size) override;
    void Clear();

    const std::uint8_t* Memory() const { return data_.data(); }
    std::uint8_t* Memory() { return data_.data(); }

private:
    void Resize(std::int64_t size);

    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

// An output that counts what is written and keeps nothing: for decoding that is only checked.
class TDiscardStream : public TStream {
public:
    std::int32_t Read(void*, std::int32_t) override { return 0; }
    std::int32_t Write(const void*, std::int32_t count) override {
        position_ += count;
        return count;
    }
    std::int64_t Seek(std::int64_t offset, int origin) override {
        if (origin == soFromBeginning) {
            position_ = offset;
        } else {
            position_ += offset;
        }
        return position_;
    }
    std::int64_t Size() override { return position_; }

private:
    std::int64_t position_ = 0;
};

} // namespace kq
