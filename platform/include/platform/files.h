#pragma once

// Files and folders by Windows path. Paths are ANSI bytes in Windows form ("C:\dir\name");
// the stand-in maps them onto its root folder (see standin.h).

#include "platform/errors.h"
#include "platform/owned.h"

#include <cstdint>
#include <string>

namespace kq {

// How File opens a path. The sharing rules are those other openers of the same file meet.
enum class FileMode {
    Read,          // existing file, read access; others may read and write
    ReadDenyWrite, // existing file, read access; others may read but not write
    Create,        // created or truncated, read and write access; others may read
    Write,         // existing file, write access; others may read and write
};

// One open file. Move-only; the destructor closes a file that is still open but cannot report
// a failure, so a writer calls Close() and checks its result.
class File {
public:
    File() = default;
    File(const std::string& path, FileMode mode) { Open(path, mode); }
    File(File&& other) noexcept = default;
    File& operator=(File&& other) noexcept = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Closes any file already open here (its close result is lost), then opens path.
    bool Open(const std::string& path, FileMode mode);
    bool IsOpen() const { return static_cast<bool>(handle_); }

    // Bytes transferred, or -1 when nothing could be transferred. A read shorter than count
    // means the end of the file; a write shorter than count means the write failed part way
    // (LastError tells why).
    std::int32_t Read(void* buffer, std::int32_t count);
    std::int32_t Write(const void* buffer, std::int32_t count);

    // origin 0 = from the start, 1 = from the current position, 2 = from the end. Returns the
    // new position, or -1 (a target before the start fails with err::NegativeSeek).
    std::int64_t Seek(std::int64_t offset, int origin);
    std::int64_t Size() const;

    // Asks the system to write the file's buffers to the disk.
    bool FlushToDisk();
    // Closes the file; false when the system reports that the close failed (data may be lost).
    // The File is closed afterwards either way.
    bool Close();

    // Last-modification time as a local DOS date-time (date in the high 16 bits, time in the low
    // 16, seconds halved and rounded down), or -1. Setting needs write access. Windows converts
    // with the time-zone bias in force now, the stand-in with the one in force at that date: the
    // two differ by an hour only for times on the other side of a daylight-saving change.
    std::int64_t DosDateTime() const;
    bool SetDosDateTime(std::uint32_t dosDateTime);
    // Sets the open file's attributes as SetFileAttributes does by its path, without looking the
    // path up again. Needs write access.
    bool SetAttributes(std::uint32_t attributes);

    // The system's handle (a HANDLE on Windows, a descriptor in the stand-in).
    std::intptr_t NativeHandle() const { return handle_.Get(); }

private:
    OwnedSystemHandle handle_;
    // How the file was opened, for the stand-in, which cannot ask Windows: whether it may write,
    // and whether it was made new here (and so has no stored attributes yet).
    bool writable_ = false;
    bool madeNew_ = false;
};

// File attribute bits, with Windows' values.
namespace attr {
inline constexpr std::uint32_t ReadOnly = 0x01;
inline constexpr std::uint32_t Hidden = 0x02;
inline constexpr std::uint32_t System = 0x04;
inline constexpr std::uint32_t Directory = 0x10;
inline constexpr std::uint32_t Archive = 0x20;
inline constexpr std::uint32_t Normal = 0x80; // reported when a file has no other attribute
inline constexpr std::uint32_t Invalid = 0xFFFFFFFF;
// What SetFileAttributes and File::SetAttributes set; other bits are ignored.
inline constexpr std::uint32_t Settable = ReadOnly | Hidden | System | Archive | Normal;
} // namespace attr

bool FileExists(const std::string& path);      // an existing file, not a folder
bool DirectoryExists(const std::string& path); // an existing folder
// Creates one folder; false when it exists already (err::AlreadyExists) or its parent is missing.
bool CreateDirectory(const std::string& path);
bool RemoveDirectory(const std::string& path); // an empty folder only
bool DeleteFile(const std::string& path);      // refused for read-only files, as on Windows
// Moves the file from onto to in one step, replacing a file named to. Both lie in one folder (or
// one volume). Refused when to is a folder or a read-only file, as on Windows, or is in use.
bool MoveFileReplacing(const std::string& from, const std::string& to);

// attr::Invalid when the path does not exist.
std::uint32_t GetFileAttributes(const std::string& path);
// Bits other than attr::Settable are ignored (an archive entry's external attributes may carry
// other bits in their high half).
bool SetFileAttributes(const std::string& path, std::uint32_t attributes);

// The modification time of a file or folder as a local DOS date-time, or -1 when the path is
// missing or its time cannot be expressed as one (before 1980 or after 2107).
std::int64_t GetFileDosDateTime(const std::string& path);
// The same for a file only, -1 for a folder too: one look-up of the path instead of the two of
// DirectoryExists and GetFileDosDateTime.
std::int64_t GetPlainFileDosDateTime(const std::string& path);

} // namespace kq
