#pragma once

// The refusals both platforms make before an operation reaches the system, each leaving the code
// Windows gives for it.

#include "platform/errors.h"

#include <cstdint>

namespace kq::checks {

// False (err::InvalidHandle) for an operation on a file, key or link that is not open.
inline bool IsOpen(bool open) {
    if (!open) {
        SetLastError(err::InvalidHandle);
    }
    return open;
}

// False for a read or write on a file that is not open or of a negative count
// (err::InvalidParameter).
inline bool CanTransfer(bool open, std::int32_t count) {
    if (!IsOpen(open)) {
        return false;
    }
    if (count < 0) {
        SetLastError(err::InvalidParameter);
        return false;
    }
    return true;
}

} // namespace kq::checks
