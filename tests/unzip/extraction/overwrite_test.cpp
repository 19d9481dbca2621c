// An existing output file: the five overwrite modes with times compared at two-second
// resolution, the prompt (handler or message box), read-only files, and the run total that a
// skipped entry leaves.
#include "extraction.h"
#include "extraction/made_folders.h"
#include "platform/dialogs.h"
#include "support/zip_writer.h"
#include "test/file_bytes.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using Lines = std::vector<std::string>;

// crc.zip's good.txt, dated 2020-02-29 13:14:16, over an existing D\good.txt holding "old"
// whose time is the entry's plus offset seconds.
struct Existing {
    explicit Existing(int offsetSeconds) : x(test::ExtractionFixture("crc.zip")) {
        TStringList only;
        only.Add("good.txt");
        x.zip.SetFilesList(&only);
        x.zip.SetDoAll(false);
        ForceDirectories(x.Out(""));
        test::WriteWholeFile(x.Out("good.txt"), "old");
        File file(x.Out("good.txt"), FileMode::Write);
        EXPECT_TRUE(file.SetDosDateTime(test::kFixtureTime) && file.Close());
        const std::filesystem::path host = test::HostOf(x.Out("good.txt"));
        std::filesystem::last_write_time(host, std::filesystem::last_write_time(host) +
                                                   std::chrono::seconds(offsetSeconds));
    }
    std::string Content() const { return test::ReadWholeFile(x.Out("good.txt")); }

    test::Extraction x;
};

const Lines kReplaced = {"StartUnZipInfo 1 10", "StartUnZip 0 D\\good.txt",
                         "EndUnZip 0 D\\good.txt", "UnZipComplete 1"};
const Lines kKept = {"StartUnZipInfo 1 10", "StartUnZip 0 D\\good.txt",
                     "SkippingFile srNoOverwrite D\\good.txt 0", "UnZipComplete 0"};

TEST(Overwrite, ModesAndTimes) {
    struct Case {
        const char* name;
        TUZOverwriteMode mode;
        int offsetSeconds;
        bool replaced;
    };
    const Case cases[] = {
        {"Always", TUZOverwriteMode::Always, 0, true},
        {"Never", TUZOverwriteMode::Never, -60, false},
        {"ifNewer, same time", TUZOverwriteMode::ifNewer, 0, false},
        {"ifNewer, file newer", TUZOverwriteMode::ifNewer, 2, false},
        {"ifNewer, file a second older: the same two-second slot", TUZOverwriteMode::ifNewer, -1,
         false},
        {"ifNewer, file two seconds older", TUZOverwriteMode::ifNewer, -2, true},
        {"ifOlder, file a second older: the same two-second slot", TUZOverwriteMode::ifOlder, -1,
         false},
        {"ifOlder, file a second newer: the next slot", TUZOverwriteMode::ifOlder, 1, true},
        {"ifOlder, file two seconds newer", TUZOverwriteMode::ifOlder, 2, true},
        {"ifOlder, file older", TUZOverwriteMode::ifOlder, -2, false},
    };
    for (const Case& c : cases) {
        Existing e(c.offsetSeconds);
        e.x.zip.SetOverwriteMode(c.mode);
        EXPECT_EQ(e.x.zip.UnZip(), c.replaced ? 1 : 0) << c.name;
        EXPECT_EQ(e.x.log.lines, c.replaced ? kReplaced : kKept) << c.name;
        EXPECT_EQ(e.Content(), c.replaced ? "good data\n" : "old") << c.name;
    }
}

// A run knows the folders it makes to have been empty and does not look for a file there, but a
// name it meets again is looked for.
TEST(Overwrite, ANameMetAgainInAFolderTheRunMadeIsFound) {
    struct Case {
        const char* name;
        TUZOverwriteMode mode;
        const char* content;
        int extracted;
    };
    const Case cases[] = {
        {"Always", TUZOverwriteMode::Always, "second", 3},
        {"ifNewer, same time", TUZOverwriteMode::ifNewer, "first", 2},
        {"Never", TUZOverwriteMode::Never, "first", 2},
    };
    for (const Case& c : cases) {
        test::Extraction x("");
        test::StoredZipWriter writer;
        writer.AddFile("sub/a.txt", "first");
        writer.AddFile("sub/b.txt", "other");
        writer.AddFile("sub/a.txt", "second");
        const std::string archive = x.folder / "twice.zip";
        test::WriteWholeFile(archive, writer.Bytes());
        x.zip.SetZipName(archive);
        x.zip.SetOverwriteMode(c.mode);
        EXPECT_EQ(x.zip.UnZip(), c.extracted) << c.name;
        EXPECT_EQ(test::ReadWholeFile(x.Out("sub\\a.txt")), c.content) << c.name;
        EXPECT_EQ(test::ReadWholeFile(x.Out("sub\\b.txt")), "other") << c.name;
    }
}

