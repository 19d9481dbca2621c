// The translation component on its owner: made once per owner, its sections and their
// delimiter, the end of loading, and the rows it forgets when a component leaves the owner.

#include "lang/translator.h"

#include "platform/codepage.h"

#include <algorithm>
#include <functional>

namespace kq {

namespace {

constexpr char kTab = '\t';

// A second translation component on the same owner would fight over the owner's texts.
TComponent* CheckSingleTranslator(TComponent* owner) {
    if (owner != nullptr) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            if (dynamic_cast<TCustomTranslator*>(owner->Components(i)) != nullptr) {
                throw EComponentError(
                    "Only one TCustomTranslator component per Form/DataModule allowed!");
            }
        }
    }
    return owner;
}

int CountByte(std::string_view text, char byte) {
    return static_cast<int>(std::count(text.begin(), text.end(), byte));
}

bool FirstRowHas(const TStringList& rows, const std::function<bool(const AnsiString&)>& test) {
    return rows.Count() > 0 && test(rows.Strings(0));
}

// The component part of a row name, entry or identifier: up to the first "." (all of it for
// the sections whose rows are named by the component alone).
AnsiString ComponentPart(std::string_view name) {
    return AnsiString(name.substr(0, name.find('.')));
}

void DeleteWhere(TStrings& list, const std::function<bool(const AnsiString&)>& test) {
    for (int i = list.Count() - 1; i >= 0; --i) {
        if (test(list.Strings(i))) {
            list.Delete(i);
        }
    }
}

} // namespace

// --- TLocaleStringList ----------------------------------------------------------------------

int TLocaleStringList::CompareStrings(std::string_view a, std::string_view b) const {
    return CompareStringIgnoreCase(std::string(a), std::string(b));
}

// --- Construction ---------------------------------------------------------------------------

TCustomTranslator::TCustomTranslator(TComponent* owner) : TComponent(CheckSingleTranslator(owner)) {
    for (auto& list : lists_) {
        list = std::make_unique<TStringList>();
    }
    langNames_.Add("Language N1");
    language_ = "Language N1";
    stringsTypes_.Add("TIB_STRINGLIST");
    stringsTypes_.Add("TSTRINGLIST");
    FillDefaultLocales();
    FillDefaultDialogTexts();
}

TCustomTranslator::~TCustomTranslator() {
    Unlink();
}

TStringList* TCustomTranslator::List(TStringsType type) {
    const auto ordinal = static_cast<std::size_t>(type);
    return ordinal < lists_.size() ? lists_[ordinal].get() : nullptr;
}

const TStringList* TCustomTranslator::List(TStringsType type) const {
    const auto ordinal = static_cast<std::size_t>(type);
    return ordinal < lists_.size() ? lists_[ordinal].get() : nullptr;
}

void TCustomTranslator::SetList(TStringsType type, const TStrings* rows) {
    TStringList* list = List(type);
    if (list == nullptr) {
        return;
    }
    list->Assign(rows);
    // The index answers LookupString: left as it was, it would keep answering with the old rows.
    if (type == stStrings && !Loading() && !Designing()) {
        BuildNamedStringIndex();
    }
    if (type != stDlgsCaptions) {
        sectionSelector_ = static_cast<int>(type);
        TranslatePass();
    }
}

const std::vector<AnsiString>& TCustomTranslator::SetAsideRows(TStringsType type) const {
    static const std::vector<AnsiString> kNone;
    const auto ordinal = static_cast<std::size_t>(type);
    return ordinal < setAside_.size() ? setAside_[ordinal] : kNone;
}

AnsiString TCustomTranslator::ExtractField(std::string_view row, int n) const {
    return kq::ExtractField(row, n, Delimiter());
}

void TCustomTranslator::ReplaceInAllRows(char from, char to) {
    for (auto& list : lists_) {
        for (int i = 0; i < list->Count(); ++i) {
            const AnsiString row = list->Strings(i);
            if (row.find(from) != AnsiString::npos) {
                list->Put(i, ReplaceByte(row, from, to));
            }
        }
    }
}

void TCustomTranslator::SetLangDelim(unsigned char delimiter) {
    if (!Loading() && delimiter != langDelim_) {
        const char from = Delimiter();
        const char to = static_cast<char>(delimiter);
        ReplaceInAllRows(from, to);
        for (TExtendedItem& item : extendedTranslations_) {
            item.Values = ReplaceByte(item.Values, from, to);
        }
    }
    langDelim_ = delimiter;
}

// --- Components leaving the owner -----------------------------------------------------------

void TCustomTranslator::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove || component == nullptr || component == this) {
        return;
    }
    if (component == static_cast<TComponent*>(dispatcher_)) {
        dispatcher_ = nullptr;
        return;
    }
    // When the whole owner goes, the table goes with it: nothing to tidy.
    if (ComponentState().Contains(TComponentStateItem::csDestroying) || component->Name().empty()) {
        return;
    }
    try {
        ForgetComponent(component->Name());
    } catch (...) {
        // Notification must not throw; a row left behind names a missing component, which the
        // next pass sets aside.
    }
}

void TCustomTranslator::ForgetComponent(const AnsiString& name) {
    const auto isComponent = [&name](std::string_view candidate) {
        return CompareStringIgnoreCase(std::string(candidate), name) == 0;
    };
    DeleteWhere(doNotTranslate_, isComponent);
    DeleteWhere(smartExcludeProps_,
                [&](const AnsiString& entry) { return isComponent(ComponentPart(entry)); });
    for (TStringsType type : {stCaptions, stHints, stDisplayLabels, stFonts, stMultiLines,
                              stOtherStrings, stCollections, stCharSets}) {
        DeleteWhere(*List(type), [&](const AnsiString& row) {
            return isComponent(ComponentPart(ExtractField(row, 0)));
        });
    }
    std::erase_if(extendedTranslations_, [&](const TExtendedItem& item) {
        return item.Identifier.find('.') != AnsiString::npos &&
               isComponent(ComponentPart(item.Identifier));
    });
}

// --- End of loading -------------------------------------------------------------------------

// A table saved with TAB as its delimiter, or whose rows still hold TABs between their cells,
// is brought to the delimiter 0x01.
void TCustomTranslator::NormaliseDelimiters() {
    if (langDelim_ == kTab) {
        langDelim_ = 1;
        ReplaceInAllRows(kTab, '\x01');
    }
    const auto hasTab = [](const AnsiString& row) { return row.find(kTab) != AnsiString::npos; };
    const auto tabSeparated = [this](const AnsiString& row) {
        return CountByte(row, kTab) == numOfLanguages_ + 1;
    };
    if (FirstRowHas(*DlgsCaptions(), hasTab) || FirstRowHas(*Locales(), hasTab) ||
        FirstRowHas(*Captions(), tabSeparated) || FirstRowHas(*Hints(), tabSeparated)) {
        ReplaceInAllRows(kTab, Delimiter());
    }
}

void TCustomTranslator::Loaded() {
    TComponent::Loaded();
    AdjustDialogTexts();
    if (options_.Contains(loUseExtCommonStrings)) {
        DlgsCaptions()->Clear();
        Locales()->Clear();
    }
    NormaliseDelimiters();
    if (Locales()->Count() == 11) {
        AppendMissingLocaleNames();
    }
    if (dispatcher_ != nullptr && Owner() != nullptr && !disabled_) {
        LinkTo(*dispatcher_);
    }
    DropExcludedRows();
    if (!Designing()) {
        BuildNamedStringIndex();
    }
    if (isInheritedOwner_) {
        TranslatePass();
    }
}

} // namespace kq
