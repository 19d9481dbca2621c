// Reading a stored window description (layout in forms/form_loader.h).
#include "forms/form_loader.h"

#include "base/charsets.h"
#include "base/class_registry.h"
#include "base/format.h"
#include "base/string_list.h"
#include "forms/control.h"
#include "forms/screen.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace kq {

namespace {

constexpr std::string_view signature = "KQWD";
constexpr std::uint8_t formatVersion = 1;

enum Tag : std::uint8_t {
    tagInteger = 1,
    tagString = 2,
    tagIdent = 3,
    tagSet = 4,
    tagList = 5,
    tagBinary = 6,
};

[[noreturn]] void Malformed(const AnsiString& what) {
    throw EFilerError("Invalid window description: " + what);
}

// Reads the stored bytes front to back; every read is checked against what is left.
class Input {
public:
    explicit Input(std::string_view data) : rest_(data) {}

    bool AtEnd() const { return rest_.empty(); }

    std::string_view Bytes(std::size_t count, const char* what) {
        if (count > rest_.size()) {
            Malformed(Format("%s runs past the end", {what}));
        }
        std::string_view bytes = rest_.substr(0, count);
        rest_.remove_prefix(count);
        return bytes;
    }

    std::uint32_t Unsigned(std::size_t size, const char* what) {
        const std::string_view bytes = Bytes(size, what);
        std::uint32_t value = 0;
        for (std::size_t i = size; i-- > 0;) {
            value = (value << 8) | static_cast<unsigned char>(bytes[i]);
        }
        return value;
    }

    std::uint8_t U8(const char* what) { return static_cast<std::uint8_t>(Unsigned(1, what)); }
    std::uint16_t U16(const char* what) { return static_cast<std::uint16_t>(Unsigned(2, what)); }
    std::uint32_t U32(const char* what) { return Unsigned(4, what); }
    std::int32_t I32(const char* what) { return static_cast<std::int32_t>(Unsigned(4, what)); }

