#pragma once

// The translation component: it owns a form's translation table, answers look-ups of named
// strings in the active language, and follows the language of the dispatcher it is linked to.
//
// The table is eleven sections (TStringsType stCaptions .. stCharSets), each an ordered list of
// rows (see lang/table.h). It arrives with the form as the stored block "TranslationData"
// (lang/stored_table.h); when the form has been read, Loaded normalises it, links the component
// to its dispatcher and builds the sorted index of the Strings section that LookupString uses.
//
// A form holds at most one translation component.
//
// Its files, one concern each (lang/src): translator.cpp (the component on its owner: its
// sections, the delimiter, the end of loading, components leaving the owner), languages.cpp
// (the languages and when a pass runs), dispatcher_link.cpp, translation_data.cpp (the stored
// block), lookup.cpp, translation_file.cpp, default_rows.cpp, exclusions.cpp, published.cpp; the
// pass itself is TTranslationPass (translation_pass.h).

#include "base/component.h"
#include "base/set.h"
#include "base/stream.h"
#include "base/string_list.h"
#include "lang/named_string_index.h"
#include "lang/table.h"

#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace kq {

class TLangDispatcher;
class TMemIniFile;
class TTranslationPass;

enum TTranslateType {
    ttNoChange,   // an empty cell stays empty
    ttGetDefault, // an empty cell falls back to the language-1 cell
};

enum TTranslatorOption {
    loUseExtUDStrings,     // Strings look-ups answered by the first linked component with rows
    loUseExtCommonStrings, // the same for the dialog texts and the locale settings
};
using TTranslatorOptions = TSet<TTranslatorOption>;

// A translation of a property that no section covers: the property named by Identifier
// ("Component.Property"), its kind's name and its cells joined by the delimiter.
struct TExtendedItem {
    AnsiString Identifier;
    AnsiString PropertyType = "tkUnknown";
    AnsiString Values;
};

// A string list whose searches compare with the system's case-insensitive comparison, as the
// names of languages and rows are compared.
class TLocaleStringList : public TStringList {
protected:
    int CompareStrings(std::string_view a, std::string_view b) const override;
};

// Appends "Language N<i>" names until there are count of them, or deletes the last ones down to
// count (to none when count is below 1).
void FitLanguageNames(TStrings& names, int count);

// Per section, the rows a translation pass took out because the component they name is not on
// the owner, in the order they were taken out.
using TSetAsideRows = std::array<std::vector<AnsiString>, kSectionListCount>;

