// A translation file of any shape, loaded by the wizard's translation component as it links to
// the dispatcher when the window is made: the INI reader, the options, the language names, the
// sections and the extended translations, then the window's start-up in the code page of a
// language, the look-ups and the translation pass.
#include "lang/mem_ini_file.h"
#include "lang_wizard.h"
#include "platform/standin.h"

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
    // Start-up in the code page of one of the three languages: whatever the file holds, it
    // composes the folder, a path on a drive. An exception is shown in the error box and is no
    // fault of its own, but it must come after the folder is in place.
    static constexpr std::uint32_t kCodePages[] = {936, 950, 1252};
    SetAnsiCodePage(kCodePages[size % 3]);
    TForm1& form = wizard.Form();
    form.EditDir->SetText("");
    try {
        form.FormCreate(nullptr);
    } catch (const Exception&) {
    }
    const AnsiString folder = form.EditDir->Text();
    if (folder.size() < 3 || folder[1] != ':' || folder[2] != '\\') {
        __builtin_trap();
    }
    wizard.Exercise(7);
    return 0;
}