    AnsiString Name8(const char* what) { return AnsiString(Bytes(U8(what), what)); }
    AnsiString Long(const char* what) { return AnsiString(Bytes(U32(what), what)); }

private:
    std::string_view rest_;
};

struct Value {
    Tag tag = tagInteger;
    std::int32_t integer = 0;
    AnsiString text;               // string, ident, binary
    std::vector<AnsiString> items; // set, list
};

Value ReadValue(Input& in) {
    Value value;
    value.tag = static_cast<Tag>(in.U8("a value's tag"));
    switch (value.tag) {
    case tagInteger:
        value.integer = in.I32("an integer");
        break;
    case tagString:
    case tagBinary:
        value.text = in.Long("a string");
        break;
    case tagIdent:
        value.text = in.Name8("a name");
        break;
    case tagSet: {
        const std::uint8_t count = in.U8("a set");
        for (std::uint8_t i = 0; i < count; ++i) {
            value.items.push_back(in.Name8("a set's name"));
        }
        break;
    }
    case tagList: {
        const std::uint32_t count = in.U32("a list");
        for (std::uint32_t i = 0; i < count; ++i) {
            // Each item takes at least its length: a count beyond the data is caught at once.
            value.items.push_back(in.Long("a list item"));
        }
        break;
    }
    default:
        Malformed(Format("unknown value tag %d", {static_cast<int>(value.tag)}));
    }
    return value;
}

const char* TagName(Tag tag) {
    switch (tag) {
    case tagInteger:
        return "an integer";
    case tagString:
        return "a string";
    case tagIdent:
        return "a name";
    case tagSet:
        return "a set";
    case tagList:
        return "a list";
    case tagBinary:
        break;
    }
    return "binary data";
}

struct BinaryProperty {
    const TClassInfo* Class;
    AnsiString Name;
    TBinaryPropertyReader Read;
};

std::deque<BinaryProperty>& BinaryProperties() {
    static std::deque<BinaryProperty> properties;
    return properties;
}

const BinaryProperty* FindBinaryProperty(const TClassInfo& cls, std::string_view name) {
    for (const TClassInfo* c = &cls; c != nullptr; c = c->Parent()) {
        for (const BinaryProperty& p : BinaryProperties()) {
            if (p.Class == c && SameText(p.Name, name)) {
                return &p;
            }
        }
    }
    return nullptr;
}

std::optional<int> IntegerFromName(std::string_view name) {
    if (auto color = ColorFromName(name)) {
        return *color;
    }
    if (auto charset = CharsetFromName(name)) {
        return *charset;
    }
    static const std::pair<const char*, int> cursors[] = {
        {"cursorDefault", cursorDefault},   {"cursorArrow", cursorArrow},
        {"cursorIBeam", cursorIBeam},       {"cursorHourGlass", cursorHourGlass},
        {"cursorAppStart", cursorAppStart}, {"cursorHandPoint", cursorHandPoint},
    };
    for (const auto& [cursorName, cursor] : cursors) {
        if (SameText(cursorName, name)) {
            return cursor;
        }
    }
    return std::nullopt;
}

AnsiString SetAsText(const std::vector<AnsiString>& items) {
    AnsiString text = "[";
    for (const AnsiString& item : items) {
        if (text.size() > 1) {
            text += ", ";
        }
        text += item;
    }
    return text + "]";
}

[[noreturn]] void CannotTake(const AnsiString& name, Tag tag) {
    throw EPropertyError(Format("Property %s cannot take %s", {name, TagName(tag)}));
}

[[noreturn]] void InvalidValue(const AnsiString& text) {
    throw EPropertyError(Format("Invalid property value %s", {text}));
}

// A number, or the name of a colour, character set or cursor.
int IntegerValue(const AnsiString& name, const Value& value) {
    if (value.tag == tagInteger) {
        return value.integer;
    }
    if (value.tag != tagIdent) {
        CannotTake(name, value.tag);
    }
    const std::optional<int> number = IntegerFromName(value.text);
    if (!number) {
        InvalidValue(value.text);
    }
    return *number;
}

int BooleanValue(const AnsiString& name, const Value& value) {
    if (value.tag != tagIdent) {
        CannotTake(name, value.tag);
    }
    if (SameText(value.text, "True")) {
        return 1;
    }
    if (SameText(value.text, "False")) {
        return 0;
    }
    InvalidValue(value.text);
}

int EnumerationValue(const TPropInfo& prop, const AnsiString& name, const Value& value) {
    if (value.tag != tagIdent) {
        CannotTake(name, value.tag);
    }
    const int ordinal = GetEnumValue(*prop.EnumInfo(), value.text);
    if (ordinal < 0) {
        InvalidValue(value.text);
    }
    return ordinal;
}

// A string, or a set written as its text ("[a, b]").
AnsiString StringValue(const AnsiString& name, const Value& value) {
    if (value.tag == tagString) {
        return value.text;
    }
    if (value.tag != tagSet) {
        CannotTake(name, value.tag);
    }
    return SetAsText(value.items);
}

// The list's lines are replaced by the items, in one update.
void SetListValue(TPersistent& object, const TPropInfo& prop, const AnsiString& name,
                  const Value& value) {
    if (value.tag != tagList) {
        CannotTake(name, value.tag);
    }
    auto* list = dynamic_cast<TStrings*>(GetObjectProp(object, prop));
    if (list == nullptr) {
        throw EPropertyError(Format("Property %s holds no list", {name}));
    }
    list->Update([&] {
        list->Clear();
        for (const AnsiString& item : value.items) {
            list->Add(item);
        }
    });
}

// Binary data goes to the reader registered for the property's name on the object's class.
void SetBinaryValue(TPersistent& object, const AnsiString& name, const Value& value) {
    const BinaryProperty* binary = FindBinaryProperty(object.ClassInfo(), name);
    if (binary == nullptr) {
        throw EPropertyError(Format("Property %s does not exist", {name}));
    }
    binary->Read(object, value.text);
}

class Reader {
public:
    Reader(TForm& form, std::string_view data) : form_(form), in_(data) {}

