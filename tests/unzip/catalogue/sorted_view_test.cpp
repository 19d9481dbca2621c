// The sorted view of a real archive: every index of the interface follows SortMode (the orders
// themselves are tested with TSortedZip), and indexes outside the catalogue are refused.
#include "base/exceptions.h"
#include "support/zip_fixtures.h"
#include "test/raises.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

// sorted.zip holds, in this physical order (fixtures/make_fixtures.sh): zeta.txt 300 bytes
// 2020, Dir/Same.txt 100 bytes 2023, alpha.txt 500 bytes 2019, dir/same.TXT 200 bytes 2021,
// mid/beta.txt 50 bytes 2024.
struct ViewCase {
    TZipSortMode mode;
    std::vector<std::string> paths;
    const char* why;
};

const ViewCase kViews[] = {
    {TZipSortMode::ByNone,
     {"zeta.txt", "Dir\\Same.txt", "alpha.txt", "dir\\same.TXT", "mid\\beta.txt"},
     "physical order"},
    {TZipSortMode::ByName,
     {"alpha.txt", "dir\\same.TXT", "Dir\\Same.txt", "mid\\beta.txt", "zeta.txt"},
     "paths equal but for case come out in reverse physical order"},
    {TZipSortMode::ByDate,
     {"mid\\beta.txt", "Dir\\Same.txt", "dir\\same.TXT", "zeta.txt", "alpha.txt"},
     "newest first"},
};

TEST(SortedView, IndexesFollowTheSortMode) {
    for (const ViewCase& c : kViews) {
        TZipExtractor zip(nullptr);
        zip.SetSortMode(c.mode);
        const auto listing = test::ReadListing(zip, test::Fixture("sorted.zip"));
        ASSERT_EQ(listing.size(), c.paths.size());
        for (size_t i = 0; i < listing.size(); ++i) {
            EXPECT_EQ(listing[i].path, c.paths[i])
                << "mode " << static_cast<int>(c.mode) << " index " << i << ": " << c.why;
        }
    }
}

TEST(SortedView, IndexesOutsideTheCatalogue) {
    TZipExtractor zip(nullptr);
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { zip.Filename(0); }), "Index 0 is out of range")
        << "no catalogue loaded";
    test::ReadListing(zip, test::Fixture("sorted.zip"));
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { zip.Filename(5); }), "Index 5 is out of range");
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { zip.Pathname(-1); }),
              "Index -1 is out of range");
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { zip.FileComment(7); }),
              "Index 7 is out of range");
}

} // namespace
} // namespace kq
