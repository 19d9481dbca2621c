// TCheckBox: a box the user ticks, with its caption beside it.
#pragma once

#include "forms/control.h"

namespace kq {

class TCheckBox : public TWinControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TCheckBox(TComponent* owner);

    AnsiString Caption() const { return Text(); }
    void SetCaption(const AnsiString& caption) { SetText(caption); }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    // The user ticked or cleared the box: the state follows, then OnClick fires.
    void UserToggled(bool checked);

private:
    bool checked_ = false;
};

} // namespace kq
