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
// The product's uninstaller, relative to the destination folder; the Apps & features entry is
// written only when the archive installed it.
inline constexpr const char* kUninstallerExe = "UnInstall.exe";

// The setup archive, in the folder of the running setup program.
inline constexpr const char* kArchiveName = "Setup.dat";
// The uninstall log in the destination folder, its one section and the prefix of its date keys.
inline constexpr const char* kUninstallLog = "Uninstall.log";
inline constexpr const char* kUninstallSection = "Qyn";
inline constexpr const char* kDateKeyPrefix = "D";

} // namespace kq::uconst
