// A window description of any shape loaded as the wizard window: the records, the values of
// every kind, references, events, pictures and the translation table inside it. Every failure
// must be an EFilerError (or another engine error), never a crash.
//
// The description is the program's own data, not something a user hands it. A language count
// of millions makes the translation components name every language ("Language N1", ...), which
// takes minutes and gigabytes without being a fault of the loader, so such inputs are skipped.
#include "fuzz_entry.h"
#include "setup/form1.h"

#include <cstring>

namespace {

bool HasHugeLanguageCount(std::string_view description) {
    constexpr std::string_view kProperty("\x0eNumOfLanguages\x01", 16);
    for (std::size_t at = description.find(kProperty); at != std::string_view::npos;
         at = description.find(kProperty, at + 1)) {
        if (at + kProperty.size() + 4 > description.size()) {
            break;
        }
        std::int32_t count = 0;
        std::memcpy(&count, description.data() + at + kProperty.size(), 4);
        if (count > 64) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kq;
    fuzz::Sandbox::Instance();
    const std::string_view description = fuzz::Bytes(data, size);
    if (HasHugeLanguageCount(description)) {
        return 0;
    }
    try {
        TForm1 form(nullptr, description);
    } catch (const Exception&) {
    }
    return 0;
}
