#pragma once
// A file's last-write time as a local DOS date-time, shared by File and the path functions.

#include "platform/win32_api.h"

#include <cstdint>

namespace kq::win32 {

// The local DOS date-time of a file time (UTC); -1 outside the years 1980 to 2107. A time between
// two even seconds rounds up to the later one, the way Windows fits a time to the two-second steps
// of a DOS time: the entry stamped 12:00:00 and a file written at 11:59:59 share a slot.
std::int64_t DosDateTimeOf(const FILETIME& written);

} // namespace kq::win32
