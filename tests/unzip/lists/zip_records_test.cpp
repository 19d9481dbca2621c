// TZipHeaderInfo and TEndCentral: fresh values, the setters that keep lengths consistent, and
// the end record's Reset and Assign.
#include "unzip/zip_records.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(ZipHeaderInfo, FreshRecord) {
    const TZipHeaderInfo info;
    EXPECT_EQ(info.VersionMadeBy(), 20);
    EXPECT_EQ(info.VersionNeeded(), 20);
    EXPECT_EQ(info.CompressionMethod(), 8);
    EXPECT_EQ(info.CRC32(), 0xFFFFFFFFu);
    EXPECT_EQ(info.InternalAttributes(), 1);
    EXPECT_EQ(info.ExternalAttributes(), 32u);
    EXPECT_EQ(info.Flags() | info.DateTime() | info.CompressedSize() | info.FileNameLength(), 0u);
    EXPECT_FALSE(info.FileComment().has_value());
}

TEST(ZipHeaderInfo, SettersKeepLengths) {
    struct Case {
        const char* directory;
        const char* name;
        const char* storedDirectory;
        uint32_t length;
    };
    const Case cases[] = {
        {"", "readme.txt", "", 10},
        {"docs", "readme.txt", "docs\\", 15},
        {"docs\\", "readme.txt", "docs\\", 15},
        {"a\\b", "", "a\\b\\", 4},
    };
    for (const Case& c : cases) {
        TZipHeaderInfo info;
        info.SetFileName("a-much-longer-name-first");
        info.SetDirectory(c.directory);
        info.SetFileName(c.name);
        EXPECT_EQ(info.Directory(), c.storedDirectory) << c.directory;
        EXPECT_EQ(info.FileNameLength(), c.length) << c.directory << " + " << c.name;
    }
    TZipHeaderInfo info;
    info.SetFileComment(std::string("twelve chars"));
    EXPECT_EQ(info.FileCommentLength(), 12u);
    info.SetFileComment(std::nullopt);
    EXPECT_FALSE(info.HasComment());
}

// Records of one folder share its name; changing or copying one must never show in another.
TEST(ZipHeaderInfo, SharedFolderStaysPerRecord) {
    TZipHeaderInfo first;
    first.SetDirectory("docs");
    TZipHeaderInfo second;
    second.SetFileName("b.txt");
    second.SetDirectory("docs\\", first);
    TZipHeaderInfo other;
    other.SetDirectory("bin", first);
    EXPECT_EQ(other.Directory(), "bin\\");

    TZipHeaderInfo copy;
    copy.Assign(&second);
    first.SetDirectory("src");
    second.SetDirectory("");
    EXPECT_EQ(first.Directory(), "src\\");
    EXPECT_EQ(second.Directory(), "");
    EXPECT_EQ(second.FileNameLength(), 5u);
    EXPECT_EQ(copy.Directory(), "docs\\");
    EXPECT_EQ(copy.FileNameLength(), 10u);

    copy.SetFileComment(std::string("note"));
    second.Assign(&copy);
    copy.SetFileComment(std::nullopt);
    EXPECT_EQ(second.FileComment().value_or("none"), "note");
    EXPECT_FALSE(copy.FileComment().has_value());
}

TEST(EndCentral, ResetAndAssign) {
    TEndCentral end;
    end.SetSignature(0x11223344);
    end.SetThisPart(3);
    end.SetTotalEntries(9);
    end.SetCentralOffset(200);
    end.SetCommentLength(4);
    end.SetComment(std::string("note"));
    end.SetCommentChanged(true);

    TEndCentral copy;
    copy.Assign(&end);
    EXPECT_EQ(copy.TotalEntries(), 9);
    EXPECT_EQ(copy.Comment(), std::optional<std::string>("note"));
    EXPECT_FALSE(copy.CommentChanged()) << "the flag belongs to the record it was set on";

    end.Reset();
    EXPECT_EQ(end.Signature(), 0x11223344u) << "Reset keeps the signature";
    EXPECT_EQ(end.ThisPart() + end.TotalEntries() + end.CentralOffset() + end.CommentLength(), 0u);
    EXPECT_FALSE(end.Comment().has_value());
    EXPECT_FALSE(end.CommentChanged());
    EXPECT_EQ(TEndCentral().Signature(), 0x06054B50u);
}

} // namespace
} // namespace kq
