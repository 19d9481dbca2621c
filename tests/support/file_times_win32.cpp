#include "platform/win32_api.h"
#include "test/file_times.h"

#include <string>

namespace kq::test {

namespace {

// A handle opened only to read or change a file's times.
HANDLE OpenForTimes(const std::string& path, DWORD access) {
    return ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

bool SetLocalModificationTime(const std::string& path, const LocalTime& time) {
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(time.year);
    local.wMonth = static_cast<WORD>(time.month);
    local.wDay = static_cast<WORD>(time.day);
    local.wHour = static_cast<WORD>(time.hour);
    local.wMinute = static_cast<WORD>(time.minute);
    local.wSecond = static_cast<WORD>(time.second);
    local.wMilliseconds = static_cast<WORD>(time.millisecond);
    FILETIME localFileTime;
    FILETIME written;
    if (!::SystemTimeToFileTime(&local, &localFileTime) ||
        !::LocalFileTimeToFileTime(&localFileTime, &written)) {
        return false;
    }
    const HANDLE handle = OpenForTimes(path, FILE_WRITE_ATTRIBUTES);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool set = ::SetFileTime(handle, nullptr, nullptr, &written) != 0;
    ::CloseHandle(handle);
    return set;
}

bool GetLocalModificationTime(const std::string& path, LocalTime& time) {
    const HANDLE handle = OpenForTimes(path, FILE_READ_ATTRIBUTES);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    FILETIME written;
    FILETIME localFileTime;
    SYSTEMTIME local;
    const bool read = ::GetFileTime(handle, nullptr, nullptr, &written) &&
                      ::FileTimeToLocalFileTime(&written, &localFileTime) &&
                      ::FileTimeToSystemTime(&localFileTime, &local);
    ::CloseHandle(handle);
    if (read) {
        time = {local.wYear,   local.wMonth,  local.wDay,         local.wHour,
                local.wMinute, local.wSecond, local.wMilliseconds};
    }
    return read;
}

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace kq::test
