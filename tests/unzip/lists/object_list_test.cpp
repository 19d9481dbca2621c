// TObjectList and TSortedObjectList: capacity steps and limit, index errors, ownership, and the
// duplicates policies of the sorted list.
#include "base/exceptions.h"
#include "support/zip_fixtures.h"
#include "test/raises.h"
#include "unzip/object_list.h"
#include "unzip/zip_records.h"

#include <gtest/gtest.h>
#include <vector>

namespace kq {
namespace {

using test::RaisedMessage;

// Counts its own destructions, so ownership can be observed.
class Tracked : public TObject {
public:
    Tracked(int key, int* destroyed = nullptr) : key(key), destroyed_(destroyed) {}
    ~Tracked() override {
        if (destroyed_ != nullptr) {
            ++*destroyed_;
        }
    }
    int key;

private:
    int* destroyed_;
};

class KeyList : public TSortedObjectList {
public:
    using TSortedObjectList::TSortedObjectList;

protected:
    int Compare(const TObject* existing, const TObject* added) const override {
        return static_cast<const Tracked*>(existing)->key - static_cast<const Tracked*>(added)->key;
    }
};

TEST(ObjectList, CapacityStepsAndLimit) {
    // Capacity after the n-th item, from the steps 4, 4, 8, then 16 at a time.
    const std::vector<std::pair<int, int>> steps = {{1, 4}, {5, 8}, {9, 16}, {17, 32}, {33, 48}};
    TObjectList list(false);
    for (auto [count, capacity] : steps) {
        while (list.Count() < count) {
            list.Add(nullptr);
        }
        EXPECT_EQ(list.Capacity(), capacity) << "after " << count << " items";
    }
    // (The step past 65520 entries is refused in the catalogue's capacity test.)
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.SetCapacity(65535); }),
              "List capacity out of bounds (65535)");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.SetCapacity(32); }),
              "List capacity out of bounds (32)")
        << "below the count";
}

TEST(ObjectList, IndexErrorsAndRelativeSteps) {
    TObjectList list(false);
    Tracked a(1), b(1);
    list.Add(&a);
    list.Add(&b);
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Items(2); }), "List index out of bounds (2)");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Items(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Insert(3, &a); }),
              "List index out of bounds (3)");
    EXPECT_EQ(list.IndexOf(&b), 1) << "found by identity, not by an equal key";
    EXPECT_EQ(list.Relative(&a, 1), &b);
    TZipHeaderInfo stranger;
    EXPECT_EQ(RaisedMessage<EListError>([&] { list.Relative(&stranger, 0); }),
              "tObject TZipHeaderInfo not in item list");
}

TEST(ObjectList, OwnedItemsAreFreed) {
    int destroyed = 0;
    {
        TObjectList list;
        for (int i = 0; i < 4; ++i) {
            list.Add(new Tracked(i, &destroyed));
        }
        list.Delete(0);
        list.Put(0, new Tracked(9, &destroyed));
        EXPECT_EQ(destroyed, 2) << "Delete and Put free the item they remove";
        list.Clear();
        EXPECT_EQ(destroyed, 5);
        list.Add(new Tracked(5, &destroyed));
        Tracked kept(6, &destroyed);
        list.Add(&kept);
        list.Extract(&kept);
    }
    EXPECT_EQ(destroyed, 7) << "destruction frees what is left; an extracted item is not freed "
                               "by the list";
}

TEST(SortedObjectList, DuplicatesPolicies) {
    Tracked one(1), three(3), again(3);
    KeyList ignoring(TDuplicates::dupIgnore, false);
    ignoring.Add(&three);
    EXPECT_EQ(ignoring.Add(&again), -1);
    EXPECT_EQ(ignoring.Count(), 1);

    KeyList refusing(TDuplicates::dupError, false);
    refusing.Add(&three);
    EXPECT_EQ(RaisedMessage<EListError>([&] { refusing.Add(&again); }), "Duplicate Object index");
    EXPECT_EQ(RaisedMessage<EListError>([&] { refusing.Put(0, &one); }),
              "Cannot <Put> an Object in a sorted list!");
    EXPECT_EQ(RaisedMessage<EListError>([&] { refusing.Insert(0, &one); }),
              "Cannot <Put> an Object in a sorted list!");
    EXPECT_EQ(refusing.Find(&again), 0);
    EXPECT_EQ(refusing.Find(&one), -1);

    KeyList accepting(TDuplicates::dupAccept, false);
    accepting.Add(&one);
    accepting.Add(&three);
    EXPECT_EQ(accepting.Add(&again), 1) << "an accepted duplicate goes before its equals";
}

} // namespace
} // namespace kq
