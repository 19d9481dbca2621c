#pragma once

// Fault injection of the stand-in platform used by native builds; not available on Windows.
//
// The stand-in counts the calls of each kind below that a process makes, and can make one of
// them fail once with the error a real failure of its kind gives, so that a test can fail every
// call of a run in turn. Calls are counted only while faults are armed, so a program that never
// arms them pays one test of a flag per call.

namespace kq {

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
