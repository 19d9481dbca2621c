// The pass on the wizard's own window, loaded from its stored description: languages 2 and 3
// give the captions of the program's table (a control whose cell is empty keeps its stored
// text), the window's font face follows, character sets follow their rules; and a translation
// file in the current folder replaces the table when the window is made.

#include "base/properties.h"
#include "program_table_expected.h"
#include "setup/form1.h"
#include "test/in_temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace kq {
namespace {

const std::string kSongti = "\xCB\xCE\xCC\xE5"; // GBK, as the table stores the face

std::string Caption(TComponent& component) {
    const TPropInfo* prop = FindPropInfo(component, "Caption");
    return prop != nullptr ? GetStrProp(component, *prop) : std::string("(no caption)");
}

TFont& FontOf(TComponent& component) {
    return *dynamic_cast<TControl&>(component).Font();
}

TEST(LoadedWindow, LanguagesGiveTheTableCaptions) {
    for (int language : {2, 3}) {
        TForm1 window(nullptr);
        std::map<std::string, std::string> stored;
        for (const ExpectedRow& row : kExpected_stCaptions) {
            if (row.Name != "TForm1") {
                stored[std::string(row.Name)] = Caption(*window.FindComponent(row.Name));
            }
        }
        window.LangDispatcher1->SetActiveLanguage(language);
        SCOPED_TRACE(language);
        EXPECT_EQ(window.Caption(), "Form1");
        for (const ExpectedRow& row : kExpected_stCaptions) {
            if (row.Name == "TForm1") {
                continue;
            }
            const std::string_view cell = row.Cells[language - 1];
            const std::string name(row.Name);
            EXPECT_EQ(Caption(*window.FindComponent(name)), cell.empty() ? stored[name] : cell)
                << name;
        }
        EXPECT_EQ(window.Font()->Name(), language == 2 ? "Default" : kSongti);
    }
}

// The stored window agrees with language 1, so language 1 needs no pass.
TEST(LoadedWindow, StoredTextsAreLanguageOne) {
    TForm1 window(nullptr);
    for (const ExpectedRow& row : kExpected_stCaptions) {
        const std::string_view cell = row.Cells[0];
        if (row.Name != "TForm1" && !cell.empty()) {
            EXPECT_EQ(Caption(*window.FindComponent(row.Name)), cell) << row.Name;
        }
    }
}

TEST(LoadedWindow, CharacterSets) {
    TForm1 window(nullptr);
    const int form = window.Font()->Charset();
    const int company = FontOf(*window.LabelCompanyAll1).Charset();
    window.LangDispatcher1->SetActiveLanguage(3);
    EXPECT_EQ(window.Font()->Charset(), form) << "cell 3 of the window's row is empty";
    EXPECT_EQ(FontOf(*window.LabelCompanyAll1).Charset(), company);
    EXPECT_EQ(company, 134) << "stored as GB2312_CHARSET";
}

class WindowWithFile : public test::InTempFolder {};

TEST_F(WindowWithFile, FileReplacesTheTableWhenTheWindowIsMade) {
    std::ofstream("translations.lng", std::ios::binary)
        << "[Captions]\r\nTForm1.TForm1=File form~!@#~!@#\r\n"
           "TForm1.ButtonNext1=One~!@#Two~!@#Three~!@#\r\n"
           "[Strings]\r\nTForm1.sCompany=A~!@#B~!@#C~!@#\r\n";
    TForm1 window(nullptr);
    const std::string stored = window.ButtonNext2->Caption();
    EXPECT_EQ(window.Caption(), "File form");
    EXPECT_EQ(window.ButtonNext1->Caption(), "One");
    EXPECT_EQ(window.Translator1->LookupString("sCompany"), "A");
    EXPECT_EQ(window.Translator1->LookupString("sRetry"), "") << "the file has no such row";
    window.LangDispatcher1->SetActiveLanguage(3);
    EXPECT_EQ(window.ButtonNext1->Caption(), "Three");
    EXPECT_EQ(window.ButtonNext2->Caption(), stored) << "the file has no row for it";
}

} // namespace
} // namespace kq
