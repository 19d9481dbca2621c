#include "platform/dialogs.h"

#include "platform/win32_api.h"

namespace kq {

namespace {

MessageBoxResponder& TheMessageBoxResponder() {
    static MessageBoxResponder responder;
    return responder;
}

} // namespace

int MessageBox(const std::string& text, const std::string& caption, std::uint32_t flags) {
    if (TheMessageBoxResponder()) {
        // A copy, so that a responder that replaces itself is not destroyed while it runs.
        const MessageBoxResponder responder = TheMessageBoxResponder();
        return responder(text, caption, flags);
    }
    // Owned by the active window, so the box is modal to the wizard rather than beside it.
    return ::MessageBoxA(::GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

void SetMessageBoxResponder(MessageBoxResponder responder) {
    TheMessageBoxResponder() = std::move(responder);
}

} // namespace kq
