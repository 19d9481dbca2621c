// Percent: part * 100 / whole rounded to nearest with halves to even, capped at 100.
#include "extraction/percent.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace kq {
namespace {

struct PercentCase {
    int64_t part;
    int64_t whole;
    int expected;
    const char* what;
};

const PercentCase kPercentCases[] = {
    {0, 0, 0, "nothing of nothing"},
    {5, 0, 0, "a zero whole gives 0, not a division by zero"},
    {1, -1, 0, "a negative whole gives 0"},
    {1, 2, 50, "an exact half"},
    {1, 8, 12, "12.5 rounds to the even 12"},
    {3, 8, 38, "37.5 rounds to the even 38"},
    {1, 200, 0, "0.5 rounds to the even 0"},
    {3, 200, 2, "1.5 rounds to the even 2"},
    {2, 3, 67, "66.67 rounds up"},
    {1, 3, 33, "33.33 rounds down"},
    {200, 100, 100, "more than the whole is capped at 100"},
    {5000000000LL, 10000000000LL, 50, "64-bit counters"},
};

TEST(Percent, Table) {
    for (const PercentCase& c : kPercentCases) {
        EXPECT_EQ(Percent(c.part, c.whole), c.expected)
            << c.part << " of " << c.whole << ": " << c.what;
    }
}

} // namespace
} // namespace kq
