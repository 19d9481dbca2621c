// The installation run on the stand-in platform: a setup archive made by Info-ZIP zip with the
// product's password, installed through the wizard's pages; the files, the uninstall log, the
// shortcuts and the registry value checked against the archive's sources and hand-packed stamps.
// Archives with bytes inverted by hand show which files are damaged and do not complete.
#include "../platform/lnk_reader.h"
#include "../unzip/support/zip_entries.h"
#include "installation_fixture.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "setup/archive_password.h"
#include "setup/shortcuts.h"
#include "test/code_page.h"
#include "test/file_times.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <utime.h>

namespace kq {
namespace {

using setup_test::Exited;
using setup_test::Wizard;

using setup_test::Installation;
using setup_test::kDest;
using setup_test::kJune;
using setup_test::kLate;
using setup_test::kMay;
using setup_test::kProduct;
using setup_test::LocalStamp;
using setup_test::LogKeys;
using setup_test::LogLines;
using setup_test::ReadHostFile;
using setup_test::SmallDrive;
using setup_test::SourceFile;
using setup_test::Told;
using setup_test::WriteHostFile;

TEST_F(Installation, InstallsTheFilesLogsThemAndMakesTheShortcutsAndTheRegistryValue) {
    struct Case {
        const char* label;
        bool withReadme;
    };
    for (const Case c : {Case{"with Qyn.doc", true}, Case{"without Qyn.doc", false}}) {
        SCOPED_TRACE(c.label);
        Reset();
        std::vector<SourceFile> files = {
            {"qynapp.exe", std::string(70000, 'x') + "MZ", kMay},
            {"data/sub/table.bin", std::string("\0\1\2\3", 4), kJune},
            {"UnInstall.exe", "uninstall", kLate},
        };
        if (c.withReadme) {
            files.push_back({"Qyn.doc", "read me", kMay});
        }
        MakeArchive(files);

        auto form = Install();
        EXPECT_EQ(errorBox.shown, 0) << errorBox.text;
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 4);
        EXPECT_EQ(form->ProgressBar1->Position(), 100);

        std::vector<std::pair<std::string, std::string>> keys;
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::string stored = files[i].name;
            std::replace(stored.begin(), stored.end(), '/', '\\');
            EXPECT_TRUE(ReadHostFile(Host(kDest + stored)) == files[i].bytes) << stored;
            keys.emplace_back(std::to_string(i), stored);
            keys.emplace_back("D" + std::to_string(i), std::to_string(files[i].stamp.Dos()));
        }
        EXPECT_EQ(Log(), LogLines(keys));
        EXPECT_EQ(InstallPath(), kDest);

        struct Link {
            std::string folder, name, target, description;
        };
        const std::string programs = ShellFolder("Programs") + "\\" + kProduct + "\\";
        std::vector<Link> links = {
            {programs, std::string(kProduct) + ".lnk", "qynapp.exe", kProduct},
            {ShellFolder("Desktop") + "\\", std::string(kProduct) + ".lnk", "qynapp.exe", kProduct},
            {programs, "Uninstall Qyn.lnk", "UnInstall.exe", "Uninstall Qyn"},
        };
        const std::string readme = programs + "Qyn Readme.lnk";
        EXPECT_EQ(std::filesystem::exists(Host(readme)), c.withReadme);
        if (c.withReadme) {
            links.push_back({programs, "Qyn Readme.lnk", "Qyn.doc", "Qyn Readme"});
        }
        for (const Link& link : links) {
            test::LinkFile read;
            std::string error;
            ASSERT_TRUE(
                test::LinkReader(ReadHostFile(Host(link.folder + link.name))).Read(read, error))
                << link.folder << link.name << ": " << error;
            EXPECT_EQ(read.localPath, kDest + link.target) << link.name;
            EXPECT_EQ(read.workingDirectory, kDest) << link.name;
            EXPECT_EQ(read.name, link.description) << link.name;
        }
    }
}

