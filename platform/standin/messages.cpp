// The stand-in has no window messages; ProcessMessages only gives a test's hook its turn.

#include "platform/messages.h"

#include "../shared/unhooked_calls.h"

namespace kq {

bool TRedrawPacer::Due() {
    return true;
}

void native::DispatchPendingMessages(unsigned) {}

void SetMessageFilter(TMessageFilter) {}

} // namespace kq
