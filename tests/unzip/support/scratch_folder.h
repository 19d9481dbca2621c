// Test support: a fresh folder for each test, and whole-file reads and writes through the
// platform layer.
//
// Natively the folder lies in a fresh stand-in root ("C:\scratch\" there, ANSI code page 1252
// for the test's duration); under Windows it is a new folder in the temporary folder. The
// destructor removes everything. Relative paths (the fixtures, the corpus) keep working
// in both, since the tests run from the project root.
#pragma once

#include "platform/files.h"
#include "platform/folders.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#ifndef _WIN32
#include "platform/standin.h"

#include <unistd.h>
#endif

namespace kq::test {

class ScratchFolder {
public:
    ScratchFolder() {
#ifdef _WIN32
        std::random_device random;
        path_ = GetTempPath() + "kq-unzip-" + std::to_string(random()) + "\\";
        hostRoot_ = path_;
        std::filesystem::create_directories(hostRoot_);
#else
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kq-unzip-test-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        hostRoot_ = pattern;
        std::filesystem::create_directories(hostRoot_ + "/c/scratch");
        SetRootFolder(hostRoot_);
        SetAnsiCodePage(1252);
        path_ = "C:\\scratch\\";
#endif
    }

    ~ScratchFolder() {
#ifndef _WIN32
        SetRootFolder("");
        SetAnsiCodePage(0);
#endif
        std::error_code ignored;
        std::filesystem::remove_all(hostRoot_, ignored);
    }

    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Windows form, ending in a backslash.
    const std::string& Path() const {
        return path_;
    }
    std::string operator/(const std::string& name) const {
        return path_ + name;
    }

private:
    std::string path_;
    std::string hostRoot_;
};

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    File file(path, FileMode::Create);
    if (!file.IsOpen() ||
        file.Write(bytes.data(), static_cast<int32_t>(bytes.size())) !=
            static_cast<int32_t>(bytes.size()) ||
        !file.Close())
        throw std::runtime_error("cannot write " + path);
}

inline std::string ReadWholeFile(const std::string& path) {
    File file(path, FileMode::Read);
    if (!file.IsOpen())
        throw std::runtime_error("cannot open " + path);
    std::string bytes(static_cast<size_t>(file.Size()), '\0');
    if (!bytes.empty() && file.Read(bytes.data(), static_cast<int32_t>(bytes.size())) !=
                              static_cast<int32_t>(bytes.size()))
        throw std::runtime_error("cannot read " + path);
    return bytes;
}

} // namespace kq::test
