#include "setup/folders.h"

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "setup/uconst.h"

namespace kq {

AnsiString GetWindowsDirPath() {
    AnsiString path = GetWindowsDirectory();
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

AnsiString GetProgramFilesDir() {
    return GetWindowsDirPath().substr(0, 3) + uconst::kProgramFiles;
}

bool CreateDirChain(const AnsiString& dir) {
    if (dir.empty())
        return false;
    if (DirectoryExists(dir) || CreateDirectory(dir))
        return true;
    // 0-based positions L-2 down to 3: the last character and the drive root are skipped.
    for (std::size_t i = dir.size() - 1; i-- > 3;) {
        if (dir[i] == '\\' || dir[i] == '/') {
            if (!CreateDirChain(dir.substr(0, i + 1)))
                return false;
            return CreateDirectory(dir) || DirectoryExists(dir);
        }
    }
    return false;
}

bool BrowseForFolder(const AnsiString& title, const std::wstring& root, AnsiString& dir) {
    dir.clear();
    bool confirmed = false;
    try {
        AnsiString chosen;
        if (ShowFolderDialog(title, root, chosen)) {
            confirmed = true;
            const std::size_t nul = chosen.find('\0');
            if (nul != AnsiString::npos)
                chosen.resize(nul);
            if (!chosen.empty() && chosen.back() != '\\')
                chosen += '\\';
            dir = chosen;
        }
    } catch (...) {
        // The dialog's failures are not the user's concern: nothing was chosen.
    }
    return confirmed;
}

bool RunProgram(const AnsiString& commandLine, ProcessIds* ids) {
    ProcessRequest request;
    request.applicationName = commandLine;
    request.commandLine = "\"" + commandLine + "\"";
    const std::size_t slash = commandLine.rfind('\\');
    if (slash != AnsiString::npos)
        request.currentDirectory = commandLine.substr(0, slash + 1);
    request.creationFlags = create::DefaultErrorMode;
    return CreateProcess(request, ids);
}

} // namespace kq
