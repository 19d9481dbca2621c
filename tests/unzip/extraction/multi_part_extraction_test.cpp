// Extracting multi-part archives: each part asked for through OnGetNextDisk when its bytes are
// wanted, entries whose data runs on from one part into the next, and a part that the handler
// refuses or names by a file that is not there.
//
// The archives are the parts Info-ZIP zip -s made of multi.zip (fixtures) and split archives
// written byte by byte (support/multi_part.h), whose deflated data is zlib's. Every expected
// file is the data that went into the archive, or the bytes of the fixture's parts at the
// offsets its central directory gives.
#include "extraction.h"
#include "support/multi_part.h"
#include "support/zip_fixtures.h"
#include "support/zlib_oracle.h"
#include "unzip/errors.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace kq {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

std::string AsText(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

// A file's bytes, or a note that there is no such file.
std::string Contents(const std::string& path) {
    return FileExists(path) ? test::ReadWholeFile(path) : "(no file)";
}

// How the OnGetNextDisk handler below meets the question for its chosen part.
enum class Answer {
    Name,    // the part's file
    Refuse,  // an empty name
    Raise,   // EUserCanceled of its own
    Missing, // a file that does not exist
};

// Answers OnGetNextDisk: part N is the file files[N - 1]; the part stopAt is answered as
// stopWith says, every time it is asked for. Each question is written down by its part number.
struct PartAnswers {
    std::vector<std::string> files;
    std::string missingFile;
    int stopAt = 0;
    Answer stopWith = Answer::Name;
    std::vector<int> asked;

    void Attach(TZipExtractor& zip) {
        zip.OnGetNextDisk = [this](TObject*, int part, AnsiString& fileName) {
            asked.push_back(part);
            const Answer answer = part == stopAt ? stopWith : Answer::Name;
            switch (answer) {
            case Answer::Name:
                fileName = files.at(static_cast<std::size_t>(part - 1));
                break;
            case Answer::Refuse:
                fileName.clear();
                break;
            case Answer::Raise:
                throw EUserCanceled("no disk in the drive");
            case Answer::Missing:
                fileName = missingFile;
                break;
            }
        };
    }
};

// Writes parts into folder as disk1.zip, disk2.zip, ... and returns their paths.
std::vector<std::string> WriteParts(const test::ScratchFolder& folder,
                                    const std::vector<std::string>& parts) {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        files.push_back(folder / ("disk" + std::to_string(i + 1) + ".zip"));
        test::WriteWholeFile(files.back(), parts[i]);
    }
    return files;
}

// What UnZip did: "returned <count>", or the class and message of what it raised. File names
// in a message lose the scratch folder, and the system's reason after a failed open is cut off:
// its wording is the platform's.
std::string Outcome(TZipExtractor& zip, const std::string& folder) {
    try {
        return "returned " + std::to_string(zip.UnZip());
    } catch (const EUserCanceled& e) {
        return "EUserCanceled " + e.Message();
    } catch (const EFOpenError& e) {
        std::string message = e.Message();
        const std::size_t at = message.find(folder);
        if (at != std::string::npos) {
            message.erase(at, folder.size());
        }
        const std::size_t reason = message.find("\". ");
        if (reason != std::string::npos) {
            message.erase(reason + 2);
        }
        return "EFOpenError " + message;
    }
}

