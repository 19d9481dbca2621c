// The form loader: makes a form's components from its stored window description.
//
// The stored description is built from a readable source by the build (see
// setup/resources/scripts/form_description.py, which documents the source). Stored layout, all
// numbers little-endian:
//
//   description := "KQWD" version:u8(=1) component
//   component   := class:name8 name:name8 count:u16 property*count count:u16 component*count
//   property    := path:name8 value       path: "Caption", or "Font.Name" through object
//                                          properties
//   value       := tag:u8 then, by tag:
//                  1 integer   i32
//                  2 string    length:u32 bytes
//                  3 ident     name8      an enumeration value, True/False, a colour, cursor or
//                                          character-set name, a component's name (reference),
//                                          or a handler's name (for an event)
//                  4 set       count:u8 name8*count
//                  5 list      count:u32 (length:u32 bytes)*count
//                  6 binary    length:u32 bytes
//   name8       := length:u8 bytes
//
// Loading, in this order: the root record must name the form's class; its name and properties go
// to the form. Each child record makes a component of the registered class, owned by the form,
// named, and placed in the enclosing control when it is a control (before its properties are
// set, so that it follows its parent's font and colour). Properties are set in stored order;
// references to components are resolved once every record has been read; then every component,
// the form first, ends its loading (Loaded) in the order read.
//
// Values meet properties so: integer -> integer; string -> string; ident -> boolean, enumeration,
// integer (by name), component reference, or event (the form's handler of that name); set ->
// string property, as its text "[A, B]"; list -> string-list property (replaced); binary -> a
// binary property registered for the object's class (RegisterBinaryProperty).
//
// Every failure raises EFilerError naming the component and property: "Error reading
// Form1.Caption: <reason>"; a damaged description raises EFilerError "Invalid window description:
// <what>".
#pragma once

#include "base/persistent.h"
#include "base/properties.h"
#include "forms/form.h"

#include <functional>
#include <string_view>

namespace kq {

void LoadFormDescription(TForm& form, std::string_view description);

// Data that a class reads itself from a block of bytes (a picture's file, a translation table).
using TBinaryPropertyReader = std::function<void(TPersistent& object, std::string_view bytes)>;
void RegisterBinaryProperty(const TClassInfo& cls, std::string_view name,
                            TBinaryPropertyReader reader);

template <class T>
void RegisterBinaryProperty(std::string_view name, void (*read)(T&, std::string_view)) {
    RegisterBinaryProperty(T::StaticClassInfo(), name,
                           [read](TPersistent& object, std::string_view bytes) {
                               read(dynamic_cast<T&>(object), bytes);
                           });
}

// Registers the toolkit's classes (for loading by class name), their events and binary
// properties. Safe to call more than once; LoadFormDescription calls it.
void RegisterFormsClasses();

} // namespace kq
