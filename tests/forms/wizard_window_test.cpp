// The wizard window as loaded from its stored description, compared with the window's layout as
// designed: each control dumped as a line (class, parent, geometry, tab order, enabled and visible
// state, default button, the handler it calls, font, design-time text) against
// data/wizard_window.txt, which is written from the design, not taken from the description. The
// pages test under Wine reads the same file for the native windows.
#include "forms/focus.h"
#include "forms/form.h"
#include "forms/label.h"
#include "setup/form1.h"
#include "test/code_page.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace kq {
namespace {

using test::Gbk;

std::string ColorName(TColor color) {
    if (color == colorWindowText) {
        return "windowtext";
    }
    if (color == colorBlue) {
        return "blue";
    }
    std::ostringstream hex;
    hex << std::hex << "0x" << color;
    return hex.str();
}

std::string FontColumn(const TControl& c) {
    if (c.ParentFont()) {
        return "window";
    }
    const TFont& font = *c.Font();
    std::ostringstream out;
    out << font.Name() << ' ' << font.Height()
        << (font.Style().Contains(TFontStyle::Bold) ? " bold" : "") << " charset " << font.Charset()
        << ' ' << ColorName(font.Color());
    return out.str();
}

// One control as a line of the layout file (texts in the code page, as the window holds them).
std::string LayoutLine(const TForm& form, const TControl& c) {
    std::ostringstream out;
    out << c.Name() << " | " << c.ClassName() << " | " << c.Parent()->Name() << " | ";
    auto* label = dynamic_cast<const TLabel*>(&c);
    if (label != nullptr && label->AutoSize()) {
        out << "auto " << c.Left() << ' ' << c.Top();
    } else {
        out << c.Left() << ' ' << c.Top() << ' ' << c.Width() << ' ' << c.Height();
    }
    auto* windowed = dynamic_cast<const TWinControl*>(&c);
    out << " | " << (windowed == nullptr ? "-" : std::to_string(windowed->TabOrder()));
    out << " | " << (c.Enabled() ? "enabled" : "disabled")
        << (c.Visible() ? " visible" : " hidden");
    auto* button = dynamic_cast<const TButton*>(&c);
    if (button != nullptr && button->Default()) {
        out << " default";
    }
    const std::string handler = form.BoundHandler(c, "OnClick");
    EXPECT_EQ(static_cast<bool>(c.OnClick), !handler.empty()) << c.Name();
    out << " | " << (handler.empty() ? "-" : handler) << " | " << FontColumn(c) << " | "
        << c.Text();
    std::string line = out.str();
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

// The layout file's lines, comments left out, converted to the code page.
std::vector<std::string> DesignedLayout() {
    std::ifstream in("tests/forms/data/wizard_window.txt", std::ios::binary);
    EXPECT_TRUE(in) << "tests/forms/data/wizard_window.txt cannot be read";
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') {
            lines.push_back(Gbk(std::u8string(line.begin(), line.end())));
        }
    }
    return lines;
}

class WizardWindow : public ::testing::Test {
protected:
    TForm1 form{nullptr};
};

TEST_F(WizardWindow, IsPlacedAndFramedAsDesigned) {
    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(form.Caption(), "Form1");
    EXPECT_EQ(form.Left(), 67);
    EXPECT_EQ(form.Top(), 48);
    EXPECT_EQ(form.ClientWidth(), 628);
    EXPECT_EQ(form.ClientHeight(), 368);
    EXPECT_EQ(form.Border(), TWindowBorder::Single);
    EXPECT_EQ(form.CaptionButtons(),
              TCaptionButtons({TCaptionButton::SystemMenu, TCaptionButton::Minimize}));
    EXPECT_EQ(form.Color(), colorButtonFace);
    EXPECT_EQ(form.Font()->Name(), Gbk(u8"宋体"));
    EXPECT_EQ(form.Font()->Height(), -13);
    EXPECT_EQ(form.Font()->Charset(), 1);
    EXPECT_EQ(form.Font()->Color(), colorWindowText);
    EXPECT_TRUE(form.Font()->Style().Empty());
    EXPECT_EQ(form.BoundHandler(form, "OnCreate"), "FormCreate");
}

