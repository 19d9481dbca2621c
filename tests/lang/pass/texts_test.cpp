// The translation pass over captions, hints, display labels and other string properties: which
// cell reaches which property, the owner's own row, the rows it drops or sets aside, and that a
// pass writes only what changes.

#include "lang/format_settings.h"
#include "pass/test_window.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using test::Block;
using test::D;
using test::LoadOptions;
using test::TestWindow;
using test::TTestAction;
using test::TTestControl;
using test::TTestEdit;

std::vector<std::string> Names(const TStrings& rows) {
    std::vector<std::string> names;
    for (int i = 0; i < rows.Count(); ++i) {
        names.push_back(ExtractField(rows.Strings(i), 0, '\x01'));
    }
    return names;
}

const std::string kTexts = Block({
    {"stCaptions",
     {"TForm1|Form1|Form1 tw|Form1 en|", "Label1|一|二|three|", "Label2|sCompanyAll|||",
      "Button1|b1||b3|"}},
    {"stHints", {"TForm1||hint tw||", "Label1|||hint en|"}},
    {"stOtherStrings", {"TForm1.HelpFile|||form.chm|", "Edit1.Text|c:\\program...||c:\\x|"}},
});

TEST(PassTexts, EachLanguageGivesItsCellsAndEmptyCellsKeepTheDesign) {
    struct Case {
        int language;
        const char *form, *label1, *label2, *button1, *formHint, *label1Hint, *helpFile, *text;
    } cases[] = {
        {1, "Form1", "Label1", "Label2", "Button1", "", "", "", ""}, // no pass at language 1
        {2, "Form1 tw", "二", "Label2", "Button1", "hint tw", "", "", ""},
        {3, "Form1 en", "three", "Label2", "b3", "", "hint en", "form.chm", "c:\\x"},
    };
    for (const Case& c : cases) {
        TestWindow window(kTexts);
        window.Dispatcher().SetActiveLanguage(c.language);
        SCOPED_TRACE(c.language);
        EXPECT_EQ(window.Form().Caption(), c.form);
        EXPECT_EQ(window.Get("Label1").Caption(), c.label1);
        EXPECT_EQ(window.Get("Label2").Caption(), c.label2);
        EXPECT_EQ(window.Get("Button1").Caption(), c.button1);
        EXPECT_EQ(window.Form().Hint(), c.formHint);
        EXPECT_EQ(window.Get("Label1").Hint(), c.label1Hint);
        EXPECT_EQ(window.Form().HelpFile(), c.helpFile);
        EXPECT_EQ(window.Get<TTestEdit>("Edit1").Text(), c.text);
    }
}

TEST(PassTexts, ApplyingTheSameLanguageAgainWritesNothing) {
    TestWindow window(kTexts + Block({{"stFonts", {"TForm1|a|b|c|", "Label1|||Arial|"}},
                                      {"stCharSets", {"Label1|||GB2312_CHARSET|"}},
                                      {"stMultiLines", {"Memo1.Lines|||\"x y\",z|"}}}));
    window.Get("Label1").SetParentFont(false);
    window.Dispatcher().SetActiveLanguage(3);
    ASSERT_EQ(window.Get("Label1").Font()->Name(), "Arial");
    const int writes = window.Writes();
    const int lineChanges = window.Get<test::TTestMemo>("Memo1").LineChanges;
    window.ReapplyEverySection();
    EXPECT_EQ(window.Writes(), writes);
    EXPECT_EQ(window.Get<test::TTestMemo>("Memo1").LineChanges, lineChanges);
}

