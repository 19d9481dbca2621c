#include "unzip/folders.h"

#include "base/strings.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/volumes.h"
#include "unzip/text.h"

namespace kq {

bool ForceDirectories(const std::string& path) {
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
    if (!parent.empty() && parent != folder && !ForceDirectories(parent)) {
        return false;
    }
    return CreateDirectory(folder) || DirectoryExists(folder);
}

std::string VolumeLabel(const std::string& root) {
    // The label is read into a 14-byte buffer: 13 characters and the terminating zero.
    std::string label;
    if (!kq::GetVolumeLabel(root, label)) {
        return std::string();
    }
    return LeftStr(label, 13);
}

} // namespace kq
