#pragma once

// The registry of the current user (HKEY_CURRENT_USER) and of the machine (HKEY_LOCAL_MACHINE):
// keys opened by path, values read with their type, string and DWORD values written.
//
// Key paths are relative to their root (the current user's unless another is named), their parts
// separated by "\"; empty parts (a trailing "\", as in "Software\Kavoru\KavoruQyn\") are ignored.
// Key and value names compare without regard to ASCII case, as on Windows. Failures leave the
// Windows code in LastError(): err::FileNotFound for a key or value that does not exist,
// err::AccessDenied for a write through a key opened for reading.
//
// The stand-in keeps the current user's registry in the text file "<root>/registry/HKCU.txt" and
// the machine's in "<root>/registry/HKLM.txt", rewritten as a
// whole through a temporary file and a rename, so a reader never sees half of a change. Its form:
//
//   # comment (only at the start of a line)
//   [Software\Kavoru\KavoruQyn]
//   InstallPath=1:D:\Apps\Q
//
// A "[path]" line opens a key; each "name=type:data" line below it is one value of that key: the
// type in decimal (reg::Sz...), the data as raw bytes (a string without its terminating NUL, a
// DWORD as four bytes, low byte first). Bytes below 0x20, from 0x7F up and "%", and in a name
// also "=", "#" and "[", are written as "%XX" in hexadecimal; the empty name is the key's
// default value. Every key has its own line, its parents included.
// A file that does not follow this form is reported as err::RegistryCorrupt and never rewritten.
// A missing HKLM.txt is an empty registry, made at the first write. When HKCU.txt does not exist,
// the first use creates it with the shell's folder paths of the current user under
// "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders" (Desktop, Start Menu,
// Programs, Startup, AppData, below "C:\users\<name>\", where <name> is the host's user name) and
// creates those folders, as a Windows profile has them. A test that wants other contents writes the
// file before the first use.

#include "platform/errors.h"

#include <cstdint>
#include <string>

namespace kq {

// Value types, with Windows' values (REG_...).
namespace reg {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Sz = 1;
inline constexpr std::uint32_t ExpandSz = 2;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Dword = 4;
inline constexpr std::uint32_t MultiSz = 7;
} // namespace reg

namespace err {
inline constexpr std::uint32_t RegistryCorrupt = 1015;
inline constexpr std::uint32_t KeyDeleted = 1018;
} // namespace err

// The predefined keys a path starts from.
enum class TRegistryRoot {
    CurrentUser,  // HKEY_CURRENT_USER
    LocalMachine, // HKEY_LOCAL_MACHINE; a 32-bit program on 64-bit Windows sees its 32-bit view
};

// A value as stored: its type and its bytes. Strings (Sz, ExpandSz) come without their
// terminating NUL and end at their first NUL.
struct RegistryValue {
    std::uint32_t type = reg::None;
    std::string data;
};

// One open key of the current user's registry. Move-only; closed by the destructor.
class RegKey {
public:
    RegKey() = default;
    ~RegKey();
    RegKey(RegKey&& other) noexcept;
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Opens subKey for reading and writing, creating it and its missing parents.
    bool Create(const std::string& subKey) { return Create(TRegistryRoot::CurrentUser, subKey); }
    bool Create(TRegistryRoot root, const std::string& subKey);
    // Opens an existing subKey for reading only.
    bool Open(const std::string& subKey) { return Open(TRegistryRoot::CurrentUser, subKey); }
    bool Open(TRegistryRoot root, const std::string& subKey);
    bool IsOpen() const;
    void Close();

    bool QueryValue(const std::string& name, RegistryValue& value) const;
    // Writes name as a string value (reg::Sz), replacing a value of any type.
    bool SetStringValue(const std::string& name, const std::string& text);
    // Writes name as a DWORD value (reg::Dword), replacing a value of any type.
    bool SetDwordValue(const std::string& name, std::uint32_t number);
    // Writes name with the given type and raw bytes (strings without their terminating NUL).
    bool SetValue(const std::string& name, std::uint32_t type, const std::string& data);

private:
    // Windows keeps the HKEY in handle_; the stand-in keeps the key's path as its file spells it
    // and whether it was opened for writing.
    std::intptr_t handle_ = 0;
    std::string path_;
    TRegistryRoot root_ = TRegistryRoot::CurrentUser;
    bool writable_ = false;
};

} // namespace kq
