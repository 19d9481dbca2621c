// The wizard's start-up, page flow, folder check, cancel and finish, run on the stand-in
// platform with the headless window. Expected texts are written from the product's table of
// strings in UTF-8 and converted by iconv, not by the program's own converter.
#include "forms/application.h"
#include "forms/dialogs.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/standin.h"
#include "setup/folders.h"
#include "setup/form1.h"
#include "test/code_page.h"
#include "wizard_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace kq {
namespace {

using setup_test::Exited;
using setup_test::Wizard;
using test::ToCodePage;

struct StartCase {
    std::uint32_t codePage;
    int language;
    std::u8string title, caption, welcome, memo1, company1, labelDir, memo2, labelinstall,
        memoInstall, destFolder;
};

TEST_F(Wizard, StartsInTheLanguageOfTheCodePageWithEveryComposedText) {
    const std::u8string english[] = {
        u8"Kavoru Qyn Setup",
        u8"Kavoru Qyn Installation Guides",
        u8"Welcome to the setup for Kavoru Qyn",
        u8"The setup will install Kavoru Qyn on your computer. To continue,click Next.",
        u8"Kavoru Software Development CO., LTD.",
        u8"Kavoru Qyn Destination Folder:",
        u8"Kavoru Qyn is now complete. Click Finish to quit guides.",
        u8"Installing...Kavoru Qyn",
        u8"Kavoru Qyn Installation guide is being installed, please wait.This requires a few "
        u8"minutes of time.",
        u8"C:\\Program Files\\Kavoru Qyn\\"};
    const StartCase cases[] = {
        {936, 1, u8"KavoruQyn安装系统", u8"KavoruQyn 安装向导", u8"欢迎使用 KavoruQyn 安装向导",
         u8"安装向导将要在您的计算机中安装 KavoruQyn  。要继续，请单击\"下一步\"。",
         u8"Kavoru软件开发有限公司", u8"将 KavoruQyn 安装到：",
         u8"安装向导成功地安装了 KavoruQyn 。单击\"完成\"退出向导。", u8"正在安装KavoruQyn",
         u8"安装向导正在安装 KavoruQyn ，请稍候。这需要几分钟的时间。",
         u8"C:\\Program Files\\KavoruQyn\\"},
        {950, 2, u8"KavoruQyn安裝繫統", u8"KavoruQyn 安裝向導", u8"歡迎使用 KavoruQyn 安裝向導",
         u8"安裝向導將要在您的計算機中安裝 KavoruQyn  。要繼續，請單擊\"下一步\"。",
         u8"Kavoru軟件開發有限公司", u8"將 KavoruQyn 安裝到：",
         u8"安裝向導成功地安裝了 KavoruQyn 。單擊\"完成\"退出向導。", u8"正在安裝KavoruQyn",
         u8"安裝向導正在安裝 KavoruQyn ，請稍候。這需要幾分鐘的時間。",
         u8"C:\\Program Files\\KavoruQyn\\"},
        {1252, 3, english[0], english[1], english[2], english[3], english[4], english[5],
         english[6], english[7], english[8], english[9]},
        {932, 3, english[0], english[1], english[2], english[3], english[4], english[5], english[6],
         english[7], english[8], english[9]},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE("code page " + std::to_string(c.codePage));
        SetAnsiCodePage(c.codePage);
        const auto in = [&](const std::u8string& text) {
            return ToCodePage(text, static_cast<int>(c.codePage));
        };
        TForm1 form(nullptr);
        form.PageControl1->SetActivePageIndex(2);
        form.DoCreate();
        EXPECT_EQ(form.LangDispatcher1->ActiveLanguage(), c.language);
        EXPECT_EQ(form.PageControl1->ActivePageIndex(), 0);
        EXPECT_EQ(Application().Title(), in(c.title));
        EXPECT_EQ(form.Caption(), in(c.caption));
        EXPECT_EQ(form.LabelWelcome->Caption(), in(c.welcome));
        // The second part of the welcome text has no row in the table: it comes out empty.
        EXPECT_EQ(form.Memo1->Text(), in(c.memo1) + "\r\n\r\n\r\n\r\n\r\n\r\n");
        EXPECT_EQ(form.LabelCompanyAll1->Caption(), in(c.company1));
        EXPECT_EQ(form.LabelDir->Caption(), in(c.labelDir));
        EXPECT_EQ(form.Memo2->Text(), in(c.memo2));
        EXPECT_EQ(form.Labelinstall->Caption(), in(c.labelinstall));
        EXPECT_EQ(form.MemoInstall->Text(), in(c.memoInstall));
        EXPECT_EQ(form.EditDir->Text(), in(c.destFolder));
        EXPECT_EQ(form.Image2->Picture()->Bitmap(), form.Image1->Picture()->Bitmap());
        EXPECT_EQ(form.ImageIco3->Picture()->Bitmap(), form.ImageIco1->Picture()->Bitmap());
    }
}

TEST_F(Wizard, TakesTheFolderOfTheLastInstallationWhenItIsAString) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::string data;
        const char* shown;
    } cases[] = {
        {"string", reg::Sz, "D:\\Apps\\Q", "D:\\Apps\\Q"},
        {"dword", reg::Dword, std::string("\x01\0\0\0", 4), "C:\\Program Files\\Kavoru Qyn\\"},
        {"binary", reg::Binary, "D:\\Apps\\Q", "C:\\Program Files\\Kavoru Qyn\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegKey key;
        ASSERT_TRUE(key.Create("Software\\Kavoru\\KavoruQyn"));
        ASSERT_TRUE(key.SetValue("InstallPath", c.type, c.data));
        key.Close();
        EXPECT_EQ(Start()->EditDir->Text(), c.shown);
    }
}

