// Windows starts the command interpreter in the given folder with the given command line.

#include "file_bytes.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/win32_api.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

// The file's text once the program has written a whole line, or "" after ten seconds.
std::string WaitForLine(const std::string& path) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        const std::string text = FileExists(path) ? test::ReadBytes(path) : "";
        if (!text.empty() && text.back() == '\n') {
            return text;
        }
        ::Sleep(50);
    }
    return "";
}

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
