// TZipHeaderInfo and TEndCentral: fresh values, the setters that keep lengths consistent and
// the copies made by Assign.
#include "base/exceptions.h"
#include "unzip/object_list.h"
#include "unzip/zip_records.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(ZipHeaderInfo, FreshRecordDescribesADeflatedArchivedFile) {
    TZipHeaderInfo info;
    EXPECT_EQ(info.VersionMadeBy(), 20);
    EXPECT_EQ(info.VersionNeeded(), 20);
    EXPECT_EQ(info.Flags(), 0);
    EXPECT_EQ(info.CompressionMethod(), 8);
    EXPECT_EQ(info.DateTime(), 0u);
    EXPECT_EQ(info.CRC32(), 0xFFFFFFFFu);
    EXPECT_EQ(info.CompressedSize(), 0u);
    EXPECT_EQ(info.UncompressedSize(), 0u);
    EXPECT_EQ(info.FileNameLength(), 0u);
    EXPECT_EQ(info.FileCommentLength(), 0u);
    EXPECT_EQ(info.InternalAttributes(), 1);
    EXPECT_EQ(info.ExternalAttributes(), 32u);
    EXPECT_EQ(info.LocalHeaderOffset(), 0u);
    EXPECT_FALSE(info.FileComment().has_value());
    EXPECT_FALSE(info.Selected());
    EXPECT_FALSE(info.Encrypted());
    EXPECT_FALSE(info.HasDataDescriptor());
    EXPECT_FALSE(info.HasComment());
}

TEST(ZipHeaderInfo, NameSettersKeepTheLengthOfDirectoryAndName) {
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
        info.SetDirectory(c.directory);
        info.SetFileName(c.name);
        EXPECT_EQ(info.Directory(), c.storedDirectory) << c.directory;
        EXPECT_EQ(info.FileNameLength(), c.length) << c.directory << " + " << c.name;
    }
    TZipHeaderInfo info;
    info.SetFileName("long-name.txt");
    info.SetDirectory("x");
    info.SetFileName("y");
    EXPECT_EQ(info.FileNameLength(), 3u) << "x\\ + y after renaming";
}

TEST(ZipHeaderInfo, CommentSetterSetsTheLength) {
    TZipHeaderInfo info;
    info.SetFileComment(std::string("twelve chars"));
    EXPECT_EQ(info.FileCommentLength(), 12u);
    EXPECT_TRUE(info.HasComment());
    info.SetFileComment(std::nullopt);
    EXPECT_EQ(info.FileCommentLength(), 0u);
    EXPECT_FALSE(info.HasComment());
}

TEST(ZipHeaderInfo, FlagBits) {
    TZipHeaderInfo info;
    info.SetFlags(0x0009);
    EXPECT_TRUE(info.Encrypted());
    EXPECT_TRUE(info.HasDataDescriptor());
    info.SetFlags(0x0800);
    EXPECT_FALSE(info.Encrypted());
    EXPECT_FALSE(info.HasDataDescriptor());
}

TEST(ZipHeaderInfo, AssignCopiesEveryField) {
    TZipHeaderInfo source;
    source.SetVersionMadeBy(0x031E);
    source.SetFlags(9);
    source.SetCompressionMethod(0);
    source.SetDateTime(0x586F6DAF);
    source.SetCRC32(0x12345678);
    source.SetCompressedSize(11);
    source.SetUncompressedSize(22);
    source.SetCentralExtraLength(4);
    source.SetStartPart(2);
    source.SetExternalAttributes(0x81A40000);
    source.SetLocalHeaderOffset(777);
    source.SetCentralRecordOffset(888);
    source.SetDirectory("dir");
    source.SetFileName("file");
    source.SetFileComment(std::string("note"));
    source.SetSelected(true);

    TZipHeaderInfo copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.VersionMadeBy(), 0x031E);
    EXPECT_EQ(copy.Flags(), 9);
    EXPECT_EQ(copy.CompressionMethod(), 0);
    EXPECT_EQ(copy.DateTime(), 0x586F6DAFu);
    EXPECT_EQ(copy.CRC32(), 0x12345678u);
    EXPECT_EQ(copy.CompressedSize(), 11u);
    EXPECT_EQ(copy.UncompressedSize(), 22u);
    EXPECT_EQ(copy.CentralExtraLength(), 4u);
    EXPECT_EQ(copy.StartPart(), 2);
    EXPECT_EQ(copy.ExternalAttributes(), 0x81A40000u);
    EXPECT_EQ(copy.LocalHeaderOffset(), 777u);
    EXPECT_EQ(copy.CentralRecordOffset(), 888);
    EXPECT_EQ(copy.Directory(), "dir\\");
    EXPECT_EQ(copy.FileName(), "file");
    EXPECT_EQ(copy.FileNameLength(), 8u);
    EXPECT_EQ(copy.FileComment(), std::optional<std::string>("note"));
    EXPECT_EQ(copy.FileCommentLength(), 4u);
    EXPECT_TRUE(copy.Selected());

    source.SetFileComment(std::string("changed"));
    EXPECT_EQ(copy.FileComment(), std::optional<std::string>("note")) << "the comment is a copy";
}

TEST(ZipHeaderInfo, AssignFromAnotherClassIsRefused) {
    TZipHeaderInfo info;
    TObjectList list;
    try {
        info.Assign(&list);
        FAIL() << "no EConvertError";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TObjectList to a TZipHeaderInfo");
    }
}

TEST(EndCentral, ResetKeepsOnlyTheSignature) {
    TEndCentral end;
    end.SetSignature(0x11223344);
    end.SetThisPart(3);
    end.SetCentralStartPart(2);
    end.SetEntriesThisPart(5);
    end.SetTotalEntries(9);
    end.SetCentralSize(100);
    end.SetCentralOffset(200);
    end.SetCommentLength(4);
    end.SetComment(std::string("note"));
    end.SetCommentOffset(300);
    end.SetCommentChanged(true);
    end.Reset();
    EXPECT_EQ(end.Signature(), 0x11223344u);
    EXPECT_EQ(end.ThisPart(), 0);
    EXPECT_EQ(end.CentralStartPart(), 0);
    EXPECT_EQ(end.EntriesThisPart(), 0);
    EXPECT_EQ(end.TotalEntries(), 0);
    EXPECT_EQ(end.CentralSize(), 0u);
    EXPECT_EQ(end.CentralOffset(), 0u);
    EXPECT_EQ(end.CommentLength(), 0u);
    EXPECT_FALSE(end.Comment().has_value());
    EXPECT_EQ(end.CommentOffset(), 0);
    EXPECT_FALSE(end.CommentChanged());
    EXPECT_EQ(TEndCentral().Signature(), 0x06054B50u);
}

TEST(EndCentral, AssignCopiesAllButTheChangedFlag) {
    TEndCentral source;
    source.SetThisPart(1);
    source.SetTotalEntries(7);
    source.SetCentralOffset(1234);
    source.SetCommentLength(3);
    source.SetComment(std::string("abc"));
    source.SetCommentChanged(true);
    TEndCentral copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.ThisPart(), 1);
    EXPECT_EQ(copy.TotalEntries(), 7);
    EXPECT_EQ(copy.CentralOffset(), 1234u);
    EXPECT_EQ(copy.Comment(), std::optional<std::string>("abc"));
    EXPECT_FALSE(copy.CommentChanged());
}

} // namespace
} // namespace kq
