// The message dialog: a modal box with a message, an icon for its kind and a row of buttons.
//
// Unlike the system's message box, its caption and buttons are the toolkit's own English texts
// ("Confirm", "&Yes", "&No"), the same in every language. It is centred on the screen; the first
// button of Yes, No, OK, Cancel that it has is the default; Escape and the close box answer
// Cancel when there is one, else No, else OK.
#pragma once

#include "base/set.h"
#include "base/strings.h"

#include <functional>

namespace kq {

enum class TDialogKind { Warning, Error, Information, Confirmation };
enum class TDialogButton { Yes, No, OK, Cancel };
using TDialogButtons = TSet<TDialogButton>;

// The caption of a kind ("Confirm" for Confirmation) and the text of a button ("&Yes").
const char* DialogCaption(TDialogKind kind);
const char* DialogButtonText(TDialogButton button);
// What the dialog returns for a button: the system's answer numbers (id::Yes is 6, id::No 7).
int DialogButtonResult(TDialogButton button);
// The answer of Escape and of the close box.
TDialogButton DialogCancelButton(TDialogButtons buttons);
TDialogButton DialogDefaultButton(TDialogButtons buttons);

// Shows the dialog and returns the answer (DialogButtonResult of the button pressed).
// EInvalidOperation "A message dialog needs a button" for an empty set.
int MessageDialog(const AnsiString& message, TDialogKind kind, TDialogButtons buttons);

// Answers every later MessageDialog instead of a user, on both platforms; an empty function
// removes it. Without one, Windows shows the dialog and the native stand-in asks the platform's
// message box (whose responder, or its default button, answers).
using TMessageDialogResponder =
    std::function<int(const AnsiString& message, TDialogKind kind, TDialogButtons buttons)>;
void SetMessageDialogResponder(TMessageDialogResponder responder);

} // namespace kq
