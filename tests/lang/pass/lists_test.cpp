// String lists, file paths, collection items, extended translations and locale settings.

#include "lang/format_settings.h"
#include "pass/test_window.h"
#include "platform/folders.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

using test::Block;
using test::LoadOptions;
using test::TestWindow;
using test::TTestGrid;
using test::TTestMemo;

// The cell is comma text written over the memo's lines in place, with word wrap off meanwhile.
TEST(PassLists, MultiLinesCellReplacesTheLines) {
    struct Case {
        const char *cell, *lines;
        bool sorted;
    } cases[] = {
        {"a,b", "a,b", false}, // two items over three lines: exactly two
        {"x,y,z,w", "x,y,z,w", false},
        {"c,a,b", "a,b,c", true}, // a sorted list is sorted again afterwards
    };
    for (const Case& c : cases) {
        const std::string row = std::string("Memo1.Lines|||") + c.cell + "|";
        TestWindow window(Block({{"stMultiLines", {row}}}));
        TTestMemo& memo = window.Get<TTestMemo>("Memo1");
        memo.Lines()->SetSorted(c.sorted);
        memo.LineChanges = 0;
        memo.ChangedWhileWrapping = false;
        window.Dispatcher().SetActiveLanguage(3);
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(memo.Lines()->CommaText(), c.lines);
        EXPECT_EQ(memo.Lines()->Sorted(), c.sorted);
        EXPECT_FALSE(memo.ChangedWhileWrapping);
        EXPECT_TRUE(memo.WordWrap());
        EXPECT_EQ(memo.Writes, 0) << "the list is written in place, not replaced";
    }
}

// A value with ".." or ".\" is a path relative to the current folder; a component that already
// holds its full path keeps it.
TEST(PassLists, RelativePathsAreNotWrittenOverTheirFullPath) {
    const std::string full = GetFullPathName("..\\help.chm");
    ASSERT_FALSE(full.empty());
    struct Case {
        std::string current, cell, expected;
        bool written;
    } cases[] = {
        {full, "..\\help.chm", full, false},
        {"other.chm", "..\\help.chm", "..\\help.chm", true},
        {GetFullPathName(".\\a.chm"), ".\\a.chm", GetFullPathName(".\\a.chm"), false},
        {"help.chm", "help.chm", "help.chm", false},
        {"", "x.chm", "x.chm", true},
    };
    for (const Case& c : cases) {
        TestWindow window(Block({{"stOtherStrings", {"TForm1.HelpFile|||" + c.cell + "|"}}}));
        window.Form().SetHelpFile(c.current);
        const int writes = window.Form().Writes;
        window.Dispatcher().SetActiveLanguage(3);
        SCOPED_TRACE(c.current + " " + c.cell);
        EXPECT_EQ(window.Form().HelpFile(), c.expected);
        EXPECT_EQ(window.Form().Writes - writes, c.written ? 1 : 0);
    }
}

TEST(PassLists, CollectionItems) {
    TestWindow window(
        Block({{"stCollections",
                {"Grid1.Columns[5].Title|||lost|", "Grid1.Columns[1].Title|||t1|",
                 "Grid1.Columns[0].Font.Name|||Arial|", "Grid1.Columns[0].Notes|||n1\x19n2|",
                 "Grid1.Columns[x].Title|||lost|", "Grid1.Columns[0].Title|||t0|"}}}));
    window.Dispatcher().SetActiveLanguage(3);
    test::TTestColumns& columns = window.Get<TTestGrid>("Grid1").TestColumns();
    auto& first = static_cast<test::TTestColumn&>(*columns.Items(0));
    auto& second = static_cast<test::TTestColumn&>(*columns.Items(1));
    EXPECT_EQ(first.Title(), "t0");
    EXPECT_EQ(second.Title(), "t1");
    EXPECT_EQ(first.Font()->Name(), "Arial");
    EXPECT_EQ(first.Notes()->CommaText(), "n1,n2");
}

// Converted to the property's kind; a value of the wrong kind leaves the property alone. Only a
// pass over every section applies them.
TEST(PassLists, ExtendedTranslations) {
    TestWindow window("stCaptions\r\n",
                      LoadOptions{"", [](TTranslator& t) {
                                      auto& items = t.ExtendedTranslations();
                                      items.push_back({"Label1.Caption", "tkLString",
                                                       "c1\x01"
                                                       "c2\x01"
                                                       "c3"});
                                      items.push_back({"Grid1.Width", "tkInteger",
                                                       "1\x01"
                                                       "2\x01"
                                                       "120"});
                                      items.push_back({"Label2.Font.Name", "tkLString",
                                                       "\x01\x01"
                                                       "Arial"});
                                      items.push_back({"Label3.Caption", "tkLString", "only one"});
                                      items.push_back({"Label2.Caption", "tkLString",
                                                       "\x01\x01"
                                                       "abc"});
                                      items.push_back({"Grid1.Width", "tkInteger",
                                                       "\x01\x01"
                                                       "abc"});
                                  }});
    window.Get("Label2").SetParentFont(false);
    window.Dispatcher().SetActiveLanguage(3);
    EXPECT_EQ(window.Get("Label1").Caption(), "c3");
    EXPECT_EQ(window.Get<TTestGrid>("Grid1").Width(), 120);
    EXPECT_EQ(window.Get("Label2").Font()->Name(), "Arial");
    EXPECT_EQ(window.Get("Label2").Caption(), "abc");
    EXPECT_EQ(window.Get("Label3").Caption(), "Label3");

    window.Get("Label1").SetCaption("Label1");
    TStringList captions;
    window.Translator().SetList(stCaptions, &captions);
    EXPECT_EQ(window.Get("Label1").Caption(), "Label1") << "a one-section pass";
}

// Locale rows change the process's settings only when ChangeLocales is on.
TEST(PassLists, LocaleRows) {
    const TFormatSettings saved = FormatSettings();
    const std::string block =
        Block({{"stLocales",
                {"Currency String|||EUR|", "Decimal Separator|||,;|", "Short Month Names|||a,b|",
                 "Long Day Names|||d1,d2,d3,d4,d5,d6,d7,d8|", "currency string|||no|"}}});
    for (bool change : {false, true}) {
        FormatSettings() = saved;
        TestWindow window(block,
                          LoadOptions{"", [&](TTranslator& t) { t.SetChangeLocales(change); }});
        window.Dispatcher().SetActiveLanguage(3);
        const TFormatSettings& now = FormatSettings();
        SCOPED_TRACE(change);
        EXPECT_EQ(now.CurrencyString, change ? "EUR" : saved.CurrencyString);
        EXPECT_EQ(now.DecimalSeparator, change ? ',' : saved.DecimalSeparator);
        EXPECT_EQ(now.ShortMonthNames[0], change ? "a" : saved.ShortMonthNames[0]);
        EXPECT_EQ(now.ShortMonthNames[2], saved.ShortMonthNames[2]);
        EXPECT_EQ(now.LongDayNames[6], change ? "d7" : saved.LongDayNames[6]);
    }
    FormatSettings() = saved;
}

} // namespace
} // namespace kq
