// The translation pass: writes the active language's cells into the properties of the owner's
// components, for every section or for the one the section selector names. This file holds the
// order of the sections, the walk over each section's rows and the owner's own row; what one row
// writes is in pass_row_values.cpp.
//
// Rows name what they translate. In Captions, Hints, DisplayLabels, Fonts and CharSets the row
// name is a component's name (the first row of Captions, Hints, Fonts and CharSets may name the
// owner's class instead: the owner's own text). In MultiLines and OtherStrings it is
// "Component.Property"; in Collections "Component.Collection[Index].ItemProperty". The owner
// itself is reached by its class name or its Name.
//
// A property is written only when the new text differs from the current one, so applying the
// same language again repaints nothing; an empty cell never clears a property.

#include "translation_pass.h"

#include "base/charsets.h"
#include "cell_text.h"
#include "lang/format_settings.h"
#include "lang/lang_dispatcher.h"
#include "property_access.h"

#include <optional>
#include <utility>

namespace kq {

using namespace langpass;

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return CompareStringIgnoreCase(std::string(a), std::string(b)) == 0;
}

// The property that the first row of the section may set on the owner itself.
std::optional<std::pair<std::string_view, TPropKind>> OwnRowProperty(TStringsType type) {
    switch (type) {
    case stCaptions:
        return std::pair{std::string_view("Caption"), TPropKind::String};
    case stHints:
        return std::pair{std::string_view("Hint"), TPropKind::String};
    case stFonts:
    case stCharSets:
        return std::pair{std::string_view("Font"), TPropKind::Font};
    default:
        return std::nullopt;
    }
}

bool NamedByProperty(TStringsType type) {
    return type == stMultiLines || type == stOtherStrings || type == stCollections;
}

} // namespace

// The translation components (a language switched or a table replaced from inside the pass that
// applies it) and a component's Name (the owner finds its components by name; a clash ends the
// owner's loading).
bool TTranslationPass::Untouchable(const TComponent& target, std::string_view property) {
    return dynamic_cast<const TCustomTranslator*>(&target) != nullptr ||
           dynamic_cast<const TLangDispatcher*>(&target) != nullptr || SameText(property, "Name");
}

TTranslationPass::TTranslationPass(TCustomTranslator& translator, TSetAsideRows& setAside)
    : translator_(translator), setAside_(setAside), owner_(*translator.Owner()),
      ownerClass_(translator.Owner()->ClassName()) {}

// --- Helpers ------------------------------------------------------------------------------------

bool TTranslationPass::OwnerHas(std::string_view property, TPropKind kind) const {
    const TPropInfo* prop = FindPropInfo(owner_, property);
    return prop != nullptr && prop->Kind() == kind;
}

bool TTranslationPass::NotToTranslate(std::string_view component) const {
    return translator_.DoNotTranslate()->IndexOf(component) >= 0;
}

AnsiString TTranslationPass::Cell(std::string_view row, int language) const {
    return translator_.ExtractField(row, language);
}

// The active language's cell, with the fallbacks of an empty one; test mode's capitals would
// break face names and locale settings.
AnsiString TTranslationPass::Value(std::string_view row, TStringsType type) const {
    return WithFallbacks(Cell(row, translator_.ActiveLanguage()), Cell(row, 1), translator_,
                         type != stFonts && type != stLocales);
}

// The active language's cell of the component's first CharSets row, "" when it has none.
AnsiString TTranslationPass::CharsetCell(std::string_view component) const {
    const TStringList& rows = *translator_.CharSets();
    for (int i = 0; i < rows.Count(); ++i) {
        const AnsiString row = rows.Strings(i);
        if (SameName(Cell(row, 0), component)) {
            return Cell(row, translator_.ActiveLanguage());
        }
    }
    return {};
}

// --- The pass -----------------------------------------------------------------------------------

void TTranslationPass::Run(int selector) {
    const auto selected = [selector](TStringsType type) {
        return selector == -1 || selector == static_cast<int>(type);
    };
    try {
        TranslateOwnText(stCaptions, "Caption");
        TranslateOwnText(stHints, "Hint");
    } catch (const Exception&) {
        // The owner's setter refused its own text: the owner keeps the old one.
    }
    for (TStringsType type : {stCaptions, stHints, stDisplayLabels}) {
        if (selected(type)) {
            TranslateSection(type);
        }
    }
    if ((selected(stFonts) || selector == stCharSets) && OwnerHas("Font", TPropKind::Font)) {
        TranslateSection(stFonts);
    }
    TranslateOwnFont();
    for (TStringsType type : {stMultiLines, stOtherStrings}) {
        if (selected(type)) {
            TranslateSection(type);
        }
    }
    if (selected(stLocales) && translator_.ChangeLocales()) {
        TranslateSection(stLocales);
    }
    if (selected(stCollections)) {
        TranslateSection(stCollections);
    }
    if (selector == -1) {
        ApplyExtendedTranslations();
    }
    if (translator_.OnChangeLanguage) {
        translator_.OnChangeLanguage(&translator_);
    }
}

