// The translation pass: writes the active language's cells into the properties of the owner's
// components, for every section or for the one the section selector names.

#include "lang/translator.h"

namespace kq {

// Applying the sections to the owner's components comes with the form's controls; until then a
// pass only reports the change of language.
void TCustomTranslator::TranslatePass() {
    if (disabled_ || Owner() == nullptr) {
        return;
    }
    if (OnChangeLanguage) {
        OnChangeLanguage(this);
    }
}

} // namespace kq
