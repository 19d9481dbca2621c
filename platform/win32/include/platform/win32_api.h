#pragma once

// The Windows headers for code that calls the Windows API beside the platform interface
// (platform/win32 and the Windows side of forms). Include this instead of <windows.h>: the
// Windows headers define macros named like our functions (MessageBox, DeleteFile,
// CreateDirectory...) that would otherwise rename every later use of kq::MessageBox and friends.
// Call the API itself by its explicit ...A name.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CreateDirectory
#undef CreateProcess
#undef DeleteFile
#undef GetCommandLine
#undef GetCurrentDirectory
#undef GetDriveType
#undef GetFileAttributes
#undef GetFullPathName
#undef GetModuleFileName
#undef GetDiskFreeSpace
#undef GetTempPath
#undef GetWindowsDirectory
#undef MessageBox
#undef OemToAnsi
#undef RemoveDirectory
#undef SetCurrentDirectory
#undef SetFileAttributes
#undef WritePrivateProfileString
