// Fonts and character sets: the face from the Fonts row, the character set from the CharSets
// row, the different letter-case rules of the form's own row and a component's, and controls
// whose font follows their parent's.

#include "pass/test_window.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

using test::Block;
using test::TestWindow;

const char* const kHeiti = "\xBA\xDA\xCC\xE5"; // a GBK face name
const char* const kSongti = "\xCB\xCE\xCC\xE5";

TEST(PassFonts, ComponentFaceAndCharset) {
    struct Case {
        bool parentFont;
        const char *charsetCell, *faceCell, *face;
        int charset;
    } cases[] = {
        {false, "GB2312_CHARSET", kHeiti, kHeiti, 134},
        {false, "gb2312_charset", "", "MS Sans Serif", 134}, // any letter case
        {false, "CHINESEBIG5_CHARSET", "Arial", "Arial", 136},
        {false, "GB2312", "Arial", "Arial", 1}, // not a character-set name
        {true, "GB2312_CHARSET", "Arial", "MS Sans Serif", 1},
    };
    for (const Case& c : cases) {
        const std::string font = std::string("Label1|||") + c.faceCell + "|";
        const std::string charset = std::string("Label1|||") + c.charsetCell + "|";
        TestWindow window(Block({{"stFonts", {"TForm1||||", font}}, {"stCharSets", {charset}}}));
        window.Get("Label1").SetParentFont(c.parentFont);
        window.Dispatcher().SetActiveLanguage(3);
        SCOPED_TRACE(std::string(c.charsetCell) + " " + c.faceCell);
        EXPECT_EQ(window.Get("Label1").Font()->Name(), c.face);
        EXPECT_EQ(window.Get("Label1").Font()->Charset(), c.charset);
        EXPECT_EQ(window.Get("Label1").ParentFont(), c.parentFont);
    }
}

// The form's character-set cell must name a character set exactly, letter case included.
TEST(PassFonts, FormFaceAndCharset) {
    struct Case {
        const char *faceCell, *charsetCell, *face;
        int charset;
    } cases[] = {
        {"Default", "", "Default", 0},
        {kSongti, "GB2312_CHARSET", kSongti, 134},
        {"Arial", "gb2312_charset", "Arial", 0},
        {"", "CHINESEBIG5_CHARSET", "MS Sans Serif", 136},
    };
    for (const Case& c : cases) {
        const std::string font = std::string("TForm1|||") + c.faceCell + "|";
        const std::string charset = std::string("TForm1|||") + c.charsetCell + "|";
        TestWindow window(Block({{"stFonts", {font}}, {"stCharSets", {charset}}}));
        window.Form().Font()->SetCharset(0);
        window.Dispatcher().SetActiveLanguage(3);
        SCOPED_TRACE(std::string(c.faceCell) + " " + c.charsetCell);
        EXPECT_EQ(window.Form().Font()->Name(), c.face);
        EXPECT_EQ(window.Form().Font()->Charset(), c.charset);
    }
}

// Capitals would name another face, or none.
TEST(PassFonts, TestModeLeavesFaceNamesAlone) {
    TestWindow window(Block(
        {{"stFonts", {"TForm1|Arial|||", "Label1|Arial|||"}}, {"stCaptions", {"Label1|text|||"}}}));
    window.Get("Label1").SetParentFont(false);
    window.Dispatcher().SetTestMode(true);
    window.Dispatcher().SetActiveLanguage(2);
    EXPECT_EQ(window.Get("Label1").Caption(), "TEXT");
    EXPECT_EQ(window.Get("Label1").Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(window.Form().Font()->Name(), "MS Sans Serif");
}

} // namespace
} // namespace kq
