// The stand-in starts host programs: here the shell, linked into the stand-in's drive, shows
// where it ran and what arguments it received.

#include "platform/files.h"
#include "platform/process.h"
#include "platform/standin.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace kq {
namespace {

using test::WaitForLine;

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
    test::WriteWholeFile(scratch / "qynapp.exe", "MZ");
    EXPECT_FALSE(CreateProcess({"", scratch / "qynapp.exe", "", 0}));
    EXPECT_EQ(LastError(), err::BadExeFormat);

    ASSERT_EQ(::symlink("/bin/sh", HostPath(scratch / "sh")->c_str()), 0);
    EXPECT_FALSE(CreateProcess({"", scratch / "sh -c true", scratch / "missing", 0}));
    EXPECT_EQ(LastError(), err::NotADirectory);
}

} // namespace
} // namespace kq
