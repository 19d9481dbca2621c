#include "platform/files.h"

#include "dos_time.h"
#include "platform/win32_api.h"

namespace kq {

namespace {

// The last-write time as a local DOS date-time, -1 when it cannot be one.
std::int64_t DosDateTimeOf(const WIN32_FILE_ATTRIBUTE_DATA& data) {
    return win32::DosDateTimeOf(data.ftLastWriteTime);
}

} // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDirectory(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool RemoveDirectory(const std::string& path) {
    return ::RemoveDirectoryA(path.c_str()) != 0;
}

bool DeleteFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != 0;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::uint32_t GetFileAttributes(const std::string& path) {
    return ::GetFileAttributesA(path.c_str());
}

bool SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    attributes &= attr::Settable;
    if (attributes == 0) {
        attributes = FILE_ATTRIBUTE_NORMAL;
    }
    return ::SetFileAttributesA(path.c_str(), attributes) != 0;
}

std::int64_t GetFileDosDateTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return DosDateTimeOf(data);
}

std::int64_t GetPlainFileDosDateTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return -1;
    }
    return DosDateTimeOf(data);
}

} // namespace kq
