// The native stand-in's TApplication: nothing to initialise and no user to wait for.
#include "native.h"

namespace kq {

bool InitializeNative() {
    return false;
}

void FinalizeNative(bool) {}

void RunMessageLoop(const TForm&) {}

} // namespace kq
