#include "forms/font.h"

#include "base/properties.h"

#include <utility>

namespace kq {

namespace {

constexpr std::pair<TFontStyle, const char*> styleNames[] = {
    {TFontStyle::Bold, "Bold"},
    {TFontStyle::Italic, "Italic"},
    {TFontStyle::Underline, "Underline"},
    {TFontStyle::StrikeOut, "StrikeOut"},
};

} // namespace

AnsiString FontStylesToText(TFontStyles styles) {
    AnsiString text = "[";
    for (const auto& [style, name] : styleNames) {
        if (!styles.Contains(style)) {
            continue;
        }
        if (text.size() > 1) {
            text += ", ";
        }
        text += name;
    }
    return text + "]";
}

TFontStyles FontStylesFromText(std::string_view text) {
    const auto invalid = [text] {
        throw EPropertyError("Invalid font style: " + AnsiString(text));
    };
    const AnsiString trimmed = Trim(text);
    if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') {
        invalid();
    }
    TFontStyles styles;
    std::string_view rest = std::string_view(trimmed).substr(1, trimmed.size() - 2);
    while (!Trim(rest).empty()) {
        const std::size_t comma = rest.find(',');
        const AnsiString word = Trim(rest.substr(0, comma));
        bool known = false;
        for (const auto& [style, name] : styleNames) {
            if (SameText(word, name)) {
                styles.Include(style);
                known = true;
            }
        }
        if (!known) {
            invalid();
        }
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return styles;
}

const TClassInfo& TFont::StaticClassInfo() {
    static const TClassInfo info(
        "TFont", &TPersistent::StaticClassInfo(),
        TClassTable<TFont>()
            .Integer("Charset", &TFont::Charset, &TFont::SetCharset)
            .Integer("Color", &TFont::Color, &TFont::SetColor)
            .Integer("Height", &TFont::Height, &TFont::SetHeight)
            .String("Name", &TFont::Name, &TFont::SetName)
            .String(
                "Style", [](const TFont& f) { return FontStylesToText(f.Style()); },
                [](TFont& f, const AnsiString& text) { f.SetStyle(FontStylesFromText(text)); }));
    return info;
}

void TFont::SetName(const AnsiString& name) {
    if (name == name_) {
        return;
    }
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == height_) {
        return;
    }
    height_ = height;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) {
        return;
    }
    style_ = style;
    Changed();
}

void TFont::SetCharset(int charset) {
    if (charset < 0 || charset > 255) {
        detail::RaiseInvalidPropertyValue();
    }
    if (charset == charset_) {
        return;
    }
    charset_ = charset;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    Changed();
}

AnsiString TFont::FaceToDraw() const {
    return SameText(name_, "Default") ? AnsiString(kDefaultFontFace) : name_;
}

bool TFont::SameAs(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ &&
           charset_ == other.charset_ && color_ == other.color_;
}

void TFont::Assign(const TPersistent* source) {
    const auto* font = dynamic_cast<const TFont*>(source);
    if (font == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (SameAs(*font)) {
        return;
    }
    name_ = font->name_;
    height_ = font->height_;
    style_ = font->style_;
    charset_ = font->charset_;
    color_ = font->color_;
    Changed();
}

void TFont::Changed() {
    if (OnChange) {
        OnChange(this);
    }
}

} // namespace kq
