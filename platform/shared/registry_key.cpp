// What a registry key does alike on both platforms; the storage is each platform's own.

#include "registry_values.h"

namespace kq {

bool RegKey::IsOpen() const {
    return handle_ != 0;
}

bool RegKey::SetStringValue(const std::string& name, const std::string& text) {
    return SetValue(name, reg::Sz, text);
}

// A DWORD is stored low byte first, on both platforms.
bool RegKey::SetDwordValue(const std::string& name, std::uint32_t number) {
    std::string bytes(4, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(number & 0xFF);
        number >>= 8;
    }
    return SetValue(name, reg::Dword, bytes);
}

} // namespace kq