// The owner's caption or hint from the first row, when that row names the owner's class.
void TTranslationPass::TranslateOwnText(TStringsType type, std::string_view property) {
    const TStringList& rows = *translator_.List(type);
    if (rows.Count() == 0 || NotToTranslate(ownerClass_) ||
        translator_.SmartExcludeProps()->IndexOf(ownerClass_ + "." + AnsiString(property)) >= 0) {
        return;
    }
    const TPropInfo* prop = FindReadWriteProp(owner_, property, TPropKind::String);
    const AnsiString first = rows.Strings(0);
    if (prop == nullptr || !SameName(Cell(first, 0), ownerClass_)) {
        return;
    }
    AnsiString value = Cell(first, translator_.ActiveLanguage());
    if (value.empty() && translator_.TranslateType() == ttGetDefault) {
        value = Cell(first, 1);
    }
    if (!value.empty() && !HasAction(owner_)) {
        WriteText(owner_, *prop, value);
    }
}

// The owner's font face from the first Fonts row and its character set from its CharSets row.
// The owner's character-set name must match exactly, letter case included.
void TTranslationPass::TranslateOwnFont() {
    const TStringList& rows = *translator_.Fonts();
    if (rows.Count() == 0 || NotToTranslate(ownerClass_) ||
        translator_.SmartExcludeProps()->IndexOf(ownerClass_ + ".Font") >= 0) {
        return;
    }
    const TPropInfo* prop = FindPropInfo(owner_, "Font");
    if (prop == nullptr || prop->Kind() != TPropKind::Font || !prop->Readable()) {
        return;
    }
    TPersistent* font = GetObjectProp(owner_, *prop);
    const AnsiString first = rows.Strings(0);
    if (font == nullptr || !SameName(Cell(first, 0), ownerClass_)) {
        return;
    }
    AnsiString face = Cell(first, translator_.ActiveLanguage());
    if (face.empty() && translator_.TranslateType() == ttGetDefault) {
        face = Cell(first, 1);
    }
    if (!face.empty()) {
        SetFontFace(*font, face);
    }
    if (const auto charset = CharsetFromName(CharsetCell(ownerClass_), TNameCase::Exact)) {
        SetFontCharset(*font, *charset);
    }
}

void TTranslationPass::Prune(TStringsType type) {
    TStringList* rows = translator_.List(type);
    if (rows == nullptr || type == stDlgsCaptions || type == stStrings || type == stLocales) {
        return;
    }
    std::vector<AnsiString>& setAside = setAside_[static_cast<std::size_t>(type)];
    const auto own = OwnRowProperty(type);
    int i = own && OwnerHas(own->first, own->second) ? 1 : 0;
    while (i < rows->Count()) {
        const AnsiString row = rows->Strings(i);
        const AnsiString name = Cell(row, 0);
        TComponent* component = nullptr;
        bool present = false;
        if (NamedByProperty(type)) {
            const AnsiString part = name.substr(0, name.find('.'));
            present = part == ownerClass_ || owner_.FindComponent(part) != nullptr;
        } else {
            component = owner_.FindComponent(name);
            present = component != nullptr;
        }
        if (!present) {
            setAside.push_back(row);
            rows->Delete(i);
        } else if ((type == stCaptions || type == stHints) && HasAction(*component)) {
            rows->Delete(i); // the action supplies the text
        } else {
            ++i;
        }
    }
}

void TTranslationPass::TranslateSection(TStringsType type) {
    Prune(type);
    const TStringList& rows = *translator_.List(type);
    if (rows.Count() == 0) {
        return;
    }
    for (int i = FirstRowToApply(type, rows); i < rows.Count(); ++i) {
        AnsiString row;
        try {
            row = rows.Strings(i);
        } catch (const EListError&) {
            // A row that is gone reads as an empty row, which applies nothing.
        }
        try {
            ApplyRow(type, row);
        } catch (const EListError&) {
            // A list property refused the row (a collection item that is not there): skip it.
        }
    }
}

// A form's own row, which TranslateOwnText and TranslateOwnFont have applied, is not applied
// again as a component's row.
int TTranslationPass::FirstRowToApply(TStringsType type, const TStringList& rows) const {
    const bool ownRow = type == stCaptions || type == stHints || type == stFonts;
    const AnsiString ownRowStart =
        ownerClass_ + AnsiString(1, static_cast<char>(translator_.LangDelim()));
    if (ownRow && IsForm(owner_) && !NotToTranslate(ownerClass_) &&
        rows.Strings(0).find(ownRowStart) != AnsiString::npos) {
        return 1;
    }
    return 0;
}

void TTranslationPass::ApplyRow(TStringsType type, const AnsiString& row) {
    const AnsiString name = Cell(row, 0);
    AnsiString component = name;
    AnsiString property;
    switch (type) {
    case stMultiLines:
    case stOtherStrings:
    case stCollections: {
        const std::size_t dot = name.find('.');
        if (dot == AnsiString::npos) {
            return;
        }
        component = name.substr(0, dot);
        property = name.substr(dot + 1);
        break;
    }
    case stCaptions:
        property = "Caption";
        break;
    case stHints:
        property = "Hint";
        break;
    case stDisplayLabels:
        property = "DisplayLabel";
        break;
    default:
        break;
    }
    if (NotToTranslate(component)) {
        return;
    }
    const AnsiString value = Value(row, type);
    if (type == stLocales) {
        ApplyLocaleSetting(FormatSettings(), name, value);
        return;
    }
    TComponent* target = FindRowComponent(owner_, component);
    if (target == nullptr || Untouchable(*target, property)) {
        return;
    }
    switch (type) {
    case stFonts:
        ApplyFontRow(*target, component, value);
        break;
    case stMultiLines:
        ApplyLinesRow(*target, property, value);
        break;
    case stCollections:
        ApplyCollectionRow(*target, property, value);
        break;
    default:
        ApplyTextRow(type, *target, property, value);
        break;
    }
}

} // namespace kq
