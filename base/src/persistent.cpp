#include "base/persistent.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/properties.h"

namespace kq {

const TClassInfo& TObject::StaticClassInfo() {
    static const TClassInfo info("TObject", nullptr);
    return info;
}

const TClassInfo& TObject::ClassInfo() const {
    return StaticClassInfo();
}

AnsiString TObject::ClassName() const {
    return ClassInfo().Name();
}

const TClassInfo& TPersistent::StaticClassInfo() {
    static const TClassInfo info("TPersistent", &TObject::StaticClassInfo());
    return info;
}

const TClassInfo& TPersistent::ClassInfo() const {
    return StaticClassInfo();
}

void TPersistent::Assign(const TPersistent* source) {
    if (source == nullptr) {
        AssignError(nullptr);
    }
    source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const {
    dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const {
    const AnsiString sourceName = source != nullptr ? source->ClassName() : AnsiString("nil");
    throw EConvertError(Format("Cannot assign a %s to a %s", {sourceName, ClassName()}));
}

} // namespace kq
