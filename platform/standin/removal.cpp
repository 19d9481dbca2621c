// The stand-in's removal helpers: folders and links of the host, the link files it writes
// itself (see shell_link.cpp for their layout), and its registry files edited line by line.

#include "platform/removal.h"

#include "base/little_endian.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/standin.h"
#include "standin_internal.h"
#include "whole_files.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <time.h>

namespace kq {

namespace {

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (standin::ToLowerAscii(a[i]) != standin::ToLowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// A value name as the registry file spells it (registry.h).
std::string EscapedName(const std::string& name) {
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '%' || c == '=' || c == '#' || c == '[') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::string KeyLine(const std::string& subKey) {
    std::string path = subKey;
    while (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return "[" + path + "]";
}

// Removes from a registry file either one value of a key (valueName given) or a key without
// subkeys with its values (valueName null).
bool EditHive(const std::string& hiveFile, const std::string& subKey,
              const std::string* valueName) {
    std::string bytes;
    bool missing = false;
    if (!standin::ReadWholeFile(RootFolder() + "/registry/" + hiveFile, bytes, missing)) {
        SetLastError(missing ? err::FileNotFound : LastError());
        return false;
    }
    const std::string keyLine = KeyLine(subKey);
    const std::string childPrefix = keyLine.substr(0, keyLine.size() - 1) + "\\";
    const std::string valuePrefix = valueName ? EscapedName(*valueName) + "=" : std::string();
    std::string kept;
    bool inKey = false;
    bool removed = false;
    for (const std::string& line : standin::LinesOf(bytes)) {
        if (!line.empty() && line[0] == '[') {
            inKey = SameNameIgnoringCase(line, keyLine);
            if (valueName == nullptr &&
                SameNameIgnoringCase(line.substr(0, childPrefix.size()), childPrefix)) {
                SetLastError(err::AccessDenied); // Windows refuses a key with subkeys
                return false;
            }
            if (inKey && valueName == nullptr) {
                removed = true;
                continue;
            }
        } else if (inKey &&
                   (valueName == nullptr ||
                    SameNameIgnoringCase(line.substr(0, valuePrefix.size()), valuePrefix))) {
            removed = true;
            continue;
        }
        kept += line + "\n";
    }
    if (!removed) {
        SetLastError(err::FileNotFound);
        return false;
    }
    return standin::ReplaceWholeFile(RootFolder() + "/registry/" + hiveFile, kept);
}

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
    return LoadU32(reinterpret_cast<const std::uint8_t*>(bytes.data() + at));
}

} // namespace

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    const std::optional<std::string> host = HostPath(folder);
    if (!host) {
        return names;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(host->c_str()), ::closedir);
    if (!dir) {
        standin::FailWithErrnoAt(errno, *host);
        return names;
    }
    while (const struct dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(standin::Utf8ToAnsi(name, GetACP()));
        }
    }
    return names;
}

bool IsLinkOrJunction(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '\\') {
        trimmed.pop_back();
    }
    const std::optional<std::string> host = HostPath(trimmed);
    struct stat status {};
    return host && ::lstat(host->c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// The stand-in's links have no item list and a LinkInfo whose local base path is the target.
bool ReadShellLinkTarget(const std::string& linkPath, std::string& target) {
    File file(linkPath, FileMode::Read);
    const std::int64_t size = file.IsOpen() ? file.Size() : -1;
    if (size < 0x4C || size > 0x10000) {
        SetLastError(err::InvalidParameter);
        return false;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (file.Read(bytes.data(), static_cast<std::int32_t>(size)) != size ||
        U32At(bytes, 0) != 0x4C || (U32At(bytes, 0x14) & 0x03) != 0x02 ||
        bytes.size() < 0x4C + 0x1C) {
        SetLastError(err::InvalidParameter);
        return false;
    }
    const std::size_t info = 0x4C;
    const std::uint32_t infoSize = U32At(bytes, info);
    const std::uint32_t pathOffset = U32At(bytes, info + 0x10);
    if ((U32At(bytes, info + 8) & 1) == 0 || infoSize > bytes.size() - info ||
        pathOffset >= infoSize) {
        SetLastError(err::InvalidParameter);
        return false;
    }
    const std::size_t end = bytes.find('\0', info + pathOffset);
    if (end == std::string::npos || end >= info + infoSize) {
        SetLastError(err::InvalidParameter);
        return false;
    }
    target = bytes.substr(info + pathOffset, end - info - pathOffset);
    return true;
}

bool DeleteRegistryValue(const std::string& subKey, const std::string& name) {
    return EditHive("HKCU.txt", subKey, &name);
}

bool DeleteMachineKey(const std::string& subKey) {
    return EditHive("HKLM.txt", subKey, nullptr);
}

bool CopyFileTo(const std::string& from, const std::string& to) {
    File source(from, FileMode::Read);
    File target;
    if (!source.IsOpen() || !target.Open(to, FileMode::Create)) {
        return false;
    }
    char buffer[64 * 1024];
    for (;;) {
        const std::int32_t read = source.Read(buffer, sizeof buffer);
        if (read < 0 || (read > 0 && target.Write(buffer, read) != read)) {
            return false;
        }
        if (read < static_cast<std::int32_t>(sizeof buffer)) {
            return target.Close();
        }
    }
}

bool DeleteFileAtRestart(const std::string& path) {
    const std::string list = RootFolder() + "/pending_deletes.txt";
    std::FILE* file = std::fopen(list.c_str(), "ab");
    if (file == nullptr) {
        standin::FailWithErrno(errno);
        return false;
    }
    const bool written = std::fprintf(file, "%s\n", path.c_str()) > 0;
    return std::fclose(file) == 0 && written;
}

void SleepMilliseconds(unsigned milliseconds) {
    struct timespec delay {};
    delay.tv_sec = milliseconds / 1000;
    delay.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    ::nanosleep(&delay, nullptr);
}

} // namespace kq
