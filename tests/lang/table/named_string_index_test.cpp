// The sorted index of named strings: every name is found whatever the order of the rows and the
// size of the index, letter case does not matter, and each item has one value per language.

#include "lang/named_string_index.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace kq {
namespace {

std::string RowOf(const std::string& name) {
    std::string row = name;
    row.append("\x01v_").append(name).append("\x01");
    return row;
}

TNamedStringIndex IndexOf(const std::vector<std::string>& names) {
    TNamedStringIndex index;
    for (const std::string& name : names) {
        index.AddRow(RowOf(name), 1, '\x01');
    }
    index.Sort();
    return index;
}

// Every size from empty to 40 items and several shuffles: each present name is found, with its
// own value, and names that sort before, between and after the items are not.
TEST(NamedStringIndex, FindsEveryNameAtEverySize) {
    std::mt19937 random(6);
    for (int size = 0; size <= 40; ++size) {
        std::vector<std::string> names;
        for (int i = 0; i < size; ++i) {
            const char name[] = {'s', static_cast<char>('B' + i / 10),
                                 static_cast<char>('0' + i % 10), '\0'};
            names.push_back(name);
        }
        for (int shuffle = 0; shuffle < 3; ++shuffle) {
            std::shuffle(names.begin(), names.end(), random);
            const TNamedStringIndex index = IndexOf(names);
            ASSERT_EQ(index.Count(), size);
            for (const std::string& name : names) {
                const TNamedStringItem* item = index.Find(name);
                ASSERT_NE(item, nullptr) << name << " among " << size;
                EXPECT_EQ(item->Values.at(0), "v_" + name) << name << " among " << size;
            }
            for (const char* absent : {"a", "sA0", "sB05", "sZ", "s", ""}) {
                EXPECT_EQ(index.Find(absent), nullptr) << absent << " among " << size;
            }
        }
    }
}

TEST(NamedStringIndex, ItemsAreSortedIgnoringCase) {
    const TNamedStringIndex index = IndexOf({"sRetry", "SBROWSE", "sCopying", "scompany"});
    std::vector<std::string> order;
    for (int i = 0; i < index.Count(); ++i) {
        order.push_back(index.Items(i).Name);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"SBROWSE", "scompany", "sCopying", "sRetry"}));
}

TEST(NamedStringIndex, NamesMatchIgnoringCase) {
    const TNamedStringIndex index = IndexOf({"sRetry", "sBrowse", "sCompany"});
    for (const char* name : {"SCOMPANY", "scompany", "sCompany", "SrEtRy"}) {
        EXPECT_NE(index.Find(name), nullptr) << name;
    }
}

TEST(NamedStringIndex, EachItemHasOneValuePerLanguage) {
    struct Case {
        const char* label;
        std::string row;
        std::vector<std::string> values;
    } cases[] = {
        {"full row",
         "s\x01"
         "a\x01"
         "b\x01"
         "c\x01",
         {"a", "b", "c"}},
        {"short row",
         "s\x01"
         "a\x01",
         {"a", "", ""}},
        {"row without cells", "s", {"", "", ""}},
        {"row with a cell too many",
         "s\x01"
         "a\x01"
         "b\x01"
         "c\x01"
         "d\x01",
         {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        TNamedStringIndex index;
        index.AddRow(c.row, 3, '\x01');
        ASSERT_EQ(index.Count(), 1) << c.label;
        EXPECT_EQ(index.Items(0).Name, "s") << c.label;
        EXPECT_EQ(index.Items(0).Values, c.values) << c.label;
    }
}

TEST(NamedStringIndex, DuplicateNamesStillAnswer) {
    const TNamedStringIndex index = IndexOf({"sA", "sDup", "sB", "sDup", "sC"});
    const TNamedStringItem* item = index.Find("sdup");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Name, "sDup");
}

} // namespace
} // namespace kq
