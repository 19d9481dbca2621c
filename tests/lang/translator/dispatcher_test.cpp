// The dispatcher and the link: link order, what the link copies and runs (the translation file
// included), switching every linked component, the errors with their texts, and unlinking when
// either side goes away.

#include "lang/errors.h"
#include "lang_fixture.h"
#include "test/in_temp_folder.h"
#include "test/raises.h"
#include "test/rows.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using test::LoadedForm;
using test::LoadOptions;
using test::Names;
using test::RaisedMessage;
using test::Row;
using test::Rows;

TEST(Dispatcher, LinkCopiesLanguagesAndReportsTheLink) {
    TComponent form(nullptr);
    auto* translator = new TTranslator(&form);
    TLangDispatcher dispatcher(nullptr);
    dispatcher.SetLangNames(Names({"A", "B", "C"}).get());
    dispatcher.SetActiveLanguage(2);
    std::vector<std::pair<TLangDispatcher*, TCustomTranslator*>> links;
    int passes = 0;
    translator->OnChangeLanguage = [&](TObject*) { ++passes; };
    dispatcher.OnLinkToDispatcher = [&](TLangDispatcher* sender, TCustomTranslator* linked) {
        EXPECT_EQ(linked->ActiveLanguage(), 2) << "the event comes last";
        links.emplace_back(sender, linked);
    };
    translator->SetLangDispatcher(&dispatcher);
    EXPECT_EQ(translator->NumOfLanguages(), 3);
    EXPECT_EQ(Rows(*translator->LangNames()), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(translator->Language(), "B");
    EXPECT_EQ(passes, 1) << "without a file name the link switches the language";
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].first, &dispatcher);
    EXPECT_EQ(links[0].second, translator);
    ASSERT_EQ(dispatcher.TranslatorCount(), 1);
    translator->SetLangDispatcher(&dispatcher);
    EXPECT_EQ(dispatcher.TranslatorCount(), 1) << "no duplicates in the link order";
    EXPECT_EQ(links.size(), 2u);
}

TEST(Dispatcher, SwitchesEveryLinkedComponentInOrder) {
    LoadedForm first("stStrings\r\n");
    LoadedForm second("stStrings\r\n");
    LoadedForm third("stStrings\r\n");
    TLangDispatcher& dispatcher = first.Dispatcher();
    second.Translator().SetLangDispatcher(&dispatcher);
    third.Translator().SetLangDispatcher(&dispatcher);
    ASSERT_EQ(dispatcher.TranslatorCount(), 3);
    EXPECT_EQ(dispatcher.Translators(1), &second.Translator());

    dispatcher.SetActiveLanguage(3);
    for (LoadedForm* form : {&first, &second, &third}) {
        EXPECT_EQ(form->Translator().ActiveLanguage(), 3);
    }
    EXPECT_EQ(dispatcher.Language(), "English");

    // The second refuses 3 once it has only two languages: the third is not switched.
    dispatcher.SetActiveLanguage(1);
    second.Translator().SetNumOfLanguages(2);
    EXPECT_EQ(RaisedMessage<ELanguageError>([&] { dispatcher.SetActiveLanguage(3); }),
              "3 - is not a valid property value!\rValue must be within [1..2]!");
    EXPECT_EQ(dispatcher.ActiveLanguage(), 3) << "stored before the components switch";
    EXPECT_EQ(first.Translator().ActiveLanguage(), 3);
    EXPECT_EQ(second.Translator().ActiveLanguage(), 1);
    EXPECT_EQ(third.Translator().ActiveLanguage(), 1);
}

TEST(Dispatcher, LanguageByName) {
    LoadedForm form("stStrings\r\n");
    TLangDispatcher& dispatcher = form.Dispatcher();
    EXPECT_EQ(RaisedMessage<ELanguageError>([&] { dispatcher.SetLanguage("Klingon"); }),
              "Language name shall be included in LangNames property!");
    dispatcher.SetLanguage("ChineseTranTraditional");
    EXPECT_EQ(dispatcher.ActiveLanguage(), 2);
    EXPECT_EQ(form.Translator().ActiveLanguage(), 2);
}

TEST(Dispatcher, NumOfLanguagesPadsNamesAndReachesTheComponents) {
    LoadedForm form("stStrings\r\n" + Row("sX", {"1", "2", "3"}) + "\r\n");
    TLangDispatcher& dispatcher = form.Dispatcher();
    dispatcher.SetNumOfLanguages(4);
    EXPECT_EQ(Rows(*dispatcher.LangNames()).back(), "Language N4");
    EXPECT_EQ(form.Translator().NumOfLanguages(), 4);
    dispatcher.SetNumOfLanguages(2);
    EXPECT_EQ(dispatcher.LangNames()->Count(), 2);
    EXPECT_EQ(form.Translator().Strings()->Strings(0), Row("sX", {"1", "2"}));
}

