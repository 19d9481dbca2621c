// The wizard window's start-up at code page 936 (simplified Chinese, the texts stored with the
// window): every text that names the product is composed from the table's named strings. The
// expected texts are written here from the design and the table's cells.
#include "forms/application.h"
#include "setup/form1.h"
#include "test/code_page.h"
#include "test/form_hooks.h"
#include "test/standin_root.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

using test::Gbk;

class WizardStart : public ::testing::Test {
protected:
    test::ScopedFormHooks hooks_;
    test::StandInRoot standIn_{{}, 936};
};

TEST_F(WizardStart, ComposesTheProductsTextsInTheSystemsLanguage) {
    TForm1 form(nullptr);
    form.PageControl1->SetActivePageIndex(3);
    form.DoCreate();

    EXPECT_EQ(form.LangDispatcher1->ActiveLanguage(), 1);
    EXPECT_EQ(form.PageControl1->ActivePageIndex(), 0);
    EXPECT_EQ(Application().Title(), Gbk(u8"KavoruQyn安装系统"));
    EXPECT_EQ(form.Caption(), Gbk(u8"KavoruQyn 安装向导"));
    EXPECT_EQ(form.LabelWelcome->Caption(), Gbk(u8"欢迎使用 KavoruQyn 安装向导"));
    // The second part of the welcome text has no row in the table: it is empty.
    EXPECT_EQ(form.Memo1->Text(),
              Gbk(u8"安装向导将要在您的计算机中安装 KavoruQyn  。要继续，请单击\"下一步\"。") +
                  "\r\n\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(form.LabelCompanyAll1->Caption(), Gbk(u8"Kavoru软件开发有限公司"));
    EXPECT_EQ(form.LabelCompanyAll2->Caption(), Gbk(u8"Ferrun计算机有限公司"));
    EXPECT_FALSE(form.LabelCompanyAll2->Visible());
    EXPECT_EQ(form.LabelDir->Caption(), Gbk(u8"将 KavoruQyn 安装到："));
    EXPECT_EQ(form.Memo2->Text(), Gbk(u8"安装向导成功地安装了 KavoruQyn 。单击\"完成\"退出向导。"));
    EXPECT_EQ(form.Labelinstall->Caption(), Gbk(u8"正在安装KavoruQyn"));
    EXPECT_EQ(form.MemoInstall->Text(),
              Gbk(u8"安装向导正在安装 KavoruQyn ，请稍候。这需要几分钟的时间。"));
    // The stand-in's Windows folder is C:\windows.
    EXPECT_EQ(form.EditDir->Text(), "C:\\Program Files\\KavoruQyn\\");

    EXPECT_EQ(form.Image2->Picture()->Bitmap(), form.Image1->Picture()->Bitmap());
    EXPECT_EQ(form.ImageIco2->Picture()->Bitmap(), form.ImageIco1->Picture()->Bitmap());
    EXPECT_EQ(form.ImageIco3->Picture()->Bitmap(), form.ImageIco1->Picture()->Bitmap());
    EXPECT_FALSE(form.Image2->Picture()->Empty());
}

} // namespace
} // namespace kq
