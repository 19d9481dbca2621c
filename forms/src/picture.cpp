#include "forms/picture.h"

#include "base/format.h"
#include "base/properties.h"

#include <algorithm>
#include <cmath>
#include <system_error>

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

// For each of `to` destination pixels along one side, the source pixels it covers when the `to`
// pixels span the first `from` source pixels (a fraction of the last one may be left out), each
// weighted by the part of it that lies inside, the weights adding up to 1.
std::vector<std::vector<Tap>> AreaTaps(double from, int to) {
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(to));
    const double scale = from / to;
    for (int d = 0; d < to; ++d) {
        const double left = d * scale;
        const double right = (d + 1) * scale;
        const int first = static_cast<int>(std::floor(left));
        const int last = static_cast<int>(std::min(std::ceil(right), std::ceil(from))) - 1;
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

// A width x height JPEG picture drawn at drawnWidth x drawnHeight from its reduced decoding
// (denominator above 1). The reduced picture's last column and row stand for fewer than
// `denominator` pixels when the size is not a multiple of it: only the part that is picture is
// spread over the drawn size.
TBitmap DrawReduced(std::string_view data, int width, int height, int denominator, int drawnWidth,
                    int drawnHeight) {
    return DecodeJpeg(data, denominator)
        .Scaled(drawnWidth, drawnHeight, static_cast<double>(width) / denominator,
                static_cast<double>(height) / denominator);
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
    return Scaled(width, height, width_, height_);
}

TBitmap TBitmap::Scaled(int width, int height, double spanWidth, double spanHeight) const {
    TBitmap result(width, height);
    if (width == width_ && height == height_ && spanWidth == width_ && spanHeight == height_) {
        result.pixels_ = pixels_;
        return result;
    }
    const auto columns = AreaTaps(spanWidth, width);
    const auto rows = AreaTaps(spanHeight, height);
    // Rows first: each new row is the weighted sum of the old rows it covers, kept unrounded in
    // one line, whose columns are then folded the same way into the new pixels.
    std::vector<double> line(std::size_t(width_) * 3);
    for (int y = 0; y < height; ++y) {
        std::fill(line.begin(), line.end(), 0.0);
        for (const Tap& tap : rows[std::size_t(y)]) {
            const std::uint8_t* in = Row(tap.source);
            for (std::size_t i = 0; i < line.size(); ++i) {
                line[i] += tap.weight * in[i];
            }
        }
        std::uint8_t* out = result.Row(y);
        for (int x = 0; x < width; ++x) {
            double sum[3] = {0, 0, 0};
            for (const Tap& tap : columns[std::size_t(x)]) {
                for (int c = 0; c < 3; ++c) {
                    sum[c] += tap.weight * line[std::size_t(tap.source) * 3 + c];
                }
            }
            for (int c = 0; c < 3; ++c) {
                out[x * 3 + c] = Channel(sum[c]);
            }
        }
    }
    return result;
}

int JpegDenominator(int width, int height, int drawnWidth, int drawnHeight) {
    for (int denominator : {8, 4, 2}) {
        // libjpeg rounds a reduced side up.
        if ((width + denominator - 1) / denominator >= 2 * drawnWidth &&
            (height + denominator - 1) / denominator >= 2 * drawnHeight) {
            return denominator;
        }
    }
    return 1;
}

// --- TPicture -------------------------------------------------------------------------------

const TClassInfo& TPicture::StaticClassInfo() {
    static const TClassInfo info("TPicture", &TPersistent::StaticClassInfo(),
                                 TClassTable<TPicture>()
                                     .Integer("Width", &TPicture::Width, nullptr)
                                     .Integer("Height", &TPicture::Height, nullptr));
    return info;
}

std::shared_ptr<const TBitmap> TPicture::Bitmap() const {
    if (source_ != nullptr && source_->bitmap == nullptr) {
        source_->bitmap = std::make_shared<const TBitmap>(DecodeJpeg(source_->data));
    }
    return source_ ? source_->bitmap : nullptr;
}

TBitmap TPicture::Drawn(int width, int height) const {
    if (source_ != nullptr && source_->prepared && source_->prepared->Is(width, height)) {
        const std::unique_ptr<TPreparedDrawing> prepared = std::move(source_->prepared);
        return prepared->Take();
    }
    const int denominator = JpegDenominator(Width(), Height(), width, height);
    if (denominator == 1) {
        return Bitmap()->Scaled(width, height);
    }
    return DrawReduced(source_->data, Width(), Height(), denominator, width, height);
}

void TPicture::Prepare(int width, int height) const {
    // One drawing at a time: one under way, at whatever size, is left to finish (a paint at
    // another size draws on the spot).
    if (source_ == nullptr || width < 1 || height < 1 || source_->prepared != nullptr) {
        return;
    }
    // The worker reads only the data, which stays unchanged while the source lives, and writes
    // nothing shared: the full-size pixels are decoded afresh rather than into `bitmap`, which
    // this thread may be filling at the same time.
    const std::string_view data = source_->data;
    const int fullWidth = source_->width;
    const int fullHeight = source_->height;
    const int denominator = JpegDenominator(fullWidth, fullHeight, width, height);
    auto draw = [data, fullWidth, fullHeight, denominator, width, height] {
        if (denominator == 1) {
            return DecodeJpeg(data).Scaled(width, height);
        }
        return DrawReduced(data, fullWidth, fullHeight, denominator, width, height);
    };
    try {
        source_->prepared = std::make_unique<TPreparedDrawing>(width, height, draw);
    } catch (const std::system_error&) {
        // No thread to be had: Drawn draws the picture when it is asked for.
    }
}

TPicture::TPreparedDrawing::TPreparedDrawing(int width, int height, std::function<TBitmap()> draw)
    : width_(width), height_(height), worker_([this, draw = std::move(draw)] {
          try {
              pixels_.emplace(draw());
          } catch (...) {
              error_ = std::current_exception();
          }
      }) {}

TPicture::TPreparedDrawing::~TPreparedDrawing() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

TBitmap TPicture::TPreparedDrawing::Take() {
    if (worker_.joinable()) {
        worker_.join();
    }
    if (error_) {
        std::rethrow_exception(error_);
    }
    return std::move(*pixels_);
}

void TPicture::LoadFromJpeg(std::string_view data) {
    const TJpegSize size = ReadJpegSize(data);
    source_ = std::make_shared<Source>(
        Source{std::string(data), size.width, size.height, nullptr, nullptr});
    Changed();
}

void TPicture::Clear() {
    if (source_ == nullptr) {
        return;
    }
    source_.reset();
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
    if (picture->source_ == source_) {
        return;
    }
    source_ = picture->source_;
    Changed();
}

void TPicture::Changed() {
    if (OnChange) {
        OnChange(this);
    }
}

} // namespace kq
