#include "../shared/unhooked_calls.h"
#include "platform/win32_api.h"

namespace kq {

int native::ShowMessageBox(const std::string& text, const std::string& caption,
                           std::uint32_t flags) {
    // Owned by the active window, so the box is modal to the wizard rather than beside it.
    return ::MessageBoxA(::GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

} // namespace kq
