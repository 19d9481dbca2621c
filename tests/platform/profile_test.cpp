// Profile writing as the uninstall log uses it. The expected bytes were written by hand from the
// writer's rules and match what Windows' writer produces under Wine for the same calls.

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/profile.h"
#include "test/file_bytes.h"
#include "test/file_times.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(Profile, EachWriteLeavesTheFileInItsExpectedForm) {
    struct Step {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
        const char* file; // afterwards
    };
    const Step steps[] = {
        {"creates the file", "Qyn", "0", "sub\\a.txt", "[Qyn]\r\n0=sub\\a.txt\r\n"},
        {"appends a key", "Qyn", "D0", "1234", "[Qyn]\r\n0=sub\\a.txt\r\nD0=1234\r\n"},
        {"appends a section", "Other", "x", "y",
         "[Qyn]\r\n0=sub\\a.txt\r\nD0=1234\r\n[Other]\r\nx=y\r\n"},
        {"a key of an earlier section", "Qyn", "1", "b.txt",
         "[Qyn]\r\n0=sub\\a.txt\r\nD0=1234\r\n1=b.txt\r\n[Other]\r\nx=y\r\n"},
        {"replaces a value in place", "Qyn", "0", "c.txt",
         "[Qyn]\r\n0=c.txt\r\nD0=1234\r\n1=b.txt\r\n[Other]\r\nx=y\r\n"},
        {"names ignore case", "qYN", "d0", "-1",
         "[Qyn]\r\n0=c.txt\r\nD0=-1\r\n1=b.txt\r\n[Other]\r\nx=y\r\n"},
        {"blanks around names and before the value", " Qyn ", " k", "  v v",
         "[Qyn]\r\n0=c.txt\r\nD0=-1\r\n1=b.txt\r\nk=v v\r\n[Other]\r\nx=y\r\n"},
        {"an empty value", "Other", "e", "",
         "[Qyn]\r\n0=c.txt\r\nD0=-1\r\n1=b.txt\r\nk=v v\r\n[Other]\r\nx=y\r\ne=\r\n"},
        {"ANSI bytes", "Qyn", "2", "\xC4\xE3\xBA\xC3.txt",
         "[Qyn]\r\n0=c.txt\r\nD0=-1\r\n1=b.txt\r\nk=v v\r\n2=\xC4\xE3\xBA\xC3.txt\r\n"
         "[Other]\r\nx=y\r\ne=\r\n"},
    };
    test::ScratchFolder scratch;
    const std::string log = scratch / "Uninstall.log";
    for (const Step& s : steps) {
        ASSERT_TRUE(WritePrivateProfileString(s.section, s.key, s.value, log))
            << s.name << ": " << LastError();
        EXPECT_EQ(test::ReadWholeFile(log), s.file) << s.name;
    }
}

// Windows proper would keep the other lines as they were; the stand-in and Wine rewrite them.
TEST(Profile, AnExistingFileIsRewrittenInNormalForm) {
    test::ScratchFolder scratch;
    const std::string log = scratch / "Uninstall.log";
    test::WriteWholeFile(log, "; note\r\n[Qyn]\r\n a = 1\r\n\r\n[Two]\nb=2");
    ASSERT_TRUE(WritePrivateProfileString("Qyn", "c", "3", log)) << LastError();
    EXPECT_EQ(test::ReadWholeFile(log), "; note\r\n[Qyn]\r\na=1\r\nc=3\r\n[Two]\r\nb=2\r\n");
}

TEST(Profile, TextThatWouldAddLinesIsRefused) {
    struct Case {
        const char* name;
        std::string section;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        {"line break in the value", "Qyn", "0", "a.txt\r\n[Evil]"},
        {"line feed in the key", "Qyn", "0\n1", "a.txt"},
        {"NUL in the value", "Qyn", "0", std::string("a\0b", 3)},
        {"= in the key", "Qyn", "0=1", "a.txt"},
        {"] in the section", "Q]yn", "0", "a.txt"},
        {"key taken for a section", "Qyn", " [x]", "a.txt"},
    };
    test::ScratchFolder scratch;
    const std::string log = scratch / "Uninstall.log";
    ASSERT_TRUE(WritePrivateProfileString("Qyn", "0", "kept", log));
    for (const Case& c : cases) {
        EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.value, log)) << c.name;
        EXPECT_EQ(LastError(), err::InvalidParameter) << c.name;
        EXPECT_EQ(test::ReadWholeFile(log), "[Qyn]\r\n0=kept\r\n") << c.name;
    }
}

TEST(Profile, WhereTheFileGoes) {
    test::ScratchFolder scratch;
    EXPECT_FALSE(WritePrivateProfileString("Qyn", "0", "a", scratch / "missing\\Uninstall.log"));
    EXPECT_EQ(LastError(), err::PathNotFound);
    EXPECT_FALSE(DirectoryExists(scratch / "missing"));

    // A bare name means a file in the Windows folder.
    const std::string inWindows = GetWindowsDirectory() + "\\kq-profile-test.ini";
    CreateDirectory(GetWindowsDirectory());
    EXPECT_TRUE(WritePrivateProfileString("Qyn", "0", "a", "kq-profile-test.ini")) << LastError();
    EXPECT_EQ(test::ReadWholeFile(inWindows), "[Qyn]\r\n0=a\r\n");
    DeleteFile(inWindows);
}

TEST(Profile, AReadOnlyFileIsRefused) {
    if (test::RunningUnderWine()) {
        GTEST_SKIP() << "Wine writes read-only profile files";
    }
    test::ScratchFolder scratch;
    const std::string log = scratch / "Uninstall.log";
    ASSERT_TRUE(WritePrivateProfileString("Qyn", "0", "a", log));
    ASSERT_TRUE(SetFileAttributes(log, attr::ReadOnly));
    EXPECT_FALSE(WritePrivateProfileString("Qyn", "1", "b", log));
    EXPECT_EQ(LastError(), err::AccessDenied);
    EXPECT_EQ(test::ReadWholeFile(log), "[Qyn]\r\n0=a\r\n");
}

} // namespace
} // namespace kq
