// The uninstaller's rules on the stand-in: which logged files go and which stay, the names and
// links that must never lead out of the installation folder, the shortcuts, registry entries
// and folders it removes, and its exit code. Logs are written with the system's profile writer
// and stamps set explicitly, so the expected outcomes come from the cases, not from our reader.
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "test/standin_root.h"
#include "uninstall/uninstall_options.h"
#include "uninstall/uninstall_texts.h"
#include "uninstall/uninstaller.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

constexpr const char* kFolder = "C:\\Prog\\";
constexpr const char* kSelf = "C:\\Prog\\UnInstall.exe";
constexpr std::uint32_t kInstalled = 0x5A2B6000; // 2025-01-11 12:00:00
constexpr std::uint32_t kEdited = 0x5A2B6010;    // 32 seconds later
constexpr std::uint32_t kLate = 0x8D9F6000;      // 2050-12-31 12:00:00, logged as negative

void MakeFile(const std::string& path, std::uint32_t stamp) {
    File file(path, FileMode::Create);
    ASSERT_TRUE(file.IsOpen()) << path;
    ASSERT_EQ(file.Write("x", 1), 1);
    ASSERT_TRUE(file.SetDosDateTime(stamp));
    ASSERT_TRUE(file.Close());
}

void Log(int index, const std::string& name, std::int64_t stamp) {
    const std::string log = std::string(kFolder) + "Uninstall.log";
    ASSERT_TRUE(WritePrivateProfileString("Qyn", std::to_string(index), name, log));
    ASSERT_TRUE(
        WritePrivateProfileString("Qyn", "D" + std::to_string(index), std::to_string(stamp), log));
}

TOutcome OutcomeOf(const TUninstallRun& run, const std::string& path) {
    for (const TPathOutcome& outcome : run.Outcomes()) {
        if (outcome.path == path) {
            return outcome.outcome;
        }
    }
    ADD_FAILURE() << "no outcome for " << path;
    return TOutcome::Failed;
}

TEST(UninstallerNames, HostileNamesAreRefused) {
    const struct {
        const char* name;
        TNameVerdict verdict;
    } cases[] = {
        {"qynapp.exe", TNameVerdict::Safe},
        {"doc\\manual.txt", TNameVerdict::Safe},
        {"doc/manual.txt", TNameVerdict::Safe},
        {"a..b\\c.txt", TNameVerdict::Safe},
        {"\xB9\x5C.txt", TNameVerdict::Safe}, // a Big5 character ending in 0x5C
        {"", TNameVerdict::Empty},
        {"doc\\", TNameVerdict::Empty},
        {"doc\\\\x", TNameVerdict::Empty},
        {"..\\outside.txt", TNameVerdict::DotDot},
        {"doc\\..\\..\\outside.txt", TNameVerdict::DotDot},
        {"../outside.txt", TNameVerdict::DotDot},
        {". .\\x", TNameVerdict::DotDot},
        {"...\\x", TNameVerdict::DotDot},
        {"doc\\.", TNameVerdict::DotDot},
        {"\xB9\x5C..\\x", TNameVerdict::DotDot}, // taken byte by byte: refused, never followed
        {"\\Windows\\win.ini", TNameVerdict::Rooted},
        {"/etc/passwd", TNameVerdict::Rooted},
        {"\\\\server\\share\\x", TNameVerdict::Rooted},
        {"\\\\?\\C:\\x", TNameVerdict::DriveOrStream}, // the colon is seen first
        {"C:\\Windows\\win.ini", TNameVerdict::DriveOrStream},
        {"C:win.ini", TNameVerdict::DriveOrStream},
        {"qynapp.exe:hidden", TNameVerdict::DriveOrStream},
        {"qynapp.exe::$DATA", TNameVerdict::DriveOrStream},
        {"NUL", TNameVerdict::Device},
        {"doc\\con.txt", TNameVerdict::Device},
        {"Com1 .log", TNameVerdict::Device},
        {"lpt9\\x", TNameVerdict::Device},
        {"console.txt", TNameVerdict::Safe},
        {"COM10", TNameVerdict::Safe},
        {"LPT0", TNameVerdict::Safe},
        {"nul2.txt", TNameVerdict::Safe},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckLoggedName(c.name), c.verdict) << c.name;
    }
}

