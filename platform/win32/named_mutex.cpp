#include "platform/named_mutex.h"

#include "platform/win32_api.h"

namespace kq {

// Nobody needs to own the mutex: that it exists while a handle to it is open is the signal. So
// it is made without an owner, and no wait can ever block on it.
NamedMutex::NamedMutex(const std::string& name) {
    const HANDLE mutex = ::CreateMutexA(nullptr, FALSE, name.c_str());
    const DWORD error = ::GetLastError();
    if (mutex == nullptr) {
        // Made by another user with a security that does not let this one in.
        held_ = error != ERROR_ACCESS_DENIED;
        return;
    }
    handle_.Reset(reinterpret_cast<SystemHandleTraits::Handle>(mutex));
    held_ = error != ERROR_ALREADY_EXISTS;
    if (!held_) {
        handle_.Reset();
    }
}

} // namespace kq
