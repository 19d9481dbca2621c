// What the catalogue makes of each entry: names with "/" and directory entries, names in the
// OEM code page, data descriptors, and comments read on first use.
#include "support/scratch_folder.h"
#include "support/zip_fixtures.h"
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

TEST(Entries, NamesGoFromOemToAnsi) {
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
