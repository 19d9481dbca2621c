// Expected texts in the program's code pages, converted from readable UTF-8 by the system's own
// converter (iconv natively, WideCharToMultiByte on Windows): an oracle independent of the
// converter the build uses for the stored description.
#pragma once

#include <string>
#include <string_view>

namespace kq::test {

// Throws std::runtime_error when the text cannot be converted.
std::string ToCodePage(std::u8string_view utf8, int codePage);

inline std::string Gbk(std::u8string_view utf8) {
    return ToCodePage(utf8, 936);
}

} // namespace kq::test
