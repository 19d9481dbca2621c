// Without a responder the stand-in's message box answers with its default button. The button
// orders and values are Windows': MB_OK {1}, MB_OKCANCEL {1, 2}, MB_ABORTRETRYIGNORE {3, 4, 5},
// MB_YESNOCANCEL {6, 7, 2}, MB_YESNO {6, 7}, MB_RETRYCANCEL {4, 2}, MB_CANCELTRYCONTINUE
// {2, 10, 11}, MB_HELP adding Help (9) last.

#include "platform/dialogs.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(MessageBoxDefault, TheDefaultButtonAnswers) {
    struct Case {
        const char* name;
        std::uint32_t flags;
        int answer;
    };
    const Case cases[] = {
        {"OK", 0x0, 1},
        {"OK, Cancel", 0x1, 1},
        {"OK, Cancel, second default", 0x101, 2},
        {"Abort, Retry, Ignore, second default", 0x102, 4},
        {"Abort, Retry, Ignore, third default", 0x202, 5},
        {"Yes, No, Cancel", 0x3, 6},
        {"Yes, No, Cancel, third default", 0x203, 2},
        {"Yes, No", 0x4, 6},
        {"Yes, No, second default", 0x104, 7},
        {"Yes, No with an icon and modality bits", 0x2134, 7},
        {"Retry, Cancel, second default", 0x105, 2},
        {"Cancel, Try Again, Continue, third default", 0x206, 11},
        {"Yes, No, third default names no button: the first", 0x204, 6},
        {"OK, fourth default names no button: the first", 0x300, 1},
        {"Yes, No, Help, third default is Help", 0x4204, 9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageBox("text", "caption", c.flags), c.answer) << c.name;
    }
}

TEST(MessageBoxDefault, AnUnknownButtonSetCannotBeShown) {
    EXPECT_EQ(MessageBox("text", "caption", 0x7), 0);
    EXPECT_EQ(LastError(), err::InvalidParameter);
}

TEST(MessageBoxDefault, RemovingTheResponderBringsTheDefaultBack) {
    SetMessageBoxResponder(
        [](const std::string&, const std::string&, std::uint32_t) { return id::No; });
    EXPECT_EQ(MessageBox("text", "caption", mb::YesNo), id::No);
    SetMessageBoxResponder(nullptr);
    EXPECT_EQ(MessageBox("text", "caption", mb::YesNo), id::Yes);
}

} // namespace
} // namespace kq
