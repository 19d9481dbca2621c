// The folder being packed, as the host's file system shows it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kq::mksetup {

// A problem that stops the packing; the message names the file.
class PackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Ends the packing with "<path>: <reason>".
[[noreturn]] inline void Fail(const std::string& path, const std::string& reason) {
    throw PackError(path + ": " + reason);
}

// DOS attribute bits as the archive's external attributes carry them for MS-DOS.
inline constexpr std::uint32_t kReadOnlyAttribute = 0x01;
inline constexpr std::uint32_t kDirectoryAttribute = 0x10;

struct SourceItem {
    // Relative to the packed folder, "/" between folders, a folder's name ending in "/"; the
    // bytes of the host's names as they are (on Windows, the ANSI code page's).
    std::string name;
    // The host path to open it by.
    std::string path;
    bool isFolder = false;
    std::uint64_t size = 0;
    // Local time of the last change: date in the high 16 bits, time in the low 16 bits.
    std::uint32_t dosDateTime = 0;
    std::uint32_t attributes = 0;
};

// Every file and folder below folder, in no particular order. Links to files count as the
// files; anything else that is neither file nor folder is refused.
std::vector<SourceItem> ListTree(const std::string& folder);

// The name as the archive stores it: in the OEM code page of the systems the archive installs on,
// which the installer converts to their ANSI code page. codePage 0 takes the host's default: on
// Windows its own OEM code page (the name is converted from its ANSI one); elsewhere names must
// be ASCII, as nothing tells which Windows code page the host's UTF-8 names are meant for. A name
// that the code page cannot hold is refused.
std::string ArchiveName(const SourceItem& item, unsigned codePage);

// Puts the finished archive in place of target, replacing an older one.
void MoveIntoPlace(const std::string& from, const std::string& target);

// Packs a local time into a DOS date-time, seconds rounded down to even; times outside the
// DOS range (1980 to 2107) are pinned to its ends.
std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second);

} // namespace kq::mksetup
