#include "forms/button.h"

#include "base/properties.h"

namespace kq {

const TClassInfo& TButton::StaticClassInfo() {
    static const TClassInfo info("TButton", &TWinControl::StaticClassInfo(),
                                 TClassTable<TButton>()
                                     .String("Caption", &TButton::Caption, &TButton::SetCaption)
                                     .Boolean("Default", &TButton::Default, &TButton::SetDefault));
    return info;
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
}

void TButton::SetDefault(bool isDefault) {
    if (isDefault == default_) {
        return;
    }
    default_ = isDefault;
    Changed(TControlChange::State);
}

} // namespace kq
