#include "platform/standin.h"
#include "scratch_folder.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace kq::test {

namespace {

std::string HostPathOrThrow(const std::string& path) {
    const std::optional<std::string> host = HostPath(path);
    if (!host) {
        throw std::runtime_error("no host path for " + path);
    }
    return *host;
}

} // namespace

ScratchFolder::ScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kq-platform-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    hostRoot_ = pattern;
    char current[4096];
    savedCurrentFolder_ = ::getcwd(current, sizeof current) != nullptr ? current : "/";
    std::filesystem::create_directories(hostRoot_ + "/c/scratch");
    SetRootFolder(hostRoot_);
    SetAnsiCodePage(1252);
    path_ = "C:\\scratch\\";
}

ScratchFolder::~ScratchFolder() {
    if (::chdir(savedCurrentFolder_.c_str()) != 0) {
        std::abort();
    }
    SetRootFolder("");
    SetAnsiCodePage(0);
    // Read-only files need their write permission back before an unprivileged user may remove
    // the tree around them.
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(hostRoot_, ignored)) {
        if (!entry.is_symlink()) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
    std::filesystem::remove_all(hostRoot_, ignored);
}

bool SetLocalModificationTime(const std::string& path, const LocalTime& time) {
    std::tm local{};
    local.tm_year = time.year - 1900;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute;
    local.tm_sec = time.second;
    local.tm_isdst = -1;
    const struct timespec times[2] = {{0, UTIME_OMIT},
                                      {std::mktime(&local), time.millisecond * 1000000L}};
    return ::utimensat(AT_FDCWD, HostPathOrThrow(path).c_str(), times, 0) == 0;
}

bool GetLocalModificationTime(const std::string& path, LocalTime& time) {
    struct stat status {};
    std::tm local{};
    if (::stat(HostPathOrThrow(path).c_str(), &status) != 0 ||
        ::localtime_r(&status.st_mtim.tv_sec, &local) == nullptr) {
        return false;
    }
    time = {local.tm_year + 1900,
            local.tm_mon + 1,
            local.tm_mday,
            local.tm_hour,
            local.tm_min,
            local.tm_sec,
            static_cast<int>(status.st_mtim.tv_nsec / 1000000)};
    return true;
}

bool RunningUnderWine() {
    return false;
}

} // namespace kq::test
