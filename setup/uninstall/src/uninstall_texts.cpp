#include "uninstall/uninstall_texts.h"

#include "lang/translator.h"
#include "uninstall/uninstall_resources.h"

namespace kq {

namespace {

// The table's columns: simplified Chinese, traditional Chinese, then English for any other page.
constexpr std::uint32_t kColumnCodePages[] = {936, 950};

int LanguageOf(std::uint32_t codePage) {
    int language = 1;
    for (const std::uint32_t columnCodePage : kColumnCodePages) {
        if (columnCodePage == codePage) {
            return language;
        }
        ++language;
    }
    return language;
}

} // namespace

TUninstallTexts::TUninstallTexts(std::uint32_t codePage) : translator_(new TTranslator(&owner_)) {
    translator_->SetNumOfLanguages(3);
    translator_->ReadTranslationData(resources::UninstallTranslationData());
    translator_->BuildNamedStringIndex();
    translator_->SetActiveLanguage(LanguageOf(codePage));
}

AnsiString TUninstallTexts::Text(std::string_view name, const AnsiString& argument) const {
    AnsiString text = translator_->LookupString(name);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

AnsiString TUninstallTexts::OutcomeText(TOutcome outcome) const {
    switch (outcome) {
    case TOutcome::Removed:
        return Text("sUnRemoved");
    case TOutcome::Changed:
        return Text("sUnChanged");
    case TOutcome::Missing:
        return Text("sUnMissing");
    case TOutcome::Refused:
        return Text("sUnRefused");
    case TOutcome::Failed:
        return Text("sUnFailed");
    }
    return AnsiString();
}

} // namespace kq
