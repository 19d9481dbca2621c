// Test support: multi-part archives. The four parts Info-ZIP zip -s made of multi.zip (fixtures)
// copied into a scratch folder, and split archives written byte by byte, for the part
// boundaries no archiver can be asked for.
//
// A split archive is one archive cut into parts, each a file of its own. The first part starts
// with the spanning signature 08074B50h. Every local header and central record names the part
// it starts on (0-based) and its offset counts from the start of that part; the end record is
// on the last part and names it, and names the part the central directory starts on. Entry
// data runs on from the end of one part into the next. Headers and central records are never
// cut: one that does not fit in what is left of a part starts the next part.
//
// An entry given a password is encrypted with the traditional zip encryption (APPNOTE 6.1):
// three keys start from 12345678h, 23456789h and 34567890h and take in the password and then
// every plain byte; each byte is XORed with a key-stream byte made from the third key. The
// data is preceded by a 12-byte header whose last plain byte is the CRC-32's high byte.
#pragma once

#include "support/zip_fixtures.h"
#include "support/zip_writer.h"
#include "support/zlib_oracle.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>
#include <zlib.h>

namespace kq::test {

// multi.001 ... multi.004 into folder, but for part skip. The end record is on part 4; the
// central directory starts on part 3 and its last record is on part 4.
inline void CopyFixtureParts(const ScratchFolder& folder, int skip = 0) {
    for (int part = 1; part <= 4; ++part) {
        if (part != skip) {
            const std::string name = "multi.00" + std::to_string(part);
            WriteWholeFile(folder / name, ReadWholeFile(Fixture(name)));
        }
    }
}

class SplitZipWriter {
public:
    // Where an entry's data lies: the parts (0-based) of its first and last byte.
    struct DataSpan {
        int firstPart = 0;
        int lastPart = 0;
    };

    // Part i holds at most partSizes[i] bytes; the last size serves every later part.
    explicit SplitZipWriter(std::vector<std::size_t> partSizes)
        : partSizes_(std::move(partSizes)), parts_(1) {
        PutU32(parts_[0], 0x08074b50);
    }

    DataSpan AddStored(const std::string& name, const std::vector<std::uint8_t>& data,
                       const std::string& password = "") {
        return Add(name, data, data, 0, password);
    }
    // Deflated by zlib at level 9.
    DataSpan AddDeflated(const std::string& name, const std::vector<std::uint8_t>& data,
                         const std::string& password = "") {
        return Add(name, data, RawDeflate(data, 9), 8, password);
    }

    // The central directory and the end record close the archive: call once.
    std::vector<std::string> Finish() {
        int centralPart = -1;
        std::uint32_t centralOffset = 0, centralSize = 0;
        std::vector<int> recordParts;
        for (const std::string& record : central_) {
            Whole(record);
            recordParts.push_back(CurrentPart());
            if (centralPart < 0) {
                centralPart = CurrentPart();
                centralOffset = static_cast<std::uint32_t>(parts_.back().size() - record.size());
            }
            centralSize += static_cast<std::uint32_t>(record.size());
        }
        MakeRoom(kEndRecordSize);
        const int last = CurrentPart();
        const auto recordsOnLastPart =
            static_cast<std::uint32_t>(std::count(recordParts.begin(), recordParts.end(), last));
        std::string& end = parts_.back();
        PutU32(end, 0x06054b50);
        PutU16(end, static_cast<std::uint32_t>(last));
        PutU16(end, static_cast<std::uint32_t>(centralPart));
        PutU16(end, recordsOnLastPart);
        PutU16(end, static_cast<std::uint32_t>(central_.size()));
        PutU32(end, centralSize);
        PutU32(end, centralOffset);
        PutU16(end, 0); // comment length
        return parts_;
    }

    // The entries' date-time, 2020-02-29 13:14:16.
    static constexpr std::uint32_t kDateTime = 0x505D69C8;

private:
    static constexpr std::size_t kEndRecordSize = 22;

    std::size_t Capacity(std::size_t part) const {
        return partSizes_[std::min(part, partSizes_.size() - 1)];
    }
    int CurrentPart() const { return static_cast<int>(parts_.size()) - 1; }

