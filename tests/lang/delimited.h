#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace kq::test {

// Table text written readably: every "|" stands for the delimiter byte 0x01.
inline std::string D(std::string_view text) {
    std::string bytes(text);
    std::replace(bytes.begin(), bytes.end(), '|', '\x01');
    return bytes;
}

// A stored table block: each section's header line, then its rows written as for D().
inline std::string
Block(std::initializer_list<std::pair<std::string_view, std::initializer_list<std::string_view>>>
          sections) {
    std::string block;
    for (const auto& [header, rows] : sections) {
        block.append(header).append("\r\n");
        for (std::string_view row : rows) {
            block.append(D(row)).append("\r\n");
        }
    }
    return block;
}

} // namespace kq::test
