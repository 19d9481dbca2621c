// Test support: expected texts in the program's code pages, converted from readable UTF-8 by the
// system's own converter (iconv natively, WideCharToMultiByte on Windows): an oracle independent
// of the converters the program and its build use.
#pragma once

#include <string>
#include <string_view>

namespace kq::test {

// utf8 in codePage (936, 950, 1252, ...); throws std::runtime_error when a character has no
// form there or the code page is unknown.
std::string ToCodePage(std::u8string_view utf8, int codePage);

inline std::string Gbk(std::u8string_view utf8) {
    return ToCodePage(utf8, 936);
}

} // namespace kq::test
