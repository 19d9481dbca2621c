#include "unzip/sorted_zip.h"

#include "base/properties.h"
#include "base/strings.h"
#include "extraction/percent.h"

namespace kq {
namespace {

bool IsLeapYear(uint32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// A DOS date-time orders like the calendar moment it names as long as each field is a valid
// calendar value (the date is the high half, hours, minutes and seconds follow in descending
// significance). A value that names no moment, such as 31 February, counts as the earliest.
uint32_t CalendarKey(uint32_t dosDateTime) {
    static constexpr uint32_t kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const uint32_t time = dosDateTime & 0xFFFF;
    const uint32_t date = dosDateTime >> 16;
    const uint32_t year = (date >> 9) + 1980;
    const uint32_t month = (date >> 5) & 0x0F;
    const uint32_t day = date & 0x1F;
    if (month < 1 || month > 12 || day < 1) {
        return 0;
    }
    const uint32_t monthDays = kDaysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    if (day > monthDays) {
        return 0;
    }
    if ((time >> 11) > 23 || ((time >> 5) & 0x3F) > 59 || (time & 0x1F) * 2 > 59) {
        return 0;
    }
    return dosDateTime;
}

// Negative when the existing value orders first, so that a new value equal to existing ones
// goes after them.
int LargestFirst(uint32_t existing, uint32_t added) {
    return existing >= added ? -1 : 1;
}

int Rate(const TZipHeaderInfo& entry) {
    return Percent(entry.CompressedSize(), entry.UncompressedSize());
}

} // namespace

const TClassInfo& TSortedZip::StaticClassInfo() {
    static const TClassInfo info("TSortedZip", &TSortedObjectList::StaticClassInfo());
    return info;
}

int TSortedZip::Compare(const TObject* existingObject, const TObject* addedObject) const {
    const auto& existing = static_cast<const TZipHeaderInfo&>(*existingObject);
    const auto& added = static_cast<const TZipHeaderInfo&>(*addedObject);
    switch (sortMode_) {
    case TZipSortMode::ByName:
        return CompareText(existing.Directory() + existing.FileName(),
                           added.Directory() + added.FileName());
    case TZipSortMode::ByFileName:
        return CompareText(existing.FileName(), added.FileName());
    case TZipSortMode::ByDirectoryName:
        return CompareText(existing.Directory(), added.Directory());
    case TZipSortMode::ByDate:
        return LargestFirst(CalendarKey(existing.DateTime()), CalendarKey(added.DateTime()));
    case TZipSortMode::ByCompressedSize:
        return LargestFirst(existing.CompressedSize(), added.CompressedSize());
    case TZipSortMode::ByUnCompressedSize:
        return LargestFirst(existing.UncompressedSize(), added.UncompressedSize());
    case TZipSortMode::ByRate:
        return Rate(added) - Rate(existing);
    case TZipSortMode::ByNone:
        break;
    }
    if (existing.StartPart() != added.StartPart()) {
        return existing.StartPart() < added.StartPart() ? -1 : 1;
    }
    if (existing.LocalHeaderOffset() != added.LocalHeaderOffset()) {
        return existing.LocalHeaderOffset() < added.LocalHeaderOffset() ? -1 : 1;
    }
    return 0;
}

} // namespace kq
