#include "whole_files.h"

#include "standin_internal.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kq::standin {

namespace {

bool WriteAll(int descriptor, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            FailWithErrno(n < 0 ? errno : ENOSPC);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool ReadWholeFile(const std::string& hostPath, std::string& bytes, bool& missing) {
    missing = false;
    const int descriptor = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        missing = errno == ENOENT;
        FailWithErrnoAt(errno, hostPath);
        return false;
    }
    bytes.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(descriptor, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            FailWithErrno(errno);
            ::close(descriptor);
            return false;
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(descriptor);
    return true;
}

bool ReplaceWholeFile(const std::string& hostPath, const std::string& bytes) {
    const std::string temporary = hostPath + ".kq-new-" + std::to_string(::getpid());
    const int descriptor =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        FailWithErrnoAt(errno, temporary);
        return false;
    }
    bool written = WriteAll(descriptor, bytes);
    if (written && ::fsync(descriptor) != 0) {
        FailWithErrno(errno);
        written = false;
    }
    if (::close(descriptor) != 0 && written) {
        FailWithErrno(errno);
        written = false;
    }
    if (written && ::rename(temporary.c_str(), hostPath.c_str()) != 0) {
        FailWithErrno(errno);
        written = false;
    }
    if (!written) {
        ::unlink(temporary.c_str());
    }
    return written;
}

} // namespace kq::standin
