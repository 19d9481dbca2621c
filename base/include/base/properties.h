// Published properties: the properties of a class that can be found, read and written by name.
//
// The form loader sets the stored properties of each control by name, and the translation pass
// writes captions, fonts and string lists into whatever component a row of its table names. Both
// go through the class's TClassInfo: a table of TPropInfo entries, one per published property,
// each with its kind and the accessors that reach it. A subclass's table extends its parent's and
// may declare an inherited name again to replace it. Names are found case-insensitively.
//
// A class publishes its properties next to its definition:
//
//   class TLabel : public TControl {
//   public:
//       const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
//       static const TClassInfo& StaticClassInfo();
//       ...
//   };
//
//   const TClassInfo& TLabel::StaticClassInfo() {
//       static const TClassInfo info("TLabel", &TControl::StaticClassInfo(),
//                                    TClassTable<TLabel>()
//                                        .String("Caption", &TLabel::Caption, &TLabel::SetCaption)
//                                        .Boolean("AutoSize", &TLabel::AutoSize, nullptr)
//                                        .Font("Font", &TLabel::Font, &TLabel::SetFont));
//       return info;
//   }
//
// Getters and setters are member functions or lambdas taking (const TLabel&) and (TLabel&, value);
// nullptr instead of a setter makes the property read-only.
#pragma once

#include "base/exceptions.h"
#include "base/persistent.h"
#include "base/strings.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace kq {

enum class TPropKind {
    String,
    Integer,
    Boolean,
    Enumeration,
    Object,
    StringList, // an object property whose object is a TStrings
    Font,       // an object property whose object is the control's font
    Event,      // declared only: handlers are bound by their owner, not through this table
};

// The names of an enumeration's values, in ordinal order.
class TEnumInfo {
public:
    TEnumInfo(std::string_view name, std::initializer_list<std::string_view> valueNames);

    const AnsiString& Name() const { return name_; }
    int Count() const { return static_cast<int>(valueNames_.size()); }
    const std::vector<AnsiString>& ValueNames() const { return valueNames_; }

private:
    AnsiString name_;
    std::vector<AnsiString> valueNames_;
};

// The name of value, "" when it is out of range.
AnsiString GetEnumName(const TEnumInfo& info, int value);
// The value named name (case-insensitive), -1 when there is none.
int GetEnumValue(const TEnumInfo& info, std::string_view name);

class TPropInfo {
public:
    const AnsiString& Name() const { return name_; }
    TPropKind Kind() const { return kind_; }
    bool Readable() const;
    bool Writable() const;
    // Enumeration properties: their value names.
    const TEnumInfo* EnumInfo() const { return enumInfo_; }
    // Object, string-list and font properties: the class their object is declared with.
    const TClassInfo* ObjectClass() const { return objectClass_; }

private:
    template <class T>
    friend class TClassTable;
    friend AnsiString GetStrProp(const TObject&, const TPropInfo&);
    friend void SetStrProp(TObject&, const TPropInfo&, const AnsiString&);
    friend int GetOrdProp(const TObject&, const TPropInfo&);
    friend void SetOrdProp(TObject&, const TPropInfo&, int);
    friend TPersistent* GetObjectProp(TObject&, const TPropInfo&);
    friend void SetObjectProp(TObject&, const TPropInfo&, TPersistent*);

    TPropInfo(std::string_view name, TPropKind kind) : name_(name), kind_(kind) {}

    AnsiString name_;
    TPropKind kind_;
    const TEnumInfo* enumInfo_ = nullptr;
    const TClassInfo* objectClass_ = nullptr;
    std::function<AnsiString(const TObject&)> getStr_;
    std::function<void(TObject&, const AnsiString&)> setStr_;
    std::function<int(const TObject&)> getOrd_;
    std::function<void(TObject&, int)> setOrd_;
    std::function<TPersistent*(TObject&)> getObj_;
    std::function<void(TObject&, TPersistent*)> setObj_;
};

namespace detail {

[[noreturn]] void RaiseForeignProperty(const AnsiString& prop, const TObject& obj);
[[noreturn]] void RaiseInvalidPropertyValue();

// The object as the class that declared the property; a property applied to an object of
// another class is an error, not a bad cast.
template <class T, class Obj>
auto& Downcast(Obj& obj, const AnsiString& prop) {
    using Target = std::conditional_t<std::is_const_v<Obj>, const T, T>;
    auto* p = dynamic_cast<Target*>(&obj);
    if (p == nullptr) {
        RaiseForeignProperty(prop, obj);
    }
    return *p;
}

} // namespace detail

// Builds the property entries of class T; see the example at the top of this file.
template <class T>
class TClassTable {
public:
    template <class G, class S>
    TClassTable& String(std::string_view name, G get, S set) {
        TPropInfo& p = Add(name, TPropKind::String);
        if constexpr (!std::is_null_pointer_v<G>) {
            p.getStr_ = [get, n = p.name_](const TObject& o) -> AnsiString {
                return std::invoke(get, detail::Downcast<T>(o, n));
            };
        }
        if constexpr (!std::is_null_pointer_v<S>) {
            p.setStr_ = [set, n = p.name_](TObject& o, const AnsiString& v) {
                std::invoke(set, detail::Downcast<T>(o, n), v);
            };
        }
        return *this;
    }

    template <class G, class S>
    TClassTable& Integer(std::string_view name, G get, S set) {
        AddOrdinal(name, TPropKind::Integer, get, set, [](int v) { return v; });
        return *this;
    }

    template <class G, class S>
    TClassTable& Boolean(std::string_view name, G get, S set) {
        AddOrdinal(name, TPropKind::Boolean, get, set, [](int v) {
            if (v != 0 && v != 1) {
                detail::RaiseInvalidPropertyValue();
            }
            return v == 1;
        });
        return *this;
    }

