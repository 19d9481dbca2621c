// Archives without a readable catalogue: the three IncompleteZipModes, the handler that may
// change the mode, the catalogue rebuilt from local headers (with the self-extractor start),
// and the ".zfc" companion file.
#include "support/zip_fixtures.h"
#include "test/file_bytes.h"
#include "test/raises.h"
#include "test/scratch_folder.h"
#include "unzip/errors.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using Listing = std::vector<test::ListedEntry>;

// Bytes without any zip signature.
std::string Garbage() {
    std::string bytes(1000, '\0');
    uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245 + 12345;
        c = static_cast<char>('a' + (state >> 16) % 26);
    }
    return bytes;
}

struct ModeCase {
    const char* archive;
    TIncompleteZipMode mode;
    std::function<void(TZipExtractor&)> expect;
    int handlerCalls; // OnInCompleteZip is called before each failure and before a rebuild
    const char* what;
};

template <class E>
std::function<void(TZipExtractor&)> Raises(const char* message) {
    return [message](TZipExtractor& zip) {
        EXPECT_EQ(test::RaisedMessage<E>([&] { zip.OpenAndRefreshCatalogue(); }), message);
        EXPECT_EQ(zip.Count(), 0) << "no catalogue is left behind";
        EXPECT_EQ(test::RaisedMessage<E>([&] { zip.OpenAndRefreshCatalogue(); }), message)
            << "reading again fails again";
    };
}

std::function<void(TZipExtractor&)> Lists(Listing expected) {
    return [expected](TZipExtractor& zip) {
        zip.OpenAndRefreshCatalogue();
        Listing listing;
        for (int i = 0; i < zip.Count(); ++i) {
            listing.push_back({zip.Pathname(i) + zip.Filename(i), zip.Entry(i).UncompressedSize(),
                               zip.Entry(i).CRC32()});
        }
        EXPECT_EQ(listing, expected);
    };
}

// Names, sizes and CRC-32 values from the listings of Python's zipfile (fixtures/listings.txt)
// and, for trunc_cd.zip, from zlib.crc32 of the stored bytes.
const Listing kSfxEntries = {{"readme.txt", 13, 0x647dcc33}, {"program.dat", 800, 0x930938c5}};
const Listing kTruncatedEntries = {
    {"a.txt", 5, 0xc1ebf7ba}, {"b.txt", 10, 0x5becd18c}, {"c.txt", 15, 0xfe5b3a38}};

TEST(DamagedArchive, EachIncompleteZipMode) {
    using M = TIncompleteZipMode;
    const ModeCase cases[] = {
        {"garbage.bin", M::izAssumeMulti, Raises<EIncompleteZip>("Incomplete Zip File"), 2,
         "no end record, taken for one part of many"},
        {"garbage.bin", M::izAssumeNotAZip, Raises<ENotAZipFile>("Not a valid zip file!"), 2,
         "no end record, taken for something else"},
        {"garbage.bin", M::izAssumeBad, Raises<EBadZipFile>("Not a valid zip file!"), 2,
         "no end record and no local header to rebuild from"},
        {"trunc_cd.zip", M::izAssumeMulti, Raises<EBadZipFile>("Not a valid zip file!"), 2,
         "a central record missing"},
        {"trunc_cd.zip", M::izAssumeNotAZip, Raises<EBadZipFile>("Not a valid zip file!"), 2,
         "a central record missing"},
        {"trunc_cd.zip", M::izAssumeBad, Lists(kTruncatedEntries), 1,
         "rebuilt from the local headers"},
        {"sfx_adjusted.exe", M::izAssumeMulti, Lists(kSfxEntries), 0,
         "a program part with offsets corrected"},
        {"sfx_raw.exe", M::izAssumeMulti, Raises<EBadZipFile>("Not a valid zip file!"), 2,
         "offsets that do not count the program part"},
        {"sfx_raw.exe", M::izAssumeBad, Lists(kSfxEntries), 1,
         "scanning an .exe skips the program part, and the header planted in it"},
        {"sfx_raw.bin", M::izAssumeBad, Lists({{"fake", 0, 0}}), 1,
         "scanning anything else starts at 0 and finds the planted header"},
    };
    test::ScratchFolder folder;
    test::WriteWholeFile(folder / "garbage.bin", Garbage());
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(std::string(c.archive) + ": " + c.what);
        const std::string name = c.archive == std::string("garbage.bin") ? folder / "garbage.bin"
                                                                         : test::Fixture(c.archive);
        TZipExtractor zip(nullptr);
        zip.SetZipName(name);
        zip.SetIncompleteZipMode(c.mode);
        int calls = 0;
        zip.OnInCompleteZip = [&](TObject* sender, TIncompleteZipMode& mode) {
            EXPECT_EQ(sender, &zip);
            EXPECT_EQ(mode, c.mode);
            ++calls;
        };
        c.expect(zip);
        EXPECT_EQ(calls, c.handlerCalls);
    }
}