TEST_F(Installation, ASecondInstallReplacesTheKeysOfWhatItExtractsAndKeepsTheOthers) {
    MakeArchive({{"a.txt", "a1", kMay}, {"b.txt", "b1", kMay}, {"c.txt", "c1", kMay}});
    ASSERT_EQ(RunInstallation().result, TInstallResult::Installed);
    // Index 0 is newer now; index 1 is another file; c.txt is not in the archive.
    MakeArchive({{"a.txt", "a2", kJune}, {"d.txt", "d2", kMay}});
    EXPECT_EQ(RunInstallation().result, TInstallResult::Installed);
    const std::string may = std::to_string(kMay.Dos());
    EXPECT_EQ(Log(), LogLines({{"0", "a.txt"},
                               {"D0", std::to_string(kJune.Dos())},
                               {"1", "d.txt"},
                               {"D1", may},
                               {"2", "c.txt"},
                               {"D2", may}}));
    EXPECT_EQ(ReadHostFile(Host(std::string(kDest) + "a.txt")), "a2");
}

TEST_F(Installation, AFileThatCannotBeMadeAsksToRetryAndNoEndsTheProgram) {
    MakeArchive({{"first.txt", "1", kMay}, {"blocked.txt", "2", kMay}, {"last.txt", "3", kMay}});
    const std::string blocked = std::string(kDest) + "blocked.txt";
    // A folder where the file should go cannot be opened as a file.
    std::filesystem::create_directories(Host(kDest) + "/blocked.txt");
    const std::string question =
        "Copy file error. File is likely to be used.\r\n" + blocked + "\r\nRetry?";

    // Yes tries again; the second time the way is clear.
    SetMessageDialogResponder([&](const AnsiString& message, TDialogKind, TDialogButtons) {
        questions.push_back(message);
        if (questions.size() == 2) {
            std::filesystem::remove(Host(blocked));
        }
        return id::Yes;
    });
    auto form = Install();
    EXPECT_EQ(questions, (std::vector<AnsiString>{question, question}));
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 4);
    EXPECT_EQ(ReadHostFile(Host(blocked)), "2");
    form.reset();

    // No ends the program with 0: the files so far and their keys stay, nothing after them.
    Reset();
    std::filesystem::create_directories(Host(kDest) + "/blocked.txt");
    questions.clear();
    SetMessageDialogResponder([&](const AnsiString& message, TDialogKind, TDialogButtons) {
        questions.push_back(message);
        return id::No;
    });
    auto wizard = Start();
    wizard->ButtonNext1Click(nullptr);
    wizard->EditDir->SetText(kDest);
    Click([&] { wizard->ButtonNext2Click(nullptr); });
    try {
        wizard->ButtonNext3Click(nullptr);
        ADD_FAILURE() << "the program went on after No";
    } catch (const Exited& exited) {
        EXPECT_EQ(exited.code, 0u);
    }
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(Log(), LogLines({{"0", "first.txt"}, {"D0", std::to_string(kMay.Dos())}}));
    EXPECT_FALSE(std::filesystem::exists(Host(std::string(kDest) + "last.txt")));
    EXPECT_EQ(InstallPath(), "<none>");
    EXPECT_FALSE(std::filesystem::exists(Host(ShellFolder("Desktop") + "\\" + kProduct + ".lnk")));
}

TEST_F(Installation, AMissingArchiveShowsTheErrorAndStaysOnTheInstallingPage) {
    auto form = Install();
    EXPECT_EQ(errorBox.shown, 1);
    EXPECT_NE(errorBox.text.find("Setup.dat"), std::string::npos) << errorBox.text;
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 3);
    EXPECT_EQ(InstallPath(), "<none>");
}

