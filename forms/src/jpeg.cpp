// JPEG decoding through libjpeg.
//
// libjpeg reports a fatal error by calling the error manager's error_exit, which must not
// return. It is a C library, so an exception thrown through its frames is not safe: error_exit
// jumps back with longjmp to the one place that set the jump point, and no C++ object with a
// destructor lives in the frames the jump leaves.
#include "base/format.h"
#include "forms/picture.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <utility>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace kq {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ExitWithError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (a few bytes missing at the end, say) leave a usable picture: not reported.
void IgnoreMessage(j_common_ptr) {}

// Where the decoded rows go: made once the header gives the size.
struct Sink {
    std::unique_ptr<TBitmap> bitmap;
    int width = 0;
    int height = 0;

    bool Fits(int w, int h) noexcept {
        width = w;
        height = h;
        return w >= 1 && h >= 1 && w <= TBitmap::kMaxSide && h <= TBitmap::kMaxSide;
    }

    bool Make(int w, int h) noexcept {
        if (!Fits(w, h)) {
            return false;
        }
        try {
            bitmap = std::make_unique<TBitmap>(w, h);
        } catch (...) {
            return false;
        }
        return true;
    }
};

enum class Outcome { Decoded, Damaged, TooLarge };

// Everything libjpeg does happens here, between the jump point and the returns. The picture is
// decoded at 1/denominator of its size; with denominator 0 only the header is read, and the
// sink keeps the full size.
Outcome DecodeRows(jpeg_decompress_struct* info, ErrorManager* errors, std::string_view data,
                   int denominator, Sink* sink) {
    if (setjmp(errors->jump) != 0) {
        jpeg_destroy_decompress(info);
        return Outcome::Damaged;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(info, TRUE);
    // A picture is refused by its full size, at whatever size it is decoded.
    const bool fits =
        sink->Fits(static_cast<int>(info->image_width), static_cast<int>(info->image_height));
    if (!fits || denominator == 0) {
        jpeg_destroy_decompress(info);
        return fits ? Outcome::Decoded : Outcome::TooLarge;
    }
    // Blue, green, red, as the system's bitmaps take them, straight from the colour conversion
    // (an extension of libjpeg-turbo's), rather than swapped in another pass over the pixels.
    info->out_color_space = JCS_EXT_BGR;
    // The scaled inverse transform: each 8 x 8 block gives 8/denominator pixels a side.
    info->scale_num = 1;
    info->scale_denom = static_cast<unsigned>(denominator);
    jpeg_start_decompress(info);
    if (info->output_components != 3 ||
        !sink->Make(static_cast<int>(info->output_width), static_cast<int>(info->output_height))) {
        jpeg_destroy_decompress(info);
        return Outcome::TooLarge;
    }
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = sink->bitmap->Row(static_cast<int>(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return Outcome::Decoded;
}

// Runs DecodeRows and turns its outcome into the picture or the error.
void Decode(std::string_view data, int denominator, Sink& sink) {
    // Every JPEG file starts with the start-of-image marker FF D8.
    if (data.size() < 2 || static_cast<unsigned char>(data[0]) != 0xFF ||
        static_cast<unsigned char>(data[1]) != 0xD8) {
        throw EInvalidGraphic("Not a JPEG picture");
    }
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ExitWithError;
    errors.base.output_message = IgnoreMessage;
    switch (DecodeRows(&info, &errors, data, denominator, &sink)) {
    case Outcome::Damaged:
        throw EInvalidGraphic(Format("JPEG picture damaged: %s", {AnsiString(errors.message)}));
    case Outcome::TooLarge:
        throw EInvalidGraphic(Format("Picture too large (%d x %d)", {sink.width, sink.height}));
    case Outcome::Decoded:
        break;
    }
}

} // namespace

TJpegSize ReadJpegSize(std::string_view data) {
    Sink sink;
    Decode(data, 0, sink);
    return TJpegSize{sink.width, sink.height};
}

TBitmap DecodeJpeg(std::string_view data, int denominator) {
    Sink sink;
    Decode(data, denominator, sink);
    return std::move(*sink.bitmap);
}

} // namespace kq
