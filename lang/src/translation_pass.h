#pragma once

// The translation pass over the owner's components (translation_pass.cpp). The translation
// component runs it; the translation-file reader uses its pruning for each section it loads.

#include "base/properties.h"
#include "lang/translator.h"

namespace kq {

class TTranslationPass {
public:
    // The component must have an owner.
    explicit TTranslationPass(TCustomTranslator& translator);

    // All sections for selector -1, otherwise the one whose ordinal it is, then OnChangeLanguage.
    void Run(int selector);

    // Moves the rows whose component is not on the owner to the set-aside rows, and deletes the
    // Captions and Hints rows of components linked to an action. Strings, DlgsCaptions and
    // Locales rows name no component and are left alone.
    void Prune(TStringsType type);

private:
    bool OwnerHas(std::string_view property, TPropKind kind) const;
    bool NotToTranslate(std::string_view component) const;
    AnsiString Cell(std::string_view row, int language) const;
    AnsiString Value(std::string_view row, TStringsType type) const;
    AnsiString CharsetCell(std::string_view component) const;

    void TranslateOwnText(TStringsType type, std::string_view property);
    void TranslateOwnFont();
    void TranslateSection(TStringsType type);
    int FirstRowToApply(TStringsType type, const TStringList& rows) const;
    void ApplyRow(TStringsType type, const AnsiString& row);
    void ApplyFontRow(TComponent& component, const AnsiString& name, const AnsiString& value);
    void ApplyLinesRow(TComponent& component, std::string_view property, const AnsiString& value);
    void ApplyTextRow(TStringsType type, TComponent& component, std::string_view property,
                      const AnsiString& value);
    void ApplyCollectionRow(TComponent& component, std::string_view path, const AnsiString& value);
    void ApplyExtendedTranslations();
    void ApplyExtendedItem(const TExtendedItem& item, const AnsiString& value);

    TCustomTranslator& translator_;
    TComponent& owner_;
    const AnsiString ownerClass_;
    const bool testMode_;
};

} // namespace kq
