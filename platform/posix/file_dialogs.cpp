// The stand-in's file-open dialog: nobody can choose a file, so a responder installed by a test
// answers, or else the dialog counts as cancelled.

#include "platform/file_dialogs.h"

#include "platform/shell.h"

#include <utility>

namespace kq {

namespace {

FileOpenDialogResponder& TheFileOpenResponder() {
    static FileOpenDialogResponder responder;
    return responder;
}

} // namespace

bool ShowFileOpenDialog(const std::string& title, const std::string& filter,
                        const std::string& initialFolder, std::string& fileName) {
    fileName.clear();
    if (!TheFileOpenResponder()) {
        SetLastError(err::Cancelled);
        return false;
    }
    // A copy, so that a responder that replaces itself is not destroyed while it runs.
    const FileOpenDialogResponder responder = TheFileOpenResponder();
    std::string chosen;
    if (!responder(title, filter, initialFolder, chosen) || chosen.empty()) {
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
