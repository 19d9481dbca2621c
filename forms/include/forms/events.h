// Wiring events to a form's handlers by name.
//
// A stored window description says which handler of the form serves which event of which
// component ("OnClick = ButtonNext1Click"). Two tables make that possible without either side
// knowing the other:
//   - event slots: for a component class, the event members it has (TButton's OnClick), each of
//     a std::function type;
//   - a form's method table: its handlers by name, each turned into a std::function of the
//     handler's own signature when bound.
// Binding succeeds only when the handler's std::function type is exactly the event's type.
#pragma once

#include "base/component.h"
#include "base/exceptions.h"
#include "base/properties.h"
#include "base/strings.h"

#include <any>
#include <functional>
#include <string_view>
#include <typeindex>
#include <utility>
#include <vector>

namespace kq {

class TForm;

// An event member of a component class.
struct TEventSlot {
    const TClassInfo* Class;
    AnsiString Name;
    std::type_index Type;
    // Stores a handler (a std::any holding a std::function of Type) into a component.
    std::function<void(TComponent& component, const std::any& handler)> Assign;
};

void RegisterEventSlot(TEventSlot slot);

// Declares `T::*member` as the event `name` of class T (and of the classes derived from it).
template <class T, class Fn>
void RegisterEvent(std::string_view name, Fn T::*member) {
    RegisterEventSlot(TEventSlot{&T::StaticClassInfo(), AnsiString(name), typeid(Fn),
                                 [member](TComponent& component, const std::any& handler) {
                                     dynamic_cast<T&>(component).*member =
                                         std::any_cast<const Fn&>(handler);
                                 }});
}

// The event `name` of the class or of the nearest class it derives from that declares one;
// nullptr when there is none.
const TEventSlot* FindEventSlot(const TClassInfo& cls, std::string_view name);

// The handlers of a form class, by name.
class TMethodTable {
public:
    struct Entry {
        AnsiString Name;
        std::type_index Type;
        // The handler bound to a form: a std::function of Type in a std::any.
        std::function<std::any(TForm& form)> Bind;
    };

    template <class Form, class R, class... A>
    TMethodTable& Method(std::string_view name, R (Form::*method)(A...)) {
        using Fn = std::function<R(A...)>;
        entries_.push_back(Entry{AnsiString(name), typeid(Fn), [method](TForm& form) -> std::any {
                                     Form* self = &dynamic_cast<Form&>(form);
                                     return Fn([self, method](A... args) -> R {
                                         return (self->*method)(std::forward<A>(args)...);
                                     });
                                 }});
        return *this;
    }

    // Handler names are found ignoring case; nullptr when there is none.
    const Entry* Find(std::string_view name) const;

private:
    std::vector<Entry> entries_;
};

} // namespace kq
