// The end of loading: the stored block replaces the sections it names, TAB-delimited tables are
// brought to the delimiter 0x01, the locale and dialog rows are completed or trimmed, excluded
// rows are dropped and the index is built.

#include "lang_fixture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using test::LoadedForm;
using test::LoadOptions;
using test::Row;

TEST(Loading, BlockReplacesOnlyTheSectionsItNames) {
    LoadedForm form("stStrings\r\n" + Row("sX", {"1", "2", "3"}) + "\r\nstLocales\r\n" +
                    Row("Currency String", {"Y"}) + "\r\n");
    EXPECT_EQ(form.Translator().Locales()->Count(), 1);
    EXPECT_EQ(form.Translator().DlgsCaptions()->Count(), 15) << "kept from construction";
    EXPECT_EQ(form.Translator().Strings()->Count(), 1);
    EXPECT_EQ(form.Translator().LookupString("sX"), "1") << "index built at the end of loading";
}

TEST(Loading, TabDelimiterBecomesOne) {
    const std::string block = "stCaptions\r\nTForm1\tForm1\tF2\tF3\t\r\n"
                              "stStrings\r\nsX\tx1\tx2\tx3\t\r\n";
    LoadedForm form(block, LoadOptions{"", [](TTranslator& t) { t.SetLangDelim('\t'); }});
    EXPECT_EQ(form.Translator().LangDelim(), 1);
    EXPECT_EQ(form.Translator().Captions()->Strings(0), Row("TForm1", {"Form1", "F2", "F3"}));
    form.Dispatcher().SetActiveLanguage(2);
    EXPECT_EQ(form.Translator().LookupString("sX"), "x2");
}

TEST(Loading, RowsThatStillLookTabSeparatedAreConverted) {
    struct Case {
        const char* label;
        std::string block;
        bool converted;
    } cases[] = {
        {"first caption row with N + 1 TABs", "stCaptions\r\nTForm1\ta\tb\tc\t\r\n", true},
        {"first hint row with N + 1 TABs", "stHints\r\nTForm1\t\t\t\t\r\n", true},
        {"first caption row with fewer TABs", "stCaptions\r\nTForm1\ta\tb\r\n", false},
        {"any TAB in the first dialog row", "stDlgsCaptions\r\nWarning\tWarning\x01\x01\x01\r\n",
         true},
        {"any TAB in the first locale row", "stLocales\r\nCurrency String\t$\r\n", true},
    };
    for (const Case& c : cases) {
        LoadedForm form(c.block + "stOtherStrings\r\nEditDir.Text\tc:\\\t\t\t\r\n");
        const std::string other = form.Translator().OtherStrings()->Strings(0);
        EXPECT_EQ(other.find('\t') == std::string::npos, c.converted) << c.label;
    }
}

TEST(Loading, ElevenLocaleRowsGetTheNameLists) {
    std::string block = "stLocales\r\n";
    for (int i = 0; i < 11; ++i) {
        block += Row("Key" + std::to_string(i), {"v"}) + "\r\n";
    }
    LoadedForm form(block);
    const TStringList& locales = *form.Translator().Locales();
    ASSERT_EQ(locales.Count(), 15);
    EXPECT_EQ(ExtractField(locales.Strings(11), 0, '\x01'), "Short Month Names");
    EXPECT_EQ(ExtractField(locales.Strings(14), 0, '\x01'), "Long Day Names");
    const std::string days = ExtractField(locales.Strings(14), 1, '\x01');
    EXPECT_EQ(std::count(days.begin(), days.end(), ','), 6) << days;

    LoadedForm twelve(block + Row("Key11", {"v"}) + "\r\n");
    EXPECT_EQ(twelve.Translator().Locales()->Count(), 12);
}

TEST(Loading, CommonStringsOptionEmptiesDialogsAndLocales) {
    LoadedForm form("stHints\r\n",
                    LoadOptions{"", [](TTranslator& t) { t.SetOptions({loUseExtCommonStrings}); }});
    EXPECT_EQ(form.Translator().DlgsCaptions()->Count(), 0);
    EXPECT_EQ(form.Translator().Locales()->Count(), 0);
}

TEST(Loading, AllDialogTextsAddedAndRemoved) {
    LoadedForm all("stHints\r\n", LoadOptions{"", [](TTranslator& t) { t.SetNeedAllDlgs(true); }});
    const TStringList& rows = *all.Translator().DlgsCaptions();
    ASSERT_EQ(rows.Count(), 82);
    EXPECT_EQ(rows.Strings(15).substr(0, 11), std::string("Open\x01&Open\x01", 11));
    EXPECT_EQ(ExtractField(rows.Strings(28), 0, '\x01'), "|Solid");
    EXPECT_EQ(ExtractField(rows.Strings(28), 1, '\x01'), "|S&olid");
    EXPECT_EQ(ExtractField(rows.Strings(81), 0, '\x01'), "(None)");

    // Stored with all 82 rows but without the switch: back to the basic fifteen.
    std::string block = "stDlgsCaptions\r\n";
    for (int i = 0; i < rows.Count(); ++i) {
        block += rows.Strings(i) + "\r\n";
    }
    LoadedForm basic(block);
    ASSERT_EQ(basic.Translator().DlgsCaptions()->Count(), 15);
    EXPECT_EQ(ExtractField(basic.Translator().DlgsCaptions()->Strings(14), 0, '\x01'), "Help");

    // Switched on later, outside loading.
    LoadedForm later("stHints\r\n");
    later.Translator().SetNeedAllDlgs(true);
    EXPECT_EQ(later.Translator().DlgsCaptions()->Count(), 82);
}

TEST(Loading, ExcludedPropertiesDropRows) {
    const std::string block =
        "stCaptions\r\n" + Row("Label1", {"c"}) + "\r\nstFonts\r\n" + Row("Label1", {"f"}) +
        "\r\nstCharSets\r\n" + Row("Label1", {"ANSI_CHARSET"}) + "\r\nstOtherStrings\r\n" +
        Row("EditDir.Text", {"t"}) + "\r\n" + Row("EditDir.Name", {"n"}) + "\r\n" +
        Row("EditDir.ImeName", {"i"}) + "\r\n" + Row("Memo1.HelpKeyword", {"k"}) + "\r\n";
    LoadedForm form(block, LoadOptions{"", [](TTranslator& t) {
                                           t.ExcludedProperties()->Add("Font");
                                           t.ExcludedProperties()->Add("helpkeyword");
                                           t.SmartExcludeProps()->Add("EditDir.ImeName");
                                       }});
    TTranslator& translator = form.Translator();
    EXPECT_EQ(translator.Captions()->Count(), 1);
    EXPECT_EQ(translator.Fonts()->Count(), 0);
    EXPECT_EQ(translator.CharSets()->Count(), 0);
    ASSERT_EQ(translator.OtherStrings()->Count(), 1);
    EXPECT_EQ(translator.OtherStrings()->Strings(0), Row("EditDir.Text", {"t"}));
}

TEST(Loading, NoIndexWhileDesigning) {
    TComponent form(nullptr);
    auto* translator = new TTranslator(&form);
    translator->SetDesigning(true);
    translator->BeginLoading();
    translator->ReadTranslationData("stStrings\r\n" + Row("sX", {"1"}) + "\r\n");
    translator->Loaded();
    EXPECT_EQ(translator->NamedStringIndex().Count(), 0);
    EXPECT_EQ(translator->LookupString("sX"), "1") << "answered from the rows";
}

} // namespace
} // namespace kq
