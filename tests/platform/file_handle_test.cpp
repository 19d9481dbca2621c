// The file handle: the byte counts and positions the buffered streams above it rely on.

#include "platform/files.h"
#include "test/scratch_folder.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace kq {
namespace {

// A file whose byte at offset i holds the value i.
std::string MakeHundredByteFile(const test::ScratchFolder& scratch) {
    const std::string path = scratch / "hundred.bin";
    std::array<unsigned char, 100> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<unsigned char>(i);
    }
    File file(path, FileMode::Create);
    EXPECT_TRUE(file.IsOpen()) << LastError();
    EXPECT_EQ(file.Write(bytes.data(), 100), 100);
    EXPECT_TRUE(file.Close());
    return path;
}

TEST(FileHandle, WrittenBytesReadBackWithTheirSize) {
    test::ScratchFolder scratch;
    const std::string path = MakeHundredByteFile(scratch);
    File file(path, FileMode::Read);
    ASSERT_TRUE(file.IsOpen()) << LastError();
    EXPECT_EQ(file.Size(), 100);
    std::array<unsigned char, 100> bytes{};
    ASSERT_EQ(file.Read(bytes.data(), 100), 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(bytes[i], i) << "offset " << i;
    }
}

TEST(FileHandle, SeekLandsWhereEachOriginSays) {
    struct Case {
        const char* name;
        std::int64_t start; // position before the seek
        std::int64_t offset;
        int origin;
        std::int64_t expected;
    };
    const Case cases[] = {
        {"from the start", 50, 10, 0, 10},
        {"forward from the current position", 10, 5, 1, 15},
        {"back from the current position", 10, -3, 1, 7},
        {"zero from the current position", 42, 0, 1, 42},
        {"the end itself", 0, 0, 2, 100},
        {"22 before the end", 0, -22, 2, 78},
        {"past the end", 0, 200, 0, 200},
    };
    test::ScratchFolder scratch;
    const std::string path = MakeHundredByteFile(scratch);
    File file(path, FileMode::Read);
    ASSERT_TRUE(file.IsOpen()) << LastError();
    for (const Case& c : cases) {
        ASSERT_EQ(file.Seek(c.start, 0), c.start) << c.name;
        EXPECT_EQ(file.Seek(c.offset, c.origin), c.expected) << c.name;
        unsigned char byte = 0xEE;
        const std::int32_t read = file.Read(&byte, 1);
        if (c.expected < 100) {
            EXPECT_EQ(read, 1) << c.name;
            EXPECT_EQ(byte, c.expected) << c.name;
        } else {
            EXPECT_EQ(read, 0) << c.name << ": nothing to read at or past the end";
        }
    }
}

TEST(FileHandle, SeekBeforeTheStartOrWithABadOriginFails) {
    struct Case {
        const char* name;
        std::int64_t offset;
        int origin;
        std::uint32_t error;
    };
    const Case cases[] = {
        {"before the start", -1, 0, err::NegativeSeek},
        {"back past the start", -11, 1, err::NegativeSeek},
        {"back from the end past the start", -101, 2, err::NegativeSeek},
        {"origin 3", 0, 3, err::InvalidParameter},
        {"origin -1", 0, -1, err::InvalidParameter},
    };
    test::ScratchFolder scratch;
    File file(MakeHundredByteFile(scratch), FileMode::Read);
    ASSERT_TRUE(file.IsOpen()) << LastError();
    for (const Case& c : cases) {
        ASSERT_EQ(file.Seek(10, 0), 10) << c.name;
        EXPECT_EQ(file.Seek(c.offset, c.origin), -1) << c.name;
        EXPECT_EQ(LastError(), c.error) << c.name;
        EXPECT_EQ(file.Seek(0, 1), 10) << c.name << ": a failed seek leaves the position";
    }
}

TEST(FileHandle, ReadAtTheEndIsShortThenEmpty) {
    test::ScratchFolder scratch;
    File file(MakeHundredByteFile(scratch), FileMode::Read);
    ASSERT_EQ(file.Seek(90, 0), 90);
    std::array<unsigned char, 20> bytes{};
    ASSERT_EQ(file.Read(bytes.data(), 20), 10);
    EXPECT_EQ(bytes[0], 90);
    EXPECT_EQ(bytes[9], 99);
    EXPECT_EQ(file.Read(bytes.data(), 20), 0);
}

