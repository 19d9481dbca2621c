// The component's language properties: values at construction, the range and name checks with
// their messages, what a change of language runs, and the effects of NumOfLanguages and
// LangDelim on the rows.

#include "base/exceptions.h"
#include "lang/errors.h"
#include "lang/screen_cursor.h"
#include "lang_fixture.h"
#include "test/raises.h"
#include "test/rows.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using test::LoadedForm;
using test::LoadOptions;
using test::RaisedMessage;
using test::Row;
using test::Rows;

TEST(Translator, ConstructionValues) {
    TComponent form(nullptr);
    auto* translator = new TTranslator(&form);
    EXPECT_EQ(translator->NumOfLanguages(), 1);
    EXPECT_EQ(translator->ActiveLanguage(), 1);
    EXPECT_EQ(translator->LangDelim(), 1);
    EXPECT_EQ(Rows(*translator->LangNames()), std::vector<std::string>{"Language N1"});
    EXPECT_EQ(translator->Language(), "Language N1");
    EXPECT_EQ(translator->TranslateType(), ttNoChange);
    EXPECT_TRUE(translator->Options().Empty());
    EXPECT_FALSE(translator->DoRaiseExceptions());
    EXPECT_EQ(translator->version(), "5.2.5");
    translator->Setversion("9.9");
    EXPECT_EQ(translator->version(), "5.2.5") << "every assignment keeps the version";
    EXPECT_EQ(Rows(*translator->StringsTypes()),
              (std::vector<std::string>{"TIB_STRINGLIST", "TSTRINGLIST"}));
    EXPECT_EQ(translator->ChangingCursor(), -1);
    EXPECT_EQ(translator->LangDispatcher(), nullptr);
    for (TStringsType type : {stCaptions, stHints, stDisplayLabels, stFonts, stMultiLines,
                              stStrings, stOtherStrings, stCollections, stCharSets}) {
        EXPECT_EQ(translator->List(type)->Count(), 0) << StringsTypeName(type);
    }
    EXPECT_EQ(translator->List(stListView_TreeView_Items), nullptr);
}

// One row per locale key and per dialog text, each with one cell.
TEST(Translator, StartsWithTheLocaleKeysAndDialogTexts) {
    TComponent form(nullptr);
    auto* translator = new TTranslator(&form);
    const TStringList& locales = *translator->Locales();
    ASSERT_EQ(locales.Count(), 15);
    EXPECT_EQ(ExtractField(locales.Strings(0), 0, '\x01'), "Currency String");
    EXPECT_EQ(ExtractField(locales.Strings(10), 0, '\x01'), "Long Time Format");
    EXPECT_EQ(ExtractField(locales.Strings(14), 0, '\x01'), "Long Day Names");
    const TStringList& dialogs = *translator->DlgsCaptions();
    ASSERT_EQ(dialogs.Count(), 15);
    EXPECT_EQ(dialogs.Strings(0), Row("Warning", {"Warning"}));
    EXPECT_EQ(dialogs.Strings(4), Row("Yes", {"&Yes"}));
    EXPECT_EQ(dialogs.Strings(12), Row("No To All", {"N&o to All"}));
    EXPECT_EQ(dialogs.Strings(14), Row("Help", {"&Help"}));
}

TEST(Translator, OnlyOnePerOwner) {
    TComponent form(nullptr);
    new TTranslator(&form);
    try {
        new TTranslator(&form);
        FAIL() << "a second component on the same owner";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "Only one TCustomTranslator component per Form/DataModule allowed!");
    }
    EXPECT_EQ(form.ComponentCount(), 1) << "the refused component is not left with the owner";
    // Another owner takes one of its own; translators without an owner never meet the rule.
    TComponent other(nullptr);
    auto* second = new TTranslator(&other);
    EXPECT_EQ(second->Owner(), &other);
    ASSERT_EQ(other.ComponentCount(), 1);
    EXPECT_EQ(other.Components(0), second);
    EXPECT_NE(form.Components(0), second);
    TTranslator ownerless(nullptr);
    TTranslator another(nullptr);
    EXPECT_EQ(another.Owner(), nullptr);
    another.Strings()->Add("mine");
    EXPECT_EQ(another.Strings()->Count(), 1);
    EXPECT_EQ(ownerless.Strings()->Count(), 0) << "each translator has a table of its own";
}

