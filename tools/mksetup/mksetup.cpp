// mksetup: packs a folder into the setup archive that the wizard installs.
//
//   mksetup FOLDER SETUP.DAT [--descriptors] [--store] [--codepage N]
//
// Every file and folder below FOLDER becomes one entry, in byte-wise order of the names relative
// to FOLDER ("/" between folders, a folder's name ending in "/"), so a folder comes before what it
// holds. A file is deflated (zlib, level 9) unless that does not make it smaller, then stored;
// --store stores every file. Every entry is encrypted with the product's archive password.
// --descriptors writes each entry's CRC-32 and sizes in a data descriptor after its data instead
// of in its local header. --codepage N names the OEM code page the names are stored in (without
// it the Windows packer takes its system's, the Linux one only ASCII names). The same folder
// (bytes, names, times, attributes) packs into the same archive byte for byte. Errors name the
// file and end the program with exit code 1, a usage error with 2; the archive is written beside
// its place and moved there only when complete.
//
// Format notes (PKWARE's APPNOTE), the parts written here, all numbers little-endian:
// - local header: 50 4B 03 04, version needed (20: deflate and the traditional encryption),
//   flags, method (0 stored, 8 deflated), DOS time, DOS date, CRC-32, compressed size,
//   uncompressed size, name length, extra length (0), the name; the entry's data follows. Flag
//   bit 0: encrypted; bits 1-2 = 01: deflated at maximum compression; bit 3: CRC and sizes are 0
//   here and follow the data in a descriptor (50 4B 07 08, CRC-32, compressed, uncompressed).
// - encrypted data: a 12-byte header, then the stored or deflated bytes; the compressed size
//   counts both. The header's last plain byte is the CRC's high byte or, with bit 3, the DOS
//   time's high byte, since such a header may be written before the CRC is known.
// - central header: 50 4B 01 02, version made by (0x0014: MS-DOS attributes, format 2.0), the
//   local header's fields, comment length, first disk, internal attributes, external attributes
//   (the DOS attributes: 0x01 read-only, 0x10 folder) and the local header's offset.
// - end record: 50 4B 05 06, this disk and the central directory's disk (0), entries on this
//   disk and in all, the central directory's size and offset, comment length. Without Zip64,
//   sizes and offsets must fit in 32 bits and the entry count in 16.
#include "base/little_endian.h"
#include "setup/archive_password.h"
#include "source_tree.h"
#include "zip_encryptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <zlib.h>

namespace kq::mksetup {

namespace {

constexpr std::uint16_t kVersionMadeBy = 0x0014;
constexpr std::uint16_t kVersionNeeded = 20;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagMaximumCompression = 0x0002;
constexpr std::uint16_t kFlagDescriptor = 0x0008;
constexpr std::uint32_t kEncryptionHeaderSize = 12;
constexpr std::uint64_t kMax32 = 0xFFFFFFFF;
constexpr std::size_t kMaxEntries = 0xFFFF;
constexpr std::size_t kChunkSize = 64 * 1024;

const char* const kUsage =
    "usage: mksetup FOLDER SETUP.DAT [--descriptors] [--store] [--codepage N]\n";

struct Options {
    std::string folder;
    std::string archive;
    bool descriptors = false;
    bool store = false;
    unsigned codePage = 0; // of the names in the archive; 0: the host's default
};

struct Entry {
    SourceItem source;
    std::uint16_t method = kStored;
    std::uint16_t flags = kFlagEncrypted;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
    // The stored or deflated bytes, without the encryption header.
    std::uint32_t dataSize = 0;
    std::uint32_t offset = 0;

    std::uint32_t CompressedSize() const { return dataSize + kEncryptionHeaderSize; }
    std::uint16_t DosTime() const { return static_cast<std::uint16_t>(source.dosDateTime); }
    std::uint16_t DosDate() const { return static_cast<std::uint16_t>(source.dosDateTime >> 16); }
};

// --- The archive file ----------------------------------------------------------------------------

class ArchiveFile {
public:
    explicit ArchiveFile(std::string path)
        : path_(std::move(path)), file_(std::fopen(path_.c_str(), "wb")) {
        if (file_ == nullptr) {
            Fail(path_, std::strerror(errno));
        }
    }
    ~ArchiveFile() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    void Write(const void* data, std::size_t count) {
        if (count != 0 && std::fwrite(data, 1, count, file_) != count) {
            Fail(path_, std::strerror(errno));
        }
        position_ += count;
    }
    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }

    // Where the next byte goes, for a record that names it by a 32-bit offset.
    std::uint32_t Offset(const std::string& what) const {
        if (position_ > kMax32) {
            Fail(what, "the archive passes 4 GiB here, which an archive without Zip64 cannot "
                       "address");
        }
        return static_cast<std::uint32_t>(position_);
    }

    // A failed flush or close loses data: an error like any other.
    void Close() {
        const int flushed = std::fflush(file_);
        const int closed = std::fclose(file_);
        file_ = nullptr;
        if (flushed != 0 || closed != 0) {
            Fail(path_, std::strerror(errno));
        }
    }

private:
    std::string path_;
    std::FILE* file_;
    std::uint64_t position_ = 0;
};

// --- A file's data -------------------------------------------------------------------------------

// Receives the entry's data piece by piece; the buffer is the caller's scratch space.
using Sink = std::function<void(unsigned char* data, std::size_t count)>;

// Raw deflate (no zlib header), level 9, 32 KiB window: what method 8 stores.
class Deflater {
public:
    explicit Deflater(const std::string& path) {
        if (deflateInit2(&stream_, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            Fail(path, "zlib cannot start a deflate stream");
        }
    }
    ~Deflater() { deflateEnd(&stream_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void Feed(unsigned char* data, std::size_t count, bool last, const Sink& sink) {
        stream_.next_in = data;
        stream_.avail_in = static_cast<uInt>(count);
        int result = Z_OK;
        do {
            stream_.next_out = out_.data();
            stream_.avail_out = static_cast<uInt>(out_.size());
            result = deflate(&stream_, last ? Z_FINISH : Z_NO_FLUSH);
            if (result == Z_STREAM_ERROR) {
                throw PackError("zlib: the deflate stream failed");
            }
            sink(out_.data(), out_.size() - stream_.avail_out);
        } while (stream_.avail_out == 0);
    }

private:
    z_stream stream_{};
    std::array<unsigned char, kChunkSize> out_{};
};

struct Digest {
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
};

// Reads the file through once and hands its bytes to sink, as they are or deflated.
Digest StreamFile(const SourceItem& file, bool deflate, const Sink& sink) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.path.c_str(), "rb"),
                                                             std::fclose);
    if (!in) {
        Fail(file.path, std::strerror(errno));
    }
    std::unique_ptr<Deflater> deflater = deflate ? std::make_unique<Deflater>(file.path) : nullptr;
    std::vector<unsigned char> buffer(kChunkSize);
    Digest digest{static_cast<std::uint32_t>(crc32(0, nullptr, 0)), 0};
    bool last = false;
    while (!last) {
        const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), in.get());
        if (count < buffer.size() && std::ferror(in.get())) {
            Fail(file.path, "read error");
        }
        last = count < buffer.size();
        digest.crc =
            static_cast<std::uint32_t>(crc32(digest.crc, buffer.data(), static_cast<uInt>(count)));
        digest.size += count;
        if (deflater) {
            deflater->Feed(buffer.data(), count, last, sink);
        } else if (count != 0) {
            sink(buffer.data(), count);
        }
    }
    return digest;
}

// The first reading: CRC-32, size, and whether deflating makes the file smaller.
void Measure(Entry& entry, bool store) {
    std::uint64_t deflatedSize = 0;
    const Digest digest = StreamFile(
        entry.source, !store, [&](unsigned char*, std::size_t count) { deflatedSize += count; });
    if (digest.size > kMax32 - kEncryptionHeaderSize) {
        Fail(entry.source.path, "larger than an archive without Zip64 can hold (4 GiB)");
    }
    entry.crc = digest.crc;
    entry.size = static_cast<std::uint32_t>(digest.size);
    const bool deflate = !store && deflatedSize < digest.size;
    entry.method = deflate ? kDeflated : kStored;
    entry.dataSize = deflate ? static_cast<std::uint32_t>(deflatedSize) : entry.size;
    if (deflate) {
        entry.flags |= kFlagMaximumCompression;
    }
}

// --- Records -------------------------------------------------------------------------------------

