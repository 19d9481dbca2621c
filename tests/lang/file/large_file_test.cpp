// Translation files far larger than any written by hand: tens of thousands of sections and of
// keys, and a line of a megabyte, are read whole and in time that grows with the file, so that
// such a file in the current folder cannot hold the program at start-up.

#include "pass/test_window.h"
#include "support/fresh_folder.h"
#include "support/rows.h"

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

class LargeTranslationFile : public test::InFreshFolder {};

TEST_F(LargeTranslationFile, ManySectionsManyKeysAndALongLineLoadWhole) {
    constexpr int kMany = 30000;
    std::string text;
    for (int i = 0; i < kMany; ++i)
        text += "[Section " + std::to_string(i) + "]\r\nkey=value\r\n";
    text += "[Strings]\r\n";
    for (int i = 0; i < kMany; ++i)
        text += "TForm2.s" + std::to_string(i) + "=another form's\r\n";
    const std::string longText(1 << 20, 'a');
    text += "TForm1.sLong=" + longText + "~!@#b~!@#c\r\n";
    text += "[Captions]\r\nTForm1.Label1=l1~!@#l2~!@#l3\r\n";
    std::ofstream("translations.lng", std::ios::binary) << text;

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