// A hostile log: every refused key names a real file outside the folder with the logged stamp,
// which must survive; the safe keys beside them still go.
TEST(UninstallerRun, HostileLogTouchesNothingOutside) {
    test::StandInRoot root({"c/Prog", "c/outside", "c/windows", "unc/server/share"});
    MakeFile("C:\\outside\\victim.txt", kInstalled);
    MakeFile("C:\\windows\\win.ini", kInstalled);
    MakeFile("\\\\server\\share\\x", kInstalled);
    MakeFile("C:\\Prog\\good.txt", kInstalled);
    std::filesystem::create_directory_symlink(root.Host("C:\\outside"),
                                              root.Host("C:\\Prog\\link"));
    const char* hostile[] = {"..\\outside\\victim.txt",
                             "C:\\outside\\victim.txt",
                             "\\windows\\win.ini",
                             "\\\\server\\share\\x",
                             "link\\victim.txt",
                             "good.txt:stream",
                             "link"};
    int index = 0;
    for (const char* name : hostile) {
        Log(index++, name, kInstalled);
    }
    Log(index, "good.txt", kInstalled);

    TUninstallRun run(kFolder, kSelf);
    ASSERT_TRUE(run.ReadLog());
    run.Run();
    EXPECT_TRUE(FileExists("C:\\outside\\victim.txt"));
    EXPECT_TRUE(FileExists("C:\\windows\\win.ini"));
    EXPECT_TRUE(FileExists("\\\\server\\share\\x"));
    EXPECT_TRUE(std::filesystem::is_symlink(root.Host("C:\\Prog\\link")));
    EXPECT_EQ(OutcomeOf(run, "C:\\Prog\\link\\victim.txt"), TOutcome::Refused);
    EXPECT_EQ(OutcomeOf(run, "C:\\Prog\\..\\outside\\victim.txt"), TOutcome::Refused);
    EXPECT_EQ(OutcomeOf(run, "C:\\Prog\\link"), TOutcome::Refused);
    EXPECT_EQ(OutcomeOf(run, "C:\\Prog\\good.txt"), TOutcome::Removed);
    EXPECT_EQ(run.Kept().size(), 7u);
    EXPECT_EQ(run.ExitCode(), 2);
}

