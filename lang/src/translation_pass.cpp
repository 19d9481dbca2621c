// The translation pass: writes the active language's cells into the properties of the owner's
// components, for every section or for the one the section selector names.
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
#include "base/format.h"
#include "lang/collection.h"
#include "lang/format_settings.h"
#include "lang/lang_dispatcher.h"
#include "platform/codepage.h"
#include "platform/folders.h"
#include "property_access.h"

#include <optional>
#include <utility>

namespace kq {

using namespace langpass;

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return CompareStringIgnoreCase(std::string(a), std::string(b)) == 0;
}

AnsiString SystemUpperCase(std::string_view text) {
    return UpperCase(text, static_cast<int>(GetACP()));
}

bool IsObjectKind(TPropKind kind) {
    return kind == TPropKind::Object || kind == TPropKind::StringList || kind == TPropKind::Font;
}

// The property's current text, or nothing when it cannot be read.
std::optional<AnsiString> CurrentText(const TObject& object, const TPropInfo& prop) {
    try {
        return GetStrProp(object, prop);
    } catch (const Exception&) {
        return std::nullopt;
    }
}

void WriteText(TObject& object, const TPropInfo& prop, const AnsiString& value) {
    const std::optional<AnsiString> current = CurrentText(object, prop);
    if (!current || *current != value) {
        SetStrProp(object, prop, value);
    }
}

void WriteOrdinal(TObject& object, const TPropInfo& prop, int value) {
    if (GetOrdProp(object, prop) != value) {
        SetOrdProp(object, prop, value);
    }
}

// A font reached through its own published properties: Name (the face) and Charset.
bool SetFontFace(TPersistent& font, const AnsiString& face) {
    const TPropInfo* prop = FindReadWriteProp(font, "Name", TPropKind::String);
    if (prop == nullptr || CurrentText(font, *prop) == face) {
        return false;
    }
    SetStrProp(font, *prop, face);
    return true;
}

void SetFontCharset(TPersistent& font, int charset) {
    if (const TPropInfo* prop = FindReadWriteProp(font, "Charset", TPropKind::Integer)) {
        WriteOrdinal(font, *prop, charset);
    }
}

// A value naming a file relative to somewhere ("..\help.chm", ".\setup.ini"): once a component
// has expanded it to a full path, the table's relative form must not replace it again.
bool IsRelativePath(std::string_view value) {
    return value.find("..") != std::string_view::npos ||
           value.find(".\\") != std::string_view::npos;
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

// What no row may change, whatever table or file it comes from: the translation components (a
// language switched or a table replaced from inside the pass that applies it) and a component's
// Name (the owner finds its components by name; a clash ends the owner's loading).
bool Untouchable(const TComponent& target, std::string_view property) {
    return dynamic_cast<const TCustomTranslator*>(&target) != nullptr ||
           dynamic_cast<const TLangDispatcher*>(&target) != nullptr || SameText(property, "Name");
}

bool NamedByProperty(TStringsType type) {
    return type == stMultiLines || type == stOtherStrings || type == stCollections;
}

} // namespace

// A language asked for during a pass gets its own pass when that one ends. One only: a table
// whose every language switches to the next would otherwise pass forever (or, nested, until the
// stack ran out); what the second pass asks for is dropped.
void TCustomTranslator::TranslatePass() {
    if (disabled_ || Owner() == nullptr || passRunning_) {
        return;
    }
    passRunning_ = true;
    pendingLanguage_.reset();
    AfterwardsAlso(
        [this] {
            TTranslationPass(*this).Run(sectionSelector_);
            if (const std::optional<int> next = std::exchange(pendingLanguage_, std::nullopt)) {
                activeLanguage_ = *next;
                if (*next <= langNames_.Count()) {
                    language_ = langNames_.Strings(*next - 1);
                }
                TTranslationPass(*this).Run(-1);
            }
        },
        [this] {
            passRunning_ = false;
            pendingLanguage_.reset();
            // A name set during the pass must not contradict the language in force.
            if (activeLanguage_ >= 1 && activeLanguage_ <= langNames_.Count()) {
                language_ = langNames_.Strings(activeLanguage_ - 1);
            }
        });
}

TTranslationPass::TTranslationPass(TCustomTranslator& translator)
    : translator_(translator), owner_(*translator.Owner()),
      ownerClass_(translator.Owner()->ClassName()), testMode_(translator.TestMode()) {}

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

