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

// The product's named mutex, kept by the Setup that runs so that a second one started meanwhile
// refuses. It lives in the user's session ("Local\"): the second Setup it stops is started by the
// same person at the same desk (an impatient double click, a script run twice), and what Setup
// records belongs to that user (the product's key, the shortcuts). A machine-wide name would also
// stop the Setup of another user of the same machine, who cannot see the window it waits for.
inline constexpr const char* kSetupMutex = "Local\\KavoruQyn.Setup";

// The setup archive, in the folder of the running setup program.
inline constexpr const char* kArchiveName = "Setup.dat";
// The uninstall log in the destination folder, its one section and the prefix of its date keys.
inline constexpr const char* kUninstallLog = "Uninstall.log";
inline constexpr const char* kUninstallSection = "Qyn";
inline constexpr const char* kDateKeyPrefix = "D";

} // namespace kq::uconst
