#include "platform/command_line.h"

#include "platform/win32_api.h"

namespace kq {

std::string GetCommandLine() {
    const char* line = ::GetCommandLineA();
    return line != nullptr ? std::string(line) : std::string();
}

} // namespace kq
