// TObjectList and TSortedObjectList: capacity steps and limit, index errors, ownership, and the
// duplicates policies of the sorted list.
#include "base/exceptions.h"
#include "unzip/object_list.h"
#include "unzip/zip_records.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

// Counts its own destructions, so ownership can be observed.
class Tracked : public TObject {
public:
    Tracked(int key, int* destroyed) : key(key), destroyed_(destroyed) {}
    ~Tracked() override {
        if (destroyed_ != nullptr)
            ++*destroyed_;
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

template <class F>
std::string ListErrorOf(F&& action) {
    try {
        action();
    } catch (const EListError& e) {
        return e.Message();
    }
    return "(no EListError)";
}

TEST(ObjectList, CapacityGrowsByFourThenEightThenSixteen) {
    // Capacity after adding the n-th item, worked out from the steps 4, 8, 16, 16...
    const std::vector<std::pair<int, int>> expected = {
        {1, 4}, {4, 4}, {5, 8}, {8, 8}, {9, 16}, {16, 16}, {17, 32}, {33, 48}, {49, 64}};
    TObjectList list(false);
    int added = 0;
    for (auto [count, capacity] : expected) {
        while (added < count) {
            list.Add(nullptr);
            ++added;
        }
        EXPECT_EQ(list.Capacity(), capacity) << "after " << count << " items";
    }
}

TEST(ObjectList, HoldsAtMost65520Items) {
    TObjectList list(false);
    for (int i = 0; i < 65520; ++i)
        list.Add(nullptr);
    EXPECT_EQ(list.Capacity(), 65520);
    // The next step would make the capacity 65536, above the limit of 65534.
    EXPECT_EQ(ListErrorOf([&] { list.Add(nullptr); }), "List capacity out of bounds (65536)");
    EXPECT_EQ(list.Count(), 65520);
}

TEST(ObjectList, CapacityLimits) {
    TObjectList list(false);
    list.SetCapacity(65534);
    EXPECT_EQ(list.Capacity(), 65534);
    EXPECT_EQ(ListErrorOf([&] { list.SetCapacity(65535); }), "List capacity out of bounds (65535)");
    list.SetCapacity(4);
    list.Add(nullptr);
    list.Add(nullptr);
    EXPECT_EQ(ListErrorOf([&] { list.SetCapacity(1); }), "List capacity out of bounds (1)");
}

TEST(ObjectList, IndexErrors) {
    TObjectList list(false);
    Tracked a(1, nullptr);
    list.Add(&a);
    struct Case {
        const char* what;
        std::function<void()> action;
        const char* message;
    };
    const Case cases[] = {
        {"Items(-1)", [&] { list.Items(-1); }, "List index out of bounds (-1)"},
        {"Items(Count)", [&] { list.Items(1); }, "List index out of bounds (1)"},
        {"Put(Count)", [&] { list.Put(1, &a); }, "List index out of bounds (1)"},
        {"Insert(Count + 1)", [&] { list.Insert(2, &a); }, "List index out of bounds (2)"},
        {"Delete(Count)", [&] { list.Delete(1); }, "List index out of bounds (1)"},
        {"Relative past the end", [&] { list.Relative(&a, 1); }, "List index out of bounds (1)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListErrorOf(c.action), c.message) << c.what;
    TObjectList empty(false);
    EXPECT_EQ(ListErrorOf([&] { empty.First(); }), "List index out of bounds (0)");
    EXPECT_EQ(ListErrorOf([&] { empty.Last(); }), "List index out of bounds (-1)");
}

TEST(ObjectList, FindsByIdentityAndStepsRelatively) {
    TObjectList list(false);
    Tracked a(1, nullptr), b(1, nullptr), c(2, nullptr);
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    EXPECT_EQ(list.IndexOf(&b), 1) << "an equal key is not the same object";
    EXPECT_EQ(list.IndexOf(nullptr), -1);
    EXPECT_EQ(list.First(), &a);
    EXPECT_EQ(list.Last(), &c);
    EXPECT_EQ(list.Relative(&a, 2), &c);
    EXPECT_EQ(list.Relative(&c, -1), &b);
    TZipHeaderInfo stranger;
    EXPECT_EQ(ListErrorOf([&] { list.Relative(&stranger, 0); }),
              "tObject TZipHeaderInfo not in item list");
}

TEST(ObjectList, OwnedItemsAreFreedOnDeleteClearAndDestruction) {
    int destroyed = 0;
    {
        TObjectList list;
        for (int i = 0; i < 4; ++i)
            list.Add(new Tracked(i, &destroyed));
        list.Delete(0);
        EXPECT_EQ(destroyed, 1) << "Delete frees an owned item";
        list.Put(0, new Tracked(9, &destroyed));
        EXPECT_EQ(destroyed, 2) << "Put frees the item it replaces";
        list.Clear();
        EXPECT_EQ(destroyed, 5) << "Clear frees the three left";
        EXPECT_EQ(list.Capacity(), 0);
        list.Add(new Tracked(5, &destroyed));
    }
    EXPECT_EQ(destroyed, 6) << "destruction frees what is left";
}

TEST(ObjectList, ItemsNotOwnedAreLeftAlone) {
    int destroyed = 0;
    Tracked a(1, &destroyed);
    {
        TObjectList list(false);
        list.Add(&a);
        list.Delete(0);
        list.Add(&a);
        list.Clear();
        list.Add(&a);
    }
    EXPECT_EQ(destroyed, 0);
}

TEST(SortedObjectList, DuplicatesPolicies) {
    int destroyed = 0;
    Tracked one(1, &destroyed), three(3, &destroyed), again(3, &destroyed);

    KeyList ignoring(TDuplicates::dupIgnore, false);
    ignoring.Add(&three);
    ignoring.Add(&one);
    EXPECT_EQ(ignoring.Add(&again), -1) << "dupIgnore refuses an equal item";
    EXPECT_EQ(ignoring.Count(), 2);

    KeyList refusing(TDuplicates::dupError, false);
    refusing.Add(&three);
    EXPECT_EQ(ListErrorOf([&] { refusing.Add(&again); }), "Duplicate Object index");
    EXPECT_EQ(refusing.Count(), 1);

    KeyList accepting(TDuplicates::dupAccept, false);
    accepting.Add(&one);
    accepting.Add(&three);
    EXPECT_EQ(accepting.Add(&again), 1) << "an accepted duplicate goes before its equals";
    EXPECT_EQ(accepting.Items(1), &again);
    EXPECT_EQ(accepting.Items(2), &three);
    EXPECT_EQ(destroyed, 0);
}

TEST(SortedObjectList, AcceptedDuplicatesComeOutInReverseOrderOfInsertion) {
    std::vector<Tracked> items;
    for (int key : {5, 2, 5, 8, 5, 2})
        items.emplace_back(key, nullptr);
    KeyList list(TDuplicates::dupAccept, false);
    for (Tracked& item : items)
        list.Add(&item);
    // Keys ascending; within equal keys the last inserted first.
    const std::vector<Tracked*> expected = {&items[5], &items[1], &items[4],
                                            &items[2], &items[0], &items[3]};
    ASSERT_EQ(list.Count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(list.Items(i), expected[static_cast<size_t>(i)]) << "position " << i;
}

TEST(SortedObjectList, RefusesChosenPositionsAndFindsKeys) {
    Tracked a(1, nullptr), b(4, nullptr), key(4, nullptr), missing(3, nullptr);
    KeyList list(TDuplicates::dupError, false);
    list.Add(&b);
    list.Add(&a);
    EXPECT_EQ(ListErrorOf([&] { list.Put(0, &a); }), "Cannot <Put> an Object in a sorted list!");
    EXPECT_EQ(ListErrorOf([&] { list.Insert(0, &a); }), "Cannot <Put> an Object in a sorted list!");
    EXPECT_EQ(list.Find(&key), 1);
    EXPECT_EQ(list.Find(&missing), -1);
}

} // namespace
} // namespace kq
