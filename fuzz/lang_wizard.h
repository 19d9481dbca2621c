// The wizard window, made once per fuzzing process, as the owner of the translation component
// that the translation targets feed: its table is the window's stored one again before every
// input, so each input meets the same starting point.
#pragma once

#include "fuzz_entry.h"
#include "setup/form1.h"

#include <memory>

namespace kq::fuzz {

class Wizard {
public:
    static Wizard& Instance() {
        static Wizard wizard;
        return wizard;
    }

    TForm1& Form() { return *form_; }
    TTranslator& Translator() { return *form_->Translator1; }

    // Back to the stored table and language 1.
    void Reset() {
        Translator().ReadTranslationData(storedTable_);
        form_->LangDispatcher1->SetFileName("");
        form_->LangDispatcher1->SetActiveLanguage(1);
    }

    // What the wizard does with a table: named-string look-ups in every language, and the
    // translation pass over its window when the language changes.
    void Exercise(std::uint8_t languages) {
        static const char* const kNames[] = {"sCompany", "sWill1", "sFile1", "", "nonexistent"};
        TLangDispatcher& dispatcher = *form_->LangDispatcher1;
        for (int language = 1; language <= 3; ++language) {
            if ((languages >> (language - 1) & 1) == 0) {
                continue;
            }
            try {
                dispatcher.SetActiveLanguage(language);
            } catch (const Exception&) {
            }
            for (const char* name : kNames) {
                try {
                    (void)Translator().LookupString(name);
                    (void)Translator().LookupString(name, stDlgsCaptions);
                } catch (const Exception&) {
                }
            }
        }
    }

private:
    Wizard() {
        Sandbox::Instance();
        form_ = std::make_unique<TForm1>(nullptr);
        storedTable_ = Translator().TranslationData();
    }

    std::unique_ptr<TForm1> form_;
    AnsiString storedTable_;
};

} // namespace kq::fuzz
