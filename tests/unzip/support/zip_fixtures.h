// Test support: where the project's own archives live, and a catalogue read in one call.
//
// tests/unzip/fixtures/ holds archives made by Info-ZIP zip and Python's zipfile (see
// make_fixtures.sh there, which also records each tool's own listing), relative to the project
// root, where the tests run. Archives made by other people's tools are in testdata.h.
#pragma once

#include "unzip/zip_extractor.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kq::test {

inline std::string Fixture(const std::string& name) {
    return "tests\\unzip\\fixtures\\" + name;
}

struct ListedEntry {
    std::string path; // directory part + file name, as the catalogue gives them
    uint32_t size;
    uint32_t crc;

    bool operator==(const ListedEntry&) const = default;
};

// The catalogue of archive in the order of the sorted view.
inline std::vector<ListedEntry> ReadListing(TZipExtractor& zip, const std::string& archive) {
    zip.SetZipName(archive);
    zip.OpenAndRefreshCatalogue();
    std::vector<ListedEntry> listing;
    for (int i = 0; i < zip.Count(); ++i) {
        const TZipHeaderInfo& entry = zip.Entry(i);
        listing.push_back(
            {zip.Pathname(i) + zip.Filename(i), entry.UncompressedSize(), entry.CRC32()});
    }
    return listing;
}

} // namespace kq::test
