// MoveFileReplacing: a finished file takes its name in one step, replacing a file there, and
// refuses what Windows refuses.

#include "platform/files.h"
#include "test/file_bytes.h"
#include "test/file_times.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(MoveFileReplacing, MovesOrRefusesAsWindowsDoes) {
    enum class There { Nothing, File, ReadOnlyFile, Folder };
    struct Case {
        const char* what;
        There there;
        bool moved;
    };
    const Case cases[] = {
        {"a new name", There::Nothing, true},
        {"a file there is replaced", There::File, true},
        // Wine replaces a read-only file (the extraction checks the attribute itself).
        {"a read-only file there stays", There::ReadOnlyFile, test::RunningUnderWine()},
        {"a folder there stays", There::Folder, false},
    };
    test::ScratchFolder scratch;
    for (const Case& c : cases) {
        const std::string from = scratch / "new.partial";
        const std::string to = scratch / "name.txt";
        test::WriteWholeFile(from, "new");
        if (c.there == There::Folder) {
            ASSERT_TRUE(CreateDirectory(to));
        } else if (c.there != There::Nothing) {
            test::WriteWholeFile(to, "old");
            if (c.there == There::ReadOnlyFile) {
                ASSERT_TRUE(SetFileAttributes(to, attr::ReadOnly));
            }
        }
        EXPECT_EQ(MoveFileReplacing(from, to), c.moved) << c.what;
        if (c.moved) {
            EXPECT_FALSE(FileExists(from)) << c.what;
            EXPECT_EQ(test::ReadWholeFile(to), "new") << c.what;
        } else {
            EXPECT_EQ(LastError(), err::AccessDenied) << c.what;
            EXPECT_EQ(test::ReadWholeFile(from), "new") << c.what;
            EXPECT_EQ(c.there == There::Folder ? DirectoryExists(to)
                                               : test::ReadWholeFile(to) == "old",
                      true)
                << c.what;
        }
        SetFileAttributes(to, attr::Normal);
        DeleteFile(to);
        RemoveDirectory(to);
        DeleteFile(from);
    }
}

TEST(MoveFileReplacing, AMissingFileOrFolderIsNotFound) {
    test::ScratchFolder scratch;
    EXPECT_FALSE(MoveFileReplacing(scratch / "missing", scratch / "name.txt"));
    EXPECT_EQ(LastError(), err::FileNotFound);
    EXPECT_FALSE(FileExists(scratch / "name.txt"));
    test::WriteWholeFile(scratch / "file", "x");
    EXPECT_FALSE(MoveFileReplacing(scratch / "file", scratch / "no folder\\name.txt"));
    EXPECT_EQ(LastError(), err::PathNotFound);
    EXPECT_TRUE(FileExists(scratch / "file"));
}

TEST(MoveFileReplacing, AFolderMovesToANewName) {
    test::ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectory(scratch / "folder"));
    test::WriteWholeFile(scratch / "folder\\inside", "x");
    EXPECT_TRUE(MoveFileReplacing(scratch / "folder", scratch / "moved"));
    EXPECT_EQ(test::ReadWholeFile(scratch / "moved\\inside"), "x");
    EXPECT_FALSE(DirectoryExists(scratch / "folder"));
}

} // namespace
} // namespace kq
