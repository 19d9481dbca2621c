// Archives whose entries share bytes (non-recursive zip bombs and their relatives) are refused
// as damaged before anything of the shared data is written; the layout of ordinary archives,
// with data descriptors, comments, a self-extractor in front or parts, is left alone (the other
// catalogue tests read those).
#include "platform/files.h"
#include "support/zip_fixtures.h"
#include "test/file_bytes.h"
#include "test/raises.h"
#include "test/scratch_folder.h"
#include "unzip/errors.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

TEST(OverlappingEntries, AreRefusedAsDamaged) {
    struct Case {
        const char* archive;
        int entriesListed; // -1: the catalogue itself is refused
        const char* what;
    };
    // Info-ZIP unzip refuses the first two as overlapped; Python's zipfile extracts the bomb's
    // four files (4 MiB from 1.4 KiB) with good CRCs.
    const Case cases[] = {
        {"overlap_quoted.zip", -1, "each local header quoted in the data of the one before"},
        {"overlap_local_extra.zip", 2,
         "a local extra field pushes the data into the next entry; seen when it is reached"},
        {"overlap_central.zip", -1, "compressed size reaching into the central directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool test : {false, true}) {
            test::ScratchFolder scratch;
            TZipExtractor zip(nullptr);
            zip.SetZipName(test::Fixture(c.archive));
            zip.SetDestDir(scratch / "out");
            zip.SetRecreateDirs(true);
            zip.SetDoAll(true);
            zip.SetOverwriteMode(TUZOverwriteMode::Always);
            int events = 0;
            zip.OnEndUnZip = [&](TObject*, int, const AnsiString&) { ++events; };
            zip.OnBadCRC = [&](TObject*, std::uint32_t, std::uint32_t, int) { ++events; };
            if (c.entriesListed >= 0) {
                zip.OpenAndRefreshCatalogue();
                EXPECT_EQ(zip.Count(), c.entriesListed);
            }
            EXPECT_EQ(test::RaisedMessage<EBadZipFile>([&] { test ? zip.Test() : zip.UnZip(); }),
                      "Not a valid zip file!")
                << (test ? "Test" : "UnZip");
            EXPECT_EQ(events, 0) << "no entry is reported good or bad";
            EXPECT_FALSE(FileExists(scratch / "out\\a.txt"));
            EXPECT_FALSE(FileExists(scratch / "out\\hello.txt"));
        }
    }
}

// The check keeps the catalogue's cost: a bomb of 10,000 entries quoting each other is refused
// at once, and a sound archive of as many entries reads as fast as before.
TEST(OverlappingEntries, ManyEntriesStayFast) {
    auto archive = [](bool overlapping) {
        std::string data, cd;
        auto u16 = [](std::string& s, unsigned v) {
            s += char(v & 0xFF), s += char(v >> 8 & 0xFF);
        };
        auto u32 = [&](std::string& s, unsigned v) { u16(s, v & 0xFFFF), u16(s, v >> 16); };
        const int count = 10000;
        for (int i = 0; i < count; ++i) {
            const std::string name = "f" + std::to_string(i);
            const unsigned offset = static_cast<unsigned>(data.size());
            // Overlapping: every entry claims the rest of the archive's entries as its data.
            const unsigned size = overlapping ? 1000000 : 0;
            u32(data, 0x04034B50), u16(data, 20), u16(data, 0), u16(data, 0), u32(data, 0);
            u32(data, 0), u32(data, size), u32(data, 0), u16(data, name.size()), u16(data, 0);
            data += name;
            u32(cd, 0x02014B50), u16(cd, 20), u16(cd, 20), u16(cd, 0), u16(cd, 0), u32(cd, 0);
            u32(cd, 0), u32(cd, size), u32(cd, 0), u16(cd, name.size()), u16(cd, 0), u16(cd, 0);
            u16(cd, 0), u16(cd, 0), u32(cd, 0), u32(cd, offset);
            cd += name;
        }
        std::string end;
        u32(end, 0x06054B50), u16(end, 0), u16(end, 0), u16(end, count), u16(end, count);
        u32(end, static_cast<unsigned>(cd.size())), u32(end, static_cast<unsigned>(data.size()));
        u16(end, 0);
        return data + cd + end;
    };
    test::ScratchFolder scratch;
    for (const bool overlapping : {false, true}) {
        SCOPED_TRACE(overlapping ? "overlapping" : "sound");
        test::WriteWholeFile(scratch / "many.zip", archive(overlapping));
        TZipExtractor zip(nullptr);
        zip.SetZipName(scratch / "many.zip");
        const auto start = std::chrono::steady_clock::now();
        if (overlapping) {
            EXPECT_THROW(zip.OpenAndRefreshCatalogue(), EBadZipFile);
        } else {
            zip.OpenAndRefreshCatalogue();
            EXPECT_EQ(zip.Count(), 10000);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    }
}

} // namespace
} // namespace kq
