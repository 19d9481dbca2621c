#include "cell_text.h"

#include "lang/translator.h"
#include "platform/codepage.h"

namespace kq {

AnsiString SystemUpperCase(std::string_view text) {
    return UpperCase(text, static_cast<int>(GetACP()));
}

AnsiString WithFallbacks(AnsiString value, const AnsiString& firstLanguage,
                         const TCustomTranslator& translator, bool capitalsAllowed) {
    if (value.empty() && capitalsAllowed && translator.TestMode() &&
        translator.ActiveLanguage() > 1) {
        value = SystemUpperCase(firstLanguage);
    }
    if (value.empty() && translator.TranslateType() == ttGetDefault) {
        value = firstLanguage;
    }
    return value;
}

} // namespace kq
