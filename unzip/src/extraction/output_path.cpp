// Safe output paths for archive entries; see output_path.h for the rules.
#include "extraction/output_path.h"

#include <array>
#include <string>
#include <vector>

namespace kq {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsForbiddenInName(unsigned char c) {
    if (c < 0x20) {
        return true;
    }
    switch (c) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '/':
    case '\\':
    case '|':
    case '?':
    case '*':
        return true;
    default:
        return false;
    }
}

bool IsDotOrBlank(char c) {
    return c == '.' || c == ' ';
}

bool OnlyDotsAndBlanks(std::string_view part) {
    for (char c : part) {
        if (!IsDotOrBlank(c)) {
            return false;
        }
    }
    return true;
}

// Windows opens these names, with any extension, as devices rather than files. The digits 1-3
// written as superscripts (code page 1252: B9, B2, B3) count too.
bool IsDeviceName(std::string_view name) {
    std::string base(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    base = UpperCase(base);
    static const std::array<std::string_view, 7> plain = {"CON",    "PRN",     "AUX",   "NUL",
                                                          "CONIN$", "CONOUT$", "CLOCK$"};
    for (std::string_view device : plain) {
        if (base == device) {
            return true;
        }
    }
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)) {
        const unsigned char digit = static_cast<unsigned char>(base[3]);
        return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

// One folder or file name made safe; "" for a folder that is to be dropped.
std::string SafeName(std::string_view part, int codePage, bool isFolder) {
    if (OnlyDotsAndBlanks(part)) {
        if (isFolder) {
            return std::string();
        }
        return std::string(part.size(), '_');
    }
    std::string safe(part);
    for (size_t i = 0; i < safe.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(safe[i]), codePage) && i + 1 < safe.size()) {
            ++i;
        } else if (IsForbiddenInName(static_cast<unsigned char>(safe[i]))) {
            safe[i] = '_';
        }
    }
    // Trail bytes of double-byte characters are never dots or blanks, so this cannot split one.
    for (size_t i = safe.size(); i > 0 && IsDotOrBlank(safe[i - 1]); --i) {
        safe[i - 1] = '_';
    }
    if (IsDeviceName(safe)) {
        safe.insert(0, 1, '_');
    }
    return safe;
}

// The folders of path, split at "\" and "/" outside double-byte characters; empty ones dropped.
std::vector<std::string_view> SplitFolders(std::string_view path, int codePage) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && IsLeadByte(static_cast<unsigned char>(path[i]), codePage) &&
            i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start) {
                parts.push_back(path.substr(start, i - start));
            }
            start = i + 1;
        }
    }
    return parts;
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Takes off what makes a path absolute: "\\?\" and "\\.\" (the device namespaces), then
// separators, then a drive ("C:" also when a folder follows without a separator).
std::string_view WithoutAbsolutePrefix(std::string_view path) {
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
        (path[2] == '?' || path[2] == '.') && IsSeparator(path[3])) {
        path.remove_prefix(4);
    }
    while (!path.empty() && IsSeparator(path.front())) {
        path.remove_prefix(1);
    }
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        path.remove_prefix(2);
    }
    return path;
}

} // namespace

AnsiString SafeEntryFolder(std::string_view directory, std::string_view rootDir, int codePage) {
    if (!rootDir.empty() && directory.size() >= rootDir.size() &&
        SameText(directory.substr(0, rootDir.size()), rootDir)) {
        directory.remove_prefix(rootDir.size());
    }
    std::string folder;
    for (std::string_view part : SplitFolders(WithoutAbsolutePrefix(directory), codePage)) {
        const std::string safe = SafeName(part, codePage, true);
        if (!safe.empty()) {
            folder += safe + "\\";
        }
    }
    return folder;
}

AnsiString SafeEntryFileName(std::string_view name, int codePage) {
    return SafeName(name, codePage, false);
}

AnsiString EntryOutputFolder(std::string_view destDir, std::string_view directory,
                             std::string_view rootDir, bool recreateDirs, int codePage) {
    std::string folder(destDir);
    folder += '\\';
    if (recreateDirs) {
        folder += SafeEntryFolder(directory, rootDir, codePage);
    }
    return folder;
}

} // namespace kq