class TCustomTranslator : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    // EComponentError "Only one TCustomTranslator component per Form/DataModule allowed!" when
    // owner already owns one.
    explicit TCustomTranslator(TComponent* owner);
    ~TCustomTranslator() override;

    // --- The table -------------------------------------------------------------------------

    // The section's list; nullptr for stListView_TreeView_Items, which this component lacks.
    TStringList* List(TStringsType type);
    const TStringList* List(TStringsType type) const;

    TStringList* Captions() { return List(stCaptions); }
    TStringList* Hints() { return List(stHints); }
    TStringList* DisplayLabels() { return List(stDisplayLabels); }
    TStringList* Fonts() { return List(stFonts); }
    TStringList* MultiLines() { return List(stMultiLines); }
    TStringList* DlgsCaptions() { return List(stDlgsCaptions); }
    TStringList* Strings() { return List(stStrings); }
    TStringList* OtherStrings() { return List(stOtherStrings); }
    TStringList* Locales() { return List(stLocales); }
    TStringList* Collections() { return List(stCollections); }
    TStringList* CharSets() { return List(stCharSets); }

    // Copies rows into the section and translates the owner for that section alone;
    // DlgsCaptions is copied only. New Strings rows answer LookupString at once.
    void SetList(TStringsType type, const TStrings* rows);

    // The rows a translation pass took out of the section because the component they name is
    // not on the owner, in the order they were taken out.
    const std::vector<AnsiString>& SetAsideRows(TStringsType type) const;

    // Cell n of a row with this component's delimiter (see lang/table.h).
    AnsiString ExtractField(std::string_view row, int n) const;

    // --- The stored block ------------------------------------------------------------------

    // Replaces every section that the block names by the block's rows.
    void ReadTranslationData(std::string_view block);
    // Reads the block from the stream's position to its end.
    void ReadTranslationData(TStream& stream);
    // The block of every section, in enumeration order.
    AnsiString TranslationData() const;
    void WriteTranslationData(TStream& stream) const;
    // Whether the form writes the block: always without an ancestor; with one, only when some
    // section's text differs from the ancestor's and UseInheritedData is off.
    bool ShouldWriteTranslationData(const TCustomTranslator* ancestor) const;

    // --- Named strings ---------------------------------------------------------------------

    // The text of the named string in the active language, "" when the name is absent or its
    // cell is empty (ELanguageError for an absent name under DoRaiseExceptions).
    AnsiString LookupString(std::string_view name) const;
    // The cell of the row of that name in the active language as the stored table had it, before
    // a translation file replaced the table; "" when it had no such row. A text from a file that
    // cannot serve its use (a format whose directives do not fit) gives way to this one.
    AnsiString StoredText(TStringsType type, std::string_view name) const;
    // The same in another section (stDlgsCaptions, stLocales, ...), by searching its rows.
    AnsiString LookupString(std::string_view name, TStringsType section) const;

    const TNamedStringIndex& NamedStringIndex() const { return index_; }
    // Rebuilds the index from Strings: cleared, one item per row in order, then sorted.
    void BuildNamedStringIndex();

    // --- Languages -------------------------------------------------------------------------

    int NumOfLanguages() const { return numOfLanguages_; }
    void SetNumOfLanguages(int value);
    int ActiveLanguage() const { return activeLanguage_; }
    void SetActiveLanguage(int value);
    const AnsiString& Language() const { return language_; }
    void SetLanguage(const AnsiString& name);
    TStringList* LangNames() { return &langNames_; }
    const TStringList* LangNames() const { return &langNames_; }
    void SetLangNames(const TStrings* names);
    // The names of the languages a translation file marks as fixed.
    const TStringList* FixedLanguages() const { return &fixedLanguages_; }
    unsigned char LangDelim() const { return langDelim_; }
    void SetLangDelim(unsigned char delimiter);

    TLangDispatcher* LangDispatcher() const { return dispatcher_; }
    // Unlinks from the current dispatcher and links to this one: at once, or at the end of
    // loading while the component loads.
    void SetLangDispatcher(TLangDispatcher* dispatcher);
    // The dispatcher's test mode: a text missing in the active language shows as the language-1
    // text in capitals.
    bool TestMode() const;

    TTranslateType TranslateType() const { return translateType_; }
    void SetTranslateType(TTranslateType value) { translateType_ = value; }
    TTranslatorOptions Options() const { return options_; }
    void SetOptions(TTranslatorOptions value) { options_ = value; }
    bool DoRaiseExceptions() const { return doRaiseExceptions_; }
    void SetDoRaiseExceptions(bool value) { doRaiseExceptions_ = value; }
    // The component's version; any assignment leaves it at its own value.
    AnsiString version() const { return kVersion; }
    void Setversion(const AnsiString&) {}
    // The list classes whose contents the design-time collection treats as string lists.
    TStringList* StringsTypes() { return &stringsTypes_; }
    // The cursor shown while the language changes; -1 leaves the cursor alone.
    int ChangingCursor() const { return changingCursor_; }
    void SetChangingCursor(int cursor) { changingCursor_ = cursor; }

    // --- What steers the translation pass --------------------------------------------------

    bool ChangeLocales() const { return changeLocales_; }
    void SetChangeLocales(bool value) { changeLocales_ = value; }
    TStringList* DoNotTranslate() { return &doNotTranslate_; }
    TStringList* ExcludedProperties() { return &excludedProperties_; }
    TStringList* SmartExcludeProps() { return &smartExcludeProps_; }
    bool NeedAllDlgs() const { return needAllDlgs_; }
    void SetNeedAllDlgs(bool value);
    bool HandleResourceStrings() const { return handleResourceStrings_; }
    void SetHandleResourceStrings(bool value) { handleResourceStrings_ = value; }
    int ResourceLanguageIndex() const { return resourceLanguageIndex_; }
    void SetResourceLanguageIndex(int value) { resourceLanguageIndex_ = value & 0xFFFF; }
    std::vector<TExtendedItem>& ExtendedTranslations() { return extendedTranslations_; }
    const std::vector<TExtendedItem>& ExtendedTranslations() const { return extendedTranslations_; }
    bool UseInheritedData() const { return useInheritedData_; }
    void SetUseInheritedData(bool value) { useInheritedData_ = value; }
    bool IsInheritedOwner() const { return isInheritedOwner_; }
    void SetIsInheritedOwner(bool value) { isInheritedOwner_ = value; }

    // Fired at the end of every translation pass.
    TNotifyEvent OnChangeLanguage;

    // End of loading: normalises the table, links to the dispatcher, builds the index.
    void Loaded() override;

    static constexpr const char* kVersion = "5.2.5";

