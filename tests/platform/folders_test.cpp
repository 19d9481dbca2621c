// Existence checks, folder creation and removal, deletion, the current folder and the
// system's folders.

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/volumes.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

std::string WithoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

TEST(Folders, ExistenceChecksTellFilesFromFolders) {
    struct Case {
        const char* name;
        const char* relative;
        bool file;
        bool folder;
    };
    const Case cases[] = {
        {"file", "file.txt", true, false},
        {"folder", "folder", false, true},
        {"folder with a trailing backslash", "folder\\", false, true},
        {"missing", "missing.txt", false, false},
        {"inside a missing folder", "nofolder\\file.txt", false, false},
        {"file taken as a folder", "file.txt\\inner", false, false},
    };
    test::ScratchFolder scratch;
    {
        File file(scratch / "file.txt", FileMode::Create);
        ASSERT_TRUE(file.Close());
    }
    ASSERT_TRUE(CreateDirectory(scratch / "folder"));
    for (const Case& c : cases) {
        EXPECT_EQ(FileExists(scratch / c.relative), c.file) << c.name;
        EXPECT_EQ(DirectoryExists(scratch / c.relative), c.folder) << c.name;
    }
}

TEST(Folders, CreateDirectoryMakesOneLevelOnly) {
    test::ScratchFolder scratch;
    EXPECT_TRUE(CreateDirectory(scratch / "one")) << LastError();
    EXPECT_TRUE(DirectoryExists(scratch / "one"));
    EXPECT_FALSE(CreateDirectory(scratch / "one")) << "it exists";
    EXPECT_EQ(LastError(), err::AlreadyExists);
    EXPECT_FALSE(CreateDirectory(scratch / "two\\three")) << "the parent is missing";
    EXPECT_EQ(LastError(), err::PathNotFound);
    EXPECT_FALSE(DirectoryExists(scratch / "two"));
}

TEST(Folders, RemoveDirectoryTakesEmptyFoldersOnly) {
    test::ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectory(scratch / "full"));
    {
        File file(scratch / "full\\inside.txt", FileMode::Create);
        ASSERT_TRUE(file.Close());
    }
    EXPECT_FALSE(RemoveDirectory(scratch / "full"));
    EXPECT_EQ(LastError(), err::DirectoryNotEmpty);
    EXPECT_TRUE(DeleteFile(scratch / "full\\inside.txt")) << LastError();
    EXPECT_TRUE(RemoveDirectory(scratch / "full")) << LastError();
    EXPECT_FALSE(DirectoryExists(scratch / "full"));
}

TEST(Folders, DeleteFileRefusesWhatItCannotDelete) {
    struct Case {
        const char* name;
        const char* relative;
        std::uint32_t error;
    };
    const Case cases[] = {
        {"missing file", "missing.txt", err::FileNotFound},
        {"missing folder", "nofolder\\missing.txt", err::PathNotFound},
        {"a folder", "folder", err::AccessDenied},
    };
    test::ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectory(scratch / "folder"));
    for (const Case& c : cases) {
        EXPECT_FALSE(DeleteFile(scratch / c.relative)) << c.name;
        EXPECT_EQ(LastError(), c.error) << c.name;
    }
    EXPECT_TRUE(DirectoryExists(scratch / "folder"));
}

TEST(Folders, RelativeNamesFollowTheCurrentFolder) {
    test::ScratchFolder scratch;
    const std::string folder = WithoutTrailingBackslash(scratch.Path());
    ASSERT_TRUE(SetCurrentDirectory(folder)) << LastError();
    EXPECT_EQ(GetCurrentDirectory(), folder);
    {
        File file("relative.txt", FileMode::Create);
        ASSERT_TRUE(file.IsOpen()) << LastError();
        ASSERT_TRUE(file.Close());
    }
    EXPECT_TRUE(FileExists(scratch / "relative.txt"));
    EXPECT_FALSE(SetCurrentDirectory(scratch / "missing"));
}

TEST(Folders, FullPathNamesAreResolvedAgainstTheCurrentFolder) {
    test::ScratchFolder scratch;
    const std::string folder = WithoutTrailingBackslash(scratch.Path());
    const std::string drive = folder.substr(0, 2);
    std::string parent = folder.substr(0, folder.find_last_of('\\'));
    if (parent.size() == 2) {
        parent += '\\'; // the parent is the drive root
    }
    struct Case {
        const char* name;
        std::string path;
        std::string expected;
    };
    const Case cases[] = {
        {"a bare name", "name.txt", folder + "\\name.txt"},
        {"dot and dot-dot", ".\\a\\.\\b\\..\\c.txt", folder + "\\a\\c.txt"},
        {"forward slashes", "a/b", folder + "\\a\\b"},
        {"the parent", "..", parent},
        {"rooted on the current drive", "\\top\\x", drive + "\\top\\x"},
        {"absolute", "C:\\x\\y\\..\\z", "C:\\x\\z"},
        {"trailing backslash kept", "C:\\x\\", "C:\\x\\"},
        {"dot-dot stops at the root", "C:\\..\\..\\x", "C:\\x"},
    };
    ASSERT_TRUE(SetCurrentDirectory(folder)) << LastError();
    for (const Case& c : cases) {
        EXPECT_EQ(GetFullPathName(c.path), c.expected) << c.name;
    }
}

TEST(Folders, SystemFoldersHaveTheirWindowsForm) {
    test::ScratchFolder scratch;
    const std::string windows = GetWindowsDirectory();
    ASSERT_GE(windows.size(), 3u);
    EXPECT_EQ(windows[1], ':');
    EXPECT_NE(windows.back(), '\\');

    const std::string temp = GetTempPath();
    ASSERT_GE(temp.size(), 3u);
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(DirectoryExists(temp)) << temp;
}

TEST(Folders, TheTemporaryFoldersDriveIsAFixedDrive) {
    test::ScratchFolder scratch;
    const std::string root = GetTempPath().substr(0, 3);
    EXPECT_EQ(GetDriveType(root), drive::Fixed) << root;
    std::string label = "unchanged";
    EXPECT_TRUE(GetVolumeLabel(root, label)) << root << ": " << LastError();
    EXPECT_NE(label, "unchanged");
}

} // namespace
} // namespace kq
