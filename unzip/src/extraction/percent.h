// The percentages the extraction reports.
#pragma once

#include <cstdint>

namespace kq {

// part as a percentage of whole, rounded to the nearest integer (halves to even), at most 100;
// 0 when whole is not positive.
int Percent(int64_t part, int64_t whole);

} // namespace kq
