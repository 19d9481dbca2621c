// Pictures: TBitmap, decoded pixels, and TPicture, the picture a TImage shows.
//
// A stored picture is a JPEG file (baseline or progressive, colour or grey), decoded with libjpeg
// into 24-bit pixels. Pixels are kept the way the system's device-independent bitmaps take them:
// blue, green, red per pixel, rows from the top, each row padded to a multiple of 4 bytes.
#pragma once

#include "base/exceptions.h"
#include "base/persistent.h"

#include <cstdint>
#include <memory>
#include <string_view>
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

    // Larger pictures are refused rather than allocated.
    static constexpr int kMaxSide = 8192;

private:
    int width_;
    int height_;
    int stride_;
    std::vector<std::uint8_t> pixels_;
};

// Decodes a JPEG file. EInvalidGraphic "Not a JPEG picture" when the data does not start like
// one, "JPEG picture damaged: <what>" when it cannot be decoded, "Picture too large (<w> x <h>)"
// when a side exceeds TBitmap::kMaxSide.
TBitmap DecodeJpeg(std::string_view data);

class TPicture : public TPersistent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    bool Empty() const { return bitmap_ == nullptr; }
    int Width() const { return bitmap_ ? bitmap_->Width() : 0; }
    int Height() const { return bitmap_ ? bitmap_->Height() : 0; }
    // Pictures share their pixels; nullptr when empty.
    std::shared_ptr<const TBitmap> Bitmap() const { return bitmap_; }

    // Replaces the picture by the decoded JPEG data; on failure the picture is left unchanged.
    void LoadFromJpeg(std::string_view data);
    void Clear();
    // The same picture as another TPicture; nullptr empties it.
    void Assign(const TPersistent* source) override;

    TNotifyEvent OnChange;

private:
    void Changed();

    std::shared_ptr<const TBitmap> bitmap_;
};

} // namespace kq
