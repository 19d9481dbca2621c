// kqglyphs.dll: the half of the driver's "glyphs" command that runs inside the program under test
// (driver/glyph_check.cpp puts it there). Only the program's own process sees what a person sees:
// the font each control really draws with, and what the system makes of each character in that
// font once font linking (GDI) and font fallback (Uniscribe) have had their say. Asking whether a
// font maps a character (GetGlyphIndicesW) knows of neither, so the check draws instead.
//
// A character is missing when, drawn alone as its control draws it, it gives the very pixels of a
// character no font has (the fallback box) or no pixels at all (a font may carry an empty glyph
// for a character, and a person sees a gap). Text is clipped when the size the system measures
// for it, or its ink, leaves the room the control gives it: a face that draws wider than it
// measures loses the end of a label sized to the measure.
//
// The thread that runs the check is not the one that owns the windows; it only sends them
// messages, with a time limit, and draws on canvases of its own.
#include "glyph_report.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <usp10.h>
#include <vector>

namespace {

using glyphs::Verdict;
using glyphs::WindowReport;

constexpr UINT answerMs = 5000;

enum class Kind { None, Caption, Static, Button, CheckBox, Edit };

// Statics, buttons and captions draw with DrawTextW, where GDI's font linking finds what the font
// lacks; edits draw with Uniscribe, whose fallback picks a font by the script of the run.
enum class Route { DrawText, Uniscribe };

// A window that did not answer a question of the check (destroyed meanwhile, or its thread
// busy): the check cannot say what it shows.
struct NoAnswer {};

DWORD_PTR Ask(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, answerMs, &result) == 0) {
        throw NoAnswer{};
    }
    return result;
}

std::wstring ClassOf(HWND w) {
    wchar_t name[64];
    const int length = GetClassNameW(w, name, 64);
    return std::wstring(name, length > 0 ? length : 0);
}

bool ClassIs(const std::wstring& windowClass, const wchar_t* name) {
    return lstrcmpiW(windowClass.c_str(), name) == 0;
}

Kind KindOf(HWND w, DWORD style) {
    if ((style & WS_CHILD) == 0) {
        return (style & WS_CAPTION) == WS_CAPTION ? Kind::Caption : Kind::None;
    }
    const std::wstring windowClass = ClassOf(w);
    if (ClassIs(windowClass, L"Static")) {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
            return Kind::Static;
        }
        return Kind::None; // icons, pictures, frames
    }
    if (ClassIs(windowClass, L"Button")) {
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return Kind::Button;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return Kind::CheckBox;
        }
        return Kind::None;
    }
    if (ClassIs(windowClass, L"Edit")) {
        return (style & ES_PASSWORD) != 0 ? Kind::None : Kind::Edit;
    }
    return Kind::None;
}

std::wstring TextOf(HWND w) {
    const DWORD_PTR length = Ask(w, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(length + 1, L'\0');
    const DWORD_PTR copied = Ask(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

// What DrawText shows of a text with accelerator marks: "&x" is an underlined x, "&&" one '&'.
std::wstring WithoutAccelerators(const std::wstring& text) {
    std::wstring shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && ++i == text.size()) {
            break;
        }
        shown += text[i];
    }
    return shown;
}

bool ShowsPrefixes(Kind kind, DWORD style) {
    return kind == Kind::Button || kind == Kind::CheckBox ||
           (kind == Kind::Static && (style & SS_NOPREFIX) == 0);
}

// ---- GDI objects -------------------------------------------------------------------------------

class OwnedFont {
public:
    OwnedFont() = default;
    OwnedFont(const OwnedFont&) = delete;
    OwnedFont& operator=(const OwnedFont&) = delete;
    ~OwnedFont() {
        if (font_ != nullptr) {
            DeleteObject(font_);
        }
    }
    HFONT Take(HFONT font) { return font_ = font; }

private:
    HFONT font_ = nullptr;
};

// The font the window draws its text with. The system draws a caption in the caption font of
// its non-client metrics; a control never given WM_SETFONT draws with the system font.
HFONT FontOf(HWND w, Kind kind, OwnedFont& owned) {
    if (kind == Kind::Caption) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            if (HFONT font = owned.Take(CreateFontIndirectW(&metrics.lfCaptionFont))) {
                return font;
            }
        }
    } else {
        if (const DWORD_PTR font = Ask(w, WM_GETFONT, 0, 0)) {
            return reinterpret_cast<HFONT>(font);
        }
    }
    return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;
    ~Selected() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

