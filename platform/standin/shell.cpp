// The stand-in's COM and folder dialog: there is no COM to start and nobody to choose a folder,
// so without a test's responder the dialog counts as cancelled.

#include "platform/shell.h"

#include "../shared/unhooked_calls.h"

namespace kq {

ComApartment::ComApartment() : initialized_(true) {}

ComApartment::~ComApartment() = default;

bool native::AskFolder(const std::string&, const std::wstring&, std::string&) {
    return false;
}

} // namespace kq
