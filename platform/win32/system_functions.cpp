#include "platform/win32_system_functions.h"

#include <cstring>

namespace kq::win32 {

namespace {

HMODULE LoadFromSystemFolder(const char* dll) {
    HMODULE module = ::LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) {
        return module;
    }
    // Windows 7 without update KB2533623 does not know the flag; the DLL's full path in the
    // system folder says the same, and the altered search takes its own dependencies from there.
    char path[2 * MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || std::strlen(dll) >= MAX_PATH - 1) {
        ::SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    path[length] = '\\';
    std::strcpy(path + length + 1, dll);
    return ::LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The function as its declaration in the Windows headers types it (naming a function in
// decltype does not import it).
template <class Function>
Function* SystemFunction(const char* dll, const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(FindSystemFunction(dll, name)));
}

// The failed HRESULT of a call that could not be made, from the lookup's LastError (never a
// success, should the lookup have left no code).
HRESULT LookupFailure() {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

constexpr const char* kOle = "ole32.dll";
constexpr const char* kShell = "shell32.dll";

} // namespace

// The DLL is loaded again (its count raised) at each lookup and never released: it stays for
// the rest of the run, and a lookup costs far less than the dialog or link it serves.
FARPROC FindSystemFunction(const char* dll, const char* function) {
    const HMODULE module = LoadFromSystemFolder(dll);
    return module == nullptr ? nullptr : ::GetProcAddress(module, function);
}

HRESULT CoInitialize(LPVOID reserved) {
    const auto function = SystemFunction<decltype(::CoInitialize)>(kOle, "CoInitialize");
    return function != nullptr ? function(reserved) : LookupFailure();
}

void CoUninitialize() {
    if (const auto function = SystemFunction<decltype(::CoUninitialize)>(kOle, "CoUninitialize")) {
        function();
    }
}

HRESULT CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID interfaceId,
                         LPVOID* object) {
    *object = nullptr;
    const auto function = SystemFunction<decltype(::CoCreateInstance)>(kOle, "CoCreateInstance");
    return function != nullptr ? function(classId, outer, context, interfaceId, object)
                               : LookupFailure();
}

void CoTaskMemFree(LPVOID memory) {
    if (const auto function = SystemFunction<decltype(::CoTaskMemFree)>(kOle, "CoTaskMemFree")) {
        function(memory);
    }
}

HRESULT SHGetDesktopFolder(IShellFolder** folder) {
    *folder = nullptr;
    const auto function =
        SystemFunction<decltype(::SHGetDesktopFolder)>(kShell, "SHGetDesktopFolder");
    return function != nullptr ? function(folder) : LookupFailure();
}

PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA info) {
    const auto function =
        SystemFunction<decltype(::SHBrowseForFolderA)>(kShell, "SHBrowseForFolderA");
    return function != nullptr ? function(info) : nullptr;
}

BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE items, LPSTR path) {
    const auto function =
        SystemFunction<decltype(::SHGetPathFromIDListA)>(kShell, "SHGetPathFromIDListA");
    return function != nullptr ? function(items, path) : FALSE;
}

BOOL GetOpenFileNameA(LPOPENFILENAMEA dialog) {
    const auto function =
        SystemFunction<decltype(::GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
    return function != nullptr ? function(dialog) : FALSE;
}

} // namespace kq::win32
