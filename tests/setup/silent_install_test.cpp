// Setup.exe /S on the stand-in platform: the same installation as the window's, its exit codes,
// its log, and the Apps & features entry both runs write.
#include "installation_fixture.h"
#include "platform/messages.h"
#include "setup/silent_install.h"

#include <map>

namespace kq {
namespace {

using setup_test::Installation;
using setup_test::kDest;
using setup_test::kLate;
using setup_test::kMay;
using setup_test::ReadHostFile;
using setup_test::SmallDrive;
using setup_test::SourceFile;

const std::vector<SourceFile> kProduct = {
    {"qynapp.exe", std::string(3000, 'x') + "MZ", kMay},
    {"data/sub/table.bin", std::string("\0\1\2\3", 4), kMay},
    {"UnInstall.exe", "uninstall", kLate},
    {"Qyn.doc", "read me", kMay},
};

constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KavoruQyn";

class Silent : public Installation {
protected:
    // /S with /D= when folder is given and /LOG= in the media folder.
    int RunSilent(const char* folder = kDest) {
        TSetupOptions options;
        options.silent = true;
        options.hasFolder = folder != nullptr;
        options.folder = folder != nullptr ? folder : "";
        options.logFile = "C:\\Media\\setup.log";
        return RunSilentInstall(options);
    }
    std::string SetupLog() { return ReadHostFile(root_ + "/c/Media/setup.log"); }

    // Every file under the root that an installation may write, by its host path below the root,
    // with its bytes: the drives' files, the shortcuts and both registries.
    std::map<std::string, std::string> Written() {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root_)) {
            const std::string path = entry.path().string().substr(root_.size());
            if (entry.is_regular_file() && path.rfind("/c/Media", 0) != 0 &&
                path.rfind("/source", 0) != 0) {
                files[path] = ReadHostFile(entry.path().string());
            }
        }
        return files;
    }

    // The questions and boxes a silent run must never show, nor the program it must not start.
    void ExpectNothingShown() {
        EXPECT_EQ(errorBox.shown, 0) << errorBox.text;
        EXPECT_TRUE(questions.empty());
        EXPECT_TRUE(launched.empty());
    }
};

TEST_F(Silent, WritesExactlyWhatTheWindowsInstallWrites) {
    MakeArchive(kProduct);
    Install();
    ASSERT_EQ(errorBox.shown, 0) << errorBox.text;
    const std::map<std::string, std::string> interactive = Written();
    ASSERT_TRUE(interactive.count("/registry/HKLM.txt")) << "no Apps & features entry";

    Reset();
    EXPECT_EQ(RunSilent(), 0) << SetupLog();
    ExpectNothingShown();
    const std::map<std::string, std::string> silent = Written();
    EXPECT_EQ(silent.size(), interactive.size());
    for (const auto& [path, bytes] : interactive) {
        EXPECT_TRUE(silent.count(path) && silent.at(path) == bytes) << path;
    }
}

