#include "platform/shell.h"

#include "platform/win32_api.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <utility>

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

IShellLinkA* LinkOf(void* link) {
    return static_cast<IShellLinkA*>(link);
}

IPersistFile* FileOf(void* file) {
    return static_cast<IPersistFile*>(file);
}

// An item list the shell allocated, freed with the COM allocator.
class ItemList {
public:
    explicit ItemList(LPITEMIDLIST items = nullptr) : items_(items) {}
    ~ItemList() { ::CoTaskMemFree(items_); }
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;

    LPITEMIDLIST Get() const { return items_; }
    LPITEMIDLIST* Receive() { return &items_; }

private:
    LPITEMIDLIST items_;
};

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
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop))) {
        return;
    }
    std::wstring writable = name; // the parser takes a non-const string
    ULONG eaten = 0;
    desktop->ParseDisplayName(owner, nullptr, writable.data(), &eaten, items.Receive(), nullptr);
    desktop->Release();
}

FolderDialogResponder& TheFolderResponder() {
    static FolderDialogResponder responder;
    return responder;
}

// The shell's dialog itself; true with the path of a confirmed file-system folder.
bool BrowseWithShell(const std::string& title, const std::wstring& root, std::string& folder) {
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
    const ItemList chosen(::SHBrowseForFolderA(&info));
    char path[MAX_PATH + 1] = {};
    if (chosen.Get() == nullptr || !::SHGetPathFromIDListA(chosen.Get(), path)) {
        return false;
    }
    folder = path;
    return true;
}

} // namespace

ComApartment::ComApartment() {
    // S_FALSE (already initialised on this thread) also needs its CoUninitialize.
    initialized_ = SUCCEEDED(::CoInitialize(nullptr));
}

ComApartment::~ComApartment() {
    if (initialized_) {
        ::CoUninitialize();
    }
}

ShellLink::~ShellLink() {
    if (file_ != nullptr) {
        FileOf(file_)->Release();
    }
    if (link_ != nullptr) {
        LinkOf(link_)->Release();
    }
}

bool ShellLink::Create() {
    if (created_) {
        return true;
    }
    IShellLinkA* link = nullptr;
    if (!ComSucceeded(::CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER,
                                         kShellLinkInterface, reinterpret_cast<void**>(&link)))) {
        return false;
    }
    IPersistFile* file = nullptr;
    if (!ComSucceeded(
            link->QueryInterface(kPersistFileInterface, reinterpret_cast<void**>(&file)))) {
        const std::uint32_t error = LastError();
        link->Release();
        SetLastError(error);
        return false;
    }
    link_ = link;
    file_ = file;
    created_ = true;
    return true;
}

bool ShellLink::SetPath(const std::string& target) {
    if (!created_) {
        SetLastError(err::InvalidHandle);
        return false;
    }
    // S_FALSE means the target does not exist, which a link may well point to.
    return ComSucceeded(LinkOf(link_)->SetPath(target.c_str()));
}

bool ShellLink::SetWorkingDirectory(const std::string& folder) {
    if (!created_) {
        SetLastError(err::InvalidHandle);
        return false;
    }
    return ComSucceeded(LinkOf(link_)->SetWorkingDirectory(folder.c_str()));
}

bool ShellLink::SetDescription(const std::string& description) {
    if (!created_) {
        SetLastError(err::InvalidHandle);
        return false;
    }
    return ComSucceeded(LinkOf(link_)->SetDescription(description.c_str()));
}

bool ShellLink::Save(const std::string& path) {
    if (!created_) {
        SetLastError(err::InvalidHandle);
        return false;
    }
    return ComSucceeded(FileOf(file_)->Save(WideFromAnsi(path).c_str(), TRUE));
}

bool ShowFolderDialog(const std::string& title, const std::wstring& root, std::string& folder) {
    folder.clear();
    std::string chosen;
    bool confirmed = false;
    if (TheFolderResponder()) {
        // A copy, so that a responder that replaces itself is not destroyed while it runs.
        const FolderDialogResponder responder = TheFolderResponder();
        confirmed = responder(title, root, chosen);
    } else {
        confirmed = BrowseWithShell(title, root, chosen);
    }
    // Set last: freeing the shell's item lists may change the thread's error code.
    if (!confirmed || chosen.empty()) {
        SetLastError(err::Cancelled);
        return false;
    }
    folder = std::move(chosen);
    return true;
}

void SetFolderDialogResponder(FolderDialogResponder responder) {
    TheFolderResponder() = std::move(responder);
}

} // namespace kq
