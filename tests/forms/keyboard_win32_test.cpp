// The dialog keys of a shown form on Windows, as the application's message processing handles
// them: Tab and Shift+Tab walk the controls Tab stops at in tab order (skipping disabled ones,
// going into the page shown), Enter presses the focused button or else the default button of the
// page shown, and Alt with an underlined letter presses that button.
#include "forms/application.h"
#include "forms/button.h"
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/page_control.h"
#include "forms/panel.h"
#include "platform/messages.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace kq {
namespace {

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        Application().Initialize();
        form = new TForm(nullptr);
        form->SetName("Form1");
        form->SetBounds(50, 50, 300, 200);
        pages = Make<TPageControl>("Pages", form, {0, 0, 300, 200});
        for (const char* name : {"Page1", "Page2"}) {
            Make<TTabSheet>(name, pages, {});
        }
        TTabSheet* page1 = pages->Pages(0);
        back = Make<TButton>("Back", page1, {10, 150, 75, 25}, "&Back");
        next = Make<TButton>("Next", page1, {95, 150, 75, 25}, "&Next");
        cancel = Make<TButton>("Cancel", page1, {180, 150, 75, 25}, "Cancel");
        Make<TPanel>("Rule", page1, {10, 140, 250, 2});
        memo = Make<TMemo>("Memo", page1, {10, 10, 200, 100});
        other = Make<TButton>("Other", pages->Pages(1), {10, 150, 75, 25}, "&Next");
        next->SetDefault(true);
        other->SetDefault(true);
        back->SetEnabled(false);
        pages->SetActivePageIndex(0);
        form->Show();
        Pump();
    }
    void TearDown() override { delete form; }

    template <class T>
    T* Make(const char* name, TWinControl* parent, TRect bounds, const char* text = "") {
        auto* control = new T(form);
        control->SetName(name);
        control->SetParent(parent);
        if (bounds.Width > 0) {
            control->SetBounds(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
        }
        control->SetText(text);
        control->OnClick = [this, name](TObject*) { clicks.push_back(name); };
        return control;
    }

    static void Pump() {
        for (int i = 0; i < 5; ++i) {
            Application().ProcessMessages();
            Sleep(20);
        }
    }

    // A key pressed on the focused window, the way the keyboard delivers it; Shift is held in
    // the thread's key state, where the dialog keys look for it.
    static void Press(WPARAM key, bool shift = false) {
        BYTE state[256];
        GetKeyboardState(state);
        const BYTE before = state[VK_SHIFT];
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        HWND focus = GetFocus();
        PostMessageA(focus, WM_KEYDOWN, key, 1);
        PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
        Pump();
        state[VK_SHIFT] = before;
        SetKeyboardState(state);
    }

    // Alt and a letter: a system character, with the context bit for Alt.
    static void PressAlt(char letter) {
        PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), 0x20000001);
        Pump();
    }

    std::string Focused() const {
        for (TWinControl* c : {static_cast<TWinControl*>(back), static_cast<TWinControl*>(next),
                               static_cast<TWinControl*>(cancel), static_cast<TWinControl*>(memo),
                               static_cast<TWinControl*>(other)}) {
            if (c->Focused()) {
                return c->Name();
            }
        }
        return "nothing";
    }

    TForm* form = nullptr;
    TPageControl* pages = nullptr;
    TButton* back = nullptr;
    TButton* next = nullptr;
    TButton* cancel = nullptr;
    TMemo* memo = nullptr;
    TButton* other = nullptr;
    std::vector<std::string> clicks;
};

TEST_F(Keyboard, TabWalksTheStopsInTabOrder) {
    // Created in this order: Back, Next, Cancel, Rule (no stop), Memo; Back is disabled.
    char cls[64] = "";
    GetClassNameA(GetFocus(), cls, sizeof cls);
    EXPECT_EQ(Focused(), "Next") << "focus on " << cls << " foreground "
                                 << (void*)GetForegroundWindow() << " active "
                                 << (void*)GetActiveWindow();
    const char* forward[] = {"Cancel", "Memo", "Next", "Cancel"};
    for (const char* expected : forward) {
        Press(VK_TAB);
        EXPECT_EQ(Focused(), expected);
    }
    Press(VK_TAB, true);
    EXPECT_EQ(Focused(), "Next");
    memo->SetTabOrder(0); // now first
    Press(VK_TAB, true);
    EXPECT_EQ(Focused(), "Memo");
}

