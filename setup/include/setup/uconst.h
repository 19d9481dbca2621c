// The wizard's fixed values, kept in one place.
#pragma once

namespace kq::uconst {

// Appended to the company's name from the table to make the product's name.
inline constexpr const char* kProductSuffix = "Qyn";
// The product's key under the current user's root, created when missing.
inline constexpr const char* kRegistryKey = "Software\\Kavoru\\KavoruQyn\\";
// The folder of the last installation, a string value under that key.
inline constexpr const char* kInstallPathValue = "InstallPath";
// The default parent folder, below the drive root of the Windows directory.
inline constexpr const char* kProgramFiles = "Program Files\\";
// The installed program, relative to the destination folder.
inline constexpr const char* kProgramExe = "qynapp.exe";

} // namespace kq::uconst
