// File attributes: what is set is read back, and read-only (and hidden, for replacement) keeps
// writers out the way Windows does.

#include "platform/files.h"
#include "test/file_times.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

void MakeFile(const std::string& path) {
    File file(path, FileMode::Create);
    ASSERT_TRUE(file.IsOpen()) << path << ": " << LastError();
    ASSERT_EQ(file.Write("data", 4), 4);
    ASSERT_TRUE(file.Close());
}

TEST(Attributes, WhatIsSetIsReadBack) {
    struct Case {
        const char* name;
        std::uint32_t set, expected;
    };
    const Case cases[] = {
        {"archive", 0x20, 0x20},
        {"read-only", 0x01, 0x01},
        {"read-only archive", 0x21, 0x21},
        {"hidden", 0x02, 0x02},
        {"system", 0x04, 0x04},
        {"hidden system archive", 0x26, 0x26},
        {"nothing reads as normal", 0x00, 0x80},
        {"normal", 0x80, 0x80},
        {"normal beside archive is dropped", 0xA0, 0x20},
        {"high half of a Unix entry's attributes ignored", 0x81A40020, 0x20},
        {"directory bit ignored on a file", 0x30, 0x20},
    };
    test::ScratchFolder scratch;
    const std::string path = scratch / "file.txt";
    MakeFile(path);
    EXPECT_EQ(GetFileAttributes(path), attr::Archive) << "a new file";
    const std::uint32_t compared =
        test::RunningUnderWine() ? ~(attr::Archive | attr::Normal) : ~std::uint32_t{0};
    for (const Case& c : cases) {
        EXPECT_TRUE(SetFileAttributes(path, c.set)) << c.name << ": " << LastError();
        EXPECT_EQ(GetFileAttributes(path) & compared, c.expected & compared) << c.name;
    }
}

// Through the open file, a new one and one written over (whose stored attributes go with its
// old content), the same as by the path.
TEST(Attributes, TheOpenFileTakesThemAsItsPathWould) {
    const std::uint32_t cases[] = {0x20, 0x01, 0x21, 0x02, 0x26, 0x00, 0x80, 0xA0, 0x81A40020};
    test::ScratchFolder scratch;
    const std::string path = scratch / "file.txt";
    const std::uint32_t compared =
        test::RunningUnderWine() ? ~(attr::Archive | attr::Normal) : ~std::uint32_t{0};
    for (const bool there : {false, true}) {
        for (const std::uint32_t set : cases) {
            SetFileAttributes(path, attr::Normal);
            DeleteFile(path);
            if (there) {
                MakeFile(path);
                ASSERT_TRUE(SetFileAttributes(path, 0)); // stored: normal
            }
            File file(path, FileMode::Create);
            ASSERT_TRUE(file.IsOpen()) << LastError();
            ASSERT_EQ(file.Write("data", 4), 4);
            EXPECT_TRUE(file.SetAttributes(set)) << set << ": " << LastError();
            EXPECT_EQ(file.Write("more", 4), 4) << "the open file stays writable";
            ASSERT_TRUE(file.Close());
            SCOPED_TRACE(there ? "written over" : "new");
            const std::string byPath = scratch / "by path.txt";
            SetFileAttributes(byPath, attr::Normal);
            DeleteFile(byPath);
            MakeFile(byPath);
            ASSERT_TRUE(SetFileAttributes(byPath, set));
            EXPECT_EQ(GetFileAttributes(path) & compared, GetFileAttributes(byPath) & compared)
                << set;
        }
    }
    File reader(path, FileMode::Read);
    EXPECT_FALSE(reader.SetAttributes(attr::Hidden)) << "without write access";
}

TEST(Attributes, FoldersCarryTheDirectoryBit) {
    test::ScratchFolder scratch;
    const std::string path = scratch / "folder";
    ASSERT_TRUE(CreateDirectory(path));
    EXPECT_EQ(GetFileAttributes(path) & attr::Directory, attr::Directory);
    ASSERT_TRUE(SetFileAttributes(path, attr::Hidden));
    EXPECT_EQ(GetFileAttributes(path), attr::Directory | attr::Hidden);
}

TEST(Attributes, AMissingPathHasNone) {
    test::ScratchFolder scratch;
    EXPECT_EQ(GetFileAttributes(scratch / "missing"), attr::Invalid);
    EXPECT_EQ(LastError(), err::FileNotFound);
    EXPECT_FALSE(SetFileAttributes(scratch / "missing", attr::Archive));
}

TEST(Attributes, ReadOnlyKeepsWritersOutUntilCleared) {
    test::ScratchFolder scratch;
    const std::string path = scratch / "locked.txt";
    MakeFile(path);
    ASSERT_TRUE(SetFileAttributes(path, attr::ReadOnly | attr::Archive));

    struct Case {
        const char* name;
        FileMode mode;
        bool opens;
    };
    const Case cases[] = {
        {"create over it", FileMode::Create, false},
        {"open it for writing", FileMode::Write, false},
        {"read it", FileMode::Read, true},
        {"read it denying writers", FileMode::ReadDenyWrite, true},
    };
    for (const Case& c : cases) {
        if (!c.opens && test::RunningUnderWine()) {
            continue; // Wine run by root does not refuse writers of read-only files
        }
        File file;
        EXPECT_EQ(file.Open(path, c.mode), c.opens) << c.name;
        if (!c.opens) {
            EXPECT_EQ(LastError(), err::AccessDenied) << c.name;
        }
    }
    EXPECT_FALSE(DeleteFile(path)) << "a read-only file is not deleted";
    EXPECT_EQ(LastError(), err::AccessDenied);
    EXPECT_TRUE(FileExists(path));

    ASSERT_TRUE(SetFileAttributes(path, attr::Archive));
    File file;
    EXPECT_TRUE(file.Open(path, FileMode::Create)) << LastError();
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(DeleteFile(path)) << LastError();
}

TEST(Attributes, HiddenOrSystemFilesAreNotReplacedButMayBeWritten) {
    if (test::RunningUnderWine()) {
        GTEST_SKIP() << "Wine replaces hidden and system files";
    }
    for (const std::uint32_t attributes : {attr::Hidden, attr::System}) {
        test::ScratchFolder scratch;
        const std::string path = scratch / "secret.txt";
        MakeFile(path);
        ASSERT_TRUE(SetFileAttributes(path, attributes));
        File file;
        EXPECT_FALSE(file.Open(path, FileMode::Create)) << attributes;
        EXPECT_EQ(LastError(), err::AccessDenied) << attributes;
        EXPECT_TRUE(file.Open(path, FileMode::Write)) << attributes << ": " << LastError();
        EXPECT_EQ(file.Size(), 4) << attributes;
    }
}

TEST(Attributes, ReplacingAFileGivesItTheArchiveBit) {
    test::ScratchFolder scratch;
    const std::string path = scratch / "file.txt";
    MakeFile(path);
    ASSERT_TRUE(SetFileAttributes(path, attr::Normal));
    MakeFile(path);
    EXPECT_EQ(GetFileAttributes(path), attr::Archive);
}

} // namespace
} // namespace kq
