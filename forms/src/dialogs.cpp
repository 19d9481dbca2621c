#include "forms/dialogs.h"

#include "base/exceptions.h"
#include "forms_platform.h"
#include "platform/dialogs.h"

#include <utility>

namespace kq {

namespace {

TMessageDialogResponder& Responder() {
    static TMessageDialogResponder responder;
    return responder;
}

constexpr TDialogButton buttonOrder[] = {TDialogButton::Yes, TDialogButton::No, TDialogButton::OK,
                                         TDialogButton::Cancel};

} // namespace

const char* DialogCaption(TDialogKind kind) {
    switch (kind) {
    case TDialogKind::Warning:
        return "Warning";
    case TDialogKind::Error:
        return "Error";
    case TDialogKind::Information:
        return "Information";
    case TDialogKind::Confirmation:
        break;
    }
    return "Confirm";
}

const char* DialogButtonText(TDialogButton button) {
    switch (button) {
    case TDialogButton::Yes:
        return "&Yes";
    case TDialogButton::No:
        return "&No";
    case TDialogButton::OK:
        return "OK";
    case TDialogButton::Cancel:
        break;
    }
    return "Cancel";
}

int DialogButtonResult(TDialogButton button) {
    switch (button) {
    case TDialogButton::Yes:
        return id::Yes;
    case TDialogButton::No:
        return id::No;
    case TDialogButton::OK:
        return id::Ok;
    case TDialogButton::Cancel:
        break;
    }
    return id::Cancel;
}

TDialogButton DialogCancelButton(TDialogButtons buttons) {
    if (buttons.Contains(TDialogButton::Cancel)) {
        return TDialogButton::Cancel;
    }
    if (buttons.Contains(TDialogButton::No)) {
        return TDialogButton::No;
    }
    return TDialogButton::OK;
}

TDialogButton DialogDefaultButton(TDialogButtons buttons) {
    for (TDialogButton button : buttonOrder) {
        if (buttons.Contains(button)) {
            return button;
        }
    }
    return TDialogButton::OK;
}

int MessageDialog(const AnsiString& message, TDialogKind kind, TDialogButtons buttons) {
    if (buttons.Empty()) {
        throw EInvalidOperation("A message dialog needs a button");
    }
    if (Responder()) {
        // A copy, so that a responder that replaces itself is not destroyed while it runs.
        const TMessageDialogResponder responder = Responder();
        return responder(message, kind, buttons);
    }
    return ShowNativeMessageDialog(message, kind, buttons);
}

void SetMessageDialogResponder(TMessageDialogResponder responder) {
    Responder() = std::move(responder);
}

} // namespace kq
