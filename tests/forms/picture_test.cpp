// Pictures: JPEG files made by ImageMagick (data/make_pictures.sh) decode to the colours they
// were drawn with, in the blue-green-red order of the system's bitmaps; what is not a usable JPEG
// is refused with its own message; resizing averages the areas it folds together.
#include "forms/picture.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace kq {
namespace {

std::string ReadFile(const std::string& name) {
    std::ifstream in("tests/forms/data/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << name << " (tests run from the project root)";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Bgr {
    int b, g, r;
};

Bgr PixelAt(const TBitmap& bitmap, int x, int y) {
    const std::uint8_t* p = bitmap.Row(y) + x * 3;
    return Bgr{p[0], p[1], p[2]};
}

// JPEG is lossy: a flat colour comes back within a few levels.
void ExpectNear(Bgr found, Bgr wanted) {
    EXPECT_NEAR(found.b, wanted.b, 8);
    EXPECT_NEAR(found.g, wanted.g, 8);
    EXPECT_NEAR(found.r, wanted.r, 8);
}

TEST(Jpeg, DecodesColourAndGreyPictures) {
    for (const char* file : {"blocks.jpg", "blocks_progressive.jpg"}) {
        SCOPED_TRACE(file);
        const TBitmap bitmap = DecodeJpeg(ReadFile(file));
        ASSERT_EQ(bitmap.Width(), 16);
        ASSERT_EQ(bitmap.Height(), 16);
        EXPECT_EQ(bitmap.Stride(), 48);
        // Away from the edge between the halves, which JPEG blurs.
        for (int y : {1, 8, 14}) {
            ExpectNear(PixelAt(bitmap, 2, y), Bgr{0, 0, 255});
            ExpectNear(PixelAt(bitmap, 13, y), Bgr{255, 0, 0});
        }
    }
    const TBitmap gray = DecodeJpeg(ReadFile("gray.jpg"));
    ASSERT_EQ(gray.Width(), 8);
    EXPECT_EQ(gray.Stride(), 24);
    ExpectNear(PixelAt(gray, 4, 4), Bgr{128, 128, 128});
}

TEST(Jpeg, RefusesWhatItCannotShow) {
    const std::string blocks = ReadFile("blocks.jpg");
    struct Case {
        const char* name;
        std::string data;
        std::string message;
    };
    const Case cases[] = {
        {"empty", "", "Not a JPEG picture"},
        {"another format", "GIF89a\x01\x00", "Not a JPEG picture"},
        {"start marker only", "\xFF\xD8", "JPEG picture damaged: "},
        {"cut in the header", blocks.substr(0, 40), "JPEG picture damaged: "},
        {"wider than allowed", ReadFile("wide.jpg"), "Picture too large (8193 x 1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            DecodeJpeg(c.data);
            ADD_FAILURE() << "decoded";
        } catch (const EInvalidGraphic& error) {
            // "...: " is followed by libjpeg's reason; other messages are whole.
            if (c.message.ends_with(": ")) {
                EXPECT_EQ(error.Message().substr(0, c.message.size()), c.message);
                EXPECT_GT(error.Message().size(), c.message.size());
            } else {
                EXPECT_EQ(error.Message(), c.message);
            }
        }
    }
}

TEST(Picture, SharesPixelsAndKeepsThemWhenALoadFails) {
    TPicture first;
    first.LoadFromJpeg(ReadFile("gray.jpg"));
    int changes = 0;
    TPicture second;
    second.OnChange = [&changes](TObject*) { ++changes; };
    second.Assign(&first);
    EXPECT_EQ(second.Bitmap(), first.Bitmap());
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(second.LoadFromJpeg("not a picture"), EInvalidGraphic);
    EXPECT_EQ(second.Width(), 8);
    second.Assign(nullptr);
    EXPECT_TRUE(second.Empty());
    EXPECT_EQ(changes, 2);
}

// One channel value per pixel, the same in blue, green and red.
TBitmap Row(const std::vector<int>& values, int height = 1) {
    const int width = static_cast<int>(values.size()) / height;
    TBitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                bitmap.Row(y)[x * 3 + c] = static_cast<std::uint8_t>(values[y * width + x]);
            }
        }
    }
    return bitmap;
}

std::vector<int> Values(const TBitmap& bitmap) {
    std::vector<int> values;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint8_t* p = bitmap.Row(y) + x * 3;
            EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << "channels differ at " << x << "," << y;
            values.push_back(p[0]);
        }
    }
    return values;
}

TEST(Bitmap, ResizesByAveragingCoveredAreas) {
    struct Case {
        const char* name;
        std::vector<int> from;
        int fromHeight;
        int width;
        int height;
        std::vector<int> expected; // worked out by hand
    };
    const Case cases[] = {
        {"halve a row", {0, 100, 200, 250}, 1, 2, 1, {50, 225}},
        // Each new pixel covers one and a half old ones: (30 + 60/2) / 1.5 and (60/2 + 90) / 1.5.
        {"two thirds of a row", {30, 60, 90}, 1, 2, 1, {40, 80}},
        {"four into one", {10, 20, 30, 40}, 2, 1, 1, {25}},
        {"double a row", {0, 200}, 1, 4, 1, {0, 0, 200, 200}},
        {"columns and rows", {0, 60, 120, 180, 240, 60}, 2, 1, 2, {60, 160}},
        {"same size", {7, 8, 9}, 1, 3, 1, {7, 8, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Values(Row(c.from, c.fromHeight).Scaled(c.width, c.height)), c.expected);
    }
}

TEST(Bitmap, RefusesSizesOutOfRange) {
    struct Case {
        int width;
        int height;
        std::string message;
    };
    for (const Case& c :
         {Case{0, 5, "Invalid picture size (0 x 5)"}, Case{4, -1, "Invalid picture size (4 x -1)"},
          Case{8193, 1, "Picture too large (8193 x 1)"}}) {
        SCOPED_TRACE(c.message);
        try {
            TBitmap(c.width, c.height);
            ADD_FAILURE() << "made";
        } catch (const EInvalidGraphic& error) {
            EXPECT_EQ(error.Message(), c.message);
        }
    }
}

} // namespace
} // namespace kq
