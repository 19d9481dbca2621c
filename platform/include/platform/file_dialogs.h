#pragma once

// The system's dialog for choosing an existing file to open. A responder installed by a test
// answers instead, on both platforms; without one the stand-in's dialog is cancelled.

#include "platform/errors.h"

#include <functional>
#include <string>

namespace kq {

// Answers the file-open dialog instead of the user: true with the chosen file, false for Cancel.
// It receives the dialog's title, filter and starting folder as ShowFileOpenDialog got them.
using FileOpenDialogResponder =
    std::function<bool(const std::string& title, const std::string& filter,
                       const std::string& initialFolder, std::string& fileName)>;

// Shows a modal file-open dialog owned by the active window, titled title, starting in
// initialFolder. filter lists pairs of a description and its patterns, all separated by "|"
// ("Zip Files (*.ZIP)|*.zip|All Files (*.*)|*.*"); the first pair is selected. True when the
// user chose an existing file, whose full path is then in fileName; false (err::Cancelled when
// the user cancelled) leaves fileName empty.
bool ShowFileOpenDialog(const std::string& title, const std::string& filter,
                        const std::string& initialFolder, std::string& fileName);

// Installs the responder for every later ShowFileOpenDialog; an empty function removes it.
void SetFileOpenDialogResponder(FileOpenDialogResponder responder);

} // namespace kq
