#pragma once

// Failure reporting of the platform layer. Operations report failure Windows-style (false, -1,
// an empty string or an invalid value) and leave the reason in LastError(). The stand-in maps its
// own failures onto the same Windows codes, so callers test one set of numbers on both platforms.

#include <cstdint>
#include <string>

namespace kq {

namespace err {
inline constexpr std::uint32_t Success = 0;
inline constexpr std::uint32_t FileNotFound = 2;
inline constexpr std::uint32_t PathNotFound = 3;
inline constexpr std::uint32_t TooManyOpenFiles = 4;
inline constexpr std::uint32_t AccessDenied = 5;
inline constexpr std::uint32_t InvalidHandle = 6;
inline constexpr std::uint32_t NotEnoughMemory = 8;
inline constexpr std::uint32_t GeneralFailure = 31;
inline constexpr std::uint32_t SharingViolation = 32;
inline constexpr std::uint32_t FileExists = 80;
inline constexpr std::uint32_t InvalidParameter = 87;
inline constexpr std::uint32_t DiskFull = 112;
inline constexpr std::uint32_t InvalidName = 123;
inline constexpr std::uint32_t NegativeSeek = 131;
inline constexpr std::uint32_t DirectoryNotEmpty = 145;
inline constexpr std::uint32_t AlreadyExists = 183;
inline constexpr std::uint32_t FilenameTooLong = 206;
inline constexpr std::uint32_t FileTooLarge = 223;
inline constexpr std::uint32_t NotADirectory = 267;
inline constexpr std::uint32_t IoDevice = 1117;
} // namespace err

// The code left by the last failed operation of this thread. Successful operations do not
// reset it, as on Windows.
std::uint32_t LastError();
void SetLastError(std::uint32_t code);

// The system's text for an error code, without trailing line breaks; "System error N" when the
// system has no text for it.
std::string SysErrorMessage(std::uint32_t code);

} // namespace kq
