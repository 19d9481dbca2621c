// The extended translations: properties that no section covers, named by a path
// ("Label1.Width", "Label1.Font.Name") and given a cell for each language, converted to the
// property's kind when the pass applies them.

#include "base/format.h"
#include "cell_text.h"
#include "property_access.h"
#include "translation_pass.h"

namespace kq {

using namespace langpass;

// Each item's Values holds its cells (language 1 first) separated by the delimiter.
void TTranslationPass::ApplyExtendedTranslations() {
    const int language = translator_.ActiveLanguage();
    const std::vector<TExtendedItem> items = translator_.ExtendedTranslations();
    for (const TExtendedItem& item : items) {
        const AnsiString value =
            WithFallbacks(Cell(item.Values, language - 1), Cell(item.Values, 0), translator_);
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
