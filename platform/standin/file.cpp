// The stand-in's file handle: a descriptor, opened with the refusals Windows makes that POSIX
// does not (writing a read-only file, replacing a hidden or system file, opening a folder as a
// file), so that they happen even for a process running as root.
//
// Sharing modes are not imitated: a second opener is never refused.

#include "../shared/checks.h"
#include "platform/files.h"
#include "platform/standin.h"
#include "platform/standin_faults.h"
#include "standin_internal.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kq {

namespace {

int OpenFlags(FileMode mode) {
    switch (mode) {
    case FileMode::Read:
    case FileMode::ReadDenyWrite:
        return O_RDONLY;
    case FileMode::Create:
        return O_RDWR | O_CREAT | O_TRUNC;
    case FileMode::Write:
        return O_WRONLY;
    }
    return O_RDONLY;
}

bool WritesTo(FileMode mode) {
    return mode == FileMode::Create || mode == FileMode::Write;
}

// True (LastError set) when Windows would refuse to open the existing hostPath in mode.
bool RefusedAsWindowsWould(const std::string& hostPath, FileMode mode) {
    struct stat status {};
    if (::stat(hostPath.c_str(), &status) != 0) {
        return false; // the open itself reports the missing file
    }
    const std::uint32_t attributes = standin::AttributesOf(hostPath, status);
    const bool refused =
        S_ISDIR(status.st_mode) || (WritesTo(mode) && (attributes & attr::ReadOnly) != 0) ||
        (mode == FileMode::Create && (attributes & (attr::Hidden | attr::System)) != 0);
    if (refused) {
        SetLastError(err::AccessDenied);
    }
    return refused;
}

// A read or write on a descriptor opened without that access fails with EBADF; Windows calls
// that access denied.
void FailTransfer(int error) {
    if (error == EBADF) {
        SetLastError(err::AccessDenied);
    } else {
        standin::FailWithErrno(error);
    }
}

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

} // namespace

// Every handle the interface keeps (files, named mutexes) is a descriptor here.
void SystemHandleTraits::Release(Handle handle) {
    ::close(Descriptor(handle));
}

bool File::Open(const std::string& path, FileMode mode) {
    if (IsOpen()) {
        Close();
    }
    const std::optional<std::string> host = HostPath(path);
    if (!host || (WritesTo(mode) && standin::FaultInjected(FaultKind::Create))) {
        return false;
    }
    if (mode == FileMode::Create) {
        // Most files made are new: then there is nothing Windows would refuse and no stored
        // attribute to forget, and one call of the system does it all.
        const int descriptor = ::open(host->c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            handle_.Reset(descriptor);
            writable_ = true;
            madeNew_ = true;
            return true;
        }
        if (errno != EEXIST) {
            standin::FailWithErrnoAt(errno, *host);
            return false;
        }
    }
    if (RefusedAsWindowsWould(*host, mode)) {
        return false;
    }
    const int descriptor = ::open(host->c_str(), OpenFlags(mode) | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        standin::FailWithErrnoAt(errno, *host);
        return false;
    }
    // A replaced file starts afresh, as on Windows.
    madeNew_ = mode == FileMode::Create && standin::ForgetStoredAttributes(*host);
    writable_ = WritesTo(mode);
    handle_.Reset(descriptor);
    return true;
}

std::int32_t File::Read(void* buffer, std::int32_t count) {
    if (!checks::CanTransfer(IsOpen(), count)) {
        return -1;
    }
    auto* bytes = static_cast<char*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::read(Descriptor(handle_.Get()), bytes + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            FailTransfer(errno);
            return done > 0 ? done : -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::int32_t>(n);
    }
    return done;
}

std::int32_t File::Write(const void* buffer, std::int32_t count) {
    if (!checks::CanTransfer(IsOpen(), count) || standin::FaultInjected(FaultKind::Write)) {
        return -1;
    }
    const auto* bytes = static_cast<const char*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(Descriptor(handle_.Get()), bytes + done,
                                  static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            FailTransfer(n < 0 ? errno : ENOSPC);
            return done > 0 ? done : -1;
        }
        done += static_cast<std::int32_t>(n);
    }
    return done;
}

std::int64_t File::Seek(std::int64_t offset, int origin) {
    static constexpr int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (!checks::IsOpen(IsOpen())) {
        return -1;
    }
    if (origin < 0 || origin > 2) {
        SetLastError(err::InvalidParameter);
        return -1;
    }
    const off_t position =
        ::lseek(Descriptor(handle_.Get()), static_cast<off_t>(offset), whence[origin]);
    if (position < 0) {
        // lseek refuses a negative target with EINVAL; Windows names that case.
        SetLastError(errno == EINVAL ? err::NegativeSeek : err::InvalidParameter);
        return -1;
    }
    return position;
}

std::int64_t File::Size() const {
    if (!checks::IsOpen(IsOpen())) {
        return -1;
    }
    struct stat status {};
    if (::fstat(Descriptor(handle_.Get()), &status) != 0) {
        standin::FailWithErrno(errno);
        return -1;
    }
    return status.st_size;
}

bool File::FlushToDisk() {
    if (!checks::IsOpen(IsOpen()) || standin::FaultInjected(FaultKind::Close)) {
        return false;
    }
    if (::fsync(Descriptor(handle_.Get())) != 0) {
        standin::FailWithErrno(errno);
        return false;
    }
    return true;
}

bool File::Close() {
    if (!checks::IsOpen(IsOpen())) {
        return false;
    }
    // A failed close matters only where data was written.
    const bool injected =
        standin::FaultsArmed() && writable_ && standin::FaultInjected(FaultKind::Close);
    // The descriptor is released even when close reports an error, so it is never retried.
    const int result = ::close(Descriptor(handle_.Release()));
    if (injected) {
        return false;
    }
    if (result != 0) {
        standin::FailWithErrno(errno);
        return false;
    }
    return true;
}

std::int64_t File::DosDateTime() const {
    struct stat status {};
    if (!IsOpen() || ::fstat(Descriptor(handle_.Get()), &status) != 0) {
        SetLastError(err::InvalidHandle);
        return -1;
    }
    std::uint32_t dosDateTime = 0;
    if (!standin::PackDosDateTime(status.st_mtim, dosDateTime)) {
        SetLastError(err::InvalidParameter);
        return -1;
    }
    return dosDateTime;
}

bool File::SetDosDateTime(std::uint32_t dosDateTime) {
    if (!checks::IsOpen(IsOpen()) || standin::FaultInjected(FaultKind::SetTime)) {
        return false;
    }
    // Windows needs write access to change a file's times, whoever owns the file.
    if (!writable_) {
        SetLastError(err::AccessDenied);
        return false;
    }
    std::time_t time = 0;
    if (!standin::UnpackDosDateTime(dosDateTime, time)) {
        SetLastError(err::InvalidParameter);
        return false;
    }
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time, 0}};
    if (::futimens(Descriptor(handle_.Get()), times) != 0) {
        standin::FailWithErrno(errno);
        return false;
    }
    return true;
}

bool File::SetAttributes(std::uint32_t attributes) {
    if (!checks::IsOpen(IsOpen()) || standin::FaultInjected(FaultKind::SetAttributes)) {
        return false;
    }
    if (!writable_) {
        SetLastError(err::AccessDenied);
        return false;
    }
    return standin::StoreAttributes(Descriptor(handle_.Get()), attributes & attr::Settable,
                                    madeNew_);
}

} // namespace kq
