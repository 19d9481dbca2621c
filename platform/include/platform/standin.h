#pragma once

// Controls of the stand-in platform used by native builds; not available on Windows.
//
// Windows paths map onto one root folder of the host: "X:\a\b" becomes "<root>/x/a/b" (the
// drive letter lower-cased), "\" becomes "/", a path without a drive stays relative to the
// process's current folder, "\a" takes the current folder's drive (C when the current folder
// lies outside the root) and "\\server\share" becomes "<root>/unc/server/share". Name bytes are
// converted from the ANSI code page to UTF-8 on the way in and back on the way out. Names keep
// their case: unlike Windows, the stand-in tells "A.txt" from "a.txt".
//
// The root is the folder set by SetRootFolder, else the variable KQ_ROOT, else
// "$HOME/.kavoruqyn", else "/tmp/kavoruqyn-root".
//
// What the stand-in does not imitate: sharing modes (a second writer is never refused) and
// volume labels (always empty).

#include <cstdint>
#include <optional>
#include <string>

namespace kq {

// An empty folder returns to the default root.
void SetRootFolder(const std::string& hostFolder);
std::string RootFolder();

// The host path for a Windows path; nothing (err::InvalidName) when the name's bytes are not
// valid in the ANSI code page.
std::optional<std::string> HostPath(const std::string& windowsPath);

// Makes GetModuleFileName() answer path (a Windows path); empty returns to "C:\Setup.exe".
void SetModuleFileName(const std::string& path);

// Makes GetCommandLine() answer line, as given; empty returns to "C:\Setup.exe".
void SetCommandLine(const std::string& line);

// Makes GetACP() answer codePage; 0 returns to KQ_ACP and the locale.
void SetAnsiCodePage(std::uint32_t codePage);

} // namespace kq

namespace kq {

// Fault injection: the stand-in counts the calls of each kind below that a process makes, and
// can make one of them fail once with the error a real failure of its kind gives, so that a test
// can fail every call of a run in turn. Calls are counted only while faults are armed, so a
// program that never arms them pays one test of a flag per call.
enum class FaultKind {
    Create,        // File::Open for writing (create or write mode)
    Write,         // File::Write
    Close,         // File::FlushToDisk, and File::Close of a file open for writing
    SetTime,       // File::SetDosDateTime
    SetAttributes, // SetFileAttributes
    MakeFolder,    // CreateDirectory
    RegistryWrite, // RegKey::SetValue, and RegKey::Create where it adds a key
    ShortcutSave,  // ShellLink::Save
    ProfileWrite,  // WritePrivateProfileString
    Move,          // MoveFileReplacing
};
inline constexpr int kFaultKinds = 10;

// Starts counting afresh; the call'th call (from 1) of kind from now on fails once. A call of 0
// fails nothing: the run is only counted.
void ArmFault(FaultKind kind, int call);
// Starts counting afresh, and ends the process with SIGKILL just before the call'th call (from 1)
// of any kind from now on: a moment of a run to end it at, as the task manager would.
void ArmKill(int call);
// Stops counting and failing.
void DisarmFaults();
// The calls of kind counted since the last ArmFault.
int FaultCalls(FaultKind kind);
// True once the armed call has failed.
bool FaultFired();
const char* FaultKindName(FaultKind kind);

} // namespace kq
