// GDI helpers of the Windows peers: DPI scaling, colours, brushes and fonts.
//
// The layout is kept in pixels at 96 DPI. The program declares itself DPI-aware, so Windows does
// not stretch its windows into a blur on a screen of higher DPI; the peers scale every length
// and font height by the screen's DPI instead.
#pragma once

#include "forms/colors.h"
#include "forms/font.h"
#include "platform/win32_api.h"

namespace kq {

// A 96-DPI length on this screen, and back.
int Scale(int length);
int Unscale(int length);

COLORREF ColorRef(TColor color);

// A brush of a colour: the system's own for a system colour (never deleted), else one of its
// own, deleted with the object.
class TBrush {
public:
    TBrush() = default;
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;
    ~TBrush() { Release(); }

    HBRUSH For(TColor color);

private:
    void Release();

    TColor color_ = 0;
    HBRUSH brush_ = nullptr;
    bool owned_ = false;
};

// A logical font made from a TFont, scaled; deleted with the object.
class TGdiFont {
public:
    TGdiFont() = default;
    TGdiFont(const TGdiFont&) = delete;
    TGdiFont& operator=(const TGdiFont&) = delete;
    ~TGdiFont() { Release(); }

    // The handle for font, made again only when the font differs from the last one.
    HFONT For(const TFont& font);

private:
    void Release();

    HFONT font_ = nullptr;
    AnsiString face_;
    int height_ = 0;
    TFontStyles style_;
    int charset_ = -1;
};

} // namespace kq
