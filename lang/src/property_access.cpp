#include "property_access.h"

namespace kq::langpass {

const TPropInfo* FindReadWriteProp(const TObject& object, std::string_view name, TPropKind kind) {
    const TPropInfo* prop = FindPropInfo(object, name);
    if (prop == nullptr || prop->Kind() != kind || !prop->Readable() || !prop->Writable()) {
        return nullptr;
    }
    return prop;
}

bool IsObjectKind(TPropKind kind) {
    return kind == TPropKind::Object || kind == TPropKind::StringList || kind == TPropKind::Font;
}

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

bool HasAction(TObject& object) {
    const TPropInfo* prop = FindPropInfo(object, "Action");
    return prop != nullptr && prop->Kind() == TPropKind::Object && prop->Readable() &&
           GetObjectProp(object, *prop) != nullptr;
}

bool FollowsParentFont(const TObject& object) {
    const TPropInfo* prop = FindPropInfo(object, "ParentFont");
    return prop != nullptr && prop->Kind() == TPropKind::Boolean && prop->Readable() &&
           GetOrdProp(object, *prop) != 0;
}

bool IsForm(const TObject& object) {
    for (const TClassInfo* cls = &object.ClassInfo(); cls != nullptr; cls = cls->Parent()) {
        if (cls->Name() == "TForm" || cls->Name() == "TCustomForm") {
            return true;
        }
    }
    return false;
}

TComponent* FindRowComponent(TComponent& owner, std::string_view name) {
    if (TComponent* component = owner.FindComponent(name)) {
        return component;
    }
    if (name == owner.ClassName() || name == owner.Name()) {
        return &owner;
    }
    return nullptr;
}

void WriteLinesInPlace(TStrings& lines, const TStrings& items) {
    auto* list = dynamic_cast<TStringList*>(&lines);
    const bool sorted = list != nullptr && list->Sorted();
    if (sorted) {
        list->SetSorted(false);
    }
    AfterwardsAlso(
        [&] {
            lines.Update([&] {
                for (int i = 0; i < items.Count(); ++i) {
                    const AnsiString item = items.Strings(i);
                    if (i >= lines.Count()) {
                        lines.Add(item);
                    } else if (lines.Strings(i) != item) {
                        lines.Put(i, item);
                    }
                }
                while (lines.Count() > items.Count()) {
                    lines.Delete(lines.Count() - 1);
                }
            });
        },
        [&] {
            if (sorted) {
                list->SetSorted(true);
            }
        });
}

} // namespace kq::langpass
