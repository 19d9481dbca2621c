#include "platform/messages.h"

#include "platform/win32_api.h"

namespace kq {

namespace {

std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}

TMessageFilter filter = nullptr;

void DispatchPending() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Taking the quit request out of the queue here would keep the main loop from ever
            // seeing it: put it back and leave the rest to that loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (filter != nullptr && filter(&message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

unsigned interval = 0;
DWORD lastPump = 0;
bool pumpedOnce = false;

} // namespace

unsigned SetMessagePumpInterval(unsigned milliseconds) {
    const unsigned previous = interval;
    interval = milliseconds;
    return previous;
}

bool TRedrawPacer::Due() {
    const DWORD now = ::GetTickCount();
    // The tick count wraps after 49 days; the unsigned difference does not mind.
    if (started_ && now - last_ < interval_)
        return false;
    started_ = true;
    last_ = now;
    return true;
}

void ProcessMessages() {
    const DWORD now = ::GetTickCount();
    if (interval == 0 || !pumpedOnce || now - lastPump >= interval) {
        lastPump = now;
        pumpedOnce = true;
        DispatchPending();
    }
    if (Hook()) {
        // A copy, so that a hook that replaces itself is not destroyed while it runs.
        const std::function<void()> hook = Hook();
        hook();
    }
}

void SetMessageFilter(TMessageFilter messageFilter) {
    filter = messageFilter;
}

void SetMessagePumpHook(std::function<void()> hook) {
    Hook() = std::move(hook);
}

} // namespace kq
