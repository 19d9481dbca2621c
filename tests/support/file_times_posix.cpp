#include "platform/standin.h"
#include "test/file_times.h"

#include <ctime>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>

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

std::time_t HostTime(const LocalTime& time) {
    std::tm local{};
    local.tm_year = time.year - 1900;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute;
    local.tm_sec = time.second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

bool SetHostModificationTime(const std::string& hostPath, const LocalTime& time) {
    const struct timespec times[2] = {{0, UTIME_OMIT},
                                      {HostTime(time), time.millisecond * 1000000L}};
    return ::utimensat(AT_FDCWD, hostPath.c_str(), times, 0) == 0;
}

bool SetLocalModificationTime(const std::string& path, const LocalTime& time) {
    return SetHostModificationTime(HostPathOrThrow(path), time);
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