// The fields the local and the central header share, from the version needed to the extra
// length.
std::string CommonFields(const Entry& entry, bool sizesFollow) {
    std::string out;
    PutU16(out, kVersionNeeded);
    PutU16(out, entry.flags);
    PutU16(out, entry.method);
    PutU16(out, entry.DosTime());
    PutU16(out, entry.DosDate());
    PutU32(out, sizesFollow ? 0 : entry.crc);
    PutU32(out, sizesFollow ? 0 : entry.CompressedSize());
    PutU32(out, sizesFollow ? 0 : entry.size);
    PutU16(out, static_cast<std::uint32_t>(entry.source.name.size()));
    PutU16(out, 0);
    return out;
}

std::string LocalHeader(const Entry& entry) {
    std::string out;
    PutU32(out, 0x04034B50);
    out += CommonFields(entry, (entry.flags & kFlagDescriptor) != 0);
    return out + entry.source.name;
}

std::string DataDescriptor(const Entry& entry) {
    std::string out;
    PutU32(out, 0x08074B50);
    PutU32(out, entry.crc);
    PutU32(out, entry.CompressedSize());
    PutU32(out, entry.size);
    return out;
}

std::string CentralHeader(const Entry& entry) {
    std::string out;
    PutU32(out, 0x02014B50);
    PutU16(out, kVersionMadeBy);
    out += CommonFields(entry, false);
    PutU16(out, 0); // comment length
    PutU16(out, 0); // first disk
    PutU16(out, 0); // internal attributes
    PutU32(out, entry.source.attributes);
    PutU32(out, entry.offset);
    return out + entry.source.name;
}

std::string EndRecord(std::size_t entries, std::uint32_t size, std::uint32_t offset) {
    std::string out;
    PutU32(out, 0x06054B50);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, static_cast<std::uint32_t>(entries));
    PutU16(out, static_cast<std::uint32_t>(entries));
    PutU32(out, size);
    PutU32(out, offset);
    PutU16(out, 0);
    return out;
}

// The header's first eleven bytes are meant to be random, so that entries under one password do
// not start their key streams alike. Random bytes would make every archive different, so they
// come from a generator seeded with a fixed value, the entry's name and its CRC-32 instead: the
// same folder always packs into the same archive.
std::array<unsigned char, kEncryptionHeaderSize> PlainEncryptionHeader(const Entry& entry) {
    std::uint64_t state = 0x6B712D6D6B736574; // FNV-1a over the name and the CRC, from a seed
    const auto mix = [&state](unsigned char byte) { state = (state ^ byte) * 0x100000001B3; };
    for (const char c : entry.source.name) {
        mix(static_cast<unsigned char>(c));
    }
    for (int shift = 0; shift < 32; shift += 8) {
        mix(static_cast<unsigned char>(entry.crc >> shift));
    }
    std::array<unsigned char, kEncryptionHeaderSize> header{};
    for (std::uint32_t i = 0; i + 1 < kEncryptionHeaderSize; ++i) {
        state += 0x9E3779B97F4A7C15; // splitmix64
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        header[i] = static_cast<unsigned char>(z ^ (z >> 31));
    }
    header[kEncryptionHeaderSize - 1] = static_cast<unsigned char>(
        (entry.flags & kFlagDescriptor) != 0 ? entry.DosTime() >> 8 : entry.crc >> 24);
    return header;
}

// The second reading writes the data; a file whose bytes differ from the first reading changed
// in between, and its entry would not match its records.
void WriteEntry(ArchiveFile& archive, Entry& entry) {
    entry.offset = archive.Offset(entry.source.path);
    archive.Write(LocalHeader(entry));
    ZipEncryptor cipher(ArchivePassword());
    std::array<unsigned char, kEncryptionHeaderSize> header = PlainEncryptionHeader(entry);
    cipher.Encrypt(header.data(), header.size());
    archive.Write(header.data(), header.size());
    if (!entry.source.isFolder) {
        std::uint64_t written = 0;
        const Digest digest = StreamFile(entry.source, entry.method == kDeflated,
                                         [&](unsigned char* data, std::size_t count) {
                                             cipher.Encrypt(data, count);
                                             archive.Write(data, count);
                                             written += count;
                                         });
        if (digest.crc != entry.crc || digest.size != entry.size || written != entry.dataSize) {
            Fail(entry.source.path, "the file changed while it was being packed");
        }
    }
    if ((entry.flags & kFlagDescriptor) != 0) {
        archive.Write(DataDescriptor(entry));
    }
}

