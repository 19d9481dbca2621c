// The third-party archives of the corpus (support/testdata.h): the catalogue of each archive
// that Info-ZIP lists has the names, sizes and CRC-32 values of its expected listing
// (expected/<name>.txt, checked there by Info-ZIP and other decoders), and the malformed ones
// raise the engine's errors.
#include "base/exceptions.h"
#include "platform/codepage.h"
#include "support/testdata.h"
#include "support/zip_fixtures.h"
#include "test/file_bytes.h"
#include "test/scratch_folder.h"
#include "unzip/errors.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kq {
namespace {

// Code points of CP437's bytes 0x80-0xFF (the code page's published table).
const char32_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

std::vector<char32_t> DecodeUtf8(const std::string& text) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? b : b & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < text.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out.push_back(c);
        i += static_cast<size_t>(length);
    }
    return out;
}

// The stored bytes of a name written in the listing as CP437 text; "" when it cannot be.
std::string EncodeCp437(const std::string& utf8) {
    std::string out;
    for (char32_t c : DecodeUtf8(utf8)) {
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const auto* at = std::find(std::begin(kCp437High), std::end(kCp437High), c);
        if (at == std::end(kCp437High)) {
            return "";
        }
        out += static_cast<char>(0x80 + (at - kCp437High));
    }
    return out;
}

// The listing writes control characters as \xNN.
std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size() + 0) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The name the catalogue shows for stored bytes: "/" becomes "\", then OEM to ANSI.
std::string AsCatalogueName(std::string stored) {
    std::replace(stored.begin(), stored.end(), '/', '\\');
    return OemToAnsi(stored);
}

struct ExpectedEntry {
    uint32_t crc;
    uint32_t size;
    std::string asUtf8;  // the name, when the entry has the UTF-8 flag (bit 11)
    std::string asCp437; // the name, when it has not
};

std::vector<ExpectedEntry> ReadExpected(const std::string& path) {
    std::istringstream lines(test::ReadWholeFile(path));
    std::vector<ExpectedEntry> entries;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string crc, size, name;
        std::getline(fields, crc, '\t');
        std::getline(fields, size, '\t');
        std::getline(fields, name);
        const std::string stored = Unescape(name);
        entries.push_back({static_cast<uint32_t>(std::stoul(crc, nullptr, 16)),
                           static_cast<uint32_t>(std::stoul(size)), AsCatalogueName(stored),
                           AsCatalogueName(EncodeCp437(stored))});
    }
    return entries;
}

// Entries of the catalogue that no expected entry matches, and expected entries left over.
std::string Differences(TZipExtractor& zip, std::vector<ExpectedEntry> expected) {
    std::string differences;
    for (int i = 0; i < zip.Count(); ++i) {
        const TZipHeaderInfo& entry = zip.Entry(i);
        const std::string path = zip.Pathname(i) + zip.Filename(i);
        const bool utf8 = (entry.Flags() & 0x0800) != 0;
        auto match = std::find_if(expected.begin(), expected.end(), [&](const ExpectedEntry& e) {
            return e.crc == entry.CRC32() && e.size == entry.UncompressedSize() &&
                   (utf8 ? e.asUtf8 : e.asCp437) == path;
        });
        if (match == expected.end()) {
            differences +=
                "\n  unexpected: " + path + " size " + std::to_string(entry.UncompressedSize());
        } else {
            expected.erase(match);
        }
    }
    for (const ExpectedEntry& e : expected) {
        differences += "\n  missing: " + e.asCp437 + " size " + std::to_string(e.size);
    }
    return differences;
}

// Archives whose central directory offset does not count bytes before the archive (or a gap
// before the directory): the catalogue is found only by rebuilding it from the local headers.
const std::set<std::string> kRebuilt = {"libarchive/test_read_format_zip_sfx",
                                        "cpython-lib/exe_with_zip",
                                        "libarchive/test_read_format_zip_padded1.zip",
                                        "commons-compress/COMPRESS-621.zip", "go/readme.notzip"};
// Zip64 end records (offsets FFFFFFFF): not read by this engine, as intended.
const std::set<std::string> kZip64 = {"go/zip64.zip", "go/zip64-2.zip", "dotnet/fake64.zip"};
// Listings this engine differs from by its rules, with the same number of entries:
// InvalidWindowsFileNameChars has names with ":", which ends a directory part that then gets
// its "\"; tttt.zip lists what Info-ZIP inflated, not the declared 256 bytes (read here);
// zip64_magic_in_filename_1 lists its name only up to the first zero byte.
const std::set<std::string> kDiffers = {"dotnet/InvalidWindowsFileNameChars.zip", "dotnet/tttt.zip",
                                        "zip2/zip64_magic_in_filename_1.zip"};

