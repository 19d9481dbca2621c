// FixDosDateTime: values worked out by hand from the DOS date-time layout (date in the high
// half: years since 1980 << 9 | month << 5 | day; time in the low half: hour << 11 |
// minute << 5 | seconds / 2).
#include "unzip/dos_date_time.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace kq {
namespace {

struct DateCase {
    uint32_t in;
    uint32_t out;
    const char* what;
};

const DateCase kDateCases[] = {
    // 2024-03-15 13:45:30 and neighbours that are valid: kept bit for bit.
    {0x586F6DAF, 0x586F6DAF, "a valid value"},
    {0x586F6DBD, 0x586F6DBD, "58 seconds (field 29) is valid"},
    {0x585F0000, 0x585F0000, "31 February passes: days are only limited to 1..31"},
    {0x00210000, 0x00210000, "1980-01-01 00:00:00, the earliest value"},
    {0xEE21BF7D, 0xEE21BF7D, "2099-01-01 23:59:58, the latest moment"},
    // Out-of-range fields are clamped and the value rebuilt from the parts.
    {0x580F6DAF, 0x582F6DAF, "month 0 reads as month 1"},
    {0x59A10000, 0x59810000, "month 13 reads as month 12"},
    {0x58200000, 0x58210000, "day 0 reads as day 1"},
    {0x586F6DBE, 0x586F6DBD, "seconds field 30 (60 s) reads as 58 s"},
    {0x586F6DBF, 0x586F6DBD, "seconds field 31 (62 s) reads as 58 s"},
    {0x586FC000, 0x586FB800, "hour 24 reads as 23"},
    {0x586F5780, 0x586F5760, "minute 60 reads as 59"},
    {0xFE210000, 0xEE210000, "year 2107 reads as 2099"},
    {0x00000000, 0x00210000, "all zero: month and day become 1"},
    {0x580F6DBE, 0x582F6DBD, "two fields clamped at once"},
};

TEST(FixDosDateTime, Table) {
    for (const DateCase& c : kDateCases) {
        EXPECT_EQ(FixDosDateTime(c.in), c.out) << std::hex << c.in << ": " << c.what;
    }
}

} // namespace
} // namespace kq