TEST(MultiPartExtraction, InfoZipPartsExtractInPhysicalOrder) {
    // Where each entry's data lies in the four parts joined, worked out from the central
    // directory by hand, with the CRC-32 it records. f2.bin runs from part 1 into part 2, f1.bin
    // from part 2 into part 3; the folder entry d/ is index 0.
    struct Stored {
        const char* path;
        std::size_t offset, size;
        std::uint32_t crc;
    };
    const Stored entries[] = {
        {"d\\f0.bin", 74, 30000, 0xF23CA76D},     {"d\\f4.bin", 30112, 30000, 0xB60B7998},
        {"d\\f2.bin", 60150, 30000, 0x72786EBA},  {"d\\f3.bin", 90188, 30000, 0x391E77C5},
        {"d\\f1.bin", 120226, 30000, 0x7C81D691}, {"d\\f5.bin", 150264, 46000, 0x50B88848},
    };
    std::string joined;
    for (int part = 1; part <= 4; ++part) {
        joined += test::ReadWholeFile(test::Fixture("multi.00" + std::to_string(part)));
    }

    // A sorted view is set aside for the run: the parts are visited in order all the same.
    for (const TZipSortMode mode : {TZipSortMode::ByNone, TZipSortMode::ByName}) {
        const std::string name = mode == TZipSortMode::ByNone ? "ByNone" : "ByName";
        test::Extraction x("");
        test::CopyFixtureParts(x.folder);
        x.zip.SetZipName(x.folder / "multi.004");
        x.zip.SetSortMode(mode);
        PartAnswers answers;
        for (int part = 1; part <= 4; ++part) {
            answers.files.push_back(x.folder / ("multi.00" + std::to_string(part)));
        }
        answers.Attach(x.zip);

        EXPECT_EQ(x.zip.UnZip(), 6) << name;
        Lines expected{"StartUnZipInfo 6 196000"};
        for (int i = 0; i < 6; ++i) {
            const std::string index = std::to_string(i + 1);
            expected.push_back("StartUnZip " + index + " D\\" + entries[i].path);
            expected.push_back("EndUnZip " + index + " D\\" + entries[i].path);
        }
        expected.push_back("UnZipComplete 6");
        EXPECT_EQ(x.log.lines, expected) << name;
        // Parts 3 and 4 for the catalogue, then each part once, from the first.
        EXPECT_EQ(answers.asked, (std::vector<int>{3, 4, 1, 2, 3})) << name;
        for (const Stored& e : entries) {
            const std::string file = test::ReadWholeFile(x.Out(e.path));
            EXPECT_EQ(file, joined.substr(e.offset, e.size)) << name << " " << e.path;
            EXPECT_EQ(test::ZlibCrc(Bytes(file.begin(), file.end())), e.crc)
                << name << " " << e.path;
        }
        EXPECT_EQ(x.zip.SortMode(), mode) << name << ": restored after the run";
    }
}

// An archive of a.txt (stored), span.bin and z.txt (deflated). Part 1 ends after onFirstPart
// bytes of span.bin's data as the archive holds it (for an encrypted entry, its 12-byte
// encryption header first); later parts hold laterParts bytes each. Data is read 16000 bytes
// at a time.
struct SpanCase {
    const char* name;
    bool deflated;
    test::InputKind kind;
    std::size_t size;
    std::size_t onFirstPart;
    std::size_t laterParts;
    int firstPart; // the parts span.bin's data lies on, 0-based
    int lastPart;
    const char* password = "";
};

constexpr std::size_t kWide = 1 << 20;

void ExtractSpanCase(const SpanCase& c) {
    const Bytes a = test::MakeInput(test::InputKind::Text, 3000, 1);
    const Bytes span = test::MakeInput(c.kind, c.size, 3);
    const Bytes z = test::MakeInput(test::InputKind::Text, 5000, 2);
    // The spanning signature, a.txt's local header, name and data, span.bin's local header and
    // name.
    constexpr std::size_t kBeforeSpanData = 4 + 30 + 5 + 3000 + 30 + 8;
    test::SplitZipWriter writer({kBeforeSpanData + c.onFirstPart, c.laterParts});
    writer.AddStored("a.txt", a);
    const auto placed = c.deflated ? writer.AddDeflated("span.bin", span, c.password)
                                   : writer.AddStored("span.bin", span, c.password);
    const auto last = writer.AddDeflated("z.txt", z);
    ASSERT_EQ(placed.firstPart, c.firstPart) << c.name;
    ASSERT_EQ(placed.lastPart, c.lastPart) << c.name;

    test::Extraction x("");
    PartAnswers answers;
    answers.files = WriteParts(x.folder, writer.Finish());
    x.zip.SetZipName(answers.files.back());
    x.zip.SetPassword(c.password);
    answers.Attach(x.zip);

    EXPECT_EQ(x.zip.UnZip(), 3) << c.name;
    EXPECT_EQ(
        x.log.lines,
        (Lines{"StartUnZipInfo 3 " + std::to_string(3000 + c.size + 5000), "StartUnZip 0 D\\a.txt",
               "EndUnZip 0 D\\a.txt", "StartUnZip 1 D\\span.bin", "EndUnZip 1 D\\span.bin",
               "StartUnZip 2 D\\z.txt", "EndUnZip 2 D\\z.txt", "UnZipComplete 3"}))
        << c.name;
    EXPECT_EQ(Contents(x.Out("a.txt")), AsText(a)) << c.name;
    EXPECT_TRUE(Contents(x.Out("span.bin")) == AsText(span)) << c.name;
    EXPECT_EQ(Contents(x.Out("z.txt")), AsText(z)) << c.name;
    // Every part that holds an entry's byte is asked for once, in order.
    std::vector<int> parts;
    for (int part = 1; part <= last.lastPart + 1; ++part) {
        parts.push_back(part);
    }
    EXPECT_EQ(answers.asked, parts) << c.name;
}