TEST_F(WizardWindow, HoldsEveryControlAsDesignedAndNoOther) {
    std::vector<std::string> loaded;
    for (int i = 0; i < form.ComponentCount(); ++i) {
        if (auto* control = dynamic_cast<TControl*>(form.Components(i))) {
            loaded.push_back(LayoutLine(form, *control));
        }
    }
    const std::vector<std::string> designed = DesignedLayout();
    for (size_t i = 0; i < std::max(loaded.size(), designed.size()); ++i) {
        const std::string control = i < loaded.size() ? loaded[i] : "(no control)";
        const std::string design = i < designed.size() ? designed[i] : "(not in the design)";
        EXPECT_EQ(control, design) << "control " << i + 1;
    }
}

TEST_F(WizardWindow, ShowsTheWelcomePageWithHiddenTabs) {
    EXPECT_EQ(form.PageControl1->ActivePage(), form.TabSheet1);
    EXPECT_EQ(form.PageControl1->Align(), TAlign::Client);
    EXPECT_EQ(form.PageControl1->TabHeight(), 25);
    EXPECT_EQ(form.PageControl1->TabWidth(), 150);
    ASSERT_EQ(form.PageControl1->PageCount(), 5);
    const TTabSheet* pages[] = {form.TabSheet1, form.TabSheet2, form.TabSheet3, form.TabSheet4,
                                form.TabSheet5};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(form.PageControl1->Pages(i), pages[i]);
        EXPECT_FALSE(pages[i]->TabVisible());
    }
}

// Enter presses the focused button, so the focus must not rest on Back (first in the tab order of
// the folder and summary pages) nor in a read-only memo (first on the last page).
TEST_F(WizardWindow, PutsTheFocusWhereEnterGoesForward) {
    form.Show();
    const std::pair<int, const char*> arrivals[] = {
        {0, "ButtonNext1"},   {1, "EditDir"},      {2, "ButtonNext3"},
        {3, "ButtonCancel4"}, {4, "ButtonFinish"},
    };
    for (const auto& [page, expected] : arrivals) {
        SCOPED_TRACE(page);
        form.PageControl1->SetActivePageIndex(page);
        const TWinControl* arrival = FocusOnArrival(*form.PageControl1->ActivePage());
        EXPECT_EQ(arrival == nullptr ? "nothing" : arrival->Name(), expected);
    }
}

TEST_F(WizardWindow, KeepsTheSettingsOfMemosPicturesAndTheRest) {
    struct MemoRow {
        TMemo* memo;
        TBorderStyle border;
        bool readOnly;
    };
    for (const MemoRow& row : {MemoRow{form.Memo1, TBorderStyle::None, true},
                               MemoRow{form.MemoInfo, TBorderStyle::Single, true},
                               MemoRow{form.MemoInstall, TBorderStyle::None, false},
                               MemoRow{form.Memo2, TBorderStyle::None, true}}) {
        SCOPED_TRACE(row.memo->Name());
        EXPECT_EQ(row.memo->BorderStyle(), row.border);
        EXPECT_EQ(row.memo->ReadOnly(), row.readOnly);
        EXPECT_EQ(row.memo->Color(), colorButtonFace);
    }

    struct ImageRow {
        TImage* image;
        TAlign align;
        int pictureWidth; // 0: no stored picture
        int pictureHeight;
    };
    for (const ImageRow& row : {ImageRow{form.Image1, TAlign::Left, 1031, 1649},
                                ImageRow{form.ImageIco1, TAlign::None, 200, 136},
                                ImageRow{form.ImageDir, TAlign::None, 47, 46},
                                ImageRow{form.ImageIco2, TAlign::None, 0, 0},
                                ImageRow{form.ImageIco3, TAlign::None, 0, 0},
                                ImageRow{form.Image2, TAlign::Left, 0, 0}}) {
        SCOPED_TRACE(row.image->Name());
        EXPECT_TRUE(row.image->Stretch());
        EXPECT_EQ(row.image->Align(), row.align);
        EXPECT_EQ(row.image->Picture()->Width(), row.pictureWidth);
        EXPECT_EQ(row.image->Picture()->Height(), row.pictureHeight);
    }

    EXPECT_TRUE(form.CheckBox1->Checked());
    EXPECT_EQ(form.ProgressBar1->Min(), 0);
    EXPECT_EQ(form.ProgressBar1->Max(), 100);
    EXPECT_EQ(form.ProgressBar1->Position(), 0);
    for (TPanel* rule :
         {form.Panel1, form.Panel2, form.Panel3, form.Panel4, form.Panel5, form.Panel6}) {
        SCOPED_TRACE(rule->Name());
        EXPECT_FALSE(rule->TabStop());
        EXPECT_EQ(rule->Caption(), "");
    }
}

