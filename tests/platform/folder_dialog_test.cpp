// The folder dialog as the wizard's tests reach it: a responder answers instead of the user.

#include "platform/shell.h"
#include "test/hooks.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(FolderDialog, TheResponderSeesTitleAndRootAndItsAnswerIsTheResult) {
    struct Case {
        const char* name;
        bool confirms;
        const char* chosen;
        bool expected;
        const char* folder;
    };
    const Case cases[] = {
        {"a folder", true, "D:\\Apps", true, "D:\\Apps"},
        {"a drive root", true, "D:\\", true, "D:\\"},
        {"cancelled", false, "D:\\Apps", false, ""},
        {"confirmed without a path", true, "", false, ""},
    };
    test::ScopedHooks hooks;
    for (const Case& c : cases) {
        std::string seenTitle;
        std::wstring seenRoot;
        SetFolderDialogResponder(
            [&](const std::string& title, const std::wstring& root, std::string& folder) {
                seenTitle = title;
                seenRoot = root;
                folder = c.chosen;
                return c.confirms;
            });
        std::string folder = "stale";
        EXPECT_EQ(ShowFolderDialog("Browse for folder", L"C:\\data", folder), c.expected) << c.name;
        EXPECT_EQ(folder, c.folder) << c.name;
        EXPECT_EQ(seenTitle, "Browse for folder") << c.name;
        EXPECT_TRUE(seenRoot == L"C:\\data") << c.name;
    }
}

} // namespace
} // namespace kq
