// Drives of the stand-in: a drive exists when its folder exists under the root.

#include "platform/volumes.h"

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/standin.h"
#include "standin_internal.h"

#include <cerrno>
#include <sys/statvfs.h>

namespace kq {

namespace {

// "X:\" or "X:" of root, or of the current folder when root is empty; empty when root names
// no drive.
std::string DriveRoot(const std::string& root) {
    const std::string path = root.empty() ? GetCurrentDirectory() : root;
    const bool namesDrive =
        path.size() >= 2 && standin::IsAsciiLetter(path[0]) && path[1] == ':' &&
        (path.size() == 2 || (path.size() == 3 && path[2] == '\\') || root.empty());
    return namesDrive ? path.substr(0, 2) + "\\" : std::string();
}

} // namespace

std::uint32_t GetDriveType(const std::string& root) {
    const std::string drive = DriveRoot(root);
    return !drive.empty() && DirectoryExists(drive) ? drive::Fixed : drive::NoRootDirectory;
}

bool GetVolumeLabel(const std::string& root, std::string& label) {
    const std::string drive = DriveRoot(root);
    if (drive.empty() || !DirectoryExists(drive)) {
        SetLastError(err::PathNotFound);
        return false;
    }
    label.clear();
    return true;
}

bool GetDiskFreeSpace(const std::string& folder, std::uint64_t& freeBytes) {
    const std::optional<std::string> host = HostPath(folder);
    struct statvfs volume {};
    if (!host || ::statvfs(host->c_str(), &volume) != 0) {
        standin::FailWithErrno(errno);
        return false;
    }
    freeBytes = static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
    return true;
}

} // namespace kq