    // The enumeration type is the getter's result; values outside info's range are refused.
    template <class G, class S>
    TClassTable& Enumeration(std::string_view name, const TEnumInfo& info, G get, S set) {
        using E = std::decay_t<std::invoke_result_t<G, const T&>>;
        static_assert(std::is_enum_v<E>, "an enumeration property's getter returns the enum");
        TPropInfo& p =
            AddOrdinal(name, TPropKind::Enumeration, get, set, [count = info.Count()](int v) {
                if (v < 0 || v >= count) {
                    detail::RaiseInvalidPropertyValue();
                }
                return static_cast<E>(v);
            });
        p.enumInfo_ = &info;
        return *this;
    }

    template <class G, class S>
    TClassTable& Object(std::string_view name, G get, S set) {
        return AddObject(name, TPropKind::Object, get, set);
    }
    template <class G, class S>
    TClassTable& StringList(std::string_view name, G get, S set) {
        return AddObject(name, TPropKind::StringList, get, set);
    }
    template <class G, class S>
    TClassTable& Font(std::string_view name, G get, S set) {
        return AddObject(name, TPropKind::Font, get, set);
    }

    TClassTable& Event(std::string_view name) {
        Add(name, TPropKind::Event);
        return *this;
    }

    std::vector<TPropInfo> Take() { return std::move(props_); }

private:
    TPropInfo& Add(std::string_view name, TPropKind kind) {
        props_.push_back(TPropInfo(name, kind));
        return props_.back();
    }

    // An integer, boolean or enumeration property: the setter takes the value that toType makes
    // of the integer, toType refusing what is out of range before the object is looked at.
    template <class G, class S, class ToType>
    TPropInfo& AddOrdinal(std::string_view name, TPropKind kind, G get, S set, ToType toType) {
        TPropInfo& p = Add(name, kind);
        if constexpr (!std::is_null_pointer_v<G>) {
            p.getOrd_ = [get, n = p.name_](const TObject& o) {
                return static_cast<int>(std::invoke(get, detail::Downcast<T>(o, n)));
            };
        }
        if constexpr (!std::is_null_pointer_v<S>) {
            p.setOrd_ = [set, toType, n = p.name_](TObject& o, int v) {
                const auto value = toType(v);
                std::invoke(set, detail::Downcast<T>(o, n), value);
            };
        }
        return p;
    }

    // The object's class is the getter's result type; a value of any other class is refused.
    template <class G, class S>
    TClassTable& AddObject(std::string_view name, TPropKind kind, G get, S set) {
        using R = std::remove_pointer_t<std::invoke_result_t<G, T&>>;
        static_assert(std::is_base_of_v<TPersistent, R>,
                      "an object property's getter returns a pointer to a TPersistent");
        TPropInfo& p = Add(name, kind);
        p.objectClass_ = &R::StaticClassInfo();
        p.getObj_ = [get, n = p.name_](TObject& o) -> TPersistent* {
            return std::invoke(get, detail::Downcast<T>(o, n));
        };
        if constexpr (!std::is_null_pointer_v<S>) {
            p.setObj_ = [set, n = p.name_](TObject& o, TPersistent* v) {
                R* typed = dynamic_cast<R*>(v);
                if (v != nullptr && typed == nullptr) {
                    detail::RaiseInvalidPropertyValue();
                }
                std::invoke(set, detail::Downcast<T>(o, n), typed);
            };
        }
        return *this;
    }

    std::vector<TPropInfo> props_;
};

class TClassInfo {
public:
    TClassInfo(std::string_view name, const TClassInfo* parent);
    template <class T>
    TClassInfo(std::string_view name, const TClassInfo* parent, TClassTable<T> table)
        : TClassInfo(name, parent, table.Take()) {}
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    const AnsiString& Name() const { return name_; }
    const TClassInfo* Parent() const { return parent_; }
    // True for this class and every class it derives from.
    bool InheritsFrom(const TClassInfo& ancestor) const;
    // nullptr when the class publishes no property of that name.
    const TPropInfo* FindProp(std::string_view name) const;
    // The inherited properties first, in their order, then the class's own.
    const std::vector<const TPropInfo*>& Props() const { return all_; }

private:
    TClassInfo(std::string_view name, const TClassInfo* parent, std::vector<TPropInfo> own);

    AnsiString name_;
    const TClassInfo* parent_;
    std::vector<TPropInfo> own_;
    std::vector<const TPropInfo*> all_;
};

const TPropInfo* FindPropInfo(const TObject& obj, std::string_view name);
const std::vector<const TPropInfo*>& GetPropList(const TObject& obj);

// Each accessor raises EPropertyError when the property is of another kind ("Invalid property
// type: <name>"), cannot be read or written ("Property <name> is write-only"/"... is read-only"),
// belongs to an unrelated class, or is given a value it cannot hold ("Invalid property value").
AnsiString GetStrProp(const TObject& obj, const TPropInfo& prop);
void SetStrProp(TObject& obj, const TPropInfo& prop, const AnsiString& value);
// Integer, Boolean (0 or 1) and Enumeration (the ordinal) properties.
int GetOrdProp(const TObject& obj, const TPropInfo& prop);
void SetOrdProp(TObject& obj, const TPropInfo& prop, int value);
// Object, StringList and Font properties. A string list or font is returned so that the caller
// can Assign to it in place.
TPersistent* GetObjectProp(TObject& obj, const TPropInfo& prop);
void SetObjectProp(TObject& obj, const TPropInfo& prop, TPersistent* value);

} // namespace kq