// The active language's cell; test mode shows a missing translation as the language-1 text in
// capitals (not for face names and locale settings, which capitals would break); ttGetDefault
// falls back to the language-1 text.
AnsiString TTranslationPass::Value(std::string_view row, TStringsType type) const {
    const int language = translator_.ActiveLanguage();
    AnsiString value = Cell(row, language);
    if (value.empty() && testMode_ && language > 1 && type != stFonts && type != stLocales) {
        value = SystemUpperCase(Cell(row, 1));
    }
    if (value.empty() && translator_.TranslateType() == ttGetDefault) {
        value = Cell(row, 1);
    }
    return value;
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
    std::vector<AnsiString>& setAside = translator_.setAside_[static_cast<std::size_t>(type)];
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
    const AnsiString ownRowStart = ownerClass_ + AnsiString(1, translator_.Delimiter());
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

// A control whose font follows its parent's keeps it: giving it a face or character set of its
// own would cut it loose from the parent.
void TTranslationPass::ApplyFontRow(TComponent& component, const AnsiString& name,
                                    const AnsiString& value) {
    const TPropInfo* prop = FindReadWriteProp(component, "Font", TPropKind::Font);
    TPersistent* font = prop != nullptr ? GetObjectProp(component, *prop) : nullptr;
    if (font == nullptr) {
        return;
    }
    const auto charset = CharsetFromName(CharsetCell(name), TNameCase::Ignore);
    if (charset && !FollowsParentFont(component)) {
        SetFontCharset(*font, *charset);
    }
    if (!value.empty() && !FollowsParentFont(component) && SetFontFace(*font, value)) {
        SetObjectProp(component, *prop, font);
    }
}

// The cell is the list's comma text. The list is rewritten line by line, with a memo's word
// wrap off meanwhile so that its lines are the list's lines and not the wrapped ones.
void TTranslationPass::ApplyLinesRow(TComponent& component, std::string_view property,
                                     const AnsiString& value) {
    if (value.empty()) {
        return;
    }
    const TPropInfo* prop = FindReadWriteProp(component, property, TPropKind::StringList);
    auto* lines =
        prop != nullptr ? dynamic_cast<TStrings*>(GetObjectProp(component, *prop)) : nullptr;
    if (lines == nullptr || lines->CommaText() == value) {
        return;
    }
    TStringList items;
    items.SetCommaText(value);
    const TPropInfo* wrap = FindReadWriteProp(component, "WordWrap", TPropKind::Boolean);
    const bool wrapped = wrap != nullptr && GetOrdProp(component, *wrap) != 0;
    if (wrapped) {
        SetOrdProp(component, *wrap, 0);
    }
    AfterwardsAlso([&] { WriteLinesInPlace(*lines, items); },
                   [&] {
                       if (wrapped) {
                           SetOrdProp(component, *wrap, 1);
                       }
                   });
}

void TTranslationPass::ApplyTextRow(TStringsType type, TComponent& component,
                                    std::string_view property, const AnsiString& value) {
    if (value.empty()) {
        return;
    }
    const TPropInfo* prop = FindReadWriteProp(component, property, TPropKind::String);
    if (prop == nullptr) {
        return;
    }
    const std::optional<AnsiString> current = CurrentText(component, *prop);
    if (current == value) {
        return;
    }
    if ((type == stDisplayLabels || type == stOtherStrings) && current && IsRelativePath(value)) {
        const AnsiString expanded = GetFullPathName(value);
        if (!expanded.empty() && expanded == *current) {
            return;
        }
    }
    if ((type == stCaptions || type == stHints) && HasAction(component)) {
        return;
    }
    SetStrProp(component, *prop, value);
}

// path is "Collection[Index].ItemProperty", or "Collection[Index].Object.Property" for a string
// property of an object the item holds. An item's string list takes the cell as lines.
void TTranslationPass::ApplyCollectionRow(TComponent& component, std::string_view path,
                                          const AnsiString& value) {
    const std::size_t open = path.find('[');
    const std::size_t close = path.find(']');
    if (value.empty() || open == std::string_view::npos || close == std::string_view::npos ||
        close < open || close + 1 >= path.size() || path[close + 1] != '.') {
        return;
    }
    const int index = StrToIntDef(path.substr(open + 1, close - open - 1), -1);
    const TPropInfo* prop = FindPropInfo(component, path.substr(0, open));
    if (index < 0 || prop == nullptr || prop->Kind() != TPropKind::Object || !prop->Readable()) {
        return;
    }
    auto* collection = dynamic_cast<TCollection*>(GetObjectProp(component, *prop));
    TPersistent* item = collection != nullptr ? collection->Items(index) : nullptr;
    if (item == nullptr) {
        return;
    }
    std::string_view itemProperty = path.substr(close + 2);
    if (const std::size_t dot = itemProperty.find('.'); dot != std::string_view::npos) {
        const TPropInfo* objectProp = FindPropInfo(*item, itemProperty.substr(0, dot));
        if (objectProp == nullptr || !IsObjectKind(objectProp->Kind()) || !objectProp->Readable()) {
            return;
        }
        TPersistent* object = GetObjectProp(*item, *objectProp);
        const TPropInfo* textProp =
            object != nullptr
                ? FindReadWriteProp(*object, itemProperty.substr(dot + 1), TPropKind::String)
                : nullptr;
        if (textProp != nullptr) {
            WriteText(*object, *textProp, value);
        }
        return;
    }
    if (const TPropInfo* textProp = FindReadWriteProp(*item, itemProperty, TPropKind::String)) {
        WriteText(*item, *textProp, value);
    } else if (const TPropInfo* listProp =
                   FindReadWriteProp(*item, itemProperty, TPropKind::StringList)) {
        if (auto* lines = dynamic_cast<TStrings*>(GetObjectProp(*item, *listProp))) {
            TStringList items;
            items.SetText(value);
            WriteLinesInPlace(*lines, items);
        }
    }
}

// Each item's Values holds its cells (language 1 first) separated by the delimiter.
void TTranslationPass::ApplyExtendedTranslations() {
    const int language = translator_.ActiveLanguage();
    const std::vector<TExtendedItem> items = translator_.ExtendedTranslations();
    for (const TExtendedItem& item : items) {
        const AnsiString first = Cell(item.Values, 0);
        AnsiString value = Cell(item.Values, language - 1);
        if (value.empty() && testMode_ && language > 1) {
            value = SystemUpperCase(first);
        }
        if (value.empty() && translator_.TranslateType() == ttGetDefault) {
            value = first;
        }
        if (value.empty()) {
            continue;
        }
        try {
            ApplyExtendedItem(item, value);
        } catch (const EConvertError&) {
            // Not a value of the property's kind ("abc" for a number): the property keeps its own.
        } catch (const EPropertyError&) {
            // A value the property refuses: the same.
        } catch (const EListError&) {
        }
    }
}

// Identifier is "Component.Property", with further ".Property" steps through object properties
// ("Label1.Font.Name"). The cell is converted to the property's kind.
void TTranslationPass::ApplyExtendedItem(const TExtendedItem& item, const AnsiString& value) {
    const std::string_view identifier = item.Identifier;
    const std::size_t dot = identifier.find('.');
    TComponent* component = dot != std::string_view::npos
                                ? FindRowComponent(owner_, identifier.substr(0, dot))
                                : nullptr;
    std::string_view path = identifier.substr(dot + 1);
    if (component == nullptr || Untouchable(*component, path)) {
        return;
    }
    TObject* holder = component;
    for (std::size_t next = path.find('.'); next != std::string_view::npos; next = path.find('.')) {
        const TPropInfo* step = FindPropInfo(*holder, path.substr(0, next));
        if (step == nullptr || !IsObjectKind(step->Kind()) || !step->Readable()) {
            return;
        }
        holder = GetObjectProp(*holder, *step);
        if (holder == nullptr) {
            return;
        }
        path = path.substr(next + 1);
    }
    const TPropInfo* prop = FindPropInfo(*holder, path);
    if (prop == nullptr || !prop->Readable() || !prop->Writable()) {
        return;
    }
    switch (prop->Kind()) {
    case TPropKind::String:
        WriteText(*holder, *prop, value);
        break;
    case TPropKind::Integer:
        WriteOrdinal(*holder, *prop, StrToInt(value));
        break;
    case TPropKind::Boolean:
        WriteOrdinal(*holder, *prop,
                     SameText(value, "True")    ? 1
                     : SameText(value, "False") ? 0
                                                : (StrToInt(value) != 0 ? 1 : 0));
        break;
    case TPropKind::Enumeration: {
        const int named = GetEnumValue(*prop->EnumInfo(), value);
        WriteOrdinal(*holder, *prop, named >= 0 ? named : StrToInt(value));
        break;
    }
    case TPropKind::StringList:
        if (auto* lines = dynamic_cast<TStrings*>(GetObjectProp(*holder, *prop))) {
            TStringList items;
            items.SetText(value);
            WriteLinesInPlace(*lines, items);
        }
        break;
    default:
        break;
    }
}

} // namespace kq
