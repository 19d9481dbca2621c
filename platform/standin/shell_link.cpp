// The stand-in's shell link: the .lnk file is written here, in the binary form Windows reads.
//
// Format notes (all numbers little-endian):
// - Header, 0x4C bytes: its size (0x4C), the link class {00021401-0000-0000-C000-000000000046},
//   the link flags, the target's attributes, three FILETIMEs, its size, the icon index, the show
//   command (1, normal window), a hot key and ten reserved bytes. Zero target attributes, times
//   and size mean "not recorded"; Windows fills them in when it next resolves the link.
// - No item list (flag 0x01 clear): Windows then finds the target through the LinkInfo.
// - LinkInfo (flag 0x02), for a target on a drive: its size, header size 0x1C, flags 1 (a volume
//   and a local base path follow), the offsets of the VolumeID, the local base path, the network
//   part (0, none) and the common path suffix. The VolumeID holds its size, the drive type, a
//   serial number (0, unknown), the offset of the label (0x10) and the label, NUL-terminated;
//   then the target's full path and an empty suffix, both NUL-terminated ANSI.
// - Strings, each a 16-bit count of characters and the characters, ANSI since the IsUnicode flag
//   (0x80) is clear, without a terminator, in this order: the description (flag 0x04) and the
//   working folder (flag 0x10).
// - Four zero bytes end the (empty) list of extra data blocks.

#include "base/little_endian.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/volumes.h"
#include "standin_internal.h"

#include <cstdint>
#include <string>

namespace kq {

namespace {

constexpr std::uint32_t headerSize = 0x4C;
constexpr unsigned char shellLinkClass[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                              0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint32_t hasLinkInfo = 0x02;
constexpr std::uint32_t hasName = 0x04;
constexpr std::uint32_t hasWorkingDir = 0x10;
constexpr std::uint32_t showNormal = 1;
constexpr std::uint32_t linkInfoHeaderSize = 0x1C;
constexpr std::uint32_t volumeIdAndLocalBasePath = 0x01;
constexpr std::uint32_t volumeIdHeaderSize = 0x10;

bool IsDrivePath(const std::string& path) {
    const char drive = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
    return path.size() >= 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' && path[2] == '\\';
}

std::string Header(std::uint32_t flags) {
    std::string out;
    PutU32(out, headerSize);
    out.append(reinterpret_cast<const char*>(shellLinkClass), sizeof shellLinkClass);
    PutU32(out, flags);
    out.append(4 + 3 * 8 + 4 + 4, '\0'); // attributes, times, size, icon index
    PutU32(out, showNormal);
    out.append(2 + 10, '\0'); // hot key, reserved
    return out;
}

std::string LinkInfo(const std::string& target) {
    std::string volumeId;
    PutU32(volumeId, volumeIdHeaderSize + 1);
    PutU32(volumeId, GetDriveType(target.substr(0, 3)));
    PutU32(volumeId, 0);
    PutU32(volumeId, volumeIdHeaderSize);
    volumeId += '\0'; // no label

    const std::uint32_t localBasePathOffset =
        linkInfoHeaderSize + static_cast<std::uint32_t>(volumeId.size());
    const std::uint32_t suffixOffset =
        localBasePathOffset + static_cast<std::uint32_t>(target.size()) + 1;
    std::string out;
    PutU32(out, suffixOffset + 1);
    PutU32(out, linkInfoHeaderSize);
    PutU32(out, volumeIdAndLocalBasePath);
    PutU32(out, linkInfoHeaderSize);
    PutU32(out, localBasePathOffset);
    PutU32(out, 0);
    PutU32(out, suffixOffset);
    out += volumeId;
    out += target;
    out += '\0';
    out += '\0'; // empty suffix
    return out;
}

void PutString(std::string& out, const std::string& text) {
    PutU16(out, static_cast<std::uint32_t>(text.size()));
    out += text;
}

bool FitsStringData(const std::string& text) {
    return text.size() <= 0xFFFF && text.find('\0') == std::string::npos;
}

bool WriteNewFile(const std::string& path, const std::string& bytes) {
    File file(path, FileMode::Create);
    if (!file.IsOpen()) {
        return false;
    }
    const bool written = file.Write(bytes.data(), static_cast<std::int32_t>(bytes.size())) ==
                         static_cast<std::int32_t>(bytes.size());
    const std::uint32_t writeError = LastError();
    if (!file.Close() || !written) {
        const std::uint32_t error = written ? LastError() : writeError;
        DeleteFile(path); // no half-written link is left behind
        SetLastError(error);
        return false;
    }
    return true;
}

} // namespace

// The stand-in keeps the link's texts and has no objects of the shell.
struct ShellLink::ComObjects {};

ShellLink::ShellLink() = default;

ShellLink::~ShellLink() = default;

bool ShellLink::Create() {
    created_ = true;
    return true;
}

bool ShellLink::SetPath(const std::string& target) {
    if (!created_ || !FitsStringData(target)) {
        SetLastError(created_ ? err::InvalidParameter : err::InvalidHandle);
        return false;
    }
    target_ = target;
    return true;
}

bool ShellLink::SetWorkingDirectory(const std::string& folder) {
    if (!created_ || !FitsStringData(folder)) {
        SetLastError(created_ ? err::InvalidParameter : err::InvalidHandle);
        return false;
    }
    workingDirectory_ = folder;
    return true;
}

bool ShellLink::SetDescription(const std::string& description) {
    if (!created_ || !FitsStringData(description)) {
        SetLastError(created_ ? err::InvalidParameter : err::InvalidHandle);
        return false;
    }
    description_ = description;
    return true;
}

bool ShellLink::Save(const std::string& path) {
    if (!created_) {
        SetLastError(err::InvalidHandle);
        return false;
    }
    if (standin::FaultInjected(FaultKind::ShortcutSave)) {
        return false;
    }
    const bool onDrive = IsDrivePath(target_);
    const std::uint32_t flags = (onDrive ? hasLinkInfo : 0) | (description_.empty() ? 0 : hasName) |
                                (workingDirectory_.empty() ? 0 : hasWorkingDir);
    std::string bytes = Header(flags);
    if (onDrive) {
        bytes += LinkInfo(target_);
    }
    if (!description_.empty()) {
        PutString(bytes, description_);
    }
    if (!workingDirectory_.empty()) {
        PutString(bytes, workingDirectory_);
    }
    PutU32(bytes, 0);
    return WriteNewFile(path, bytes);
}

} // namespace kq
