// Setup.exe without a window (/S): the installation the wizard runs, its texts and proposed folder
// taken from a window that is never shown.
#pragma once

#include "setup/command_line.h"

namespace kq {

// Setup.exe's exit codes.
namespace setup_exit {
inline constexpr int Installed = 0;
inline constexpr int Cancelled = 1;     // or a retry question would have been asked
inline constexpr int ArchiveFailed = 2; // the archive is missing or damaged, or a file failed
inline constexpr int FolderNotMade = 3;
inline constexpr int NotEnoughSpace = 4;
inline constexpr int UsageError = 5;
inline constexpr int AlreadyRunning = 6; // another Setup of the product runs; nothing was done
} // namespace setup_exit

// Installs as the wizard would with its proposed folder, or options.folder, and returns the exit
// code. Shows no window and no message box and never starts the installed program. Where the
// wizard would ask whether to try a file again, the installation ends with setup_exit::Cancelled.
int RunSilentInstall(const TSetupOptions& options);

// Writes the usage error to options.logFile, when one was given. Returns setup_exit::UsageError.
int ReportUsageError(const TSetupOptions& options);

// A Setup started while another one runs (it holds uconst::kSetupMutex): says so in the language
// of the code page, in a box unless options.silent, and in options.logFile when one was given.
// Nothing else is written: no folder, no registry, no file. Returns setup_exit::AlreadyRunning.
int RefuseSecondSetup(const TSetupOptions& options);

} // namespace kq