// What each way an installation can end returns, tells and leaves, driven without the window.
TEST_F(Installation, EachOutcomeIsToldAndLoggedAndLeavesWhatItSays) {
    const std::string damaged =
        "The installation archive is damaged. Please download it again. Damaged files:\r\nb.txt";
    const std::string blocked = std::string(kDest) + "b.txt";
    struct Case {
        const char* label;
        bool archive, flipB, blockB, unattended;
        TInstallResult result;
        std::string message;   // the outcome's, also the log's last line
        std::size_t questions; // retry questions asked (each answered No)
        bool damagedTold, installPath;
    };
    const Case cases[] = {
        {"installed", true, false, false, false, TInstallResult::Installed, "", 0, false, true},
        {"missing archive", false, false, false, false, TInstallResult::ArchiveFailed,
         "Cannot open file \"C:\\Media\\Setup.dat\". The system cannot find the file specified.", 0,
         false, false},
        {"damaged entry", true, true, false, false, TInstallResult::Damaged, damaged, 0, true,
         false},
        {"retry answered No", true, false, true, false, TInstallResult::Cancelled, "", 1, false,
         false},
        {"unattended: no question", true, false, true, true, TInstallResult::Cancelled, "", 0,
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Reset();
        std::filesystem::remove(root_ + "/c/Media/Setup.dat");
        if (c.archive) {
            MakeArchive({{"a.txt", "aaaa", kMay}, {"b.txt", "bbbb", kMay}}, false, "-0");
        }
        if (c.flipB) {
            std::string bytes = ReadHostFile(root_ + "/c/Media/Setup.dat");
            bytes[bytes.find("bbbb")] ^= 0xFF;
            WriteHostFile(root_ + "/c/Media/Setup.dat", bytes);
        }
        if (c.blockB) {
            std::filesystem::create_directories(Host(blocked));
        }
        Told told;
        const TInstallOutcome outcome = RunInstallation(told, c.unattended);
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(outcome.error != nullptr, c.result == TInstallResult::ArchiveFailed);
        if (!c.message.empty()) {
            EXPECT_EQ(told.log.back(), c.message);
        }
        EXPECT_EQ(told.questions.size(), c.questions);
        EXPECT_EQ(told.damaged,
                  c.damagedTold ? std::vector<AnsiString>{damaged} : std::vector<AnsiString>{});
        EXPECT_EQ(InstallPath(), c.installPath ? kDest : "<none>");
        if (c.archive) {
            // a.txt is whole and logged, whatever came after it.
            EXPECT_EQ(ReadHostFile(Host(std::string(kDest) + "a.txt")), "aaaa");
            EXPECT_EQ(LogKeys(Log())["0"], "a.txt");
        }
    }
}

// Where a byte of an entry is inverted: amid its data, or the last byte of its 12-byte
// encryption header, which decrypts to the byte that checks the password.
enum class Spot { Middle, CheckByte };

struct Flip {
    const char* entry;
    Spot spot;
};

// How zip packs the archive: with or without the product's password, the options that choose
// the method, and the method it then uses for each entry.
struct Packing {
    bool encrypted;
    const char* zipOptions;
    std::uint16_t method;
};
constexpr Packing kStored{false, "-0", 0};
constexpr Packing kDeflated{false, "", 8};
constexpr Packing kStoredEncrypted{true, "-0", 0};
constexpr Packing kDeflatedEncrypted{true, "", 8};

std::string ProgramText() {
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += "program line " + std::to_string(i) + "\n";
    }
    return text;
}