TEST_F(Silent, TheFolderIsTheOneTheWindowWouldPropose) {
    MakeArchive(kProduct);
    struct Case {
        const char* label;
        const char* recorded; // InstallPath before the run, nullptr for none
        const char* folder;   // /D=, nullptr for none
        const char* installed;
    };
    const Case cases[] = {
        {"the composed default", nullptr, nullptr, "C:\\Program Files\\Kavoru Qyn\\"},
        {"the last installation's", "D:\\Before\\", nullptr, "D:\\Before\\"},
        {"/D= over both, a \\ added", "D:\\Before\\", "D:\\Kavoru Test Dir",
         "D:\\Kavoru Test Dir\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Reset();
        if (c.recorded != nullptr) {
            RegKey key;
            ASSERT_TRUE(key.Create("Software\\Kavoru\\KavoruQyn"));
            ASSERT_TRUE(key.SetStringValue("InstallPath", c.recorded));
        }
        EXPECT_EQ(RunSilent(c.folder), 0) << SetupLog();
        EXPECT_EQ(InstallPath(), c.installed);
        EXPECT_EQ(ReadHostFile(Host(std::string(c.installed) + "Qyn.doc")), "read me");
    }
    ExpectNothingShown();
}

TEST_F(Silent, TheLogHasALinePerStepAndPerFile) {
    MakeArchive(kProduct);
    EXPECT_EQ(RunSilent(), 0);
    const std::string dest = kDest;
    EXPECT_EQ(SetupLog(), "Destination folder " + dest + "\r\n" + "C:\\Media\\Setup.dat\r\n" +
                              "Copying..." + dest + "qynapp.exe\r\n" + "Copying..." + dest +
                              "data\\sub\\table.bin\r\n" + "Copying..." + dest +
                              "UnInstall.exe\r\n" + "Copying..." + dest + "Qyn.doc\r\n" +
                              "Shortcut Kavoru Qyn: made\r\n"
                              "Shortcut Kavoru Qyn: made\r\n"
                              "Shortcut Qyn Readme: made\r\n"
                              "Shortcut Uninstall Qyn: made\r\n"
                              "InstallPath: written\r\n"
                              "Apps & features entry: written\r\n"
                              "Setup complete\r\n");
}

// What ends a silent run, its exit code and the error text the log ends with.
TEST_F(Silent, EachFailureHasItsExitCodeAndItsErrorText) {
    struct Case {
        const char* label;
        std::function<void()> arrange;
        const char* folder;
        int code;
        const char* lastLine;
    };
    const Case cases[] = {
        {"missing archive", [] {}, kDest, 2,
         "Cannot open file \"C:\\Media\\Setup.dat\". The system cannot find the file specified."},
        {"folder below a file",
         [this] {
             MakeArchive(kProduct);
             std::filesystem::create_directories(root_ + "/d/Apps");
             std::ofstream(root_ + "/d/Apps/file") << "x";
         },
         "D:\\Apps\\file\\Qyn", 3, "Please choose the correct folder. D:\\Apps\\file\\Qyn\\"},
        {"drive that does not exist", [this] { MakeArchive(kProduct); }, "Q:\\Qyn", 3,
         "Please choose the correct folder. Q:\\Qyn\\"},
        {"damaged archive",
         [this] {
             MakeArchive({{"a.txt", "aaaa", kMay}}, false, "-0");
             std::string archive = ReadHostFile(root_ + "/c/Media/Setup.dat");
             archive[archive.find("aaaa")] ^= 0xFF;
             std::ofstream(root_ + "/c/Media/Setup.dat", std::ios::binary) << archive;
         },
         kDest, 2, "a.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Reset();
        std::filesystem::remove(root_ + "/c/Media/Setup.dat");
        c.arrange();
        EXPECT_EQ(RunSilent(c.folder), c.code);
        const std::string log = SetupLog();
        const std::string last = std::string(c.lastLine) + "\r\n";
        EXPECT_TRUE(log.size() >= last.size() &&
                    log.compare(log.size() - last.size(), last.size(), last) == 0)
            << log;
        EXPECT_EQ(InstallPath(), "<none>");
        RegKey entry;
        EXPECT_FALSE(entry.Open(TRegistryRoot::LocalMachine, kUninstallKey));
    }
    ExpectNothingShown();
}

TEST_F(Silent, AFileThatCannotBeMadeEndsWithOneInsteadOfTheRetryQuestion) {
    MakeArchive({{"first.txt", "1", kMay}, {"blocked.txt", "2", kMay}, {"last.txt", "3", kMay}});
    std::filesystem::create_directories(Host(kDest) + "/blocked.txt");
    EXPECT_EQ(RunSilent(), 1);
    ExpectNothingShown();
    const std::string line =
        std::string("Copy file error. File is likely to be used. ") + kDest + "blocked.txt\r\n";
    EXPECT_NE(SetupLog().find(line), std::string::npos) << SetupLog();
    EXPECT_FALSE(std::filesystem::exists(Host(std::string(kDest) + "last.txt")));
    EXPECT_EQ(InstallPath(), "<none>");
}

TEST_F(Silent, AUsageErrorIsLoggedWithTheUsage) {
    TSetupOptions options = ParseSetupCommandLine("Setup.exe /S /Q /LOG=C:\\Media\\setup.log");
    EXPECT_EQ(ReportUsageError(options), 5);
    EXPECT_EQ(SetupLog(), std::string("Unknown switch: /Q\r\n") + kSetupUsage + "\r\n");
}

class SilentSmallDrive : public SmallDrive {};

TEST_F(SilentSmallDrive, AnInstallationThatCannotFitEndsWithFour) {
    MakeArchive({{"small.txt", "s", kMay}, {"big.bin", std::string(2 << 20, '\0'), kMay}});
    TSetupOptions options;
    options.silent = true;
    options.hasFolder = true;
    options.folder = kDest;
    EXPECT_EQ(RunSilentInstall(options), 4);
    EXPECT_EQ(errorBox.shown, 0);
    EXPECT_TRUE(std::filesystem::is_empty(Host(kDest)));
}

// The entry's values, read back as the registry holds them.
TEST_F(Silent, TheAppsAndFeaturesEntryDescribesTheInstallation) {
    MakeArchive(kProduct);
    ASSERT_EQ(RunSilent("D:\\Kavoru Test Dir"), 0);
    RegKey key;
    ASSERT_TRUE(key.Open(TRegistryRoot::LocalMachine, kUninstallKey));
    struct Value {
        const char* name;
        std::uint32_t type;
        std::string data;
    };
    // 3002 + 4 + 9 + 7 bytes: 3 KiB rounded up.
    const Value values[] = {
        {"DisplayName", reg::Sz, "Kavoru Qyn"},
        {"DisplayVersion", reg::Sz, "1.0.0.0"},
        {"Publisher", reg::Sz, "Kavoru Software Development CO., LTD."},
        {"InstallLocation", reg::Sz, "D:\\Kavoru Test Dir"},
        {"DisplayIcon", reg::Sz, "D:\\Kavoru Test Dir\\qynapp.exe"},
        {"UninstallString", reg::Sz, "\"D:\\Kavoru Test Dir\\UnInstall.exe\""},
        {"QuietUninstallString", reg::Sz, "\"D:\\Kavoru Test Dir\\UnInstall.exe\" /S"},
        {"EstimatedSize", reg::Dword, std::string("\3\0\0\0", 4)},
        {"NoModify", reg::Dword, std::string("\1\0\0\0", 4)},
        {"NoRepair", reg::Dword, std::string("\1\0\0\0", 4)},
    };
    for (const Value& expected : values) {
        RegistryValue value;
        ASSERT_TRUE(key.QueryValue(expected.name, value)) << expected.name;
        EXPECT_EQ(value.type, expected.type) << expected.name;
        EXPECT_EQ(value.data, expected.data) << expected.name;
    }

    // Without UnInstall.exe there is nothing to list, as there is no shortcut to it.
    Reset();
    MakeArchive({kProduct[0], kProduct[3]});
    ASSERT_EQ(RunSilent(), 0);
    EXPECT_FALSE(key.Open(TRegistryRoot::LocalMachine, kUninstallKey));
}

} // namespace
} // namespace kq
