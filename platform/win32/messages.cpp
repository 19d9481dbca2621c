#include "platform/messages.h"

#include "../shared/unhooked_calls.h"
#include "platform/win32_api.h"

namespace kq {

namespace {

TMessageFilter filter = nullptr;
DWORD lastPump = 0;
bool pumpedOnce = false;

} // namespace

bool TRedrawPacer::Due() {
    const DWORD now = ::GetTickCount();
    // The tick count wraps after 49 days; the unsigned difference does not mind.
    if (started_ && now - last_ < interval_) {
        return false;
    }
    started_ = true;
    last_ = now;
    return true;
}

void native::DispatchPendingMessages(unsigned interval) {
    const DWORD now = ::GetTickCount();
    if (interval != 0 && pumpedOnce && now - lastPump < interval) {
        return;
    }
    lastPump = now;
    pumpedOnce = true;
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Taking the quit request out of the queue here would keep the main loop from ever
            // seeing it: put it back and leave the rest to that loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (filter != nullptr && filter(&message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

void SetMessageFilter(TMessageFilter messageFilter) {
    filter = messageFilter;
}

} // namespace kq
