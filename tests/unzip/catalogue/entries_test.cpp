// What the catalogue makes of each entry: names with "/" and directory entries, names in the
// OEM code page, data descriptors, sizes kept in a Zip64 block, and comments read on first use.
#include "catalogue/archive_format.h"
#include "support/testdata.h"
#include "support/zip_fixtures.h"
#include "support/zip_writer.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"
#include "unzip/errors.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using Listing = std::vector<test::ListedEntry>;

TEST(Entries, FoldersAndSlashes) {
    // Info-ZIP's own order and values (fixtures/listings.txt); directories end in "/" there.
    TZipExtractor zip(nullptr);
    EXPECT_EQ(test::ReadListing(zip, test::Fixture("tree.zip")),
              (Listing{{"top\\", 0, 0},
                       {"top\\empty\\", 0, 0},
                       {"top\\sub\\", 0, 0},
                       {"top\\sub\\b.txt", 18, 0xe181107b},
                       {"top\\a.txt", 6, 0x9f606eec}}));
    EXPECT_EQ(zip.Filename(1), "") << "a directory entry has no file name";
    EXPECT_EQ(zip.Pathname(1), "top\\empty\\");
    EXPECT_EQ(zip.Filename(3), "b.txt");
    EXPECT_EQ(zip.Pathname(3), "top\\sub\\");
}

TEST(Entries, SizesFromTheCentralRecordWhenTheDataHasADescriptor) {
    TZipExtractor zip(nullptr);
    EXPECT_EQ(test::ReadListing(zip, test::Fixture("pipe.zip")), (Listing{{"-", 30, 0x42f909a7}}));
    EXPECT_TRUE(zip.Entry(0).HasDataDescriptor());
}

// A writer of large archives may put FFFFFFFF in a size and the true size in the Zip64 block of
// the extra field; a true size below 4 GiB is taken, anything else leaves the placeholder.
TEST(Entries, SizesFromAZip64Block) {
    const auto u64 = [](std::uint64_t v) {
        std::string bytes;
        for (int i = 0; i < 8; ++i) {
            bytes += static_cast<char>(v >> (8 * i) & 0xFF);
        }
        return bytes;
    };
    const auto block = [](std::uint16_t tag, const std::string& body) {
        return std::string{static_cast<char>(tag & 0xFF), static_cast<char>(tag >> 8),
                           static_cast<char>(body.size() & 0xFF),
                           static_cast<char>(body.size() >> 8)} +
               body;
    };
    constexpr std::uint32_t P = kZip64Placeholder;
    struct Case {
        const char* name;
        std::uint32_t uncompressed, compressed; // as the central record has them
        std::string extra;
        std::uint32_t wantUncompressed, wantCompressed;
    };
    const Case cases[] = {
        {"both placeholders", P, P, block(1, u64(36) + u64(30)), 36, 30},
        {"only the compressed size: its value comes first", 36, P, block(1, u64(30)), 36, 30},
        {"after another block", P, P, block(0x5455, "12345") + block(1, u64(7) + u64(9)), 7, 9},
        {"4 GiB - 1 is a size", P, P, block(1, u64(P) + u64(5)), P, 5},
        {"4 GiB is beyond the engine", P, P, block(1, u64(4294967296) + u64(5)), P, 5},
        {"block cut short", P, P, block(1, u64(36)).substr(0, 9), P, P},
        {"block longer than the field", P, P, block(1, u64(36) + u64(30)).substr(0, 15), P, P},
        {"no Zip64 block", P, P, block(0x5455, "12345"), P, P},
        {"no placeholder: the block is not read", 36, 30, block(1, u64(1) + u64(2)), 36, 30},
    };
    for (const Case& c : cases) {
        TZipHeaderInfo info;
        info.SetUncompressedSize(c.uncompressed);
        info.SetCompressedSize(c.compressed);
        TakeZip64Sizes(c.extra, info);
        EXPECT_EQ(info.UncompressedSize(), c.wantUncompressed) << c.name;
        EXPECT_EQ(info.CompressedSize(), c.wantCompressed) << c.name;
    }

    test::ScratchFolder folder;
    test::StoredZipWriter writer;
    writer.AddFile("a.txt", "sized in the Zip64 block\n", {.zip64Sizes = true});
    test::WriteWholeFile(folder / "zip64.zip", writer.Bytes());
    TZipExtractor zip(nullptr);
    EXPECT_EQ(test::ReadListing(zip, folder / "zip64.zip"), (Listing{{"a.txt", 25, 0x1b03e276}}));
    zip.SetDestDir(folder / "out");
    zip.SetDoAll(true);
    EXPECT_EQ(zip.UnZip(), 1);
    EXPECT_EQ(test::ReadWholeFile(folder / "out\\a.txt"), "sized in the Zip64 block\n");
}

TEST(Entries, NamesGoFromOemToAnsi) {
    KQ_SKIP_WITHOUT_TESTDATA();
    // CP437 0x91 (ae ligature) and 0x86 (a with ring) are 0xE6 and 0xE5 in CP1252.
    test::ScratchFolder folder; // natively: ANSI 1252 beside OEM 437, as Wine's default
    TZipExtractor zip(nullptr);
    test::ReadListing(zip, test::Testdata("files/cpython-lib/zip_cp437_header.zip"));
    ASSERT_EQ(zip.Count(), 2);
    EXPECT_EQ(zip.Filename(0), "filename_with_\xE6o\xE5.txt");
}

TEST(Entries, CommentsAreReadOnFirstUseAndKept) {
    test::ScratchFolder folder;
    const std::string path = folder / "comments.zip";
    test::WriteWholeFile(path, test::ReadWholeFile(test::Fixture("comments.zip")));
    TZipExtractor zip(nullptr);
    test::ReadListing(zip, path);
    zip.CloseArchive();

    // Comment bytes are not converted from the OEM code page, unlike names.
    EXPECT_EQ(zip.FileComment(2), "caf\xe9 \x80\xff");
    EXPECT_FALSE(zip.ArchiveIsOpen()) << "closed again after reading";
    zip.SetKeepZipOpen(true);
    EXPECT_EQ(zip.ZipComment(), "archive comment\r\nsecond line");
    EXPECT_TRUE(zip.ArchiveIsOpen()) << "KeepZipOpen leaves it open";
    zip.CloseArchive();

    ASSERT_TRUE(DeleteFile(path));
    EXPECT_EQ(zip.FileComment(2), "caf\xe9 \x80\xff") << "kept, not read again";
    EXPECT_EQ(zip.ZipComment(), "archive comment\r\nsecond line");
    EXPECT_EQ(zip.FileComment(1), "") << "no comment: nothing to read";
    EXPECT_THROW(zip.FileComment(0), EFOpenError) << "never read, and the archive is gone";
}

TEST(Entries, SettingACommentMarksTheArchiveChanged) {
    TZipExtractor zip(nullptr);
    test::ReadListing(zip, test::Fixture("comments.zip"));
    EXPECT_EQ(zip.FileComment(0), "first entry comment");
    zip.SetFileComment(0, "first entry comment");
    EXPECT_FALSE(zip.EndCentral().CommentChanged()) << "the same text changes nothing";
    zip.SetFileComment(0, "new");
    EXPECT_TRUE(zip.EndCentral().CommentChanged());
    EXPECT_EQ(zip.FileComment(0), "new");
    EXPECT_EQ(zip.Entry(0).FileCommentLength(), 3u);
}

} // namespace
} // namespace kq
