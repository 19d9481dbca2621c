// Finding the end-of-central-directory record: short and empty files, the search window, a
// record inside the archive comment, and bytes after the comment.
#include "support/testdata.h"
#include "support/zip_fixtures.h"
#include "test/file_bytes.h"
#include "test/raises.h"
#include "test/scratch_folder.h"
#include "unzip/errors.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

// An end record with no entries and no comment: what an empty archive consists of.
const std::string kEmptyEnd("PK\x05\x06" + std::string(18, '\0'));

TEST(EndRecord, EmptyFileIsAnEmptyArchive) {
    test::ScratchFolder folder;
    test::WriteWholeFile(folder / "empty.zip", "");
    TZipExtractor zip(nullptr);
    EXPECT_TRUE(test::ReadListing(zip, folder / "empty.zip").empty());
    EXPECT_EQ(zip.ZipComment(), "");
}

TEST(EndRecord, FilesShorterThanTheRecordAreIncomplete) {
    test::ScratchFolder folder;
    for (size_t size = 1; size < kEmptyEnd.size(); ++size) {
        test::WriteWholeFile(folder / "short.zip", kEmptyEnd.substr(0, size));
        TZipExtractor zip(nullptr);
        EXPECT_EQ(test::RaisedMessage<EIncompleteZip>(
                      [&] { test::ReadListing(zip, folder / "short.zip"); }),
                  "Incomplete Zip File")
            << size << " bytes";
    }
}

TEST(EndRecord, SearchReachesBackOverTheLargestComment) {
    test::ScratchFolder folder;
    struct Case {
        size_t after; // bytes after the record
        bool found;
    };
    // 65535 bytes after the record is the largest comment; one more puts it out of reach.
    for (Case c : {Case{0, true}, Case{65535, true}, Case{65536, false}}) {
        test::WriteWholeFile(folder / "far.zip", kEmptyEnd + std::string(c.after, 'x'));
        TZipExtractor zip(nullptr);
        if (c.found) {
            EXPECT_EQ(test::ReadListing(zip, folder / "far.zip").size(), 0u) << c.after;
        } else {
            EXPECT_THROW(test::ReadListing(zip, folder / "far.zip"), EIncompleteZip) << c.after;
        }
    }
    // The largest comment as another tool wrote it.
    KQ_SKIP_WITHOUT_TESTDATA();
    TZipExtractor zip(nullptr);
    test::ReadListing(zip, test::Testdata("files/dotnet/emptyWith64KBComment.zip"));
    EXPECT_EQ(zip.Count(), 0);
    EXPECT_EQ(zip.ZipComment().size(), 65535u);
}

TEST(EndRecord, TheLastSignatureWinsEvenInsideTheComment) {
    // The comment of eocd_in_comment.zip ends with a record naming only its second entry.
    TZipExtractor zip(nullptr);
    const auto listing = test::ReadListing(zip, test::Fixture("eocd_in_comment.zip"));
    ASSERT_EQ(listing.size(), 1u);
    EXPECT_EQ(listing[0].path, "second.txt");
}

TEST(EndRecord, TheCommentIsWhatFollowsTheRecord) {
    // Junk after the comment is not part of it (the comment text is the archive's README).
    KQ_SKIP_WITHOUT_TESTDATA();
    TZipExtractor zip(nullptr);
    test::ReadListing(zip, test::Testdata("files/go/test-trailing-junk.zip"));
    EXPECT_EQ(zip.Count(), 2);
    EXPECT_EQ(zip.ZipComment(), "This is a zipfile comment.");
}

TEST(EndRecord, CommentCutShortIsADamagedArchive) {
    test::ScratchFolder folder;
    const std::string whole = test::ReadWholeFile(test::Fixture("comments.zip"));
    test::WriteWholeFile(folder / "cut.zip", whole.substr(0, whole.size() - 3));
    TZipExtractor zip(nullptr);
    EXPECT_EQ(test::ReadListing(zip, folder / "cut.zip").size(), 3u)
        << "the entries do not depend on the comment";
    EXPECT_EQ(test::RaisedMessage<EBadZipFile>([&] { zip.ZipComment(); }), "Not a valid zip file!");
}

} // namespace
} // namespace kq