TEST(DamagedArchive, HandlerChangesTheMode) {
    TZipExtractor zip(nullptr);
    zip.OnInCompleteZip = [](TObject*, TIncompleteZipMode& mode) {
        mode = TIncompleteZipMode::izAssumeNotAZip;
    };
    test::ScratchFolder folder;
    test::WriteWholeFile(folder / "part.zip", test::ReadWholeFile(test::Fixture("split.zip")));
    zip.SetZipName(folder / "part.zip");
    EXPECT_THROW(zip.OpenAndRefreshCatalogue(), ENotAZipFile);
    EXPECT_EQ(zip.IncompleteZipMode(), TIncompleteZipMode::izAssumeNotAZip);
}

TEST(DamagedArchive, CompanionFileHoldsTheCatalogue) {
    test::ScratchFolder folder;
    test::WriteWholeFile(folder / "split.zip", test::ReadWholeFile(test::Fixture("split.zip")));
    const std::string companion = test::ReadWholeFile(test::Fixture("split.zfc"));
    struct Case {
        const char* contents;
        bool used;
    };
    for (Case c :
         {Case{"", false}, Case{"no end record here at all", false}, Case{nullptr, true}}) {
        test::WriteWholeFile(folder / "split.zfc", c.contents ? c.contents : companion);
        TZipExtractor zip(nullptr);
        if (!c.used) {
            EXPECT_THROW(test::ReadListing(zip, folder / "split.zip"), EIncompleteZip)
                << "companion \"" << c.contents << "\" is ignored";
            continue;
        }
        const Listing listing = test::ReadListing(zip, folder / "split.zip");
        EXPECT_EQ(listing, (Listing{{"one.txt", 4, 0xf817a89f}, {"sub\\two.txt", 8, 0xebc7eb45}}));
        // Offsets in the companion are not the archive's: its comments come with the catalogue.
        zip.CloseArchive();
        EXPECT_EQ(zip.FileComment(0), "comment of one");
        EXPECT_EQ(zip.ZipComment(), "companion comment");
        EXPECT_FALSE(zip.ArchiveIsOpen());
    }
}

TEST(DamagedArchive, RecordsReachingPastTheEnd) {
    test::ScratchFolder folder;
    // pipe.zip has one central record and no archive comment: the record's comment length (at
    // 32 in the record) is made to reach past the end of the file.
    std::string bytes = test::ReadWholeFile(test::Fixture("pipe.zip"));
    const size_t central = static_cast<uint8_t>(bytes[bytes.size() - 6]) |
                           static_cast<uint8_t>(bytes[bytes.size() - 5]) << 8;
    bytes[central + 32] = bytes[central + 33] = '\xFF';
    test::WriteWholeFile(folder / "long-comment.zip", bytes);
    TZipExtractor zip(nullptr);
    EXPECT_THROW(test::ReadListing(zip, folder / "long-comment.zip"), EBadZipFile);

    // tree.zip cut inside the data of its last entry (the fifth local header), no end record:
    // scanning keeps the four entries that are whole.
    bytes = test::ReadWholeFile(test::Fixture("tree.zip"));
    size_t fifth = 0;
    for (int i = 0; i < 5; ++i) {
        fifth = bytes.find("PK\x03\x04", i == 0 ? 0 : fifth + 1);
    }
    test::WriteWholeFile(folder / "cut.zip", bytes.substr(0, fifth + 30 + 9 + 3));
    zip.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
    const Listing listing = test::ReadListing(zip, folder / "cut.zip");
    ASSERT_EQ(listing.size(), 4u);
    EXPECT_EQ(listing[3].path, "top\\sub\\b.txt");
}

} // namespace
} // namespace kq
