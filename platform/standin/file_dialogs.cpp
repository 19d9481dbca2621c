// The stand-in's file-open dialog: nobody can choose a file, so without a test's responder the
// dialog counts as cancelled.

#include "../shared/unhooked_calls.h"

namespace kq {

bool native::AskFileToOpen(const std::string&, const std::string&, const std::string&,
                           std::string&) {
    return false;
}

} // namespace kq
