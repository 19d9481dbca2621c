// What one row of a section writes into the property it names: a font's face and character
// set, a list's lines, a text, or a property of a collection's item.

#include "base/charsets.h"
#include "base/format.h"
#include "lang/collection.h"
#include "platform/folders.h"
#include "property_access.h"
#include "translation_pass.h"

namespace kq {

using namespace langpass;

namespace {

// A value naming a file relative to somewhere ("..\help.chm", ".\setup.ini"): once a component
// has expanded it to a full path, the table's relative form must not replace it again.
bool IsRelativePath(std::string_view value) {
    return value.find("..") != std::string_view::npos ||
           value.find(".\\") != std::string_view::npos;
}

} // namespace

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

} // namespace kq
