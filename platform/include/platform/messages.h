#pragma once

// Processing of pending window messages while a long operation runs on the GUI thread.

#include <functional>

namespace kq {

// Windows: dispatches every pending message of this thread and returns when the queue is empty
// (a quit request is left in the queue for the main loop). Then, on both platforms, calls the
// hook a test installed, if any.
void ProcessMessages();

// Installs the hook ProcessMessages calls (to press Cancel in the middle of an extraction, for
// example); an empty function removes it. A hook may replace or remove itself while it runs.
void SetMessagePumpHook(std::function<void()> hook);

} // namespace kq
