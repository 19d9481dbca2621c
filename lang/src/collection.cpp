#include "lang/collection.h"

#include "base/properties.h"

namespace kq {

const TClassInfo& TCollection::StaticClassInfo() {
    static const TClassInfo info("TCollection", &TPersistent::StaticClassInfo());
    return info;
}

} // namespace kq