TEST_F(Installation, ADamagedArchiveNamesItsBadFilesAndTheInstallationDoesNotComplete) {
    const std::vector<SourceFile> files = {
        {"qynapp.exe", ProgramText(), kMay},
        {"data/sub/notes.txt", std::string(3000, 'n'), kJune},
        {"UnInstall.exe", std::string(2000, 'u'), kLate},
    };
    // The box in each language, its texts converted by iconv.
    struct Language {
        std::string message, title;
    };
    const std::map<unsigned, Language> languages = {
        {1252,
         {"The installation archive is damaged. Please download it again. Damaged files:",
          "Kavoru Qyn Setup"}},
        {936,
         {test::Gbk(u8"安装文件已损坏，请重新下载后再安装。损坏的文件："),
          "KavoruQyn" + test::Gbk(u8"安装系统")}},
    };
    struct Case {
        const char* label;
        unsigned codePage;
        Packing packing;
        std::vector<Flip> flips;
        const char* listed; // the damaged files as the box lists them
    };
    const Flip notes{"data/sub/notes.txt", Spot::Middle};
    const Case cases[] = {
        // Reported through OnBadCRC.
        {"a stored entry", 1252, kStored, {notes}, "data\\sub\\notes.txt"},
        {"a deflated entry", 1252, kDeflated, {{"qynapp.exe", Spot::Middle}}, "qynapp.exe"},
        // Reported through OnSkippingFile as srBadPassword.
        {"an encrypted entry with damaged data",
         936,
         kDeflatedEncrypted,
         {notes},
         "data\\sub\\notes.txt"},
        {"an encrypted entry failing the password check",
         1252,
         kStoredEncrypted,
         {{"UnInstall.exe", Spot::CheckByte}},
         "UnInstall.exe"},
        {"two damaged files, one box",
         936,
         kDeflatedEncrypted,
         {{"qynapp.exe", Spot::Middle}, {"UnInstall.exe", Spot::CheckByte}},
         "qynapp.exe\r\nUnInstall.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Reset();
        errorBox = {};
        SetAnsiCodePage(c.codePage);
        MakeArchive(files, c.packing.encrypted, c.packing.zipOptions);
        const std::string archive = root_ + "/c/Media/Setup.dat";
        std::vector<std::uint8_t> bytes = test::ReadFileBytes(archive);
        const std::vector<test::ZipEntry> entries = test::ListEntries(bytes);
        ASSERT_EQ(entries.size(), files.size());
        for (const test::ZipEntry& entry : entries) {
            ASSERT_EQ(entry.method, c.packing.method) << entry.name;
            ASSERT_EQ((entry.flags & 1) != 0, c.packing.encrypted) << entry.name;
            ASSERT_GT(entry.compressedSize, 12u) << entry.name;
            ASSERT_NE(entry.dataOffset, 0u) << entry.name;
        }
        std::set<std::string> damaged;
        for (const Flip& flip : c.flips) {
            const auto entry = std::find_if(entries.begin(), entries.end(),
                                            [&](const auto& e) { return e.name == flip.entry; });
            ASSERT_NE(entry, entries.end()) << flip.entry;
            const std::size_t at = flip.spot == Spot::Middle ? entry->compressedSize / 2 : 11;
            bytes[entry->dataOffset + at] ^= 0xFF;
            damaged.insert(flip.entry);
        }
        WriteHostFile(archive, std::string(bytes.begin(), bytes.end()));

        auto form = Install();
        const Language& language = languages.at(c.codePage);
        EXPECT_EQ(errorBox.shown, 1);
        EXPECT_EQ(errorBox.text, language.message + "\r\n" + c.listed);
        EXPECT_EQ(errorBox.caption, language.title);
        EXPECT_EQ(errorBox.flags, mb::Ok | mb::IconError);
        EXPECT_TRUE(questions.empty());
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 3);

        // The good files are installed and logged as always; the damaged ones are not there.
        std::vector<std::pair<std::string, std::string>> keys;
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::string stored = files[i].name;
            std::replace(stored.begin(), stored.end(), '/', '\\');
            const std::string path = Host(kDest + stored);
            if (damaged.count(files[i].name) != 0) {
                EXPECT_FALSE(std::filesystem::exists(path)) << stored;
                continue;
            }
            EXPECT_TRUE(ReadHostFile(path) == files[i].bytes) << stored;
            keys.emplace_back(std::to_string(i), stored);
            keys.emplace_back("D" + std::to_string(i), std::to_string(files[i].stamp.Dos()));
        }
        EXPECT_EQ(Log(), LogLines(keys));
        EXPECT_EQ(InstallPath(), "<none>");
        for (const char* folder : {"Programs", "Desktop"}) {
            const std::string host = Host(ShellFolder(folder));
            if (!std::filesystem::exists(host)) {
                continue;
            }
            for (const auto& item : std::filesystem::recursive_directory_iterator(host)) {
                EXPECT_NE(item.path().extension(), ".lnk") << item.path();
            }
        }
    }
}

