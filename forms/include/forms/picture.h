// Pictures: TBitmap, decoded pixels, and TPicture, the picture a TImage shows.
//
// A stored picture is a JPEG file (baseline or progressive, colour or grey), decoded with libjpeg
// into 24-bit pixels. Pixels are kept the way the system's device-independent bitmaps take them:
// blue, green, red per pixel, rows from the top, each row padded to a multiple of 4 bytes.
//
// A picture is decoded when it is first needed, not when it is loaded. One that is drawn much
// smaller than it is can be decoded at a half, a quarter or an eighth of its size: libjpeg's
// scaled inverse transform makes each 8 x 8 block 4 x 4, 2 x 2 or 1 x 1 pixels, near the block's
// averages but not equal to them at sharp edges. Averaging at least 2 x 2 of those pixels into
// each drawn one smooths that out: the drawn pixels then differ from those of the full picture
// averaged down by at most 32 levels in a channel at the sharpest edges, and by less than 1.5 on
// average (tests/forms/picture_test.cpp). The wizard's welcome picture, 1031 x 1649 drawn at
// 247 x 358, is decoded at half its size.
//
// Decoding and resizing take the longest part of a page's first paint. A window that knows the
// size it will draw a picture at asks for it early (Prepare): the work then goes on on a worker
// thread while the rest of the window is made and shown, and the paint finds it done.
#pragma once

#include "base/exceptions.h"
#include "base/persistent.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kq {

// A picture that cannot be read.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

class TBitmap {
public:
    // A black picture; EInvalidGraphic "Invalid picture size (<w> x <h>)" for a side below 1,
    // "Picture too large (<w> x <h>)" above kMaxSide.
    TBitmap(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return stride_; }
    const std::uint8_t* Row(int y) const { return pixels_.data() + std::size_t(y) * stride_; }
    std::uint8_t* Row(int y) { return pixels_.data() + std::size_t(y) * stride_; }
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

    // The picture resized to width x height: each new pixel is the average of the area of the
    // old picture it covers, weighted by how much of each old pixel lies in it.
    TBitmap Scaled(int width, int height) const;
    // The same for the part of the picture from its top-left corner that is spanWidth x
    // spanHeight pixels (at most its size; fractions of a pixel count by their share).
    TBitmap Scaled(int width, int height, double spanWidth, double spanHeight) const;

    // Larger pictures are refused rather than allocated.
    static constexpr int kMaxSide = 8192;

private:
    int width_;
    int height_;
    int stride_;
    std::vector<std::uint8_t> pixels_;
};

// Decodes a JPEG file at 1/denominator of its size (1, 2, 4 or 8; a side of n pixels becomes
// n/denominator rounded up). EInvalidGraphic "Not a JPEG picture" when the data does not start
// like one, "JPEG picture damaged: <what>" when it cannot be decoded, "Picture too large (<w> x
// <h>)" when a side of the full picture exceeds TBitmap::kMaxSide.
TBitmap DecodeJpeg(std::string_view data, int denominator = 1);

struct TJpegSize {
    int width;
    int height;
};

// The size of a JPEG picture from its header, with DecodeJpeg's errors for what the header shows.
TJpegSize ReadJpegSize(std::string_view data);

// The denominator at which a width x height JPEG picture drawn at drawnWidth x drawnHeight is
// decoded: the largest of 8, 4 and 2 at which the decoded picture still has at least twice the
// drawn number of pixels in both directions, else 1 (the full size: pictures drawn at more than
// about a quarter of their width or height, their own size or larger).
int JpegDenominator(int width, int height, int drawnWidth, int drawnHeight);

class TPicture : public TPersistent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    bool Empty() const { return source_ == nullptr; }
    int Width() const { return source_ ? source_->width : 0; }
    int Height() const { return source_ ? source_->height : 0; }
    // The pixels at the picture's own size, decoded when first asked for; pictures assigned from
    // one another share them. nullptr when empty; EInvalidGraphic when the data turns out to be
    // damaged past its header.
    std::shared_ptr<const TBitmap> Bitmap() const;
    // The picture resized to width x height, decoded at the reduced size JpegDenominator gives;
    // EInvalidGraphic as for Bitmap(). Taken from Prepare's work when that was for this size.
    TBitmap Drawn(int width, int height) const;
    // Starts drawing the picture at width x height on a worker thread, for the next Drawn of that
    // size (the same pixels; an error is thrown by that Drawn). Pictures assigned from one another
    // share the prepared pixels until one of them takes them. Nothing happens for an empty picture
    // or while a drawing, at whatever size, is under way (a Drawn of another size then does its
    // own work, as it does when no thread can be had).
    void Prepare(int width, int height) const;

    // Replaces the picture by the JPEG data, of which only the header is read now; when that
    // fails the picture is left unchanged.
    void LoadFromJpeg(std::string_view data);
    void Clear();
    // The same picture as another TPicture; nullptr empties it.
    void Assign(const TPersistent* source) override;

    TNotifyEvent OnChange;

private:
    void Changed();

    // The picture being drawn at one size on a worker thread, which reads the source's data. The
    // thread is waited for when the pixels are taken and when the drawing is destroyed.
    class TPreparedDrawing {
    public:
        TPreparedDrawing(int width, int height, std::function<TBitmap()> draw);
        TPreparedDrawing(const TPreparedDrawing&) = delete;
        TPreparedDrawing& operator=(const TPreparedDrawing&) = delete;
        ~TPreparedDrawing();

        bool Is(int width, int height) const { return width == width_ && height == height_; }
        // The pixels, or the error the drawing ended with.
        TBitmap Take();

    private:
        int width_;
        int height_;
        std::optional<TBitmap> pixels_;
        std::exception_ptr error_;
        // Last: started once everything it writes is made.
        std::thread worker_;
    };
    // What pictures assigned from one another share: the file, its pixels once decoded and the
    // picture being prepared. The last is destroyed first: its destructor waits for the worker,
    // which reads the data.
    struct Source {
        std::string data;
        int width;
        int height;
        std::shared_ptr<const TBitmap> bitmap;
        std::unique_ptr<TPreparedDrawing> prepared;
    };
    std::shared_ptr<Source> source_;
};

} // namespace kq