TEST(FileHandle, CreateTruncatesAnExistingFile) {
    test::ScratchFolder scratch;
    const std::string path = MakeHundredByteFile(scratch);
    File file(path, FileMode::Create);
    ASSERT_TRUE(file.IsOpen()) << LastError();
    EXPECT_EQ(file.Size(), 0);
    ASSERT_EQ(file.Write("abc", 3), 3);
    EXPECT_EQ(file.Size(), 3);
    EXPECT_TRUE(file.FlushToDisk()) << LastError();
    EXPECT_TRUE(file.Close()) << LastError();
}

TEST(FileHandle, CloseReportsSuccessOnceAndTheHandleIsGone) {
    test::ScratchFolder scratch;
    File file(scratch / "a.txt", FileMode::Create);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Close()) << "a second close must not pass for success";
    EXPECT_EQ(LastError(), err::InvalidHandle);
    char byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), -1);
    EXPECT_EQ(file.Write(&byte, 1), -1);
    EXPECT_EQ(file.Seek(0, 0), -1);
    EXPECT_EQ(file.Size(), -1);
    EXPECT_FALSE(file.FlushToDisk());
}

TEST(FileHandle, TransfersWithoutTheAccessAreRefused) {
    test::ScratchFolder scratch;
    const std::string path = MakeHundredByteFile(scratch);
    char byte = 'x';
    {
        File reader(path, FileMode::Read);
        ASSERT_TRUE(reader.IsOpen());
        EXPECT_EQ(reader.Write(&byte, 1), -1) << "write through a read-only handle";
        EXPECT_EQ(LastError(), err::AccessDenied);
    }
    {
        File writer(path, FileMode::Write);
        ASSERT_TRUE(writer.IsOpen()) << LastError();
        EXPECT_EQ(writer.Read(&byte, 1), -1) << "read through a write-only handle";
        EXPECT_EQ(LastError(), err::AccessDenied);
        EXPECT_EQ(writer.Size(), 100) << "Write mode keeps the contents";
    }
}

TEST(FileHandle, OpeningAMissingFileTellsFileFromPath) {
    struct Case {
        const char* name;
        const char* relative;
        FileMode mode;
        std::uint32_t error;
    };
    const Case cases[] = {
        {"missing file", "missing.txt", FileMode::Read, err::FileNotFound},
        {"missing file, deny-write", "missing.txt", FileMode::ReadDenyWrite, err::FileNotFound},
        {"missing file, write", "missing.txt", FileMode::Write, err::FileNotFound},
        {"missing folder", "nofolder\\missing.txt", FileMode::Read, err::PathNotFound},
        {"create in a missing folder", "nofolder\\new.txt", FileMode::Create, err::PathNotFound},
    };
    test::ScratchFolder scratch;
    for (const Case& c : cases) {
        File file;
        EXPECT_FALSE(file.Open(scratch / c.relative, c.mode)) << c.name;
        EXPECT_FALSE(file.IsOpen()) << c.name;
        EXPECT_EQ(LastError(), c.error) << c.name;
    }
}

TEST(FileHandle, AFolderCannotBeOpenedAsAFile) {
    test::ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectory(scratch / "sub"));
    for (const FileMode mode : {FileMode::Read, FileMode::Create}) {
        File file;
        EXPECT_FALSE(file.Open(scratch / "sub", mode)) << static_cast<int>(mode);
        EXPECT_EQ(LastError(), err::AccessDenied) << static_cast<int>(mode);
    }
}

TEST(FileHandle, AReaderMayOpenAFileWhileItIsBeingCreated) {
    test::ScratchFolder scratch;
    File writer(scratch / "growing.txt", FileMode::Create);
    ASSERT_TRUE(writer.IsOpen());
    ASSERT_EQ(writer.Write("12345", 5), 5);
    File reader(scratch / "growing.txt", FileMode::Read);
    ASSERT_TRUE(reader.IsOpen()) << LastError();
    char text[5] = {};
    EXPECT_EQ(reader.Read(text, 5), 5);
    EXPECT_EQ(std::string(text, 5), "12345");
}

TEST(FileHandle, MovingHandsOverTheOpenFile) {
    test::ScratchFolder scratch;
    File first(MakeHundredByteFile(scratch), FileMode::Read);
    ASSERT_TRUE(first.IsOpen());
    File second(std::move(first));
    EXPECT_FALSE(first.IsOpen());
    ASSERT_TRUE(second.IsOpen());
    File third;
    third = std::move(second);
    EXPECT_FALSE(second.IsOpen());
    unsigned char byte = 0;
    EXPECT_EQ(third.Seek(7, 0), 7);
    EXPECT_EQ(third.Read(&byte, 1), 1);
    EXPECT_EQ(byte, 7);
    EXPECT_TRUE(third.Close());
}

} // namespace
} // namespace kq
