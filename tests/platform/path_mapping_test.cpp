// The stand-in's mapping of Windows paths onto its root folder, and of names between the ANSI
// code page and UTF-8. Expected UTF-8 bytes come from Python's codecs.

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/standin.h"
#include "platform/volumes.h"
#include "test/scratch_folder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kq {
namespace {

struct Mapping {
    const char* name;
    std::string windows;
    std::string host;
};

// Maps under a root that need not exist, from a current folder outside it.
class FixedRoot : public ::testing::Test {
protected:
    void SetUp() override { SetRootFolder("/kq-root"); }
    void TearDown() override {
        SetRootFolder("");
        SetAnsiCodePage(0);
    }
};

TEST_F(FixedRoot, WindowsPathsLandUnderTheRoot) {
    const Mapping cases[] = {
        {"drive path", "C:\\a\\b.txt", "/kq-root/c/a/b.txt"},
        {"drive letter lower-cased, names keep case", "D:\\Data\\X.TXT", "/kq-root/d/Data/X.TXT"},
        {"forward slashes", "C:/a/b", "/kq-root/c/a/b"},
        {"drive root", "C:\\", "/kq-root/c/"},
        {"bare drive", "C:", "/kq-root/c"},
        {"drive-relative", "C:rel\\x", "/kq-root/c/rel/x"},
        {"relative", "rel\\x.txt", "rel/x.txt"},
        {"rooted, current folder outside the root", "\\top\\x", "/kq-root/c/top/x"},
        {"network path", "\\\\server\\share\\f", "/kq-root/unc/server/share/f"},
    };
    SetAnsiCodePage(1252);
    for (const Mapping& c : cases) {
        EXPECT_EQ(HostPath(c.windows).value_or("<none>"), c.host) << c.name;
    }
}

TEST_F(FixedRoot, NameBytesAreConvertedFromTheAnsiCodePage) {
    struct Case {
        const char* name;
        std::uint32_t codePage;
        std::string windows;
        std::string host;
    };
    const Case cases[] = {
        {"CP1252 e acute", 1252, "C:\\caf\xE9", "/kq-root/c/caf\xC3\xA9"},
        {"CP1252 euro sign", 1252, "C:\\\x80", "/kq-root/c/\xE2\x82\xAC"},
        {"CP1252 undefined byte kept as a control character", 1252, "C:\\\x81",
         "/kq-root/c/\xC2\x81"},
        {"GBK", 936, "C:\\\xD6\xD0\xCE\xC4\\x", "/kq-root/c/\xE4\xB8\xAD\xE6\x96\x87/x"},
        // The Big5 character's trail byte is 5C, the value of a backslash: it must not split
        // the name.
        {"Big5 trail byte 5C", 950, "C:\\\xB3\x5C\\x", "/kq-root/c/\xE8\xA8\xB1/x"},
    };
    for (const Case& c : cases) {
        SetAnsiCodePage(c.codePage);
        EXPECT_EQ(HostPath(c.windows).value_or("<none>"), c.host) << c.name;
    }
}

TEST_F(FixedRoot, InvalidDoubleByteNamesAreRefused) {
    SetAnsiCodePage(936);
    EXPECT_FALSE(HostPath("C:\\\x81").has_value()) << "lead byte without its trail byte";
    EXPECT_EQ(LastError(), err::InvalidName);
    File file;
    EXPECT_FALSE(file.Open("C:\\\x81", FileMode::Create));
    EXPECT_EQ(LastError(), err::InvalidName);
}

TEST_F(FixedRoot, TrailingSlashesOfTheRootAreIgnored) {
    SetRootFolder("/kq-root//");
    EXPECT_EQ(RootFolder(), "/kq-root");
    EXPECT_EQ(HostPath("C:\\x").value_or("<none>"), "/kq-root/c/x");
}

TEST(StandInRoot, DefaultRootComesFromTheEnvironment) {
    const char* saved = std::getenv("KQ_ROOT");
    const std::string savedValue = saved != nullptr ? saved : "";
    SetRootFolder("");
    ::setenv("KQ_ROOT", "/somewhere/else/", 1);
    EXPECT_EQ(RootFolder(), "/somewhere/else");
    SetRootFolder("/explicit");
    EXPECT_EQ(RootFolder(), "/explicit") << "the function beats KQ_ROOT";
    SetRootFolder("");
    if (saved != nullptr) {
        ::setenv("KQ_ROOT", savedValue.c_str(), 1);
    } else {
        ::unsetenv("KQ_ROOT");
    }
}

TEST(StandInFolders, CurrentFolderUnderTheRootHasItsWindowsForm) {
    test::ScratchFolder scratch;
    ASSERT_TRUE(SetCurrentDirectory("C:\\scratch"));
    EXPECT_EQ(GetCurrentDirectory(), "C:\\scratch");
    EXPECT_EQ(HostPath("\\x").value_or("<none>"), RootFolder() + "/c/x");
    ASSERT_TRUE(SetCurrentDirectory("C:\\"));
    EXPECT_EQ(GetCurrentDirectory(), "C:\\");
    EXPECT_EQ(GetDriveType(""), drive::Fixed) << "the current folder's drive";
}

TEST(StandInFolders, CurrentFolderNamesConvertBackToAnsi) {
    test::ScratchFolder scratch;
    SetAnsiCodePage(936);
    const std::string folder = "C:\\scratch\\\xD6\xD0\xCE\xC4";
    ASSERT_TRUE(CreateDirectory(folder)) << LastError();
    struct stat status {};
    EXPECT_EQ(::stat((RootFolder() + "/c/scratch/\xE4\xB8\xAD\xE6\x96\x87").c_str(), &status), 0)
        << "the folder's host name is UTF-8";
    ASSERT_TRUE(SetCurrentDirectory(folder));
    EXPECT_EQ(GetCurrentDirectory(), folder);
}

TEST(StandInFolders, ARootReachedThroughASymbolicLinkStillMaps) {
    test::ScratchFolder scratch;
    const std::string realRoot = RootFolder();
    const std::string link = realRoot + "-link";
    ASSERT_EQ(::symlink(realRoot.c_str(), link.c_str()), 0);
    SetRootFolder(link);
    EXPECT_TRUE(SetCurrentDirectory("C:\\scratch"));
    EXPECT_EQ(GetCurrentDirectory(), "C:\\scratch");
    SetRootFolder(realRoot);
    ::unlink(link.c_str());
}

TEST(StandInFolders, DrivesExistWhenTheirFolderDoes) {
    test::ScratchFolder scratch;
    EXPECT_EQ(GetDriveType("C:\\"), drive::Fixed);
    EXPECT_EQ(GetDriveType("Q:\\"), drive::NoRootDirectory);
    std::string label;
    EXPECT_FALSE(GetVolumeLabel("Q:\\", label));
    EXPECT_EQ(GetWindowsDirectory(), "C:\\windows");
    EXPECT_EQ(GetTempPath(), "C:\\windows\\temp\\");
}

TEST(StandInFiles, ReadOnlyShowsInThePermissions) {
    test::ScratchFolder scratch;
    {
        File file(scratch / "ro.txt", FileMode::Create);
        ASSERT_TRUE(file.Close());
    }
    ASSERT_TRUE(SetFileAttributes(scratch / "ro.txt", attr::ReadOnly));
    struct stat status {};
    ASSERT_EQ(::stat(HostPath(scratch / "ro.txt")->c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH), 0u);
    ASSERT_TRUE(SetFileAttributes(scratch / "ro.txt", attr::Archive));
    ASSERT_EQ(::stat(HostPath(scratch / "ro.txt")->c_str(), &status), 0);
    EXPECT_NE(status.st_mode & S_IWUSR, 0u);
}

TEST(StandInFiles, AFullDiskFailsTheWrite) {
    test::ScratchFolder scratch;
    ASSERT_EQ(::symlink("/dev/full", HostPath(scratch / "full")->c_str()), 0);
    File file(scratch / "full", FileMode::Create);
    ASSERT_TRUE(file.IsOpen()) << LastError();
    EXPECT_EQ(file.Write("data", 4), -1);
    EXPECT_EQ(LastError(), err::DiskFull);
}

} // namespace
} // namespace kq
