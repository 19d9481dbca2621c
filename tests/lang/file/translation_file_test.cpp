// Loading the table from "translations.lng" in the current folder at the link: which keys become
// which rows and extended translations, the sections it empties, its options and language
// names, and the pass that follows.

#include "lang/errors.h"
#include "pass/test_window.h"
#include "support/unreadable_file.h"
#include "test/in_temp_folder.h"
#include "test/rows.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using test::Block;
using test::D;
using test::LoadOptions;
using test::Rows;
using test::TestWindow;

std::vector<std::string> DRows(std::initializer_list<std::string_view> rows) {
    std::vector<std::string> result;
    for (std::string_view row : rows) {
        result.push_back(D(row));
    }
    return result;
}

const std::string kStored = Block({{"stCaptions", {"TForm1|s1|s2|s3|", "Label1|l1|l2|l3|"}},
                                   {"stStrings", {"sStored|a|b|c|"}},
                                   {"stFonts", {"TForm1|f|f|f|"}}});

class TranslationFile : public test::InTempFolder {
protected:
    static void Write(std::string_view text) {
        std::ofstream("translations.lng", std::ios::binary) << text;
    }
    static std::unique_ptr<TestWindow> Load(std::function<void(TTranslator&)> before = {}) {
        return std::make_unique<TestWindow>(kStored, LoadOptions{"translations.lng", before});
    }
};

// Every section is emptied before it is read, the stored table's and the construction's rows
// alike.
TEST_F(TranslationFile, OnlyStringsLeavesTheOtherSectionsEmpty) {
    Write("[Strings]\r\nTForm1.sCompany=K1~!@#K2~!@#K3 \r\n");
    auto window = Load();
    TTranslator& t = window->Translator();
    for (int ordinal = 0; ordinal < kSectionListCount; ++ordinal) {
        if (ordinal != stStrings) {
            EXPECT_EQ(t.List(static_cast<TStringsType>(ordinal))->Count(), 0) << ordinal;
        }
    }
    EXPECT_EQ(t.LookupString("sStored"), "");
    EXPECT_EQ(t.LookupString("sCompany"), "K1");
    window->Dispatcher().SetActiveLanguage(3);
    EXPECT_EQ(t.LookupString("sCompany"), "K3 ");
    EXPECT_EQ(window->Form().Caption(), "Form1");
    EXPECT_EQ(window->Get("Label1").Caption(), "Label1");
}

TEST_F(TranslationFile, KeysBecomeRows) {
    Write("; a comment\r\n"
          "[Strings]\r\n"
          "TForm1.sThree=a~!@#b~!@#c\r\n"
          "TForm1.sClosed=a~!@#b~!@#c~!@#\r\n"
          "TForm1.sOne=single\r\n"
          "TForm2.sOther=x~!@#y\r\n"
          "Form1.sByName=n~!@#m\r\n"
          "form1.sNameCase=n~!@#m\r\n"
          "TFORM1.sClassCase=c~!@#d\r\n"
          "TForm1.sLines=a\x19\x1A"
          "b~!@#c\r\n"
          "TForm1.sSkipped=\xFF\r\n"
          "TForm1.sEmpty=\r\n"
          "[Captions]\r\n"
          "TForm1.Label1=l1~!@#l2~!@#l3\r\n"
          "TForm1.TForm1=f1~!@#f2~!@#f3\r\n"
          "TForm1.Ghost=g~!@#g\r\n"
          "TForm1.Label2=not~!@#translated\r\n"
          "[Collections]\r\n"
          "TForm1.Grid1.Columns-1+.Title=t1~!@#t2~!@#t3\r\n"
          "[Extended]\r\n"
          "TForm1.Label3.Caption=c1~!@#c2~!@#c3\r\n"
          "TForm1.Label3.Caption_TypeKind=tkLString~!@#rest\r\n"
          "TForm1.Label2.Hint=h\r\n"
          "TForm2.Label3.Caption=other form\r\n");
    auto window = Load([](TTranslator& t) { t.DoNotTranslate()->Add("Label2"); });
    TTranslator& t = window->Translator();
    EXPECT_EQ(Rows(*t.Strings()),
              DRows({"sByName|n|m", "sNameCase|n|m", "sClassCase|c|d", "sClosed|a|b|c|", "sEmpty||",
                     "sLines|a\r\nb|c", "sOne|single|single", "sThree|a|b|c"}));
    EXPECT_EQ(Rows(*t.Captions()), DRows({"TForm1|f1|f2|f3", "Label1|l1|l2|l3"}));
    EXPECT_EQ(t.SetAsideRows(stCaptions), DRows({"Ghost|g|g"}));
    EXPECT_EQ(Rows(*t.Collections()), DRows({"Grid1.Columns[1].Title|t1|t2|t3"}));
    EXPECT_EQ(window->Form().Caption(), "f1") << "a pass follows the load";
    const auto& items = t.ExtendedTranslations();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].Identifier, "Label2.Hint");
    EXPECT_EQ(items[0].PropertyType, "tkUnknown");
    EXPECT_EQ(items[1].Identifier, "Label3.Caption");
    EXPECT_EQ(items[1].Values, D("c1|c2|c3"));
    EXPECT_EQ(items[1].PropertyType, "tkLString");
    window->Dispatcher().SetActiveLanguage(3);
    EXPECT_EQ(window->Get("Label1").Caption(), "l3");
    EXPECT_EQ(window->Get("Label3").Caption(), "c3");
    EXPECT_EQ(t.LookupString("sOne"), "") << "a value without separator fills cells 1 and 2";
}

