// The stand-in's COM and folder dialog: there is no COM to start and nobody to choose a folder,
// so a responder installed by a test answers, or else the dialog counts as cancelled.

#include "platform/shell.h"

#include <utility>

namespace kq {

namespace {

FolderDialogResponder& TheFolderResponder() {
    static FolderDialogResponder responder;
    return responder;
}

} // namespace

ComApartment::ComApartment() : initialized_(true) {}

ComApartment::~ComApartment() = default;

bool ShowFolderDialog(const std::string& title, const std::wstring& root, std::string& folder) {
    folder.clear();
    if (!TheFolderResponder()) {
        SetLastError(err::Cancelled);
        return false;
    }
    // A copy, so that a responder that replaces itself is not destroyed while it runs.
    const FolderDialogResponder responder = TheFolderResponder();
    std::string chosen;
    if (!responder(title, root, chosen) || chosen.empty()) {
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