// An empty cell keeps the text; test mode shows the language-1 text in capitals, ttGetDefault
// the language-1 text itself. The owner's own caption knows only ttGetDefault.
TEST(PassTexts, EmptyCellFallbacks) {
    struct Case {
        bool testMode;
        TTranslateType type;
        const char *label, *form;
    } cases[] = {
        {false, ttNoChange, "Label1", "Form1"},
        {true, ttNoChange, "LABEL ONE", "Form1"},
        {false, ttGetDefault, "label one", "form one"},
        {true, ttGetDefault, "LABEL ONE", "form one"},
    };
    for (const Case& c : cases) {
        TestWindow window(Block({{"stCaptions", {"TForm1|form one|||", "Label1|label one|||"}}}),
                          LoadOptions{"", [&](TTranslator& t) { t.SetTranslateType(c.type); }});
        window.Dispatcher().SetTestMode(c.testMode);
        window.Dispatcher().SetActiveLanguage(2);
        SCOPED_TRACE(std::to_string(c.testMode) + " " + std::to_string(c.type));
        EXPECT_EQ(window.Get("Label1").Caption(), c.label);
        EXPECT_EQ(window.Form().Caption(), c.form);
    }
}

// The first row translates the owner when it names the owner's class (in any letter case),
// unless the owner is excluded or linked to an action.
TEST(PassTexts, OwnersOwnRow) {
    struct Case {
        const char* firstRow;
        const char* excluded; // DoNotTranslate, or SmartExcludeProps when it holds a "."
        bool action;
        const char *caption, *hint;
    } cases[] = {
        {"TForm1|c1|c2|c3|", "", false, "c3", "h3"},
        {"tform1|c1|c2|c3|", "", false, "c3", "h3"},
        {"TForm2|c1|c2|c3|", "", false, "Form1", "h3"},
        {"TForm1|c1|c2|c3|", "TForm1", false, "Form1", "Form1"},
        {"TForm1|c1|c2|c3|", "TForm1.Caption", false, "Form1", "h3"},
        {"TForm1|c1|c2|c3|", "", true, "Form1", "Form1"},
    };
    for (const Case& c : cases) {
        TestWindow window(Block({{"stCaptions", {c.firstRow}}, {"stHints", {"TForm1|h1|h2|h3|"}}}),
                          LoadOptions{"", [&](TTranslator& t) {
                                          const std::string excluded = c.excluded;
                                          if (excluded.find('.') != std::string::npos) {
                                              t.SmartExcludeProps()->Add(excluded);
                                          } else if (!excluded.empty()) {
                                              t.DoNotTranslate()->Add(excluded);
                                          }
                                      }});
        window.Form().SetHint("Form1");
        if (c.action) {
            window.Form().SetAction(new TTestAction(&window.Form()));
        }
        window.Dispatcher().SetActiveLanguage(3);
        SCOPED_TRACE(std::string(c.firstRow) + " " + c.excluded);
        EXPECT_EQ(window.Form().Caption(), c.caption);
        EXPECT_EQ(window.Form().Hint(), c.hint);
    }
}

// Rows of components linked to an action are deleted, rows of components not on the form set
// aside; neither applies.
TEST(PassTexts, RowsLeaveTheirSection) {
    TestWindow window(
        Block({{"stCaptions", {"TForm1|||f|", "Button1|||b|", "Ghost|||g|", "Label1|||l|"}},
               {"stHints", {"TForm1||||", "Button1|||h|"}},
               {"stOtherStrings", {"Ghost.Text|||g|", "TForm1.HelpFile|||h|"}}}));
    window.Get("Button1").SetAction(new TTestAction(&window.Form()));
    window.Dispatcher().SetActiveLanguage(3);
    EXPECT_EQ(window.Get("Button1").Caption(), "Button1");
    EXPECT_EQ(window.Get("Button1").Hint(), "");
    EXPECT_EQ(window.Get("Label1").Caption(), "l");
    EXPECT_EQ(window.Form().HelpFile(), "h");
    TTranslator& t = window.Translator();
    EXPECT_EQ(Names(*t.Captions()), (std::vector<std::string>{"TForm1", "Label1"}));
    EXPECT_EQ(Names(*t.Hints()), std::vector<std::string>{"TForm1"});
    EXPECT_EQ(Names(*t.OtherStrings()), std::vector<std::string>{"TForm1.HelpFile"});
    EXPECT_EQ(t.SetAsideRows(stCaptions), std::vector<std::string>{D("Ghost|||g|")});
}

