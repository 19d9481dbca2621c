// Starting programs and ending this one, as the wizard's Finish and Cancel buttons do, and the
// hooks through which the wizard's tests watch them.

#include "platform/process.h"
#include "test/hooks.h"
#include "test/scratch_folder.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(Process, TheLauncherSeesTheRequestAndAnswersForTheSystem) {
    test::ScopedHooks hooks;
    for (const bool answer : {true, false}) {
        ProcessRequest seen;
        SetProcessLauncher([&](const ProcessRequest& request) {
            seen = request;
            return answer;
        });
        const ProcessRequest request{"C:\\Program Files\\Kavoru Qyn\\qynapp.exe",
                                     "\"C:\\Program Files\\Kavoru Qyn\\qynapp.exe\"",
                                     "C:\\Program Files\\Kavoru Qyn\\", create::DefaultErrorMode};
        EXPECT_EQ(CreateProcess(request), answer);
        EXPECT_EQ(seen.applicationName, request.applicationName);
        EXPECT_EQ(seen.commandLine, request.commandLine);
        EXPECT_EQ(seen.currentDirectory, request.currentDirectory);
        EXPECT_EQ(seen.creationFlags, 0x04000000u);
    }
}

TEST(Process, AMissingProgramIsNotStarted) {
    struct Case {
        const char* name;
        const char* application;
        const char* commandLine; // in the scratch folder
        std::uint32_t error;
    };
    const Case cases[] = {
        {"missing program", "", "qynapp.exe", err::FileNotFound},
        {"missing named application", "qynapp.exe", "qynapp.exe /x", err::FileNotFound},
    };
    test::ScratchFolder scratch;
    for (const Case& c : cases) {
        const std::string application = *c.application ? scratch / c.application : "";
        ProcessIds ids{11, 12};
        EXPECT_FALSE(CreateProcess({application, scratch / c.commandLine, "", 0}, &ids)) << c.name;
        EXPECT_EQ(LastError(), c.error) << c.name;
        EXPECT_EQ(ids.processId, 11u) << c.name << ": ids of a process that does not exist";
    }
}

TEST(Process, TheExitHookSeesTheCodeAndMayUnwind) {
    struct Exited {
        std::uint32_t code;
    };
    test::ScopedHooks hooks;
    SetExitProcessHook([](std::uint32_t code) { throw Exited{code}; });
    try {
        ExitProcess(0);
        ADD_FAILURE() << "ExitProcess returned";
    } catch (const Exited& exited) {
        EXPECT_EQ(exited.code, 0u);
    }
}

TEST(ProcessDeathTest, ExitProcessEndsWithTheCodeAfterFlushingOutput) {
    EXPECT_EXIT(
        {
            // Fully buffered, so the text reaches the test only if ExitProcess flushes it.
            static char buffer[256];
            std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
            std::fputs("written before the end", stderr);
            ExitProcess(3);
        },
        ::testing::ExitedWithCode(3), "written before the end");
}

} // namespace
} // namespace kq
