#include "test/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace kq::test {

TempFolder::TempFolder() : savedCurrentFolder_(std::filesystem::current_path().string()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kq-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed for " + pattern);
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::current_path(savedCurrentFolder_, ignored);
    // Read-only files and folders need their permissions back before an unprivileged user may
    // remove the tree around them.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
        if (!entry.is_symlink()) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::operator/(const std::string& name) const {
    return path_ + "/" + name;
}

void TempFolder::Enter() const {
    std::filesystem::current_path(path_);
}

} // namespace kq::test
