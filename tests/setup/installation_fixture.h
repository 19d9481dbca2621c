// The installation on the stand-in platform: a setup archive made by Info-ZIP zip with the
// product's password beside the setup program, the pages taken to Install, and what the checks
// read back (files, the uninstall log, the registry, the shell's folders).
#pragma once

#include "platform/registry.h"
#include "setup/archive_password.h"
#include "setup/installation.h"
#include "test/file_times.h"
#include "wizard_fixture.h"

#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <utime.h>

namespace kq::setup_test {

inline constexpr const char* kDest = "D:\\Apps\\Kavoru Qyn\\";
inline constexpr const char* kProduct = "Kavoru Qyn"; // the product's name at code page 1252

inline std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteHostFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A local time as the archive stores it and as the log must show it: the DOS date in the high
// half, the time (seconds halved) in the low half, as a signed number.
struct LocalStamp {
    int year, month, day, hour, minute, second;
    std::time_t Host() const { return test::HostTime({year, month, day, hour, minute, second, 0}); }
    std::int32_t Dos() const {
        const std::uint32_t date = ((year - 1980) << 9) | (month << 5) | day;
        const std::uint32_t time = (hour << 11) | (minute << 5) | (second / 2);
        return static_cast<std::int32_t>((date << 16) | time);
    }
};

struct SourceFile {
    std::string name; // as stored, "/" between folders
    std::string bytes;
    LocalStamp stamp;
    bool readOnly = false; // packed with the read-only attribute
};

// What an installation told the person: each kind of message in the order it came.
struct Told : TInstallReporter {
    void Status(const AnsiString& text) override { statuses.push_back(text); }
    void Progress(int percent) override { progress = percent; }
    bool AskRetry(const AnsiString& message) override {
        questions.push_back(message);
        return retry && retry(questions.size());
    }
    void ArchiveDamaged(const AnsiString& message) override { damaged.push_back(message); }
    void NotMade(const AnsiString& message) override { notMade.push_back(message); }
    void Log(const AnsiString& line) override { log.push_back(line); }

    std::vector<AnsiString> statuses, questions, damaged, notMade, log;
    int progress = -1;
    // The answer to the nth retry question (from 1); none answers No.
    std::function<bool(std::size_t)> retry;
};

class Installation : public Wizard {
protected:
    void SetUp() override {
        Wizard::SetUp();
        SetModuleFileName("C:\\Media\\Setup.exe");
        std::filesystem::create_directories(root_ + "/c/Media");
    }

    // Setup.dat beside the setup program: the files in this order, without folder entries,
    // encrypted with the product's password unless told otherwise; options go to zip as they
    // are ("-0" stores every file).
    void MakeArchive(const std::vector<SourceFile>& files, bool encrypted = true,
                     const std::string& options = "") {
        const std::string source = root_ + "/source";
        std::filesystem::remove_all(source);
        std::string names;
        for (const SourceFile& file : files) {
            WriteHostFile(source + "/" + file.name, file.bytes);
            const std::time_t when = file.stamp.Host();
            const utimbuf times{when, when};
            ASSERT_EQ(::utime((source + "/" + file.name).c_str(), &times), 0) << file.name;
            if (file.readOnly) {
                // zip gives a file without write permission the read-only attribute.
                ASSERT_EQ(::chmod((source + "/" + file.name).c_str(), 0444), 0) << file.name;
            }
            names += " '" + file.name + "'";
        }
        const std::string archive = root_ + "/c/Media/Setup.dat";
        std::filesystem::remove(archive);
        const std::string password = encrypted ? " -P '" + ArchivePassword() + "'" : "";
        const std::string command = "cd '" + source + "' && zip -q -X -D" + password + " " +
                                    options + " '" + archive + "'" + names;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    // Through the pages to Install, with the folder typed on the folder page.
    std::unique_ptr<TForm1> Install() {
        auto form = Start();
        form->ButtonNext1Click(nullptr);
        form->EditDir->SetText(kDest);
        Click([&] { form->ButtonNext2Click(nullptr); });
        Click([&] { form->ButtonNext3Click(nullptr); });
        return form;
    }

    // The installation itself, no page shown and no button pressed: the window's components (its
    // extractor and its texts, as its description sets them) installing into kDest, made first.
    TInstallOutcome RunInstallation(Told& told, bool unattended = false) {
        window_ = Start(); // a new one each time, as each Setup.exe is a new process
        TInstallation installation(*window_->ZipExtractor1, *window_->Translator1);
        installation.ConnectEvents();
        AnsiString folder = kDest;
        EXPECT_TRUE(MakeInstallFolder(folder));
        return installation.Run({SetupArchivePath(), ArchivePassword(), folder, unattended}, told);
    }
    TInstallOutcome RunInstallation() {
        Told told;
        return RunInstallation(told);
    }

    // Back to a machine on which nothing was installed.
    void Reset() {
        for (const char* folder : {"/d", "/c/users", "/registry"}) {
            std::filesystem::remove_all(root_ + folder);
        }
        std::filesystem::create_directories(root_ + "/d");
    }

    std::string Host(const std::string& windowsPath) { return *HostPath(windowsPath); }
    std::string ShellFolder(const char* name) {
        RegKey key;
        RegistryValue value;
        EXPECT_TRUE(
            key.Open("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"));
        EXPECT_TRUE(key.QueryValue(name, value)) << name;
        return value.data;
    }
    std::string InstallPath() {
        RegKey key;
        RegistryValue value;
        if (!key.Open("Software\\Kavoru\\KavoruQyn") || !key.QueryValue("InstallPath", value)) {
            return "<none>";
        }
        return value.data;
    }
    // The log as the file holds it.
    std::string Log() { return ReadHostFile(Host(std::string(kDest) + "Uninstall.log")); }

    std::unique_ptr<TForm1> window_;
};

// The same bytes on every run: noise, which deflate cannot shrink, or text, which it shrinks much.
inline std::string ProductBytes(std::size_t size, std::uint32_t seed, bool noise) {
    std::string bytes(size, '\0');
    std::uint32_t x = seed;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = noise ? static_cast<char>(x >> 23) : static_cast<char>('a' + (x >> 28));
    }
    return bytes;
}

// The keys of an uninstall log's text, by name.
inline std::map<std::string, std::string> LogKeys(const std::string& text) {
    std::map<std::string, std::string> keys;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (const auto equals = line.find('='); equals != std::string::npos) {
            keys[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return keys;
}

inline std::string LogLines(const std::vector<std::pair<std::string, std::string>>& keys) {
    std::string text = "[Qyn]\r\n";
    for (const auto& [key, value] : keys) {
        text += key + "=" + value + "\r\n";
    }
    return text;
}

inline const LocalStamp kMay{2024, 5, 6, 7, 8, 10};
inline const LocalStamp kJune{2025, 6, 30, 23, 59, 58};
// A date after 2043 sets the top bit: the log shows it negative.
inline const LocalStamp kLate{2050, 12, 31, 12, 0, 0};

// Drive D on a file system of its own, 1 MiB small; skipped where file systems cannot be mounted
// (not root, or a container without the right).
class SmallDrive : public Installation {
protected:
    void SetUp() override {
        Installation::SetUp();
        if (::geteuid() != 0 ||
            ::mount("tmpfs", (root_ + "/d").c_str(), "tmpfs", 0, "size=1m") != 0) {
            GTEST_SKIP() << "cannot mount a small file system here";
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) {
            ::umount2((root_ + "/d").c_str(), MNT_DETACH);
        }
    }
    bool mounted_ = false;
};

} // namespace kq::setup_test
