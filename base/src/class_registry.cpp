#include "base/class_registry.h"

#include "base/exceptions.h"
#include "base/format.h"

#include <deque>

namespace kq {

namespace {

std::deque<TComponentClass>& Registry() {
    static std::deque<TComponentClass> classes; // a deque: entries never move
    return classes;
}

} // namespace

void RegisterClass(const TClassInfo& info, TComponentFactory create) {
    if (const TComponentClass* existing = GetClass(info.Name())) {
        if (existing->info != &info) {
            throw EFilerError(Format("A class named %s already exists", {info.Name()}));
        }
        return;
    }
    Registry().push_back(TComponentClass{&info, create});
}

const TComponentClass* GetClass(std::string_view name) {
    for (const TComponentClass& c : Registry()) {
        if (SameText(c.info->Name(), name)) {
            return &c;
        }
    }
    return nullptr;
}

const TComponentClass& FindClass(std::string_view name) {
    const TComponentClass* c = GetClass(name);
    if (c == nullptr) {
        throw EClassNotFound(Format("Class %s not found", {name}));
    }
    return *c;
}

} // namespace kq
