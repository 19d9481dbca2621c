#pragma once

// TCollection: a list of items that a component publishes as one object property (a grid's
// columns, a status bar's panels). The translation table names an item by its position and one
// of the item's own published properties: "Grid1.Columns[2].Title".

#include "base/persistent.h"

namespace kq {

class TCollection : public TPersistent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    virtual int Count() const = 0;
    // The item at index, from 0; EListError "List index out of bounds (<index>)" otherwise.
    virtual TPersistent* Items(int index) = 0;
};

} // namespace kq
