// The message box as engines and tests reach it: a responder answers instead of the box.

#include "platform/dialogs.h"
#include "test/hooks.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(MessageBox, TheResponderAnswersWithWhatItWasShown) {
    test::ScopedHooks hooks;
    std::string seenText;
    std::string seenCaption;
    std::uint32_t seenFlags = 0;
    SetMessageBoxResponder(
        [&](const std::string& text, const std::string& caption, std::uint32_t flags) {
            seenText = text;
            seenCaption = caption;
            seenFlags = flags;
            return id::No;
        });
    const std::uint32_t flags = mb::YesNo | mb::IconQuestion | mb::DefButton2;
    EXPECT_EQ(MessageBox("Replace existing file a.txt?", "File Exists Alert", flags), id::No);
    EXPECT_EQ(seenText, "Replace existing file a.txt?");
    EXPECT_EQ(seenCaption, "File Exists Alert");
    EXPECT_EQ(seenFlags, 0x124u);
}

TEST(MessageBox, AResponderMayReplaceItselfWhileItAnswers) {
    test::ScopedHooks hooks;
    int calls = 0;
    // The captured text makes the closure too big to be kept inside the std::function, so a
    // responder destroyed while it runs would be caught by the address sanitizer.
    const std::string answer(40, 'R');
    SetMessageBoxResponder([&calls, answer](const std::string&, const std::string&, std::uint32_t) {
        ++calls;
        SetMessageBoxResponder(
            [](const std::string&, const std::string&, std::uint32_t) { return id::Cancel; });
        return answer[0] == 'R' ? id::Retry : id::Abort; // reads its state after the swap
    });
    EXPECT_EQ(MessageBox("text", "caption", mb::RetryCancel), id::Retry);
    EXPECT_EQ(MessageBox("text", "caption", mb::RetryCancel), id::Cancel);
    EXPECT_EQ(calls, 1);
}

} // namespace
} // namespace kq
