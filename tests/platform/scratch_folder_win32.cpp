#include "platform/win32_api.h"
#include "scratch_folder.h"

#include <stdexcept>
#include <string>

namespace kq::test {

namespace {

std::string SystemTempPath() {
    char buffer[MAX_PATH + 1];
    const DWORD length = ::GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) {
        throw std::runtime_error("GetTempPathA failed");
    }
    return std::string(buffer, length);
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + name;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(path + "\\");
            } else {
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(folder.c_str());
}

// A handle opened only to read or change a file's times.
HANDLE OpenForTimes(const std::string& path, DWORD access) {
    return ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

ScratchFolder::ScratchFolder() {
    static int counter = 0;
    path_ = SystemTempPath() + "kq-platform-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter) + "\\";
    RemoveTree(path_); // left over by an earlier run that was killed
    if (!::CreateDirectoryA(path_.c_str(), nullptr)) {
        throw std::runtime_error("cannot create " + path_);
    }
    char current[MAX_PATH + 1];
    const DWORD length = ::GetCurrentDirectoryA(sizeof current, current);
    savedCurrentFolder_.assign(current, length < sizeof current ? length : 0);
}

ScratchFolder::~ScratchFolder() {
    ::SetCurrentDirectoryA(savedCurrentFolder_.c_str());
    RemoveTree(path_);
}

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
