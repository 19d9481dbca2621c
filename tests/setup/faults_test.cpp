// The wizard under faults, on the stand-in platform: Cancel confirmed while an installation of 50
// files runs, and a translation file in the current folder that is damaged, huge or written for
// something else.
#include "platform/files.h"
#include "platform/messages.h"
#include "setup/archive_password.h"
#include "wizard_fixture.h"

#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utime.h>

namespace kq {
namespace {

using setup_test::Exited;
using setup_test::Wizard;

namespace fs = std::filesystem;

constexpr const char* kDest = "D:\\Apps\\Faults\\";

std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A host time as the log shows it: local time packed as a DOS date (high half) and time (low
// half, seconds halved), signed.
std::int32_t DosStamp(std::time_t when) {
    std::tm tm{};
    localtime_r(&when, &tm);
    const std::uint32_t date = ((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday;
    const std::uint32_t time = (tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2);
    return static_cast<std::int32_t>((date << 16) | time);
}

// The uninstall log's keys, read as plain lines.
std::map<std::string, std::string> LogKeys(const std::string& hostPath) {
    std::map<std::string, std::string> keys;
    std::istringstream text(ReadHostFile(hostPath));
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (const auto equals = line.find('='); equals != std::string::npos) {
            keys[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return keys;
}

class Faults : public Wizard {
protected:
    void SetUp() override {
        Wizard::SetUp();
        SetModuleFileName("C:\\Media\\Setup.exe");
        fs::create_directories(root_ + "/c/Media");
    }

    // Setup.dat of n files f00.txt... (sub-folders every tenth), each with its own bytes and a
    // stamp of its own, packed by Info-ZIP zip with the product's password.
    void MakeArchive(int n) {
        const std::string source = root_ + "/source";
        std::string names;
        for (int i = 0; i < n; ++i) {
            const std::string name = Name(i);
            fs::create_directories(fs::path(source + "/" + name).parent_path());
            std::string bytes;
            for (int line = 0; line <= i * 7; ++line) {
                bytes += "file " + std::to_string(i) + " line " + std::to_string(line) + "\n";
            }
            std::ofstream(source + "/" + name, std::ios::binary) << bytes;
            sources_[name] = bytes;
            // 2001-01-01 plus i days and 2i seconds: even seconds, as a DOS time keeps them.
            const std::time_t when = 978307200 + i * 86402;
            const utimbuf times{when, when};
            ASSERT_EQ(::utime((source + "/" + name).c_str(), &times), 0) << name;
            names += " '" + name + "'";
        }
        const std::string command = "cd '" + source + "' && zip -q -X -D -P '" + ArchivePassword() +
                                    "' '" + root_ + "/c/Media/Setup.dat'" + names;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    static std::string Name(int i) {
        const std::string file = "f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt";
        return i % 10 == 9 ? "sub" + std::to_string(i / 10) + "/" + file : file;
    }

    std::string Host(const std::string& windowsPath) { return *HostPath(windowsPath); }

    std::map<std::string, std::string> sources_; // by stored name, "/" between folders
};

// The files are small, so Cancel comes at the read before a file's first Deflate block. Pressed
// inside a block, the test's exit (an exception, where the real ExitProcess never returns) would
// be taken by the block's catch-all like any other failure in a block.
TEST_F(Faults, CancelDuringTheInstallationEndsWithZeroAndLogsOnlyWholeFilesWithTheirStamps) {
    constexpr int kFiles = 50;
    MakeArchive(kFiles);
    struct Case {
        int at;     // the file being installed when Cancel is pressed
        int answer; // to "Cancel setup?"
        int logged; // files in the log afterwards
    };
    for (const Case c : {Case{0, id::Yes, 0}, Case{25, id::Yes, 25}, Case{kFiles - 1, id::Yes, 49},
                         Case{25, id::No, kFiles}}) {
        SCOPED_TRACE("Cancel at file " + std::to_string(c.at) +
                     (c.answer == id::Yes ? ", Yes" : ", No"));
        fs::remove_all(root_ + "/d");
        fs::create_directories(root_ + "/d");
        questions.clear();
        answer = c.answer;
        auto form = Start();
        form->ButtonNext1Click(nullptr);
        form->EditDir->SetText(kDest);
        Click([&] { form->ButtonNext2Click(nullptr); });

        // Pressed once, from the message pump, while the status line names the file.
        std::string target = Name(c.at);
        std::replace(target.begin(), target.end(), '/', '\\');
        bool pressed = false;
        SetMessagePumpHook([&] {
            const AnsiString status = form->LabelInstall2->Caption();
            if (pressed || status.size() < target.size() ||
                status.compare(status.size() - target.size(), target.size(), target) != 0) {
                return;
            }
            pressed = true;
            form->ButtonCancel3->Click();
        });
        bool exited = false;
        try {
            form->ButtonNext3Click(nullptr);
        } catch (const Exited& e) {
            exited = true;
            EXPECT_EQ(e.code, 0u);
        }
        SetMessagePumpHook({});
        EXPECT_TRUE(pressed);
        EXPECT_EQ(questions.size(), 1u);
        EXPECT_EQ(exited, c.answer == id::Yes);
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), exited ? 3 : 4);

        const std::string log = Host(std::string(kDest) + "Uninstall.log");
        const std::map<std::string, std::string> keys =
            c.logged == 0 && !fs::exists(log) ? std::map<std::string, std::string>{} : LogKeys(log);
        EXPECT_EQ(keys.size(), 2u * c.logged);
        for (const auto& [key, stored] : keys) {
            if (key[0] == 'D') {
                continue;
            }
            SCOPED_TRACE(key + "=" + stored);
            std::string name = stored;
            std::replace(name.begin(), name.end(), '\\', '/');
            ASSERT_EQ(sources_.count(name), 1u);
            const std::string path = Host(kDest + stored);
            EXPECT_TRUE(ReadHostFile(path) == sources_[name]) << "logged but not whole";
            struct stat status {};
            ASSERT_EQ(::stat(path.c_str(), &status), 0);
            ASSERT_EQ(keys.count("D" + key), 1u);
            EXPECT_EQ(keys.at("D" + key), std::to_string(DosStamp(status.st_mtime)));
            const int index = std::stoi(name.substr(name.find('f') + 1, 2));
            EXPECT_EQ(keys.at("D" + key), std::to_string(DosStamp(978307200 + index * 86402)));
        }
        form.reset();
    }
}

// The wizard's extractor replaces read-only files: an older read-only copy in the destination,
// and a read-only destination folder, are no reason to ask the user anything.
TEST_F(Faults, ReadOnlyFilesAndFoldersInTheDestinationAreReplacedWithoutAQuestion) {
    MakeArchive(3);
    const std::string dest = kDest;
    fs::create_directories(Host(dest));
    std::ofstream(Host(dest + "f01.txt"), std::ios::binary) << "an older copy";
    const std::time_t older = 631152000; // 1990-01-01
    const utimbuf times{older, older};
    ASSERT_EQ(::utime(Host(dest + "f01.txt").c_str(), &times), 0);
    ASSERT_TRUE(SetFileAttributes(dest + "f01.txt", attr::ReadOnly));
    ASSERT_TRUE(SetFileAttributes(dest, attr::Directory | attr::ReadOnly));

    auto form = Start();
    form->ButtonNext1Click(nullptr);
    form->EditDir->SetText(kDest);
    Click([&] { form->ButtonNext2Click(nullptr); });
    Click([&] { form->ButtonNext3Click(nullptr); });
    EXPECT_EQ(errorBox.shown, 0) << errorBox.text;
    EXPECT_TRUE(questions.empty()) << questions.front();
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 4);
    EXPECT_TRUE(ReadHostFile(Host(dest + "f01.txt")) == sources_["f01.txt"]);
    const auto keys = LogKeys(Host(dest + "Uninstall.log"));
    EXPECT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys.count("1") == 1 ? keys.at("1") : "", "f01.txt");
}

} // namespace
} // namespace kq

namespace kq {
namespace {

// A UTF-16LE copy of ASCII text.
std::string Utf16(std::string_view ascii) {
    std::string wide;
    for (char c : ascii) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

// Bytes of every value, line breaks, brackets and "=" among them, the same on every run.
std::string Garbage(std::size_t size) {
    std::string bytes;
    std::uint32_t x = 12345;
    while (bytes.size() < size) {
        x = x * 1103515245u + 12345u;
        bytes += static_cast<char>(x >> 23);
    }
    return bytes;
}

class TranslationFile : public Faults {
protected:
    void SetUp() override {
        Faults::SetUp();
        fs::create_directories(root_ + "/c/cwd");
        fs::current_path(root_ + "/c/cwd"); // the stand-in's root puts the previous one back
    }

    // Captions that come from the window's stored description when no row says otherwise.
    static std::vector<AnsiString> Captions(TForm1& form) {
        return {form.ButtonNext1->Caption(),    form.ButtonCancel1->Caption(),
                form.ButtonPrior2->Caption(),   form.ButtonChgDir->Caption(),
                form.ButtonNext3->Caption(),    form.Label5->Caption(),
                form.LabelDestFolder->Caption()};
    }
};

TEST_F(TranslationFile, AFileWithNothingUsableLeavesTheStoredCaptionsAndTheRowsItHasApply) {
    // The stored captions: a run without a file in the language that needs no pass.
    SetAnsiCodePage(936);
    const std::vector<AnsiString> stored = Captions(*Start());
    ASSERT_FALSE(stored[0].empty());

    const std::string huge(3 << 20, 'C');
    struct Case {
        const char* label;
        std::string bytes;
        const char* next1; // ButtonNext1 at code page 936 and 1252; nullptr: the stored one
        const char* next3;
        const char* company; // the product's folder at 1252 is "C:\Program Files\<company>Qyn\"
    };
    const Case cases[] = {
        {"garbage", Garbage(64 << 10), nullptr, nullptr, ""},
        {"empty", "", nullptr, nullptr, ""},
        {"truncated UTF-16 signature", "\xFF", nullptr, nullptr, ""},
        {"UTF-16 signature alone", "\xFF\xFE", nullptr, nullptr, ""},
        {"UTF-16 text",
         "\xFF\xFE" + Utf16("[Captions]\r\nTForm1.ButtonNext1=X~!@#Y~!@#Z\r\n[Strings]\r\n"
                            "TForm1.sCompany=X~!@#Y~!@#Z\r\n"),
         nullptr, nullptr, ""},
        {"odd-length UTF-16", "\xFF\xFE" + Utf16("[Captions]\r\n") + "[", nullptr, nullptr, ""},
        {"UTF-8 signature before the only section",
         "\xEF\xBB\xBF[Captions]\r\nTForm1.ButtonNext1=X~!@#Y~!@#Z\r\n", nullptr, nullptr, ""},
        {"another form's keys",
         "[Captions]\r\nTForm2.ButtonNext1=X~!@#Y~!@#Z\r\nForm2.ButtonNext3=X~!@#Y~!@#Z\r\n"
         "ButtonNext1=X~!@#Y~!@#Z\r\n[Strings]\r\nTForm2.sCompany=X~!@#Y~!@#Z\r\n",
         nullptr, nullptr, ""},
        {"a value that is the reader's default", "[Captions]\r\nTForm1.ButtonNext1=\xFF\r\n",
         nullptr, nullptr, ""},
        {"only strings", "[Strings]\r\nTForm1.sCompany=S1~!@#S2~!@#S3\r\n", nullptr, nullptr, "S3"},
        {"huge lines",
         "[Captions]\r\nTForm1.ButtonNext1=A~!@#B~!@#" + huge + "\r\n" + std::string(4 << 20, '=') +
             "\r\n[" + std::string(2 << 20, 's') + "]\r\nTForm1.ButtonNext3=" + huge +
             "~!@#~!@#\r\n[Captions]\r\nTForm1.Label5=lost~!@#lost~!@#lost\r\n",
         "A", nullptr, ""},
        {"lines without ends",
         "[Captions]\rTForm1.ButtonNext3=N1~!@#N2~!@#N3\r\n;TForm1.ButtonNext1=X~!@#Y~!@#Z\n"
         "TForm1.ButtonNext1",
         nullptr, "N1", ""},
    };
    for (const Case& c : cases) {
        for (const std::uint32_t codePage : {936u, 1252u}) {
            SCOPED_TRACE(std::string(c.label) + " at code page " + std::to_string(codePage));
            std::ofstream("translations.lng", std::ios::binary) << c.bytes;
            SetAnsiCodePage(codePage);
            std::unique_ptr<TForm1> form;
            ASSERT_NO_THROW(form = Start());
            EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0);
            std::vector<AnsiString> expected = stored;
            if (c.next1 != nullptr) {
                expected[0] = codePage == 936 ? c.next1 : huge;
            }
            if (c.next3 != nullptr) {
                expected[4] = codePage == 936 ? c.next3 : "N3";
            }
            const std::vector<AnsiString> shown = Captions(*form);
            for (std::size_t i = 0; i < shown.size(); ++i) {
                EXPECT_TRUE(shown[i] == expected[i])
                    << "caption " << i << ": " << shown[i].substr(0, 40);
            }
            if (codePage == 1252) {
                EXPECT_EQ(form->EditDir->Text(),
                          std::string("C:\\Program Files\\") + c.company + "Qyn\\");
            }
        }
    }
}

} // namespace
} // namespace kq

namespace kq {
namespace {

// The log is what an uninstaller deletes: each path in it, taken relative to the destination
// folder, must name the file written there, also where the stored name had to be made safe.
// Disabled until the log writes the output path instead of the stored one.
TEST_F(Faults, TheLogNamesEachFileWhereItWasWritten) {
    // Python's zipfile keeps the names as given; each entry holds its own name.
    const std::string script =
        "import sys, zipfile\n"
        "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
        "    for n in sys.argv[2:]:\n"
        "        z.writestr(zipfile.ZipInfo(n, (2020, 2, 29, 13, 14, 16)), n)\n";
    std::ofstream(root_ + "/make.py") << script;
    const std::vector<std::string> names = {"..\\..\\outside.txt", "C:\\abs\\drive.txt", "CON",
                                            "name:stream", "ok\\plain.txt"};
    std::string command = "python3 '" + root_ + "/make.py' '" + root_ + "/c/Media/Setup.dat'";
    for (const std::string& name : names) {
        command += " '" + name + "'";
    }
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    auto form = Start();
    form->ButtonNext1Click(nullptr);
    form->EditDir->SetText(kDest);
    Click([&] { form->ButtonNext2Click(nullptr); });
    Click([&] { form->ButtonNext3Click(nullptr); });
    ASSERT_EQ(form->PageControl1->ActivePageIndex(), 4);
    const auto keys = LogKeys(Host(std::string(kDest) + "Uninstall.log"));
    EXPECT_EQ(keys.size(), 2 * names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto logged = keys.find(std::to_string(i));
        ASSERT_NE(logged, keys.end()) << names[i];
        EXPECT_EQ(ReadHostFile(Host(kDest + logged->second)), names[i]) << logged->second;
    }
}

} // namespace
} // namespace kq

namespace kq {
namespace {

// The current folder is anyone's (Downloads, an unpacked archive): whatever translations.lng
// holds, the window is made and its folder field holds the default folder (named after the
// file's company, if it has one), or the error box says why there is no window. Each file is tried
// in the three code pages of the languages.
TEST_F(TranslationFile, AHostileFileNeverEndsTheWizardAbnormallyNorMovesItsFolder) {
    const std::string names = "[Language names - for internal use only!]\r\n";
    std::string manyNames = names, manySections, emptySections;
    for (int i = 1; i <= 100000; ++i) {
        manyNames += "Language_" + std::to_string(i) + "=L" + std::to_string(i) + "\r\n";
        manySections += "[S" + std::to_string(i) + "]\r\nTForm1.Label4=a~!@#b~!@#c\r\n";
    }
    for (const char* section : {"Captions", "Hints", "Fonts", "CharSets", "MultiLines", "Other",
                                "Strings", "DlgsCaptions", "Extended", "OPTIONS"}) {
        emptySections += std::string("[") + section + "]\r\n";
    }
    struct Case {
        const char* label;
        std::string bytes;
        bool large = false; // tried in one code page only: its cost is the file's size
    };
    const Case cases[] = {
        // Each language's pass switches to the next one: a pass inside a pass, without end.
        {"the language switched by a row",
         "[Other]\r\nTForm1.Translator1.Language=ChineseTranTraditional~!@#English~!@#"
         "ChineseSimplified\r\n"},
        {"the language switched by extended rows",
         "[Extended]\r\nTForm1.Translator1.ActiveLanguage=2~!@#3~!@#1\r\n"
         "TForm1.LangDispatcher1.ActiveLanguage=2~!@#3~!@#1\r\n"
         "TForm1.LangDispatcher1.Language=ChineseTranTraditional~!@#English~!@#"
         "ChineseSimplified\r\n"},
        // A second component of one name ends the window's loading.
        {"a component renamed", "[Other]\r\nTForm1.Label4.name=Label5~!@#Label5~!@#Label5\r\n"},
        {"a component renamed by an extended row",
         "[Extended]\r\nTForm1.Label4.NAME=Label5~!@#Label5~!@#Label5\r\n"},
        // Directives that do not fit what start-up composes: the stored texts serve.
        {"formats with a stray %d and a second %s",
         "[Strings]\r\nTForm1.sDestFolder=%d~!@#%d~!@#%d\r\nTForm1.sWill1=%s%s~!@#%s%s~!@#%s%s\r\n"
         "TForm1.sFinish1=%~!@#%~!@#%\r\nTForm1.sInstalling=%9999999999s~!@#%x~!@#%1:s\r\n"
         "[Captions]\r\nTForm1.LabelWelcome=%u~!@#%u~!@#%u\r\n"},
        {"two languages named",
         names + "Language_1=One\r\nLanguage_2=Two\r\n[Strings]\r\nTForm1.sCompany=A~!@#B\r\n"},
        {"a hundred thousand languages named", manyNames, true},
        {"a language count beyond reason",
         "[Extended]\r\nTForm1.Translator1.NumOfLanguages=1900000000~!@#1900000000~!@#"
         "1900000000\r\nTForm1.LangDispatcher1.NumOfLanguages=1900000000~!@#1900000000~!@#"
         "1900000000\r\n"},
        {"binary garbage", Garbage(1 << 20), true},
        {"UTF-16", "\xFF\xFE" + Utf16("[Other]\r\nTForm1.Translator1.Language=English\r\n")},
        {"a hundred thousand sections", manySections, true},
        {"a line of 10 MB", "[Captions]\r\nTForm1.Label4=" + std::string(10 << 20, 'x') + "\r\n",
         true},
        {"every section empty", emptySections},
    };
    for (const Case& c : cases) {
        std::ofstream("translations.lng", std::ios::binary) << c.bytes;
        for (const std::uint32_t codePage : {1252u, 936u, 950u}) {
            if (c.large && codePage != 1252) {
                continue;
            }
            SCOPED_TRACE(std::string(c.label) + " at code page " + std::to_string(codePage));
            SetAnsiCodePage(codePage);
            errorBox = {};
            TForm1* form = Application().CreateForm<TForm1>();
            ASSERT_NE(form, nullptr) << errorBox.text;
            EXPECT_EQ(errorBox.shown, 0) << errorBox.text;
            // The folder the start-up composes: the company's name is the file's, if any.
            const AnsiString folder = form->EditDir->Text();
            EXPECT_TRUE(folder.rfind("C:\\Program Files\\", 0) == 0 && folder.size() >= 21 &&
                        folder.compare(folder.size() - 4, 4, "Qyn\\") == 0)
                << folder;
            EXPECT_EQ(form->Label4->Name(), "Label4");
            EXPECT_EQ(form->FindComponent("Label5"), form->Label5);
            Application().Finalize();
        }
    }
}

// A file written for two languages: those two take its texts; the third keeps the stored ones,
// and the program still chooses it in its code page.
TEST_F(TranslationFile, AFileForFewerLanguagesLeavesTheOthersTheirStoredTexts) {
    std::ofstream("translations.lng", std::ios::binary)
        << "[Language names - for internal use only!]\r\nLanguage_1=One\r\nLanguage_2=Two\r\n"
           "[Captions]\r\nTForm1.ButtonNext1=N1~!@#N2\r\n[Strings]\r\nTForm1.sCompany=A~!@#B\r\n";
    const struct {
        std::uint32_t codePage;
        const char *next1, *folder;
    } cases[] = {
        {950, "N2", "C:\\Program Files\\BQyn\\"},
        {1252, "&Next>", "C:\\Program Files\\Kavoru Qyn\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codePage);
        SetAnsiCodePage(c.codePage);
        TForm1* form = Application().CreateForm<TForm1>();
        ASSERT_NE(form, nullptr) << errorBox.text;
        EXPECT_EQ(errorBox.shown, 0) << errorBox.text;
        EXPECT_EQ(form->ButtonNext1->Caption(), c.next1);
        EXPECT_EQ(form->EditDir->Text(), c.folder);
        Application().Finalize();
    }
}

// A stray directive in a file's format: the text composed is the stored one, with the file's
// product name in it.
TEST_F(TranslationFile, AFormatThatDoesNotFitGivesWayToTheStoredOne) {
    std::ofstream("translations.lng", std::ios::binary)
        << "[Strings]\r\nTForm1.sCompany=A~!@#B~!@#C\r\nTForm1.sDestFolder=%d~!@#%d~!@#%s %s\r\n"
           "[Captions]\r\nTForm1.LabelWelcome=%d~!@#%d~!@#Hello %s\r\n";
    SetAnsiCodePage(1252);
    TForm1* form = Application().CreateForm<TForm1>();
    ASSERT_NE(form, nullptr) << errorBox.text;
    EXPECT_EQ(errorBox.shown, 0) << errorBox.text;
    EXPECT_EQ(form->LabelDir->Caption(), "CQyn Destination Folder:");
    EXPECT_EQ(form->LabelWelcome->Caption(), "Hello CQyn");
    EXPECT_EQ(form->EditDir->Text(), "C:\\Program Files\\CQyn\\");
    Application().Finalize();
}

// A file that exists but cannot be read: the window cannot be made as the file would have it,
// and the error box says so; no window, and the program ends.
TEST_F(TranslationFile, AnUnreadableFileIsExplainedInTheErrorBox) {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "translations.lng");
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(Application().CreateForm<TForm1>(), nullptr);
    EXPECT_EQ(errorBox.shown, 1);
    EXPECT_EQ(errorBox.text.rfind("Cannot open file \"translations.lng\". ", 0), 0u)
        << errorBox.text;
    EXPECT_EQ(errorBox.flags, mb::Ok | mb::IconError);
    ::close(socket);
    Application().Finalize();
}

} // namespace
} // namespace kq
