#include "platform/dll_search.h"

#include "platform/win32_api.h"

namespace kq {

bool HardenDllSearch() {
    // SetDefaultDllDirectories exists from Windows 7 with update KB2533623 on; it is looked up
    // rather than imported so that the program still starts where it is missing.
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    const auto setDefault =
        kernel == nullptr ? nullptr
                          : reinterpret_cast<SetDefaultDllDirectoriesProc>(reinterpret_cast<void*>(
                                ::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return true;
    }
    // Without it, at least take the current folder out of the search.
    return ::SetDllDirectoryA("") != 0;
}

} // namespace kq
