#pragma once

// The translation pass over the owner's components. The translation component runs it; the
// translation-file reader uses its pruning for each section it loads. The pass reads the table
// through the component's public face; the set-aside rows, which only the pass adds to, the
// component hands it explicitly.
//
// Its files, one concern each: translation_pass.cpp (the order of the sections, the walk over a
// section's rows, the owner's own row), pass_row_values.cpp (one row's value written into the
// property it names) and extended_translations.cpp (the translations no section covers).

#include "base/properties.h"
#include "lang/translator.h"

namespace kq {

class TTranslationPass {
public:
    // The component must have an owner.
    TTranslationPass(TCustomTranslator& translator, TSetAsideRows& setAside);

    // All sections for selector -1, otherwise the one whose ordinal it is, then OnChangeLanguage.
    void Run(int selector);

    // Moves the rows whose component is not on the owner to the set-aside rows, and deletes the
    // Captions and Hints rows of components linked to an action. Strings, DlgsCaptions and
    // Locales rows name no component and are left alone.
    void Prune(TStringsType type);

private:
    // What no row may change, whatever table or file it comes from.
    static bool Untouchable(const TComponent& target, std::string_view property);

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

    // pass_row_values.cpp
    void ApplyFontRow(TComponent& component, const AnsiString& name, const AnsiString& value);
    void ApplyLinesRow(TComponent& component, std::string_view property, const AnsiString& value);
    void ApplyTextRow(TStringsType type, TComponent& component, std::string_view property,
                      const AnsiString& value);
    void ApplyCollectionRow(TComponent& component, std::string_view path, const AnsiString& value);

    // extended_translations.cpp
    void ApplyExtendedTranslations();
    void ApplyExtendedItem(const TExtendedItem& item, const AnsiString& value);

    TCustomTranslator& translator_;
    TSetAsideRows& setAside_;
    TComponent& owner_;
    const AnsiString ownerClass_;
};

} // namespace kq
