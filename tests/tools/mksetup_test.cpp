// mksetup from the outside: a small product tree packed with and without data descriptors is
// read back by Info-ZIP unzip, Python's zipfile and the extraction engine with the product
// password; the same tree packs into the same bytes; what an archive without Zip64 cannot hold,
// and what is neither file nor folder, is refused without touching an older archive.
#include "platform/files.h"
#include "platform/standin.h"
#include "setup/archive_password.h"
#include "test/file_times.h"
#include "test/standin_root.h"
#include "unzip/zip_extractor.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>
#include <zlib.h>

namespace kq {
namespace {

namespace fs = std::filesystem;

struct Output {
    int status = -1;
    std::string text; // standard output and error together
};

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

Output RunCommand(const std::vector<std::string>& words) {
    std::string command;
    for (const std::string& word : words) {
        command += Quoted(word) + " ";
    }
    Output output;
    FILE* pipe = ::popen((command + "2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.text.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteHostFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A local time, the seconds odd on purpose: the archive keeps them halved, rounded down.
struct Stamp {
    int year, month, day, hour, minute, second;
    std::uint32_t dos; // worked out by hand from the fields above
    const char* peer;  // as Python's zipfile shows the stored time
};
// (41 << 9 | 3 << 5 | 4) << 16 | (5 << 11 | 6 << 5 | 9 / 2)
constexpr Stamp kSpring{2021, 3, 4, 5, 6, 9, 0x526428C4, "2021-03-04 05:06:08"};
// (19 << 9 | 12 << 5 | 31) << 16 | (23 << 11 | 59 << 5 | 59 / 2)
constexpr Stamp kEve{1999, 12, 31, 23, 59, 59, 0x279FBF7D, "1999-12-31 23:59:58"};

void SetTime(const fs::path& path, const Stamp& stamp) {
    ASSERT_TRUE(test::SetHostModificationTime(
        path, {stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second, 0}))
        << path;
}

std::string Text(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += "line " + std::to_string(i) + " of the product's read-me\r\n";
    }
    return text;
}

std::string RandomBytes(std::size_t count) {
    std::mt19937 random(20240229);
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

// "中文.txt": UTF-8 on the host, packed with --codepage 936.
const std::string kGbkName = "\xD6\xD0\xCE\xC4.txt";
const std::string kUtf8Name = "\xE4\xB8\xAD\xE6\x96\x87.txt";

// The tree, in the order the archive must hold it: byte-wise by name, a folder before its
// contents. Method 8 where deflating shrinks the file, else 0 (random data, an empty file and
// files too short to gain).
struct Item {
    std::string name;
    std::string content;
    int method;
    std::uint32_t attributes;
    Stamp stamp;
    std::string hostName = ""; // when the host names it otherwise
    bool IsFolder() const { return name.back() == '/'; }
    const std::string& HostName() const { return hostName.empty() ? name : hostName; }
};
const std::vector<Item>& Tree() {
    static const std::vector<Item> tree = {
        {"data/", "", 0, 0x10, kSpring},
        {"data/deep/", "", 0, 0x10, kSpring},
        {"data/deep/er/", "", 0, 0x10, kEve},
        {"data/deep/er/nested.txt", Text(50), 8, 0x00, kEve},
        {"data/empty.dat", "", 0, 0x00, kSpring},
        {"data/random.bin", RandomBytes(20000), 0, 0x00, kSpring},
        {"empty folder/", "", 0, 0x10, kSpring},
        {"locked.txt", "do not change\n", 0, 0x01, kEve},
        {"readme.txt", Text(300), 8, 0x00, kSpring},
        {kGbkName, "GBK\n", 0, 0x00, kSpring, kUtf8Name},
    };
    return tree;
}

class MksetupTest : public testing::Test {
protected:
    void SetUp() override {
        // Made in reverse, so that the order of creation cannot pass for the sorted order.
        const std::vector<Item>& tree = Tree();
        for (auto item = tree.rbegin(); item != tree.rend(); ++item) {
            const fs::path path = product_ / item->HostName();
            fs::create_directories(item->IsFolder() ? path : path.parent_path());
            if (!item->IsFolder()) {
                WriteHostFile(path, item->content);
            }
        }
        fs::permissions(product_ / "locked.txt", fs::perms::owner_write, fs::perm_options::remove);
        for (auto item = tree.rbegin(); item != tree.rend(); ++item) {
            SetTime(product_ / item->HostName(), item->stamp);
        }
    }

    Output Pack(const fs::path& folder, const std::string& archive,
                const std::vector<std::string>& options = {}) {
        std::vector<std::string> words = {KQ_MKSETUP, folder.string(), (drive_ / archive).string()};
        words.insert(words.end(), options.begin(), options.end());
        return RunCommand(words);
    }

    // The engine finds the archives on the stand-in's drive C; the product lies beside it.
    test::StandInRoot standIn_{{"c"}};
    const fs::path scratch_ = standIn_.Host();
    const fs::path product_ = scratch_ / "product";
    const fs::path drive_ = scratch_ / "c";
};

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        hex += digits[static_cast<unsigned char>(c) >> 4];
        hex += digits[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

// The line zip_peer_listing.py prints for item: made by MS-DOS (0), format 2.0, encrypted
// (bit 0), deflated at maximum compression (bit 1), sizes after the data (bit 3).
std::string PeerLine(const Item& item, bool descriptors, bool store) {
    const int method = store ? 0 : item.method;
    const int flags = 1 | (method == 8 ? 2 : 0) | (descriptors ? 8 : 0);
    char line[256];
    std::snprintf(line, sizeof line, "%s\t%04x\t%d\t%s\t%08x\t0\t20\t20\t%zu\t%08lx",
                  Hex(item.name).c_str(), flags, method, item.stamp.peer, item.attributes,
                  item.content.size(),
                  crc32(0, reinterpret_cast<const Bytef*>(item.content.data()),
                        static_cast<uInt>(item.content.size())));
    return line;
}

TEST_F(MksetupTest, PeersAndTheEngineReadBackTheTree) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        bool descriptors;
        bool store;
    };
    const Case cases[] = {
        {"plain", {"--codepage", "936"}, false, false},
        {"descriptors", {"--descriptors", "--codepage", "936"}, true, false},
        {"stored", {"--store", "--codepage", "936"}, false, true},
    };
    const std::string password = ArchivePassword();
    for (const Case& c : cases) {
        const std::string archive = std::string(c.name) + ".dat";
        const Output packed = Pack(product_, archive, c.options);
        ASSERT_EQ(packed.status, 0) << c.name << ": " << packed.text;

        const Output tested =
            RunCommand({"unzip", "-P", password, "-t", (drive_ / archive).string()});
        EXPECT_EQ(tested.status, 0) << c.name << ": " << tested.text;
        EXPECT_NE(tested.text.find("No errors detected"), std::string::npos)
            << c.name << ": " << tested.text;

        const Output listed =
            RunCommand({"python3", KQ_PEER_LISTING, (drive_ / archive).string(), password});
        ASSERT_EQ(listed.status, 0) << c.name << ": " << listed.text;
        std::string expected;
        for (const Item& item : Tree()) {
            expected += PeerLine(item, c.descriptors, c.store) + "\n";
        }
        EXPECT_EQ(listed.text, expected) << c.name;

        // The engine as the wizard runs it, in code page 936 so the GBK name is a name.
        SetAnsiCodePage(936);
        const std::string out = std::string("C:\\out-") + c.name + "\\";
        TZipExtractor zip(nullptr);
        zip.SetZipName("C:\\" + archive);
        zip.SetPassword(password);
        zip.SetDestDir(out);
        zip.SetRecreateDirs(true);
        zip.SetDoAll(true);
        zip.SetOverwriteMode(TUZOverwriteMode::Always);
        EXPECT_EQ(zip.UnZip(), 6) << c.name;
        for (const Item& item : Tree()) {
            std::string path = out + item.name;
            for (char& ch : path) {
                ch = ch == '/' ? '\\' : ch;
            }
            if (item.IsFolder()) {
                EXPECT_TRUE(DirectoryExists(path)) << c.name << ": " << item.name;
                continue;
            }
            File file(path, FileMode::Read);
            ASSERT_TRUE(file.IsOpen()) << c.name << ": " << item.name;
            std::string bytes(item.content.size() + 1, '\0');
            bytes.resize(static_cast<std::size_t>(
                std::max(0, file.Read(bytes.data(), static_cast<std::int32_t>(bytes.size())))));
            EXPECT_EQ(bytes, item.content) << c.name << ": " << item.name;
            EXPECT_EQ(GetFileDosDateTime(path), item.stamp.dos) << c.name << ": " << item.name;
            EXPECT_EQ(GetFileAttributes(path) & attr::ReadOnly, item.attributes & attr::ReadOnly)
                << c.name << ": " << item.name;
        }
    }

    // The same tree, packed again elsewhere, gives the same bytes.
    for (const Case& c : cases) {
        ASSERT_EQ(Pack(product_, std::string("again-") + c.name + ".dat", c.options).status, 0);
        EXPECT_EQ(ReadHostFile(drive_ / (std::string("again-") + c.name + ".dat")),
                  ReadHostFile(drive_ / (std::string(c.name) + ".dat")))
            << c.name;
    }
}

TEST_F(MksetupTest, RefusalsNameTheCauseAndKeepTheOlderArchive) {
    const fs::path many = scratch_ / "many";
    fs::create_directories(many);
    for (int i = 0; i < 65536; ++i) {
        std::ofstream(many / ("f" + std::to_string(i)));
    }
    const fs::path big = scratch_ / "big";
    fs::create_directories(big);
    // Sparse: 4 GiB of holes cost nothing.
    std::ofstream(big / "huge.bin").close();
    fs::resize_file(big / "huge.bin", std::uintmax_t{1} << 32);
    const fs::path odd = scratch_ / "odd";
    fs::create_directories(odd / "real");
    ASSERT_EQ(::mkfifo((odd / "pipe").c_str(), 0600), 0);
    const fs::path linked = scratch_ / "linked";
    fs::create_directories(linked);
    fs::create_directory_symlink(odd / "real", linked / "folder-link");
    const fs::path chinese = scratch_ / "chinese";
    fs::create_directories(chinese);
    std::ofstream(chinese / kUtf8Name).close();

    struct Case {
        const char* name;
        fs::path folder;
        std::string named; // the path the message names
        const char* reason;
    };
    const Case cases[] = {
        {"65536 entries", many, many.string(), "at most 65535"},
        {"4 GiB", big, big.string(), "at most 4 GiB"},
        {"a pipe", odd, (odd / "pipe").string(), "neither a file nor a folder"},
        {"a link to a folder", linked, (linked / "folder-link").string(),
         "links to folders are not followed"},
        {"no folder", scratch_ / "missing", (scratch_ / "missing").string(),
         "No such file or directory"},
        // The installer reads names in the OEM code page; UTF-8 bytes would become other text.
        {"a name without its code page", chinese, (chinese / kUtf8Name).string(), "--codepage"},
    };
    for (const Case& c : cases) {
        WriteHostFile(drive_ / "Setup.dat", "older archive");
        const Output packed = Pack(c.folder, "Setup.dat");
        EXPECT_EQ(packed.status, 1) << c.name;
        EXPECT_NE(packed.text.find(c.named + ": "), std::string::npos)
            << c.name << ": " << packed.text;
        EXPECT_NE(packed.text.find(c.reason), std::string::npos) << c.name << ": " << packed.text;
        EXPECT_EQ(ReadHostFile(drive_ / "Setup.dat"), "older archive") << c.name;
        EXPECT_FALSE(fs::exists(drive_ / "Setup.dat.part")) << c.name;
    }
}

} // namespace
} // namespace kq
