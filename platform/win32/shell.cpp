#include "platform/shell.h"

#include "../shared/checks.h"
#include "../shared/unhooked_calls.h"
#include "platform/win32_api.h"
#include "platform/win32_handles.h"
#include "platform/win32_system_functions.h"

#include <objidl.h>

namespace kq {

namespace {

// The three identifiers used here (the system's uuid library would bring its tables of hundreds:
// 40 KB of the program).
constexpr GUID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kPersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Leaves the Windows code of a failed COM call in LastError, or the result itself when it
// carries none, so that callers compare the same codes as for the rest of the platform.
bool ComSucceeded(HRESULT result) {
    if (SUCCEEDED(result)) {
        return true;
    }
    SetLastError(HRESULT_FACILITY(result) == FACILITY_WIN32
                     ? static_cast<std::uint32_t>(HRESULT_CODE(result))
                     : static_cast<std::uint32_t>(result));
    return false;
}

// An item list the shell allocated.
using ItemList = win32::ComMemory<LPITEMIDLIST>;

std::wstring WideFromAnsi(const std::string& text) {
    const int length =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

// The shell item for a display name, or none when the desktop cannot parse it.
void ParseDisplayName(HWND owner, const std::wstring& name, ItemList& items) {
    win32::ComPtr<IShellFolder> desktop;
    if (FAILED(win32::SHGetDesktopFolder(desktop.Receive()))) {
        return;
    }
    std::wstring writable = name; // the parser takes a non-const string
    ULONG eaten = 0;
    desktop->ParseDisplayName(owner, nullptr, writable.data(), &eaten, items.Receive(), nullptr);
}

} // namespace

// The shell's own objects of one link.
struct ShellLink::ComObjects {
    win32::ComPtr<IShellLinkA> link;
    win32::ComPtr<IPersistFile> file;
};

bool native::AskFolder(const std::string& title, const std::wstring& root, std::string& folder) {
    const ComApartment com; // the dialog is made of the shell's COM objects
    const HWND owner = ::GetActiveWindow();
    ItemList rootItems;
    if (!root.empty()) {
        ParseDisplayName(owner, root, rootItems); // unparsable: the desktop stays the root
    }
    char displayName[MAX_PATH + 1] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = rootItems.Get();
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const ItemList chosen(win32::SHBrowseForFolderA(&info));
    char path[MAX_PATH + 1] = {};
    if (chosen.Get() == nullptr || !win32::SHGetPathFromIDListA(chosen.Get(), path)) {
        return false;
    }
    folder = path;
    return true;
}

ComApartment::ComApartment() {
    // S_FALSE (already initialised on this thread) also needs its CoUninitialize.
    initialized_ = SUCCEEDED(win32::CoInitialize(nullptr));
}

ComApartment::~ComApartment() {
    if (initialized_) {
        win32::CoUninitialize();
    }
}

ShellLink::ShellLink() = default;

ShellLink::~ShellLink() = default;

bool ShellLink::Create() {
    if (created_) {
        return true;
    }
    auto objects = std::make_unique<ComObjects>();
    if (!ComSucceeded(win32::CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER,
                                              kShellLinkInterface,
                                              objects->link.ReceiveUntyped())) ||
        !ComSucceeded(
            objects->link->QueryInterface(kPersistFileInterface, objects->file.ReceiveUntyped()))) {
        const std::uint32_t error = LastError();
        objects.reset(); // releasing the link may change the thread's error code
        SetLastError(error);
        return false;
    }
    com_ = std::move(objects);
    created_ = true;
    return true;
}

bool ShellLink::SetPath(const std::string& target) {
    // S_FALSE means the target does not exist, which a link may well point to.
    return checks::IsOpen(created_) && ComSucceeded(com_->link->SetPath(target.c_str()));
}

bool ShellLink::SetWorkingDirectory(const std::string& folder) {
    return checks::IsOpen(created_) &&
           ComSucceeded(com_->link->SetWorkingDirectory(folder.c_str()));
}

bool ShellLink::SetDescription(const std::string& description) {
    return checks::IsOpen(created_) &&
           ComSucceeded(com_->link->SetDescription(description.c_str()));
}

bool ShellLink::Save(const std::string& path) {
    return checks::IsOpen(created_) &&
           ComSucceeded(com_->file->Save(WideFromAnsi(path).c_str(), TRUE));
}

} // namespace kq
