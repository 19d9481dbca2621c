// ForceDirectories: a folder with every missing parent, trailing backslashes allowed, and what a
// run knows of the folders it made.
#include "extraction/made_folders.h"
#include "platform/files.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

TEST(ForceDirectories, CreatesEveryMissingParent) {
    test::ScratchFolder folder;
    struct Case {
        const char* path;
        const char* what;
    };
    const Case cases[] = {
        {"a", "one level"},
        {"b\\c\\d", "three levels"},
        {"b\\c\\e\\", "a trailing backslash"},
        {"b\\c\\d", "an existing folder"},
        {"f\\\\", "two trailing backslashes"},
    };
    for (const Case& c : cases) {
        const std::string path = folder / c.path;
        EXPECT_TRUE(ForceDirectories(path)) << c.what;
        EXPECT_TRUE(DirectoryExists(path)) << c.what;
    }
    EXPECT_TRUE(ForceDirectories("")) << "nothing to create";
}

TEST(ForceDirectories, FailsBelowAFile) {
    test::ScratchFolder folder;
    test::WriteWholeFile(folder / "file", "x");
    EXPECT_FALSE(ForceDirectories(folder / "file\\sub"));
    EXPECT_FALSE(DirectoryExists(folder / "file\\sub"));
}

TEST(ForceDirectories, ReportsTheFoldersItMade) {
    test::ScratchFolder folder;
    ASSERT_TRUE(ForceDirectories(folder / "old"));
    std::vector<std::string> made;
    ASSERT_TRUE(ForceDirectories(folder / "old\\new\\newer\\", &made));
    EXPECT_EQ(made, (std::vector<std::string>{folder / "old\\new", folder / "old\\new\\newer"}));
    made.clear();
    ASSERT_TRUE(ForceDirectories(folder / "old\\new", &made));
    EXPECT_TRUE(made.empty()) << "an existing folder is not made";
}

// What a run may take for missing without looking: only names that Windows could not find under
// another spelling, in a folder the run made, not used by the run under any case.
TEST(MadeFolders, KnowsOnlyWhatCannotBeThere) {
    TMadeFolders known(936); // a double-byte code page: 0x81-0xFE lead
    known.Made("C:\\Dest");
    known.Made("C:\\Dest\\Sub");
    known.Used("C:\\Dest\\done.txt");
    known.Used("C:\\Dest\\Sub\\kept");
    struct Case {
        const char* path;
        bool missing;
        const char* what;
    };
    const Case cases[] = {
        {"C:\\Dest\\new.txt", true, "a new name in a made folder"},
        {"C:\\Dest\\Sub\\new.txt", true, "in a made folder below another"},
        {"C:\\Dest\\done.txt", false, "a name the run used"},
        {"C:\\Dest\\DONE.TXT", false, "the same name in other case"},
        {"C:\\Dest\\done.txt.partial", false, "the partial file of a used name"},
        {"C:\\Dest\\new.txt.partial", true, "the partial file of a new name"},
        {"C:\\Dest\\Sub", false, "a folder the run made"},
        {"C:\\DEST\\new.txt", false, "a folder the run did not make under these bytes"},
        {"C:\\Other\\new.txt", false, "a folder the run did not make"},
        {"C:\\new.txt", false, "the parent of a made folder"},
        {"C:\\Dest\\new.txt.", false, "a trailing dot Windows drops"},
        {"C:\\Dest\\new.txt ", false, "a trailing blank Windows drops"},
        {"C:\\Dest\\DONE~1.TXT", false, "a short alias"},
        {"C:\\Dest\\new.txt:stream", false, "a stream"},
        {"C:\\Dest\\nul", false, "a device"},
        {"C:\\Dest\\Com1.txt", false, "a device with an extension"},
        {"C:\\Dest\\com10.txt", true, "not a device"},
        {"C:\\Dest\\\xB0\xA1.txt", false, "a letter outside ASCII"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(known.KnownMissing(c.path), c.missing) << c.what << ": " << c.path;
    }
    EXPECT_FALSE(TMadeFolders(1252).KnownMissing("C:\\Dest\\new.txt")) << "nothing made";
}

TEST(MadeFolders, KeepsDoubleByteCharactersWhole) {
    // 0xB0 0x5C is one character whose second byte is a backslash; 0xB0 0x61 and 0xB0 0x41
    // are two characters, not one in two cases.
    TMadeFolders known(936);
    known.Made("C:\\\xB0\x5C");
    EXPECT_TRUE(known.KnownMissing("C:\\\xB0\x5C\\a.txt"));
    EXPECT_FALSE(known.KnownMissing("C:\\\xB0\\a.txt"));
    known.Made("C:\\\xB0\x61");
    known.Used("C:\\\xB0\x61\\a.txt");
    EXPECT_FALSE(known.KnownMissing("C:\\\xB0\x41\\a.txt")) << "folder not made";
    EXPECT_FALSE(known.KnownMissing("C:\\\xB0\x61\\A.txt")) << "used in other case";
}

TEST(MadeFolders, RemembersManyNames) {
    TMadeFolders known(1252);
    known.Made("D:\\flat");
    for (int i = 0; i < 20000; i += 2) {
        known.Used("D:\\flat\\f" + std::to_string(i));
    }
    int wrong = 0;
    for (int i = 0; i < 20000; ++i) {
        wrong += known.KnownMissing("D:\\flat\\F" + std::to_string(i)) != (i % 2 == 1);
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace kq
