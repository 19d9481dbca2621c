// Test support: the entries of a zip archive as its central directory lists them, found without
// the engine's own catalogue reader, so that the decoders can be tested on real archives by
// themselves. Only what those tests need: single-volume archives, 32-bit sizes.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kq::test {

struct ZipEntry {
    std::string name;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t dosTime = 0;
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    // Where the entry's data (its encryption header first, if any) starts; 0 when the local
    // header is not where the central directory says.
    std::size_t dataOffset = 0;
};

inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = v << 8 | b[at + i];
    }
    return v;
}

// The entries in central directory order; empty when no end record is found.
inline std::vector<ZipEntry> ListEntries(const std::vector<std::uint8_t>& zip) {
    std::vector<ZipEntry> entries;
    if (zip.size() < 22) {
        return entries;
    }
    std::size_t end = zip.size() - 22;
    while (Le(zip, end, 4) != 0x06054b50) {
        if (end == 0) {
            return entries;
        }
        --end;
    }
    const std::uint32_t count = Le(zip, end + 10, 2);
    const std::uint32_t directorySize = Le(zip, end + 12, 4);
    const std::uint32_t directoryOffset = Le(zip, end + 16, 4);
    if (directorySize > end) {
        return entries;
    }
    // Data in front of the archive (a self-extractor) shifts every offset.
    const std::size_t shift = end - directorySize - directoryOffset;
    std::size_t at = end - directorySize;
    for (std::uint32_t i = 0; i < count && at + 46 <= end; ++i) {
        if (Le(zip, at, 4) != 0x02014b50) {
            break;
        }
        ZipEntry e;
        e.flags = static_cast<std::uint16_t>(Le(zip, at + 8, 2));
        e.method = static_cast<std::uint16_t>(Le(zip, at + 10, 2));
        e.dosTime = static_cast<std::uint16_t>(Le(zip, at + 12, 2));
        e.crc = Le(zip, at + 16, 4);
        e.compressedSize = Le(zip, at + 20, 4);
        e.uncompressedSize = Le(zip, at + 24, 4);
        const std::uint32_t nameLength = Le(zip, at + 28, 2);
        const std::uint32_t extraLength = Le(zip, at + 30, 2);
        const std::uint32_t commentLength = Le(zip, at + 32, 2);
        if (at + 46 + nameLength > zip.size()) {
            break;
        }
        const std::size_t local = std::size_t(Le(zip, at + 42, 4)) + shift;
        e.name.assign(zip.begin() + static_cast<std::ptrdiff_t>(at + 46),
                      zip.begin() + static_cast<std::ptrdiff_t>(at + 46 + nameLength));
        if (local + 30 <= zip.size() && Le(zip, local, 4) == 0x04034b50) {
            e.dataOffset = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
            if (e.dataOffset + e.compressedSize > zip.size()) {
                e.dataOffset = 0;
            }
        }
        entries.push_back(e);
        at += 46 + nameLength + extraLength + commentLength;
    }
    return entries;
}

inline std::vector<std::uint8_t> EntryData(const std::vector<std::uint8_t>& zip,
                                           const ZipEntry& entry) {
    const auto first = zip.begin() + static_cast<std::ptrdiff_t>(entry.dataOffset);
    return {first, first + entry.compressedSize};
}

} // namespace kq::test
