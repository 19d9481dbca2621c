// Shell links as the shortcut routine makes them: the saved file is read back by a reader of
// the link format, on Windows (the shell's own writer) and natively (the stand-in's).

#include "lnk_reader.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(ShellLink, TheSavedLinkNamesTargetFolderAndDescription) {
    struct Case {
        const char* name;
        const char* target; // in the scratch folder
        const char* description;
    };
    const Case cases[] = {
        {"existing target", "qynapp.exe", "Kavoru Qyn"},
        {"target not there (yet)", "UnInstall.exe", "Uninstall Qyn"},
        {"ANSI description", "Qyn.doc", "Caf\xE9 Qyn"},
    };
    test::ScratchFolder scratch;
    ComApartment com;
    ASSERT_TRUE(com.Initialized());
    test::WriteWholeFile(scratch / "qynapp.exe", "MZ");
    for (const Case& c : cases) {
        const std::string linkPath = scratch / (std::string(c.description) + ".lnk");
        {
            ShellLink link;
            ASSERT_TRUE(link.Create()) << c.name << ": " << LastError();
            EXPECT_TRUE(link.SetPath(scratch / c.target)) << c.name;
            EXPECT_TRUE(link.SetWorkingDirectory(scratch.Path())) << c.name;
            EXPECT_TRUE(link.SetDescription(c.description)) << c.name;
            ASSERT_TRUE(link.Save(linkPath)) << c.name << ": " << LastError();
        }
        test::LinkFile parsed;
        std::string error;
        ASSERT_TRUE(test::LinkReader(test::ReadWholeFile(linkPath)).Read(parsed, error))
            << c.name << ": " << error;
        const std::uint32_t wanted =
            test::lnk::HasLinkInfo | test::lnk::HasName | test::lnk::HasWorkingDir;
        EXPECT_EQ(parsed.flags & wanted, wanted) << c.name;
        EXPECT_EQ(parsed.localPath, scratch / c.target) << c.name;
        EXPECT_EQ(parsed.driveType, 3u) << c.name << ": a fixed drive";
        EXPECT_EQ(parsed.name, c.description) << c.name;
        EXPECT_EQ(parsed.workingDirectory, scratch.Path()) << c.name;
    }
}

TEST(ShellLink, SaveReplacesAnExistingFileAndNeedsAnExistingFolder) {
    test::ScratchFolder scratch;
    ComApartment com;
    ShellLink link;
    ASSERT_TRUE(link.Create()) << LastError();
    ASSERT_TRUE(link.SetPath(scratch / "qynapp.exe"));
    test::WriteWholeFile(scratch / "old.lnk", std::string(500, 'x'));

    EXPECT_TRUE(link.Save(scratch / "old.lnk")) << LastError();
    test::LinkFile parsed;
    std::string error;
    EXPECT_TRUE(test::LinkReader(test::ReadWholeFile(scratch / "old.lnk")).Read(parsed, error))
        << error;
    EXPECT_EQ(parsed.localPath, scratch / "qynapp.exe");

    EXPECT_FALSE(link.Save(scratch / "missing\\new.lnk"));
    EXPECT_EQ(LastError(), err::PathNotFound);
    EXPECT_FALSE(DirectoryExists(scratch / "missing"));
}

TEST(ShellLink, NothingIsSetOrSavedBeforeTheObjectIsCreated) {
    test::ScratchFolder scratch;
    ShellLink link;
    EXPECT_FALSE(link.IsCreated());
    EXPECT_FALSE(link.SetPath(scratch / "qynapp.exe"));
    EXPECT_FALSE(link.Save(scratch / "a.lnk"));
    EXPECT_FALSE(FileExists(scratch / "a.lnk"));
}

} // namespace
} // namespace kq
