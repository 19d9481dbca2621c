#pragma once

// What both platforms refuse to write into a profile file: text that a reader would take for
// other lines, sections or keys than the ones written.

#include <string>

namespace kq::profile {

inline bool BreaksLines(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

inline bool IsWritable(const std::string& section, const std::string& key,
                       const std::string& value) {
    const std::string::size_type keyStart = key.find_first_not_of(" \t");
    return !BreaksLines(section) && !BreaksLines(key) && !BreaksLines(value) &&
           section.find(']') == std::string::npos && key.find('=') == std::string::npos &&
           (keyStart == std::string::npos || key[keyStart] != '[');
}

} // namespace kq::profile
