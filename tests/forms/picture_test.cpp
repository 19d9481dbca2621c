// Pictures: JPEG files made by ImageMagick (data/make_pictures.sh) decode to the colours they
// were drawn with, in the blue-green-red order of the system's bitmaps; what is not a usable JPEG
// is refused with its own message; resizing averages the areas it folds together.
#include "forms/picture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace kq {
namespace {

std::string ReadFile(const std::string& name) {
    const std::string path =
        name.find('/') == std::string::npos ? "tests/forms/data/" + name : name;
    std::ifstream in(path, std::ios::binary);
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

// "...: " is followed by libjpeg's reason; other messages are whole.
void ExpectMessage(const EInvalidGraphic& error, const std::string& message) {
    if (message.ends_with(": ")) {
        EXPECT_EQ(error.Message().substr(0, message.size()), message);
        EXPECT_GT(error.Message().size(), message.size());
    } else {
        EXPECT_EQ(error.Message(), message);
    }
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
            ExpectMessage(error, c.message);
        }
        // What the header shows is refused when a picture is loaded, which reads nothing else.
        TPicture picture;
        picture.LoadFromJpeg(ReadFile("gray.jpg"));
        try {
            picture.LoadFromJpeg(c.data);
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& error) {
            ExpectMessage(error, c.message);
        }
        EXPECT_EQ(picture.Width(), 8);
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

// Each new pixel averages the area of old pixels it covers. A picture decoded at a reduced size
// gives the span its pixels stand for: its last column or row may stand for part of a pixel.
TEST(Bitmap, ResizesByAveragingCoveredAreas) {
    struct Span {
        double width;
        double height;
    };
    struct Case {
        const char* name;
        std::vector<int> from;
        int fromHeight;
        std::optional<Span> span; // none: the whole picture
        int width;
        int height;
        std::vector<int> expected; // worked out by hand
    };
    const Case cases[] = {
        {"halve a row", {0, 100, 200, 250}, 1, {}, 2, 1, {50, 225}},
        // Each new pixel covers one and a half old ones: (30 + 60/2) / 1.5 and (60/2 + 90) / 1.5.
        {"two thirds of a row", {30, 60, 90}, 1, {}, 2, 1, {40, 80}},
        {"four into one", {10, 20, 30, 40}, 2, {}, 1, 1, {25}},
        {"double a row", {0, 200}, 1, {}, 4, 1, {0, 0, 200, 200}},
        {"columns and rows", {0, 60, 120, 180, 240, 60}, 2, {}, 1, 2, {60, 160}},
        {"same size", {7, 8, 9}, 1, {}, 3, 1, {7, 8, 9}},
        // (0 + 100 + 200/2) / 2.5
        {"two and a half into one", {0, 100, 200}, 1, Span{2.5, 1}, 1, 1, {80}},
        // (0 + 100/4) / 1.25 and (100 * 3/4 + 200/2) / 1.25
        {"two and a half into two", {0, 100, 200}, 1, Span{2.5, 1}, 2, 1, {20, 140}},
        // The column of 40s lies outside: (10 + 30 / 2) / 1.5.
        {"whole columns, part of a row", {10, 40, 30, 40}, 2, Span{1, 1.5}, 1, 1, {17}},
        {"the span is the picture", {7, 8, 9}, 1, Span{3, 1}, 3, 1, {7, 8, 9}},
        // Two columns of three: the third is left out, not copied across.
        {"same count, smaller span", {7, 8, 90}, 1, Span{2, 1}, 2, 1, {7, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TBitmap from = Row(c.from, c.fromHeight);
        const TBitmap scaled = c.span
                                   ? from.Scaled(c.width, c.height, c.span->width, c.span->height)
                                   : from.Scaled(c.width, c.height);
        EXPECT_EQ(Values(scaled), c.expected);
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

const char* const kWelcome = "setup/resources/art/welcome.jpg";

TEST(Picture, ChoosesTheDecodedSizeFromTheDrawnOne) {
    struct Case {
        int width;
        int height;
        int drawnWidth;
        int drawnHeight;
        // Worked out by hand: the largest k of 8, 4, 2 with ceil(side / k) >= 2 x drawn side.
        int denominator;
    };
    const Case cases[] = {
        {1031, 1649, 247, 358, 2}, // the welcome picture as the wizard draws it: 516 x 825
        {1031, 1649, 258, 412, 2}, // 516 x 825 is just enough
        {1031, 1649, 258, 413, 1}, // a row short of a half's half
        {1031, 1649, 259, 100, 1}, // a column short
        {1031, 1649, 129, 206, 4}, // a quarter, 258 x 413, is just enough
        {1031, 1649, 129, 207, 2},
        {1031, 1649, 64, 103, 8}, // an eighth, 129 x 207, is just enough
        {1031, 1649, 65, 103, 4},
        {1031, 1649, 1031, 1649, 1}, // its own size
        {1031, 1649, 2000, 3000, 1}, // enlarged
        {15, 9, 1, 1, 8},            // 2 x 2 at an eighth
        {7, 5, 1, 1, 4},             // 1 x 1 at an eighth: not enough
        {1, 1, 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " drawn at "
                                        << c.drawnWidth << "x" << c.drawnHeight);
        EXPECT_EQ(JpegDenominator(c.width, c.height, c.drawnWidth, c.drawnHeight), c.denominator);
    }
}

// What a picture draws against its full decoding averaged down to the same size: the same pixels
// when it is decoded whole, within a few levels when it is decoded smaller. The pictures have
// sharp edges (a checkerboard, a circle, a one-pixel line, white text), odd sizes, colour with
// halved chroma, progressive and grey storage.
TEST(Picture, DrawsNearlyThePixelsOfTheFullPicture) {
    struct Case {
        const char* file;
        int width;
        int height;
        int denominator;
    };
    const Case cases[] = {
        {kWelcome, 247, 358, 2},
        {kWelcome, 249, 358, 2},
        {kWelcome, 258, 412, 2},
        {kWelcome, 123, 179, 4},
        {kWelcome, 100, 100, 4},
        {kWelcome, 60, 90, 8},
        {kWelcome, 371, 537, 1},
        {"detail.jpg", 50, 39, 2},
        {"detail.jpg", 51, 39, 2},
        {"detail.jpg", 25, 19, 4},
        {"detail.jpg", 17, 3, 4},
        {"detail.jpg", 13, 10, 8},
        {"detail.jpg", 1, 1, 8},
        {"detail.jpg", 51, 40, 1},
        {"detail.jpg", 150, 100, 1},
        {"detail.jpg", 203, 157, 1},
        {"detail.jpg", 300, 200, 1},
        {"detail_progressive.jpg", 50, 39, 2},
        {"detail_progressive.jpg", 13, 10, 8},
        {"detail_gray.jpg", 50, 39, 2},
        {"detail_gray.jpg", 25, 19, 4},
        {"detail_gray.jpg", 7, 5, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " at " << c.width << "x" << c.height);
        TPicture picture;
        picture.LoadFromJpeg(ReadFile(c.file));
        ASSERT_EQ(JpegDenominator(picture.Width(), picture.Height(), c.width, c.height),
                  c.denominator);
        const TBitmap drawn = picture.Drawn(c.width, c.height);
        const TBitmap full = picture.Bitmap()->Scaled(c.width, c.height);
        ASSERT_EQ(drawn.Width(), c.width);
        ASSERT_EQ(drawn.Height(), c.height);
        int largest = 0;
        long total = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int i = 0; i < c.width * 3; ++i) {
                const int difference = std::abs(drawn.Row(y)[i] - full.Row(y)[i]);
                largest = std::max(largest, difference);
                total += difference;
            }
        }
        if (c.denominator == 1) {
            EXPECT_EQ(largest, 0);
        } else {
            EXPECT_LE(largest, 32);
            EXPECT_LE(static_cast<double>(total) / (c.width * c.height * 3), 1.5);
        }
        // The picture's own size is what it reports, however it was drawn.
        EXPECT_EQ(picture.Width(), picture.Bitmap()->Width());
        EXPECT_EQ(picture.Height(), picture.Bitmap()->Height());
    }
}

struct TSizeCase {
    int width;
    int height;
};

// The file with a second frame header before its end: its header reads well, and decoding fails
// only when libjpeg reaches the copy, after the picture's data.
std::string DamagedPastTheHeader(const std::string& jpeg) {
    const std::size_t frame = jpeg.find("\xFF\xC0");
    EXPECT_NE(frame, std::string::npos) << "no baseline frame header";
    const std::size_t length = (static_cast<unsigned char>(jpeg[frame + 2]) << 8) |
                               static_cast<unsigned char>(jpeg[frame + 3]);
    EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9") << "no end marker";
    return jpeg.substr(0, jpeg.size() - 2) + jpeg.substr(frame, 2 + length) + "\xFF\xD9";
}

// Prepared on a worker thread or drawn on the spot, a picture gives the same pixels, at whatever
// reduced size it is decoded, and a picture changed after it was prepared draws as it now is.
TEST(Picture, PreparedDrawingGivesTheSamePixels) {
    struct Case {
        const char* name;
        const char* file;
        int preparedWidth; // 0: not prepared
        int preparedHeight;
        int width;
        int height;
        // What happens to the picture between Prepare and Drawn: "" nothing, or the file then
        // loaded into it.
        const char* reloaded;
    };
    const Case cases[] = {
        {"welcome, a half", kWelcome, 247, 358, 247, 358, ""},
        {"a quarter", "detail.jpg", 25, 19, 25, 19, ""},
        {"an eighth", "detail.jpg", 13, 10, 13, 10, ""},
        {"full size", "detail.jpg", 150, 100, 150, 100, ""},
        {"progressive", "detail_progressive.jpg", 50, 39, 50, 39, ""},
        {"grey", "detail_gray.jpg", 25, 19, 25, 19, ""},
        {"drawn at another size", "detail.jpg", 50, 39, 25, 19, ""},
        {"one pixel", "detail.jpg", 1, 1, 1, 1, ""},
        {"nothing to prepare", "detail.jpg", 0, 0, 50, 39, ""},
        {"loaded again before drawn", "detail.jpg", 50, 39, 50, 39, "detail_gray.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        picture.LoadFromJpeg(ReadFile(c.file));
        picture.Prepare(c.preparedWidth, c.preparedHeight);
        const std::string shown = *c.reloaded != '\0' ? c.reloaded : c.file;
        if (*c.reloaded != '\0') {
            picture.LoadFromJpeg(ReadFile(c.reloaded));
        }
        TPicture unprepared;
        unprepared.LoadFromJpeg(ReadFile(shown));
        const TBitmap expected = unprepared.Drawn(c.width, c.height);
        const TBitmap drawn = picture.Drawn(c.width, c.height);
        ASSERT_EQ(drawn.Width(), c.width);
        ASSERT_EQ(drawn.Height(), c.height);
        EXPECT_TRUE(drawn.Pixels() == expected.Pixels()) << "the pixels differ";
        // Once taken, the prepared pixels are gone: the next drawing is done again, alike.
        EXPECT_TRUE(picture.Drawn(c.width, c.height).Pixels() == expected.Pixels())
            << "the second drawing differs";
    }
}

// Pictures assigned from one another share what is prepared; a picture emptied or destroyed while
// its drawing is under way waits for the worker (AddressSanitizer sees the data read after it is
// freed otherwise); a picture damaged past its header fails at the drawing with the message it
// fails with when drawn on the spot.
TEST(Picture, PreparedDrawingIsSharedDroppedAndFailsAlike) {
    const std::string detail = ReadFile("detail.jpg");
    TPicture unprepared;
    unprepared.LoadFromJpeg(detail);
    const TBitmap expected = unprepared.Drawn(50, 39);

    TPicture first;
    first.LoadFromJpeg(detail);
    TPicture second;
    second.Assign(&first);
    first.Prepare(50, 39);
    EXPECT_TRUE(second.Drawn(50, 39).Pixels() == expected.Pixels()) << "taken by the other one";
    EXPECT_TRUE(first.Drawn(50, 39).Pixels() == expected.Pixels()) << "after the other took it";

    for (int round = 0; round < 3; ++round) {
        TPicture dropped;
        dropped.LoadFromJpeg(detail);
        dropped.Prepare(150, 100);
        if (round == 1) {
            dropped.Clear();
            EXPECT_TRUE(dropped.Empty());
        } else if (round == 2) {
            // Another size while one is under way: drawn on the spot when asked for.
            dropped.Prepare(25, 19);
            EXPECT_TRUE(dropped.Drawn(25, 19).Pixels() == unprepared.Drawn(25, 19).Pixels());
            EXPECT_TRUE(dropped.Drawn(150, 100).Pixels() == unprepared.Drawn(150, 100).Pixels());
        }
    }

    const std::string damaged = DamagedPastTheHeader(detail);
    const TSizeCase sizes[] = {{50, 39}, {150, 100}}; // decoded at a half, and whole
    for (const auto [width, height] : sizes) {
        SCOPED_TRACE(testing::Message() << "damaged, drawn " << width << "x" << height);
        std::string onTheSpot;
        try {
            TPicture picture;
            picture.LoadFromJpeg(damaged);
            (void)picture.Drawn(width, height);
            ADD_FAILURE() << "drawn on the spot";
        } catch (const EInvalidGraphic& error) {
            onTheSpot = error.Message();
        }
        ExpectMessage(EInvalidGraphic(onTheSpot), "JPEG picture damaged: ");
        TPicture picture;
        picture.LoadFromJpeg(damaged);
        picture.Prepare(width, height);
        try {
            (void)picture.Drawn(width, height);
            ADD_FAILURE() << "drawn when prepared";
        } catch (const EInvalidGraphic& error) {
            EXPECT_EQ(error.Message(), onTheSpot);
        }
    }
}

} // namespace
} // namespace kq