TEST_F(Keyboard, EnterPressesTheFocusedOrTheDefaultButton) {
    cancel->SetFocus();
    Press(VK_RETURN);
    EXPECT_EQ(clicks, (std::vector<std::string>{"Cancel"}));
    memo->SetWantReturns(false);
    memo->SetFocus();
    Press(VK_RETURN);
    EXPECT_EQ(clicks, (std::vector<std::string>{"Cancel", "Next"}));
    // The focus leaves with the page it was on; Enter then presses the new page's default.
    pages->SetActivePageIndex(1);
    Pump();
    EXPECT_EQ(Focused(), "Other");
    Press(VK_RETURN);
    EXPECT_EQ(clicks, (std::vector<std::string>{"Cancel", "Next", "Other"}));
}

// The extraction engine pumps through the platform, not through the application: the keys must
// work there too, or Tab and Enter are dead while files are installed.
TEST_F(Keyboard, TheEnginesPumpHandlesTheDialogKeysToo) {
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, VK_TAB, 1);
    PostMessageA(focus, WM_KEYUP, VK_TAB, 0xC0000001);
    ProcessMessages();
    EXPECT_EQ(Focused(), "Cancel");
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    ProcessMessages();
    EXPECT_EQ(clicks, (std::vector<std::string>{"Cancel"}));
}

TEST_F(Keyboard, AMemoThatWantsReturnsKeepsEnter) {
    memo->SetFocus();
    Press(VK_RETURN);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(Keyboard, AltAndTheUnderlinedLetterPressThatButton) {
    PressAlt('n'); // "&Next" on the page shown, not the hidden page's
    EXPECT_EQ(clicks, (std::vector<std::string>{"Next"}));
    PressAlt('b'); // "&Back" is disabled
    EXPECT_EQ(clicks, (std::vector<std::string>{"Next"}));
}

// The hidden page's windows are made when it is first shown, with what was set on its controls
// meanwhile, in tab order, before the page shows; the focus and the keys then find them.
TEST_F(Keyboard, AHiddenPageMakesItsWindowsWhenFirstShown) {
    TTabSheet* page2 = pages->Pages(1);
    auto* edit = Make<TEdit>("Edit", page2, {10, 10, 100, 22});
    auto* last = Make<TButton>("Last", page2, {95, 150, 75, 25}, "&Last");
    last->SetTabOrder(0); // before Other and Edit
    for (TControl* c : std::vector<TControl*>{page2, other, edit, last}) {
        EXPECT_EQ(c->Peer(), nullptr) << c->Name();
    }
    edit->SetText("typed while hidden");
    last->SetEnabled(false);

    pages->SetActivePageIndex(1);
    Pump();
    HWND pageWindow = GetParent(GetFocus());
    // Windows in the tab order of the page: Last, Other, Edit; Last is disabled.
    std::vector<std::string> made;
    for (HWND w = GetWindow(pageWindow, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        char text[64] = "";
        GetWindowTextA(w, text, sizeof text);
        made.push_back(std::string(text) + (IsWindowEnabled(w) ? "" : " (disabled)") +
                       (IsWindowVisible(w) ? "" : " (hidden)"));
    }
    EXPECT_EQ(made, (std::vector<std::string>{"&Last (disabled)", "&Next", "typed while hidden"}));
    EXPECT_TRUE(edit->Focused()); // the field to type in
    Press(VK_TAB);                // wraps past the disabled Last
    EXPECT_EQ(Focused(), "Other");
    PressAlt('n');
    EXPECT_EQ(clicks, (std::vector<std::string>{"Other"}));

    // Back on the first page and again on the second: the same windows, nothing made twice.
    pages->SetActivePageIndex(0);
    pages->SetActivePageIndex(1);
    Pump();
    int count = 0;
    for (HWND w = GetWindow(pageWindow, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        ++count;
    }
    EXPECT_EQ(count, 3);
}

} // namespace
} // namespace kq
