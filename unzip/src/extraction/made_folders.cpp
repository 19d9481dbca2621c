#include "extraction/made_folders.h"

#include "base/strings.h"
#include "platform/codepage.h"
#include "platform/files.h"

#include <algorithm>

namespace kq {

bool ForceDirectories(const std::string& path, std::vector<std::string>* made) {
    // Trailing backslashes go; a trail byte of a double-byte character that equals one stays,
    // so the name is scanned from its start.
    const int codePage = static_cast<int>(GetACP());
    size_t length = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i]), codePage) && i + 1 < path.size()) {
            length = ++i + 1;
        } else if (path[i] != '\\') {
            length = i + 1;
        }
    }
    const std::string folder = path.substr(0, length);
    if (folder.empty() || DirectoryExists(folder)) {
        return true;
    }
    const std::string parent = ExtractFilePath(folder, codePage);
    // A drive ("C:") or a name without any folder above it has no parent to create first.
    if (!parent.empty() && parent != folder && !ForceDirectories(parent, made)) {
        return false;
    }
    if (CreateDirectory(folder)) {
        if (made != nullptr) {
            made->push_back(folder);
        }
        return true;
    }
    return DirectoryExists(folder);
}

namespace {

// A name Windows may find under another spelling than its own bytes with ASCII letters in either
// case: other letters, a short alias ("LONGNA~1.TXT"), trailing dots and blanks (dropped), a
// stream, a wildcard, a device ("NUL", "com1.txt").
bool MayHaveOtherSpellings(std::string_view name) {
    if (name.empty() || name.back() == '.' || name.back() == ' ' ||
        name.find_first_of("~:*?") != std::string_view::npos) {
        return true;
    }
    for (const char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : devices) {
        if (SameText(stem, device)) {
            return true;
        }
    }
    return stem.size() == 4 &&
           (SameText(stem.substr(0, 3), "COM") || SameText(stem.substr(0, 3), "LPT")) &&
           stem[3] >= '0' && stem[3] <= '9';
}

} // namespace

void TMadeFolders::Made(const std::string& folder) {
    folders_.Insert(Hash(folder, folder.size(), false));
    Used(folder);
}

void TMadeFolders::Used(const std::string& path) {
    used_.Insert(Hash(path, path.size(), true));
}

TMadeFolders::TMadeFolders(int codePage) : codePage_(codePage) {
    for (int b = 0; b < 256; ++b) {
        leadByte_[static_cast<std::size_t>(b)] =
            IsLeadByte(static_cast<unsigned char>(b), codePage);
    }
}

bool TMadeFolders::WasUsed(const std::string& path) const {
    return used_.Contains(Hash(path, path.size(), true));
}

// The folder must be one the run made under these very bytes, the name must not have been used
// under any case of its letters. A partial file's name is used with its file's.
bool TMadeFolders::KnownMissing(const std::string& path) const {
    if (folders_.Empty()) {
        return false;
    }
    const std::size_t name = ExtractFilePath(path, codePage_).size();
    if (MayHaveOtherSpellings(std::string_view(path).substr(name)) ||
        !folders_.Contains(Hash(path, name, false)) ||
        used_.Contains(Hash(path, path.size(), true))) {
        return false;
    }
    static constexpr std::size_t suffix = sizeof ".partial" - 1;
    const std::size_t stem = path.size() - suffix;
    return path.size() - name <= suffix ||
           !SameText(std::string_view(path).substr(stem), ".partial") ||
           !used_.Contains(Hash(path, stem, true));
}

// 64-bit FNV-1a, its bits mixed at the end, never 0. The bytes of a double-byte character stay
// as they are: its second byte may look like a letter or a backslash.
std::uint64_t TMadeFolders::Hash(const std::string& path, std::size_t length, bool fold) const {
    std::size_t end = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (leadByte_[static_cast<unsigned char>(path[i])] && i + 1 < length) {
            end = ++i + 1;
        } else if (path[i] != '\\') {
            end = i + 1;
        }
    }
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (std::size_t i = 0; i < end; ++i) {
        auto c = static_cast<unsigned char>(path[i]);
        if (leadByte_[c] && i + 1 < end) {
            hash = (hash ^ c) * 0x100000001B3u;
            c = static_cast<unsigned char>(path[++i]);
        } else if (fold && c >= 'a' && c <= 'z') {
            c = static_cast<unsigned char>(c - 'a' + 'A');
        }
        hash = (hash ^ c) * 0x100000001B3u;
    }
    hash ^= hash >> 31;
    hash *= 0x7FB5D329728EA185u;
    hash ^= hash >> 27;
    return hash != 0 ? hash : 1;
}

void TMadeFolders::Hashes::Insert(std::uint64_t hash) {
    if ((count_ + 1) * 2 > slots_.size()) {
        std::vector<std::uint64_t> old(std::max<std::size_t>(256, slots_.size() * 2));
        old.swap(slots_);
        count_ = 0;
        for (const std::uint64_t kept : old) {
            if (kept != 0) {
                Place(kept);
            }
        }
    }
    Place(hash);
}

void TMadeFolders::Hashes::Place(std::uint64_t hash) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    while (slots_[slot] != 0 && slots_[slot] != hash) {
        slot = (slot + 1) & mask;
    }
    count_ += slots_[slot] == 0 ? 1 : 0;
    slots_[slot] = hash;
}

bool TMadeFolders::Hashes::Contains(std::uint64_t hash) const {
    if (slots_.empty()) {
        return false;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
        if (slots_[slot] == hash) {
            return true;
        }
    }
    return false;
}

} // namespace kq
