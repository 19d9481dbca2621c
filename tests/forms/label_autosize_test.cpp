// Labels that size themselves to their text, measured here by a fixed rule installed in the
// native stand-in: each byte 7 pixels wide, the line 2 pixels taller than the font's characters.
#include "forms/form.h"
#include "forms/label.h"
#include "forms/standin.h"
#include "test/form_hooks.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

class LabelAutoSize : public ::testing::Test {
protected:
    void SetUp() override {
        SetTextMeasurer([](const TFont& font, std::string_view text) {
            return std::optional<TSize>(
                TSize{static_cast<int>(text.size()) * 7, -font.Height() + 2});
        });
    }

    test::ScopedFormHooks hooks_;
};

TEST_F(LabelAutoSize, TakesTheSizeOfItsTextAndKeepsItsCorner) {
    TLabel label(nullptr);
    label.SetBounds(10, 20, 100, 50);
    label.Font()->SetHeight(-13);
    label.SetCaption("abc");
    EXPECT_EQ(label.BoundsRect(), (TRect{10, 20, 21, 15}));
    label.Font()->SetHeight(-20);
    EXPECT_EQ(label.BoundsRect(), (TRect{10, 20, 21, 22}));
    label.SetCaption(""); // measured as one blank: a line stays a line high
    EXPECT_EQ(label.BoundsRect(), (TRect{10, 20, 7, 22}));
}

TEST_F(LabelAutoSize, WaitsForTheEndOfLoadingAndKeepsAFixedSize) {
    TLabel label(nullptr);
    label.BeginLoading();
    label.SetBounds(0, 0, 172, 16);
    label.SetCaption("0123456789");
    EXPECT_EQ(label.Width(), 172);
    label.Loaded();
    EXPECT_EQ(label.Width(), 70);

    TLabel fixed(nullptr);
    fixed.SetAutoSize(false);
    fixed.SetBounds(0, 0, 361, 20);
    fixed.SetCaption("a much longer text than the box");
    EXPECT_EQ(fixed.BoundsRect(), (TRect{0, 0, 361, 20}));
}

} // namespace
} // namespace kq