TEST_F(WizardWindow, CarriesTheTranslationComponentAndItsDispatcher) {
    TTranslator& translator = *form.Translator1;
    TLangDispatcher& dispatcher = *form.LangDispatcher1;
    const char* names[] = {"ChineseSimplified", "ChineseTranTraditional", "English"};
    for (auto* list : {translator.LangNames(), dispatcher.LangNames()}) {
        ASSERT_EQ(list->Count(), 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(list->Strings(i), names[i]);
        }
    }
    EXPECT_EQ(translator.NumOfLanguages(), 3);
    EXPECT_EQ(translator.LangDelim(), 1);
    EXPECT_EQ(translator.Language(), "ChineseSimplified");
    EXPECT_EQ(translator.LangDispatcher(), &dispatcher);
    EXPECT_EQ(dispatcher.NumOfLanguages(), 3);
    EXPECT_EQ(dispatcher.ActiveLanguage(), 1);
    EXPECT_EQ(dispatcher.Language(), "ChineseSimplified");
    EXPECT_EQ(dispatcher.FileName(), "translations.lng");
    // Linked at the end of loading, with its table read and indexed in three languages.
    ASSERT_EQ(dispatcher.TranslatorCount(), 1);
    EXPECT_EQ(dispatcher.Translators(0), &translator);
    EXPECT_EQ(translator.LookupString("sCompany"), "Kavoru");
    EXPECT_EQ(translator.LookupString("sSetup"), Gbk(u8"安装系统"));
}

TEST_F(WizardWindow, CarriesTheExtractionComponentWithItsSettingsAndHandlers) {
    TZipExtractor& zip = *form.ZipExtractor1;
    EXPECT_TRUE(zip.RecreateDirs());
    EXPECT_EQ(zip.OverwriteMode(), TUZOverwriteMode::ifNewer);
    EXPECT_TRUE(zip.DoAll());
    EXPECT_TRUE(zip.ReplaceReadOnly());
    const char* bound[][2] = {{"OnTotalPercentDone", "ZipExtractor1TotalPercentDone"},
                              {"OnStartUnZip", "ZipExtractor1StartUnZip"},
                              {"OnEndUnZip", "ZipExtractor1EndUnZip"},
                              {"OnSkippingFile", "ZipExtractor1SkippingFile"},
                              {"OnBadCRC", "ZipExtractor1BadCRC"}};
    for (const auto& [event, handler] : bound) {
        SCOPED_TRACE(event);
        EXPECT_EQ(form.BoundHandler(zip, event), handler);
    }
    EXPECT_TRUE(zip.OnTotalPercentDone && zip.OnStartUnZip && zip.OnEndUnZip &&
                zip.OnSkippingFile && zip.OnBadCRC);
}

} // namespace
} // namespace kq
