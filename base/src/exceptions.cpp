#include "base/exceptions.h"

namespace kq {

void Abort() {
    throw EAbort("Operation aborted");
}

} // namespace kq