// A row whose property is missing, read-only or of another kind is skipped; the rows after it
// still apply. So are the rows of components the owner keeps untranslated.
TEST(PassTexts, RowsThatCannotApplyAreSkipped) {
    TestWindow window(
        Block({{"stCaptions", {"Field1|||caption|", "Label1|||l1|", "Label2|||l2|"}},
               {"stDisplayLabels", {"Field1|||label|"}},
               {"stOtherStrings", {"Edit1.NoSuch|||x|", "Memo1.Lines|||x|", "Edit1.Text|||t|"}}}),
        LoadOptions{"", [](TTranslator& t) { t.DoNotTranslate()->Add("label2"); }});
    window.Dispatcher().SetActiveLanguage(3);
    EXPECT_EQ(window.Get("Label1").Caption(), "l1");
    EXPECT_EQ(window.Get("Label2").Caption(), "Label2");
    EXPECT_EQ(window.Get<test::TTestField>("Field1").DisplayLabel(), "label");
    EXPECT_EQ(window.Get<TTestEdit>("Edit1").Text(), "t");
    EXPECT_EQ(window.Get<test::TTestMemo>("Memo1").Lines()->Count(), 3);
}

TEST(PassTexts, AssigningASectionTranslatesThatSectionAlone) {
    TestWindow window(Block({{"stCaptions", {"TForm1|||f|", "Label1|||l|"}}}));
    int passes = 0;
    window.Translator().OnChangeLanguage = [&](TObject* sender) {
        EXPECT_EQ(sender, &window.Translator());
        ++passes;
    };
    window.Dispatcher().SetActiveLanguage(3);
    ASSERT_EQ(passes, 1);
    window.Translator().Captions()->Put(1, D("Label1|||changed|"));
    window.Form().SetCaption("Form1");

    TStringList hints;
    hints.Add(D("Label1|||hint|"));
    window.Translator().SetList(stHints, &hints);
    EXPECT_EQ(window.Get("Label1").Hint(), "hint");
    EXPECT_EQ(window.Get("Label1").Caption(), "l") << "the Captions section is not applied";
    EXPECT_EQ(window.Form().Caption(), "f") << "the owner's own texts always are";
    EXPECT_EQ(passes, 2);

    TStringList strings;
    strings.Add(D("sNew|||new|"));
    window.Translator().SetList(stStrings, &strings);
    EXPECT_EQ(passes, 3);
    EXPECT_EQ(window.Translator().LookupString("sNew"), "new") << "the index follows the rows";

    window.Translator().SetList(stDlgsCaptions, &strings);
    EXPECT_EQ(passes, 3) << "dialog texts are only copied";
}

TEST(PassTexts, RemovedComponentTakesItsEntriesAlong) {
    TestWindow window(
        Block({{"stCaptions", {"TForm1|||f|", "Label1|||l|", "Label2|||m|"}},
               {"stOtherStrings", {"Label1.HelpKeyword|||k|", "Label2.HelpKeyword|||k|"}}}),
        LoadOptions{"", [](TTranslator& t) {
                        t.DoNotTranslate()->Add("Label1");
                        t.SmartExcludeProps()->Add("Label1.Hint");
                        t.SmartExcludeProps()->Add("Label2.Hint");
                        t.ExtendedTranslations().push_back({"Label1.Caption", "tkUnknown", ""});
                        t.ExtendedTranslations().push_back({"Label2.Caption", "tkUnknown", ""});
                        t.ExtendedTranslations().push_back({"Label10.Caption", "tkUnknown", ""});
                    }});
    delete &window.Get("Label1");
    TTranslator& t = window.Translator();
    EXPECT_EQ(Names(*t.Captions()), (std::vector<std::string>{"TForm1", "Label2"}));
    EXPECT_EQ(Names(*t.OtherStrings()), std::vector<std::string>{"Label2.HelpKeyword"});
    EXPECT_EQ(t.DoNotTranslate()->Count(), 0);
    EXPECT_EQ(t.SmartExcludeProps()->CommaText(), "Label2.Hint");
    ASSERT_EQ(t.ExtendedTranslations().size(), 2u);
    EXPECT_EQ(t.ExtendedTranslations()[0].Identifier, "Label2.Caption");
    EXPECT_EQ(t.ExtendedTranslations()[1].Identifier, "Label10.Caption");
}

} // namespace
} // namespace kq
