#pragma once

// The translation engine's error: raised only for misuse (a language index out of range, a
// language name that is not one of the names, an unknown string identifier when asked to).

#include "base/exceptions.h"

namespace kq {

class ELanguageError : public Exception {
public:
    using Exception::Exception;
};

} // namespace kq
