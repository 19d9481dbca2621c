#include "unzip/object_list.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "base/properties.h"

namespace kq {

// --- TObjectList ---------------------------------------------------------------------------------

const TClassInfo& TObjectList::StaticClassInfo() {
    static const TClassInfo info("TObjectList", &TPersistent::StaticClassInfo());
    return info;
}

TObjectList::~TObjectList() {
    Clear();
}

void TObjectList::IndexError(int index) {
    throw EListError(Format("List index out of bounds (%d)", {index}));
}

void TObjectList::SetCapacity(int capacity) {
    if (capacity > kMaxCapacity || capacity < Count()) {
        throw EListError(Format("List capacity out of bounds (%d)", {capacity}));
    }
    capacity_ = capacity;
}

void TObjectList::Grow() {
    const int delta = capacity_ < 5 ? 4 : capacity_ < 9 ? 8 : 16;
    SetCapacity(capacity_ + delta);
}

TObject* TObjectList::Items(int index) const {
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    return items_[static_cast<size_t>(index)];
}

void TObjectList::Put(int index, TObject* item) {
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    TObject*& slot = items_[static_cast<size_t>(index)];
    if (slot != item && destroyItems_) {
        delete slot;
    }
    slot = item;
}

int TObjectList::Add(TObject* item) {
    const int index = Count();
    InsertAt(index, item);
    return index;
}

void TObjectList::Insert(int index, TObject* item) {
    InsertAt(index, item);
}

void TObjectList::InsertAt(int index, TObject* item) {
    if (index < 0 || index > Count()) {
        IndexError(index);
    }
    if (Count() == capacity_) {
        Grow();
    }
    items_.insert(items_.begin() + index, item);
}

void TObjectList::Delete(int index) {
    TObject* item = Items(index);
    items_.erase(items_.begin() + index);
    if (destroyItems_) {
        delete item;
    }
}

int TObjectList::Extract(TObject* item) {
    const int index = IndexOf(item);
    if (index >= 0) {
        items_.erase(items_.begin() + index);
    }
    return index;
}

void TObjectList::Clear() {
    std::vector<TObject*> items;
    items.swap(items_);
    capacity_ = 0;
    if (destroyItems_) {
        for (TObject* item : items) {
            delete item;
        }
    }
}

int TObjectList::IndexOf(const TObject* item) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i] == item) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TObject* TObjectList::Relative(const TObject* item, int step) const {
    const int index = IndexOf(item);
    if (index < 0) {
        throw EListError(Format("tObject %s not in item list",
                                {item != nullptr ? item->ClassName() : AnsiString("nil")}));
    }
    return Items(index + step);
}

// --- TSortedObjectList ---------------------------------------------------------------------------

const TClassInfo& TSortedObjectList::StaticClassInfo() {
    static const TClassInfo info("TSortedObjectList", &TObjectList::StaticClassInfo());
    return info;
}

int TSortedObjectList::LowerBound(const TObject* item) const {
    int low = 0;
    int high = Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (Compare(Items(middle), item) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

int TSortedObjectList::Add(TObject* item) {
    const int index = LowerBound(item);
    const bool equal = index < Count() && Compare(Items(index), item) == 0;
    if (equal && duplicates_ == TDuplicates::dupIgnore) {
        return -1;
    }
    if (equal && duplicates_ == TDuplicates::dupError) {
        throw EListError("Duplicate Object index");
    }
    InsertAt(index, item);
    return index;
}

void TSortedObjectList::Put(int, TObject*) {
    throw EListError("Cannot <Put> an Object in a sorted list!");
}

void TSortedObjectList::Insert(int, TObject*) {
    throw EListError("Cannot <Put> an Object in a sorted list!");
}

int TSortedObjectList::Find(const TObject* key) const {
    const int index = LowerBound(key);
    if (index < Count() && Compare(Items(index), key) == 0) {
        return index;
    }
    return -1;
}

} // namespace kq
