#include "forms/panel.h"

#include "base/properties.h"

namespace kq {

namespace {

const TEnumInfo& BevelInfo() {
    static const TEnumInfo info("TBevel", {"None", "Lowered", "Raised"});
    return info;
}

} // namespace

const TClassInfo& TPanel::StaticClassInfo() {
    static const TClassInfo info(
        "TPanel", &TWinControl::StaticClassInfo(),
        TClassTable<TPanel>()
            .String("Caption", &TPanel::Caption, &TPanel::SetCaption)
            .Enumeration("BevelOuter", BevelInfo(), &TPanel::BevelOuter, &TPanel::SetBevelOuter)
            .Enumeration("BevelInner", BevelInfo(), &TPanel::BevelInner, &TPanel::SetBevelInner));
    return info;
}

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {}

void TPanel::SetBevelOuter(TBevel bevel) {
    if (bevel == bevelOuter_) {
        return;
    }
    bevelOuter_ = bevel;
    Changed(TControlChange::State);
}

void TPanel::SetBevelInner(TBevel bevel) {
    if (bevel == bevelInner_) {
        return;
    }
    bevelInner_ = bevel;
    Changed(TControlChange::State);
}

} // namespace kq
