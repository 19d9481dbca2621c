// Every entry of the third-party archives made with the older methods (tagged "[A legacy]" in the
// test data's manifest) decodes to the size and CRC-32 of its expected listing, which other
// decoders verified, and to the CRC its archive stores.
#include "legacy_decode.h"
#include "support/zip_entries.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <sstream>

namespace kq::test {
namespace {

const std::string kTestdata = "../shared/testdata/";

struct Listed {
    std::uint32_t crc;
    std::uint32_t size;
};

std::vector<std::string> LegacyArchives() {
    std::ifstream manifest(kTestdata + "MANIFEST.tsv");
    std::vector<std::string> paths;
    std::string line;
    while (std::getline(manifest, line))
        if (line.find("[A legacy]") != std::string::npos)
            paths.push_back(line.substr(0, line.find('\t')));
    return paths;
}

std::vector<Listed> ReadListing(const std::string& archive) {
    std::ifstream in(kTestdata + "expected/" + archive.substr(std::string("files/").size()) +
                     ".txt");
    std::vector<Listed> listed;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string crc, size;
        std::getline(fields, crc, '\t');
        std::getline(fields, size, '\t');
        listed.push_back({static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16)),
                          static_cast<std::uint32_t>(std::stoul(size))});
    }
    return listed;
}

TEST(LegacyArchives, EveryEntryDecodesToItsListing) {
    const std::vector<std::string> archives = LegacyArchives();
    ASSERT_EQ(archives.size(), 20u);
    std::map<int, int> decodedByMethod;
    for (const std::string& archive : archives) {
        SCOPED_TRACE(archive);
        const Bytes zip = ReadFileBytes(kTestdata + archive);
        const std::vector<ZipEntry> entries = ListEntries(zip);
        const std::vector<Listed> listed = ReadListing(archive);
        ASSERT_EQ(entries.size(), listed.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const ZipEntry& e = entries[i];
            SCOPED_TRACE(e.name);
            ASSERT_NE(e.dataOffset, 0u);
            const LegacyResult r = DecodeLegacy(e.method, e.flags, EntryData(zip, e),
                                                static_cast<std::int32_t>(e.uncompressedSize));
            EXPECT_EQ(r.error, "");
            EXPECT_EQ(r.output.size(), listed[i].size);
            EXPECT_EQ(r.crc, listed[i].crc);
            EXPECT_EQ(r.crc, e.crc);
            ++decodedByMethod[e.method];
        }
    }
    // Shrink, each reduce factor and implode are all there.
    for (const int m : {1, 2, 3, 4, 5, 6})
        EXPECT_GE(decodedByMethod[m], 3) << "method " << m;
    for (const auto& [m, n] : decodedByMethod)
        std::cout << "method " << m << ": " << n << " entries\n";
}

} // namespace
} // namespace kq::test
