#include "platform/folders.h"

#include "platform/win32_api.h"

#include <string>

namespace kq {

namespace {

// Calls fill(buffer, size) until the text fits: such Windows calls answer the size needed
// (terminator included) when the buffer is too small, the length written otherwise, 0 on
// failure.
template <typename Fill>
std::string FilledText(Fill fill) {
    std::string buffer(MAX_PATH + 1, '\0');
    for (;;) {
        const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length + 1);
    }
}

} // namespace

std::string GetCurrentDirectory() {
    return FilledText(
        [](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); });
}

bool SetCurrentDirectory(const std::string& path) {
    return ::SetCurrentDirectoryA(path.c_str()) != 0;
}

std::string GetFullPathName(const std::string& path) {
    return FilledText([&path](char* buffer, DWORD size) {
        return ::GetFullPathNameA(path.c_str(), size, buffer, nullptr);
    });
}

std::string GetWindowsDirectory() {
    return FilledText([](char* buffer, DWORD size) {
        return static_cast<DWORD>(::GetWindowsDirectoryA(buffer, size));
    });
}

std::string GetTempPath() {
    return FilledText([](char* buffer, DWORD size) { return ::GetTempPathA(size, buffer); });
}

} // namespace kq
