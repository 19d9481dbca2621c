// The stand-in's named mutex: a lock file under the root (see platform/named_mutex.h).

#include "platform/named_mutex.h"

#include "platform/standin.h"
#include "standin_internal.h"
#include "whole_files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kq {

namespace {

// The lock file of a mutex name. The name's "\" and anything else a file name should not hold
// become "_" ("Local\A.B" is "Local_A.B").
std::string LockFileName(const std::string& name) {
    std::string file;
    for (const char c : name) {
        file +=
            standin::IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '.' || c == '-' ? c : '_';
    }
    return file;
}

} // namespace

// flock, unlike a record lock of fcntl, belongs to the open file rather than to the process, so
// that a second object of the same process is refused too; O_CLOEXEC keeps the lock from a
// program this one starts, as Windows does not hand the mutex to a started program.
NamedMutex::NamedMutex(const std::string& name) {
    const std::string folder = RootFolder() + "/mutexes";
    if (!standin::MakeHostFolders(folder)) {
        return;
    }
    const std::string path = folder + "/" + LockFileName(name);
    handle_.Reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (!handle_) {
        return;
    }
    if (::flock(static_cast<int>(handle_.Get()), LOCK_EX | LOCK_NB) != 0) {
        held_ = errno != EWOULDBLOCK;
        handle_.Reset();
    }
}

} // namespace kq
