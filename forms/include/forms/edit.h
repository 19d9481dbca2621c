// Edit controls: TEdit, one line of text the user may change, and TMemo, several lines.
//
// The text is the control's state: what the user types reaches it at once (UserEdited), and what
// the program sets is shown.
#pragma once

#include "base/string_list.h"
#include "forms/control.h"

namespace kq {

enum class TBorderStyle { None, Single };

class TCustomEdit : public TWinControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TCustomEdit(TComponent* owner);

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    // The input method to use in the control. Kept only: the user's own choice stays in force.
    const AnsiString& ImeName() const { return imeName_; }
    void SetImeName(const AnsiString& name) { imeName_ = name; }

    // The user changed the text in the native control: the state follows, the control is not
    // told back, OnChange fires.
    virtual void UserEdited(const AnsiString& text);
    // After the text changed, by the program or the user.
    TNotifyEvent OnChange;

protected:
    void TextChanged() override;
    TColor DefaultColor() const override { return colorWindow; }

    // Set while the text follows the user's edit, which the native control already shows.
    bool followingUser_ = false;

private:
    bool readOnly_ = false;
    TBorderStyle borderStyle_ = TBorderStyle::Single;
    AnsiString imeName_;
};

class TEdit : public TCustomEdit {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    using TCustomEdit::TCustomEdit;
};

// The text of a memo is its lines joined by CR LF; every line break in a text given to it ends a
// line, so a text ending in a break keeps an empty last line.
class TMemo : public TCustomEdit {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TMemo(TComponent* owner);

    TStringList* Lines() { return &lines_; }
    const TStringList* Lines() const { return &lines_; }
    void SetLines(const TStrings* lines) { lines_.Assign(lines); }

    AnsiString Text() const override;
    void SetText(const AnsiString& text) override;

    // Long lines break at the right edge instead of scrolling.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    // Enter starts a new line rather than pressing the default button.
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool wantReturns) { wantReturns_ = wantReturns; }

private:
    TStringList lines_;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
};

} // namespace kq
