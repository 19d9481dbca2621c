// What each platform provides to forms: a peer per control, the application's start and loop,
// text measuring, the message dialog and the cursor. forms/win32 implements it with real
// windows, forms/posix with nothing to show.
#pragma once

#include "forms/control.h"
#include "forms/dialogs.h"

#include <memory>
#include <optional>
#include <string_view>

namespace kq {

class TForm;

class TControlPeer {
public:
    virtual ~TControlPeer() = default;
    // Brings the native window in line with the control's state.
    virtual void Changed(TControlChange change) = 0;
    virtual bool Focused() const = 0;
    virtual void SetFocus() = 0;
};

// nullptr where the platform mirrors nothing.
std::unique_ptr<TControlPeer> CreateControlPeer(TControl& control);

void InitializeNative();
void FinalizeNative();
// Handles messages until form is no longer visible or the thread is asked to quit.
void RunMessageLoop(const TForm& form);
void ProcessNativeMessages();

// The size of one line of text in the font, where the platform can tell.
std::optional<TSize> MeasureText(const TFont& font, std::string_view text);

// Shows the message dialog; returns the DialogButtonResult of the button pressed.
int ShowNativeMessageDialog(const AnsiString& message, TDialogKind kind, TDialogButtons buttons);

// Shows the cursor over the program's windows.
void ApplyScreenCursor(int cursor);

// The application's title where the system shows it (the task bar).
void SetNativeTitle(const AnsiString& title);

} // namespace kq
