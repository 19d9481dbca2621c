// The wizard's own translation table as the program stores it: its size and shape, a byte-exact
// round trip, and every named string and caption against the texts converted by iconv.

#include "lang_fixture.h"
#include "program_table_expected.h"
#include "resources/resources.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

using test::LoadedForm;

std::vector<std::string> Lines(std::string_view block) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = block.find("\r\n", start)) != std::string_view::npos;
         start = end + 2) {
        lines.emplace_back(block.substr(start, end - start));
    }
    EXPECT_EQ(start, block.size()) << "the block ends with CR LF";
    return lines;
}

int Delimiters(const std::string& row) {
    return static_cast<int>(std::count(row.begin(), row.end(), '\x01'));
}

TEST(ProgramTable, SizeAndShape) {
    const std::string_view block = resources::TranslationData();
    // The product's table plus the disk-space message (208 bytes: name, three cells, four
    // delimiters and the line break), the damaged-archive message (194 bytes: a name of 15,
    // cells of 48, 48 and 77, four delimiters and the line break), the message of a second
    // Setup (98 bytes: a name of 15, cells of 23, 23 and 31, four delimiters, the line break) and
    // the shortcuts and registry entries not made (183 bytes: a name of 8, cells of 46, 40 and
    // 83, four delimiters, the line break).
    EXPECT_EQ(block.size(), 8016u + 208u + 194u + 98u + 183u);
    EXPECT_EQ(block.find_first_of(std::string_view("\t\x19\x1A", 3)), std::string_view::npos);

    struct Section {
        const char* header;
        int rows;
    };
    const std::vector<Section> expected = {
        {"stCaptions", 43},  {"stHints", 56},        {"stDisplayLabels", 0}, {"stFonts", 10},
        {"stMultiLines", 5}, {"stDlgsCaptions", 15}, {"stStrings", 22},      {"stOtherStrings", 67},
        {"stLocales", 15},   {"stCollections", 0},   {"stCharSets", 10},
    };
    std::vector<Section> found;
    std::vector<std::string> rows;
    for (const std::string& line : Lines(block)) {
        if (line.rfind("st", 0) == 0 && line.find('\x01') == std::string::npos) {
            found.push_back({nullptr, 0});
            EXPECT_EQ(line, expected.at(found.size() - 1).header);
        } else {
            ASSERT_FALSE(found.empty()) << "row before the first header";
            ++found.back().rows;
            rows.push_back(line);
        }
    }
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].rows, expected[i].rows) << expected[i].header;
    }
    ASSERT_EQ(rows.size(), 243u);
    // Three cells and the closing delimiter, except the last two character-set rows: one cell.
    for (std::size_t i = 0; i + 2 < rows.size(); ++i) {
        EXPECT_EQ(Delimiters(rows[i]), 4) << rows[i];
    }
    EXPECT_EQ(rows[241], "LabelInstallationGuides\x01"
                         "DEFAULT_CHARSET\x01");
    EXPECT_EQ(rows[242], "Label4\x01"
                         "DEFAULT_CHARSET\x01");
}

TEST(ProgramTable, ReadThenWriteGivesTheSameBytes) {
    const std::string_view block = resources::TranslationData();
    TTranslator bare(nullptr);
    bare.ReadTranslationData(block);
    EXPECT_TRUE(bare.TranslationData() == block);

    LoadedForm form(block);
    EXPECT_TRUE(form.Translator().TranslationData() == block) << "loading changes no row";
}

TEST(ProgramTable, EveryNamedStringInEveryLanguage) {
    LoadedForm form(resources::TranslationData());
    for (int language = 1; language <= 3; ++language) {
        form.Dispatcher().SetActiveLanguage(language);
        for (const ExpectedRow& row : kExpected_stStrings) {
            const std::string name(row.Name);
            const std::string_view text = row.Cells[language - 1];
            EXPECT_EQ(form.Translator().LookupString(name), text)
                << name << " in language " << language;
            EXPECT_EQ(form.Translator().LookupString(UpperCase(name)), text)
                << UpperCase(name) << " in language " << language;
        }
        EXPECT_EQ(form.Translator().LookupString("sCompanyAll"), "") << language;
    }
}

TEST(ProgramTable, CaptionsInTheStoredOrder) {
    LoadedForm form(resources::TranslationData());
    const TStringList& captions = *form.Translator().Captions();
    ASSERT_EQ(captions.Count(), static_cast<int>(std::size(kExpected_stCaptions)));
    for (int i = 0; i < captions.Count(); ++i) {
        const ExpectedRow& expected = kExpected_stCaptions[i];
        const std::string row = captions.Strings(i);
        EXPECT_EQ(ExtractField(row, 0, '\x01'), expected.Name) << "row " << i;
        for (int cell = 1; cell <= 3; ++cell) {
            EXPECT_EQ(ExtractField(row, cell, '\x01'), expected.Cells[cell - 1])
                << expected.Name << " cell " << cell;
        }
    }
}

TEST(ProgramTable, OtherSections) {
    LoadedForm form(resources::TranslationData());
    TTranslator& translator = form.Translator();
    const std::string songTi = "\xCB\xCE\xCC\xE5"; // the face name in GBK
    EXPECT_EQ(translator.Fonts()->Strings(0), "TForm1\x01" + songTi +
                                                  "\x01"
                                                  "Default\x01" +
                                                  songTi + "\x01");
    EXPECT_EQ(translator.Hints()->Strings(0), "TForm1\x01\x01\x01\x01");
    EXPECT_EQ(translator.Hints()->Strings(55), "CheckBox1\x01\x01\x01\x01");
    EXPECT_EQ(translator.OtherStrings()->Strings(0), "TForm1.HelpFile\x01\x01\x01\x01");
    EXPECT_EQ(translator.LookupString("No To All", stDlgsCaptions), "N&o to All");
    EXPECT_EQ(translator.LookupString("Currency String", stLocales), "\xA3\xA4");
    EXPECT_EQ(translator.LookupString("EditDir.Text", stOtherStrings), "c:\\program...");
    EXPECT_EQ(translator.LookupString("Memo1.Lines", stMultiLines), "Memo1");
    EXPECT_EQ(translator.LookupString("LabelCompanyAll2", stCharSets), "GB2312_CHARSET");
}

} // namespace
} // namespace kq
