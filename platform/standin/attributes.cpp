// Windows attributes on a POSIX file system. Read-only lives in the owner's write permission,
// so other tools see it; hidden, system and archive (and read-only for folders) live in an
// extended attribute. Where the file system keeps no extended attributes, those bits are lost
// and every file reports archive, the attribute Windows gives a new file.

#include "platform/files.h"
#include "standin_internal.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/xattr.h>

namespace kq::standin {

namespace {

constexpr const char* storedAttributesName = "user.kq.attributes";
constexpr std::uint32_t storedBits = attr::Hidden | attr::System | attr::Archive;

std::optional<std::uint32_t> StoredAttributes(const std::string& hostPath) {
    char text[16] = {};
    const ssize_t length =
        ::getxattr(hostPath.c_str(), storedAttributesName, text, sizeof text - 1);
    if (length <= 0) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
}

bool IsUnsupported(int error) {
    return error == ENOTSUP || error == EOPNOTSUPP;
}

} // namespace

std::uint32_t AttributesOf(const std::string& hostPath, const struct stat& status) {
    const std::optional<std::uint32_t> stored = StoredAttributes(hostPath);
    if (S_ISDIR(status.st_mode)) {
        return attr::Directory | (stored.value_or(0) & (storedBits | attr::ReadOnly));
    }
    std::uint32_t attributes = stored ? *stored & storedBits : attr::Archive;
    if ((status.st_mode & S_IWUSR) == 0) {
        attributes |= attr::ReadOnly;
    }
    return attributes == 0 ? attr::Normal : attributes;
}

bool ForgetStoredAttributes(const std::string& hostPath) {
    return ::removexattr(hostPath.c_str(), storedAttributesName) == 0 || errno == ENODATA;
}

mode_t ModeWithAttributes(mode_t mode, std::uint32_t attributes) {
    return (attributes & attr::ReadOnly) != 0 ? mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)
                                              : mode | S_IWUSR;
}

bool StoreAttributes(const std::string& hostPath, const struct stat& status,
                     std::uint32_t attributes) {
    const std::uint32_t kept = S_ISDIR(status.st_mode) ? storedBits | attr::ReadOnly : storedBits;
    const std::string text = std::to_string(attributes & kept);
    if (::setxattr(hostPath.c_str(), storedAttributesName, text.data(), text.size(), 0) != 0 &&
        !IsUnsupported(errno)) {
        FailWithErrno(errno);
        return false;
    }
    return true;
}

bool StoreAttributes(int descriptor, std::uint32_t attributes, bool noneStored) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        FailWithErrno(errno);
        return false;
    }
    const mode_t wanted = ModeWithAttributes(status.st_mode, attributes);
    if (wanted != status.st_mode && ::fchmod(descriptor, wanted & 07777) != 0) {
        FailWithErrno(errno);
        return false;
    }
    // Without a stored value a file reads as archive alone, what Windows gives a new file.
    const std::uint32_t kept = attributes & storedBits;
    if (noneStored && kept == attr::Archive) {
        return true;
    }
    const std::string text = std::to_string(kept);
    if (::fsetxattr(descriptor, storedAttributesName, text.data(), text.size(), 0) != 0 &&
        !IsUnsupported(errno)) {
        FailWithErrno(errno);
        return false;
    }
    return true;
}

} // namespace kq::standin
