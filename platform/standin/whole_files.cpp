#include "whole_files.h"

#include "standin_internal.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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
    const OwnedDescriptor file(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) {
        missing = errno == ENOENT;
        FailWithErrnoAt(errno, hostPath);
        return false;
    }
    bytes.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(file.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            FailWithErrno(errno);
            return false;
        }
        if (n == 0) {
            return true;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

bool ReplaceWholeFile(const std::string& hostPath, const std::string& bytes) {
    const std::string temporary = hostPath + ".kq-new-" + std::to_string(::getpid());
    OwnedDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file) {
        FailWithErrnoAt(errno, temporary);
        return false;
    }
    bool written = WriteAll(file.Get(), bytes);
    if (written && ::fsync(file.Get()) != 0) {
        FailWithErrno(errno);
        written = false;
    }
    // Closed here rather than by the owner, since a failed close may mean lost data.
    if (::close(file.Release()) != 0 && written) {
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

std::vector<std::string> LinesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < bytes.size()) {
        std::string::size_type end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string& line = lines.emplace_back(bytes, start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        start = end + 1;
    }
    return lines;
}

bool MakeHostFolders(const std::string& hostFolder) {
    std::string::size_type next = 1;
    while (next != std::string::npos) {
        next = hostFolder.find('/', next + 1);
        const std::string folder = hostFolder.substr(0, next);
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
            FailWithErrno(errno);
            return false;
        }
    }
    return true;
}

} // namespace kq::standin