TEST_F(TranslationFile, OwnSeparator) {
    Write("[OPTIONS]\r\nDELIMITER=;;\r\n[Strings]\r\nTForm1.sX=a;;b;;c\r\nTForm1.sY=a~!@#b\r\n");
    auto window = Load();
    EXPECT_EQ(Rows(*window->Translator().Strings()), DRows({"sX|a|b|c", "sY|a~!@#b|a~!@#b"}));
}

TEST_F(TranslationFile, LanguageNames) {
    struct Case {
        const char* section;
        std::vector<std::string> names, fixed;
    } cases[] = {
        // Fewer names than the component's languages: those named are renamed, the count stays.
        {"Language_1=One\r\nLanguage_2=Two\r\n", {"One", "Two", "English"}, {"Two", "English"}},
        {"Language_1=One\r\nLanguage_3=Three\r\n",
         {"One", "ChineseTranTraditional", "English"},
         {"ChineseTranTraditional", "English"}},
        {"Language_1=One\r\nLanguage_2=Two\r\nLanguage_3=Three\r\nLanguage_4=Four\r\n",
         {"One", "Two", "Three", "Four"},
         {"Two", "Three"}},
        // No name at all: the component keeps its languages.
        {"Language_2=Two\r\n",
         {"ChineseSimplified", "ChineseTranTraditional", "English"},
         {"ChineseTranTraditional", "English"}},
    };
    for (const Case& c : cases) {
        Write(std::string("[OPTIONS]\r\nLanguage_Fixed2=1\r\nLanguage_Fixed3=1\r\n"
                          "[Language names - for internal use only!]\r\n") +
              c.section);
        auto window = Load();
        TTranslator& t = window->Translator();
        SCOPED_TRACE(c.section);
        EXPECT_EQ(Rows(*t.LangNames()), c.names);
        EXPECT_EQ(t.NumOfLanguages(), static_cast<int>(c.names.size()));
        EXPECT_EQ(Rows(*t.FixedLanguages()), c.fixed);
    }
}

// The owner's exclusions hold for the pass that follows the load as well.
TEST_F(TranslationFile, ExcludedRowsAreNotAppliedByTheLoad) {
    Write("[Captions]\r\nTForm1.Label1=x~!@#y\r\n[Other]\r\nTForm1.Edit1.Text=t~!@#u\r\n"
          "TForm1.Label2.Name=renamed~!@#renamed\r\n");
    auto window = Load([](TTranslator& t) {
        t.ExcludedProperties()->Add("Caption");
        t.SmartExcludeProps()->Add("Edit1.Text");
    });
    EXPECT_EQ(window->Get("Label1").Caption(), "Label1");
    EXPECT_EQ(window->Get<test::TTestEdit>("Edit1").Text(), "");
    EXPECT_NE(window->Form().FindComponent("Label2"), nullptr);
}

TEST_F(TranslationFile, ExistingButUnreadableFileFailsTheLoading) {
    test::UnreadableFile held("translations.lng");
    try {
        Load();
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"translations.lng\". ", 0), 0u)
            << e.Message();
    }
}

// Files far larger than any written by hand: tens of thousands of sections and of keys, and a
// line of a megabyte, are read whole and in time that grows with the file, so that such a file in
// the current folder cannot hold the program at start-up.
TEST_F(TranslationFile, ManySectionsManyKeysAndALongLineLoadWhole) {
    constexpr int kMany = 30000;
    std::string text;
    for (int i = 0; i < kMany; ++i) {
        text += "[Section " + std::to_string(i) + "]\r\nkey=value\r\n";
    }
    text += "[Strings]\r\n";
    for (int i = 0; i < kMany; ++i) {
        text += "TForm2.s" + std::to_string(i) + "=another form's\r\n";
    }
    const std::string longText(1 << 20, 'a');
    text += "TForm1.sLong=" + longText + "~!@#b~!@#c\r\n";
    text += "[Captions]\r\nTForm1.Label1=l1~!@#l2~!@#l3\r\n";
    Write(text);

    const std::string stored = Block(
        {{"stCaptions", {"TForm1|s1|s2|s3|", "Label1|a|b|c|"}}, {"stStrings", {"sStored|a|b|c|"}}});
    TestWindow window(stored, LoadOptions{"translations.lng", {}});
    TTranslator& t = window.Translator();
    EXPECT_TRUE(Rows(*t.Strings()) == std::vector<std::string>{D("sLong|" + longText + "|b|c")});
    EXPECT_EQ(Rows(*t.Captions()), std::vector<std::string>{D("Label1|l1|l2|l3")});
    window.Dispatcher().SetActiveLanguage(3);
    EXPECT_EQ(window.Get("Label1").Caption(), "l3");
    EXPECT_EQ(t.LookupString("sLong"), "c");
}

} // namespace
} // namespace kq