TEST(MultiPartExtraction, DataRunningIntoTheNextPartIsExtractedWhole) {
    using test::InputKind;
    const SpanCase cases[] = {
        {"stored, cut in the middle of a chunk", false, InputKind::Random, 30000, 10000, kWide, 0,
         1},
        {"stored, cut where a chunk ends", false, InputKind::Random, 40000, 16000, kWide, 0, 1},
        {"stored, its local header ends the part", false, InputKind::Random, 20000, 0, kWide, 1, 1},
        {"stored, running through a whole part", false, InputKind::Random, 45000, 10000, 20000, 0,
         2},
        {"deflated text, cut in its first chunk", true, InputKind::Text, 300000, 9000, kWide, 0, 1},
        {"deflated text, cut after its first chunk", true, InputKind::Text, 300000, 25000, kWide, 0,
         1},
        {"deflated text, cut where a chunk ends", true, InputKind::Text, 300000, 32000, kWide, 0,
         1},
        {"deflated text, its local header ends the part", true, InputKind::Text, 300000, 0, kWide,
         1, 1},
        {"deflated text, running through two whole parts", true, InputKind::Text, 300000, 5000,
         15000, 0, 3},
        {"deflated random data (stored blocks), cut after its first chunk", true, InputKind::Random,
         60000, 41000, kWide, 0, 1},
        // The keys run on from one part into the next.
        {"encrypted stored, cut in its data", false, InputKind::Random, 30000, 10000, kWide, 0, 1,
         "pass"},
        {"encrypted deflated, cut in its data", true, InputKind::Text, 300000, 25000, kWide, 0, 1,
         "pass"},
    };
    for (const SpanCase& c : cases) {
        ExtractSpanCase(c);
    }
}

TEST(MultiPartExtraction, EncryptionHeaderOnTheNextPartIsRead) {
    using test::InputKind;
    const SpanCase cases[] = {
        {"stored, the header cut after 5 bytes", false, InputKind::Random, 30000, 5, kWide, 0, 1,
         "pass"},
        {"deflated, the header cut after 5 bytes", true, InputKind::Text, 300000, 5, kWide, 0, 1,
         "pass"},
        {"stored, the local header ends the part", false, InputKind::Random, 30000, 0, kWide, 1, 1,
         "pass"},
        {"deflated, the local header ends the part", true, InputKind::Text, 300000, 0, kWide, 1, 1,
         "pass"},
    };
    for (const SpanCase& c : cases) {
        ExtractSpanCase(c);
    }
}

// The archive the refusals cut: first.txt whole on part 1, then span.bin (40000 random bytes
// stored, or 300000 bytes of text deflated) with onFirstPart bytes of its data on part 1 and
// the rest on part 2, then last.txt on part 2, which holds the central directory too.
struct StopCase {
    const char* name;
    bool deflated;
    std::size_t onFirstPart;
    int stopAt;
    Answer stopWith;
    std::string outcome;
    Lines events;
    std::vector<int> asked;
};

const Lines kStartStored{"StartUnZipInfo 3 45000", "StartUnZip 0 D\\first.txt",
                         "EndUnZip 0 D\\first.txt", "StartUnZip 1 D\\span.bin"};
