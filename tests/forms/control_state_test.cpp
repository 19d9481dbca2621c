// The state each control keeps: a memo's lines and text, edits following the user, a progress
// bar kept in its range, the page shown, the default button that Enter presses.
#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/page_control.h"
#include "forms/progress_bar.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(Memo, JoinsItsLinesIntoItsText) {
    TMemo memo(nullptr);
    int changes = 0;
    memo.OnChange = [&changes](TObject*) { ++changes; };
    memo.SetText("first\r\n\r\nthird");
    EXPECT_EQ(memo.Lines()->Count(), 3);
    EXPECT_EQ(memo.Lines()->Strings(1), "");
    EXPECT_EQ(memo.Text(), "first\r\n\r\nthird");
    EXPECT_EQ(changes, 1);
    memo.Lines()->Add("fourth");
    EXPECT_EQ(memo.Text(), "first\r\n\r\nthird\r\nfourth");
    EXPECT_EQ(changes, 2);
    memo.SetText(memo.Text()); // the same text: no change
    EXPECT_EQ(changes, 2);

    // Every break ends a line, as in an edit control: the text comes back as it was given.
    struct Case {
        const char* text;
        int lines;
        const char* back;
    };
    for (const Case& c : {Case{"a\r\n", 2, "a\r\n"}, Case{"a\nb\rc", 3, "a\r\nb\r\nc"},
                          Case{"\r\n\r\n", 3, "\r\n\r\n"}, Case{"", 0, ""}}) {
        SCOPED_TRACE(c.back);
        memo.SetText(c.text);
        EXPECT_EQ(memo.Lines()->Count(), c.lines);
        EXPECT_EQ(memo.Text(), c.back);
    }
}

TEST(Edit, TakesTheUsersTextAndTellsOnChange) {
    TEdit edit(nullptr);
    AnsiString seen;
    edit.OnChange = [&](TObject*) { seen = edit.Text(); };
    edit.UserEdited("C:\\Apps\\");
    EXPECT_EQ(edit.Text(), "C:\\Apps\\");
    EXPECT_EQ(seen, "C:\\Apps\\");
}

TEST(ProgressBar, KeepsThePositionInItsRange) {
    struct Case {
        int min, max, position, expected;
    };
    for (const Case& c :
         {Case{0, 100, 42, 42}, Case{0, 100, 250, 100}, Case{0, 100, -3, 0}, Case{10, 20, 5, 10}}) {
        SCOPED_TRACE(c.position);
        TProgressBar bar(nullptr);
        bar.SetMin(c.min);
        bar.SetMax(c.max);
        bar.SetPosition(c.position);
        EXPECT_EQ(bar.Position(), c.expected);
    }
    TProgressBar bar(nullptr);
    bar.SetPosition(80);
    bar.SetMax(50); // a smaller range pulls the position in
    EXPECT_EQ(bar.Position(), 50);
}

TEST(PageControl, ShowsOnePageAtATime) {
    TForm form(nullptr);
    auto* pages = new TPageControl(&form);
    pages->SetParent(&form);
    TTabSheet* sheets[3];
    for (TTabSheet*& sheet : sheets) {
        sheet = new TTabSheet(&form);
        sheet->SetParent(pages);
    }
    EXPECT_EQ(pages->ActivePageIndex(), -1);
    for (int index : {1, 2, 0}) {
        SCOPED_TRACE(index);
        pages->SetActivePageIndex(index);
        EXPECT_EQ(pages->ActivePage(), sheets[index]);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(sheets[i]->Visible(), i == index);
        }
    }
    pages->SetActivePageIndex(7); // no such page: none shown
    EXPECT_EQ(pages->ActivePage(), nullptr);
    EXPECT_FALSE(sheets[0]->Visible());

    TPageControl other(nullptr);
    EXPECT_THROW(other.SetActivePage(sheets[1]), EInvalidOperation);
    delete sheets[1];
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(sheets[2]->PageIndex(), 1);
}

TEST(CheckBox, FollowsTheUserAndTellsOnClick) {
    TCheckBox box(nullptr);
    bool seen = false;
    box.OnClick = [&](TObject*) { seen = box.Checked(); };
    box.UserToggled(true);
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(seen);
}

// The default button of what is shown: on a hidden page, or disabled, it does not count.
TEST(Form, FindsTheDefaultButtonOfThePageShown) {
    TForm form(nullptr);
    auto* pages = new TPageControl(&form);
    pages->SetParent(&form);
    TButton* defaults[2];
    for (TButton*& button : defaults) {
        auto* sheet = new TTabSheet(&form);
        sheet->SetParent(pages);
        auto* plain = new TButton(&form);
        plain->SetParent(sheet);
        button = new TButton(&form);
        button->SetParent(sheet);
        button->SetDefault(true);
    }
    form.Show();
    EXPECT_EQ(form.DefaultButton(), nullptr); // no page shown yet
    pages->SetActivePageIndex(1);
    EXPECT_EQ(form.DefaultButton(), defaults[1]);
    defaults[1]->SetEnabled(false);
    EXPECT_EQ(form.DefaultButton(), nullptr);
    pages->SetActivePageIndex(0);
    EXPECT_EQ(form.DefaultButton(), defaults[0]);
}

} // namespace
} // namespace kq
