// The classes the form loader can create by name: a stored window description names each
// control's class ("TButton"), and the loader finds here how to make one with its owner.
//
// Registration happens once at start-up, before any window is created; names are compared
// case-insensitively.
#pragma once

#include "base/component.h"
#include "base/properties.h"

#include <string_view>

namespace kq {

using TComponentFactory = TComponent* (*)(TComponent* owner);

struct TComponentClass {
    const TClassInfo* info;
    TComponentFactory create;
};

// Registering the same class again does nothing; another class under a taken name raises
// EFilerError "A class named <name> already exists".
void RegisterClass(const TClassInfo& info, TComponentFactory create);

template <class T>
void RegisterClass() {
    RegisterClass(T::StaticClassInfo(),
                  [](TComponent* owner) -> TComponent* { return new T(owner); });
}

// nullptr when no class of that name is registered.
const TComponentClass* GetClass(std::string_view name);
// EClassNotFound "Class <name> not found" when no class of that name is registered.
const TComponentClass& FindClass(std::string_view name);

} // namespace kq
