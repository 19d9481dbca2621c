#include "setup/folders.h"

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "setup/uconst.h"

namespace kq {

namespace {

// Paths are split where the code page says characters end: in 936 and 950 many characters have
// a backslash as their second byte ("功" is B9 5C in 950), which is no separator.
int CodePage() {
    return static_cast<int>(GetACP());
}

} // namespace

AnsiString GetWindowsDirPath() {
    return IncludeTrailingBackslash(GetWindowsDirectory(), CodePage());
}

AnsiString GetProgramFilesDir() {
    return GetWindowsDirPath().substr(0, 3) + uconst::kProgramFiles;
}

bool CreateDirChain(const AnsiString& dir) {
    if (dir.empty()) {
        return false;
    }
    if (DirectoryExists(dir) || CreateDirectory(dir)) {
        return true;
    }
    // The parent: up to the last separator before the last character, which must lie after the
    // drive root (0-based position 4 or later).
    const AnsiString parent =
        ExtractFilePath(std::string_view(dir).substr(0, dir.size() - 1), CodePage());
    if (parent.size() < 5 || parent.back() == ':') {
        return false;
    }
    if (!CreateDirChain(parent)) {
        return false;
    }
    return CreateDirectory(dir) || DirectoryExists(dir);
}

bool BrowseForFolder(const AnsiString& title, const std::wstring& root, AnsiString& dir) {
    dir.clear();
    bool confirmed = false;
    try {
        AnsiString chosen;
        if (ShowFolderDialog(title, root, chosen)) {
            confirmed = true;
            const std::size_t nul = chosen.find('\0');
            if (nul != AnsiString::npos) {
                chosen.resize(nul);
            }
            if (!chosen.empty()) {
                chosen = IncludeTrailingBackslash(chosen, CodePage());
            }
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
    request.currentDirectory = ExtractFilePath(commandLine, CodePage());
    request.creationFlags = create::DefaultErrorMode;
    return CreateProcess(request, ids);
}

} // namespace kq
