// TSortedZip: the eight orders of the sorted view. Six records are inserted in physical order
// into an accepting list (as the catalogue builds its view); each expected order is worked out
// by hand in the table.
#include "unzip/sorted_zip.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace kq {
namespace {

struct Record {
    const char* directory;
    const char* name;
    uint32_t dateTime;
    uint32_t compressed;
    uint32_t uncompressed;
    uint16_t part;
    uint32_t offset;
};

constexpr uint32_t kJan2001 = 0x2A210000;        // 2001-01-01 00:00:00
constexpr uint32_t kJan2001TwoSecs = 0x2A210001; // 2001-01-01 00:00:02
constexpr uint32_t kJune2005 = 0x32C10000;       // 2005-06-01 00:00:00
constexpr uint32_t kThirtiethFeb = 0x2A5E0000;   // 2001-02-30: no such day, sorts as oldest

// r0..r5 in physical order.
const Record kRecords[] = {
    {"B\\", "x.txt", kJan2001, 50, 100, 0, 0},         // r0: rate 50
    {"", "a.txt", kJune2005, 10, 10, 0, 100},          // r1: rate 100
    {"b\\", "X.TXT", kJan2001, 50, 0, 0, 200},         // r2: rate 0 (nothing to compress)
    {"a\\", "z.txt", kThirtiethFeb, 70, 1000, 0, 300}, // r3: rate 7
    {"c\\", "m.txt", kJan2001TwoSecs, 50, 80, 1, 0},   // r4: rate 62.5 -> 62
    {"", "q", kJan2001, 1, 2, 1, 50},                  // r5: rate 50
};

struct OrderCase {
    TZipSortMode mode;
    std::vector<int> order;
    const char* why;
};

const OrderCase kOrders[] = {
    {TZipSortMode::ByName,
     {1, 3, 2, 0, 4, 5},
     "path ignoring case; b\\X.TXT equals B\\x.txt and, inserted later, comes first"},
    {TZipSortMode::ByFileName, {1, 4, 5, 2, 0, 3}, "file name ignoring case"},
    {TZipSortMode::ByDirectoryName, {5, 1, 3, 2, 0, 4}, "directory part ignoring case"},
    {TZipSortMode::ByDate,
     {1, 4, 0, 2, 5, 3},
     "newest first, equal dates in insertion order, an impossible date last"},
    {TZipSortMode::ByCompressedSize,
     {3, 0, 2, 4, 1, 5},
     "largest first, equal sizes in insertion order"},
    {TZipSortMode::ByUnCompressedSize, {3, 0, 4, 1, 5, 2}, "largest first"},
    {TZipSortMode::ByRate,
     {1, 4, 5, 0, 3, 2},
     "largest rate first; equal rates compare equal, so the later one goes first"},
    {TZipSortMode::ByNone, {0, 1, 2, 3, 4, 5}, "part, then local header offset"},
};

std::vector<std::unique_ptr<TZipHeaderInfo>> MakeRecords() {
    std::vector<std::unique_ptr<TZipHeaderInfo>> records;
    for (const Record& r : kRecords) {
        auto info = std::make_unique<TZipHeaderInfo>();
        info->SetDirectory(r.directory);
        info->SetFileName(r.name);
        info->SetDateTime(r.dateTime);
        info->SetCompressedSize(r.compressed);
        info->SetUncompressedSize(r.uncompressed);
        info->SetStartPart(r.part);
        info->SetLocalHeaderOffset(r.offset);
        records.push_back(std::move(info));
    }
    return records;
}

TEST(SortedZip, EveryOrder) {
    auto records = MakeRecords();
    for (const OrderCase& c : kOrders) {
        TSortedZip view(c.mode, TDuplicates::dupAccept, false);
        for (auto& record : records) {
            view.Add(record.get());
        }
        ASSERT_EQ(view.Count(), 6) << static_cast<int>(c.mode);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(view.Entry(i),
                      records[static_cast<size_t>(c.order[static_cast<size_t>(i)])].get())
                << "mode " << static_cast<int>(c.mode) << " position " << i << ": " << c.why;
        }
    }
}

} // namespace
} // namespace kq
