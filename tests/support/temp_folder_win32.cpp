#include "platform/win32_api.h"
#include "test/temp_folder.h"

#include <stdexcept>
#include <string>

namespace kq::test {

namespace {

std::string SystemTempPath() {
    char buffer[MAX_PATH + 1];
    const DWORD length = ::GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) {
        throw std::runtime_error("GetTempPathA failed");
    }
    return std::string(buffer, length);
}

std::string CurrentFolder() {
    char current[MAX_PATH + 1];
    const DWORD length = ::GetCurrentDirectoryA(sizeof current, current);
    return std::string(current, length < sizeof current ? length : 0);
}

// folder ends in a backslash. Attributes are cleared first: a read-only file cannot be deleted.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + name;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(path + "\\");
            } else {
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(folder.c_str());
}

} // namespace

TempFolder::TempFolder() : savedCurrentFolder_(CurrentFolder()) {
    static int counter = 0;
    path_ = SystemTempPath() + "kq-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    RemoveTree(path_ + "\\"); // left over by an earlier run that was killed
    if (!::CreateDirectoryA(path_.c_str(), nullptr)) {
        throw std::runtime_error("cannot create " + path_);
    }
}

TempFolder::~TempFolder() {
    ::SetCurrentDirectoryA(savedCurrentFolder_.c_str());
    RemoveTree(path_ + "\\");
}

std::string TempFolder::operator/(const std::string& name) const {
    return path_ + "\\" + name;
}

void TempFolder::Enter() const {
    if (!::SetCurrentDirectoryA(path_.c_str())) {
        throw std::runtime_error("cannot enter " + path_);
    }
}

} // namespace kq::test
