#include "platform/codepage.h"

#include "platform/win32_api.h"

#include <algorithm>

namespace kq {

std::uint32_t GetACP() {
    return ::GetACP();
}

std::uint32_t GetOEMCP() {
    return ::GetOEMCP();
}

std::string OemToAnsi(const std::string& text) {
    std::string converted = text;
    if (!converted.empty()) {
        ::OemToCharBuffA(text.data(), converted.data(), static_cast<DWORD>(text.size()));
    }
    return converted;
}

int CompareStringIgnoreCase(const std::string& a, const std::string& b) {
    const int result =
        ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                         b.data(), static_cast<int>(b.size()));
    if (result != 0) {
        return result - CSTR_EQUAL;
    }
    // Only malformed arguments make CompareStringA fail; fall back to an ASCII comparison.
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int difference = lower(a[i]) - lower(b[i]);
        if (difference != 0) {
            return difference < 0 ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace kq
