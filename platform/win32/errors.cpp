#include "platform/errors.h"

#include "platform/win32_api.h"

#include <string>

namespace kq {

std::uint32_t LastError() {
    return ::GetLastError();
}

void SetLastError(std::uint32_t code) {
    ::SetLastError(code);
}

std::string SysErrorMessage(std::uint32_t code) {
    char buffer[1024];
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, code, 0, buffer, sizeof buffer, nullptr);
    // The system's texts end in a line break, which a message box would show as an empty line.
    while (length > 0 && static_cast<unsigned char>(buffer[length - 1]) <= ' ') {
        --length;
    }
    if (length == 0) {
        return "System error " + std::to_string(code);
    }
    return std::string(buffer, length);
}

} // namespace kq
