#pragma once

// A file that exists but cannot be opened for reading, for as long as the object lives: a
// socket in the stand-in (a process running as root may read any plain file), a file held open
// without sharing on Windows.

#include <cstdint>
#include <string>

namespace kq::test {

class UnreadableFile {
public:
    explicit UnreadableFile(const std::string& name);
    ~UnreadableFile();
    UnreadableFile(const UnreadableFile&) = delete;
    UnreadableFile& operator=(const UnreadableFile&) = delete;

private:
    std::string name_;
    std::intptr_t handle_;
};

} // namespace kq::test
