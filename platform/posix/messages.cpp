// The stand-in has no window messages; ProcessMessages only gives a test's hook its turn.

#include "platform/messages.h"

namespace kq {

namespace {

std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}

} // namespace

void ProcessMessages() {
    if (Hook()) {
        // A copy, so that a hook that replaces itself is not destroyed while it runs.
        const std::function<void()> hook = Hook();
        hook();
    }
}

void SetMessagePumpHook(std::function<void()> hook) {
    Hook() = std::move(hook);
}

} // namespace kq
