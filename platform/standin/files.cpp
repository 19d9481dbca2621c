// Files and folders by Windows path, on the stand-in's root folder. Where POSIX and Windows
// disagree (deleting a read-only file, the error for a missing parent) the Windows answer is
// given.

#include "platform/files.h"

#include "platform/standin.h"
#include "platform/standin_faults.h"
#include "standin_internal.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kq {

namespace {

// A file's modification time as a DOS date-time, -1 when it cannot be one.
std::int64_t DosDateTimeOf(const struct stat& status) {
    std::uint32_t dosDateTime = 0;
    if (!standin::PackDosDateTime(status.st_mtim, dosDateTime)) {
        SetLastError(err::InvalidParameter);
        return -1;
    }
    return dosDateTime;
}

// The host path and its status; nothing (LastError set) when the path does not exist.
std::optional<std::string> ExistingHostPath(const std::string& path, struct stat& status) {
    std::optional<std::string> host = HostPath(path);
    if (!host) {
        return std::nullopt;
    }
    if (::stat(host->c_str(), &status) != 0) {
        standin::FailWithErrnoAt(errno, *host);
        return std::nullopt;
    }
    return host;
}

} // namespace

bool FileExists(const std::string& path) {
    struct stat status {};
    return ExistingHostPath(path, status) && !S_ISDIR(status.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat status {};
    return ExistingHostPath(path, status) && S_ISDIR(status.st_mode);
}

bool CreateDirectory(const std::string& path) {
    const std::optional<std::string> host = HostPath(path);
    if (!host || standin::FaultInjected(FaultKind::MakeFolder)) {
        return false;
    }
    if (::mkdir(host->c_str(), 0777) != 0) {
        if (errno == EEXIST) {
            SetLastError(err::AlreadyExists);
        } else {
            // A missing parent is "path not found" whatever its own parent holds.
            standin::FailWithErrno(errno == ENOENT ? ENOTDIR : errno);
        }
        return false;
    }
    return true;
}

bool RemoveDirectory(const std::string& path) {
    const std::optional<std::string> host = HostPath(path);
    if (!host) {
        return false;
    }
    if (::rmdir(host->c_str()) != 0) {
        if (errno == ENOTDIR) {
            SetLastError(err::NotADirectory);
        } else if (errno == EEXIST || errno == ENOTEMPTY) {
            SetLastError(err::DirectoryNotEmpty);
        } else {
            standin::FailWithErrnoAt(errno, *host);
        }
        return false;
    }
    return true;
}

bool DeleteFile(const std::string& path) {
    struct stat status {};
    const std::optional<std::string> host = ExistingHostPath(path, status);
    if (!host) {
        return false;
    }
    if (S_ISDIR(status.st_mode) || (standin::AttributesOf(*host, status) & attr::ReadOnly) != 0) {
        SetLastError(err::AccessDenied);
        return false;
    }
    if (::unlink(host->c_str()) != 0) {
        standin::FailWithErrnoAt(errno, *host);
        return false;
    }
    return true;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    const std::optional<std::string> source = HostPath(from);
    const std::optional<std::string> target = HostPath(to);
    if (!source || !target || standin::FaultInjected(FaultKind::Move)) {
        return false;
    }
    // Most moves give a new name: one call, which refuses to replace anything (a folder, too,
    // moves to a new name on Windows). Anything else takes the checks below, which also tell
    // why a move fails.
    if (::renameat2(AT_FDCWD, source->c_str(), AT_FDCWD, target->c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    struct stat status {};
    if (::stat(source->c_str(), &status) != 0) {
        standin::FailWithErrnoAt(errno, *source);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        SetLastError(err::AccessDenied);
        return false;
    }
    struct stat existing {};
    if (::lstat(target->c_str(), &existing) == 0 &&
        (S_ISDIR(existing.st_mode) ||
         (standin::AttributesOf(*target, existing) & attr::ReadOnly) != 0)) {
        SetLastError(err::AccessDenied);
        return false;
    }
    if (::rename(source->c_str(), target->c_str()) != 0) {
        standin::FailWithErrnoAt(errno, *target);
        return false;
    }
    return true;
}

std::uint32_t GetFileAttributes(const std::string& path) {
    struct stat status {};
    const std::optional<std::string> host = ExistingHostPath(path, status);
    return host ? standin::AttributesOf(*host, status) : attr::Invalid;
}

bool SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    struct stat status {};
    const std::optional<std::string> host = ExistingHostPath(path, status);
    if (!host || standin::FaultInjected(FaultKind::SetAttributes)) {
        return false;
    }
    attributes &= attr::Settable;
    if (!S_ISDIR(status.st_mode)) {
        const mode_t wanted = standin::ModeWithAttributes(status.st_mode, attributes);
        if (wanted != status.st_mode && ::chmod(host->c_str(), wanted & 07777) != 0) {
            standin::FailWithErrno(errno);
            return false;
        }
    }
    return standin::StoreAttributes(*host, status, attributes);
}

std::int64_t GetFileDosDateTime(const std::string& path) {
    struct stat status {};
    if (!ExistingHostPath(path, status)) {
        return -1;
    }
    return DosDateTimeOf(status);
}

std::int64_t GetPlainFileDosDateTime(const std::string& path) {
    struct stat status {};
    if (!ExistingHostPath(path, status) || S_ISDIR(status.st_mode)) {
        return -1;
    }
    return DosDateTimeOf(status);
}

} // namespace kq
