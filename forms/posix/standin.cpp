// The native stand-in has no screen: controls keep their state and nothing mirrors it. Text is
// measured by the hook a test installs, message dialogs are answered like the platform's message
// box, and the message pump is the platform's.
#include "forms/standin.h"

#include "forms_platform.h"
#include "platform/dialogs.h"
#include "platform/messages.h"

#include <utility>

namespace kq {

namespace {

TTextMeasurer& Measurer() {
    static TTextMeasurer measurer;
    return measurer;
}

std::uint32_t MessageBoxFlags(TDialogKind kind, TDialogButtons buttons) {
    const bool yes = buttons.Contains(TDialogButton::Yes);
    const bool no = buttons.Contains(TDialogButton::No);
    const bool cancel = buttons.Contains(TDialogButton::Cancel);
    std::uint32_t flags = yes && no && cancel ? mb::YesNoCancel
                          : yes || no         ? mb::YesNo
                          : cancel            ? mb::OkCancel
                                              : mb::Ok;
    switch (kind) {
    case TDialogKind::Warning:
        return flags | mb::IconWarning;
    case TDialogKind::Error:
        return flags | mb::IconError;
    case TDialogKind::Information:
        return flags | mb::IconInformation;
    case TDialogKind::Confirmation:
        break;
    }
    return flags | mb::IconQuestion;
}

} // namespace

void SetTextMeasurer(TTextMeasurer measurer) {
    Measurer() = std::move(measurer);
}

std::unique_ptr<TControlPeer> CreateControlPeer(TControl&) {
    return nullptr;
}

void InitializeNative() {}

void FinalizeNative() {}

void RunMessageLoop(const TForm&) {}

void ProcessNativeMessages() {
    ProcessMessages();
}

std::optional<TSize> MeasureText(const TFont& font, std::string_view text) {
    if (!Measurer()) {
        return std::nullopt;
    }
    return Measurer()(font, text);
}

// Nobody is there to press a button: the platform's message box answers, through its responder
// or with its default button.
int ShowNativeMessageDialog(const AnsiString& message, TDialogKind kind, TDialogButtons buttons) {
    return MessageBox(message, DialogCaption(kind), MessageBoxFlags(kind, buttons));
}

void ApplyScreenCursor(int) {}

void SetNativeTitle(const AnsiString&) {}

} // namespace kq
