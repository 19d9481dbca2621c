#pragma once

// Processing of pending window messages while a long operation runs on the GUI thread.

#include <cstdint>
#include <functional>

namespace kq {

// Windows: dispatches every pending message of this thread and returns when the queue is empty
// (a quit request is left in the queue for the main loop). Then, on both platforms, calls the
// hook a test installed, if any.
void ProcessMessages();

// Paces ProcessMessages while a long operation calls it often: with an interval above 0, the
// pending messages are processed at most once per that many milliseconds (the hook is still
// called every time); 0, the start, processes them at every call. Returns the interval that was
// in force. Drawing and dispatching a window's messages can cost more than the work done between
// two calls (installing a small file), while a window answering within 50 ms looks responsive.
unsigned SetMessagePumpInterval(unsigned milliseconds);

// Paces changes that make a window redraw itself at once, such as a label's text: Due() is true
// at the first call and then once the interval has passed since it last was. The stand-in draws
// nothing and is always due, so that a test sees every change.
class TRedrawPacer {
public:
    explicit TRedrawPacer(unsigned milliseconds) : interval_(milliseconds) {}
    bool Due();

private:
    // The Windows pacer's state; the stand-in needs none.
    [[maybe_unused]] unsigned interval_;
    [[maybe_unused]] std::uint32_t last_ = 0;
    [[maybe_unused]] bool started_ = false;
};

// Windows: offered each message before ProcessMessages dispatches it, as the main loop does, so
// that the dialog keys (Tab, Enter, Esc, Alt and a letter) work while a long operation runs. It
// gets the native message (a MSG) and returns true when it has handled it; null removes it. The
// forms library installs it; the stand-in has no messages to offer.
using TMessageFilter = bool (*)(void* nativeMessage);
void SetMessageFilter(TMessageFilter filter);

// Installs the hook ProcessMessages calls (to press Cancel in the middle of an extraction, for
// example); an empty function removes it. A hook may replace or remove itself while it runs.
void SetMessagePumpHook(std::function<void()> hook);

} // namespace kq
