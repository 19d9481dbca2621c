// The stand-in starts host programs: here the shell, linked into the stand-in's drive, shows
// where it ran and what arguments it received.

#include "file_bytes.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/standin.h"
#include "scratch_folder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace kq {
namespace {

// The file's text once the program has written a whole line, or "" after ten seconds.
std::string WaitForLine(const std::string& path) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        const std::string text = FileExists(path) ? test::ReadBytes(path) : "";
        if (!text.empty() && text.back() == '\n') {
            return text;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
}

TEST(ProcessStandIn, AHostProgramRunsInTheGivenFolderWithItsArguments) {
    struct Case {
        const char* name;
        const char* application;
        const char* program; // as the command line names it
    };
    const Case cases[] = {
        {"program from the command line", "", "C:\\scratch\\sh"},
        {"named application, quoted", "C:\\scratch\\my tools\\sh", "\"C:\\scratch\\my tools\\sh\""},
    };
    test::ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectory(scratch / "my tools"));
    ASSERT_TRUE(CreateDirectory(scratch / "work"));
    ASSERT_EQ(::symlink("/bin/sh", HostPath(scratch / "sh")->c_str()), 0);
    ASSERT_EQ(::symlink("/bin/sh", HostPath(scratch / "my tools\\sh")->c_str()), 0);
    for (const Case& c : cases) {
        const std::string commandLine = std::string(c.program) +
                                        " -c \"echo $1 > args.txt; pwd > where.txt\" zero "
                                        "\"two  words\"";
        ProcessIds ids;
        ASSERT_TRUE(CreateProcess({c.application, commandLine, scratch / "work", 0}, &ids))
            << c.name << ": " << LastError();
        EXPECT_NE(ids.processId, 0u) << c.name;
        EXPECT_EQ(WaitForLine(scratch / "work\\where.txt"), *HostPath(scratch / "work") + "\n")
            << c.name;
        EXPECT_EQ(WaitForLine(scratch / "work\\args.txt"), "two words\n") << c.name;
        DeleteFile(scratch / "work\\where.txt");
        DeleteFile(scratch / "work\\args.txt");
    }
}

TEST(ProcessStandIn, WindowsProgramsAndBadFoldersAreRefused) {
    test::ScratchFolder scratch;
    ASSERT_TRUE(test::WriteBytes(scratch / "qynapp.exe", "MZ"));
    EXPECT_FALSE(CreateProcess({"", scratch / "qynapp.exe", "", 0}));
    EXPECT_EQ(LastError(), err::BadExeFormat);

    ASSERT_EQ(::symlink("/bin/sh", HostPath(scratch / "sh")->c_str()), 0);
    EXPECT_FALSE(CreateProcess({"", scratch / "sh -c true", scratch / "missing", 0}));
    EXPECT_EQ(LastError(), err::NotADirectory);
}

} // namespace
} // namespace kq
