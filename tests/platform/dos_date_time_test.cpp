// Modification times as local DOS date-times. Expected values are worked out by hand from the
// format: date = (year - 1980) << 9 | month << 5 | day, time = hour << 11 | minute << 5 |
// seconds / 2, date in the high half.

#include "platform/files.h"
#include "test/file_times.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

struct Stamp {
    const char* name;
    test::LocalTime time;
    std::uint32_t dosDateTime;
};

const Stamp evenStamps[] = {
    {"first moment of the format", {1980, 1, 1, 0, 0, 0, 0}, 0x00210000},
    {"leap day", {2004, 2, 29, 13, 45, 58, 0}, 0x305D6DBD},
    {"summer morning", {2021, 7, 15, 8, 30, 10, 0}, 0x52EF43C5},
    {"last even second of 2099", {2099, 12, 31, 23, 59, 58, 0}, 0xEF9FBF7D},
};

void MakeEmptyFile(const std::string& path) {
    File file(path, FileMode::Create);
    ASSERT_TRUE(file.IsOpen()) << path << ": " << LastError();
    ASSERT_TRUE(file.Close());
}

TEST(DosDateTime, ASetTimeIsTheFilesLocalTime) {
    test::ScratchFolder scratch;
    const std::string path = scratch / "stamped.txt";
    MakeEmptyFile(path);
    for (const Stamp& stamp : evenStamps) {
        File file(path, FileMode::Write);
        ASSERT_TRUE(file.IsOpen()) << stamp.name << ": " << LastError();
        EXPECT_TRUE(file.SetDosDateTime(stamp.dosDateTime)) << stamp.name << ": " << LastError();
        EXPECT_EQ(file.DosDateTime(), stamp.dosDateTime) << stamp.name;
        ASSERT_TRUE(file.Close()) << stamp.name;

        EXPECT_EQ(GetFileDosDateTime(path), stamp.dosDateTime) << stamp.name;
        test::LocalTime seen{};
        ASSERT_TRUE(test::GetLocalModificationTime(path, seen)) << stamp.name;
        EXPECT_EQ(seen.year, stamp.time.year) << stamp.name;
        EXPECT_EQ(seen.month, stamp.time.month) << stamp.name;
        EXPECT_EQ(seen.day, stamp.time.day) << stamp.name;
        EXPECT_EQ(seen.hour, stamp.time.hour) << stamp.name;
        EXPECT_EQ(seen.minute, stamp.time.minute) << stamp.name;
        EXPECT_EQ(seen.second, stamp.time.second) << stamp.name;
    }
}

TEST(DosDateTime, ATimeSetByTheSystemReadsAsItsDosForm) {
    const Stamp stamps[] = {
        evenStamps[1],
        // A time between two even seconds takes the later one.
        {"odd second rounds up", {2021, 3, 10, 15, 9, 27, 0}, 0x526A792E},
        {"a fraction past an even second rounds up", {2021, 3, 10, 15, 9, 26, 100}, 0x526A792E},
        {"second 59 rounds up into the next minute", {2010, 10, 10, 10, 10, 59, 0}, 0x3D4A5160},
    };
    test::ScratchFolder scratch;
    const std::string path = scratch / "stamped.txt";
    MakeEmptyFile(path);
    for (const Stamp& stamp : stamps) {
        ASSERT_TRUE(test::SetLocalModificationTime(path, stamp.time)) << stamp.name;
        EXPECT_EQ(GetFileDosDateTime(path), stamp.dosDateTime) << stamp.name;
        File file(path, FileMode::Read);
        EXPECT_EQ(file.DosDateTime(), stamp.dosDateTime) << stamp.name;
    }
}

TEST(DosDateTime, TimesOutsideTheFormatOrMissingFilesGiveMinusOne) {
    test::ScratchFolder scratch;
    const std::string path = scratch / "old.txt";
    MakeEmptyFile(path);
    ASSERT_TRUE(test::SetLocalModificationTime(path, {1979, 12, 31, 12, 0, 0, 0}));
    EXPECT_EQ(GetFileDosDateTime(path), -1) << "before 1980";
    EXPECT_EQ(GetFileDosDateTime(scratch / "missing.txt"), -1);
}

// The file-only form: a file's time as the general one gives it, -1 for a folder with a time of
// its own, a missing path or a time outside the format.
TEST(DosDateTime, ThePlainFileFormRefusesFolders) {
    test::ScratchFolder scratch;
    const std::string file = scratch / "plain.txt";
    MakeEmptyFile(file);
    ASSERT_TRUE(test::SetLocalModificationTime(file, evenStamps[2].time));
    const std::string folder = scratch / "folder";
    ASSERT_TRUE(CreateDirectory(folder));
    ASSERT_TRUE(test::SetLocalModificationTime(folder, evenStamps[1].time));
    ASSERT_EQ(GetFileDosDateTime(folder), evenStamps[1].dosDateTime) << "the folder's own time";

    EXPECT_EQ(GetPlainFileDosDateTime(file), evenStamps[2].dosDateTime);
    EXPECT_EQ(GetPlainFileDosDateTime(folder), -1) << "a folder";
    EXPECT_EQ(GetPlainFileDosDateTime(scratch / "missing.txt"), -1) << "a missing file";
    ASSERT_TRUE(test::SetLocalModificationTime(file, {1979, 12, 31, 12, 0, 0, 0}));
    EXPECT_EQ(GetPlainFileDosDateTime(file), -1) << "before 1980";
}

TEST(DosDateTime, SettingNeedsWriteAccess) {
    if (test::RunningUnderWine()) {
        GTEST_SKIP() << "Wine sets times through a read-only handle";
    }
    test::ScratchFolder scratch;
    const std::string path = scratch / "stamped.txt";
    MakeEmptyFile(path);
    File file(path, FileMode::Read);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_FALSE(file.SetDosDateTime(evenStamps[1].dosDateTime));
    EXPECT_EQ(LastError(), err::AccessDenied);
}

} // namespace
} // namespace kq