TEST(Dispatcher, LangNamesReachTheComponents) {
    LoadedForm form("stStrings\r\n");
    form.Dispatcher().SetActiveLanguage(2);
    form.Dispatcher().SetLangNames(Names({"zh-Hans", "zh-Hant", "en", "fr"}).get());
    EXPECT_EQ(form.Dispatcher().Language(), "zh-Hant");
    EXPECT_EQ(form.Dispatcher().NumOfLanguages(), 4);
    EXPECT_EQ(form.Translator().Language(), "zh-Hant");
    EXPECT_EQ(form.Translator().NumOfLanguages(), 4);
    EXPECT_EQ(Rows(*form.Translator().LangNames()).back(), "fr");
}

TEST(Dispatcher, DestroyingEitherSideUnlinks) {
    auto* form = new TComponent(nullptr);
    auto* translator = new TTranslator(form);
    {
        TLangDispatcher dispatcher(nullptr);
        translator->SetLangDispatcher(&dispatcher);
        ASSERT_EQ(translator->LangDispatcher(), &dispatcher);
    }
    EXPECT_EQ(translator->LangDispatcher(), nullptr);

    TLangDispatcher dispatcher(nullptr);
    translator->SetLangDispatcher(&dispatcher);
    delete form;
    EXPECT_EQ(dispatcher.TranslatorCount(), 0);
    dispatcher.SetActiveLanguage(1); // must not reach the deleted component
}

// Only a component that names the dispatcher unlinks itself from it; one attached without that
// would be left behind in the link order when it goes away.
TEST(Dispatcher, AttachesOnlyAComponentLinkedToIt) {
    TComponent form(nullptr);
    auto* translator = new TTranslator(&form);
    TLangDispatcher dispatcher(nullptr);
    dispatcher.Attach(*translator);
    EXPECT_EQ(dispatcher.TranslatorCount(), 0);
    translator->SetLangDispatcher(&dispatcher);
    dispatcher.Attach(*translator);
    EXPECT_EQ(dispatcher.TranslatorCount(), 1) << "no duplicates in the link order";
}

// The file the dispatcher names is looked for relative to the current folder, as the program
// does with "translations.lng".
class LinkWithFile : public test::InTempFolder {
protected:
    static void CreateFile(const char* name) { std::ofstream(name) << "[Strings]\r\n"; }
};

TEST_F(LinkWithFile, ExistingFileTranslatesEvenWithoutAChangeOfLanguage) {
    CreateFile("translations.lng");
    int passes = 0;
    LoadedForm form("stStrings\r\n", LoadOptions{"translations.lng", [&](TTranslator& t) {
                                                     t.OnChangeLanguage = [&](TObject*) {
                                                         ++passes;
                                                     };
                                                 }});
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(form.Translator().ActiveLanguage(), 1);
}

TEST_F(LinkWithFile, MissingFileChangesNothing) {
    int passes = 0;
    LoadedForm form("stStrings\r\n" + Row("sX", {"1", "2", "3"}) + "\r\n",
                    LoadOptions{"translations.lng", [&](TTranslator& t) {
                                    t.OnChangeLanguage = [&](TObject*) { ++passes; };
                                }});
    EXPECT_EQ(passes, 0);
    EXPECT_EQ(form.Translator().LookupString("sX"), "1");
    form.Dispatcher().SetActiveLanguage(2);
    EXPECT_EQ(passes, 1);
}

// With a file name the component takes the dispatcher's language at the link without a pass.
TEST_F(LinkWithFile, FileNameSetsTheLanguageDirectly) {
    TComponent form(nullptr);
    auto* translator = new TTranslator(&form);
    int passes = 0;
    translator->OnChangeLanguage = [&](TObject*) { ++passes; };
    TLangDispatcher dispatcher(nullptr);
    dispatcher.SetLangNames(Names({"A", "B"}).get());
    dispatcher.SetActiveLanguage(2);
    dispatcher.SetFileName("absent.lng");
    translator->SetLangDispatcher(&dispatcher);
    EXPECT_EQ(translator->ActiveLanguage(), 2);
    EXPECT_EQ(passes, 0);
}

TEST_F(LinkWithFile, BinaryFileIsRefused) {
    CreateFile("table.lnb");
    TComponent form(nullptr);
    auto* translator = new TTranslator(&form);
    TLangDispatcher dispatcher(nullptr);
    dispatcher.SetFileName("table.lnb");
    EXPECT_EQ(RaisedMessage<ELanguageError>([&] { translator->SetLangDispatcher(&dispatcher); }),
              "Binary translation files are not supported: table.lnb");
    dispatcher.SetFileName("missing.LNB");
    EXPECT_NO_THROW(translator->SetLangDispatcher(&dispatcher));
}

} // namespace
} // namespace kq
