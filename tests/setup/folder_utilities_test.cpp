// The wizard's folder and process utilities on the stand-in platform, whose Windows folder is
// C:\windows and whose drives are folders of a fresh root.
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/standin.h"
#include "setup/folders.h"
#include "test/standin_root.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace kq {
namespace {

namespace fs = std::filesystem;

class FolderUtilities : public ::testing::Test {
protected:
    // Every folder below the root, as host paths relative to it.
    std::set<std::string> Folders() const {
        std::set<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(root_)) {
            if (entry.is_directory()) {
                found.insert(fs::relative(entry.path(), root_).generic_string());
            }
        }
        return found;
    }
    test::StandInRoot standIn_{{"c/windows", "d"}};
    const std::string root_ = standIn_.Host();
};

TEST_F(FolderUtilities, WindowsAndProgramFilesFolders) {
    EXPECT_EQ(GetWindowsDirPath(), "C:\\windows\\");
    EXPECT_EQ(GetProgramFilesDir(), "C:\\Program Files\\");
}

TEST_F(FolderUtilities, CreateDirChainMakesMissingParentsAndNeverADriveRoot) {
    struct Case {
        const char* dir;
        bool result;
        std::set<std::string> made; // beyond c, c/windows and d
    } cases[] = {
        {"C:\\A\\B\\C\\", true, {"c/A", "c/A/B", "c/A/B/C"}},
        {"C:/A/B/C", true, {"c/A", "c/A/B", "c/A/B/C"}},
        {"C:\\windows", true, {}},
        {"C:\\windows\\", true, {}},
        {"D:\\", true, {}},
        {"", false, {}},
        {"Q:\\Apps", false, {}},
        {"Q:\\A\\B\\", false, {}},
        {"C:\\AB", true, {"c/AB"}},
        {"C:\\AB\\CD", true, {"c/AB", "c/AB/CD"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.dir + "'");
        fs::remove_all(root_ + "/c/A");
        fs::remove_all(root_ + "/c/AB");
        EXPECT_EQ(CreateDirChain(c.dir), c.result);
        std::set<std::string> expected = {"c", "c/windows", "d"};
        expected.insert(c.made.begin(), c.made.end());
        std::set<std::string> found = Folders();
        found.erase("registry");
        EXPECT_EQ(found, expected);
    }
}

TEST_F(FolderUtilities, BrowseForFolderEndsAConfirmedFolderInOneBackslash) {
    struct Case {
        bool confirm;
        std::string given;
        bool result;
        const char* dir;
    } cases[] = {
        {true, "D:\\Work", true, "D:\\Work\\"},
        {true, "D:\\", true, "D:\\"},
        {true, std::string("D:\\Work\0junk", 12), true, "D:\\Work\\"},
        {false, "D:\\Work", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        SetFolderDialogResponder(
            [&](const std::string& title, const std::wstring& root, std::string& folder) {
                EXPECT_EQ(title, "Pick");
                EXPECT_EQ(root, L"C:\\data");
                folder = c.given;
                return c.confirm;
            });
        AnsiString dir = "stale";
        EXPECT_EQ(BrowseForFolder("Pick", L"C:\\data", dir), c.result);
        EXPECT_EQ(dir, c.dir);
    }
    // A failing dialog is swallowed.
    SetFolderDialogResponder([](const std::string&, const std::wstring&, std::string&) -> bool {
        throw std::runtime_error("shell failed");
    });
    AnsiString dir = "stale";
    EXPECT_FALSE(BrowseForFolder("Pick", L"", dir));
    EXPECT_EQ(dir, "");
}

// A program in a folder with a blank is started, in its own folder; the decoy C:\Program.exe,
// which an unquoted command line could start, is not.
TEST_F(FolderUtilities, RunProgramStartsThePathAsQuotedInItsFolder) {
    const auto script = [](const std::string& path, const std::string& body) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all);
    };
    script(root_ + "/c/Program.exe", "echo decoy > '" + root_ + "/decoy'");
    script(root_ + "/c/Program Files/Kavoru Qyn/qynapp.exe", "echo started > marker");

    EXPECT_FALSE(RunProgram("C:\\Program Files\\Kavoru Qyn\\missing.exe"));
    ASSERT_TRUE(RunProgram("C:\\Program Files\\Kavoru Qyn\\qynapp.exe"));
    const std::string marker = root_ + "/c/Program Files/Kavoru Qyn/marker";
    for (int i = 0; i < 100 && !fs::exists(marker); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(fs::exists(marker));
    EXPECT_FALSE(fs::exists(root_ + "/decoy"));
}

} // namespace
} // namespace kq
