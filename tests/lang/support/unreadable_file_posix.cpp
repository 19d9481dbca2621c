#include "support/unreadable_file.h"

#include <cstring>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kq::test {

UnreadableFile::UnreadableFile(const std::string& name) : name_(name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= sizeof address.sun_path) {
        throw std::runtime_error("socket name too long: " + name);
    }
    std::memcpy(address.sun_path, name.c_str(), name.size() + 1);
    handle_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (handle_ < 0 || ::bind(static_cast<int>(handle_), reinterpret_cast<sockaddr*>(&address),
                              sizeof address) != 0) {
        throw std::runtime_error("cannot make the socket " + name);
    }
}

UnreadableFile::~UnreadableFile() {
    ::close(static_cast<int>(handle_));
    ::unlink(name_.c_str());
}

} // namespace kq::test
