// Test support: a whole file's bytes, read or written through the platform's file handle (paths
// in Windows form).
#pragma once

#include "platform/files.h"

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

namespace kq::test {

// Throws std::runtime_error unless every byte reached the file and it closed.
inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    File file(path, FileMode::Create);
    if (!file.IsOpen() ||
        file.Write(bytes.data(), static_cast<std::int32_t>(bytes.size())) !=
            static_cast<std::int32_t>(bytes.size()) ||
        !file.Close()) {
        throw std::runtime_error("cannot write " + path);
    }
}

// Throws std::runtime_error when the file cannot be opened or read to its end.
inline std::string ReadWholeFile(const std::string& path) {
    File file(path, FileMode::Read);
    if (!file.IsOpen()) {
        throw std::runtime_error("cannot open " + path);
    }
    std::string bytes(static_cast<std::size_t>(file.Size()), '\0');
    if (!bytes.empty() && file.Read(bytes.data(), static_cast<std::int32_t>(bytes.size())) !=
                              static_cast<std::int32_t>(bytes.size())) {
        throw std::runtime_error("cannot read " + path);
    }
    return bytes;
}

// The file's text once another program has written a whole line to it, or "" after ten seconds.
// The file may not be there yet, or be held by its writer, for a while.
inline std::string WaitForLine(const std::string& path) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        try {
            const std::string text = FileExists(path) ? ReadWholeFile(path) : "";
            if (!text.empty() && text.back() == '\n') {
                return text;
            }
        } catch (const std::runtime_error&) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
}

} // namespace kq::test
