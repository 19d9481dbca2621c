// On the native stand-in nobody sees a message dialog: the platform's message box answers it, with
// the dialog's caption and a matching set of buttons and icon.
#include "forms/dialogs.h"
#include "platform/dialogs.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(MessageDialogStandIn, AsksThePlatformsMessageBox) {
    std::string caption;
    std::uint32_t flags = 0;
    SetMessageBoxResponder([&](const std::string&, const std::string& c, std::uint32_t f) {
        caption = c;
        flags = f;
        return id::No;
    });
    EXPECT_EQ(
        MessageDialog("Quit?", TDialogKind::Confirmation, {TDialogButton::Yes, TDialogButton::No}),
        id::No);
    EXPECT_EQ(caption, "Confirm");
    EXPECT_EQ(flags, mb::YesNo | mb::IconQuestion);
    SetMessageBoxResponder(nullptr);
    // Without a responder the default button answers: Yes.
    EXPECT_EQ(
        MessageDialog("Quit?", TDialogKind::Confirmation, {TDialogButton::Yes, TDialogButton::No}),
        id::Yes);
}

} // namespace
} // namespace kq