    void Read();

private:
    struct Fixup {
        TPersistent* Object;
        const TPropInfo* Prop;
        AnsiString Target;
        AnsiString Where;
    };

    void ReadRoot();
    void ReadChildren(TComponent& parent);
    void ReadComponent(TComponent& parent);
    void ReadProperties(TComponent& component);
    void SetProperty(TComponent& component, const AnsiString& path, const Value& value);
    void SetValue(TComponent& component, TPersistent& object, const AnsiString& name,
                  const Value& value, const AnsiString& where);
    void AddFixup(TPersistent& object, const TPropInfo& prop, const AnsiString& name,
                  const Value& value, const AnsiString& where);
    void BindEvent(TComponent& component, TPersistent& object, const AnsiString& name,
                   const Value& value);
    void ResolveFixups();
    TComponent* FindByName(std::string_view name) const;

    TForm& form_;
    Input in_;
    TLoadingGroup loading_;
    std::vector<Fixup> fixups_;
};

void Reader::Read() {
    if (in_.Bytes(signature.size(), "the signature") != signature) {
        Malformed("no signature");
    }
    const std::uint8_t version = in_.U8("the version");
    if (version != formatVersion) {
        Malformed(Format("version %d is not known", {static_cast<int>(version)}));
    }
    ReadRoot();
    if (!in_.AtEnd()) {
        Malformed("data after the form");
    }
    ResolveFixups();
    loading_.EndLoading();
}

void Reader::ReadRoot() {
    const AnsiString className = in_.Name8("the form's class");
    const AnsiString name = in_.Name8("the form's name");
    if (!SameText(className, form_.ClassName())) {
        Malformed(Format("it describes a %s, not a %s", {className, form_.ClassName()}));
    }
    loading_.Add(form_);
    form_.SetName(name);
    ReadProperties(form_);
    ReadChildren(form_);
}

void Reader::ReadChildren(TComponent& parent) {
    const std::uint16_t count = in_.U16("a child count");
    for (std::uint16_t i = 0; i < count; ++i) {
        ReadComponent(parent);
    }
}

// A control goes into the enclosing control before its properties are set, so that it starts
// with its parent's font and colour; any other component belongs to the form only.
void Reader::ReadComponent(TComponent& parent) {
    const AnsiString className = in_.Name8("a class name");
    const AnsiString name = in_.Name8("a component name");
    const TComponentClass& cls = FindClass(className);
    TComponent* component = cls.create(&form_);
    loading_.Add(*component);
    auto* control = dynamic_cast<TControl*>(component);
    auto* container = dynamic_cast<TWinControl*>(&parent);
    if (control != nullptr && container == nullptr) {
        throw EFilerError(Format("%s cannot hold the control %s", {parent.Name(), name}));
    }
    try {
        component->SetName(name);
        if (control != nullptr) {
            control->SetParent(container);
        }
    } catch (const Exception& error) {
        throw EFilerError(Format("Error reading %s: %s", {name, AnsiString(error.Message())}));
    }
    ReadProperties(*component);
    ReadChildren(*component);
}

void Reader::ReadProperties(TComponent& component) {
    const std::uint16_t count = in_.U16("a property count");
    for (std::uint16_t i = 0; i < count; ++i) {
        const AnsiString path = in_.Name8("a property name");
        const Value value = ReadValue(in_);
        SetProperty(component, path, value);
    }
}

// "Font.Name": every part before the last names an object property, the last the one to set.
void Reader::SetProperty(TComponent& component, const AnsiString& path, const Value& value) {
    const AnsiString where = component.Name() + "." + path;
    try {
        TPersistent* object = &component;
        std::string_view rest = path;
        for (std::size_t dot = rest.find('.'); dot != std::string_view::npos;
             dot = rest.find('.')) {
            const std::string_view part = rest.substr(0, dot);
            const TPropInfo* prop = FindPropInfo(*object, part);
            if (prop == nullptr) {
                throw EPropertyError(Format("Property %s does not exist", {AnsiString(part)}));
            }
            object = GetObjectProp(*object, *prop);
            if (object == nullptr) {
                throw EPropertyError(Format("Property %s holds no object", {AnsiString(part)}));
            }
            rest.remove_prefix(dot + 1);
        }
        SetValue(component, *object, AnsiString(rest), value, where);
    } catch (const Exception& error) {
        throw EFilerError(Format("Error reading %s: %s", {where, AnsiString(error.Message())}));
    }
}

// Each kind of property takes the tags it can hold; any other tag is refused by name.
void Reader::SetValue(TComponent& component, TPersistent& object, const AnsiString& name,
                      const Value& value, const AnsiString& where) {
    if (value.tag == tagBinary) {
        SetBinaryValue(object, name, value);
        return;
    }
    const TPropInfo* prop = FindPropInfo(object, name);
    if (prop == nullptr) {
        throw EPropertyError(Format("Property %s does not exist", {name}));
    }
    switch (prop->Kind()) {
    case TPropKind::Integer:
        SetOrdProp(object, *prop, IntegerValue(name, value));
        return;
    case TPropKind::Boolean:
        SetOrdProp(object, *prop, BooleanValue(name, value));
        return;
    case TPropKind::Enumeration:
        SetOrdProp(object, *prop, EnumerationValue(*prop, name, value));
        return;
    case TPropKind::String:
        SetStrProp(object, *prop, StringValue(name, value));
        return;
    case TPropKind::StringList:
        SetListValue(object, *prop, name, value);
        return;
    case TPropKind::Object:
        AddFixup(object, *prop, name, value, where);
        return;
    case TPropKind::Event:
        BindEvent(component, object, name, value);
        return;
    case TPropKind::Font:
        CannotTake(name, value.tag);
    }
}

// A reference is only noted here: its target may come later in the description.
void Reader::AddFixup(TPersistent& object, const TPropInfo& prop, const AnsiString& name,
                      const Value& value, const AnsiString& where) {
    if (value.tag != tagIdent || !prop.ObjectClass()->InheritsFrom(TComponent::StaticClassInfo())) {
        CannotTake(name, value.tag);
    }
    fixups_.push_back(Fixup{&object, &prop, value.text, where});
}

// Only a component's own events are bound, to the form's handler of that name.
void Reader::BindEvent(TComponent& component, TPersistent& object, const AnsiString& name,
                       const Value& value) {
    if (value.tag != tagIdent || &object != &component) {
        CannotTake(name, value.tag);
    }
    form_.BindHandler(component, name, value.text);
}

TComponent* Reader::FindByName(std::string_view name) const {
    if (SameText(form_.Name(), name)) {
        return &form_;
    }
    return form_.FindComponent(name);
}

// References are set once every component exists and has all its stored properties.
void Reader::ResolveFixups() {
    for (const Fixup& fixup : fixups_) {
        TComponent* target = FindByName(fixup.Target);
        try {
            if (target == nullptr) {
                throw EPropertyError(Format("No component named %s", {fixup.Target}));
            }
            SetObjectProp(*fixup.Object, *fixup.Prop, target);
        } catch (const Exception& error) {
            throw EFilerError(
                Format("Error reading %s: %s", {fixup.Where, AnsiString(error.Message())}));
        }
    }
}

} // namespace

void RegisterBinaryProperty(const TClassInfo& cls, std::string_view name,
                            TBinaryPropertyReader reader) {
    for (BinaryProperty& p : BinaryProperties()) {
        if (p.Class == &cls && SameText(p.Name, name)) {
            p.Read = std::move(reader);
            return;
        }
    }
    BinaryProperties().push_back(BinaryProperty{&cls, AnsiString(name), std::move(reader)});
}

void LoadFormDescription(TForm& form, std::string_view description) {
    RegisterFormsClasses();
    Reader(form, description).Read();
}

} // namespace kq
