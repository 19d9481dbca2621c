// What a registry key does alike on both platforms; the storage is each platform's own.

#include "registry_values.h"

namespace kq {

bool RegKey::IsOpen() const {
    return handle_ != 0;
}

bool RegKey::SetStringValue(const std::string& name, const std::string& text) {
    return SetValue(name, reg::Sz, text);
}

} // namespace kq
