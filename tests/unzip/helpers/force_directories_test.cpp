// ForceDirectories: a folder with every missing parent, trailing backslashes allowed.
#include "platform/files.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"
#include "unzip/folders.h"

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

} // namespace
} // namespace kq
