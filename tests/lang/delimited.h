#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace kq::test {

// Table text written readably: every "|" stands for the delimiter byte 0x01.
inline std::string D(std::string_view text) {
    std::string bytes(text);
    std::replace(bytes.begin(), bytes.end(), '|', '\x01');
    return bytes;
}

} // namespace kq::test
