#include "platform/removal.h"

#include "platform/win32_api.h"
#include "platform/win32_handles.h"
#include "platform/win32_system_functions.h"

#include <objidl.h>

namespace kq {

namespace {

// The shell link's class and the two interfaces a reader needs (see shell.cpp for why they are
// spelled out here).
constexpr GUID kLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kPersistInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// A search of FindFirstFileA, whose "none" (INVALID_HANDLE_VALUE) is no constant expression
// that Owned could take.
class FolderSearch {
public:
    FolderSearch(const std::string& pattern, WIN32_FIND_DATAA& found)
        : handle_(::FindFirstFileA(pattern.c_str(), &found)) {}
    ~FolderSearch() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::FindClose(handle_);
        }
    }
    FolderSearch(const FolderSearch&) = delete;
    FolderSearch& operator=(const FolderSearch&) = delete;

    bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& found) const { return ::FindNextFileA(handle_, &found) != 0; }

private:
    HANDLE handle_;
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static constexpr HKEY None = nullptr;
    static void Release(HKEY key) { ::RegCloseKey(key); }
};

// The registry functions return their error instead of setting the thread's.
bool RegistrySucceeded(LONG result) {
    if (result == ERROR_SUCCESS) {
        return true;
    }
    ::SetLastError(static_cast<DWORD>(result));
    return false;
}

} // namespace

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const FolderSearch search(folder + "\\*", found);
    if (!search.Found()) {
        return names;
    }
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (search.Next(found));
    return names;
}

bool IsLinkOrJunction(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool ReadShellLinkTarget(const std::string& linkPath, std::string& target) {
    // A link file's path fits MAX_PATH as the shell reads it.
    wchar_t widePath[MAX_PATH + 1] = {};
    win32::ComPtr<IShellLinkA> link;
    win32::ComPtr<IPersistFile> file;
    if (::MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH + 1) == 0 ||
        FAILED(win32::CoCreateInstance(kLinkClass, nullptr, CLSCTX_INPROC_SERVER, kLinkInterface,
                                       link.ReceiveUntyped())) ||
        FAILED(link->QueryInterface(kPersistInterface, file.ReceiveUntyped())) ||
        FAILED(file->Load(widePath, STGM_READ))) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    char path[MAX_PATH + 1] = {};
    // SLGP_RAWPATH: the path as stored, without the shell's resolution of a moved target.
    if (link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK || path[0] == '\0') {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    target = path;
    return true;
}

bool DeleteRegistryValue(const std::string& subKey, const std::string& name) {
    Owned<RegistryKeyTraits> key;
    return RegistrySucceeded(::RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_SET_VALUE,
                                             key.Receive())) &&
           RegistrySucceeded(::RegDeleteValueA(key.Get(), name.c_str()));
}

// A 32-bit program's RegDeleteKeyA reaches the 32-bit view on 64-bit Windows.
bool DeleteMachineKey(const std::string& subKey) {
    return RegistrySucceeded(::RegDeleteKeyA(HKEY_LOCAL_MACHINE, subKey.c_str()));
}

bool CopyFileTo(const std::string& from, const std::string& to) {
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool DeleteFileAtRestart(const std::string& path) {
    return ::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

void SleepMilliseconds(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

} // namespace kq
