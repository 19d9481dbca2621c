// Editing string lists: index checks, moving strings without losing them, name=value access,
// objects carried along, Assign, and the change events.
#include "base/component.h"
#include "base/exceptions.h"
#include "base/string_list.h"
#include "test/raises.h"
#include "test/rows.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using Lines = std::vector<std::string>;

TEST(StringListTest, BadIndexesRaiseListErrorWithTheIndex) {
    struct Case {
        const char* name;
        std::function<void(TStringList&)> action;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"Strings(-1)", [](TStringList& l) { l.Strings(-1); }, "List index out of bounds (-1)"},
        {"Strings(Count)", [](TStringList& l) { l.Strings(3); }, "List index out of bounds (3)"},
        {"Objects", [](TStringList& l) { l.Objects(7); }, "List index out of bounds (7)"},
        {"Put", [](TStringList& l) { l.Put(3, "x"); }, "List index out of bounds (3)"},
        {"PutObject", [](TStringList& l) { l.PutObject(-2, nullptr); },
         "List index out of bounds (-2)"},
        {"Delete", [](TStringList& l) { l.Delete(3); }, "List index out of bounds (3)"},
        {"Insert past the end", [](TStringList& l) { l.Insert(4, "x"); },
         "List index out of bounds (4)"},
        {"Move to past the end", [](TStringList& l) { l.Move(0, 5); },
         "List index out of bounds (5)"},
        {"Move from past the end", [](TStringList& l) { l.Move(3, 0); },
         "List index out of bounds (3)"},
        {"Exchange", [](TStringList& l) { l.Exchange(0, -1); }, "List index out of bounds (-1)"},
        {"Names", [](TStringList& l) { l.Names(9); }, "List index out of bounds (9)"},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetCommaText("a,b,c");
        EXPECT_EQ(test::RaisedMessage<EListError>([&] { c.action(list); }), c.message) << c.name;
        // A refused edit leaves every string where it was.
        EXPECT_EQ(test::Rows(list), (Lines{"a", "b", "c"})) << c.name;
    }
}

TEST(StringListTest, NamesAndValues) {
    TStringList list;
    list.Add("Name=x");
    list.Add("Path=C:\\a=b");
    list.Add("plain");
    list.Add("Empty=");
    EXPECT_EQ(list.IndexOfName("NAME"), 0);
    EXPECT_EQ(list.Values("path"), "C:\\a=b"); // only the first "=" separates
    EXPECT_EQ(list.Names(1), "Path");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.ValueFromIndex(2), "");
    EXPECT_EQ(list.IndexOfName("plain"), -1);
    EXPECT_EQ(list.IndexOfName("Empty"), 3);
    EXPECT_EQ(list.Values("missing"), "");

    list.SetValue("name", "y"); // replaced in place, written with the name as given
    list.SetValue("New", "1");
    list.SetValue("Path", "");
    EXPECT_EQ(test::Rows(list), (Lines{"name=y", "plain", "Empty=", "New=1"}));
}

TEST(StringListTest, ObjectsTravelWithTheirStringsButAreNotOwned) {
    TComponent first(nullptr);
    TComponent second(nullptr);
    TStringList list;
    list.AddObject("b", &second);
    list.AddObject("a", &first);
    list.Sort();
    EXPECT_EQ(list.Objects(0), &first);
    EXPECT_EQ(list.Objects(1), &second);

    TStringList copy;
    copy.Assign(&list);
    EXPECT_EQ(copy.Objects(0), &first);
    copy.AddStrings(list);
    EXPECT_EQ(copy.Objects(3), &second);
    copy.Clear(); // the components are still ours to delete
}

TEST(StringListTest, AssignCopiesFromStringsAndRefusesOtherClasses) {
    TStringList source;
    source.SetCommaText("x,y");
    TStringList list;
    list.SetCommaText("old");
    list.Assign(&source);
    EXPECT_EQ(test::Rows(list), (Lines{"x", "y"}));

    list.Assign(&list); // copying onto itself keeps the strings
    EXPECT_EQ(test::Rows(list), (Lines{"x", "y"}));
    list.AddStrings(list);
    EXPECT_EQ(test::Rows(list), (Lines{"x", "y", "x", "y"}));

    struct Case {
        const char* name;
        const TPersistent* source;
        const char* message;
    };
    TComponent component(nullptr);
    for (const Case& c :
         std::vector<Case>{{"component", &component, "Cannot assign a TComponent to a TStringList"},
                           {"nothing", nullptr, "Cannot assign a nil to a TStringList"}}) {
        try {
            list.Assign(c.source);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message) << c.name;
        }
    }
}

TEST(StringListTest, ChangeEventsFireOncePerChangeOrUpdate) {
    TStringList list;
    std::vector<std::string> events;
    list.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        events.push_back("changing:" + std::to_string(list.Count()));
    };
    list.OnChange = [&](TObject* /*sender*/) {
        events.push_back("change:" + std::to_string(list.Count()));
    };

    list.Add("a");
    EXPECT_EQ(events, (Lines{"changing:0", "change:1"}));

    events.clear();
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("b");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_TRUE(events.size() == 1 && events[0] == "changing:1");
    list.EndUpdate();
    EXPECT_EQ(events, (Lines{"changing:1", "change:1"}));

    events.clear();
    list.EndUpdate(); // unbalanced: ignored
    list.Add("c");
    EXPECT_EQ(events, (Lines{"changing:1", "change:2"}));
}

TEST(StringListTest, UpdateEndsEvenWhenTheChangeFails) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    EXPECT_THROW(list.Update([&] {
        list.Add("a");
        list.Delete(5);
    }),
                 EListError);
    EXPECT_FALSE(list.Updating());
    EXPECT_EQ(changes, 1);
}

} // namespace
} // namespace kq
