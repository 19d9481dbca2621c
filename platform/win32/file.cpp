#include "../shared/checks.h"
#include "dos_time.h"
#include "platform/files.h"
#include "platform/win32_api.h"

namespace kq {

namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

struct OpenParameters {
    DWORD access;
    DWORD share;
    DWORD disposition;
};

OpenParameters ParametersOf(FileMode mode) {
    switch (mode) {
    case FileMode::Read:
        return {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING};
    case FileMode::ReadDenyWrite:
        return {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING};
    case FileMode::Create:
        return {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS};
    case FileMode::Write:
        return {GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING};
    }
    return {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING};
}

} // namespace

// Every handle the interface keeps (files, named mutexes) is a kernel HANDLE.
void SystemHandleTraits::Release(Handle handle) {
    ::CloseHandle(AsHandle(handle));
}

bool File::Open(const std::string& path, FileMode mode) {
    if (IsOpen()) {
        Close();
    }
    const OpenParameters open = ParametersOf(mode);
    const HANDLE handle = ::CreateFileA(path.c_str(), open.access, open.share, nullptr,
                                        open.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    handle_.Reset(reinterpret_cast<std::intptr_t>(handle));
    writable_ = (open.access & GENERIC_WRITE) != 0;
    madeNew_ = mode == FileMode::Create;
    return true;
}

std::int32_t File::Read(void* buffer, std::int32_t count) {
    if (!checks::CanTransfer(IsOpen(), count)) {
        return -1;
    }
    DWORD done = 0;
    if (!::ReadFile(AsHandle(handle_.Get()), buffer, static_cast<DWORD>(count), &done, nullptr)) {
        return done > 0 ? static_cast<std::int32_t>(done) : -1;
    }
    return static_cast<std::int32_t>(done);
}

std::int32_t File::Write(const void* buffer, std::int32_t count) {
    if (!checks::CanTransfer(IsOpen(), count)) {
        return -1;
    }
    DWORD done = 0;
    if (!::WriteFile(AsHandle(handle_.Get()), buffer, static_cast<DWORD>(count), &done, nullptr)) {
        return done > 0 ? static_cast<std::int32_t>(done) : -1;
    }
    if (done < static_cast<DWORD>(count)) {
        ::SetLastError(ERROR_DISK_FULL); // a disk-backed file takes everything or fails
    }
    return static_cast<std::int32_t>(done);
}

std::int64_t File::Seek(std::int64_t offset, int origin) {
    static constexpr DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (!checks::IsOpen(IsOpen())) {
        return -1;
    }
    if (origin < 0 || origin > 2) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!::SetFilePointerEx(AsHandle(handle_.Get()), distance, &position, methods[origin])) {
        return -1;
    }
    return position.QuadPart;
}

std::int64_t File::Size() const {
    LARGE_INTEGER size;
    if (!checks::IsOpen(IsOpen()) || !::GetFileSizeEx(AsHandle(handle_.Get()), &size)) {
        return -1;
    }
    return size.QuadPart;
}

bool File::FlushToDisk() {
    return checks::IsOpen(IsOpen()) && ::FlushFileBuffers(AsHandle(handle_.Get())) != 0;
}

bool File::Close() {
    if (!checks::IsOpen(IsOpen())) {
        return false;
    }
    // The handle is gone even when CloseHandle reports an error, so it is never closed twice.
    return ::CloseHandle(AsHandle(handle_.Release())) != 0;
}

std::int64_t win32::DosDateTimeOf(const FILETIME& written) {
    constexpr std::uint64_t kTwoSeconds = 2 * 10'000'000; // in 100 ns ticks
    FILETIME local;
    if (!::FileTimeToLocalFileTime(&written, &local)) {
        return -1;
    }
    // Rounded here, so that the conversion sees whole even seconds whatever its own rounding.
    std::uint64_t ticks = std::uint64_t(local.dwHighDateTime) << 32 | local.dwLowDateTime;
    ticks = (ticks + kTwoSeconds - 1) / kTwoSeconds * kTwoSeconds;
    local.dwLowDateTime = static_cast<DWORD>(ticks);
    local.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    WORD date = 0;
    WORD time = 0;
    if (!::FileTimeToDosDateTime(&local, &date, &time)) {
        return -1;
    }
    return static_cast<std::int64_t>(static_cast<std::uint32_t>(date) << 16 | time);
}

std::int64_t File::DosDateTime() const {
    FILETIME written;
    if (!checks::IsOpen(IsOpen()) ||
        !::GetFileTime(AsHandle(handle_.Get()), nullptr, nullptr, &written)) {
        return -1;
    }
    return win32::DosDateTimeOf(written);
}

bool File::SetDosDateTime(std::uint32_t dosDateTime) {
    FILETIME local;
    FILETIME written;
    return checks::IsOpen(IsOpen()) &&
           ::DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                                   static_cast<WORD>(dosDateTime & 0xFFFF), &local) &&
           ::LocalFileTimeToFileTime(&local, &written) &&
           ::SetFileTime(AsHandle(handle_.Get()), nullptr, nullptr, &written);
}

bool File::SetAttributes(std::uint32_t attributes) {
    // Zero times are left as they are; zero attributes would be too, so normal is always in
    // (the system drops it beside any other attribute), as SetFileAttributes does.
    FILE_BASIC_INFO info{};
    info.FileAttributes = (attributes & attr::Settable) | FILE_ATTRIBUTE_NORMAL;
    if (!checks::IsOpen(IsOpen())) {
        return false;
    }
    // Windows wants write access for this (Wine lets it pass without).
    if (!writable_) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return ::SetFileInformationByHandle(AsHandle(handle_.Get()), FileBasicInfo, &info,
                                        sizeof info) != 0;
}

} // namespace kq
