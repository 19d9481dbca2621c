// Windows starts the command interpreter in the given folder with the given command line.

#include "platform/files.h"
#include "platform/process.h"
#include "platform/win32_api.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

using test::WaitForLine;

TEST(ProcessWin32, TheProgramRunsInTheGivenFolder) {
    char system[MAX_PATH + 1];
    const UINT length = ::GetSystemDirectoryA(system, sizeof system);
    ASSERT_TRUE(length > 0 && length < sizeof system);
    const std::string interpreter = std::string(system, length) + "\\cmd.exe";
    struct Case {
        const char* name;
        std::string application;
        std::string commandLine;
    };
    const Case cases[] = {
        {"program from the command line", "", "cmd.exe /c cd > where.txt"},
        {"named application, quoted", interpreter, "\"" + interpreter + "\" /c cd > where.txt"},
    };
    test::ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectory(scratch / "work"));
    for (const Case& c : cases) {
        ProcessIds ids;
        ASSERT_TRUE(CreateProcess(
            {c.application, c.commandLine, scratch / "work", create::DefaultErrorMode}, &ids))
            << c.name << ": " << LastError();
        EXPECT_NE(ids.processId, 0u) << c.name;
        EXPECT_EQ(WaitForLine(scratch / "work\\where.txt"), scratch / "work\r\n") << c.name;
        DeleteFile(scratch / "work\\where.txt");
    }
}

} // namespace
} // namespace kq
