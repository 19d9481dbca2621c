// A window description of any shape loaded as the wizard window: the records, the values of
// every kind, references, events, pictures and the translation table inside it. Every failure
// must be an EFilerError (or another engine error), never a crash.
#include "fuzz_entry.h"
#include "setup/form1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kq;
    kq::fuzz::Sandbox::Instance();
    try {
        TForm1 form(nullptr, kq::fuzz::Bytes(data, size));
    } catch (const Exception&) {
    }
    return 0;
}