// The round trip's native half: unchanged files go, a changed and a missing one are kept and
// listed, the folders emptied go while one holding the user's file stays, and so do the log,
// InstallPath, the Apps & features entry and the links into the folder, not the others.
TEST(UninstallerRun, RemovesWhatIsUnchangedAndKeepsTheRest) {
    test::StandInRoot root({"c/Prog/doc/deep", "c/Prog/data", "c/elsewhere"});
    MakeFile("C:\\Prog\\qynapp.exe", kInstalled);
    MakeFile("C:\\Prog\\UnInstall.exe", kInstalled);
    MakeFile("C:\\Prog\\doc\\deep\\a.txt", kInstalled);
    MakeFile("C:\\Prog\\doc\\b.txt", kEdited);
    MakeFile("C:\\Prog\\data\\c.dat", kInstalled);
    MakeFile("C:\\Prog\\data\\mine.txt", kInstalled); // the user's, not logged
    MakeFile("C:\\Prog\\Qyn.doc", kLate);
    Log(0, "qynapp.exe", kInstalled);
    Log(1, "UnInstall.exe", kInstalled);
    Log(2, "doc\\deep\\a.txt", kInstalled);
    Log(3, "doc\\b.txt", kInstalled);
    Log(4, "data\\c.dat", kInstalled);
    Log(5, "gone.txt", kInstalled);
    Log(6, "DOC\\DEEP\\A.TXT", kInstalled); // the same file again, as the system's names compare
    Log(7, "Qyn.doc", static_cast<std::int32_t>(kLate));

    RegKey product;
    ASSERT_TRUE(product.Create("Software\\Kavoru\\KavoruQyn"));
    ASSERT_TRUE(product.SetStringValue("InstallPath", kFolder));
    ASSERT_TRUE(product.SetStringValue("Other", "kept"));
    RegKey folders;
    ASSERT_TRUE(
        folders.Open("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"));
    RegistryValue desktop;
    RegistryValue programs;
    ASSERT_TRUE(folders.QueryValue("Desktop", desktop));
    ASSERT_TRUE(folders.QueryValue("Programs", programs));
    std::ofstream(root.Host() + "/registry/HKLM.txt")
        << "[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KavoruQyn]\n"
           "DisplayName=1:KavoruQyn\n"
           "[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other]\n"
           "DisplayName=1:Other\n";
    ASSERT_TRUE(CreateDirectory(programs.data + "\\Qyn"));
    const auto makeLink = [](const std::string& target, const std::string& path) {
        ShellLink link;
        ASSERT_TRUE(link.Create());
        ASSERT_TRUE(link.SetPath(target));
        ASSERT_TRUE(link.Save(path));
    };
    makeLink("C:\\Prog\\qynapp.exe", desktop.data + "\\Qyn.lnk");
    makeLink("C:\\elsewhere\\tool.exe", desktop.data + "\\Tool.lnk");
    makeLink("C:\\Prog\\qynapp.exe", programs.data + "\\Qyn\\Qyn.lnk");
    makeLink("C:\\Prog\\UnInstall.exe", programs.data + "\\Qyn\\Uninstall.lnk");
    // The Startup folder is one of the Programs folder's subfolders.
    makeLink("C:\\Prog\\qynapp.exe", programs.data + "\\Startup\\Qyn.lnk");

    TUninstallRun run(kFolder, kSelf);
    ASSERT_TRUE(run.ReadLog());
    run.Run();

    EXPECT_FALSE(FileExists("C:\\Prog\\qynapp.exe"));
    EXPECT_FALSE(FileExists("C:\\Prog\\Qyn.doc"));
    EXPECT_TRUE(FileExists(kSelf)) << "the running program removes itself last";
    EXPECT_FALSE(DirectoryExists("C:\\Prog\\doc\\deep"));
    EXPECT_TRUE(FileExists("C:\\Prog\\doc\\b.txt"));
    EXPECT_FALSE(FileExists("C:\\Prog\\data\\c.dat"));
    EXPECT_TRUE(FileExists("C:\\Prog\\data\\mine.txt"));
    EXPECT_FALSE(FileExists("C:\\Prog\\Uninstall.log"));
    EXPECT_FALSE(FileExists(desktop.data + "\\Qyn.lnk"));
    EXPECT_TRUE(FileExists(desktop.data + "\\Tool.lnk"));
    EXPECT_FALSE(DirectoryExists(programs.data + "\\Qyn"));
    EXPECT_FALSE(FileExists(programs.data + "\\Startup\\Qyn.lnk"));
    EXPECT_TRUE(DirectoryExists(programs.data + "\\Startup")) << "emptied, yet the system's";

    const std::vector<TPathOutcome> kept = run.Kept();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].path, "C:\\Prog\\doc\\b.txt");
    EXPECT_EQ(kept[0].outcome, TOutcome::Changed);
    EXPECT_EQ(kept[1].path, "C:\\Prog\\gone.txt");
    EXPECT_EQ(kept[1].outcome, TOutcome::Missing);
    EXPECT_EQ(run.ExitCode(), 2);

    RegKey after;
    ASSERT_TRUE(after.Open("Software\\Kavoru\\KavoruQyn"));
    RegistryValue value;
    EXPECT_FALSE(after.QueryValue("InstallPath", value));
    EXPECT_TRUE(after.QueryValue("Other", value));
    std::ifstream hklm(root.Host() + "/registry/HKLM.txt");
    const std::string machine((std::istreambuf_iterator<char>(hklm)), {});
    EXPECT_EQ(machine.find("Uninstall\\KavoruQyn]"), std::string::npos) << machine;
    EXPECT_NE(machine.find("Uninstall\\Other]"), std::string::npos) << machine;
}

TEST(UninstallerRun, CleanInstallationEndsWithZero) {
    test::StandInRoot root({"c/Prog/doc"});
    MakeFile("C:\\Prog\\doc\\a.txt", kInstalled);
    Log(0, "doc\\a.txt", kInstalled);
    TUninstallRun run(kFolder, kSelf);
    ASSERT_TRUE(run.ReadLog());
    run.Run();
    EXPECT_TRUE(run.Kept().empty());
    EXPECT_EQ(run.ExitCode(), 0);
    EXPECT_FALSE(DirectoryExists("C:\\Prog\\doc"));
}