TEST_F(Installation, TheRunAfterAnInterruptedOneLogsTheFilesThatOneLeftUnlogged) {
    MakeArchive({{"a.txt", "a1", kMay}, {"b.txt", "b1", kMay}, {"c.txt", "c1", kMay}});
    ASSERT_EQ(RunInstallation().result, TInstallResult::Installed);
    // The first run ended after b.txt took its name, before its keys were written; c.txt has
    // been changed since (a later time).
    const std::string may = std::to_string(kMay.Dos());
    WriteHostFile(Host(std::string(kDest) + "Uninstall.log"),
                  LogLines({{"0", "a.txt"}, {"D0", may}}));
    const std::string changed = Host(std::string(kDest) + "c.txt");
    WriteHostFile(changed, "mine");
    const struct utimbuf late {
        kLate.Host(), kLate.Host()
    };
    ASSERT_EQ(::utime(changed.c_str(), &late), 0);

    EXPECT_EQ(RunInstallation().result, TInstallResult::Installed);
    // b.txt, whole and of its entry's time, is logged again; c.txt, kept, is not.
    EXPECT_EQ(Log(), LogLines({{"0", "a.txt"}, {"D0", may}, {"1", "b.txt"}, {"D1", may}}));
    EXPECT_EQ(ReadHostFile(changed), "mine");
}

// Over an earlier installation whose log has become read-only: the run stops with the error at
// the first file, an upgraded one, and deletes nothing, neither that file nor the ones kept.
TEST_F(Installation, ALogThatCannotBeWrittenStopsTheRunAndDeletesNothing) {
    MakeArchive({{"a.txt", "a1", kMay}, {"b.txt", "b1", kMay}});
    ASSERT_EQ(RunInstallation().result, TInstallResult::Installed);
    MakeArchive({{"a.txt", "a2", kJune}, {"b.txt", "b1", kMay}});
    const std::string log = std::string(kDest) + "Uninstall.log";
    ASSERT_TRUE(SetFileAttributes(log, attr::ReadOnly));

    const TInstallOutcome outcome = RunInstallation();
    EXPECT_EQ(outcome.result, TInstallResult::ArchiveFailed);
    EXPECT_EQ(outcome.message.rfind("Cannot write file \"" + log + "\". ", 0), 0u)
        << outcome.message;
    EXPECT_EQ(ReadHostFile(Host(std::string(kDest) + "a.txt")), "a2");
    EXPECT_EQ(ReadHostFile(Host(std::string(kDest) + "b.txt")), "b1");
}

TEST_F(Installation, FilesKeptBecauseTheyAreNotOlderAreNoDamage) {
    MakeArchive({{"a.txt", "a1", kMay}, {"b.txt", "b1", kJune}});
    ASSERT_EQ(RunInstallation().result, TInstallResult::Installed);
    // Both files exist with the entries' times: ifNewer keeps them.
    Told told;
    EXPECT_EQ(RunInstallation(told).result, TInstallResult::Installed);
    EXPECT_TRUE(told.damaged.empty());
    EXPECT_TRUE(told.notMade.empty());
    EXPECT_EQ(InstallPath(), kDest);
}

