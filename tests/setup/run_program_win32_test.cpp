// RunProgram on Windows: a program under a folder with blanks starts, in its own folder, and the
// decoy "Program.exe" beside "Program Files", which an unquoted command line would start first,
// does not.
#include "setup/folders.h"
#include "test/temp_folder.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace kq {
namespace {

namespace fs = std::filesystem;

TEST(RunProgram, StartsTheQuotedPathInItsFolderAndNeverTheDecoy) {
    const test::TempFolder temp;
    const fs::path base = temp.Path();
    const fs::path folder = base / "Program Files" / "Kavoru Qyn";
    fs::create_directories(folder);
    fs::copy_file(KQ_CHILD_EXE, base / "Program.exe");
    fs::copy_file(KQ_CHILD_EXE, folder / "qynapp.exe");

    const std::string program = (folder / "qynapp.exe").string();
    EXPECT_FALSE(RunProgram((folder / "missing.exe").string()));
    ASSERT_TRUE(RunProgram(program));
    const fs::path marker = folder / "ran-qynapp.exe";
    for (int i = 0; i < 200 && !fs::exists(marker); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(fs::exists(marker)) << program;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
        EXPECT_NE(entry.path().filename().string(), "ran-Program.exe") << entry.path().string();
    }
}

} // namespace
} // namespace kq
