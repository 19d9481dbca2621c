#pragma once

// The functions of the shell (shell32), COM (ole32) and the common dialogs (comdlg32) that
// platform/win32 calls. They serve the folder and file dialogs and the shortcuts only, and the
// program does not import them: loading those DLLs, and the many they load in turn, would delay
// every start. Each function is looked up when it is called, in the DLL loaded from the system
// folder only, so that a DLL of the same name beside the program (a downloads folder) or in the
// current folder is never loaded. When the DLL or the function is missing, each returns its own failure: a
// failed HRESULT holding the Windows code, or null / FALSE with the code in the thread's
// LastError.

#include "platform/win32_api.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

namespace kq::win32 {

// The address of a function that dll (a bare name such as "ole32.dll") exports, the DLL loaded
// from the system folder; null when either is missing, with the Windows code in LastError.
FARPROC FindSystemFunction(const char* dll, const char* function);

HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID interfaceId,
                         LPVOID* object);
void CoTaskMemFree(LPVOID memory);

HRESULT SHGetDesktopFolder(IShellFolder** folder);
PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA info);
BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE items, LPSTR path);

BOOL GetOpenFileNameA(LPOPENFILENAMEA dialog);

} // namespace kq::win32