struct NoCanvas {};

// A white bitmap to draw black text on, and read back.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // rows from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        if (dc_ != nullptr) {
            bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        }
        if (bitmap_ == nullptr) {
            if (dc_ != nullptr) {
                DeleteDC(dc_);
            }
            throw NoCanvas{};
        }
        bits_ = static_cast<std::uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, RGB(0, 0, 0));
        Clear();
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() {
        if (old_ != nullptr) {
            SelectObject(dc_, old_);
        }
        if (bitmap_ != nullptr) {
            DeleteObject(bitmap_);
        }
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }

    HDC Dc() const { return dc_; }

    void Clear() {
        GdiFlush();
        std::fill(bits_, bits_ + Size(), white);
    }
    std::vector<std::uint32_t> Pixels() const {
        GdiFlush();
        return std::vector<std::uint32_t>(bits_, bits_ + Size());
    }
    // The smallest rectangle holding every pixel drawn on; empty when nothing was.
    RECT Ink() const {
        GdiFlush();
        RECT ink{width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if ((bits_[y * width_ + x] & 0xFFFFFF) != white) {
                    ink.left = std::min<LONG>(ink.left, x);
                    ink.top = std::min<LONG>(ink.top, y);
                    ink.right = std::max<LONG>(ink.right, x + 1);
                    ink.bottom = std::max<LONG>(ink.bottom, y + 1);
                }
            }
        }
        return ink.right > ink.left ? ink : RECT{};
    }

private:
    static constexpr std::uint32_t white = 0xFFFFFF;
    std::size_t Size() const { return static_cast<std::size_t>(width_) * height_; }

    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

// ---- drawing as the controls draw --------------------------------------------------------------

// One line laid out by Uniscribe the way an edit control lays out each of its lines.
class UniscribeLine {
public:
    UniscribeLine(HDC dc, const std::wstring& text) {
        if (text.empty()) {
            return;
        }
        const int length = static_cast<int>(text.size());
        if (FAILED(ScriptStringAnalyse(dc, text.c_str(), length, length * 3 / 2 + 16, -1,
                                       SSA_GLYPHS | SSA_FALLBACK | SSA_LINK, 0, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, &analysis_))) {
            analysis_ = nullptr;
        }
    }
    UniscribeLine(const UniscribeLine&) = delete;
    UniscribeLine& operator=(const UniscribeLine&) = delete;
    ~UniscribeLine() {
        if (analysis_ != nullptr) {
            ScriptStringFree(&analysis_);
        }
    }

    void Draw(int x, int y) const {
        if (analysis_ != nullptr) {
            ScriptStringOut(analysis_, x, y, 0, nullptr, 0, 0, FALSE);
        }
    }
    int Width() const {
        const SIZE* size = analysis_ != nullptr ? ScriptString_pSize(analysis_) : nullptr;
        return size != nullptr ? size->cx : 0;
    }

private:
    SCRIPT_STRING_ANALYSIS analysis_ = nullptr;
};

void DrawAlone(HDC dc, Route route, const std::wstring& text, int x, int y) {
    if (route == Route::Uniscribe) {
        UniscribeLine(dc, text).Draw(x, y);
        return;
    }
    RECT r{x, y, x, y};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
}

// ---- missing characters ------------------------------------------------------------------------