const Lines kStartDeflated{"StartUnZipInfo 3 305000", "StartUnZip 0 D\\first.txt",
                           "EndUnZip 0 D\\first.txt", "StartUnZip 1 D\\span.bin"};

Lines Then(Lines lines, std::initializer_list<std::string> more) {
    lines.insert(lines.end(), more);
    return lines;
}

void RunStopCase(const StopCase& c) {
    const Bytes first = test::MakeInput(test::InputKind::Text, 3000, 4);
    const Bytes span = c.deflated ? test::MakeInput(test::InputKind::Text, 300000, 5)
                                  : test::MakeInput(test::InputKind::Random, 40000, 5);
    const Bytes last = test::MakeInput(test::InputKind::Text, 2000, 6);
    constexpr std::size_t kBeforeSpanData = 4 + 30 + 9 + 3000 + 30 + 8;
    test::SplitZipWriter writer({kBeforeSpanData + c.onFirstPart, kWide});
    writer.AddStored("first.txt", first);
    c.deflated ? writer.AddDeflated("span.bin", span) : writer.AddStored("span.bin", span);
    writer.AddStored("last.txt", last);

    test::Extraction x("");
    PartAnswers answers;
    answers.files = WriteParts(x.folder, writer.Finish());
    ASSERT_EQ(answers.files.size(), 2u) << c.name;
    answers.missingFile = x.folder / "gone.zip";
    answers.stopAt = c.stopAt;
    answers.stopWith = c.stopWith;
    x.zip.SetZipName(answers.files.back());
    answers.Attach(x.zip);

    EXPECT_EQ(Outcome(x.zip, x.folder.Path()), c.outcome) << c.name;
    EXPECT_EQ(x.log.lines, c.events) << c.name;
    EXPECT_EQ(answers.asked, c.asked) << c.name;
    EXPECT_FALSE(x.zip.Busy()) << c.name;

    // Nothing after the stop is on the disk, and nothing of the file being written: neither
    // under its name nor under its partial name.
    std::set<std::string> files;
    for (const std::string& line : c.events) {
        if (line.rfind("EndUnZip ", 0) == 0) {
            files.insert(line.substr(line.rfind('\\') + 1));
        }
    }
    EXPECT_EQ(test::FilesUnder(x.folder / "out"), files) << c.name;

    // Once the part is there, the run can be made again and takes every file.
    x.log.lines.clear();
    answers.stopAt = 0;
    EXPECT_EQ(Outcome(x.zip, x.folder.Path()), "returned 3") << c.name << ", again";
    EXPECT_EQ(Contents(x.Out("first.txt")), AsText(first)) << c.name << ", again";
    EXPECT_TRUE(Contents(x.Out("span.bin")) == AsText(span)) << c.name << ", again";
    EXPECT_EQ(Contents(x.Out("last.txt")), AsText(last)) << c.name << ", again";
}

TEST(MultiPartExtraction, RefusedPartEndsTheRun) {
    // Refused while an entry's data is read, whatever its method and wherever in its data: the
    // reader's EUserCanceled ends the run. Refused when an entry starts on the part: the
    // switch's own EUserCanceled. A handler's own EUserCanceled is a refusal too; while data
    // is read, the reader's message replaces its own.
    const StopCase cases[] = {
        {"stored data runs on into the refused part",
         false,
         20000,
         2,
         Answer::Refuse,
         "EUserCanceled User Aborted Operation",
         Then(kStartStored, {"UnZipComplete 1"}),
         {1, 2}},
        {"deflated data runs on into the refused part in its first chunk",
         true,
         8000,
         2,
         Answer::Refuse,
         "EUserCanceled User Aborted Operation",
         Then(kStartDeflated, {"UnZipComplete 1"}),
         {1, 2}},
        {"deflated data runs on into the refused part after its first chunk",
         true,
         24000,
         2,
         Answer::Refuse,
         "EUserCanceled User Aborted Operation",
         Then(kStartDeflated, {"UnZipComplete 1"}),
         {1, 2}},
        {"the next entry starts on the refused part",
         false,
         40000,
         2,
         Answer::Refuse,
         "EUserCanceled User canceled loading new disk.",
         Then(kStartStored, {"EndUnZip 1 D\\span.bin", "UnZipComplete 2"}),
         {1, 2}},
        {"the first part is refused",
         false,
         20000,
         1,
         Answer::Refuse,
         "EUserCanceled User canceled loading new disk.",
         {"StartUnZipInfo 3 45000", "UnZipComplete 0"},
         {1}},
        {"the handler raises while stored data is read",
         false,
         20000,
         2,
         Answer::Raise,
         "EUserCanceled User Aborted Operation",
         Then(kStartStored, {"UnZipComplete 1"}),
         {1, 2}},
        {"the handler raises while deflated data is read",
         true,
         24000,
         2,
         Answer::Raise,
         "EUserCanceled User Aborted Operation",
         Then(kStartDeflated, {"UnZipComplete 1"}),
         {1, 2}},
        {"the handler raises for the next entry's part",
         false,
         40000,
         2,
         Answer::Raise,
         "EUserCanceled no disk in the drive",
         Then(kStartStored, {"EndUnZip 1 D\\span.bin", "UnZipComplete 2"}),
         {1, 2}},
    };
    for (const StopCase& c : cases) {
        RunStopCase(c);
    }
}

