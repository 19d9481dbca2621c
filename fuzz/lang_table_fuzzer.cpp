// The stored translation block of any shape, read into the wizard's translation component as
// its table: split into sections and rows, normalised, indexed, looked up and applied to the
// window in the three languages.
#include "lang/stored_table.h"
#include "lang_wizard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kq;
    auto& wizard = fuzz::Wizard::Instance();
    const std::string_view block = fuzz::Bytes(data, size);
    (void)ReadStoredTable(block);
    wizard.Reset();
    try {
        wizard.Translator().ReadTranslationData(block);
        wizard.Translator().Loaded();
    } catch (const Exception&) {
        return 0;
    }
    wizard.Exercise(size > 0 ? data[0] | 1 : 7);
    return 0;
}
