// The packed folder on Windows: names in the ANSI code page as the A functions give them, the
// local time as Windows converts it (with the time-zone bias in force now, as its own tools do),
// the read-only attribute as the file carries it.
#include "source_tree.h"

#include <windows.h>

namespace kq::mksetup {

namespace {

std::string SystemMessage(DWORD code) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(code) : message;
}

std::uint32_t LocalDosDateTime(const std::string& path, const FILETIME& written) {
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &time)) {
        Fail(path, "its modification time cannot be converted to local time");
    }
    return DosDateTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
}

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            FindClose(handle_);
        }
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

void ListFolder(const std::string& path, const std::string& prefix,
                std::vector<SourceItem>& items) {
    WIN32_FIND_DATAA found{};
    const FindHandle find(FindFirstFileA((path + "\\*").c_str(), &found));
    if (find.Get() == INVALID_HANDLE_VALUE) {
        Fail(path, SystemMessage(GetLastError()));
    }
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        SourceItem source;
        source.path = path + "\\" + name;
        source.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (source.isFolder && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            Fail(source.path, "links to folders are not followed");
        }
        source.name = prefix + name + (source.isFolder ? "/" : "");
        source.size =
            source.isFolder ? 0 : (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
        source.dosDateTime = LocalDosDateTime(source.path, found.ftLastWriteTime);
        if (source.isFolder) {
            source.attributes = kDirectoryAttribute;
        } else if ((found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            source.attributes = kReadOnlyAttribute;
        }
        items.push_back(source);
        if (source.isFolder) {
            ListFolder(source.path, source.name, items);
        }
    } while (FindNextFileA(find.Get(), &found));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) {
        Fail(path, SystemMessage(error));
    }
}

} // namespace

std::vector<SourceItem> ListTree(const std::string& folder) {
    std::string root = folder;
    while (root.size() > 1 && (root.back() == '\\' || root.back() == '/')) {
        root.pop_back();
    }
    const DWORD attributes = GetFileAttributesA(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        Fail(folder, "not a folder");
    }
    std::vector<SourceItem> items;
    ListFolder(root, "", items);
    return items;
}

void MoveIntoPlace(const std::string& from, const std::string& target) {
    if (!MoveFileExA(from.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        Fail(target, SystemMessage(GetLastError()));
    }
}

std::string ArchiveName(const SourceItem& item, unsigned codePage) {
    if (item.name.empty()) {
        return item.name;
    }
    // Through UTF-16: from the ANSI code page the names were read in to the archive's.
    const int length = static_cast<int>(item.name.size());
    std::wstring wide(item.name.size(), L'\0');
    const int wideLength = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, item.name.data(),
                                               length, wide.data(), length);
    const UINT target = codePage == 0 ? GetOEMCP() : codePage;
    std::string out(item.name.size() * 4, '\0');
    BOOL lossy = FALSE;
    const int outLength = wideLength <= 0
                              ? 0
                              : WideCharToMultiByte(target, 0, wide.data(), wideLength, out.data(),
                                                    static_cast<int>(out.size()), nullptr,
                                                    target == CP_UTF8 ? nullptr : &lossy);
    if (outLength <= 0 || lossy) {
        throw PackError(item.path + ": the name cannot be written in code page " +
                        std::to_string(target));
    }
    out.resize(static_cast<std::size_t>(outLength));
    return out;
}

} // namespace kq::mksetup
