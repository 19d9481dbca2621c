// A Setup started while another one runs, on the stand-in platform: it says so in the language
// of the code page, windowed or silent, and writes nothing but the /LOG= file it was given.
#include "installation_fixture.h"
#include "platform/named_mutex.h"
#include "setup/silent_install.h"
#include "setup/uconst.h"
#include "test/code_page.h"

#include <map>

namespace kq {
namespace {

using setup_test::Installation;
using setup_test::kMay;
using setup_test::ReadHostFile;
using test::ToCodePage;

class OneSetup : public Installation {
protected:
    // Everything under the root, folders included, with the bytes of each file.
    std::map<std::string, std::string> Everything() {
        std::map<std::string, std::string> entries;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root_)) {
            const std::string path = entry.path().string().substr(root_.size());
            entries[path] = entry.is_directory() ? "<folder>" : ReadHostFile(entry.path().string());
        }
        return entries;
    }
};

TEST_F(OneSetup, ASecondSetupSaysSoAndWritesNothingButItsLog) {
    MakeArchive({{"qynapp.exe", "MZ", kMay}});
    // The first Setup holds the name; it may not have made its window yet, so not even the
    // product's key, which start-up makes, is there.
    const NamedMutex firstSetup(uconst::kSetupMutex);
    ASSERT_TRUE(firstSetup.Held());

    struct Case {
        std::uint32_t codePage;
        bool silent;
        bool logged;
        std::u8string_view text, caption;
    };
    const Case cases[] = {
        {936, false, false, u8"KavoruQyn 的安装程序已在运行。", u8"KavoruQyn安装系统"},
        {936, true, true, u8"KavoruQyn 的安装程序已在运行。", u8""},
        {950, false, true, u8"KavoruQyn 的安裝程式已在執行。", u8"KavoruQyn安裝繫統"},
        {950, true, false, u8"KavoruQyn 的安裝程式已在執行。", u8""},
        {1252, false, false, u8"Setup of Kavoru Qyn is already running.", u8"Kavoru Qyn Setup"},
        {1252, true, true, u8"Setup of Kavoru Qyn is already running.", u8""},
        {932, false, true, u8"Setup of Kavoru Qyn is already running.", u8"Kavoru Qyn Setup"},
    };
    const std::string log = root_ + "/c/Media/setup.log";
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.codePage << (c.silent ? " /S" : " window") << (c.logged ? " /LOG=" : ""));
        std::filesystem::remove(log);
        SetAnsiCodePage(c.codePage);
        errorBox = {};
        std::map<std::string, std::string> expected = Everything();
        TSetupOptions options;
        options.silent = c.silent;
        options.hasFolder = true;
        options.folder = "D:\\Elsewhere";
        if (c.logged) {
            options.logFile = "C:\\Media\\setup.log";
            expected["/c/Media/setup.log"] = ToCodePage(c.text, c.codePage) + "\r\n";
        }

        EXPECT_EQ(RefuseSecondSetup(options), setup_exit::AlreadyRunning);
        EXPECT_EQ(Everything(), expected);
        const std::string text = ToCodePage(c.text, c.codePage);
        if (c.silent) {
            EXPECT_EQ(errorBox.shown, 0) << errorBox.text;
        } else {
            EXPECT_EQ(errorBox.shown, 1);
            EXPECT_EQ(errorBox.text, text);
            EXPECT_EQ(errorBox.caption, ToCodePage(c.caption, c.codePage));
            EXPECT_EQ(errorBox.flags, mb::Ok | mb::IconInformation);
        }
        EXPECT_TRUE(questions.empty());
        EXPECT_TRUE(launched.empty());
    }
}

// The texts follow a translation file in the current folder as the window's do; where the file
// has no usable row of its own (made before the string existed, or with a format that does not
// fit), the stored text speaks with the file's product name.
TEST_F(OneSetup, TheTextsFollowATranslationFile) {
    const NamedMutex firstSetup(uconst::kSetupMutex);
    std::filesystem::create_directories(root_ + "/c/cwd");
    std::filesystem::current_path(root_ + "/c/cwd"); // the stand-in's root puts it back
    const std::string names = "[Strings]\r\nTForm1.sCompany=Acme1~!@#Acme2~!@#Acme3\r\n"
                              "TForm1.sSetup= Setup1~!@# Setup2~!@# Setup3\r\n";
    const struct {
        const char* label;
        std::string row;
        const char* text;
    } cases[] = {
        {"no row", "", "Setup of Acme3Qyn is already running."},
        {"a row", "TForm1.sAlreadyRunning=1~!@#2~!@#%s runs.\r\n", "Acme3Qyn runs."},
        {"a row whose format does not fit", "TForm1.sAlreadyRunning=1~!@#2~!@#%d runs.\r\n",
         "Setup of Acme3Qyn is already running."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::ofstream("translations.lng", std::ios::binary) << names + c.row;
        errorBox = {};
        EXPECT_EQ(RefuseSecondSetup(TSetupOptions()), setup_exit::AlreadyRunning);
        EXPECT_EQ(errorBox.text, c.text);
        EXPECT_EQ(errorBox.caption, "Acme3Qyn Setup3");
    }
}

} // namespace
} // namespace kq