TEST(Overwrite, Prompt) {
    // Without a handler a message box asks; a handler may answer and rename the output.
    for (const int answer : {id::Yes, id::No}) {
        Existing e(0);
        e.x.zip.SetOverwriteMode(TUZOverwriteMode::Prompt);
        e.x.zip.OnPromptForOverwrite = nullptr;
        std::string asked;
        SetMessageBoxResponder([&](const std::string& text, const std::string& caption,
                                   std::uint32_t flags) {
            asked =
                caption + ": " + text + ((flags & mb::TypeMask) == mb::YesNo ? " (yes/no)" : "");
            return answer;
        });
        e.x.zip.UnZip();
        SetMessageBoxResponder(nullptr);
        EXPECT_EQ(asked, "File Exists Alert: Replace existing file good.txt? (yes/no)");
        EXPECT_EQ(e.x.log.lines, answer == id::Yes ? kReplaced : kKept);
    }

    Existing e(0);
    e.x.zip.SetOverwriteMode(TUZOverwriteMode::Prompt);
    e.x.log.onPrompt = [&](bool& overwrite, AnsiString& name) {
        overwrite = true;
        name = e.x.Out("renamed.txt");
    };
    EXPECT_EQ(e.x.zip.UnZip(), 1);
    EXPECT_EQ(e.x.log.lines, (Lines{"StartUnZipInfo 1 10", "StartUnZip 0 D\\good.txt",
                                    "PromptForOverwrite 0 D\\good.txt", "EndUnZip 0 D\\renamed.txt",
                                    "UnZipComplete 1"}));
    EXPECT_EQ(e.Content(), "old");
    EXPECT_EQ(test::ReadWholeFile(e.x.Out("renamed.txt")), "good data\n");
}

// Wine running as root opens read-only files for writing: there the platform cannot refuse.
bool ReadOnlyBlocksCreation(const std::string& path) {
    File probe(path, FileMode::Create);
    return !probe.IsOpen();
}

TEST(Overwrite, ReadOnlyFiles) {
    Existing replace(0);
    replace.x.zip.SetReplaceReadOnly(true);
    ASSERT_TRUE(SetFileAttributes(replace.x.Out("good.txt"), attr::ReadOnly));
    EXPECT_EQ(replace.x.zip.UnZip(), 1);
    EXPECT_EQ(replace.x.log.lines, kReplaced) << "replaced without any event";
    EXPECT_EQ(replace.Content(), "good data\n");

    Existing refuse(0);
    ASSERT_TRUE(SetFileAttributes(refuse.x.Out("good.txt"), attr::ReadOnly));
    if (!ReadOnlyBlocksCreation(refuse.x.Out("good.txt"))) {
        GTEST_SKIP() << "this platform lets read-only files be replaced";
    }
    int calls = 0;
    refuse.x.log.onSkipping = [&](TSkipReason, bool& retry) {
        // The second call makes the file writable and asks for a retry.
        retry = ++calls == 2;
        if (retry) {
            SetFileAttributes(refuse.x.Out("good.txt"), attr::Normal);
        }
    };
    EXPECT_EQ(refuse.x.zip.UnZip(), 0);
    EXPECT_EQ(refuse.x.log.lines,
              (Lines{"StartUnZipInfo 1 10", "StartUnZip 0 D\\good.txt",
                     "SkippingFile srCreateError D\\good.txt 0", "UnZipComplete 0"}));
    EXPECT_EQ(refuse.Content(), "old");
    refuse.x.log.lines.clear();
    refuse.x.zip.SetFilesList(nullptr);
    TStringList only;
    only.Add("good.txt");
    refuse.x.zip.SetFilesList(&only);
    EXPECT_EQ(refuse.x.zip.UnZip(), 1);
    // The retry extracts the entry again, from its start.
    EXPECT_EQ(refuse.x.log.lines,
              (Lines{"StartUnZipInfo 1 10", "StartUnZip 0 D\\good.txt",
                     "SkippingFile srCreateError D\\good.txt 0", "StartUnZip 0 D\\good.txt",
                     "EndUnZip 0 D\\good.txt", "UnZipComplete 1"}));
}

TEST(Overwrite, SkippedEntriesLeaveTheRunTotal) {
    // good.txt (10 bytes) is kept, so after.txt (6 bytes) completes the run alone.
    Existing e(0);
    e.x.zip.SetOverwriteMode(TUZOverwriteMode::Never);
    TStringList two;
    two.SetCommaText("good.txt,after.txt");
    e.x.zip.SetFilesList(&two);
    e.x.log.AttachPercentages();
    EXPECT_EQ(e.x.zip.UnZip(), 1);
    EXPECT_EQ(e.x.log.lines,
              (Lines{"StartUnZipInfo 2 16", "StartUnZip 0 D\\good.txt",
                     "SkippingFile srNoOverwrite D\\good.txt 0", "StartUnZip 3 D\\after.txt",
                     "FilePercentDone 100", "TotalPercentDone 100", "EndUnZip 3 D\\after.txt",
                     "UnZipComplete 1"}));
}

} // namespace
} // namespace kq
