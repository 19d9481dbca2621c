#include "base/properties.h"

#include "base/format.h"

namespace kq {

namespace {

bool IsOrdinal(TPropKind kind) {
    return kind == TPropKind::Integer || kind == TPropKind::Boolean ||
           kind == TPropKind::Enumeration;
}

bool IsObject(TPropKind kind) {
    return kind == TPropKind::Object || kind == TPropKind::StringList || kind == TPropKind::Font;
}

void CheckKind(const TPropInfo& prop, bool matches) {
    if (!matches) {
        throw EPropertyError("Invalid property type: " + prop.Name());
    }
}

void CheckReadable(const TPropInfo& prop) {
    if (!prop.Readable()) {
        throw EPropertyError(Format("Property %s is write-only", {prop.Name()}));
    }
}

void CheckWritable(const TPropInfo& prop) {
    if (!prop.Writable()) {
        throw EPropertyError(Format("Property %s is read-only", {prop.Name()}));
    }
}

} // namespace

namespace detail {

void RaiseForeignProperty(const AnsiString& prop, const TObject& obj) {
    throw EPropertyError(
        Format("Property %s does not belong to class %s", {prop, obj.ClassName()}));
}

void RaiseInvalidPropertyValue() {
    throw EPropertyError("Invalid property value");
}

} // namespace detail

TEnumInfo::TEnumInfo(std::string_view name, std::initializer_list<std::string_view> valueNames)
    : name_(name), valueNames_(valueNames.begin(), valueNames.end()) {}

AnsiString GetEnumName(const TEnumInfo& info, int value) {
    if (value < 0 || value >= info.Count()) {
        return AnsiString();
    }
    return info.ValueNames()[static_cast<std::size_t>(value)];
}

int GetEnumValue(const TEnumInfo& info, std::string_view name) {
    for (int i = 0; i < info.Count(); ++i) {
        if (SameText(info.ValueNames()[static_cast<std::size_t>(i)], name)) {
            return i;
        }
    }
    return -1;
}

bool TPropInfo::Readable() const {
    return static_cast<bool>(getStr_) || static_cast<bool>(getOrd_) || static_cast<bool>(getObj_);
}

bool TPropInfo::Writable() const {
    return static_cast<bool>(setStr_) || static_cast<bool>(setOrd_) || static_cast<bool>(setObj_);
}

TClassInfo::TClassInfo(std::string_view name, const TClassInfo* parent)
    : TClassInfo(name, parent, std::vector<TPropInfo>()) {}

TClassInfo::TClassInfo(std::string_view name, const TClassInfo* parent, std::vector<TPropInfo> own)
    : name_(name), parent_(parent), own_(std::move(own)) {
    if (parent_ != nullptr) {
        all_ = parent_->all_;
    }
    // A property declared again replaces the inherited one where it stood.
    for (const TPropInfo& prop : own_) {
        bool replaced = false;
        for (const TPropInfo*& slot : all_) {
            if (SameText(slot->Name(), prop.Name())) {
                slot = &prop;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            all_.push_back(&prop);
        }
    }
}

bool TClassInfo::InheritsFrom(const TClassInfo& ancestor) const {
    for (const TClassInfo* c = this; c != nullptr; c = c->parent_) {
        if (c == &ancestor) {
            return true;
        }
    }
    return false;
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const {
    for (const TPropInfo* prop : all_) {
        if (SameText(prop->Name(), name)) {
            return prop;
        }
    }
    return nullptr;
}

const TPropInfo* FindPropInfo(const TObject& obj, std::string_view name) {
    return obj.ClassInfo().FindProp(name);
}

const std::vector<const TPropInfo*>& GetPropList(const TObject& obj) {
    return obj.ClassInfo().Props();
}

AnsiString GetStrProp(const TObject& obj, const TPropInfo& prop) {
    CheckKind(prop, prop.Kind() == TPropKind::String);
    CheckReadable(prop);
    return prop.getStr_(obj);
}

void SetStrProp(TObject& obj, const TPropInfo& prop, const AnsiString& value) {
    CheckKind(prop, prop.Kind() == TPropKind::String);
    CheckWritable(prop);
    prop.setStr_(obj, value);
}

int GetOrdProp(const TObject& obj, const TPropInfo& prop) {
    CheckKind(prop, IsOrdinal(prop.Kind()));
    CheckReadable(prop);
    return prop.getOrd_(obj);
}

void SetOrdProp(TObject& obj, const TPropInfo& prop, int value) {
    CheckKind(prop, IsOrdinal(prop.Kind()));
    CheckWritable(prop);
    prop.setOrd_(obj, value);
}

TPersistent* GetObjectProp(TObject& obj, const TPropInfo& prop) {
    CheckKind(prop, IsObject(prop.Kind()));
    CheckReadable(prop);
    return prop.getObj_(obj);
}

void SetObjectProp(TObject& obj, const TPropInfo& prop, TPersistent* value) {
    CheckKind(prop, IsObject(prop.Kind()));
    CheckWritable(prop);
    prop.setObj_(obj, value);
}

} // namespace kq