TEST(MultiPartExtraction, MissingPartEndsTheRun) {
    // A part named by a file that is not there is asked for once more; then opening it fails,
    // and that failure ends the run wherever it comes.
    const std::string missing = "EFOpenError Cannot open file \"gone.zip\".";
    const StopCase cases[] = {
        {"stored data runs on into the missing part",
         false,
         20000,
         2,
         Answer::Missing,
         missing,
         Then(kStartStored, {"UnZipComplete 1"}),
         {1, 2, 2}},
        {"deflated data runs on into the missing part in its first chunk",
         true,
         8000,
         2,
         Answer::Missing,
         missing,
         Then(kStartDeflated, {"UnZipComplete 1"}),
         {1, 2, 2}},
        {"deflated data runs on into the missing part after its first chunk",
         true,
         24000,
         2,
         Answer::Missing,
         missing,
         Then(kStartDeflated, {"UnZipComplete 1"}),
         {1, 2, 2}},
        {"the next entry starts on the missing part",
         false,
         40000,
         2,
         Answer::Missing,
         missing,
         Then(kStartStored, {"EndUnZip 1 D\\span.bin", "UnZipComplete 2"}),
         {1, 2, 2}},
        {"the first part is missing",
         false,
         20000,
         1,
         Answer::Missing,
         missing,
         {"StartUnZipInfo 3 45000", "UnZipComplete 0"},
         {1, 1}},
    };
    for (const StopCase& c : cases) {
        RunStopCase(c);
    }
}

TEST(MultiPartExtraction, PartRefusedForTheCatalogueRaisesNoEvent) {
    // multi.004 holds the end record; the central directory starts on part 3. Without a
    // catalogue there is no run: no event, no folder.
    struct Case {
        const char* name;
        Answer answer;
        std::string outcome;
        std::vector<int> asked;
    };
    const Case cases[] = {
        {"refused", Answer::Refuse, "EUserCanceled User canceled loading new disk.", {3}},
        {"missing", Answer::Missing, "EFOpenError Cannot open file \"gone.zip\".", {3, 3}},
    };
    for (const Case& c : cases) {
        test::Extraction x("");
        test::CopyFixtureParts(x.folder);
        x.zip.SetZipName(x.folder / "multi.004");
        PartAnswers answers;
        answers.missingFile = x.folder / "gone.zip";
        answers.stopAt = 3;
        answers.stopWith = c.answer;
        answers.Attach(x.zip);
        EXPECT_EQ(Outcome(x.zip, x.folder.Path()), c.outcome) << c.name;
        EXPECT_EQ(x.log.lines, Lines{}) << c.name;
        EXPECT_EQ(answers.asked, c.asked) << c.name;
        EXPECT_EQ(x.zip.Count(), 0) << c.name;
        EXPECT_FALSE(DirectoryExists(x.folder / "out")) << c.name;
    }
}

} // namespace
} // namespace kq
