// Local DOS date-times. The date sits in the high 16 bits: (year - 1980) << 9 | month << 5 |
// day; the time in the low 16 bits: hour << 11 | minute << 5 | seconds / 2. A time between two
// even seconds rounds up to the later one, as Windows converts: the entry stamped 12:00:00 and a
// file written at 11:59:59 are in the same two-second slot.

#include "standin_internal.h"

#include <ctime>

namespace kq::standin {

namespace {

constexpr int FirstYear = 1980;
constexpr int LastYear = FirstYear + 127;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

int FieldOf(std::uint32_t dosDateTime, int shift, std::uint32_t mask) {
    return static_cast<int>(dosDateTime >> shift & mask);
}

// mktime would carry fields out of range into the next ones (February 30 into March); DOS fields
// that name no real date or time are refused instead.
bool NamesRealDateTime(const std::tm& local) {
    const int year = local.tm_year + 1900;
    const int month = local.tm_mon + 1;
    return month >= 1 && month <= 12 && local.tm_mday >= 1 &&
           local.tm_mday <= DaysInMonth(year, month) && local.tm_hour <= 23 && local.tm_min <= 59 &&
           local.tm_sec <= 59;
}

} // namespace

bool PackDosDateTime(const struct timespec& time, std::uint32_t& dosDateTime) {
    std::time_t whole = time.tv_sec + (time.tv_nsec > 0 ? 1 : 0);
    std::tm local{};
    if (::localtime_r(&whole, &local) == nullptr) {
        return false;
    }
    if (local.tm_sec % 2 != 0) {
        ++whole;
        if (::localtime_r(&whole, &local) == nullptr) {
            return false;
        }
    }
    const int year = local.tm_year + 1900;
    if (year < FirstYear || year > LastYear) {
        return false;
    }
    const int seconds = local.tm_sec > 59 ? 59 : local.tm_sec; // a leap second
    const std::uint32_t date = static_cast<std::uint32_t>(year - FirstYear) << 9 |
                               static_cast<std::uint32_t>(local.tm_mon + 1) << 5 |
                               static_cast<std::uint32_t>(local.tm_mday);
    const std::uint32_t timeOfDay = static_cast<std::uint32_t>(local.tm_hour) << 11 |
                                    static_cast<std::uint32_t>(local.tm_min) << 5 |
                                    static_cast<std::uint32_t>(seconds / 2);
    dosDateTime = date << 16 | timeOfDay;
    return true;
}

bool UnpackDosDateTime(std::uint32_t dosDateTime, std::time_t& time) {
    std::tm local{};
    local.tm_year = FieldOf(dosDateTime, 25, 0x7F) + FirstYear - 1900;
    local.tm_mon = FieldOf(dosDateTime, 21, 0x0F) - 1;
    local.tm_mday = FieldOf(dosDateTime, 16, 0x1F);
    local.tm_hour = FieldOf(dosDateTime, 11, 0x1F);
    local.tm_min = FieldOf(dosDateTime, 5, 0x3F);
    local.tm_sec = FieldOf(dosDateTime, 0, 0x1F) * 2;
    local.tm_isdst = -1; // whether daylight-saving time was in force is mktime's to find
    if (!NamesRealDateTime(local)) {
        return false;
    }
    time = std::mktime(&local);
    return time != static_cast<std::time_t>(-1);
}

} // namespace kq::standin
