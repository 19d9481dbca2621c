// ForceDirectories: a folder with every missing parent, trailing backslashes allowed.
#include "platform/files.h"
#include "support/scratch_folder.h"
#include "unzip/helpers.h"

#include <gtest/gtest.h>

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

TEST(StringHelpers, LeftRightAndSlashes) {
    EXPECT_EQ(LeftStr("abcdef", 2), "ab");
    EXPECT_EQ(LeftStr("ab", 5), "ab");
    EXPECT_EQ(RightStr("abcdef", 2), "ef");
    EXPECT_EQ(RightStr("ab", 5), "ab");
    std::string name = "a/b\\c/";
    ForwardSlashesToBackslashes(name);
    EXPECT_EQ(name, "a\\b\\c\\");
    EXPECT_FALSE(ToOwnedText("").has_value());
    EXPECT_EQ(FromOwnedText(std::nullopt), "");
    EXPECT_EQ(FromOwnedText(ToOwnedText("x")), "x");
}

} // namespace
} // namespace kq
