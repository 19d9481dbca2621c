// Test support: a zip archive of stored (uncompressed, unencrypted) entries written byte by byte,
// so that a test can give entries names that no archiver would write. CRC-32 from zlib.
//
// Local header, data, then the central directory and its end record, one disk, 32-bit sizes.
// Entries are made on MS-DOS (version made by 2.0, host 0) and dated 2020-02-29 13:14:16.
#pragma once

#include "base/little_endian.h"

#include <cstdint>
#include <string>
#include <vector>
#include <zlib.h>

namespace kq::test {

// How an entry differs from the usual one.
struct StoredEntryOptions {
    std::uint16_t date = 0x505D;
    // The central record holds FFFFFFFF for both sizes and the true ones in a Zip64 block of its
    // extra field, as writers of large archives do; the local header keeps them.
    bool zip64Sizes = false;
};

class StoredZipWriter {
public:
    using Options = StoredEntryOptions;
    static constexpr std::uint16_t kTime = 0x69C8;

    // A file entry; its external attributes are the DOS archive bit.
    void AddFile(const std::string& name, const std::string& data, const Options& options = {}) {
        Add(name, data, 0x20, options);
    }
    // A folder entry: no data, the DOS directory bit.
    void AddFolder(const std::string& name) { Add(name, std::string(), 0x10, {}); }

    std::string Bytes() const {
        std::string archive = locals_ + central_;
        PutU32(archive, 0x06054b50);
        PutU16(archive, 0); // this disk
        PutU16(archive, 0); // disk of the central directory
        PutU16(archive, count_);
        PutU16(archive, count_);
        PutU32(archive, static_cast<std::uint32_t>(central_.size()));
        PutU32(archive, static_cast<std::uint32_t>(locals_.size()));
        PutU16(archive, 0); // comment length
        return archive;
    }

private:
    void Add(const std::string& name, const std::string& data, std::uint32_t attributes,
             const Options& options) {
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        const auto size = static_cast<std::uint32_t>(data.size());
        const auto offset = static_cast<std::uint32_t>(locals_.size());
        // What the local header and the central record share, from "version needed" on.
        std::string common;
        PutU16(common, 10); // version needed: stored
        PutU16(common, 0);  // flags
        PutU16(common, 0);  // method: stored
        PutU16(common, kTime);
        PutU16(common, options.date);
        PutU32(common, crc);
        const std::size_t sizesAt = common.size();
        PutU32(common, size);
        PutU32(common, size);
        PutU16(common, static_cast<std::uint32_t>(name.size()));

        PutU32(locals_, 0x04034b50);
        locals_ += common;
        PutU16(locals_, 0); // extra field length
        locals_ += name + data;

        std::string extra;
        if (options.zip64Sizes) {
            common.replace(sizesAt, 8, 8, '\xFF');
            PutU16(extra, 1);  // the Zip64 block
            PutU16(extra, 16); // its length
            PutU32(extra, size);
            PutU32(extra, 0);
            PutU32(extra, size);
            PutU32(extra, 0);
        }
        PutU32(central_, 0x02014b50);
        PutU16(central_, 20); // made by: MS-DOS, 2.0
        central_ += common;
        PutU16(central_, static_cast<std::uint32_t>(extra.size()));
        PutU16(central_, 0); // comment length
        PutU16(central_, 0); // disk
        PutU16(central_, 0); // internal attributes
        PutU32(central_, attributes);
        PutU32(central_, offset);
        central_ += name + extra;
        ++count_;
    }

    std::string locals_, central_;
    std::uint32_t count_ = 0;
};

} // namespace kq::test
