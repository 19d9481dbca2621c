// Every entry of the third-party archives tagged "[A legacy]" in the test data's manifest decodes
// to the size and CRC-32 of its expected listing (verified with other decoders) and to the CRC
// its archive stores.
#include "legacy_decode.h"
#include "support/testdata.h"
#include "support/zip_entries.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>

namespace kq::test {
namespace {

TEST(LegacyArchives, EveryEntryDecodesToItsListing) {
    KQ_SKIP_WITHOUT_TESTDATA();
    std::ifstream manifest(TestdataFile("MANIFEST.tsv"));
    std::map<int, int> decodedByMethod;
    int archives = 0;
    for (std::string row; std::getline(manifest, row);) {
        if (row.find("[A legacy]") == std::string::npos) {
            continue;
        }
        const std::string archive = row.substr(0, row.find('\t'));
        SCOPED_TRACE(archive);
        ++archives;
        const Bytes zip = ReadFileBytes(TestdataFile(archive));
        const std::vector<ZipEntry> entries = ListEntries(zip);
        std::ifstream listing(TestdataFile("expected/" + archive.substr(6) + ".txt"));
        std::size_t i = 0;
        for (std::string line; std::getline(listing, line);) {
            if (line.empty() || line[0] == '#') {
                continue;
            }
            ASSERT_LT(i, entries.size());
            const ZipEntry& e = entries[i++];
            SCOPED_TRACE(e.name);
            const std::uint32_t crc = static_cast<std::uint32_t>(std::stoul(line, nullptr, 16));
            const std::size_t size = std::stoul(line.substr(line.find('\t') + 1));
            const LegacyResult r = DecodeLegacy(e.method, e.flags, EntryData(zip, e),
                                                static_cast<std::int32_t>(e.uncompressedSize));
            EXPECT_EQ(r.error, "");
            EXPECT_EQ(r.output.size(), size);
            EXPECT_EQ(r.crc, crc);
            EXPECT_EQ(r.crc, e.crc);
            ++decodedByMethod[e.method];
        }
        EXPECT_EQ(i, entries.size());
    }
    EXPECT_EQ(archives, 20);
    EXPECT_EQ(decodedByMethod,
              (std::map<int, int>{{0, 20}, {1, 13}, {2, 5}, {3, 5}, {4, 5}, {5, 6}, {6, 143}}));
}

} // namespace
} // namespace kq::test
