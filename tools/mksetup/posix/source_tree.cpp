// The packed folder on a POSIX host: names are taken as the bytes the directory holds, times
// through localtime, read-only from the owner's missing write permission.
#include "source_tree.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <iconv.h>
#include <memory>
#include <sys/stat.h>

namespace kq::mksetup {

namespace {

struct stat StatOf(const std::string& path, bool followLinks) {
    struct stat status {};
    if ((followLinks ? ::stat(path.c_str(), &status) : ::lstat(path.c_str(), &status)) != 0) {
        Fail(path, std::strerror(errno));
    }
    return status;
}

std::uint32_t LocalDosDateTime(const std::string& path, std::time_t time) {
    std::tm local{};
    if (::localtime_r(&time, &local) == nullptr) {
        Fail(path, "its modification time cannot be converted to local time");
    }
    return DosDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                       local.tm_min, local.tm_sec);
}

void ListFolder(const std::string& path, const std::string& prefix,
                std::vector<SourceItem>& items) {
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(path.c_str()), ::closedir);
    if (!folder) {
        Fail(path, std::strerror(errno));
    }
    for (;;) {
        errno = 0;
        const dirent* item = ::readdir(folder.get());
        if (item == nullptr) {
            if (errno != 0) {
                Fail(path, std::strerror(errno));
            }
            return;
        }
        const std::string name = item->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        // On Windows a backslash separates folders: the name would not come back as it is.
        if (name.find('\\') != std::string::npos) {
            Fail(path + "/" + name, "a name with a backslash cannot be installed on Windows");
        }
        SourceItem source;
        source.path = path + "/" + name;
        const struct stat link = StatOf(source.path, false);
        const struct stat status = StatOf(source.path, true);
        source.isFolder = S_ISDIR(status.st_mode);
        if (source.isFolder && S_ISLNK(link.st_mode)) {
            Fail(source.path, "links to folders are not followed");
        }
        if (!source.isFolder && !S_ISREG(status.st_mode)) {
            Fail(source.path, "neither a file nor a folder");
        }
        source.name = prefix + name + (source.isFolder ? "/" : "");
        source.size = source.isFolder ? 0 : static_cast<std::uint64_t>(status.st_size);
        source.dosDateTime = LocalDosDateTime(source.path, status.st_mtime);
        if (source.isFolder) {
            source.attributes = kDirectoryAttribute;
        } else if ((status.st_mode & S_IWUSR) == 0) {
            source.attributes = kReadOnlyAttribute;
        }
        items.push_back(source);
        if (source.isFolder) {
            ListFolder(source.path, source.name, items);
        }
    }
}

} // namespace

std::vector<SourceItem> ListTree(const std::string& folder) {
    if (!S_ISDIR(StatOf(folder, true).st_mode)) {
        Fail(folder, "not a folder");
    }
    std::vector<SourceItem> items;
    ListFolder(folder, "", items);
    return items;
}

void MoveIntoPlace(const std::string& from, const std::string& target) {
    if (std::rename(from.c_str(), target.c_str()) != 0) {
        Fail(target, std::strerror(errno));
    }
}

std::string ArchiveName(const SourceItem& item, unsigned codePage) {
    const bool ascii = std::all_of(item.name.begin(), item.name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        return item.name;
    }
    if (codePage == 0) {
        throw PackError(item.path + ": the name is not ASCII; name the OEM code page of the "
                                    "systems it installs on with --codepage (936, 950, 437...)");
    }
    const std::string target = "CP" + std::to_string(codePage);
    const iconv_t converter = iconv_open(target.c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        throw PackError("code page " + std::to_string(codePage) + " is not known here");
    }
    std::string in = item.name;
    std::string out(in.size() * 4, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1)) {
        throw PackError(item.path + ": the name cannot be written in code page " +
                        std::to_string(codePage));
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace kq::mksetup