TEST(UninstallerRun, NoLogIsReported) {
    test::StandInRoot root({"c/Prog"});
    TUninstallRun run(kFolder, kSelf);
    EXPECT_FALSE(run.ReadLog());
}

// A log that cannot be read whole (here one of more than 2 GiB, sparse) is no log: were it read
// as empty, the run would remove the log and report success with every file left behind.
TEST(UninstallerRun, UnreadableLogIsNoLog) {
    test::StandInRoot root({"c/Prog"});
    Log(0, "a.txt", kInstalled);
    std::filesystem::resize_file(root.Host("C:\\Prog\\Uninstall.log"), 0x80000000u);
    TUninstallRun run(kFolder, kSelf);
    EXPECT_FALSE(run.ReadLog());
}

TEST(UninstallerOptions, CommandLines) {
    const struct {
        const char* line;
        bool silent;
        const char* logFile;
        const char* remove;
        bool valid;
    } cases[] = {
        {"", false, "", "", true},
        {"/S", true, "", "", true},
        {"/s /LOG=C:\\u.txt", true, "C:\\u.txt", "", true},
        {"/LOG=\"C:\\my logs\\u.txt\" /S", true, "C:\\my logs\\u.txt", "", true},
        {"/REMOVE=\"C:\\Program Files\\Q\\UnInstall.exe\"", false, "",
         "C:\\Program Files\\Q\\UnInstall.exe", true},
        {"/X", false, "", "", false},
        {"/S stray", true, "", "", false},
        {"/LOG=", false, "", "", false},
    };
    for (const auto& c : cases) {
        const TUninstallOptions options = ParseUninstallOptions(c.line);
        EXPECT_EQ(options.silent, c.silent) << c.line;
        EXPECT_EQ(options.logFile, c.logFile) << c.line;
        EXPECT_EQ(options.removeOriginal, c.remove) << c.line;
        EXPECT_EQ(options.valid, c.valid) << c.line;
    }
}

TEST(UninstallerOptions, TheProgramNameIsSkipped) {
    const struct {
        const char* line;
        bool silent;
        bool valid;
    } cases[] = {
        {"UnInstall.exe", false, true},
        {"\"C:\\Program Files\\Q\\UnInstall.exe\" /S", true, true},
        {"\"C:\\Program Files\\Q\\UnInstall.exe\"", false, true},
        {"C:\\Q\\UnInstall.exe /s", true, true},
        {"C:\\Q\\UnInstall.exe /Q", false, false},
    };
    for (const auto& c : cases) {
        const TUninstallOptions options = ParseUninstallCommandLine(c.line);
        EXPECT_EQ(options.silent, c.silent) << c.line;
        EXPECT_EQ(options.valid, c.valid) << c.line;
    }
}

// Each language answers with its own bytes: GBK, Big5, ASCII.
TEST(UninstallerTexts, LanguageFollowsTheCodePage) {
    EXPECT_EQ(TUninstallTexts(1252).Text("sUnMissing"), "Missing");
    EXPECT_EQ(TUninstallTexts(936).Text("sUnRemoved"), "\xD2\xD1\xC9\xBE\xB3\xFD");
    EXPECT_EQ(TUninstallTexts(950).Text("sUnRemoved"), "\xA4\x77\xB2\xBE\xB0\xA3");
    EXPECT_EQ(TUninstallTexts(1252).Text("sUnNoLog", "C:\\Q\\"),
              "No uninstall log (Uninstall.log) was found in C:\\Q\\.");
    const char* names[] = {"sUnCaption",  "sUnConfirm", "sUnNoLog",    "sUnDone",
                           "sUnKeptHead", "sUnRemoved", "sUnChanged",  "sUnMissing",
                           "sUnRefused",  "sUnFailed",  "sUnSelfCopy", "sUnSelfRestart",
                           "sUnSelfKept", "sUnUsage"};
    for (const std::uint32_t codePage : {936u, 950u, 1252u}) {
        const TUninstallTexts texts(codePage);
        for (const char* name : names) {
            EXPECT_FALSE(texts.Text(name).empty()) << name << " in " << codePage;
        }
    }
}

} // namespace
} // namespace kq
