// The stand-in's message box: nobody is there to press a button, so a responder installed by
// a test answers, or else the default button does.

#include "platform/dialogs.h"

#include "../shared/unhooked_calls.h"
#include "platform/errors.h"

#include <vector>

namespace kq {

namespace {

// The buttons of a style, left to right; empty for a style Windows does not know.
std::vector<int> ButtonsOf(std::uint32_t flags) {
    std::vector<int> buttons;
    switch (flags & mb::TypeMask) {
    case mb::Ok:
        buttons = {id::Ok};
        break;
    case mb::OkCancel:
        buttons = {id::Ok, id::Cancel};
        break;
    case mb::AbortRetryIgnore:
        buttons = {id::Abort, id::Retry, id::Ignore};
        break;
    case mb::YesNoCancel:
        buttons = {id::Yes, id::No, id::Cancel};
        break;
    case mb::YesNo:
        buttons = {id::Yes, id::No};
        break;
    case mb::RetryCancel:
        buttons = {id::Retry, id::Cancel};
        break;
    case mb::CancelTryContinue:
        buttons = {id::Cancel, id::TryAgain, id::Continue};
        break;
    default:
        return buttons;
    }
    if ((flags & mb::Help) != 0) {
        buttons.push_back(id::Help);
    }
    return buttons;
}

} // namespace

int native::ShowMessageBox(const std::string&, const std::string&, std::uint32_t flags) {
    const std::vector<int> buttons = ButtonsOf(flags);
    if (buttons.empty()) {
        SetLastError(err::InvalidParameter);
        return 0;
    }
    const std::size_t chosen = (flags & mb::DefMask) >> 8;
    return chosen < buttons.size() ? buttons[chosen] : buttons.front();
}

} // namespace kq
