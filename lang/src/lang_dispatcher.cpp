#include "lang/lang_dispatcher.h"

#include "base/properties.h"
#include "lang/errors.h"
#include "lang/table.h"

#include <algorithm>

namespace kq {

void TBinaryLangFileManager::LoadTable(TCustomTranslator&, const AnsiString& fileName) {
    throw ELanguageError("Binary translation files are not supported: " + fileName);
}

TLangDispatcher::TLangDispatcher(TComponent* owner) : TComponent(owner) {
    langNames_.Add("Language N1");
}

// The linked components stay alive; the free notification each asked for when it linked tells
// it to forget this dispatcher.
TLangDispatcher::~TLangDispatcher() = default;

TCustomTranslator* TLangDispatcher::Translators(int index) const {
    return translators_.at(static_cast<std::size_t>(index));
}

void TLangDispatcher::Attach(TCustomTranslator& translator) {
    if (translator.LangDispatcher() != this) {
        return;
    }
    Detach(translator);
    translators_.push_back(&translator);
}

void TLangDispatcher::Detach(const TCustomTranslator& translator) {
    std::erase(translators_, &translator);
}

TBinaryLangFileManager& TLangDispatcher::BinaryFileManager() {
    if (!binaryFileManager_) {
        binaryFileManager_ = std::make_unique<TBinaryLangFileManager>();
    }
    return *binaryFileManager_;
}

void TLangDispatcher::SetActiveLanguage(int value) {
    activeLanguage_ = value;
    // A component may unlink itself while switching (through its events), so walk a copy.
    const std::vector<TCustomTranslator*> linked = translators_;
    for (TCustomTranslator* translator : linked) {
        translator->SetActiveLanguage(value);
    }
    if (!Loading() && value >= 1 && langNames_.Count() >= value) {
        SetLanguage(langNames_.Strings(value - 1));
    }
}

void TLangDispatcher::SetNumOfLanguages(int value) {
    value = std::min(value, kMaxLanguages);
    numOfLanguages_ = value;
    FitLanguageNames(langNames_, value);
    const std::vector<TCustomTranslator*> linked = translators_;
    for (TCustomTranslator* translator : linked) {
        translator->SetNumOfLanguages(value);
    }
}

void TLangDispatcher::SetLangNames(const TStrings* names) {
    if (names == &langNames_) {
        return;
    }
    langNames_.Assign(names);
    if (langNames_.Count() > 0) {
        SetLanguage(langNames_.Strings(activeLanguage_ - 1));
    }
    const std::vector<TCustomTranslator*> linked = translators_;
    for (TCustomTranslator* translator : linked) {
        translator->SetLangNames(&langNames_);
        translator->SetLanguage(language_);
    }
    SetNumOfLanguages(std::max(langNames_.Count(), 1));
}

void TLangDispatcher::SetLanguage(const AnsiString& name) {
    if (name == language_) {
        return;
    }
    const int position = langNames_.IndexOf(name);
    if (position < 0 && langNames_.Count() > 0) {
        throw ELanguageError("Language name shall be included in LangNames property!");
    }
    language_ = name;
    if (!Loading() && langNames_.Count() > 0) {
        SetActiveLanguage(position + 1);
    }
}

void TLangDispatcher::Loaded() {
    TComponent::Loaded();
    SetLangNames(&langNames_);
}

} // namespace kq
