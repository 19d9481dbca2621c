#include "support/unreadable_file.h"

#include <stdexcept>
#include <windows.h>

namespace kq::test {

UnreadableFile::UnreadableFile(const std::string& name) : name_(name) {
    const HANDLE file = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot hold the file " + name);
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

UnreadableFile::~UnreadableFile() {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    ::DeleteFileA(name_.c_str());
}

} // namespace kq::test
