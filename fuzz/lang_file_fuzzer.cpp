// A translation file of any shape, loaded by the wizard's translation component as it links to
// the dispatcher when the window is made: the INI reader, the options, the language names, the
// sections and the extended translations, then the look-ups and the translation pass.
#include "lang/mem_ini_file.h"
#include "lang_wizard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kq;
    auto& wizard = fuzz::Wizard::Instance();
    const std::string_view text = fuzz::Bytes(data, size);
    {
        const TMemIniFile ini(text);
        (void)ini.ReadSection("Captions");
        (void)ini.ReadString("OPTIONS", "DELIMITER", "~!@#");
    }
    wizard.Reset();
    fuzz::Sandbox::Instance().Write("a.lng", text);
    wizard.Form().LangDispatcher1->SetFileName("C:\\work\\a.lng");
    try {
        wizard.Translator().Loaded();
    } catch (const Exception&) {
        return 0;
    }
    wizard.Exercise(7);
    return 0;
}