TEST_F(Wizard, CreatesTheProductsKeyAtStartEvenIfCancelled) {
    RegKey key;
    ASSERT_FALSE(key.Open("Software\\Kavoru\\KavoruQyn"));
    auto form = Start();
    EXPECT_THROW(form->ButtonCancel1Click(nullptr), Exited);
    EXPECT_TRUE(key.Open("Software\\Kavoru\\KavoruQyn"));
}

TEST_F(Wizard, NextOnTheFolderPageCreatesTheFolderAndFillsTheSummary) {
    struct Case {
        const char* typed;
        const char* folder;
        const char* hostFolder;
    } cases[] = {
        {"D:\\Apps\\Q", "D:\\Apps\\Q\\", "/d/Apps/Q"},
        {"D:\\", "D:\\", "/d"},
        {"C:\\Program Files\\Kavoru Qyn\\", "C:\\Program Files\\Kavoru Qyn\\",
         "/c/Program Files/Kavoru Qyn"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        auto form = Start();
        form->ButtonNext1Click(nullptr);
        form->EditDir->SetText(c.typed);
        Click([&] { form->ButtonNext2Click(nullptr); });
        EXPECT_EQ(errorBox.shown, 0);
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 2);
        EXPECT_EQ(form->EditDir->Text(), c.folder);
        EXPECT_TRUE(std::filesystem::is_directory(root_ + c.hostFolder));
        EXPECT_EQ(form->MemoInfo->Text(), std::string("Setup Type\r\n\r\n    Typical\r\n\r\n"
                                                      "Destination folder\r\n\r\n    ") +
                                              c.folder + "\r\n\r\n");
        // Back returns to the folder page, relative to the page shown.
        form->ButtonPrior3Click(nullptr);
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 1);
        form->ButtonPrior2Click(nullptr);
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0);
    }
}

