// Fonts and colours that controls take from their parents: a control follows its parent's font
// and colour until it is given its own, and the names a description uses for styles, caption
// buttons and character sets.
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/panel.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(ParentFont, FollowsTheParentUntilTheControlHasItsOwn) {
    TForm form(nullptr);
    form.Font()->SetName("Arial");
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    auto* label = new TLabel(&form);
    label->SetParent(panel);
    EXPECT_EQ(label->Font()->Name(), "Arial");

    form.Font()->SetHeight(-20); // through the panel, which follows too
    EXPECT_EQ(label->Font()->Height(), -20);
    EXPECT_TRUE(label->ParentFont());

    label->Font()->SetStyle({TFontStyle::Bold});
    EXPECT_FALSE(label->ParentFont());
    form.Font()->SetName("Tahoma");
    EXPECT_EQ(label->Font()->Name(), "Arial");
    EXPECT_EQ(panel->Font()->Name(), "Tahoma");

    label->SetParentFont(true); // back to the parent's, style and all
    EXPECT_EQ(label->Font()->Name(), "Tahoma");
    EXPECT_TRUE(label->Font()->Style().Empty());
}

TEST(ParentColor, FollowsTheParentUnlessTheControlHasItsOwn) {
    TForm form(nullptr);
    EXPECT_EQ(form.Color(), colorButtonFace);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    form.SetColor(colorWhite);
    EXPECT_EQ(label->Color(), colorWhite);
    // Edits have a colour of their own from the start.
    EXPECT_FALSE(edit->ParentColor());
    EXPECT_EQ(edit->Color(), colorWindow);
    label->SetColor(colorBlue);
    form.SetColor(colorBlack);
    EXPECT_EQ(label->Color(), colorBlue);
}

TEST(FontNames, ReadStylesAndCharacterSets) {
    struct StyleCase {
        const char* text;
        TFontStyles styles;
    };
    for (const StyleCase& c :
         {StyleCase{"[]", {}}, StyleCase{"[Bold]", {TFontStyle::Bold}},
          StyleCase{" [ italic , BOLD ] ", {TFontStyle::Bold, TFontStyle::Italic}},
          StyleCase{"[Underline, StrikeOut]", {TFontStyle::Underline, TFontStyle::StrikeOut}}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FontStylesFromText(c.text), c.styles);
    }
    for (const char* bad : {"Bold", "[Heavy]", "[Bold", ""}) {
        SCOPED_TRACE(bad);
        try {
            FontStylesFromText(bad);
            ADD_FAILURE() << "read";
        } catch (const EPropertyError& error) {
            EXPECT_EQ(error.Message(), std::string("Invalid font style: ") + bad);
        }
    }
    EXPECT_EQ(FontStylesToText({TFontStyle::Italic, TFontStyle::Bold}), "[Bold, Italic]");

    // The system's names, in their exact letter case.
    EXPECT_EQ(CharsetFromName("GB2312_CHARSET"), 134);
    EXPECT_EQ(CharsetFromName("CHINESEBIG5_CHARSET"), 136);
    EXPECT_EQ(CharsetFromName("OEM_CHARSET"), 255);
    EXPECT_EQ(CharsetFromName("gb2312_charset"), std::nullopt);

    EXPECT_EQ(CaptionButtonsFromText("[SystemMenu, Minimize]"),
              TCaptionButtons({TCaptionButton::SystemMenu, TCaptionButton::Minimize}));
    EXPECT_EQ(CaptionButtonsToText({TCaptionButton::Maximize, TCaptionButton::SystemMenu}),
              "[SystemMenu, Maximize]");
    EXPECT_THROW(CaptionButtonsFromText("[Close]"), EPropertyError);
}

TEST(Font, DrawsTheDefaultFaceForDefault) {
    TFont font;
    font.SetName("default");
    EXPECT_EQ(font.FaceToDraw(), "MS Sans Serif");
    font.SetName("Tahoma");
    EXPECT_EQ(font.FaceToDraw(), "Tahoma");
    EXPECT_THROW(font.SetCharset(256), EPropertyError);
}

} // namespace
} // namespace kq
