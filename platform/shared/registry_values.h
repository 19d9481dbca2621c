#pragma once

// Registry values as both platforms store and hand them back.

#include "platform/registry.h"

#include <cstdint>
#include <string>

namespace kq::registry {

// Strings are stored with a terminating NUL, as readers of the registry expect.
inline bool IsStringType(std::uint32_t type) {
    return type == reg::Sz || type == reg::ExpandSz;
}

// The value as a reader gets it: a string ends at its first NUL, whatever is stored after it.
inline RegistryValue AsRead(std::uint32_t type, const std::string& stored) {
    return RegistryValue{type, IsStringType(type) ? stored.substr(0, stored.find('\0')) : stored};
}

} // namespace kq::registry
