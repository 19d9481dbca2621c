// Destinations that cannot take a file: a folder below a file, a file held open by another
// process without sharing (Windows only: the stand-in has no sharing modes), a path longer than
// Windows' classic limit of 260 characters. Each refused file is put to the owner as the
// srCreateError question with its full output path, the run goes on, and nothing is counted or
// left half-written; a read-only folder takes files as Windows lets it. A file that cannot take
// its time is put to the owner the same way, and does not stay.
#include "extraction.h"
#include "support/zip_writer.h"
#include "test/file_bytes.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// The platform layer's names, not the macros of the same names.
#undef CreateDirectory
#undef DeleteFile
#undef RemoveDirectory
#undef SetFileAttributes
#endif

namespace kq {
namespace {

using Lines = std::vector<std::string>;

const char kAlpha[] = "alpha\n";
const char kBeta[] = "beta bytes\n";

// Two stored files, a.txt and sub\b.txt, in an archive of the scratch folder.
struct TwoFiles {
    TwoFiles() {
        test::StoredZipWriter writer;
        writer.AddFile("a.txt", kAlpha);
        writer.AddFile("sub/b.txt", kBeta);
        test::WriteWholeFile(folder / "two.zip", writer.Bytes());
        zip.SetZipName(folder / "two.zip");
        zip.SetRecreateDirs(true);
        zip.SetDoAll(true);
        zip.SetOverwriteMode(TUZOverwriteMode::Always);
    }
    ~TwoFiles() { zip.SetZipName(""); }

    // Extracts into dest with the events logged; an exception fails the test, named.
    int UnZipInto(const std::string& destination,
                  const std::function<void(test::EventLog&)>& prepare = {}) {
        dest = destination;
        zip.SetDestDir(dest);
        log = std::make_unique<test::EventLog>(zip, dest);
        if (prepare) {
            prepare(*log);
        }
        try {
            return zip.UnZip();
        } catch (const Exception& e) {
            ADD_FAILURE() << "UnZip raised: " << e.Message();
        }
        return -1;
    }
    std::string Out(const std::string& name) const { return dest + "\\" + name; }

