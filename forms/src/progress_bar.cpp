#include "forms/progress_bar.h"

#include "base/properties.h"

#include <algorithm>

namespace kq {

const TClassInfo& TProgressBar::StaticClassInfo() {
    static const TClassInfo info(
        "TProgressBar", &TWinControl::StaticClassInfo(),
        TClassTable<TProgressBar>()
            .Integer("Min", &TProgressBar::Min, &TProgressBar::SetMin)
            .Integer("Max", &TProgressBar::Max, &TProgressBar::SetMax)
            .Integer("Position", &TProgressBar::Position, &TProgressBar::SetPosition));
    return info;
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {}

// A range given upside down is kept as given; the position then stays at Min.
void TProgressBar::SetMin(int min) {
    if (min == min_) {
        return;
    }
    min_ = min;
    position_ = std::max(min_, std::min(position_, max_));
    Changed(TControlChange::State);
}

void TProgressBar::SetMax(int max) {
    if (max == max_) {
        return;
    }
    max_ = max;
    position_ = std::max(min_, std::min(position_, max_));
    Changed(TControlChange::State);
}

void TProgressBar::SetPosition(int position) {
    position = std::max(min_, std::min(position, max_));
    if (position == position_) {
        return;
    }
    position_ = position;
    Changed(TControlChange::State);
}

} // namespace kq
