// The program's table written out as a translation file (what lngexport writes) and read back
// by a window of the program's class: every section holds the same rows again, in the order of
// their keys with the window's own row first, and the language names come back.

#include "delimited.h"
#include "lang/errors.h"
#include "lang/stored_table.h"
#include "lang/translation_file.h"
#include "lang_fixture.h"
#include "resources/resources.h"
#include "support/test_controls.h"
#include "test/in_temp_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace kq {
namespace {

using test::D;

const char* const kLanguageNames = "ChineseSimplified,ChineseTranTraditional,English";

// What lngexport writes when given the program's language names.
std::string ExportProgramTable() {
    TTranslator translator(nullptr);
    translator.ReadTranslationData(resources::TranslationData());
    TStringList names;
    names.SetCommaText(kLanguageNames);
    translator.SetLangNames(&names);
    TTranslationFileOptions options;
    options.FormClassName = "TForm1";
    return WriteTranslationFile(translator, options);
}

std::vector<std::string> Sorted(std::vector<std::string> rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

class ExportedTable : public test::InTempFolder {};

TEST_F(ExportedTable, ReadsBackUnchanged) {
    std::ofstream("translations.lng", std::ios::binary) << ExportProgramTable();
    const TStoredTable original = ReadStoredTable(resources::TranslationData());

    // A window holding every component the table names, so that no row is set aside.
    auto form = std::make_unique<test::TForm1>(nullptr);
    form->SetName("Form1");
    for (int ordinal = 0; ordinal < kSectionListCount; ++ordinal) {
        if (ordinal == stDlgsCaptions || ordinal == stStrings || ordinal == stLocales) {
            continue;
        }
        for (const std::string& row : original.Sections[ordinal].value_or(TTableRows{})) {
            const std::string name = ExtractField(row, 0, '\x01');
            const std::string component = name.substr(0, name.find('.'));
            if (component != "TForm1" && form->FindComponent(component) == nullptr) {
                (new TComponent(form.get()))->SetName(component);
            }
        }
    }
    test::LoadedForm loaded(std::move(form), "", test::LoadOptions{"translations.lng", {}});
    TTranslator& t = loaded.Translator();

    for (int ordinal = 0; ordinal < kSectionListCount; ++ordinal) {
        const auto type = static_cast<TStringsType>(ordinal);
        const TTableRows expected = original.Sections[ordinal].value_or(TTableRows{});
        const TStringList& list = *t.List(type);
        std::vector<std::string> rows;
        for (int i = 0; i < list.Count(); ++i) {
            rows.push_back(list.Strings(i));
        }
        SCOPED_TRACE(std::string(StringsTypeName(type)));
        EXPECT_EQ(Sorted(rows), Sorted(expected));
        EXPECT_TRUE(t.SetAsideRows(type).empty());
        if (!expected.empty() && ExtractField(expected[0], 0, '\x01') == "TForm1") {
            EXPECT_EQ(rows[0], expected[0]) << "the window's own row first";
        }
    }
    EXPECT_EQ(t.LangNames()->CommaText(), kLanguageNames);
    EXPECT_EQ(t.NumOfLanguages(), 3);
}

// CTest runs lngexport first and names its file here.
TEST(ExportTool, WritesTheTableAsTheLibraryDoes) {
    const char* path = std::getenv("KQ_EXPORTED_TABLE");
    if (path == nullptr) {
        GTEST_SKIP() << "KQ_EXPORTED_TABLE names no file written by lngexport";
    }
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << path;
    const std::string written{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(written, ExportProgramTable());
}

// A row that the file could only carry changed is refused, not written differently.
TEST(ExportWriter, RefusesRowsThatWouldComeBackChanged) {
    struct Case {
        TStringsType section;
        std::vector<const char*> rows;
        const char* message;
    } cases[] = {
        {stStrings,
         {"sX|a~!@#b|"},
         "Row \"sX\" of Strings cannot be written to a translation "
         "file: a cell holds the separator"},
        {stStrings,
         {"sX|a"},
         "Row \"sX\" of Strings cannot be written to a translation file: "
         "it has no closing delimiter"},
        {stStrings,
         {"sX|a\x19|"},
         "Row \"sX\" of Strings cannot be written to a translation "
         "file: a cell holds a byte that stands for a line break"},
        {stCaptions,
         {"Label1|a|", "label1|b|"},
         "Row \"label1\" of Captions cannot be written "
         "to a translation file: another row has the "
         "same name"},
        {stCollections,
         {"Grid-1.Columns[0].Title|a|"},
         "Row \"Grid-1.Columns[0].Title\" of Collections cannot be written to a translation "
         "file: its name holds \"-\" or \"+\""},
    };
    for (const Case& c : cases) {
        TTranslator translator(nullptr);
        TStringList rows;
        for (const char* row : c.rows) {
            rows.Add(D(row));
        }
        translator.List(c.section)->Assign(&rows);
        TTranslationFileOptions options;
        options.FormClassName = "TForm1";
        try {
            WriteTranslationFile(translator, options);
            ADD_FAILURE() << "no error for " << c.rows[0];
        } catch (const ELanguageError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

} // namespace
} // namespace kq