TEST(ActiveLanguage, OutOfRangeNamesBothNumbers) {
    LoadedForm form("stStrings\r\n");
    TTranslator& translator = form.Translator();
    struct Case {
        int value;
        const char* expected;
    } cases[] = {
        {0, "0 - is not a valid property value!\rValue must be within [1..3]!"},
        {4, "4 - is not a valid property value!\rValue must be within [1..3]!"},
        {-7, "-7 - is not a valid property value!\rValue must be within [1..3]!"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RaisedMessage<ELanguageError>([&] { translator.SetActiveLanguage(c.value); }),
                  c.expected)
            << c.value;
        EXPECT_EQ(translator.ActiveLanguage(), 1) << c.value;
    }
}

TEST(ActiveLanguage, OutOfRangeIsIgnoredWhileLoading) {
    TComponent form(nullptr);
    auto* translator = new TTranslator(&form);
    translator->BeginLoading();
    translator->SetNumOfLanguages(3);
    EXPECT_NO_THROW(translator->SetActiveLanguage(0));
    EXPECT_NO_THROW(translator->SetActiveLanguage(4));
    EXPECT_EQ(translator->ActiveLanguage(), 1);
    translator->SetActiveLanguage(2);
    EXPECT_EQ(translator->ActiveLanguage(), 2);
}

TEST(ActiveLanguage, ChangeRunsOnePassAndSameValueRunsNone) {
    LoadedForm form("stStrings\r\n");
    int passes = 0;
    form.Translator().OnChangeLanguage = [&](TObject* sender) {
        EXPECT_EQ(sender, &form.Translator());
        ++passes;
    };
    form.Dispatcher().SetActiveLanguage(1);
    EXPECT_EQ(passes, 0) << "language 1 again";
    form.Dispatcher().SetActiveLanguage(3);
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(form.Translator().Language(), "English");
    form.Dispatcher().SetActiveLanguage(3);
    form.Translator().SetActiveLanguage(3);
    EXPECT_EQ(passes, 1) << "language 3 again";
}

TEST(ActiveLanguage, ChangingCursorShowsDuringThePassOnly) {
    std::vector<int> shown;
    int current = crDefault;
    SetScreenCursorAccess({[&] { return current; },
                           [&](int cursor) {
                               current = cursor;
                               shown.push_back(cursor);
                           }});
    LoadedForm form("stStrings\r\n");
    int cursorDuringPass = 0;
    form.Translator().OnChangeLanguage = [&](TObject*) { cursorDuringPass = current; };
    form.Translator().SetChangingCursor(-11);
    form.Dispatcher().SetActiveLanguage(2);
    EXPECT_EQ(cursorDuringPass, -11);
    EXPECT_EQ(current, crDefault);

    form.Translator().OnChangeLanguage = [](TObject*) { throw EAbort("stop"); };
    EXPECT_THROW(form.Dispatcher().SetActiveLanguage(3), EAbort);
    EXPECT_EQ(current, crDefault) << "restored after a failing pass";

    shown.clear();
    current = -13; // another cursor is showing: left alone
    form.Translator().OnChangeLanguage = nullptr;
    form.Dispatcher().SetActiveLanguage(1);
    EXPECT_TRUE(shown.empty());
    SetScreenCursorAccess({});
}

TEST(Language, MustBeOneOfTheNames) {
    LoadedForm form("stStrings\r\n");
    TTranslator& translator = form.Translator();
    EXPECT_EQ(RaisedMessage<ELanguageError>([&] { translator.SetLanguage("Klingon"); }),
              "Language name shall be included in LangNames property!");
    EXPECT_EQ(translator.Language(), "ChineseSimplified");
    translator.SetLanguage("english");
    EXPECT_EQ(translator.ActiveLanguage(), 3);
    EXPECT_EQ(translator.Language(), "English") << "the entry's own spelling after the switch";
}

