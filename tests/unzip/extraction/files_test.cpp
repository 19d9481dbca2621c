// What the extracted files are on the platform's disk: their times and attributes, nothing
// written outside the destination by archives built to climb out of it, and a write that fails
// reported as a failure.
#include "extraction.h"
#include "support/testdata.h"
#include "support/zip_fixtures.h"
#include "test/raises.h"
#include "unzip/errors.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

TEST(ExtractedFiles, TimesAndAttributes) {
    // attrs.zip: readonly.txt (attributes 21, 2019-05-04 03:02:00), hidden.txt (22,
    // 2001-12-31 23:59:58).
    struct Case {
        const char* name;
        std::uint32_t attributes;
        std::uint32_t dosTime;
    };
    const Case cases[] = {
        {"readonly.txt", attr::ReadOnly | attr::Archive, 0x4EA41840},
        {"hidden.txt", attr::Hidden | attr::Archive, 0x2B9FBF7D},
    };
    for (const bool retain : {true, false}) {
        test::Extraction x(test::ExtractionFixture("attrs.zip"));
        x.zip.SetRetainAttributes(retain);
        EXPECT_EQ(x.zip.UnZip(), 2);
        for (const Case& c : cases) {
            const std::string path = x.Out(c.name);
            // A read-only file keeps the entry's time too: it is set before the attributes.
            EXPECT_EQ(GetFileDosDateTime(path), c.dosTime) << c.name << " retain " << retain;
            const std::uint32_t attributes = GetFileAttributes(path) & ~attr::Normal;
            EXPECT_EQ(attributes & (attr::ReadOnly | attr::Hidden),
                      retain ? c.attributes & (attr::ReadOnly | attr::Hidden) : 0u)
                << c.name << " retain " << retain;
            SetFileAttributes(path, attr::Normal);
        }
    }
}

TEST(ExtractedFiles, TraversalArchivesStayInTheDestination) {
    // Archives made to write outside the folder they are extracted into (names with "..", "/",
    // "\" and "//" in front, symbolic links); the corpus's README lists them.
    KQ_SKIP_WITHOUT_TESTDATA();
    const char* const archives[] = {
        "snyk-zip-slip/zip-slip.zip",        "snyk-zip-slip/zip-slip-win.zip",
        "megamansec-slip/abs-slip.zip",      "megamansec-slip/backslash-slip.zip",
        "megamansec-slip/dotdot-slip.zip",   "megamansec-slip/case-slip.zip",
        "megamansec-slip/unicode-slip.zip",  "jwilk-recipe/absolute2.zip",
        "jwilk-recipe/relative2.zip",        "jwilk-recipe/symlink.zip",
        "jwilk-recipe/dirsymlink.zip",       "dotnet/nameRooted.zip",
        "libarchive/test_symlink_dotdot.zip"};
    for (const char* archive : archives) {
        test::Extraction x(test::Testdata(std::string("files/") + archive));
        const int extracted = x.zip.UnZip();
        int written = 0;
        for (const std::string& line : x.log.lines) {
            if (line.rfind("StartUnZip ", 0) != 0) {
                continue;
            }
            EXPECT_NE(line.find(" D\\"), std::string::npos) << archive << ": " << line;
            EXPECT_EQ(line.find(".."), std::string::npos) << archive << ": " << line;
            ++written;
        }
        EXPECT_GT(written, 0) << archive;
        EXPECT_GT(extracted, 0) << archive;
        for (const std::string& file : test::FilesUnder(x.folder.Path())) {
            EXPECT_EQ(file.rfind("out/", 0), 0u) << archive << ": " << file;
        }
    }
}

TEST(ExtractedFiles, AFailedWriteLeavesUnZipAndTouchesNothingUnderTheFilesName) {
#ifdef _WIN32
    GTEST_SKIP() << "a file is written under its partial name, which cannot be made a device here";
#else
    // The file is written under its partial name, which leads to a device that takes no data,
    // as a full disk would.
    const std::string full = "C:\\scratch\\full";
    test::Extraction x(test::ExtractionFixture("crc.zip"));
    std::filesystem::create_symlink("/dev/full", test::HostOf(full + ".partial"));
    if (!File(full + ".partial", FileMode::Create).IsOpen()) {
        GTEST_SKIP() << "no device without room here";
    }
    x.log.onStartUnZip = [&](int, AnsiString& name, bool&) { name = full; };
    EXPECT_EQ(test::RaisedMessage<EWriteError>([&] { x.zip.UnZip(); }), "Stream write error");
    EXPECT_EQ(x.log.lines,
              (std::vector<std::string>{"StartUnZipInfo 4 125", "StartUnZip 0 D\\good.txt",
                                        "UnZipComplete 0"}));
    EXPECT_FALSE(FileExists(full));
#endif
}

} // namespace
} // namespace kq
