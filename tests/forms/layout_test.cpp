// Where controls end up: aligned children share their parent's client area edge by edge, a
// page control lays its pages over its display area, and windowed children keep a tab order
// that loading and later moves both respect.
#include "forms/button.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/page_control.h"
#include "forms/panel.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kq {
namespace {

TEST(Align, SharesTheClientAreaEdgeByEdge) {
    struct Child {
        const char* name;
        TAlign align;
        TRect bounds;   // as placed before aligning
        TRect expected; // worked out by hand in a 100 x 80 parent
    };
    // Edges go top, bottom, left, right, then the rest; each takes its own height or width.
    const std::vector<Child> children = {
        {"Fill", TAlign::Client, {5, 5, 10, 10}, {20, 10, 50, 55}},
        {"Left", TAlign::Left, {0, 0, 20, 99}, {0, 10, 20, 55}},
        {"Top", TAlign::Top, {3, 3, 7, 10}, {0, 0, 100, 10}},
        {"Right", TAlign::Right, {0, 0, 30, 5}, {70, 10, 30, 55}},
        {"Bottom", TAlign::Bottom, {0, 0, 1, 15}, {0, 65, 100, 15}},
        {"Free", TAlign::None, {1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    TForm form(nullptr);
    form.SetBounds(0, 0, 100, 80);
    std::vector<TLabel*> labels;
    for (const Child& c : children) {
        auto* label = new TLabel(&form);
        label->SetAutoSize(false);
        label->SetBounds(c.bounds.Left, c.bounds.Top, c.bounds.Width, c.bounds.Height);
        label->SetAlign(c.align);
        label->SetParent(&form);
        labels.push_back(label);
    }
    for (std::size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE(children[i].name);
        EXPECT_EQ(labels[i]->BoundsRect(), children[i].expected);
    }
    // A hidden child gives its place up; a resized parent lays its children out again.
    labels[2]->SetVisible(false);
    form.SetBounds(0, 0, 120, 80);
    EXPECT_EQ(labels[0]->BoundsRect(), (TRect{20, 0, 70, 65}));
    EXPECT_EQ(labels[3]->BoundsRect(), (TRect{90, 0, 30, 65}));
}

TEST(PageControl, LaysEveryPageOverItsDisplayArea) {
    TForm form(nullptr);
    auto* pages = new TPageControl(&form);
    pages->SetParent(&form);
    pages->SetBounds(0, 0, 628, 368);
    auto* first = new TTabSheet(&form);
    first->SetParent(pages);
    auto* second = new TTabSheet(&form);
    second->SetParent(pages);
    // 4 pixels of frame left, top and right, 6 at the bottom.
    for (TTabSheet* page : {first, second}) {
        EXPECT_EQ(page->BoundsRect(), (TRect{4, 4, 620, 358}));
    }
    pages->SetBounds(0, 0, 100, 50);
    EXPECT_EQ(second->BoundsRect(), (TRect{4, 4, 92, 40}));
    EXPECT_EQ(second->PageIndex(), 1);
}

// The windowed children of a parent, by name, in tab order.
std::vector<std::string> TabNames(const TWinControl& parent) {
    std::vector<std::string> names;
    for (const TWinControl* child : parent.TabList()) {
        names.push_back(child->Name());
    }
    return names;
}

TEST(TabOrder, FollowsStoredOrderAfterLoadingAndMovesLater) {
    struct Case {
        const char* name;
        std::vector<int> stored; // the tab orders read for A, B, C, D (-1: none)
        std::vector<std::string> expected;
    };
    // A stored place is taken when it exists and is free; the others fill the places left, in
    // the order the controls were put in.
    const Case cases[] = {
        {"as stored", {2, 0, 3, 1}, {"B", "D", "A", "C"}},
        {"none stored", {-1, -1, -1, -1}, {"A", "B", "C", "D"}},
        {"a place twice", {1, 1, 0, -1}, {"C", "A", "B", "D"}},
        {"past the end", {9, 0, 1, 2}, {"B", "C", "D", "A"}},
    };
    const char* names[] = {"A", "B", "C", "D"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm form(nullptr);
        form.BeginLoading();
        for (int i = 0; i < 4; ++i) {
            auto* button = new TButton(&form);
            button->SetName(names[i]);
            button->BeginLoading();
            button->SetParent(&form);
            button->SetTabOrder(c.stored[i]);
        }
        form.Loaded();
        EXPECT_EQ(TabNames(form), c.expected);
    }

    TForm form(nullptr);
    TButton* buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = new TButton(&form);
        buttons[i]->SetName(names[i]);
        buttons[i]->SetParent(&form);
    }
    buttons[3]->SetTabOrder(0);
    EXPECT_EQ(TabNames(form), (std::vector<std::string>{"D", "A", "B", "C"}));
    buttons[3]->SetTabOrder(99); // past the end: the last place
    EXPECT_EQ(TabNames(form), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(buttons[2]->TabOrder(), 2);
    // Labels are not windowed: they take no place.
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    EXPECT_EQ(form.TabList().size(), 4u);
    delete buttons[1];
    EXPECT_EQ(TabNames(form), (std::vector<std::string>{"A", "C", "D"}));
}

TEST(TabOrder, PanelsTakeAPlaceButNoStop) {
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    EXPECT_EQ(panel->TabOrder(), 0);
    EXPECT_EQ(button->TabOrder(), 1);
    EXPECT_FALSE(panel->TabStop());
    EXPECT_TRUE(button->TabStop());
}

} // namespace
} // namespace kq
