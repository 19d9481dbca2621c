// The roots of the class tree: TObject, which every published class derives from, and
// TPersistent, the objects that can copy themselves from one another with Assign.
#pragma once

#include "base/strings.h"

#include <functional>

namespace kq {

class TClassInfo;

class TObject {
public:
    virtual ~TObject() = default;

    // The class's published description (name, parent, properties); each published class
    // overrides it to return its own StaticClassInfo().
    virtual const TClassInfo& ClassInfo() const;
    static const TClassInfo& StaticClassInfo();

    virtual AnsiString ClassName() const;
};

// The plain event: the object that raised it.
using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {
public:
    const TClassInfo& ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // Copies source's content into this object. The default asks source to do it (AssignTo);
    // classes that know how to copy from source override this and fall back to it otherwise.
    virtual void Assign(const TPersistent* source);

protected:
    // Copies this object's content into dest. The default refuses, which is how an Assign
    // between unrelated classes ends in an error.
    virtual void AssignTo(TPersistent* dest) const;

    // EConvertError "Cannot assign a <source class> to a <this class>", "nil" for no source.
    [[noreturn]] void AssignError(const TPersistent* source) const;
};

} // namespace kq
