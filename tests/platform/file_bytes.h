#pragma once

// Test support: a whole file's bytes, read or written through the platform's file handle.

#include "platform/files.h"

#include <string>

namespace kq::test {

inline std::string ReadBytes(const std::string& path) {
    File file(path, FileMode::Read);
    std::string bytes(file.IsOpen() ? static_cast<std::size_t>(file.Size()) : 0, '\0');
    if (!file.IsOpen() || file.Read(bytes.data(), static_cast<std::int32_t>(bytes.size())) !=
                              static_cast<std::int32_t>(bytes.size())) {
        return "<unreadable>";
    }
    return bytes;
}

inline bool WriteBytes(const std::string& path, const std::string& bytes) {
    File file(path, FileMode::Create);
    const bool written =
        file.IsOpen() && file.Write(bytes.data(), static_cast<std::int32_t>(bytes.size())) ==
                             static_cast<std::int32_t>(bytes.size());
    return file.IsOpen() && file.Close() && written;
}

} // namespace kq::test
