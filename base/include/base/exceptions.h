// The root of every error the program raises, and the general-purpose error classes of the
// foundation. Each subsystem derives its own classes from Exception; the message is the text the
// user sees in the error box, so it is carried unchanged.
#pragma once

#include <exception>
#include <string>

namespace kq {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}

    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// A list was used with a bad index or against its duplicates or sorting policy.
class EListError : public Exception {
public:
    using Exception::Exception;
};

class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// Reading or writing stored data (streams, the class registry) failed.
class EFilerError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EReadError : public EFilerError {
public:
    using EFilerError::EFilerError;
};

class EWriteError : public EFilerError {
public:
    using EFilerError::EFilerError;
};

class EClassNotFound : public EFilerError {
public:
    using EFilerError::EFilerError;
};

// A value could not be converted: a bad format string, a number that does not parse, an
// assignment between incompatible objects.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// The silent abort: it unwinds like any error, but the error box does not show it.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A component's name is invalid or already taken among its owner's components.
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

// A published property was missing, of another kind or given a value it cannot hold.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

// Leaves the current operation without an error box.
[[noreturn]] void Abort();

} // namespace kq
