// Setup.exe's command line: what each line asks for, and the lines refused as usage errors.
#include "setup/command_line.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

struct Case {
    const char* line;
    bool silent;
    const char* folder; // nullptr: no /D=
    const char* logFile;
    const char* error; // the usage error, "" for a good line
};

const Case kCases[] = {
    // The program's path alone, quoted or not, blanks inside the quotes.
    {"Setup.exe", false, nullptr, "", ""},
    {"\"C:\\My Media\\Setup.exe\"", false, nullptr, "", ""},
    {"\"C:\\My Media\\Setup.exe\"   ", false, nullptr, "", ""},
    {"C:\\Media\\Setup.exe /S", true, nullptr, "", ""},
    {"\"C:\\My Media\\Setup.exe\" /S", true, nullptr, "", ""},
    {"Setup.exe /s", true, nullptr, "", ""},
    {"Setup.exe\t/S", true, nullptr, "", ""},
    // /D= runs to the end of the line: blanks, a second switch, quotes kept; trailing blanks go.
    {"Setup.exe /S /D=C:\\Kavoru Test Dir", true, "C:\\Kavoru Test Dir", "", ""},
    {"Setup.exe /D=C:\\Kavoru Test Dir\\  ", false, "C:\\Kavoru Test Dir\\", "", ""},
    {"Setup.exe /D=C:\\a /S", false, "C:\\a /S", "", ""},
    {"Setup.exe /D=\"C:\\a b\"", false, "\"C:\\a b\"", "", ""},
    {"Setup.exe /d=D:\\x", false, "D:\\x", "", ""},
    // Quoted whole, as a shell passes an argument with blanks: one switch, its quotes removed.
    {"Setup.exe /S \"/D=C:\\Kavoru Test Dir\"", true, "C:\\Kavoru Test Dir", "", ""},
    {"Setup.exe \"/D=\"", false, nullptr, "", "The switch /D= needs a folder"},
    // /LOG= takes one switch; quotes group blanks and are removed.
    {"Setup.exe /LOG=C:\\s.log /S", true, nullptr, "C:\\s.log", ""},
    {"Setup.exe /S \"/LOG=C:\\my logs\\s.log\" /D=C:\\P", true, "C:\\P", "C:\\my logs\\s.log", ""},
    {"Setup.exe /log=\"C:\\my logs\\s.log\"", false, nullptr, "C:\\my logs\\s.log", ""},
    // Refused, not ignored: the first mistake is reported, the rest of the line still read.
    {"Setup.exe /X", false, nullptr, "", "Unknown switch: /X"},
    {"Setup.exe /S /Q /LOG=a.log", true, nullptr, "a.log", "Unknown switch: /Q"},
    {"Setup.exe /SILENT", false, nullptr, "", "Unknown switch: /SILENT"},
    {"Setup.exe S", false, nullptr, "", "Unknown switch: S"},
    {"Setup.exe /D", false, nullptr, "", "Unknown switch: /D"},
    {"Setup.exe /D=", false, nullptr, "", "The switch /D= needs a folder"},
    {"Setup.exe /S /D=   ", true, nullptr, "", "The switch /D= needs a folder"},
    {"Setup.exe /LOG=", false, nullptr, "", "The switch /LOG= needs a file"},
    {"Setup.exe /X /Y", false, nullptr, "", "Unknown switch: /X"},
};

TEST(SetupCommandLine, EachLineGivesItsOptionsOrItsUsageError) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.line);
        const TSetupOptions options = ParseSetupCommandLine(c.line);
        EXPECT_EQ(options.silent, c.silent);
        EXPECT_EQ(options.hasFolder, c.folder != nullptr);
        EXPECT_EQ(options.folder, c.folder != nullptr ? c.folder : "");
        EXPECT_EQ(options.logFile, c.logFile);
        EXPECT_EQ(options.usageError, c.error);
    }
}

} // namespace
} // namespace kq