void WriteCentralDirectory(ArchiveFile& archive, const std::vector<Entry>& entries) {
    const std::uint32_t start = archive.Offset("the central directory");
    for (const Entry& entry : entries) {
        archive.Write(CentralHeader(entry));
    }
    const std::uint32_t end = archive.Offset("the central directory");
    archive.Write(EndRecord(entries.size(), end - start, start));
}

// --- The whole run -------------------------------------------------------------------------------

std::vector<Entry> Catalogue(const Options& options) {
    std::vector<SourceItem> items = ListTree(options.folder);
    std::sort(items.begin(), items.end(),
              [](const SourceItem& a, const SourceItem& b) { return a.name < b.name; });
    if (items.size() > kMaxEntries) {
        Fail(options.folder, std::to_string(items.size()) +
                                 " files and folders; an archive without Zip64 holds at most " +
                                 std::to_string(kMaxEntries));
    }
    std::uint64_t total = 0;
    std::vector<Entry> entries;
    for (const SourceItem& item : items) {
        total += item.size;
        Entry entry;
        entry.source = item;
        entry.source.name = ArchiveName(item, options.codePage);
        if (entry.source.name.size() > 0xFFFF) {
            Fail(item.path, "the name is longer than an archive can store");
        }
        if (options.descriptors) {
            entry.flags |= kFlagDescriptor;
        }
        entries.push_back(entry);
    }
    if (total > kMax32) {
        Fail(options.folder, std::to_string(total) +
                                 " bytes of files; an archive without Zip64 holds at most 4 GiB");
    }
    return entries;
}

void Pack(const Options& options) {
    std::vector<Entry> entries = Catalogue(options);
    const std::string partial = options.archive + ".part";
    try {
        ArchiveFile archive(partial);
        for (Entry& entry : entries) {
            if (!entry.source.isFolder) {
                Measure(entry, options.store);
            }
            WriteEntry(archive, entry);
        }
        WriteCentralDirectory(archive, entries);
        archive.Close();
        MoveIntoPlace(partial, options.archive);
    } catch (...) {
        std::remove(partial.c_str());
        throw;
    }
    const auto files = std::count_if(entries.begin(), entries.end(),
                                     [](const Entry& e) { return !e.source.isFolder; });
    std::printf("%s: %zu files, %zu folders\n", options.archive.c_str(),
                static_cast<std::size_t>(files), entries.size() - files);
}

bool ParseArguments(int argc, char** argv, Options& options) {
    std::vector<std::string> operands;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--descriptors") {
            options.descriptors = true;
        } else if (argument == "--store") {
            options.store = true;
        } else if (argument == "--codepage" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long codePage = std::strtoul(argv[++i], &end, 10);
            if (*end != '\0' || codePage == 0 || codePage > 65535) {
                return false;
            }
            options.codePage = static_cast<unsigned>(codePage);
        } else if (argument.rfind("--", 0) == 0) {
            return false;
        } else {
            operands.push_back(argument);
        }
    }
    if (operands.size() != 2) {
        return false;
    }
    options.folder = operands[0];
    options.archive = operands[1];
    return true;
}

} // namespace

std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1980) {
        return DosDateTime(1980, 1, 1, 0, 0, 0);
    }
    if (year > 2107) {
        return DosDateTime(2107, 12, 31, 23, 59, 58);
    }
    second = std::min(second, 59); // a leap second
    const std::uint32_t date = static_cast<std::uint32_t>((year - 1980) << 9 | month << 5 | day);
    const std::uint32_t time = static_cast<std::uint32_t>(hour << 11 | minute << 5 | second / 2);
    return date << 16 | time;
}

} // namespace kq::mksetup

int main(int argc, char** argv) {
    kq::mksetup::Options options;
    if (!kq::mksetup::ParseArguments(argc, argv, options)) {
        std::fputs(kq::mksetup::kUsage, stderr);
        return 2;
    }
    try {
        kq::mksetup::Pack(options);
    } catch (const kq::mksetup::PackError& e) {
        std::fprintf(stderr, "mksetup: %s\n", e.what());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fputs("mksetup: out of memory\n", stderr);
        return 1;
    }
    return 0;
}
