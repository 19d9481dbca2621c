// The keys and values of the uninstall log as both of its sides spell them (format notes in
// setup/uninstall_log.h).
#pragma once

#include "base/strings.h"
#include "platform/files.h"
#include "setup/uconst.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kq::uninstall_log {

inline AnsiString FileKey(int number) {
    return IntToStr(number);
}

inline AnsiString StampKey(std::string_view fileKey) {
    return uconst::kDateKeyPrefix + AnsiString(fileKey);
}

// Dates after 2043 set the top bit of a DOS date-time: the stamp is a signed 32-bit number.
inline AnsiString StampText(std::int64_t dosDateTime) {
    return IntToStr(
        dosDateTime < 0 ? -1 : static_cast<std::int32_t>(static_cast<std::uint32_t>(dosDateTime)));
}

inline std::int64_t StampOf(std::string_view text) {
    const int value = StrToIntDef(text, -1);
    return value == -1 ? -1 : static_cast<std::int64_t>(static_cast<std::uint32_t>(value));
}

// The whole log; read is false when it cannot be opened or read whole, and then it gives no
// bytes: a log read in part would name only some of the files. A log of more than 2 GiB is none
// that this system wrote.
inline std::string ReadLogBytes(const AnsiString& path, bool& read) {
    File file(path, FileMode::Read);
    const std::int64_t size = file.IsOpen() ? file.Size() : -1;
    read = size >= 0 && size <= 0x7FFFFFFF;
    std::string bytes(read ? static_cast<std::size_t>(size) : 0, '\0');
    const auto count = static_cast<std::int32_t>(bytes.size());
    read = read && (count == 0 || file.Read(bytes.data(), count) == count);
    if (!read) {
        bytes.clear();
    }
    return bytes;
}

} // namespace kq::uninstall_log