// Code points that are unassigned in Unicode, so that no font can have a glyph for them, each in
// a block of the script whose fallback it is to stand for: Uniscribe looks for a fallback font
// by the script of the run, so a character missing from Chinese text gets the box of the font
// found for Han, not that of the control's font. U+0378 is a hole in the Greek block (Latin and
// Greek text); U+FA6E a hole in the CJK compatibility ideographs (Han text).
constexpr wchar_t noGlyphCharacters[] = {0x0378, 0xFA6E};

bool IsSurrogatePair(const std::wstring& text, std::size_t i) {
    return i + 1 < text.size() && IS_HIGH_SURROGATE(text[i]) && IS_LOW_SURROGATE(text[i + 1]);
}

std::uint32_t CodePoint(const std::wstring& character) {
    if (character.size() == 2) {
        return 0x10000 + ((character[0] - 0xD800u) << 10) + (character[1] - 0xDC00u);
    }
    return character[0];
}

// Spaces and line ends draw nothing by design.
bool IsBlank(wchar_t c) {
    WORD type = 0;
    return GetStringTypeW(CT_CTYPE1, &c, 1, &type) && (type & (C1_SPACE | C1_CNTRL)) != 0;
}

// The distinct characters of text that should leave ink, in the order of the text.
std::vector<std::wstring> InkedCharacters(const std::wstring& text) {
    std::vector<std::wstring> characters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::wstring c(1, text[i]);
        if (IsSurrogatePair(text, i)) {
            c += text[++i];
        } else if (IsBlank(text[i])) {
            continue;
        }
        if (std::find(characters.begin(), characters.end(), c) == characters.end()) {
            characters.push_back(c);
        }
    }
    return characters;
}

void FindMissing(HFONT font, Route route, const std::wstring& text, WindowReport& report) {
    const std::vector<std::wstring> characters = InkedCharacters(text);
    if (characters.empty()) {
        return;
    }
    // Room all round the character for glyphs of fallback fonts, larger than the control's.
    TEXTMETRICW metrics{};
    {
        Canvas probe(1, 1);
        Selected selected(probe.Dc(), font);
        GetTextMetricsW(probe.Dc(), &metrics);
    }
    const int margin = std::max<int>(16, metrics.tmHeight);
    Canvas canvas(4 * margin, 4 * margin);
    Selected selected(canvas.Dc(), font);
    auto drawing = [&](const std::wstring& character) {
        canvas.Clear();
        DrawAlone(canvas.Dc(), route, character, margin, margin);
        return canvas.Pixels();
    };
    std::vector<std::vector<std::uint32_t>> boxes;
    for (wchar_t c : noGlyphCharacters) {
        boxes.push_back(drawing(std::wstring(1, c)));
    }
    canvas.Clear();
    const std::vector<std::uint32_t> blank = canvas.Pixels();

    for (const std::wstring& c : characters) {
        const std::vector<std::uint32_t> pixels = drawing(c);
        if (pixels != blank && std::find(boxes.begin(), boxes.end(), pixels) == boxes.end()) {
            continue;
        }
        if (report.missingCount < glyphs::maxMissing) {
            report.missing[report.missingCount] = CodePoint(c);
        }
        ++report.missingCount;
    }
}

// ---- clipping ----------------------------------------------------------------------------------

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

// The DrawText flags of a static control's text, by its style.
UINT StaticFormat(DWORD style) {
    UINT format = 0;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        format = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        format = DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK;
        break;
    case SS_SIMPLE:
        format = DT_LEFT | DT_SINGLELINE;
        break;
    case SS_LEFTNOWORDWRAP:
        format = DT_LEFT | DT_EXPANDTABS;
        break;
    default:
        format = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK;
        break;
    }
    if (style & SS_NOPREFIX) {
        format |= DT_NOPREFIX;
    }
    if (style & SS_CENTERIMAGE) {
        format |= DT_SINGLELINE | DT_VCENTER;
    }
    if (style & SS_EDITCONTROL) {
        format |= DT_EDITCONTROL;
    }
    switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS:
        format |= DT_END_ELLIPSIS;
        break;
    case SS_PATHELLIPSIS:
        format |= DT_PATH_ELLIPSIS;
        break;
    case SS_WORDELLIPSIS:
        format |= DT_WORD_ELLIPSIS;
        break;
    }
    return format;
}

