#include "forms/check_box.h"

#include "base/properties.h"

namespace kq {

const TClassInfo& TCheckBox::StaticClassInfo() {
    static const TClassInfo info(
        "TCheckBox", &TWinControl::StaticClassInfo(),
        TClassTable<TCheckBox>()
            .String("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption)
            .Boolean("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked));
    return info;
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_) {
        return;
    }
    checked_ = checked;
    Changed(TControlChange::State);
}

void TCheckBox::UserToggled(bool checked) {
    checked_ = checked;
    Click();
}

} // namespace kq