protected:
    // The dispatcher going away unlinks the component; another component of the owner going
    // away takes its rows, its DoNotTranslate and SmartExcludeProps entries and its extended
    // translations with it.
    void Notification(TComponent* component, TOperation operation) override;

    // Writes the active language's cells into the owner's components, for the sections that
    // the section selector names (-1: all), then fires OnChangeLanguage.
    virtual void TranslatePass();

    // Replaces the table by the one in a translation file (the dispatcher's FileName), rebuilds
    // the index and translates the owner. Nothing happens when the file does not exist; a file
    // that exists but cannot be read raises EFOpenError or EReadError.
    virtual void LoadFromTranslationFile(const AnsiString& fileName);

private:
    using SectionLists = std::array<std::unique_ptr<TStringList>, kSectionListCount>;

    char Delimiter() const { return static_cast<char>(langDelim_); }

    void FillDefaultLocales();
    void FillDefaultDialogTexts();
    void AdjustDialogTexts();
    void NormaliseDelimiters();
    void AppendMissingLocaleNames();
    void DropExcludedRows();

    void LinkTo(TLangDispatcher& dispatcher);
    void Unlink();
    void ReplaceInAllRows(char from, char to);
    void ApplyLanguageChange(int value);
    void ForgetComponent(const AnsiString& name);

    // Translation-file helpers (translation_file.cpp).
    void KeepStoredCells(TStringList& rows, const TStringList& stored, int fileLanguages) const;
    // The number of languages the file's cells are for.
    int ReadFileLanguageNames(const TMemIniFile& file);
    void ReadFileSection(const TMemIniFile& file, TStringsType type, const AnsiString& separator);
    void ReadFileExtended(const TMemIniFile& file, const AnsiString& separator);

    // Look-up helpers.
    const TCustomTranslator& LookupSource(TStringsType section) const;
    bool SearchRows(const TStrings& rows, std::string_view name, int cell, AnsiString& value) const;

    SectionLists lists_;
    // The stored table's rows, kept when a translation file replaces them.
    std::array<TStringList, kSectionListCount> storedLists_;
    bool storedKept_ = false;
    TSetAsideRows setAside_;
    TNamedStringIndex index_;
    TLocaleStringList langNames_;
    TStringList fixedLanguages_;
    TStringList stringsTypes_;
    TStringList doNotTranslate_;
    TStringList excludedProperties_;
    TStringList smartExcludeProps_;
    std::vector<TExtendedItem> extendedTranslations_;
    TLangDispatcher* dispatcher_ = nullptr;

    int numOfLanguages_ = 1;
    int activeLanguage_ = 1;
    AnsiString language_;
    unsigned char langDelim_ = 1;
    TTranslateType translateType_ = ttNoChange;
    TTranslatorOptions options_;
    bool doRaiseExceptions_ = false;
    int changingCursor_ = -1;
    bool changeLocales_ = false;
    bool needAllDlgs_ = false;
    bool handleResourceStrings_ = false;
    int resourceLanguageIndex_ = 1;
    bool useInheritedData_ = false;
    bool isInheritedOwner_ = false;

    // Suppresses linking and translation passes; nothing in this program sets it.
    bool disabled_ = false;
    // A pass is running: what it writes may switch the language again (a row of a translation
    // file aimed at the language, a handler), which must not start a pass inside it.
    bool passRunning_ = false;
    // The language asked for while a pass ran; its pass follows that one, once.
    std::optional<int> pendingLanguage_;
    // -1: the next pass applies every section; otherwise the ordinal of the one it applies.
    int sectionSelector_ = -1;
};

// The translation component as it is placed on a form, with its properties published.
class TTranslator : public TCustomTranslator {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    using TCustomTranslator::TCustomTranslator;
};

} // namespace kq