TEST_F(Installation, ShortcutsFollowTheNamingAndFolderRules) {
    ComApartment com;
    const std::string appData = ShellFolder("AppData");
    const std::string programs = ShellFolder("Programs");
    const std::string quickLaunch = appData + "\\Microsoft\\Internet Explorer\\Quick Launch";
    std::filesystem::create_directories(Host(quickLaunch));
    struct Case {
        const char* target;
        const char* linkName;
        TShortcutFolder folder;
        const char* subFolder;
        bool saved;
        std::string file, description; // the link's path and description when saved
    };
    const Case cases[] = {
        {"C:\\P\\tool.exe", "", TShortcutFolder::sfDesktop, "", true,
         ShellFolder("Desktop") + "\\tool.lnk", "tool.exe"},
        {"C:\\P\\tool.exe", "a.b", TShortcutFolder::sfStartup, "", true,
         ShellFolder("Startup") + "\\a.lnk", "a.b"},
        {"C:\\P\\tool.exe", "Uninstall Qyn", TShortcutFolder::sfPrograms, "KavoruQyn", true,
         programs + "\\KavoruQyn\\Uninstall Qyn.lnk", "Uninstall Qyn"},
        {"C:\\P.d\\tool", "", TShortcutFolder::sfQuickLaunch, "", true, quickLaunch + "\\tool.lnk",
         "tool"},
        {"C:\\P\\tool.exe", "Deep", TShortcutFolder::sfStartMenu, "x\\y", false, "", ""},
        {"C:\\P\\tool.exe", "Odd", static_cast<TShortcutFolder>(5), "", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.linkName) + " in folder " +
                     std::to_string(static_cast<int>(c.folder)));
        EXPECT_EQ(CreateShortcut(c.target, c.linkName, c.folder, c.subFolder), c.saved);
        if (!c.saved) {
            continue;
        }
        test::LinkFile read;
        std::string error;
        ASSERT_TRUE(test::LinkReader(ReadHostFile(Host(c.file))).Read(read, error)) << error;
        EXPECT_EQ(read.localPath, c.target);
        EXPECT_EQ(read.name, c.description);
    }

    // No target: the computer's name in the code page of 936.
    SetAnsiCodePage(936);
    EXPECT_TRUE(CreateShortcut("", "", TShortcutFolder::sfPrograms, ""));
    EXPECT_TRUE(std::filesystem::exists(Host(programs + "\\\xCE\xD2\xB5\xC4\xB5\xE7\xC4\xD4.lnk")));
    SetAnsiCodePage(1252);

    // A folder value that is not a string is an error; a missing one only a failure.
    RegKey key;
    ASSERT_TRUE(
        key.Create("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"));
    ASSERT_TRUE(key.SetValue("Desktop", reg::Dword, std::string("\1\0\0\0", 4)));
    EXPECT_THROW(CreateShortcut("C:\\P\\tool.exe", "", TShortcutFolder::sfDesktop, ""), Exception);
    ASSERT_TRUE(key.SetValue("Startup", reg::Sz, ""));
    EXPECT_FALSE(CreateShortcut("C:\\P\\tool.exe", "", TShortcutFolder::sfStartup, ""));
}

TEST_F(SmallDrive, AnInstallationThatCannotFitDoesNotStart) {
    MakeArchive({{"small.txt", "s", kMay}, {"big.bin", std::string(2 << 20, '\0'), kMay}});
    auto form = Install();
    EXPECT_EQ(errorBox.shown, 1);
    EXPECT_EQ(errorBox.text.rfind("Not enough disk space: 2.0 MB needed, ", 0), 0u)
        << errorBox.text;
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 2);
    EXPECT_TRUE(std::filesystem::is_empty(Host(kDest)));
    EXPECT_EQ(InstallPath(), "<none>");
    EXPECT_FALSE(std::filesystem::exists(Host(ShellFolder("Desktop") + "\\" + kProduct + ".lnk")));
}

TEST_F(SmallDrive, AFullDiskStopsTheInstallationAndTheLogNamesOnlyWholeFiles) {
    const std::string chunk(200 << 10, 'z');
    MakeArchive({{"one.bin", chunk, kMay}, {"two.bin", chunk, kMay}, {"three.bin", chunk, kMay}});
    // Once the first file is logged, something else takes what is left of the drive.
    SetMessagePumpHook([this] {
        if (std::filesystem::exists(root_ + "/d/filler") ||
            !std::filesystem::exists(Host(std::string(kDest) + "Uninstall.log")) ||
            Log().find("=one.bin") == std::string::npos) {
            return;
        }
        std::ofstream filler(root_ + "/d/filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size())) {
            ;
        }
    });
    auto form = Install();
    EXPECT_EQ(errorBox.shown, 1);
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 3);
    const std::string log = Log();
    for (const char* name : {"one.bin", "two.bin", "three.bin"}) {
        const bool logged = log.find(std::string("=") + name + "\r\n") != std::string::npos;
        const std::string path = Host(std::string(kDest) + name);
        if (logged) {
            EXPECT_TRUE(ReadHostFile(path) == chunk) << name << " is logged but not whole";
        }
    }
    EXPECT_NE(log.find("=one.bin\r\n"), std::string::npos) << log;
    EXPECT_EQ(InstallPath(), "<none>");
}

} // namespace
} // namespace kq
