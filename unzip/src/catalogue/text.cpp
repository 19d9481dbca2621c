#include "catalogue/text.h"

#include <algorithm>

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
    if (s.empty()) {
        return std::nullopt;
    }
    return std::string(s);
}

std::string FromOwnedText(const std::optional<std::string>& text) {
    return text ? *text : std::string();
}

} // namespace kq