// In code page 950 the second byte of "功" is a backslash: it ends no folder.
TEST_F(Wizard, NextTellsABackslashFromTheSecondByteOfACharacter) {
    SetAnsiCodePage(950);
    const std::string parent = "D:\\" + ToCodePage(u8"成功", 950);
    const std::string typed = parent + "\\" + ToCodePage(u8"說明功", 950);
    auto form = Start();
    form->ButtonNext1Click(nullptr);
    form->EditDir->SetText(typed);
    Click([&] { form->ButtonNext2Click(nullptr); });
    EXPECT_EQ(errorBox.shown, 0) << errorBox.text;
    EXPECT_EQ(form->EditDir->Text(), typed + "\\");
    EXPECT_TRUE(std::filesystem::is_directory(root_ + "/d/成功/說明功"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root_ + "/d"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(Wizard, AFolderThatCannotBeMadeShowsTheErrorAndStays) {
    struct Case {
        std::uint32_t codePage;
        const char* typed;
        std::string message;
        std::string caption;
    } cases[] = {
        {1252, "", "Please choose the correct folder.", "Kavoru Qyn Setup"},
        {1252, "Q:\\Apps", "Please choose the correct folder.", "Kavoru Qyn Setup"},
        {936, "Q:\\Apps\\", ToCodePage(u8"请选择正确的目录!", 936),
         ToCodePage(u8"KavoruQyn安装系统", 936)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("folder '") + c.typed + "'");
        SetAnsiCodePage(c.codePage);
        auto form = Start();
        form->ButtonNext1Click(nullptr);
        form->MemoInfo->SetText("before");
        form->EditDir->SetText(c.typed);
        errorBox = {};
        Click([&] { form->ButtonNext2Click(nullptr); });
        EXPECT_EQ(errorBox.shown, 1);
        EXPECT_EQ(errorBox.text, c.message); // no "." added after "." or "!"
        EXPECT_EQ(errorBox.caption, c.caption);
        EXPECT_EQ(errorBox.flags & mb::IconMask, mb::IconError);
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 1);
        EXPECT_EQ(form->MemoInfo->Text(), "before");
    }
    EXPECT_FALSE(std::filesystem::exists(root_ + "/q"));
}

TEST_F(Wizard, CancelAsksOnTheMiddlePagesOnlyAndYesEndsWithZero) {
    auto form = Start();
    EXPECT_THROW(form->ButtonCancel1Click(nullptr), Exited);
    EXPECT_TRUE(questions.empty());

    form->EditDir->SetText("D:\\Apps\\Q");
    form->ButtonNext1Click(nullptr);
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        form->PageControl1->SetActivePageIndex(page);
        questions.clear();
        answer = id::No;
        form->ButtonCancel2Click(nullptr);
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), page);
        answer = id::Cancel; // the close box
        form->ButtonCancel2Click(nullptr);
        answer = id::Yes;
        try {
            form->ButtonCancel2Click(nullptr);
            ADD_FAILURE() << "Yes did not end the process";
        } catch (const Exited& exited) {
            EXPECT_EQ(exited.code, 0u);
        }
        EXPECT_EQ(questions, std::vector<AnsiString>(3, "Canel SetupKavoru Qyn ?"));
        if (page == 1) {
            form->ButtonNext2Click(nullptr);
        }
    }
    // Nothing is rolled back: the folder made by Next stays.
    EXPECT_TRUE(std::filesystem::is_directory(root_ + "/d/Apps/Q"));
}

TEST_F(Wizard, FinishStartsTheQuotedProgramOnlyWhenChecked) {
    auto form = Start();
    form->EditDir->SetText("C:\\Program Files\\Kavoru Qyn\\");
    form->Show();
    form->CheckBox1->SetChecked(false);
    form->ButtonFinishClick(nullptr);
    EXPECT_TRUE(launched.empty());
    EXPECT_FALSE(form->Visible());

    form = Start();
    form->EditDir->SetText("C:\\Program Files\\Kavoru Qyn\\");
    form->Show();
    EXPECT_TRUE(form->CheckBox1->Checked());
    form->ButtonFinishClick(nullptr);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0].applicationName, "C:\\Program Files\\Kavoru Qyn\\qynapp.exe");
    EXPECT_EQ(launched[0].commandLine, "\"C:\\Program Files\\Kavoru Qyn\\qynapp.exe\"");
    EXPECT_EQ(launched[0].currentDirectory, "C:\\Program Files\\Kavoru Qyn\\");
    EXPECT_EQ(launched[0].creationFlags, 0x04000000u);
    EXPECT_FALSE(form->Visible());
}

TEST_F(Wizard, ChangeAppendsTheProductToTheChosenFolder) {
    struct Case {
        bool confirm;
        std::string chosen;
        const char* field;
    } cases[] = {
        {true, "D:\\Work", "D:\\Work\\Kavoru Qyn\\"},
        {true, "D:\\", "D:\\Kavoru Qyn\\"},
        {false, "", "C:\\Program Files\\Kavoru Qyn\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        std::string title;
        std::wstring root = L"unset";
        SetFolderDialogResponder([&](const std::string& t, const std::wstring& r, std::string& f) {
            title = t;
            root = r;
            f = c.chosen;
            return c.confirm;
        });
        auto form = Start();
        form->ButtonChgDirClick(nullptr);
        EXPECT_EQ(title, "Select another folder");
        EXPECT_EQ(root, L"");
        EXPECT_EQ(form->EditDir->Text(), c.field);
    }
}

} // namespace
} // namespace kq