TEST(ThirdPartyArchives, CataloguesMatchTheExpectedListings) {
    KQ_SKIP_WITHOUT_TESTDATA();
    test::ScratchFolder folder; // natively: the OEM and ANSI code pages of Wine's default
    std::istringstream rows(test::ReadWholeFile(test::Testdata("MANIFEST.tsv")));
    std::string row;
    std::getline(rows, row); // the heading
    int compared = 0;
    while (std::getline(rows, row)) {
        const std::string path = row.substr(0, row.find('\t')); // files/<source>/<name>
        const std::string name = path.substr(std::string("files/").size());
        const std::string expectedPath = test::Testdata("expected/" + name + ".txt");
        if (!FileExists(expectedPath)) {
            continue;
        }
        SCOPED_TRACE(name);
        const auto expected = ReadExpected(expectedPath);
        TZipExtractor zip(nullptr);
        zip.SetZipName(test::Testdata(path));
        if (kZip64.count(name) != 0 || kRebuilt.count(name) != 0) {
            EXPECT_THROW(zip.OpenAndRefreshCatalogue(), EBadZipFile);
            if (kZip64.count(name) != 0) {
                continue;
            }
            zip.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
        }
        zip.OpenAndRefreshCatalogue();
        if (kDiffers.count(name) != 0) {
            EXPECT_EQ(zip.Count(), static_cast<int>(expected.size()));
        } else {
            EXPECT_EQ(Differences(zip, expected), "");
        }
        ++compared;
    }
    EXPECT_EQ(compared, 84);
}

TEST(ThirdPartyArchives, MalformedCatalogues) {
    KQ_SKIP_WITHOUT_TESTDATA();
    using M = TIncompleteZipMode;
    struct Case {
        const char* archive;
        M mode;
        const char* error; // the exception's class, or "" when a catalogue is read
    };
    const Case cases[] = {
        {"commons-compress/invalid-zip.zip", M::izAssumeMulti, "EIncompleteZip"},
        {"commons-compress/invalid-zip.zip", M::izAssumeBad, "EBadZipFile"},
        {"dotnet/EOCDmissing.zip", M::izAssumeMulti, "EIncompleteZip"},
        {"dotnet/EOCDmissing.zip", M::izAssumeBad, ""},
        {"commons-compress/apache-maven-2.2.1.zip.001", M::izAssumeNotAZip, "ENotAZipFile"},
        {"commons-compress/apache-maven-2.2.1.zip.001", M::izAssumeBad, ""},
        {"commons-compress/org_apache_commons_compress_zip_decompressNextSymbol.bin",
         M::izAssumeMulti, "EIncompleteZip"},
        {"dotnet/CDoffsetOutOfBounds.zip", M::izAssumeMulti, "EBadZipFile"},
        {"dotnet/numberOfEntriesDifferent.zip", M::izAssumeMulti, "EBadZipFile"},
        {"zip2/invalid_offset.zip", M::izAssumeMulti, "EBadZipFile"},
        {"zip2/invalid_offset.zip", M::izAssumeBad, ""},
        // Two central records of one local header.
        {"commons-compress/COMPRESS-227.zip", M::izAssumeBad, "EListError"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.archive) + " mode " + std::to_string(static_cast<int>(c.mode)));
        TZipExtractor zip(nullptr);
        zip.SetZipName(test::Testdata(std::string("files/") + c.archive));
        zip.SetIncompleteZipMode(c.mode);
        std::string raised;
        try {
            zip.OpenAndRefreshCatalogue();
        } catch (const EIncompleteZip&) {
            raised = "EIncompleteZip";
        } catch (const ENotAZipFile&) {
            raised = "ENotAZipFile";
        } catch (const EBadZipFile&) {
            raised = "EBadZipFile";
        } catch (const EListError& e) {
            raised = "EListError";
            EXPECT_EQ(e.Message(), "Duplicate Object index");
        }
        EXPECT_EQ(raised, c.error);
        EXPECT_EQ(zip.Count() > 0, raised.empty()) << "entries exactly when no error";
    }
}

} // namespace
} // namespace kq
