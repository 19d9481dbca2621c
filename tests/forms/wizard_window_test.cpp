// The wizard window as loaded from its stored description, compared control by control with the
// window's layout as designed: class, parent, geometry, design-time text, font, tab order,
// default button, enabled and visible state, and the handler each button calls. The expected
// values are written here from the design, not taken from the description.
#include "forms/focus.h"
#include "forms/form.h"
#include "forms/label.h"
#include "setup/form1.h"
#include "support/code_page.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kq {

void PrintTo(const TRect& r, std::ostream* out) {
    *out << r.Left << ", " << r.Top << ", " << r.Width << " x " << r.Height;
}

namespace {

using test::Gbk;

enum Flag : unsigned {
    none = 0,
    isDefault = 1, // the page's default button
    disabled = 2,  // not enabled
    hidden = 4,    // not visible
    fixedSize = 8, // a label without auto-size
};

struct ControlRow {
    const char* name;
    const char* cls;
    const char* parent;
    TRect bounds;
    std::u8string text;  // design-time caption or text
    int tabOrder;        // -1: not a windowed control
    const char* handler; // bound to OnClick; "" for none
    unsigned flags = none;
};

const std::vector<ControlRow>& Controls() {
    static const std::vector<ControlRow> rows = {
        {"PageControl1", "TPageControl", "Form1", {0, 0, 628, 368}, u8"", 0, ""},
        // Page 0, welcome
        {"TabSheet1", "TTabSheet", "PageControl1", {4, 4, 620, 358}, u8"TabSheet1", 0, ""},
        {"Image1", "TImage", "TabSheet1", {0, 0, 249, 358}, u8"", -1, ""},
        {"LabelWelcome",
         "TLabel",
         "TabSheet1",
         {253, 16, 172, 16},
         u8"欢迎使用 %s 安装向导",
         -1,
         ""},
        {"LabelCompanyAll1",
         "TLabel",
         "TabSheet1",
         {256, 256, 361, 20},
         u8"sCompanyAll",
         -1,
         "",
         fixedSize},
        {"LabelCompanyAll2",
         "TLabel",
         "TabSheet1",
         {256, 284, 353, 20},
         u8"sCompanyAll",
         -1,
         "",
         fixedSize | hidden},
        {"ButtonPrior1",
         "TButton",
         "TabSheet1",
         {296, 312, 81, 25},
         u8"<上一步(&B)",
         0,
         "",
         disabled},
        {"ButtonNext1",
         "TButton",
         "TabSheet1",
         {392, 312, 81, 25},
         u8"下一步(&N)>",
         1,
         "ButtonNext1Click",
         isDefault},
        {"ButtonCancel1",
         "TButton",
         "TabSheet1",
         {488, 312, 81, 25},
         u8"取消",
         2,
         "ButtonCancel1Click"},
        {"Memo1", "TMemo", "TabSheet1", {258, 72, 324, 153}, u8"Memo1", 3, ""},
        // Page 1, destination folder
        {"TabSheet2", "TTabSheet", "PageControl1", {4, 4, 620, 358}, u8"TabSheet2", 1, "", hidden},
        {"LabelDestFolder", "TLabel", "TabSheet2", {22, 8, 119, 16}, u8"安装目标文件夹", -1, ""},
        {"Label4",
         "TLabel",
         "TabSheet2",
         {24, 32, 429, 13},
         u8"单击“下一步”安装到此文件夹，或单击“更改”安装到不同的文件夹中。",
         -1,
         ""},
        {"Panel2", "TPanel", "TabSheet2", {22, 48, 553, 3}, u8"", 4, ""},
        {"ImageIco1", "TImage", "TabSheet2", {532, 7, 45, 33}, u8"", -1, ""},
        {"ImageDir", "TImage", "TabSheet2", {21, 63, 47, 42}, u8"", -1, ""},
        {"LabelDir", "TLabel", "TabSheet2", {91, 64, 56, 13}, u8"LabelDir", -1, ""},
        {"EditDir", "TEdit", "TabSheet2", {91, 80, 406, 21}, u8"c:\\program...", 6, ""},
        {"ButtonChgDir",
         "TButton",
         "TabSheet2",
         {499, 77, 75, 25},
         u8"更改(&C)",
         5,
         "ButtonChgDirClick"},
        {"LabelInstallationGuides", "TLabel", "TabSheet2", {20, 280, 52, 13}, u8"安装向导", -1, ""},
        {"Panel1", "TPanel", "TabSheet2", {22, 297, 549, 2}, u8"", 3, ""},
        {"ButtonPrior2",
         "TButton",
         "TabSheet2",
         {296, 312, 81, 25},
         u8"<上一步(&B)",
         0,
         "ButtonPrior2Click"},
        {"ButtonNext2",
         "TButton",
         "TabSheet2",
         {392, 312, 81, 25},
         u8"下一步(&N)>",
         1,
         "ButtonNext2Click",
         isDefault},
        {"ButtonCancel2",
         "TButton",
         "TabSheet2",
         {488, 312, 81, 25},
         u8"取消",
         2,
         "ButtonCancel2Click"},
        // Page 2, ready to install
        {"TabSheet3", "TTabSheet", "PageControl1", {4, 4, 620, 358}, u8"TabSheet3", 2, "", hidden},
        {"Label5", "TLabel", "TabSheet3", {20, 8, 170, 16}, u8"已做好安装程序的准备", -1, ""},
        {"Label6", "TLabel", "TabSheet3", {22, 32, 104, 13}, u8"向导准备开始安装", -1, ""},
        {"Panel3", "TPanel", "TabSheet3", {22, 48, 551, 3}, u8"", 0, ""},
        {"ImageIco2", "TImage", "TabSheet3", {526, 7, 45, 33}, u8"", -1, ""},
        {"Label7",
         "TLabel",
         "TabSheet3",
         {21, 62, 429, 13},
         u8"要查看或更改任何安装设置，请点击“上一步”。单击“取消”退出向导。",
         -1,
         ""},
        {"Label8", "TLabel", "TabSheet3", {21, 91, 52, 13}, u8"当前设置", -1, ""},
        {"MemoInfo", "TMemo", "TabSheet3", {20, 112, 553, 169}, u8"MemoInfo", 5, ""},
        {"Panel4", "TPanel", "TabSheet3", {20, 297, 555, 2}, u8"", 1, ""},
        {"ButtonPrior3",
         "TButton",
         "TabSheet3",
         {296, 312, 81, 25},
         u8"<上一步(&B)",
         2,
         "ButtonPrior3Click"},
        {"ButtonNext3",
         "TButton",
         "TabSheet3",
         {392, 312, 81, 25},
         u8"安装(&I)",
         3,
         "ButtonNext3Click",
         isDefault},
        {"ButtonCancel3",
         "TButton",
         "TabSheet3",
         {488, 312, 81, 25},
         u8"取消",
         4,
         "ButtonCancel2Click"},
        // Page 3, installing
        {"TabSheet4", "TTabSheet", "PageControl1", {4, 4, 620, 358}, u8"TabSheet4", 3, "", hidden},
        {"Labelinstall", "TLabel", "TabSheet4", {29, 16, 68, 16}, u8"正在安装", -1, ""},
        {"Label10", "TLabel", "TabSheet4", {31, 40, 143, 13}, u8"正在安装您选择的程序。", -1, ""},
        {"Panel5", "TPanel", "TabSheet4", {29, 56, 535, 3}, u8"", 0, ""},
        {"ImageIco3", "TImage", "TabSheet4", {518, 7, 45, 33}, u8"", -1, ""},
        {"MemoInstall", "TMemo", "TabSheet4", {29, 72, 497, 37}, u8"MemoInstall", 6, ""},
        {"Label11", "TLabel", "TabSheet4", {104, 112, 33, 13}, u8"状态:", -1, ""},
        {"LabelInstall2", "TLabel", "TabSheet4", {104, 134, 91, 13}, u8"LabelInstall2", -1, ""},
        {"ProgressBar1", "TProgressBar", "TabSheet4", {104, 152, 361, 17}, u8"", 5, ""},
        {"Panel6", "TPanel", "TabSheet4", {30, 305, 538, 2}, u8"", 1, ""},
        {"ButtonPrior4",
         "TButton",
         "TabSheet4",
         {296, 312, 81, 25},
         u8"<上一步(&B)",
         2,
         "",
         disabled},
        {"ButtonNext4",
         "TButton",
         "TabSheet4",
         {392, 312, 81, 25},
         u8"下一步(&N)>",
         3,
         "",
         isDefault | disabled},
        {"ButtonCancel4",
         "TButton",
         "TabSheet4",
         {488, 312, 81, 25},
         u8"取消",
         4,
         "ButtonCancel2Click"},
        // Page 4, finished
        {"TabSheet5", "TTabSheet", "PageControl1", {4, 4, 620, 358}, u8"TabSheet5", 4, "", hidden},
        {"Image2", "TImage", "TabSheet5", {0, 0, 297, 358}, u8"", -1, ""},
        {"Label9", "TLabel", "TabSheet5", {308, 16, 80, 19}, u8"安装完成", -1, ""},
        {"Memo2", "TMemo", "TabSheet5", {309, 80, 274, 73}, u8"Memo2", 0, ""},
        {"CheckBox1", "TCheckBox", "TabSheet5", {311, 183, 162, 17}, u8"启动程序", 2, ""},
        {"ButtonFinish",
         "TButton",
         "TabSheet5",
         {392, 312, 81, 25},
         u8"完成(&F)",
         1,
         "ButtonFinishClick",
         isDefault},
    };
    return rows;
}

struct FontRow {
    const char* name;
    std::u8string face;
    int height;
    bool bold;
    int charset;
    TColor color;
};

// The controls with fonts of their own; every other control shows the window's font.
const std::vector<FontRow>& OwnFonts() {
    static const std::vector<FontRow> rows = {
        {"LabelWelcome", u8"黑体", -16, true, 1, colorWindowText},
        {"LabelCompanyAll1", u8"华文行楷", -16, false, 134, colorBlue},
        {"LabelCompanyAll2", u8"华文行楷", -16, false, 134, colorBlue},
        {"LabelDestFolder", u8"宋体", -16, true, 1, colorWindowText},
        {"Label4", u8"宋体", -13, false, 1, colorWindowText},
        {"LabelInstallationGuides", u8"宋体", -13, false, 1, colorWindowText},
        {"Label5", u8"宋体", -16, true, 1, colorWindowText},
        {"Labelinstall", u8"宋体", -16, true, 1, colorWindowText},
        {"Label9", u8"黑体", -19, true, 1, colorWindowText},
    };
    return rows;
}

const FontRow* OwnFont(const std::string& name) {
    for (const FontRow& row : OwnFonts()) {
        if (name == row.name)
            return &row;
    }
    return nullptr;
}

class WizardWindow : public ::testing::Test {
protected:
    TForm1 form{nullptr};