// Where a control of the DrawText route puts its text, and how.
struct Layout {
    RECT room;
    UINT format;
};

Layout LayoutOf(HWND w, Kind kind, DWORD style) {
    Layout layout{};
    GetClientRect(w, &layout.room);
    const UINT lines = (style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
    if (kind == Kind::Static) {
        layout.format = StaticFormat(style);
    } else if (kind == Kind::Button) {
        // Inside the button's raised frame.
        InflateRect(&layout.room, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
        layout.format = DT_CENTER | DT_VCENTER | lines;
    } else {
        // Beside the box: 13 pixels at 96 DPI, and a gap.
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        layout.room.left += MulDiv(13 + 4, dpi, 96);
        layout.format = DT_LEFT | DT_VCENTER | lines;
    }
    return layout;
}

// The part of w's client area that its parents leave visible, in its client coordinates: text
// that runs past the edge of its page is cut there as surely as by the control's own edge.
RECT VisibleClient(HWND w) {
    RECT visible{};
    GetClientRect(w, &visible);
    MapWindowPoints(w, HWND_DESKTOP, reinterpret_cast<POINT*>(&visible), 2);
    for (HWND child = w; GetWindowLongW(child, GWL_STYLE) & WS_CHILD;) {
        const HWND parent = GetAncestor(child, GA_PARENT);
        RECT client{};
        GetClientRect(parent, &client);
        MapWindowPoints(parent, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        IntersectRect(&visible, &visible, &client);
        child = parent;
    }
    MapWindowPoints(HWND_DESKTOP, w, reinterpret_cast<POINT*>(&visible), 2);
    return visible;
}

// Records the verdict on text that takes needed of a control whose text may use room (both in
// client coordinates).
void Judge(HWND w, const RECT& needed, const RECT& room, WindowReport& report) {
    const RECT visible = VisibleClient(w);
    RECT shown{};
    IntersectRect(&shown, &room, &visible);
    report.textWidth = Width(needed);
    report.textHeight = Height(needed);
    report.roomWidth = Width(shown);
    report.roomHeight = Height(shown);
    report.clipped = needed.left < shown.left || needed.top < shown.top ||
                     needed.right > shown.right || needed.bottom > shown.bottom;
}

void MeasureDrawn(HWND w, Kind kind, DWORD style, HFONT font, const std::wstring& text,
                  WindowReport& report) {
    const Layout layout = LayoutOf(w, kind, style);
    const int roomWidth = std::max(0, Width(layout.room));
    const int roomHeight = std::max(0, Height(layout.room));
    Canvas measure(1, 1);
    RECT calc{0, 0, roomWidth, 0};
    {
        Selected selected(measure.Dc(), font);
        DrawTextW(measure.Dc(), text.c_str(), static_cast<int>(text.size()), &calc,
                  layout.format | DT_CALCRECT);
    }
    // Drawn as the control draws it, with a margin all round, where what the control would cut
    // off still shows.
    RECT client{};
    GetClientRect(w, &client);
    const int margin = std::max({Width(calc), Height(calc), roomWidth, roomHeight, 16});
    Canvas canvas(Width(client) + 2 * margin, Height(client) + 2 * margin);
    RECT ink{};
    {
        Selected selected(canvas.Dc(), font);
        RECT place = layout.room;
        OffsetRect(&place, margin, margin);
        DrawTextW(canvas.Dc(), text.c_str(), static_cast<int>(text.size()), &place,
                  layout.format | DT_NOCLIP);
        ink = canvas.Ink();
    }
    RECT needed = calc;
    OffsetRect(&needed, layout.room.left, layout.room.top);
    // The ink may overhang by a pixel: the antialiased end of a stroke past the glyph's advance,
    // the measure a label is sized by, whose loss nobody sees. A face that draws wider than it
    // measures loses whole strokes.
    InflateRect(&ink, -1, -1);
    if (!IsRectEmpty(&ink)) {
        OffsetRect(&ink, -margin, -margin);
        UnionRect(&needed, &needed, &ink);
    }
    Judge(w, needed, layout.room, report);
}

// An edit control measured by its own lines (it wraps a memo's text itself), each as wide as
// Uniscribe lays it out, each line as high as the font. Empty lines at the end show nothing.
void MeasureEdit(HWND w, HFONT font, WindowReport& report) {
    RECT room{};
    Ask(w, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    const DWORD_PTR lines = Ask(w, EM_GETLINECOUNT, 0, 0);
    Canvas measure(1, 1);
    Selected selected(measure.Dc(), font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(measure.Dc(), &metrics);
    int width = 0;
    int shownLines = 0;
    for (DWORD_PTR i = 0; i < lines; ++i) {
        const DWORD_PTR length = Ask(w, EM_LINELENGTH, Ask(w, EM_LINEINDEX, i, 0), 0);
        if (length == 0) {
            continue;
        }
        // EM_GETLINE's buffer starts with its size.
        std::wstring line(std::max<std::size_t>(length + 1, 2), L'\0');
        line[0] = static_cast<wchar_t>(std::min<std::size_t>(line.size(), 0xFFFF));
        const DWORD_PTR copied = Ask(w, EM_GETLINE, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(std::min<std::size_t>(copied, line.size()));
        width = std::max(width, UniscribeLine(measure.Dc(), line).Width());
        shownLines = static_cast<int>(i) + 1;
    }
    const RECT needed{room.left, room.top, room.left + width,
                      room.top + shownLines * static_cast<int>(metrics.tmHeight)};
    Judge(w, needed, room, report);
}

// ---- one window --------------------------------------------------------------------------------

void CheckWindow(WindowReport& report) {
    const HWND w = report.window;
    const auto style = static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE));
    const Kind kind = KindOf(w, style);
    const std::wstring text = kind == Kind::None ? std::wstring() : TextOf(w);
    const std::wstring shown = ShowsPrefixes(kind, style) ? WithoutAccelerators(text) : text;
    if (InkedCharacters(shown).empty()) {
        report.verdict = Verdict::NotText;
        return;
    }
    report.verdict = Verdict::Checked;
    OwnedFont owned;
    const HFONT font = FontOf(w, kind, owned);
    FindMissing(font, kind == Kind::Edit ? Route::Uniscribe : Route::DrawText, shown, report);
    if (kind == Kind::Edit) {
        MeasureEdit(w, font, report);
    } else if (kind != Kind::Caption) {
        MeasureDrawn(w, kind, style, font, text, report);
    }
}

void Check(WindowReport& report) {
    try {
        CheckWindow(report);
    } catch (const NoAnswer&) {
        report.verdict = IsWindow(report.window) ? Verdict::NoAnswer : Verdict::Gone;
    }
}

} // namespace

// The thread procedure the driver starts in the program: parameter is the driver's Block in the
// program's memory.
extern "C" __declspec(dllexport) DWORD WINAPI CheckGlyphs(void* parameter) {
    auto* block = static_cast<glyphs::Block*>(parameter);
    if (block == nullptr || block->size != sizeof(glyphs::Block) ||
        block->count > glyphs::maxWindows) {
        return glyphs::WrongBlock;
    }
    try {
        for (std::uint32_t i = 0; i < block->count; ++i) {
            Check(block->windows[i]);
        }
    } catch (const NoCanvas&) {
        return glyphs::NoCanvas;
    } catch (const std::bad_alloc&) {
        return glyphs::NoMemory;
    }
    return glyphs::Done;
}
