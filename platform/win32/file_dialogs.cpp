// The file-open dialog of the common dialog library (GetOpenFileNameA).

#include "../shared/unhooked_calls.h"
#include "platform/shell.h"
#include "platform/win32_system_functions.h"

#include <vector>

namespace kq {

namespace {

// The dialog takes its filter as strings each ended by a NUL, with one more NUL at the end.
std::vector<char> FilterForDialog(const std::string& filter) {
    std::vector<char> result(filter.begin(), filter.end());
    for (char& c : result) {
        if (c == '|') {
            c = '\0';
        }
    }
    result.push_back('\0');
    result.push_back('\0');
    return result;
}

} // namespace

bool native::AskFileToOpen(const std::string& title, const std::string& filter,
                           const std::string& initialFolder, std::string& fileName) {
    // The dialog shows the shell's namespace, which it reaches through COM.
    const ComApartment com;
    const std::vector<char> filterText = FilterForDialog(filter);
    // Room for a long path; a choice that does not fit is reported as an error by the dialog.
    std::vector<char> chosen(32768, '\0');
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = ::GetActiveWindow();
    dialog.lpstrFilter = filterText.data();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen.data();
    dialog.nMaxFile = static_cast<DWORD>(chosen.size());
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!win32::GetOpenFileNameA(&dialog)) {
        return false;
    }
    fileName = chosen.data();
    return true;
}

} // namespace kq
