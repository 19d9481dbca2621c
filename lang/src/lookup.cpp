// Look-ups of named texts.
//
// At run time the Strings section is searched through its sorted index (one case-insensitive
// comparison per probe). The other sections, the Strings section while the form is designed and
// the sections answered by another linked component (the two Options) are searched row by row:
// the first row whose name equals the name, ignoring case, answers with its cell in the active
// language.

#include "base/format.h"
#include "cell_text.h"
#include "lang/errors.h"
#include "lang/lang_dispatcher.h"
#include "lang/translator.h"

namespace kq {

namespace {

[[noreturn]] void RaiseUnknownIdentifier(std::string_view name) {
    throw ELanguageError(Format("String identifier \"%s\" not found!", {name}));
}

const AnsiString& ValueOf(const TNamedStringItem& item, int language) {
    static const AnsiString kNone;
    if (language < 1 || language > static_cast<int>(item.Values.size())) {
        return kNone;
    }
    return item.Values[static_cast<std::size_t>(language - 1)];
}

} // namespace

void TCustomTranslator::BuildNamedStringIndex() {
    index_.Clear();
    const TStringList& rows = *Strings();
    for (int i = 0; i < rows.Count(); ++i) {
        index_.AddRow(rows.Strings(i), numOfLanguages_, Delimiter());
    }
    index_.Sort();
}

AnsiString TCustomTranslator::LookupString(std::string_view name) const {
    if (Designing() || options_.Contains(loUseExtUDStrings)) {
        return LookupString(name, stStrings);
    }
    const TNamedStringItem* item = index_.Find(name);
    if (item == nullptr) {
        if (doRaiseExceptions_) {
            RaiseUnknownIdentifier(name);
        }
        return {};
    }
    return WithFallbacks(ValueOf(*item, activeLanguage_), ValueOf(*item, 1), *this);
}

AnsiString TCustomTranslator::LookupString(std::string_view name, TStringsType section) const {
    const TCustomTranslator& source = LookupSource(section);
    const TStringList* rows = source.List(section);
    AnsiString value;
    AnsiString firstLanguage;
    const bool found = rows != nullptr && source.SearchRows(*rows, name, activeLanguage_, value) &&
                       source.SearchRows(*rows, name, 1, firstLanguage);
    if (!found) {
        if (doRaiseExceptions_) {
            RaiseUnknownIdentifier(name);
        }
        return {};
    }
    return WithFallbacks(std::move(value), firstLanguage, *this);
}

// The component whose section answers: this one, or under the options the first linked
// component (in link order) whose section has rows. Its rows are searched here directly, never
// through its own look-up, so a component that finds itself first answers from its own rows and
// two components can never hand the question back and forth.
const TCustomTranslator& TCustomTranslator::LookupSource(TStringsType section) const {
    const bool shared = (section == stStrings && options_.Contains(loUseExtUDStrings)) ||
                        ((section == stDlgsCaptions || section == stLocales) &&
                         options_.Contains(loUseExtCommonStrings));
    if (shared && dispatcher_ != nullptr) {
        for (int i = 0; i < dispatcher_->TranslatorCount(); ++i) {
            const TCustomTranslator& other = *dispatcher_->Translators(i);
            const TStringList* rows = other.List(section);
            if (rows != nullptr && rows->Count() > 0) {
                return other;
            }
        }
    }
    return *this;
}

// Cells are taken with this component's delimiter. A row whose cells stop before `cell`
// answers "", never text of the row after it.
bool TCustomTranslator::SearchRows(const TStrings& rows, std::string_view name, int cell,
                                   AnsiString& value) const {
    const AnsiString wanted = SystemUpperCase(name);
    for (int i = 0; i < rows.Count(); ++i) {
        const AnsiString row = rows.Strings(i);
        if (SystemUpperCase(ExtractField(row, 0)) == wanted) {
            value = ExtractField(row, cell);
            return true;
        }
    }
    return false;
}

} // namespace kq