TEST(NumOfLanguages, BelowOneIsRefused) {
    LoadedForm form("stStrings\r\n");
    EXPECT_EQ(RaisedMessage<ELanguageError>([&] { form.Translator().SetNumOfLanguages(0); }),
              "0 - is not a valid property value !\rValue must be more than ZERO !");
    EXPECT_EQ(RaisedMessage<ELanguageError>([&] { form.Translator().SetNumOfLanguages(-2); }),
              "-2 - is not a valid property value !\rValue must be more than ZERO !");
    EXPECT_EQ(form.Translator().NumOfLanguages(), 3);
}

TEST(NumOfLanguages, ShrinkingCutsEveryRow) {
    const std::string block = "stCaptions\r\n" + Row("TForm1", {"a", "b", "c"}) +
                              "\r\n"
                              "stHints\r\n" +
                              Row("Label1", {"h1"}) +
                              "\r\n"
                              "stStrings\r\n" +
                              Row("sX", {"x1", "x2", "x3"}) + "\r\n";
    LoadedForm form(block);
    TTranslator& translator = form.Translator();
    translator.SetNumOfLanguages(2);
    EXPECT_EQ(Rows(*translator.Captions()), std::vector<std::string>{Row("TForm1", {"a", "b"})});
    EXPECT_EQ(Rows(*translator.Hints()), std::vector<std::string>{Row("Label1", {"h1"})})
        << "a short row is kept whole";
    EXPECT_EQ(Rows(*translator.Strings()), std::vector<std::string>{Row("sX", {"x1", "x2"})});
    EXPECT_EQ(Rows(*translator.LangNames()),
              (std::vector<std::string>{"ChineseSimplified", "ChineseTranTraditional"}));
    EXPECT_EQ(translator.NamedStringIndex().Items(0).Values.size(), 2u);
    EXPECT_EQ(translator.LookupString("sX"), "x1");
}

TEST(NumOfLanguages, GrowingPadsNamesAndDelimiters) {
    LoadedForm form("stStrings\r\n" + Row("sX", {"x1"}) + "\r\n");
    TTranslator& translator = form.Translator();
    translator.SetNumOfLanguages(5);
    EXPECT_EQ(Rows(*translator.LangNames()),
              (std::vector<std::string>{"ChineseSimplified", "ChineseTranTraditional", "English",
                                        "Language N4", "Language N5"}));
    EXPECT_EQ(translator.Strings()->Strings(0), "sX\x01x1\x01\x01\x01\x01\x01");
    const std::string yes = translator.DlgsCaptions()->Strings(4);
    EXPECT_EQ(std::count(yes.begin(), yes.end(), '\x01'), 6) << "dialog rows padded too";
    EXPECT_EQ(translator.NamedStringIndex().Items(0).Values.size(), 5u);
    translator.SetActiveLanguage(5);
    EXPECT_EQ(translator.LookupString("sX"), "");
}

TEST(LangDelim, ChangeRedelimitsEveryRow) {
    const std::string block = "stCaptions\r\n" + Row("TForm1", {"a", "b", "c"}) +
                              "\r\n"
                              "stStrings\r\n" +
                              Row("sX", {"x1", "x2", "x3"}) + "\r\n";
    LoadedForm form(block);
    TTranslator& translator = form.Translator();
    translator.ExtendedTranslations().push_back({"Label1.Caption", "tkLString", "\x01p\x01q"});
    translator.SetLangDelim('|');
    EXPECT_EQ(translator.LangDelim(), '|');
    EXPECT_EQ(translator.Captions()->Strings(0), "TForm1|a|b|c|");
    EXPECT_EQ(translator.Strings()->Strings(0), "sX|x1|x2|x3|");
    EXPECT_EQ(translator.DlgsCaptions()->Strings(0), "Warning|Warning|");
    EXPECT_EQ(translator.ExtendedTranslations()[0].Values, "|p|q");
    EXPECT_EQ(translator.ExtractField("sX|x1|x2|x3|", 2), "x2");
}

TEST(LangDelim, WhileLoadingOnlyStored) {
    TComponent form(nullptr);
    auto* translator = new TTranslator(&form);
    translator->BeginLoading();
    translator->SetLangDelim('|');
    EXPECT_EQ(translator->DlgsCaptions()->Strings(0), "Warning\x01Warning\x01");
}

} // namespace
} // namespace kq
