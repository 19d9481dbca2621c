// Helpers for text held as bytes in the ANSI code page.
//
// Text is never converted: the translation table keeps GBK, Big5 and ASCII side by side. Case
// folding therefore touches only the ASCII letters, and the helpers that look for a separator
// byte ("\", "/", ":", ".") can be told the code page so that they skip the second byte of a
// double-byte character, which in GBK and Big5 may well be 0x5C, the backslash.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kq {

using AnsiString = std::string;

// --- ASCII case ----------------------------------------------------------------------------------

constexpr int kSingleByteCodePage = 0; // a code page without lead bytes

// Only a-z and A-Z change; the second byte of a double-byte character in codePage is kept.
AnsiString UpperCase(std::string_view s, int codePage = kSingleByteCodePage);
AnsiString LowerCase(std::string_view s, int codePage = kSingleByteCodePage);

// Negative, zero or positive as a sorts before, equal to or after b, comparing bytes as unsigned
// after folding a-z to A-Z (so "_" sorts after the letters).
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// The same without folding: plain unsigned byte order.
int CompareStr(std::string_view a, std::string_view b);

// Removes the bytes up to and including the blank (all control characters too) at both ends.
AnsiString Trim(std::string_view s);

// True for a letter or "_" followed by letters, digits and "_" (ASCII only).
bool IsValidIdent(std::string_view s);

// --- Integers ------------------------------------------------------------------------------------

AnsiString IntToStr(std::int64_t value);
// Decimal or, with a "$" or "0x" prefix, hexadecimal; an optional sign and leading blanks are
// allowed, nothing may follow the digits, and the value must fit in 32 bits.
int StrToInt(std::string_view s); // EConvertError "'%s' is not a valid integer value"
int StrToIntDef(std::string_view s, int defaultValue);

// --- Code pages ----------------------------------------------------------------------------------

// True when b starts a double-byte character in the given ANSI code page (932, 936, 949, 950).
bool IsLeadByte(unsigned char b, int codePage);

// --- Windows file names --------------------------------------------------------------------------
// "\", "/" and ":" separate the parts of a path; a byte that is the second half of a double-byte
// character in codePage is never taken for a separator.

// Appends "\" unless the last character already is one ("" becomes "\").
AnsiString IncludeTrailingBackslash(std::string_view path, int codePage = kSingleByteCodePage);
// Everything up to and including the last separator ("" when there is none).
AnsiString ExtractFilePath(std::string_view path, int codePage = kSingleByteCodePage);
// Everything after the last separator.
AnsiString ExtractFileName(std::string_view path, int codePage = kSingleByteCodePage);
// The extension with its dot ("" when the file name has no dot).
AnsiString ExtractFileExt(std::string_view path, int codePage = kSingleByteCodePage);

} // namespace kq
