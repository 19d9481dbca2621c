// A file is written under its partial name ("<name>.partial") and takes its own name only when
// it is whole: while it is written, its name shows nothing or the file it replaces; whatever ends
// the entry early (damaged data, an exception, a file that cannot be replaced) leaves the file
// there as it was and no partial file; a partial file left by a killed run is written over.
#include "base/strings.h"
#include "extraction.h"
#include "support/zip_writer.h"
#include "test/file_bytes.h"
#include "unzip/errors.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

const std::string kOld = "the file as the user had it\n";

// What a name shows: the file's bytes, or nothing.
std::string Shown(const std::string& path) {
    return FileExists(path) ? test::ReadWholeFile(path) : std::string();
}

std::string NewBytes() {
    std::string bytes(50000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>('a' + (i * 7 + i / 1000) % 26);
    }
    return bytes;
}

struct PartialCase {
    const char* name;
    // Before the run: the file there (empty: none), a partial file left behind (empty: none).
    std::string before;
    std::string leftPartial;
    bool readOnlyThere;
    bool folderThere; // a folder of the file's name is in the way
    bool replaceReadOnly;
    bool damaged; // one byte of the data inverted: the CRC does not match
    bool throwsMidway;
    std::string after; // the file there after the run (empty: none)
    std::string events;
};

TEST(PartialFiles, AFileTakesItsNameOnlyWhole) {
    const std::string fresh = NewBytes();
    const PartialCase cases[] = {
        {"a new file", "", "", false, false, true, false, false, fresh, "End"},
        {"a file replaced", kOld, "", false, false, true, false, false, fresh, "End"},
        {"a read-only file replaced", kOld, "", true, false, true, false, false, fresh, "End"},
        {"a read-only file not to be replaced", kOld, "", true, false, false, false, false, kOld,
         "Skip srCreateError"},
        {"damaged data over a file", kOld, "", false, false, true, true, false, kOld, "BadCRC"},
        {"damaged data, no file there", "", "", false, false, true, true, false, "", "BadCRC"},
        {"an exception midway over a file", kOld, "", false, false, true, false, true, kOld,
         "raised"},
        {"a killed run's partial file", "", "half", false, false, true, false, false, fresh, "End"},
        {"a killed run's read-only partial file", kOld, "half", false, false, false, false, false,
         fresh, "End"},
        {"a folder in the way", "", "", false, true, true, false, false, "", "Skip srCreateError"},
    };
    for (const PartialCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::Extraction x("");
        test::StoredZipWriter writer;
        writer.AddFile("big.bin", fresh);
        std::string archive = writer.Bytes();
        if (c.damaged) {
            archive[30 + 7 + 20000] ^= 0x55; // past the local header and "big.bin"
        }
        test::WriteWholeFile(x.folder / "one.zip", archive);
        x.zip.SetZipName(x.folder / "one.zip");
        x.zip.SetReplaceReadOnly(c.replaceReadOnly);
        const std::string there = x.Out("big.bin");
        const std::string partial = there + ".partial";
        ForceDirectories(x.folder / "out");
        if (!c.before.empty()) {
            test::WriteWholeFile(there, c.before);
            SetFileAttributes(there, c.readOnlyThere ? attr::ReadOnly : attr::Normal);
        }
        if (c.folderThere) {
            ForceDirectories(there);
        }
        if (!c.leftPartial.empty()) {
            test::WriteWholeFile(partial, c.leftPartial);
            SetFileAttributes(partial, attr::ReadOnly);
        }

        // Midway through the data, the name shows what was there before.
        int calls = 0;
        x.zip.OnFilePercentDone = [&](TObject*, int) {
            if (++calls != 2) {
                return;
            }
            EXPECT_TRUE(FileExists(partial));
            EXPECT_EQ(Shown(there), c.before);
            if (c.throwsMidway) {
                throw EAbort("stop");
            }
        };
        std::string events;
        x.zip.OnEndUnZip = [&](TObject*, int, const AnsiString&) { events += "End"; };
        x.zip.OnBadCRC = [&](TObject*, std::uint32_t, std::uint32_t, int) { events += "BadCRC"; };
        x.zip.OnSkippingFile = [&](TObject*, TSkipReason reason, const AnsiString&, int,
                                   bool& retry) {
            events += reason == TSkipReason::srCreateError ? "Skip srCreateError" : "Skip";
            retry = false;
        };
        try {
            x.zip.UnZip();
        } catch (const EAbort&) {
            events += "raised";
        }

        EXPECT_EQ(events, c.events);
        EXPECT_EQ(Shown(there), c.after);
        EXPECT_EQ(FileExists(there), !c.after.empty());
        EXPECT_EQ(DirectoryExists(there), c.folderThere);
        EXPECT_FALSE(FileExists(partial));
        if (c.after == fresh) {
            EXPECT_EQ(GetFileDosDateTime(there), test::kFixtureTime);
        }
        SetFileAttributes(there, attr::Normal);
    }
}

// An archive may hold files named like the partial files of its others: none is lost or written
// over, whatever their order, and no partial file stays.
TEST(PartialFiles, AnEntryNamedLikeAPartialFileIsKept) {
    const std::vector<std::vector<std::string>> orders = {
        {"a.txt.partial", "a.txt"},
        {"a.txt", "a.txt.partial"},
        {"A.TXT.PARTIAL", "a.txt"},
        {"a.txt.partial", "a.txt.1.partial", "a.txt"},
        {"a.txt.partial", "a.txt.partial.partial", "a.txt", "a.txt.partial"},
    };
    for (const std::vector<std::string>& names : orders) {
        SCOPED_TRACE(names.front() + " ... " + names.back());
        test::Extraction x("");
        test::StoredZipWriter writer;
        for (std::size_t i = 0; i < names.size(); ++i) {
            writer.AddFile(names[i], "entry " + std::to_string(i) + " " + names[i]);
        }
        test::WriteWholeFile(x.folder / "names.zip", writer.Bytes());
        x.zip.SetZipName(x.folder / "names.zip");
        int ends = 0;
        x.zip.OnEndUnZip = [&](TObject*, int, const AnsiString&) { ++ends; };
        x.zip.UnZip();

        EXPECT_EQ(ends, static_cast<int>(names.size()));
        // The last entry of a name is what the name shows.
        for (std::size_t i = 0; i < names.size(); ++i) {
            bool later = false;
            for (std::size_t j = i + 1; j < names.size(); ++j) {
                later = later || SameText(names[j], names[i]);
            }
            if (!later) {
                EXPECT_EQ(Shown(x.Out(names[i])), "entry " + std::to_string(i) + " " + names[i]);
            }
        }
        for (const char* stray : {"a.txt.2.partial", "a.txt.partial.1.partial"}) {
            EXPECT_FALSE(FileExists(x.Out(stray))) << stray;
        }
    }
}

} // namespace
} // namespace kq
