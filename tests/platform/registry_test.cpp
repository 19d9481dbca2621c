// The current user's registry as the wizard uses it: its product key (created, written, read
// back), values of another type, and the shell's folder paths.

#include "platform/files.h"
#include "platform/registry.h"
#include "scratch_registry.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(Registry, StringValuesReadBackAsWritten) {
    struct Case {
        const char* name;
        const char* valueName; // written
        const char* readAs;    // read back
        std::string text;
    };
    const Case cases[] = {
        {"a folder", "InstallPath", "InstallPath", "D:\\Apps\\Q"},
        {"another spelling of the name", "Dir", "DIR", "C:\\Program Files\\Kavoru Qyn\\"},
        {"empty text", "Empty", "Empty", ""},
        {"ANSI bytes", "Ansi", "Ansi", "C:\\Caf\xE9\\"},
        {"the default value", "", "", "default"},
    };
    test::ScratchFolder scratch;
    test::ScratchRegistryKey scratchKey;
    {
        RegKey key;
        ASSERT_TRUE(key.Create(scratchKey.Path())) << LastError();
        for (const Case& c : cases) {
            EXPECT_TRUE(key.SetStringValue(c.valueName, c.text)) << c.name << ": " << LastError();
        }
    }
    RegKey key;
    ASSERT_TRUE(key.Open(scratchKey.Path())) << LastError();
    for (const Case& c : cases) {
        RegistryValue value;
        ASSERT_TRUE(key.QueryValue(c.readAs, value)) << c.name << ": " << LastError();
        EXPECT_EQ(value.type, reg::Sz) << c.name;
        EXPECT_EQ(value.data, c.text) << c.name;
    }
}

TEST(Registry, OpenFindsWhatCreateMadeAndNothingElse) {
    test::ScratchFolder scratch;
    test::ScratchRegistryKey scratchKey;
    RegKey key;
    RegistryValue value;
    EXPECT_FALSE(key.Open(scratchKey / "Kavoru")) << "not created yet";
    EXPECT_EQ(LastError(), err::FileNotFound);
    EXPECT_FALSE(key.Open(scratchKey / "Kavoru")) << "opening must not have created it";

    ASSERT_TRUE(key.Create(scratchKey / "Kavoru\\KavoruQyn\\")) << LastError();
    ASSERT_TRUE(key.SetStringValue("InstallPath", "D:\\Apps\\Q"));
    key.Close();

    EXPECT_TRUE(key.Open(scratchKey / "Kavoru")) << "the parent was created too";
    ASSERT_TRUE(key.Open(scratchKey / "KAVORU\\kavoruqyn")) << "names ignore case";
    EXPECT_TRUE(key.QueryValue("InstallPath", value));
    EXPECT_EQ(value.data, "D:\\Apps\\Q");
    EXPECT_FALSE(key.QueryValue("Missing", value));
    EXPECT_EQ(LastError(), err::FileNotFound);
    EXPECT_FALSE(key.SetStringValue("InstallPath", "E:\\")) << "opened for reading";
    EXPECT_EQ(LastError(), err::AccessDenied);
}

TEST(Registry, AValueOfAnotherTypeKeepsItsTypeUntilAStringReplacesIt) {
    const std::string dword("\x2A\x00\x00\x00", 4);
    test::ScratchFolder scratch;
    test::ScratchRegistryKey scratchKey;
    RegKey key;
    ASSERT_TRUE(key.Create(scratchKey.Path())) << LastError();
    ASSERT_TRUE(key.SetValue("InstallPath", reg::Dword, dword)) << LastError();

    RegistryValue value;
    ASSERT_TRUE(key.QueryValue("InstallPath", value));
    EXPECT_EQ(value.type, reg::Dword);
    EXPECT_EQ(value.data, dword);

    ASSERT_TRUE(key.SetStringValue("InstallPath", "D:\\Apps\\Q"));
    ASSERT_TRUE(key.QueryValue("InstallPath", value));
    EXPECT_EQ(value.type, reg::Sz);
    EXPECT_EQ(value.data, "D:\\Apps\\Q");
}

TEST(Registry, TheShellFoldersOfTheUserExist) {
    const char* const names[] = {"Desktop", "Start Menu", "Programs", "Startup", "AppData"};
    test::ScratchFolder scratch;
    RegKey key;
    ASSERT_TRUE(key.Open("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"))
        << LastError();
    for (const char* name : names) {
        RegistryValue value;
        ASSERT_TRUE(key.QueryValue(name, value)) << name << ": " << LastError();
        EXPECT_EQ(value.type, reg::Sz) << name;
        EXPECT_EQ(value.data.substr(1, 2), ":\\") << name << ": " << value.data;
        EXPECT_TRUE(DirectoryExists(value.data)) << name << ": " << value.data;
    }
}

} // namespace
} // namespace kq
