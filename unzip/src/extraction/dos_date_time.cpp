// DOS date-time, as stored in zip headers: the date in the high 16 bits (day in bits 0-4, month in
// bits 5-8, years since 1980 in bits 9-15), the time in the low 16 bits (seconds / 2 in bits 0-4,
// minutes in bits 5-10, hours in bits 11-15).
#include "unzip/dos_date_time.h"

#include <algorithm>

namespace kq {

uint32_t FixDosDateTime(uint32_t dosDateTime) {
    const uint32_t time = dosDateTime & 0xFFFF;
    const uint32_t date = dosDateTime >> 16;
    const uint32_t hour = time >> 11;
    const uint32_t minute = (time >> 5) & 0x3F;
    const uint32_t second = (time & 0x1F) * 2;
    const uint32_t year = (date >> 9) + 1980;
    const uint32_t month = (date >> 5) & 0x0F;
    const uint32_t day = date & 0x1F;

    const uint32_t fixedHour = std::min<uint32_t>(hour, 23);
    const uint32_t fixedMinute = std::min<uint32_t>(minute, 59);
    const uint32_t fixedSecond = std::min<uint32_t>(second, 59);
    const uint32_t fixedYear = std::clamp<uint32_t>(year, 1980, 2099);
    const uint32_t fixedMonth = std::clamp<uint32_t>(month, 1, 12);
    const uint32_t fixedDay = std::clamp<uint32_t>(day, 1, 31);
    if (fixedHour == hour && fixedMinute == minute && fixedSecond == second && fixedYear == year &&
        fixedMonth == month && fixedDay == day) {
        return dosDateTime;
    }

    const uint32_t fixedTime = (fixedHour << 11) | (fixedMinute << 5) | (fixedSecond / 2);
    const uint32_t fixedDate = ((fixedYear - 1980) << 9) | (fixedMonth << 5) | fixedDay;
    return (fixedDate << 16) | fixedTime;
}

} // namespace kq
