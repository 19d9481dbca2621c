// The engine's object lists: a growable list of object references that may own them, and a
// sorted variant that keeps its items in the order of a comparison.
//
// Capacity grows in small steps (4, then 8, then 16 at a time) and never beyond 65534, so the
// largest list holds 65520 items: the catalogue of an archive is limited to as many entries.
#pragma once

#include "base/persistent.h"
#include "base/string_list.h"

#include <vector>

namespace kq {

class TObjectList : public TPersistent {
public:
    static constexpr int kMaxCapacity = 0xFFFE;

    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TObjectList(bool destroyItems = true) : destroyItems_(destroyItems) {}
    ~TObjectList() override;
    TObjectList(const TObjectList&) = delete;
    TObjectList& operator=(const TObjectList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    int Capacity() const { return capacity_; }
    // EListError when capacity is above kMaxCapacity or below Count.
    void SetCapacity(int capacity);

    // Every index outside 0..Count-1 raises EListError.
    TObject* Items(int index) const;
    virtual void Put(int index, TObject* item);
    // Appends item; returns its index.
    virtual int Add(TObject* item);
    virtual void Insert(int index, TObject* item);
    // Removes the item at index, freeing it when the list owns its items.
    void Delete(int index);
    // Removes item without freeing it; its former index, or -1 when it was not in the list.
    int Extract(TObject* item);
    // Removes every item, freeing them when the list owns its items.
    void Clear();

    TObject* First() const { return Items(0); }
    TObject* Last() const { return Items(Count() - 1); }
    // Index of this very object, -1 when absent.
    int IndexOf(const TObject* item) const;
    // The item step places after item (before it for a negative step); EListError
    // "tObject <class> not in item list" when item is not in the list.
    TObject* Relative(const TObject* item, int step) const;

    // True (the default) when the list frees its items on Delete, Clear and destruction.
    bool DestroyItems() const { return destroyItems_; }
    void SetDestroyItems(bool value) { destroyItems_ = value; }

protected:
    void InsertAt(int index, TObject* item);
    [[noreturn]] static void IndexError(int index);

private:
    void Grow();

    std::vector<TObject*> items_;
    int capacity_ = 0;
    bool destroyItems_;
};

class TSortedObjectList : public TObjectList {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TSortedObjectList(TDuplicates duplicates = TDuplicates::dupIgnore,
                               bool destroyItems = true)
        : TObjectList(destroyItems), duplicates_(duplicates) {}

    // Inserts item at its place in the order. An item equal to one in the list is not inserted
    // under dupIgnore (the result is -1 and item stays the caller's), raises EListError
    // "Duplicate Object index" under dupError, and goes before the equal items under dupAccept.
    int Add(TObject* item) override;
    // A sorted list decides the places itself: EListError "Cannot <Put> an Object in a sorted
    // list!".
    void Put(int index, TObject* item) override;
    void Insert(int index, TObject* item) override;

    // Index of an item equal to key, -1 when there is none.
    int Find(const TObject* key) const;

    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates value) { duplicates_ = value; }

protected:
    // Negative when existing orders before added, zero when they are equal, positive after.
    virtual int Compare(const TObject* existing, const TObject* added) const = 0;

private:
    // The first index whose item does not order before item.
    int LowerBound(const TObject* item) const;

    TDuplicates duplicates_;
};

} // namespace kq
