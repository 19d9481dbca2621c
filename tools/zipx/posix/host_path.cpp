#include "host_path.h"

#include "platform/codepage.h"
#include "platform/standin.h"

#include <filesystem>
#include <system_error>

namespace kq::zipx {

std::string EnginePath(const std::string& argument) {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    std::string path = argument;
    if (!error && !argument.empty() && argument.front() == '/') {
        const std::filesystem::path relative =
            std::filesystem::path(argument).lexically_relative(current);
        if (!relative.empty()) {
            path = relative.string();
        }
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

void SettleHostSettings() {
    SetAnsiCodePage(GetACP());
    SetRootFolder(RootFolder());
}

} // namespace kq::zipx