    TControl& Control(const char* name) {
        auto* control = dynamic_cast<TControl*>(form.FindComponent(name));
        if (control == nullptr)
            ADD_FAILURE() << name << " is missing";
        return *control;
    }
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

TEST_F(WizardWindow, HoldsEveryControlWithItsClassParentBoundsAndText) {
    for (const ControlRow& row : Controls()) {
        SCOPED_TRACE(row.name);
        TControl& c = Control(row.name);
        EXPECT_EQ(c.ClassName(), row.cls);
        ASSERT_NE(c.Parent(), nullptr);
        EXPECT_EQ(c.Parent()->Name(), row.parent);
        // A label that sizes itself to its text keeps only its corner: its size is what the
        // system measures for the text in its font.
        auto* label = dynamic_cast<TLabel*>(&c);
        if (label != nullptr && label->AutoSize()) {
            EXPECT_EQ(c.Left(), row.bounds.Left);
            EXPECT_EQ(c.Top(), row.bounds.Top);
        } else {
            EXPECT_EQ(c.BoundsRect(), row.bounds);
        }
        if (label != nullptr) {
            EXPECT_EQ(label->AutoSize(), (row.flags & fixedSize) == 0);
        }
        EXPECT_EQ(c.Text(), Gbk(row.text));
        EXPECT_EQ(c.Enabled(), (row.flags & disabled) == 0);
        EXPECT_EQ(c.Visible(), (row.flags & hidden) == 0);
    }
}

TEST_F(WizardWindow, HasNoControlBeyondTheDesign) {
    int controls = 0;
    for (int i = 0; i < form.ComponentCount(); ++i) {
        if (dynamic_cast<TControl*>(form.Components(i)) != nullptr)
            ++controls;
    }
    EXPECT_EQ(controls, static_cast<int>(Controls().size()));
}

TEST_F(WizardWindow, OrdersEachPageForTab) {
    for (const ControlRow& row : Controls()) {
        SCOPED_TRACE(row.name);
        auto* windowed = dynamic_cast<TWinControl*>(&Control(row.name));
        EXPECT_EQ(windowed == nullptr ? -1 : windowed->TabOrder(), row.tabOrder);
    }
}

TEST_F(WizardWindow, BindsEachButtonToItsHandler) {
    for (const ControlRow& row : Controls()) {
        SCOPED_TRACE(row.name);
        TControl& c = Control(row.name);
        EXPECT_EQ(form.BoundHandler(c, "OnClick"), row.handler);
        EXPECT_EQ(static_cast<bool>(c.OnClick), *row.handler != '\0');
        if (auto* button = dynamic_cast<TButton*>(&c)) {
            EXPECT_EQ(button->Default(), (row.flags & isDefault) != 0);
        }
    }
}

TEST_F(WizardWindow, WritesEachControlInItsFont) {
    const TFont& windowFont = *form.Font();
    for (const ControlRow& row : Controls()) {
        SCOPED_TRACE(row.name);
        const TControl& c = Control(row.name);
        const FontRow* own = OwnFont(row.name);
        EXPECT_EQ(c.ParentFont(), own == nullptr);
        if (own == nullptr) {
            EXPECT_TRUE(c.Font()->SameAs(windowFont));
            continue;
        }
        EXPECT_EQ(c.Font()->Name(), Gbk(own->face));
        EXPECT_EQ(c.Font()->Height(), own->height);
        EXPECT_EQ(c.Font()->Style().Contains(TFontStyle::Bold), own->bold);
        EXPECT_EQ(c.Font()->Charset(), own->charset);
        EXPECT_EQ(c.Font()->Color(), own->color);
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
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(list->Strings(i), names[i]);
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
