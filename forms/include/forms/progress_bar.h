// TProgressBar: a bar that fills from Min to Max as Position grows.
#pragma once

#include "forms/control.h"

namespace kq {

class TProgressBar : public TWinControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TProgressBar(TComponent* owner);

    int Min() const { return min_; }
    void SetMin(int min);
    int Max() const { return max_; }
    void SetMax(int max);
    // Kept within Min..Max.
    int Position() const { return position_; }
    void SetPosition(int position);

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

} // namespace kq
