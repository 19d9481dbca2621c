// DOS date-time, as stored in zip headers: the date in the high 16 bits (day in bits 0-4, month in
// bits 5-8, years since 1980 in bits 9-15), the time in the low 16 bits (seconds / 2 in bits 0-4,
// minutes in bits 5-10, hours in bits 11-15).
#include "unzip/helpers.h"

#include "base/strings.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/volumes.h"

#include <algorithm>
#include <cmath>

namespace kq {

std::string LeftStr(std::string_view s, size_t n) {
    return std::string(s.substr(0, n));
}

std::string RightStr(std::string_view s, size_t n) {
    return std::string(n >= s.size() ? s : s.substr(s.size() - n));
}

void ForwardSlashesToBackslashes(std::string& name) {
    std::replace(name.begin(), name.end(), '/', '\\');
}

std::optional<std::string> ToOwnedText(std::string_view s) {
    if (s.empty())
        return std::nullopt;
    return std::string(s);
}

std::string FromOwnedText(const std::optional<std::string>& text) {
    return text ? *text : std::string();
}

bool ForceDirectories(const std::string& path) {
    // Trailing backslashes go; a trail byte of a double-byte character that equals one stays,
    // so the name is scanned from its start.
    const int codePage = static_cast<int>(GetACP());
    size_t length = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i]), codePage) && i + 1 < path.size())
            length = ++i + 1;
        else if (path[i] != '\\')
            length = i + 1;
    }
    const std::string folder = path.substr(0, length);
    if (folder.empty() || DirectoryExists(folder))
        return true;
    const std::string parent = ExtractFilePath(folder, codePage);
    // A drive ("C:") or a name without any folder above it has no parent to create first.
    if (!parent.empty() && parent != folder && !ForceDirectories(parent))
        return false;
    return CreateDirectory(folder) || DirectoryExists(folder);
}

std::string VolumeLabel(const std::string& root) {
    // The label is read into a 14-byte buffer: 13 characters and the terminating zero.
    std::string label;
    if (!kq::GetVolumeLabel(root, label))
        return std::string();
    return LeftStr(label, 13);
}

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
        fixedMonth == month && fixedDay == day)
        return dosDateTime;

    const uint32_t fixedTime = (fixedHour << 11) | (fixedMinute << 5) | (fixedSecond / 2);
    const uint32_t fixedDate = ((fixedYear - 1980) << 9) | (fixedMonth << 5) | fixedDay;
    return (fixedDate << 16) | fixedTime;
}

int Percent(int64_t part, int64_t whole) {
    if (whole <= 0)
        return 0;
    // nearbyint rounds in the default mode, to nearest with halves to even.
    const double percent =
        std::nearbyint(static_cast<double>(part) * 100.0 / static_cast<double>(whole));
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

} // namespace kq
