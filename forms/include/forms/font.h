// TFont: the face, height, style, character set and colour a control writes its text with.
//
// The height is the character height in pixels at 96 pixels per inch, stored negative (-13 means
// characters 13 pixels high), as the system's logical fonts take it. The character set is one of
// the system's character-set numbers; the face name is in the ANSI code page. A face named
// "Default" (in any letter case) stands for the toolkit's default face when the font is drawn.
#pragma once

#include "base/charsets.h"
#include "base/persistent.h"
#include "base/set.h"
#include "base/strings.h"
#include "forms/colors.h"

#include <string_view>

namespace kq {

// The system's character-set numbers the window uses.
constexpr int charsetAnsi = 0;
constexpr int charsetDefault = 1;
constexpr int charsetGB2312 = 134;
constexpr int charsetChineseBig5 = 136;

enum class TFontStyle { Bold, Italic, Underline, StrikeOut };
using TFontStyles = TSet<TFontStyle>;

// "[Bold, Italic]"; "[]" for none.
AnsiString FontStylesToText(TFontStyles styles);
// The reverse, names matched ignoring case; EPropertyError "Invalid font style: <text>".
TFontStyles FontStylesFromText(std::string_view text);

// The face of a font whose name is "Default".
inline constexpr const char* kDefaultFontFace = "MS Sans Serif";

class TFont : public TPersistent {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TFont() = default;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    const AnsiString& Name() const { return name_; }
    void SetName(const AnsiString& name);
    int Height() const { return height_; }
    void SetHeight(int height);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    // 0..255; EPropertyError "Invalid property value" otherwise.
    int Charset() const { return charset_; }
    void SetCharset(int charset);
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // The face the system is asked for: Name, or the default face for "Default".
    AnsiString FaceToDraw() const;
    bool SameAs(const TFont& other) const;

    // Copies another font; fires OnChange once, and only when something differs.
    void Assign(const TPersistent* source) override;

    // After any change.
    TNotifyEvent OnChange;

private:
    void Changed();

    AnsiString name_ = kDefaultFontFace;
    int height_ = -11;
    TFontStyles style_;
    int charset_ = charsetDefault;
    TColor color_ = colorWindowText;
};

} // namespace kq
