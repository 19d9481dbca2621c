#pragma once

// Helpers shared by the stand-in's source files.

#include "platform/owned.h"
#include "platform/standin.h"
#include "platform/standin_faults.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kq::standin {

// A host file descriptor, closed by its owner. A caller that must know whether the close
// succeeded takes the descriptor back with Release() and closes it itself.
struct DescriptorTraits {
    using Handle = int;
    static constexpr int None = -1;
    static void Release(int descriptor) { ::close(descriptor); }
};
using OwnedDescriptor = Owned<DescriptorTraits>;

// Drive letters and the other ASCII letters, whatever the code page.
inline bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline char ToUpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
inline char ToLowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Sets LastError from an errno value.
void FailWithErrno(int error);
// The same for an operation on hostPath: a missing name is "file not found" when its folder
// exists and "path not found" when the folder is missing too, as Windows tells them apart.
void FailWithErrnoAt(int error, const std::string& hostPath);

// Name conversion between the ANSI code page and the host's UTF-8. AnsiToUtf8 gives nothing for
// bytes that are not valid in the code page; Utf8ToAnsi writes '?' for characters the code page
// lacks.
std::optional<std::string> AnsiToUtf8(const std::string& text, std::uint32_t codePage);
std::string Utf8ToAnsi(const std::string& text, std::uint32_t codePage);

// The Windows form of a host path under the root ("<root>/c/a" gives "C:\a"), in UTF-8; other
// host paths come back unchanged.
std::string WindowsFormOfHostPath(const std::string& hostPath);
// The current folder in the form of WindowsFormOfHostPath; empty on failure.
std::string CurrentDirectoryUtf8();
// The host path for a Windows path already converted to UTF-8.
std::string HostPathFromUtf8(const std::string& windowsPath);

// Local DOS date-time <-> host time. Both fail outside the years 1980 to 2107; Unpack also
// fails for fields that name no real date or time.
bool PackDosDateTime(const struct timespec& time, std::uint32_t& dosDateTime);
bool UnpackDosDateTime(std::uint32_t dosDateTime, std::time_t& time);

// Windows attributes of an existing host file (see attributes.cpp).
std::uint32_t AttributesOf(const std::string& hostPath, const struct stat& status);
// Keeps the bits that the permissions do not carry; false (LastError set) when that fails.
bool StoreAttributes(const std::string& hostPath, const struct stat& status,
                     std::uint32_t attributes);
// True when the file has no stored attributes afterwards.
bool ForgetStoredAttributes(const std::string& hostPath);
// The permission bits of a file given the read-only attribute: the owner's write permission.
mode_t ModeWithAttributes(mode_t mode, std::uint32_t attributes);
// The attributes of an open file, its stored value left out where noneStored and the file would
// read back alike without it.
bool StoreAttributes(int descriptor, std::uint32_t attributes, bool noneStored);

// The fault injector's call point (fault_injection.cpp): counts a call of kind and tells whether
// it is the one to fail, with LastError set to that failure's code.
bool FaultInjected(FaultKind kind);
bool FaultsArmed();

} // namespace kq::standin
