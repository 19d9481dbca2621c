#include "platform/command_line.h"

#include "platform/standin.h"

namespace kq {

namespace {

std::string& CommandLine() {
    static std::string line;
    return line;
}

} // namespace

std::string GetCommandLine() {
    return CommandLine().empty() ? std::string("C:\\Setup.exe") : CommandLine();
}

void SetCommandLine(const std::string& line) {
    CommandLine() = line;
}

} // namespace kq
