#include "forms/label.h"

#include "base/properties.h"
#include "forms_platform.h"

namespace kq {

const TClassInfo& TLabel::StaticClassInfo() {
    static const TClassInfo info("TLabel", &TControl::StaticClassInfo(),
                                 TClassTable<TLabel>()
                                     .String("Caption", &TLabel::Caption, &TLabel::SetCaption)
                                     .Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize));
    return info;
}

TLabel::TLabel(TComponent* owner) : TControl(owner) {}

void TLabel::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_) {
        return;
    }
    autoSize_ = autoSize;
    AdjustBounds();
}

void TLabel::Loaded() {
    TControl::Loaded();
    AdjustBounds();
}

void TLabel::TextChanged() {
    TControl::TextChanged();
    AdjustBounds();
}

void TLabel::FontChanged() {
    TControl::FontChanged();
    AdjustBounds();
}

// An empty caption is measured as one blank, so that the label keeps the height of a line.
void TLabel::AdjustBounds() {
    if (!autoSize_ || Loading()) {
        return;
    }
    const AnsiString caption = Caption();
    const std::optional<TSize> size = MeasureText(*Font(), caption.empty() ? " " : caption);
    if (size) {
        SetBounds(Left(), Top(), size->Width, size->Height);
    }
}

} // namespace kq
