// The stand-in registry's file: a file written by hand is read as documented, a change lands in
// the file as documented, and a file that is not in that form is neither read nor rewritten.

#include "platform/registry.h"
#include "platform/standin.h"
#include "test/scratch_folder.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace kq {
namespace {

std::string HiveFile() {
    return RootFolder() + "/registry/HKCU.txt";
}

void PresetHive(const std::string& text) {
    ::mkdir((RootFolder() + "/registry").c_str(), 0777);
    std::ofstream(HiveFile(), std::ios::binary) << text;
}

std::string HiveText() {
    std::ifstream file(HiveFile(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(RegistryFile, AHandWrittenFileIsRead) {
    struct Case {
        const char* name;
        const char* valueName;
        std::uint32_t type;
        std::string data;
    };
    const Case cases[] = {
        {"a string", "InstallPath", reg::Sz, "D:\\Apps\\Q"},
        {"escaped bytes", "Ansi", reg::Sz, "caf\xE9 100%"},
        {"a DWORD", "Count", reg::Dword, std::string("\x07\x00\x00\x00", 4)},
        {"an escaped name, other case", "A=B", reg::Sz, "x"},
        {"the default value", "", reg::Sz, "default"},
        {"a line ending in CR LF", "Crlf", reg::Sz, "y"},
    };
    test::ScratchFolder scratch;
    PresetHive("# written by hand\n"
               "[Software]\n"
               "\n"
               "[software\\Kavoru\\KavoruQyn]\n"
               "InstallPath=1:D:\\Apps\\Q\n"
               "Ansi=1:caf%e9 100%25\n"
               "Count=4:%07%00%00%00\n"
               "a%3Db=1:x\n"
               "=1:default\n"
               "Crlf=1:y\r\n");
    RegKey key;
    ASSERT_TRUE(key.Open("Software\\Kavoru\\KavoruQyn\\")) << LastError();
    for (const Case& c : cases) {
        RegistryValue value;
        ASSERT_TRUE(key.QueryValue(c.valueName, value)) << c.name << ": " << LastError();
        EXPECT_EQ(value.type, c.type) << c.name;
        EXPECT_EQ(value.data, c.data) << c.name;
    }
}

TEST(RegistryFile, AChangeLandsInTheFileAsDocumented) {
    test::ScratchFolder scratch;
    PresetHive("[Software]\n");
    RegKey key;
    ASSERT_TRUE(key.Create("software\\Kavoru\\")) << LastError();
    ASSERT_TRUE(key.SetStringValue("Path=%", "C:\\Caf\xE9\r\n"));
    ASSERT_TRUE(key.SetStringValue("#x", ""));
    const std::string text = HiveText();
    const std::string keys = "\n[Software]\n\n[Software\\Kavoru]\n";
    EXPECT_NE(text.find(keys), std::string::npos) << text;
    EXPECT_NE(text.find("\nPath%3D%25=1:C:\\Caf%E9%0D%0A\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n%23x=1:\n"), std::string::npos) << text;
}

// The machine's keys are a file of their own: nothing of them reaches the current user's, and a
// DWORD is written low byte first.
TEST(RegistryFile, TheMachinesKeysLiveInAFileOfTheirOwn) {
    test::ScratchFolder scratch;
    PresetHive("[Software]\n");
    const std::string machineFile = RootFolder() + "/registry/HKLM.txt";
    RegKey key;
    EXPECT_FALSE(key.Open(TRegistryRoot::LocalMachine, "Software\\Kavoru"));
    EXPECT_EQ(LastError(), err::FileNotFound);
    EXPECT_FALSE(std::ifstream(machineFile).good()) << "a missing key is not written";

    ASSERT_TRUE(key.Create(TRegistryRoot::LocalMachine, "Software\\Kavoru\\")) << LastError();
    ASSERT_TRUE(key.SetDwordValue("Size", 0x01020304)) << LastError();
    ASSERT_TRUE(key.SetStringValue("Name", "Q")) << LastError();
    std::ifstream file(machineFile, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str().substr(text.str().find("[Software]\n")),
              "[Software]\n\n[Software\\Kavoru]\nSize=4:%04%03%02%01\nName=1:Q\n");
    EXPECT_EQ(HiveText(), "[Software]\n");

    ASSERT_TRUE(key.Open(TRegistryRoot::LocalMachine, "software\\kavoru")) << LastError();
    RegistryValue value;
    ASSERT_TRUE(key.QueryValue("Size", value));
    EXPECT_EQ(value.type, reg::Dword);
    EXPECT_EQ(value.data, std::string("\x04\x03\x02\x01", 4));
    EXPECT_FALSE(key.Open("Software\\Kavoru")) << "not the current user's";
}

TEST(RegistryFile, AFileInAnotherFormIsNeitherReadNorRewritten) {
    struct Case {
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {"a value before any key", "InstallPath=1:D:\\\n"},
        {"a value without a type", "[Software]\nInstallPath=D:\\\n"},
        {"a type that is not a number", "[Software]\nInstallPath=sz:D:\\\n"},
        {"a broken escape", "[Software]\nInstallPath=1:100%\n"},
        {"an unclosed key", "[Software\nInstallPath=1:D:\\\n"},
    };
    for (const Case& c : cases) {
        test::ScratchFolder scratch;
        PresetHive(c.text);
        RegKey key;
        EXPECT_FALSE(key.Open("Software")) << c.name;
        EXPECT_EQ(LastError(), err::RegistryCorrupt) << c.name;
        EXPECT_FALSE(key.Create("Software\\Kavoru")) << c.name;
        EXPECT_EQ(HiveText(), c.text) << c.name;
    }
}

TEST(RegistryFile, AFreshRegistryNamesTheUsersFoldersUnderTheRoot) {
    const char* const user = std::getenv("USER");
    const std::string savedUser = user != nullptr ? user : "";
    ::setenv("USER", "tester", 1);
    struct Restore {
        const std::string& saved;
        ~Restore() { saved.empty() ? ::unsetenv("USER") : ::setenv("USER", saved.c_str(), 1); }
    } restore{savedUser};
    test::ScratchFolder scratch;
    RegKey key;
    ASSERT_TRUE(key.Open("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"))
        << LastError();
    RegistryValue value;
    ASSERT_TRUE(key.QueryValue("programs", value));
    EXPECT_EQ(value.data,
              "C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs");
    struct stat status {};
    EXPECT_EQ(::stat((RootFolder() + "/c/users/tester/Desktop").c_str(), &status), 0);
}

} // namespace
} // namespace kq
