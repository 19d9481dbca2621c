#include "test/standin_root.h"

#include "platform/standin.h"

#include <filesystem>
#include <optional>
#include <stdexcept>

namespace kq::test {

StandInRoot::StandInRoot(std::initializer_list<const char*> folders, std::uint32_t codePage) {
    for (const char* folder : folders) {
        std::filesystem::create_directories(folder_ / folder);
    }
    SetRootFolder(folder_.Path());
    SetAnsiCodePage(codePage);
}

StandInRoot::~StandInRoot() {
    SetModuleFileName("");
    SetAnsiCodePage(0);
    SetRootFolder("");
}

std::string StandInRoot::Host(const std::string& windowsPath) const {
    const std::optional<std::string> host = HostPath(windowsPath);
    if (!host) {
        throw std::runtime_error("no host path for " + windowsPath);
    }
    return *host;
}

} // namespace kq::test
