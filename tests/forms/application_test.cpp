// The application's error box and the message dialog: what the user is shown, with which
// caption, icon and buttons, and which answer comes back.
#include "base/exceptions.h"
#include "forms/application.h"
#include "forms/dialogs.h"
#include "platform/dialogs.h"
#include "test/form_hooks.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

TEST(ErrorBox, AddsAFullStopAfterALastCharacterThatSortsAfterIt) {
    struct Case {
        std::string message;
        std::string shown;
    };
    const Case cases[] = {
        {"Not a valid zip file!", "Not a valid zip file!"}, // "!" sorts before "."
        {"Please choose the correct folder.", "Please choose the correct folder."},
        {"Disk full", "Disk full."},
        {"Bad value: 7", "Bad value: 7."}, // digits sort after "."
        {"Path C:\\", "Path C:\\."},
        {"What -", "What -"},                                      // "-" sorts before "."
        {"\xc7\xeb\xd1\xa1\xd4\xf1", "\xc7\xeb\xd1\xa1\xd4\xf1."}, // ends in a GBK character
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(ErrorBoxText(c.message), c.shown);
    }
}

class Boxes : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxResponder(
            [this](const std::string& text, const std::string& caption, std::uint32_t flags) {
                ++shown;
                lastText = text;
                lastCaption = caption;
                lastFlags = flags;
                return answer;
            });
        Application().SetTitle("KavoruQyn Setup");
    }

    test::ScopedFormHooks hooks;
    int shown = 0;
    std::string lastText;
    std::string lastCaption;
    std::uint32_t lastFlags = 0;
    int answer = id::Ok;
};

TEST_F(Boxes, ShowAHandlersErrorWithTheTitleAndGoOn) {
    bool after = false;
    Application().CallHandler([] { throw EInvalidOperation("Cannot go on"); });
    after = true;
    EXPECT_TRUE(after);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(lastText, "Cannot go on.");
    EXPECT_EQ(lastCaption, "KavoruQyn Setup");
    EXPECT_EQ(lastFlags, mb::Ok | mb::IconError);

    Application().CallHandler([] { throw EAbort("stop"); }); // silent
    Application().CallHandler([] {});
    EXPECT_EQ(shown, 1);
}

TEST(MessageDialog, ChoosesDefaultAndCancelButtons) {
    using B = TDialogButton;
    struct Case {
        const char* name;
        TDialogButtons buttons;
        TDialogButton defaultButton;
        TDialogButton cancelButton;
    };
    for (const Case& c : {Case{"yes no", {B::Yes, B::No}, B::Yes, B::No},
                          Case{"ok cancel", {B::OK, B::Cancel}, B::OK, B::Cancel},
                          Case{"yes no cancel", {B::Yes, B::No, B::Cancel}, B::Yes, B::Cancel},
                          Case{"ok", {B::OK}, B::OK, B::OK}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DialogDefaultButton(c.buttons), c.defaultButton);
        EXPECT_EQ(DialogCancelButton(c.buttons), c.cancelButton);
    }
    EXPECT_STREQ(DialogCaption(TDialogKind::Confirmation), "Confirm");
    EXPECT_STREQ(DialogButtonText(B::Yes), "&Yes");
    EXPECT_STREQ(DialogButtonText(B::No), "&No");
    EXPECT_EQ(DialogButtonResult(B::Yes), 6);
    EXPECT_EQ(DialogButtonResult(B::No), 7);
    EXPECT_THROW(MessageDialog("?", TDialogKind::Confirmation, {}), EInvalidOperation);
}

TEST_F(Boxes, AnswerDialogsThroughTheirResponder) {
    AnsiString asked;
    SetMessageDialogResponder(
        [&](const AnsiString& message, TDialogKind kind, TDialogButtons buttons) {
            asked = message;
            EXPECT_EQ(kind, TDialogKind::Confirmation);
            EXPECT_EQ(buttons, TDialogButtons({TDialogButton::Yes, TDialogButton::No}));
            return id::No;
        });
    EXPECT_EQ(MessageDialog("Cancel setup?", TDialogKind::Confirmation,
                            {TDialogButton::Yes, TDialogButton::No}),
              id::No);
    EXPECT_EQ(asked, "Cancel setup?");
    EXPECT_EQ(shown, 0);
}

} // namespace
} // namespace kq