    // Starts the next part when count bytes do not fit in what is left of this one.
    void MakeRoom(std::size_t count) {
        if (parts_.back().size() + count > Capacity(parts_.size() - 1)) {
            parts_.emplace_back();
        }
        if (count > Capacity(parts_.size() - 1)) {
            throw std::logic_error("a header does not fit in a part");
        }
    }
    void Whole(const std::string& bytes) {
        MakeRoom(bytes.size());
        parts_.back() += bytes;
    }
    // Data runs on into as many parts as it needs.
    DataSpan Spread(const std::vector<std::uint8_t>& bytes) {
        std::size_t done = 0;
        int firstPart = -1;
        while (done < bytes.size()) {
            if (parts_.back().size() == Capacity(parts_.size() - 1)) {
                parts_.emplace_back();
            }
            const std::size_t piece =
                std::min(bytes.size() - done, Capacity(parts_.size() - 1) - parts_.back().size());
            parts_.back().append(reinterpret_cast<const char*>(bytes.data()) + done, piece);
            done += piece;
            if (firstPart < 0) {
                firstPart = CurrentPart();
            }
        }
        return {firstPart < 0 ? CurrentPart() : firstPart, CurrentPart()};
    }

    class Cipher {
    public:
        explicit Cipher(const std::string& password) {
            for (const char c : password) {
                Update(static_cast<std::uint8_t>(c));
            }
        }
        std::uint8_t Encrypt(std::uint8_t plain) {
            const std::uint32_t t = (key2_ | 2) & 0xFFFF;
            const auto cipher = static_cast<std::uint8_t>(plain ^ ((t * (t ^ 1)) >> 8));
            Update(plain);
            return cipher;
        }

    private:
        static std::uint32_t Crc(std::uint32_t crc, std::uint8_t byte) {
            return get_crc_table()[(crc ^ byte) & 0xFF] ^ (crc >> 8);
        }
        void Update(std::uint8_t byte) {
            key0_ = Crc(key0_, byte);
            key1_ = (key1_ + (key0_ & 0xFF)) * 134775813 + 1;
            key2_ = Crc(key2_, static_cast<std::uint8_t>(key1_ >> 24));
        }

        std::uint32_t key0_ = 0x12345678, key1_ = 0x23456789, key2_ = 0x34567890;
    };

    // The encryption header (its first 11 bytes from a fixed seed), then the data, encrypted.
    static std::vector<std::uint8_t> Encrypted(const std::vector<std::uint8_t>& data,
                                               std::uint32_t crc, const std::string& password) {
        std::vector<std::uint8_t> plain = MakeInput(InputKind::Random, 11, 77);
        plain.push_back(static_cast<std::uint8_t>(crc >> 24));
        plain.insert(plain.end(), data.begin(), data.end());
        Cipher cipher(password);
        for (std::uint8_t& byte : plain) {
            byte = cipher.Encrypt(byte);
        }
        return plain;
    }

    DataSpan Add(const std::string& name, const std::vector<std::uint8_t>& data,
                 const std::vector<std::uint8_t>& packed, std::uint16_t method,
                 const std::string& password) {
        const std::uint32_t crc = ZlibCrc(data);
        const std::vector<std::uint8_t> stored =
            password.empty() ? packed : Encrypted(packed, crc, password);
        // What the local header and the central record share, from "version needed" on.
        std::string common;
        PutU16(common, method == 0 ? 10 : 20);
        PutU16(common, password.empty() ? 0 : 1); // flags: bit 0, encrypted
        PutU16(common, method);
        PutU16(common, kDateTime & 0xFFFF);
        PutU16(common, kDateTime >> 16);
        PutU32(common, crc);
        PutU32(common, static_cast<std::uint32_t>(stored.size()));
        PutU32(common, static_cast<std::uint32_t>(data.size()));
        PutU16(common, static_cast<std::uint32_t>(name.size()));
        PutU16(common, 0); // extra field length

        std::string local;
        PutU32(local, 0x04034b50);
        local += common + name;
        Whole(local);
        const int part = CurrentPart();
        const auto offset = static_cast<std::uint32_t>(parts_.back().size() - local.size());
        const DataSpan span = Spread(stored);

        std::string record;
        PutU32(record, 0x02014b50);
        PutU16(record, 20); // made by: MS-DOS, 2.0
        record += common;
        PutU16(record, 0); // comment length
        PutU16(record, static_cast<std::uint32_t>(part));
        PutU16(record, 0);    // internal attributes
        PutU32(record, 0x20); // the DOS archive bit
        PutU32(record, offset);
        record += name;
        central_.push_back(record);
        return span;
    }

    std::vector<std::size_t> partSizes_;
    std::vector<std::string> parts_;
    std::vector<std::string> central_;
};

} // namespace kq::test