    test::ScratchFolder folder;
    TZipExtractor zip{nullptr};
    std::string dest;
    std::unique_ptr<test::EventLog> log;
};

const Lines kBothRefused = {"StartUnZipInfo 2 17",
                            "StartUnZip 0 D\\a.txt",
                            "SkippingFile srCreateError D\\a.txt 0",
                            "StartUnZip 1 D\\sub\\b.txt",
                            "SkippingFile srCreateError D\\sub\\b.txt 1",
                            "UnZipComplete 0"};
const Lines kBothMade = {"StartUnZipInfo 2 17",      "StartUnZip 0 D\\a.txt",
                         "EndUnZip 0 D\\a.txt",      "StartUnZip 1 D\\sub\\b.txt",
                         "EndUnZip 1 D\\sub\\b.txt", "UnZipComplete 2"};

TEST(OutputFaults, ADestinationBelowAFileRefusesEveryFileWithTheQuestion) {
    for (const char* below : {"", "\\dest", "\\dest\\deeper"}) {
        SCOPED_TRACE(std::string("blocker") + below);
        TwoFiles run;
        test::WriteWholeFile(run.folder / "blocker", "a file");
        EXPECT_EQ(run.UnZipInto(run.folder / "blocker" + below), 0);
        EXPECT_EQ(run.log->lines, kBothRefused);
        EXPECT_EQ(test::ReadWholeFile(run.folder / "blocker"), "a file");
    }
}

// Windows keeps the read-only attribute of a folder for the shell's own use and lets files be
// made in it; so does the stand-in.
TEST(OutputFaults, AReadOnlyFolderTakesTheFiles) {
    TwoFiles run;
    const std::string dest = run.folder / "dest";
    ASSERT_TRUE(CreateDirectory(dest));
    ASSERT_TRUE(SetFileAttributes(dest, attr::Directory | attr::ReadOnly));
    EXPECT_EQ(run.UnZipInto(dest), 2);
    EXPECT_EQ(run.log->lines, kBothMade);
    EXPECT_EQ(test::ReadWholeFile(run.Out("sub\\b.txt")), kBeta);
    SetFileAttributes(dest, attr::Directory);
}

// An entry dated 30 February: the data is right, but no file can carry that time. The file does
// not stay with the time of its writing (a later run would take it for newer than the entry);
// the owner is asked as for a file that cannot be made, and Retry extracts the entry again.
TEST(OutputFaults, AFileThatCannotTakeItsTimeIsPutToTheOwner) {
    constexpr std::uint16_t kFebruary30 = (2021 - 1980) << 9 | 2 << 5 | 30;
    for (const int retries : {0, 1}) {
        SCOPED_TRACE(retries);
        test::ScratchFolder folder;
        test::StoredZipWriter writer;
        writer.AddFile("a.txt", kAlpha, {.date = kFebruary30});
        writer.AddFile("b.txt", kBeta);
        test::WriteWholeFile(folder / "dated.zip", writer.Bytes());
        TZipExtractor zip(nullptr);
        zip.SetZipName(folder / "dated.zip");
        zip.SetDoAll(true);
        const std::string dest = folder / "dest";
        zip.SetDestDir(dest);
        test::EventLog log(zip, dest);
        int asked = 0;
        log.onSkipping = [&](TSkipReason, bool& retry) { retry = asked++ < retries; };
        EXPECT_EQ(zip.UnZip(), 1);
        Lines expected = {"StartUnZipInfo 2 17"};
        for (int i = 0; i <= retries; ++i) {
            expected.push_back("StartUnZip 0 D\\a.txt");
            expected.push_back("SkippingFile srCreateError D\\a.txt 0");
        }
        expected.insert(expected.end(),
                        {"StartUnZip 1 D\\b.txt", "EndUnZip 1 D\\b.txt", "UnZipComplete 1"});
        EXPECT_EQ(log.lines, expected);
        EXPECT_FALSE(FileExists(dest + "\\a.txt"));
        zip.SetZipName("");
    }
}

// A folder removed while the run goes on (by the user, another program) is made again for the
// next file of it.
TEST(OutputFaults, AFolderRemovedDuringTheRunIsMadeAgain) {
    test::ScratchFolder folder;
    test::StoredZipWriter writer;
    for (const char* name : {"sub/a.txt", "sub/b.txt", "sub/c.txt"}) {
        writer.AddFile(name, kAlpha);
    }
    test::WriteWholeFile(folder / "three.zip", writer.Bytes());
    TZipExtractor zip(nullptr);
    zip.SetZipName(folder / "three.zip");
    zip.SetRecreateDirs(true);
    zip.SetDoAll(true);
    const std::string dest = folder / "dest";
    zip.SetDestDir(dest);
    test::EventLog log(zip, dest);
    log.onEndUnZip = [&](int index, const AnsiString& name) {
        if (index == 0) {
            EXPECT_TRUE(DeleteFile(name));
            EXPECT_TRUE(RemoveDirectory(dest + "\\sub"));
        }
    };
    EXPECT_EQ(zip.UnZip(), 3);
    EXPECT_EQ(test::ReadWholeFile(dest + "\\sub\\b.txt"), kAlpha);
    EXPECT_EQ(test::ReadWholeFile(dest + "\\sub\\c.txt"), kAlpha);
    EXPECT_EQ(log.lines.back(), "UnZipComplete 3");
    zip.SetZipName("");
}

// Whether the system's own calls, not the platform layer's, make every folder of folder below top
// (which exists) and a file in the deepest one. What they made is removed.
bool SystemTakesFolder(const std::string& top, const std::string& folder) {
#ifdef _WIN32
    std::vector<std::string> made;
    bool taken = true;
    for (std::size_t end = folder.find('\\', top.size() + 1); taken;
         end = folder.find('\\', end + 1)) {
        const std::string prefix = folder.substr(0, end);
        taken = ::CreateDirectoryA(prefix.c_str(), nullptr) != 0;
        if (taken) {
            made.push_back(prefix);
        }
        if (end == std::string::npos) {
            break;
        }
    }
    const std::string probe = folder + "\\probe.txt";
    if (taken) {
        const HANDLE file = ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        taken = file != INVALID_HANDLE_VALUE;
        if (taken) {
            ::CloseHandle(file);
            ::DeleteFileA(probe.c_str());
        }
    }
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        ::RemoveDirectoryA(it->c_str());
    }
    return taken;
#else
    const std::filesystem::path host = test::HostOf(folder);
    std::error_code error;
    const bool taken = std::filesystem::create_directories(host, error) &&
                       std::ofstream(host / "probe.txt").good();
    std::filesystem::remove_all(test::HostOf(folder.substr(0, folder.find('\\', top.size() + 1))),
                                error);
    return taken;
#endif
}

// Beyond 260 characters the ANSI file calls of Windows refuse the path; where the system takes
// it (the stand-in on a host without that limit), the files are made whole. Which of the two
// happens here is asked of the system's own calls first; either way the events name the whole
// path and no half-made file stays.
TEST(OutputFaults, ALongDestinationIsMadeOrRefusedWithItsWholeName) {
    TwoFiles run;
    std::string dest = run.folder.Path() + "long";
    while (dest.size() <= 300) {
        dest += "\\" + std::string(40, 'n');
    }
    const bool taken = SystemTakesFolder(run.folder.Path(), dest);
    SCOPED_TRACE((taken ? "the system takes " : "the system refuses ") + dest);
    const int extracted = run.UnZipInto(dest);
    if (taken) {
        EXPECT_EQ(extracted, 2);
        EXPECT_EQ(run.log->lines, kBothMade);
        EXPECT_EQ(test::ReadWholeFile(run.Out("a.txt")), kAlpha);
        EXPECT_EQ(test::ReadWholeFile(run.Out("sub\\b.txt")), kBeta);
    } else {
        EXPECT_EQ(extracted, 0);
        EXPECT_EQ(run.log->lines, kBothRefused);
    }
}

// A name longer than a file system takes for one name (255 characters), in the file name or in
// a folder, or a stored path of the format's greatest length: the question, then the next entry.
TEST(OutputFaults, NamesTooLongForTheFileSystemAreQuestionsNotFailures) {
    const std::string longName(300, 'n');
    std::string longestPath;
    while (longestPath.size() < 65535 - 200) {
        longestPath += std::string(199, 'p') + "\\";
    }
    longestPath += "x.txt";
    test::ScratchFolder folder;
    test::StoredZipWriter writer;
    writer.AddFile(longName, "1");
    writer.AddFile(longName + "\\in.txt", "2");
    writer.AddFile(longestPath, "3");
    writer.AddFile("after.txt", "4");
    test::WriteWholeFile(folder / "long.zip", writer.Bytes());

    TZipExtractor zip(nullptr);
    zip.SetZipName(folder / "long.zip");
    zip.SetDestDir(folder / "dest");
    zip.SetRecreateDirs(true);
    zip.SetDoAll(true);
    std::vector<int> asked;
    zip.OnSkippingFile = [&](TObject*, TSkipReason reason, const AnsiString& name, int index,
                             bool& retry) {
        EXPECT_EQ(reason, TSkipReason::srCreateError) << index;
        EXPECT_EQ(name.substr(name.size() - 5), index == 1   ? "n.txt"
                                                : index == 2 ? "x.txt"
                                                             : "nnnnn")
            << index;
        asked.push_back(index);
        retry = false;
    };
    int extracted = -1;
    EXPECT_NO_THROW(extracted = zip.UnZip());
    zip.SetZipName("");
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(extracted, 1);
    EXPECT_EQ(test::ReadWholeFile(folder / "dest\\after.txt"), "4");
}

#ifdef _WIN32
// A file another program holds open without sharing cannot be replaced: the question comes,
// the held file keeps its bytes; once it is let go, Retry makes it.
TEST(OutputFaults, AFileHeldWithoutSharingAsksAndRetryMakesItOnceFree) {
    TwoFiles run;
    const std::string dest = run.folder / "dest";
    ASSERT_TRUE(CreateDirectory(dest));
    test::WriteWholeFile(dest + "\\a.txt", "held");
    const auto hold = [&] {
        return ::CreateFileA((dest + "\\a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE held = hold();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(run.UnZipInto(dest), 1);
    ::CloseHandle(held);
    EXPECT_EQ(run.log->lines,
              (Lines{"StartUnZipInfo 2 17", "StartUnZip 0 D\\a.txt",
                     "SkippingFile srCreateError D\\a.txt 0", "StartUnZip 1 D\\sub\\b.txt",
                     "EndUnZip 1 D\\sub\\b.txt", "UnZipComplete 1"}));
    EXPECT_EQ(test::ReadWholeFile(dest + "\\a.txt"), "held");

    held = hold();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(run.UnZipInto(dest,
                            [&](test::EventLog& log) {
                                log.onSkipping = [&](TSkipReason, bool& retry) {
                                    ::CloseHandle(held);
                                    retry = true;
                                };
                            }),
              2);
    // The retry extracts the entry again, from its start.
    EXPECT_EQ(run.log->lines,
              (Lines{"StartUnZipInfo 2 17", "StartUnZip 0 D\\a.txt",
                     "SkippingFile srCreateError D\\a.txt 0", "StartUnZip 0 D\\a.txt",
                     "EndUnZip 0 D\\a.txt", "StartUnZip 1 D\\sub\\b.txt",
                     "EndUnZip 1 D\\sub\\b.txt", "UnZipComplete 2"}));
    EXPECT_EQ(test::ReadWholeFile(dest + "\\a.txt"), kAlpha);
}
#endif

} // namespace
} // namespace kq
