// The file-open dialog of the common dialog library (GetOpenFileNameA).

#include "platform/file_dialogs.h"

#include "platform/shell.h"
#include "platform/win32_api.h"

#include <commdlg.h>
#include <utility>
#include <vector>

namespace kq {

namespace {

FileOpenDialogResponder& TheFileOpenResponder() {
    static FileOpenDialogResponder responder;
    return responder;
}

// The dialog takes its filter as strings each ended by a NUL, with one more NUL at the end.
std::vector<char> FilterForDialog(const std::string& filter) {
    std::vector<char> result(filter.begin(), filter.end());
    for (char& c : result)
        if (c == '|')
            c = '\0';
    result.push_back('\0');
    result.push_back('\0');
    return result;
}

bool AskWithDialog(const std::string& title, const std::string& filter,
                   const std::string& initialFolder, std::string& fileName) {
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
    if (!::GetOpenFileNameA(&dialog))
        return false;
    fileName = chosen.data();
    return true;
}

} // namespace

bool ShowFileOpenDialog(const std::string& title, const std::string& filter,
                        const std::string& initialFolder, std::string& fileName) {
    fileName.clear();
    std::string chosen;
    bool confirmed = false;
    if (TheFileOpenResponder()) {
        // A copy, so that a responder that replaces itself is not destroyed while it runs.
        const FileOpenDialogResponder responder = TheFileOpenResponder();
        confirmed = responder(title, filter, initialFolder, chosen);
    } else {
        confirmed = AskWithDialog(title, filter, initialFolder, chosen);
    }
    if (!confirmed || chosen.empty()) {
        SetLastError(err::Cancelled);
        return false;
    }
    fileName = std::move(chosen);
    return true;
}

void SetFileOpenDialogResponder(FileOpenDialogResponder responder) {
    TheFileOpenResponder() = std::move(responder);
}

} // namespace kq
