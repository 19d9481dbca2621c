// LookupString: the named string in the active language, the fall-backs for empty cells, the
// error for unknown names when asked for, and the row search used while designing and by the
// options that share one component's strings with the others.

#include "lang/errors.h"
#include "lang_fixture.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

using test::LoadedForm;
using test::LoadOptions;
using test::Row;

std::string StringsBlock(std::initializer_list<std::string> rows) {
    std::string block = "stStrings\r\n";
    for (const std::string& row : rows) {
        block += row + "\r\n";
    }
    return block;
}

const std::string kBlock = StringsBlock({
    Row("sCompany", {"Kavoru", "Kavoru", "Kavoru "}),
    Row("sShort", {"only one"}),
    Row("sHalf", {"Abc", "", ""}),
    Row("sNext", {"n1", "n2", "n3"}),
});

TEST(LookupString, AnswersInTheActiveLanguage) {
    LoadedForm form(kBlock);
    struct Case {
        int language;
        const char* name;
        const char* expected;
    } cases[] = {
        {1, "sCompany", "Kavoru"},  {3, "sCompany", "Kavoru "},
        {3, "SCOMPANY", "Kavoru "}, {2, "snext", "n2"},
        {1, "sShort", "only one"},  {3, "sShort", ""},
        {2, "sAbsent", ""},         {1, "", ""},
        {2, "sHalf", ""},
    };
    for (const Case& c : cases) {
        form.Dispatcher().SetActiveLanguage(c.language);
        EXPECT_EQ(form.Translator().LookupString(c.name), c.expected)
            << c.name << " in language " << c.language;
    }
}

TEST(LookupString, UnknownNameRaisesOnlyWhenAsked) {
    LoadedForm form(kBlock);
    EXPECT_EQ(form.Translator().LookupString("sMissing"), "");
    form.Translator().SetDoRaiseExceptions(true);
    try {
        form.Translator().LookupString("sMissing");
        FAIL() << "no error for an unknown name";
    } catch (const ELanguageError& e) {
        EXPECT_STREQ(e.what(), "String identifier \"sMissing\" not found!");
    }
    // A present name with an empty cell is no error.
    form.Dispatcher().SetActiveLanguage(2);
    EXPECT_EQ(form.Translator().LookupString("sHalf"), "");
}

TEST(LookupString, GetDefaultFallsBackToTheFirstLanguage) {
    LoadedForm form(kBlock);
    form.Translator().SetTranslateType(ttGetDefault);
    form.Dispatcher().SetActiveLanguage(3);
    EXPECT_EQ(form.Translator().LookupString("sShort"), "only one");
    EXPECT_EQ(form.Translator().LookupString("sHalf"), "Abc");
    EXPECT_EQ(form.Translator().LookupString("sCompany"), "Kavoru ");
    EXPECT_EQ(form.Translator().LookupString("sAbsent"), "");
}

TEST(LookupString, TestModeShowsTheFirstLanguageInCapitals) {
    LoadedForm form(kBlock);
    form.Dispatcher().SetTestMode(true);
    form.Dispatcher().SetActiveLanguage(2);
    EXPECT_EQ(form.Translator().LookupString("sHalf"), "ABC");
    EXPECT_EQ(form.Translator().LookupString("sNext"), "n2") << "a filled cell stays as it is";
    form.Dispatcher().SetActiveLanguage(1);
    form.Translator().Strings()->Add(Row("sEmpty", {"", "x", "y"}));
    form.Translator().BuildNamedStringIndex();
    EXPECT_EQ(form.Translator().LookupString("sEmpty"), "") << "language 1 has no fall-back";
}

// While the form is designed there is no index: the rows themselves are searched.
TEST(LookupString, RowSearchWhileDesigning) {
    LoadedForm form(kBlock);
    form.Translator().SetDesigning(true);
    form.Translator().Strings()->Add(Row("sAdded", {"a1", "a2", "a3"}));
    struct Case {
        int language;
        const char* name;
        const char* expected;
    } cases[] = {
        {1, "sCompany", "Kavoru"},
        {3, "scompany", "Kavoru "},
        {2, "sAdded", "a2"},
        {1, "sAbsent", ""},
        // A short row answers "" for its missing cells, never the text of the next row.
        {2, "sShort", ""},
        {3, "sShort", ""},
        {1, "sComp", ""},
    };
    for (const Case& c : cases) {
        form.Translator().SetActiveLanguage(c.language);
        EXPECT_EQ(form.Translator().LookupString(c.name), c.expected)
            << c.name << " in language " << c.language;
    }
}

TEST(LookupString, OtherSectionsAreSearchedByRow) {
    LoadedForm form("stHints\r\n");
    EXPECT_EQ(form.Translator().LookupString("Yes", stDlgsCaptions), "&Yes");
    EXPECT_EQ(form.Translator().LookupString("no to all", stDlgsCaptions), "N&o to All");
    EXPECT_EQ(form.Translator().LookupString("Maybe", stDlgsCaptions), "");
    form.Translator().SetDoRaiseExceptions(true);
    EXPECT_THROW(form.Translator().LookupString("Maybe", stDlgsCaptions), ELanguageError);
}

// Under loUseExtUDStrings the first linked component with rows answers for all of them, also
// for itself, and the question is never handed on again.
TEST(LookupString, SharedStringsComeFromTheFirstComponentWithRows) {
    LoadedForm first(kBlock);
    LoadedForm second("stStrings\r\n");
    second.Translator().SetLangDispatcher(&first.Dispatcher());
    first.Dispatcher().SetActiveLanguage(3);
    EXPECT_EQ(second.Translator().LookupString("sCompany"), "") << "option off";

    second.Translator().SetOptions({loUseExtUDStrings});
    first.Translator().SetOptions({loUseExtUDStrings});
    EXPECT_EQ(second.Translator().LookupString("sCompany"), "Kavoru ");
    EXPECT_EQ(first.Translator().LookupString("sCompany"), "Kavoru ");
    EXPECT_EQ(first.Translator().LookupString("sAbsent"), "");
}

} // namespace
} // namespace kq
