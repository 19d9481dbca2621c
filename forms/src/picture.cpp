#include "forms/picture.h"

#include "base/format.h"
#include "base/properties.h"

#include <algorithm>
#include <cmath>

namespace kq {

namespace {

int StrideOf(int width) {
    return (width * 3 + 3) & ~3;
}

// One source pixel's share in a destination pixel.
struct Tap {
    int source;
    double weight;
};

// For each of `to` destination pixels along one side, the source pixels it covers among `from`,
// each weighted by the part of it that lies inside, the weights adding up to 1.
std::vector<std::vector<Tap>> AreaTaps(int from, int to) {
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int d = 0; d < to; ++d) {
        const double left = d * scale;
        const double right = (d + 1) * scale;
        const int first = static_cast<int>(std::floor(left));
        const int last = std::min(static_cast<int>(std::ceil(right)), from) - 1;
        for (int s = first; s <= last; ++s) {
            const double covered = std::min(right, s + 1.0) - std::max(left, double(s));
            if (covered > 0) {
                taps[static_cast<std::size_t>(d)].push_back(Tap{s, covered / scale});
            }
        }
    }
    return taps;
}

std::uint8_t Channel(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

} // namespace

TBitmap::TBitmap(int width, int height) : width_(width), height_(height), stride_(0) {
    if (width < 1 || height < 1) {
        throw EInvalidGraphic(Format("Invalid picture size (%d x %d)", {width, height}));
    }
    if (width > kMaxSide || height > kMaxSide) {
        throw EInvalidGraphic(Format("Picture too large (%d x %d)", {width, height}));
    }
    stride_ = StrideOf(width);
    pixels_.assign(std::size_t(stride_) * std::size_t(height), 0);
}

TBitmap TBitmap::Scaled(int width, int height) const {
    TBitmap result(width, height);
    if (width == width_ && height == height_) {
        result.pixels_ = pixels_;
        return result;
    }
    const auto columns = AreaTaps(width_, width);
    const auto rows = AreaTaps(height_, height);
    // Columns first, into a picture as tall as the source and as wide as the result.
    std::vector<double> narrow(std::size_t(width) * std::size_t(height_) * 3);
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* row = Row(y);
        for (int x = 0; x < width; ++x) {
            double sum[3] = {0, 0, 0};
            for (const Tap& tap : columns[std::size_t(x)]) {
                for (int c = 0; c < 3; ++c) {
                    sum[c] += tap.weight * row[tap.source * 3 + c];
                }
            }
            double* out = &narrow[(std::size_t(y) * width + x) * 3];
            std::copy(sum, sum + 3, out);
        }
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = result.Row(y);
        for (int x = 0; x < width; ++x) {
            double sum[3] = {0, 0, 0};
            for (const Tap& tap : rows[std::size_t(y)]) {
                const double* in = &narrow[(std::size_t(tap.source) * width + x) * 3];
                for (int c = 0; c < 3; ++c) {
                    sum[c] += tap.weight * in[c];
                }
            }
            for (int c = 0; c < 3; ++c) {
                out[x * 3 + c] = Channel(sum[c]);
            }
        }
    }
    return result;
}

// --- TPicture -------------------------------------------------------------------------------

const TClassInfo& TPicture::StaticClassInfo() {
    static const TClassInfo info("TPicture", &TPersistent::StaticClassInfo(),
                                 TClassTable<TPicture>()
                                     .Integer("Width", &TPicture::Width, nullptr)
                                     .Integer("Height", &TPicture::Height, nullptr));
    return info;
}

void TPicture::LoadFromJpeg(std::string_view data) {
    bitmap_ = std::make_shared<const TBitmap>(DecodeJpeg(data));
    Changed();
}

void TPicture::Clear() {
    if (bitmap_ == nullptr) {
        return;
    }
    bitmap_.reset();
    Changed();
}

void TPicture::Assign(const TPersistent* source) {
    if (source == nullptr) {
        Clear();
        return;
    }
    const auto* picture = dynamic_cast<const TPicture*>(source);
    if (picture == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (picture->bitmap_ == bitmap_) {
        return;
    }
    bitmap_ = picture->bitmap_;
    Changed();
}

void TPicture::Changed() {
    if (OnChange) {
        OnChange(this);
    }
}

} // namespace kq
