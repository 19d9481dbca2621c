// Format: printf-like composition of a message from a format string and a list of arguments.
//
// Format strings come from the translation table, which anyone may edit, so every mismatch
// between a format and its arguments is an EConvertError, never undefined behaviour.
//
//   %[index:][-][width][.precision]conversion
//
//   %%      a percent sign
//   %s      a string argument; a precision truncates it to that many bytes
//   %d      an integer in decimal; a precision pads its digits with zeros to that many
//   %u      the same, unsigned (a negative 32-bit argument reads as its 32-bit pattern)
//   %x      the same in upper-case hexadecimal
//   index:  takes the argument at that 0-based position; later conversions go on from there
//   -       pads on the right instead of the left when the text is shorter than width
//
// The conversion letter may be written in either case. Arguments left over are ignored.
#pragma once

#include "base/strings.h"

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace kq {

class FormatArg {
public:
    FormatArg(const char* s) : kind_(Kind::String), text_(s ? s : "") {}
    FormatArg(std::string_view s) : kind_(Kind::String), text_(s) {}
    FormatArg(const std::string& s) : kind_(Kind::String), text_(s) {}
    FormatArg(char c) : kind_(Kind::String), text_(1, c) {}
    FormatArg(bool) = delete; // a Boolean is neither a number nor a text here

    template <std::integral T>
    FormatArg(T value)
        : kind_(std::is_signed_v<T> ? Kind::Signed : Kind::Unsigned),
          bits_(static_cast<std::uint64_t>(value)), wide_(sizeof(T) > 4) {}

    bool IsString() const { return kind_ == Kind::String; }
    const std::string& Text() const { return text_; }
    bool IsSigned() const { return kind_ == Kind::Signed; }
    // The argument's bits; a narrow signed argument is sign-extended to 64 bits.
    std::uint64_t Bits() const { return bits_; }
    // True for arguments of more than 32 bits.
    bool IsWide() const { return wide_; }

private:
    enum class Kind { String, Signed, Unsigned };
    Kind kind_;
    std::string text_;
    std::uint64_t bits_ = 0;
    bool wide_ = false;
};

// Raises EConvertError "Format '<fmt>' invalid or incompatible with argument".
AnsiString Format(std::string_view fmt, std::span<const FormatArg> args);
inline AnsiString Format(std::string_view fmt, std::initializer_list<FormatArg> args) {
    return Format(fmt, std::span<const FormatArg>(args.begin(), args.size()));
}

} // namespace kq
