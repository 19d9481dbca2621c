// Sorted string lists: the order follows CompareStrings (ASCII case-insensitive by default, or a
// subclass's comparison), the duplicates policy decides what Add does with a string already
// there, and nothing that would break the order is allowed.
#include "base/exceptions.h"
#include "base/string_list.h"
#include "test/raises.h"
#include "test/rows.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using Lines = std::vector<std::string>;

TEST(SortedListTest, AddKeepsCaseInsensitiveAsciiOrder) {
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"b", "_x", "A", "c", "\xB0\xA1", "Z"}) {
        list.Add(s);
    }
    // "_" (5F) sorts after the letters folded to capitals (41-5A); bytes above 7F last.
    EXPECT_EQ(test::Rows(list), (Lines{"A", "b", "c", "Z", "_x", "\xB0\xA1"}));
}

TEST(SortedListTest, SetSortedSortsTheExistingStrings) {
    TStringList list;
    list.SetCommaText("pear,Apple,fig");
    list.SetSorted(true);
    EXPECT_EQ(test::Rows(list), (Lines{"Apple", "fig", "pear"}));
    list.SetSorted(false);
    list.Insert(0, "zz");
    EXPECT_EQ(test::Rows(list), (Lines{"zz", "Apple", "fig", "pear"}));
}

TEST(SortedListTest, DuplicatesPolicies) {
    struct Case {
        const char* name;
        TDuplicates policy;
        Lines expected;
    };
    // Adding "c", "b", "b", "b", "a" and then "B", which equals "b".
    const std::vector<Case> cases = {
        {"ignore", TDuplicates::dupIgnore, {"a", "b", "c"}},
        {"accept before all the equal ones",
         TDuplicates::dupAccept,
         {"a", "B", "b", "b", "b", "c"}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(c.policy);
        for (const char* s : {"c", "b", "b", "b", "a"}) {
            list.Add(s);
        }
        const int index = list.Add("B");
        EXPECT_EQ(test::Rows(list), c.expected) << c.name;
        EXPECT_EQ(index, 1) << c.name;
    }

    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(TDuplicates::dupError);
    list.Add("b");
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { list.Add("B"); }),
              "String list does not allow duplicates");
    EXPECT_EQ(test::Rows(list), (Lines{"b"}));
}

TEST(SortedListTest, FindGivesPositionOrInsertionPoint) {
    TStringList list;
    list.SetSorted(true);
    list.SetCommaText("a,c,e");
    struct Case {
        const char* s;
        bool found;
        int index;
    };
    for (const Case& c : std::vector<Case>{
             {"A", true, 0}, {"E", true, 2}, {"b", false, 1}, {"0", false, 0}, {"f", false, 3}}) {
        int index = -1;
        EXPECT_EQ(list.Find(c.s, index), c.found) << c.s;
        EXPECT_EQ(index, c.index) << c.s;
        EXPECT_EQ(list.IndexOf(c.s), c.found ? c.index : -1) << c.s;
    }
}

TEST(SortedListTest, OperationsThatWouldBreakTheOrderAreRefused) {
    TStringList list;
    list.SetSorted(true);
    list.SetCommaText("a,b,c");
    const std::string message = "Operation not allowed on sorted list";
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { list.Insert(0, "z"); }), message) << "Insert";
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { list.Put(0, "z"); }), message) << "Put";
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { list.Move(0, 2); }), message) << "Move";
    EXPECT_EQ(test::RaisedMessage<EListError>([&] { list.Exchange(0, 2); }), message) << "Exchange";
    EXPECT_EQ(test::Rows(list), (Lines{"a", "b", "c"}));
}

TEST(SortedListTest, ChangingCaseSensitivityResorts) {
    TStringList list;
    list.SetSorted(true);
    list.SetCommaText("a,B");
    EXPECT_EQ(test::Rows(list), (Lines{"a", "B"}));
    list.SetCaseSensitive(true);
    EXPECT_EQ(test::Rows(list), (Lines{"B", "a"})); // 42 before 61
    EXPECT_EQ(list.IndexOf("a"), 1);
    EXPECT_EQ(list.IndexOf("A"), -1);
    list.SetCaseSensitive(false);
    EXPECT_EQ(list.IndexOf("A"), 0);
}

TEST(SortedListTest, SetValueKeepsASortedListSorted) {
    TStringList list;
    list.SetSorted(true);
    list.SetCommaText("a=1,b=2,m=3");
    list.SetValue("a", "9");
    EXPECT_EQ(test::Rows(list), (Lines{"a=9", "b=2", "m=3"}));
    list.SetValue("c", "4");
    EXPECT_EQ(test::Rows(list), (Lines{"a=9", "b=2", "c=4", "m=3"}));
    list.SetValue("b", "");
    EXPECT_EQ(test::Rows(list), (Lines{"a=9", "c=4", "m=3"}));
    list.SetValue("m", "0");
    EXPECT_EQ(list.Values("m"), "0");
}

// A comparison of a subclass decides sorting, finding and duplicates.
class TByLengthList : public TStringList {
protected:
    int CompareStrings(std::string_view a, std::string_view b) const override {
        return static_cast<int>(a.size()) - static_cast<int>(b.size());
    }
};

TEST(SortedListTest, SubclassComparisonIsUsedThroughout) {
    TByLengthList list;
    list.SetCommaText("ccc,a,bb");
    list.Sort();
    EXPECT_EQ(test::Rows(list), (Lines{"a", "bb", "ccc"}));
    list.SetSorted(true);
    EXPECT_EQ(list.IndexOf("xx"), 1);
    list.Add("q"); // same length as "a": ignored
    EXPECT_EQ(list.Count(), 3);
}

// A comparison that is not an order must not take the sort outside the list.
class TInconsistentList : public TStringList {
protected:
    int CompareStrings(std::string_view, std::string_view) const override { return -1; }
};

TEST(SortedListTest, InconsistentComparisonStaysInBounds) {
    TInconsistentList list;
    for (int i = 0; i < 100; ++i) {
        list.Add(std::to_string(i));
    }
    list.SetSorted(true);
    EXPECT_EQ(list.Count(), 100);
}

} // namespace
} // namespace kq
