#pragma once

// A handle, descriptor or pointer of the system held by one owner, which releases it when it goes
// or takes another, so that no path through the code forgets it. Traits names the handle's type,
// the value that means "none" and how one is released:
//
//     struct DescriptorTraits {
//         using Handle = int;
//         static constexpr int None = -1;
//         static void Release(int descriptor) { ::close(descriptor); }
//     };
//     Owned<DescriptorTraits> file(::open(path, O_RDONLY));

#include <cstdint>
#include <utility>

namespace kq {

template <class Traits>
class Owned {
public:
    using Handle = typename Traits::Handle;

    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Reset(); }
    Owned(Owned&& other) noexcept : handle_(other.Release()) {}
    Owned& operator=(Owned&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::None; }

    // Where a call that hands back a new handle through a pointer puts it; what was held before is
    // released first.
    Handle* Receive() {
        Reset();
        return &handle_;
    }

    // Gives the handle up without releasing it: to a caller that must see whether its release
    // succeeded, or to another owner.
    Handle Release() { return std::exchange(handle_, Traits::None); }

    void Reset(Handle handle = Traits::None) {
        const Handle previous = std::exchange(handle_, handle);
        if (previous != Traits::None) {
            Traits::Release(previous);
        }
    }

private:
    Handle handle_ = Traits::None;
};

// The handle of the system that the interface's classes keep without a system header: a HANDLE on
// Windows (never -1, INVALID_HANDLE_VALUE, which names none), a file descriptor in the stand-in.
// Each platform releases it by its own call (CloseHandle, close).
struct SystemHandleTraits {
    using Handle = std::intptr_t;
    static constexpr Handle None = -1;
    static void Release(Handle handle);
};
using OwnedSystemHandle = Owned<SystemHandleTraits>;

} // namespace kq
