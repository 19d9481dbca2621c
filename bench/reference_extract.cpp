// The practical limit of extraction on this machine, the yardstick of bench/run's last column:
//
//   bench_reference ARCHIVE FOLDER [PASSWORD]
//
// The archive is mapped into memory; every entry is decoded whole with libdeflate in one call
// (or taken as it is when stored), decrypted in place when encrypted, checked against its CRC-32
// and written with as few system calls as a file allows: open, one write, its time, close. One
// thread, no progress, no events, no partial files, no attributes beyond the POSIX mode; an
// entry it cannot handle (another method, a name leaving the folder, Zip64) ends the run with an
// error, as the bench's archives have none. It is what an extractor could cost at best, not a
// tool.
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <libdeflate.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "bench_reference: %s\n", what.c_str());
    std::exit(1);
}

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// --- Traditional encryption -------------------------------------------------------------------

struct Keys {
    std::uint32_t k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;
};

const std::array<std::uint32_t, 256>& CrcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[i] = c;
        }
        return t;
    }();
    return table;
}

inline void Update(Keys& keys, std::uint8_t plain) {
    const auto& table = CrcTable();
    keys.k0 = table[(keys.k0 ^ plain) & 0xFF] ^ (keys.k0 >> 8);
    keys.k1 = (keys.k1 + (keys.k0 & 0xFF)) * 134775813u + 1;
    keys.k2 = table[(keys.k2 ^ (keys.k1 >> 24)) & 0xFF] ^ (keys.k2 >> 8);
}

inline std::uint8_t Decrypt(Keys& keys, std::uint8_t cipher) {
    const std::uint32_t t = (keys.k2 | 2) & 0xFFFF;
    const auto plain = static_cast<std::uint8_t>(cipher ^ ((t * (t ^ 1)) >> 8));
    Update(keys, plain);
    return plain;
}

// --- Output -------------------------------------------------------------------------------------

std::string madeFolder;

void MakeFolders(const std::string& path) {
    if (path.empty() || path == madeFolder) {
        return;
    }
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            Fail("cannot make " + part);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    madeFolder = path;
}

timespec DosTime(std::uint16_t time, std::uint16_t date) {
    std::tm tm{};
    tm.tm_year = (date >> 9) + 80;
    tm.tm_mon = ((date >> 5) & 15) - 1;
    tm.tm_mday = date & 31;
    tm.tm_hour = time >> 11;
    tm.tm_min = (time >> 5) & 63;
    tm.tm_sec = (time & 31) * 2;
    tm.tm_isdst = -1;
    return timespec{std::mktime(&tm), 0};
}

void WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size, mode_t mode,
               timespec stamp) {
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        Fail("cannot create " + name);
    }
    while (size > 0) {
        const ssize_t done = write(fd, data, size);
        if (done <= 0) {
            Fail("cannot write " + name);
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    const timespec times[2] = {stamp, stamp};
    if (futimens(fd, times) != 0 || close(fd) != 0) {
        Fail("cannot finish " + name);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        Fail("usage: bench_reference ARCHIVE FOLDER [PASSWORD]");
    }
    const std::string password = argc == 4 ? argv[3] : "";
    const int fd = open(argv[1], O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || info.st_size < 22) {
        Fail(std::string("cannot read ") + argv[1]);
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED) {
        Fail("cannot map the archive");
    }
    const auto* zip = static_cast<const std::uint8_t*>(mapped);

    // The end record, searched from the end over the longest comment.
    const std::uint8_t* end = nullptr;
    for (std::size_t at = size - 22;; --at) {
        if (U32(zip + at) == 0x06054B50) {
            end = zip + at;
            break;
        }
        if (at == 0 || size - at > 22 + 0xFFFF) {
            Fail("no end record");
        }
    }
    const std::size_t entries = U16(end + 10);
    std::size_t record = U32(end + 16);
    if (entries == 0xFFFF || record == 0xFFFFFFFF) {
        Fail("Zip64 archives are not handled");
    }

    const std::string folder = argv[2];
    MakeFolders(folder);
    libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
    std::vector<std::uint8_t> output;
    std::vector<std::uint8_t> plain;
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint8_t* r = zip + record;
        if (record + 46 > size || U32(r) != 0x02014B50) {
            Fail("damaged central directory");
        }
        const std::uint16_t flags = U16(r + 8);
        const std::uint16_t method = U16(r + 10);
        const std::uint16_t time = U16(r + 12);
        const std::uint16_t date = U16(r + 14);
        const std::uint32_t crc = U32(r + 16);
        std::size_t packed = U32(r + 20);
        const std::size_t unpacked = U32(r + 24);
        const std::uint16_t nameLength = U16(r + 28);
        const std::size_t recordLength = 46 + nameLength + U16(r + 30) + U16(r + 32);
        const std::uint32_t external = U32(r + 38);
        const std::size_t local = U32(r + 42);
        const std::string name(reinterpret_cast<const char*>(r + 46), nameLength);
        record += recordLength;
        if (name.empty() || name[0] == '/' || name.find("..") != std::string::npos) {
            Fail("refused name " + name);
        }
        const std::string path = folder + "/" + name;
        if (name.back() == '/') {
            MakeFolders(path.substr(0, path.size() - 1));
            continue;
        }
        MakeFolders(path.substr(0, path.rfind('/')));

        if (local + 30 > size || U32(zip + local) != 0x04034B50) {
            Fail("damaged local header of " + name);
        }
        std::size_t start = local + 30 + U16(zip + local + 26) + U16(zip + local + 28);
        if (start + packed > size) {
            Fail("data of " + name + " past the end");
        }
        const std::uint8_t* data = zip + start;
        if ((flags & 1) != 0) {
            Keys keys;
            for (const char c : password) {
                Update(keys, static_cast<std::uint8_t>(c));
            }
            std::uint8_t check = 0;
            for (int k = 0; k < 12; ++k) {
                check = Decrypt(keys, data[k]);
            }
            const std::uint8_t expected = (flags & 8) != 0 ? time >> 8 : crc >> 24;
            if (packed < 12 || check != expected) {
                Fail("wrong password for " + name);
            }
            packed -= 12;
            plain.resize(packed);
            for (std::size_t k = 0; k < packed; ++k) {
                plain[k] = Decrypt(keys, data[12 + k]);
            }
            data = plain.data();
        }
        const std::uint8_t* bytes = data;
        if (method == 8) {
            output.resize(unpacked);
            if (libdeflate_deflate_decompress(inflater, data, packed, output.data(), unpacked,
                                              nullptr) != LIBDEFLATE_SUCCESS) {
                Fail("damaged data of " + name);
            }
            bytes = output.data();
        } else if (method != 0 || packed != unpacked) {
            Fail("method " + std::to_string(method) + " of " + name + " not handled");
        }
        if (libdeflate_crc32(0, bytes, unpacked) != crc) {
            Fail("CRC error in " + name);
        }
        const mode_t mode = (external >> 16) != 0 ? (external >> 16) & 07777 : 0644;
        WriteFile(path, bytes, unpacked, mode, DosTime(time, date));
    }
    libdeflate_free_decompressor(inflater);
    munmap(mapped, size);
    close(fd);
    return 0;
}
