#pragma once

// The language dispatcher: it holds the list of languages and the active language for every
// translation component linked to it, and switches them all when its language changes. It keeps
// references to the linked components (in link order) and never owns them.

#include "base/component.h"
#include "base/string_list.h"
#include "lang/translator.h"

#include <functional>
#include <memory>
#include <vector>

namespace kq {

class TLangDispatcher;

using TLinkToDispatcherEvent =
    std::function<void(TLangDispatcher* sender, TCustomTranslator* translator)>;

// The reader of binary translation files (extension ".LNB"). Their layout is not known to this
// program, so loading one is refused with an error rather than ignored.
class TBinaryLangFileManager {
public:
    // ELanguageError "Binary translation files are not supported: <file name>".
    void LoadTable(TCustomTranslator& translator, const AnsiString& fileName);
};

class TLangDispatcher : public TComponent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TLangDispatcher(TComponent* owner);
    ~TLangDispatcher() override;

    int ActiveLanguage() const { return activeLanguage_; }
    // Switches every linked component in link order (each validates the value), then takes the
    // language's name. A component that refuses the value stops the switch there.
    void SetActiveLanguage(int value);
    int NumOfLanguages() const { return numOfLanguages_; }
    void SetNumOfLanguages(int value);
    TStringList* LangNames() { return &langNames_; }
    const TStringList* LangNames() const { return &langNames_; }
    void SetLangNames(const TStrings* names);
    const AnsiString& Language() const { return language_; }
    void SetLanguage(const AnsiString& name);
    // The translation file that a component loads when it links; taken into account then only.
    const AnsiString& FileName() const { return fileName_; }
    void SetFileName(const AnsiString& fileName) { fileName_ = fileName; }
    // In test mode a text missing in the active language shows as the language-1 text in capitals.
    bool TestMode() const { return testMode_; }
    void SetTestMode(bool value) { testMode_ = value; }

    TLinkToDispatcherEvent OnLinkToDispatcher;

    // The linked components, in link order.
    int TranslatorCount() const { return static_cast<int>(translators_.size()); }
    TCustomTranslator* Translators(int index) const;

    void Loaded() override;

    // --- The link, as the linked components keep it ----------------------------------------
    // A component links and unlinks itself (TCustomTranslator::SetLangDispatcher), and learns of
    // this dispatcher's end through the free notification it asks for when it links.

    // Appends translator to the link order, taking it out first if it is already linked. A
    // component whose LangDispatcher is not this one is left out: it would never unlink.
    void Attach(TCustomTranslator& translator);
    void Detach(const TCustomTranslator& translator);
    // The reader a linking component loads a binary translation file with.
    TBinaryLangFileManager& BinaryFileManager();

private:
    TLocaleStringList langNames_;
    std::vector<TCustomTranslator*> translators_;
    std::unique_ptr<TBinaryLangFileManager> binaryFileManager_;
    int activeLanguage_ = 1;
    int numOfLanguages_ = 1;
    AnsiString language_;
    AnsiString fileName_;
    bool testMode_ = false;
};

} // namespace kq
