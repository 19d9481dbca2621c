#include "forms/edit.h"

#include "base/properties.h"
#include "base/scope_exit.h"

#include <string_view>
#include <vector>

namespace kq {

namespace {

const TEnumInfo& BorderStyleInfo() {
    static const TEnumInfo info("TBorderStyle", {"None", "Single"});
    return info;
}

// The memo's text: its lines joined by CR LF, with no break after the last.
AnsiString JoinLines(const TStrings& lines) {
    AnsiString text;
    for (int i = 0; i < lines.Count(); ++i) {
        if (i > 0) {
            text += "\r\n";
        }
        text += lines.Strings(i);
    }
    return text;
}

// The lines of a memo's text as an edit control counts them: every line break ends a line, so
// a text that ends in a break has an empty last line, and the text comes back unchanged.
std::vector<AnsiString> SplitAtBreaks(std::string_view text) {
    std::vector<AnsiString> lines;
    if (text.empty()) {
        return lines;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

} // namespace

const TClassInfo& TCustomEdit::StaticClassInfo() {
    static const TClassInfo info(
        "TCustomEdit", &TWinControl::StaticClassInfo(),
        TClassTable<TCustomEdit>()
            .Boolean("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly)
            .Enumeration("BorderStyle", BorderStyleInfo(), &TCustomEdit::BorderStyle,
                         &TCustomEdit::SetBorderStyle)
            .String("ImeName", &TCustomEdit::ImeName, &TCustomEdit::SetImeName)
            .Event("OnChange"));
    return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    InitParentColor(false, colorWindow);
}

void TCustomEdit::SetReadOnly(bool readOnly) {
    if (readOnly == readOnly_) {
        return;
    }
    readOnly_ = readOnly;
    Changed(TControlChange::State);
}

void TCustomEdit::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) {
        return;
    }
    borderStyle_ = style;
    Changed(TControlChange::State);
}

void TCustomEdit::UserEdited(const AnsiString& text) {
    followingUser_ = true;
    ScopeExit following([this] { followingUser_ = false; });
    SetText(text);
}

void TCustomEdit::TextChanged() {
    if (!followingUser_) {
        TWinControl::TextChanged();
    }
    if (OnChange) {
        OnChange(this);
    }
}

const TClassInfo& TEdit::StaticClassInfo() {
    static const TClassInfo info(
        "TEdit", &TCustomEdit::StaticClassInfo(),
        TClassTable<TEdit>().String("Text", &TEdit::Text, &TEdit::SetText));
    return info;
}

const TClassInfo& TMemo::StaticClassInfo() {
    static const TClassInfo info(
        "TMemo", &TCustomEdit::StaticClassInfo(),
        TClassTable<TMemo>()
            .StringList(
                "Lines", [](TMemo& m) { return m.Lines(); },
                [](TMemo& m, TStringList* lines) { m.SetLines(lines); })
            .Boolean("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap)
            .Boolean("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns));
    return info;
}

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) {
    lines_.OnChange = [this](TObject*) { TextChanged(); };
}

AnsiString TMemo::Text() const {
    return JoinLines(lines_);
}

void TMemo::SetText(const AnsiString& text) {
    if (text == Text()) {
        return;
    }
    const std::vector<AnsiString> lines = SplitAtBreaks(text);
    lines_.Update([&] {
        lines_.Clear();
        for (const AnsiString& line : lines) {
            lines_.Add(line);
        }
    });
}

void TMemo::SetWordWrap(bool wordWrap) {
    if (wordWrap == wordWrap_) {
        return;
    }
    wordWrap_ = wordWrap;
    Changed(TControlChange::State);
}

} // namespace kq
