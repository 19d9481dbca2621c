// Buffered streams: TS_BufferStream puts an 8192-byte buffer in front of another stream, and
// TLFNFileStream is a buffered stream over a file it opens itself. The archive is read through
// one (many small header reads, single bytes while scanning), each extracted file written
// through another.
//
// A buffer is either being read (it holds data read ahead from the wrapped stream), being
// written (it holds data not yet handed on) or neither. The logical position is the wrapped
// stream's position plus the buffered offset: minus the bytes read ahead but not consumed, or
// plus the bytes waiting to be written.
#pragma once

#include "base/stream.h"
#include "io/file_handle_stream.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kq {

inline constexpr std::int32_t kBufferStreamSize = 8192;

class TS_BufferStream : public TStream {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    // stream is not owned and must outlive this one.
    explicit TS_BufferStream(TStream& stream);
    // Hands on written data; with FlushOnDestroy set and something written to a file, also asks
    // the system to put the file on the disk. A failure cannot be reported from here: writers
    // call TLFNFileStream::Close.
    ~TS_BufferStream() override;
    TS_BufferStream(const TS_BufferStream&) = delete;
    TS_BufferStream& operator=(const TS_BufferStream&) = delete;

    // Reads and writes of a buffer-full or more go past an empty buffer, in one piece, unless
    // OnAfterFill (for reads) or OnAfterFlush (for writes) is assigned: those who watch the
    // buffer see every fill and flush of it.
    //
    // A short count means the end of the data.
    std::int32_t Read(void* buffer, std::int32_t count) override;
    // Raises EWriteError "Stream write error" when a full buffer (or a write past it) cannot be
    // handed on: the bytes it held are lost, which no count could tell the caller.
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    // Origins 0, 1 and 2; any other raises Exception "Invalid seek origin (<origin>)". From the
    // end, the sign of offset is ignored: Seek(-22, 2) and Seek(22, 2) both land 22 bytes before
    // the end. A seek to the current position keeps the buffer, and so does one to a position
    // inside the data read ahead while OnAfterFill is unassigned.
    std::int64_t Seek(std::int64_t offset, int origin) override;
    std::int64_t Size() override;

    // Reads the next buffer-full from the wrapped stream; false when nothing came.
    virtual bool Fill();
    // Hands the buffered written bytes on; false when the wrapped stream took fewer.
    virtual bool Flush();
    // Steps back one byte and stores b there; EStreamError "Putback overflow" at the start of
    // the buffer.
    virtual void PutBack(std::uint8_t b);

    bool FlushOnDestroy() const { return flushOnDestroy_; }
    void SetFlushOnDestroy(bool value) { flushOnDestroy_ = value; }

    TNotifyEvent OnAfterFill;
    TNotifyEvent OnAfterFlush;

protected:
    enum class BufferState { Unknown, Reading, Writing };

    virtual void DoAfterFill();
    virtual void DoAfterFlush();

    // Hands on what is written and, as asked, puts the file on the disk; true when both worked.
    // Later calls do nothing.
    bool FinishWriting();
    bool Written() const { return written_; }

private:
    std::int64_t BufferedOffset() const;
    std::int64_t LogicalPosition();

    TStream& stream_;
    // Not cleared when made: only bytes read or written into it are ever used.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t end_ = 0;
    std::size_t pointer_ = 0;
    bool hasPointer_ = false;
    BufferState state_ = BufferState::Unknown;
    bool flushOnDestroy_ = false;
    bool written_ = false;
    bool finished_ = false;
};

namespace detail {
// Holds the file of a TLFNFileStream. As a base listed before TS_BufferStream it is built
// before the buffer and destroyed after it, so the buffer is handed on before the file closes.
struct FileStreamHolder {
    FileStreamHolder(const std::string& fileName, FileMode mode) : fileStream(fileName, mode) {}
    TFileHandleStream fileStream;
};
} // namespace detail

class TLFNFileStream : private detail::FileStreamHolder, public TS_BufferStream {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    // Opens fileName in mode (EFOpenError or EFCreateError when it cannot). flushToDisk asks
    // that written data be put on the disk when the stream ends; it is ignored for modes
    // without write access.
    TLFNFileStream(const std::string& fileName, FileMode mode, bool flushToDisk);

    // Ends a written file: hands on the buffer, puts the file on the disk when asked and closes
    // it. Raises EWriteError "Stream write error" when any of these fails.
    void Close();

    // The open file (its time stamps, its system handle).
    File& Handle() { return fileStream.Handle(); }
    // The file's own size, whatever the buffer holds (asked of the system once for a file that
    // cannot change while open).
    std::int64_t FileSize() { return fileStream.Size(); }
};

} // namespace kq
