// The current folder and the system folders of the stand-in. Paths are taken apart in UTF-8
// (see paths.cpp for why) and handed back in the ANSI code page.

#include "platform/folders.h"

#include "platform/codepage.h"
#include "platform/standin.h"
#include "standin_internal.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kq {

namespace {

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && standin::IsAsciiLetter(path[0]) && path[1] == ':';
}

// Resolves "." and ".." in a path below its prefix; ".." never climbs above the prefix.
std::string Normalised(const std::string& prefix, const std::string& rest) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start <= rest.size()) {
        const std::string::size_type end = std::min(rest.find('\\', start), rest.size());
        const std::string part = rest.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result = prefix + "\\";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        result += (i == 0 ? "" : "\\") + parts[i];
    }
    if (!parts.empty() && rest.back() == '\\') {
        result += '\\';
    }
    return result;
}

// "\\server\share" of a UNC path, and the rest after it.
void SplitUnc(const std::string& path, std::string& prefix, std::string& rest) {
    const std::string::size_type server = path.find('\\', 2);
    const std::string::size_type share =
        server == std::string::npos ? std::string::npos : path.find('\\', server + 1);
    prefix = path.substr(0, share);
    rest = share == std::string::npos ? std::string() : path.substr(share);
}

std::string FullPathUtf8(std::string path) {
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    if (HasDrive(path)) {
        return Normalised(std::string(1, standin::ToUpperAscii(path[0])) + ":", path.substr(2));
    }
    if (path.compare(0, 2, "\\\\") == 0) {
        std::string prefix;
        std::string rest;
        SplitUnc(path, prefix, rest);
        return Normalised(prefix, rest);
    }
    std::string current = standin::CurrentDirectoryUtf8();
    if (current.empty()) {
        return current;
    }
    if (!HasDrive(current)) {
        // The current folder lies outside the root: resolve against its host path.
        for (char& c : current) {
            if (c == '/') {
                c = '\\';
            }
        }
        return Normalised("", path[0] == '\\' ? path : current + "\\" + path);
    }
    const std::string drive = current.substr(0, 2);
    return Normalised(drive, path[0] == '\\' ? path : current.substr(2) + "\\" + path);
}

} // namespace

std::string GetCurrentDirectory() {
    return standin::Utf8ToAnsi(standin::CurrentDirectoryUtf8(), GetACP());
}

bool SetCurrentDirectory(const std::string& path) {
    const std::optional<std::string> host = HostPath(path);
    if (!host) {
        return false;
    }
    if (::chdir(host->c_str()) != 0) {
        standin::FailWithErrnoAt(errno, *host);
        return false;
    }
    return true;
}

std::string GetFullPathName(const std::string& path) {
    if (path.empty()) {
        SetLastError(err::InvalidName);
        return std::string();
    }
    const std::optional<std::string> utf8 = standin::AnsiToUtf8(path, GetACP());
    if (!utf8) {
        return std::string();
    }
    return standin::Utf8ToAnsi(FullPathUtf8(*utf8), GetACP());
}

std::string GetWindowsDirectory() {
    return "C:\\windows";
}

std::string GetTempPath() {
    // Windows' temporary folder always exists; make the stand-in's exist too.
    for (const char* folder : {"C:\\", "C:\\windows", "C:\\windows\\temp"}) {
        if (const std::optional<std::string> host = HostPath(folder)) {
            ::mkdir(host->c_str(), 0777);
        }
    }
    return "C:\\windows\\temp\\";
}

} // namespace kq
