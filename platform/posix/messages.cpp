// The stand-in has no window messages; ProcessMessages only gives a test's hook its turn.

#include "platform/messages.h"

namespace kq {

namespace {

std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}

unsigned interval = 0;

} // namespace

// Kept for symmetry only: there are no messages to pace.
unsigned SetMessagePumpInterval(unsigned milliseconds) {
    const unsigned previous = interval;
    interval = milliseconds;
    return previous;
}

bool TRedrawPacer::Due() {
    return true;
}

void ProcessMessages() {
    if (Hook()) {
        // A copy, so that a hook that replaces itself is not destroyed while it runs.
        const std::function<void()> hook = Hook();
        hook();
    }
}

void SetMessageFilter(TMessageFilter) {}

void SetMessagePumpHook(std::function<void()> hook) {
    Hook() = std::move(hook);
}

} // namespace kq
