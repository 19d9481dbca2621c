#include "gdi.h"

#include <cstring>

namespace kq {

namespace {

int ScreenDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen != nullptr) {
            ReleaseDC(nullptr, screen);
        }
        return value > 0 ? value : 96;
    }();
    return dpi;
}

} // namespace

int Scale(int length) {
    return MulDiv(length, ScreenDpi(), 96);
}

int Unscale(int length) {
    return MulDiv(length, 96, ScreenDpi());
}

COLORREF ColorRef(TColor color) {
    return IsSystemColor(color) ? GetSysColor(SystemColorIndex(color))
                                : static_cast<COLORREF>(color);
}

HBRUSH TBrush::For(TColor color) {
    if (brush_ != nullptr && color == color_) {
        return brush_;
    }
    Release();
    color_ = color;
    if (IsSystemColor(color)) {
        brush_ = GetSysColorBrush(SystemColorIndex(color));
        owned_ = false;
    } else {
        brush_ = CreateSolidBrush(static_cast<COLORREF>(color));
        owned_ = true;
    }
    return brush_;
}

void TBrush::Release() {
    if (owned_ && brush_ != nullptr) {
        DeleteObject(brush_);
    }
    brush_ = nullptr;
    owned_ = false;
}

HFONT TGdiFont::For(const TFont& font) {
    const AnsiString face = font.FaceToDraw();
    if (font_ != nullptr && face == face_ && font.Height() == height_ && font.Style() == style_ &&
        font.Charset() == charset_) {
        return font_;
    }
    Release();
    face_ = face;
    height_ = font.Height();
    style_ = font.Style();
    charset_ = font.Charset();
    LOGFONTA logical{};
    logical.lfHeight = Scale(height_);
    logical.lfWeight = style_.Contains(TFontStyle::Bold) ? FW_BOLD : FW_NORMAL;
    logical.lfItalic = style_.Contains(TFontStyle::Italic);
    logical.lfUnderline = style_.Contains(TFontStyle::Underline);
    logical.lfStrikeOut = style_.Contains(TFontStyle::StrikeOut);
    // The character set picks the glyphs when the face is missing: GB2312 asks for a Chinese
    // font whatever the face.
    logical.lfCharSet = static_cast<BYTE>(charset_);
    logical.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logical.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logical.lfQuality = DEFAULT_QUALITY;
    logical.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::strncpy(logical.lfFaceName, face_.c_str(), LF_FACESIZE - 1);
    font_ = CreateFontIndirectA(&logical);
    return font_;
}

void TGdiFont::Release() {
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = nullptr;
}

} // namespace kq
