#include "lang/translator.h"

#include "base/format.h"
#include "base/properties.h"
#include "lang/errors.h"
#include "lang/lang_dispatcher.h"
#include "lang/screen_cursor.h"
#include "lang/stored_table.h"
#include "platform/codepage.h"
#include "platform/files.h"

#include <algorithm>

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

[[noreturn]] void RaiseNotALanguageName() {
    throw ELanguageError("Language name shall be included in LangNames property!");
}

int CountByte(std::string_view text, char byte) {
    return static_cast<int>(std::count(text.begin(), text.end(), byte));
}

bool FirstRowHas(const TStringList& rows, const std::function<bool(const AnsiString&)>& test) {
    return rows.Count() > 0 && test(rows.Strings(0));
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

// --- The stored block -----------------------------------------------------------------------

void TCustomTranslator::ReadTranslationData(std::string_view block) {
    const TStoredTable table = ReadStoredTable(block);
    for (int ordinal = 0; ordinal < kStringsTypeCount; ++ordinal) {
        const auto& rows = table.Sections[static_cast<std::size_t>(ordinal)];
        TStringList* list = List(static_cast<TStringsType>(ordinal));
        if (rows && list != nullptr) {
            list->Update([&] {
                list->Clear();
                for (const AnsiString& row : *rows) {
                    list->Add(row);
                }
            });
        }
    }
}

void TCustomTranslator::ReadTranslationData(TStream& stream) {
    const std::int64_t remaining = stream.Size() - stream.Position();
    if (remaining <= 0) {
        ReadTranslationData(std::string_view());
        return;
    }
    if (remaining > INT32_MAX) {
        throw EReadError("Stream read error");
    }
    AnsiString block(static_cast<std::size_t>(remaining), '\0');
    stream.ReadBuffer(block.data(), static_cast<std::int32_t>(remaining));
    ReadTranslationData(block);
}

AnsiString TCustomTranslator::TranslationData() const {
    std::vector<TTableRows> rows(lists_.size());
    std::vector<TStoredSection> sections;
    for (std::size_t ordinal = 0; ordinal < lists_.size(); ++ordinal) {
        const TStringList& list = *lists_[ordinal];
        for (int i = 0; i < list.Count(); ++i) {
            rows[ordinal].push_back(list.Strings(i));
        }
        sections.push_back({static_cast<TStringsType>(ordinal), &rows[ordinal]});
    }
    return WriteStoredTable(sections);
}

void TCustomTranslator::WriteTranslationData(TStream& stream) const {
    const AnsiString block = TranslationData();
    if (block.size() > INT32_MAX) {
        throw EWriteError("Stream write error");
    }
    stream.WriteBuffer(block.data(), static_cast<std::int32_t>(block.size()));
}

bool TCustomTranslator::ShouldWriteTranslationData(const TCustomTranslator* ancestor) const {
    if (ancestor == nullptr) {
        return true;
    }
    if (useInheritedData_) {
        return false;
    }
    for (std::size_t ordinal = 0; ordinal < lists_.size(); ++ordinal) {
        if (lists_[ordinal]->Text() != ancestor->lists_[ordinal]->Text()) {
            return true;
        }
    }
    return false;
}

// --- Languages ------------------------------------------------------------------------------

void TCustomTranslator::FitLangNames(int count) {
    while (langNames_.Count() < count) {
        langNames_.Add("Language N" + IntToStr(langNames_.Count() + 1));
    }
    while (langNames_.Count() > std::max(count, 0)) {
        langNames_.Delete(langNames_.Count() - 1);
    }
}

void TCustomTranslator::SetNumOfLanguages(int value) {
    if (value == numOfLanguages_) {
        return;
    }
    if (value < 1) {
        throw ELanguageError(IntToStr(value) + " - is not a valid property value !\r" +
                             "Value must be more than ZERO !");
    }
    value = std::min(value, kMaxLanguages);
    if (value == numOfLanguages_) {
        return;
    }
    if (value < numOfLanguages_) {
        for (auto& list : lists_) {
            for (int i = 0; i < list->Count(); ++i) {
                const AnsiString row = list->Strings(i);
                const AnsiString kept = KeepCells(row, value, Delimiter());
                if (kept != row) {
                    list->Put(i, kept);
                }
            }
        }
    }
    numOfLanguages_ = value;
    FitLangNames(value);
    if (Loading()) {
        return;
    }
    // Look-ups of these three sections search the text and need every cell delimited.
    for (TStringsType type : {stStrings, stDlgsCaptions, stLocales}) {
        TStringList& list = *List(type);
        for (int i = 0; i < list.Count(); ++i) {
            const AnsiString row = list.Strings(i);
            const AnsiString padded = PadDelimiters(row, value + 1, Delimiter());
            if (padded != row) {
                list.Put(i, padded);
            }
        }
    }
    if (!Designing()) {
        BuildNamedStringIndex();
    }
}

void TCustomTranslator::SetActiveLanguage(int value) {
    if (value == activeLanguage_) {
        return;
    }
    if (value < 1 || value > numOfLanguages_) {
        if (Loading()) {
            return;
        }
        throw ELanguageError(Format("%d - is not a valid property value!\rValue must be within "
                                    "[1..%d]!",
                                    {value, numOfLanguages_}));
    }
    sectionSelector_ = -1;
    if (changingCursor_ != -1 && ScreenCursor() == crDefault && !Designing()) {
        TCursorScope cursor(changingCursor_);
        ApplyLanguageChange(value);
    } else {
        ApplyLanguageChange(value);
    }
}

void TCustomTranslator::ApplyLanguageChange(int value) {
    if (passRunning_) {
        pendingLanguage_ = value;
        return;
    }
    activeLanguage_ = value;
    if (!Loading() && value <= langNames_.Count()) {
        language_ = langNames_.Strings(value - 1);
    }
    if (dispatcher_ != nullptr || !Loading()) {
        TranslatePass();
    }
}

void TCustomTranslator::SetLanguage(const AnsiString& name) {
    if (name == language_) {
        return;
    }
    const int position = langNames_.IndexOf(name);
    if (position < 0) {
        RaiseNotALanguageName();
    }
    language_ = name;
    if (!Loading()) {
        SetActiveLanguage(position + 1);
    }
}

void TCustomTranslator::SetLangNames(const TStrings* names) {
    if (names == &langNames_) {
        return;
    }
    langNames_.Assign(names);
    if (activeLanguage_ >= 1 && activeLanguage_ <= langNames_.Count()) {
        language_ = langNames_.Strings(activeLanguage_ - 1);
    }
    numOfLanguages_ = std::max(langNames_.Count(), 1);
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

void TCustomTranslator::SetNeedAllDlgs(bool value) {
    needAllDlgs_ = value;
    if (value && !Loading()) {
        AdjustDialogTexts();
    }
}

// --- The dispatcher -------------------------------------------------------------------------

bool TCustomTranslator::TestMode() const {
    return dispatcher_ != nullptr && dispatcher_->TestMode();
}

void TCustomTranslator::SetLangDispatcher(TLangDispatcher* dispatcher) {
    Unlink();
    dispatcher_ = dispatcher;
    if (dispatcher == nullptr) {
        return;
    }
    dispatcher->FreeNotification(this);
    if (Loading()) {
        SetNumOfLanguages(dispatcher->NumOfLanguages());
    } else if (Owner() != nullptr && !disabled_) {
        LinkTo(*dispatcher);
    }
}

void TCustomTranslator::Unlink() {
    if (dispatcher_ != nullptr) {
        dispatcher_->Detach(this);
        dispatcher_->RemoveFreeNotification(this);
        dispatcher_ = nullptr;
    }
}

void TCustomTranslator::LinkTo(TLangDispatcher& dispatcher) {
    dispatcher.Attach(this);
    SetNumOfLanguages(dispatcher.NumOfLanguages());
    langNames_.Assign(dispatcher.LangNames());
    language_ = dispatcher.Language();
    if (Designing()) {
        SetActiveLanguage(dispatcher.ActiveLanguage());
    } else if (!dispatcher.FileName().empty()) {
        // The file's table is translated into the dispatcher's language by the load itself.
        activeLanguage_ = dispatcher.ActiveLanguage();
        const AnsiString& fileName = dispatcher.FileName();
        if (UpperCase(ExtractFileExt(fileName)) == ".LNB") {
            TBinaryLangFileManager& manager = dispatcher.BinaryFileManager();
            if (FileExists(fileName)) {
                manager.LoadTable(*this, fileName);
            }
        } else if (FileExists(fileName)) {
            LoadFromTranslationFile(fileName);
        }
    } else {
        SetActiveLanguage(dispatcher.ActiveLanguage());
    }
    if (dispatcher.OnLinkToDispatcher) {
        dispatcher.OnLinkToDispatcher(&dispatcher, this);
    }
}

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

namespace {

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
