// TImage: shows a picture, at its own size from the top-left corner, centred, or stretched to
// the control's bounds.
#pragma once

#include "forms/control.h"
#include "forms/picture.h"

namespace kq {

class TImage : public TControl {
public:
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    explicit TImage(TComponent* owner);

    TPicture* Picture() { return &picture_; }
    const TPicture* Picture() const { return &picture_; }
    void SetPicture(const TPicture* picture) { picture_.Assign(picture); }

    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool Center() const { return center_; }
    void SetCenter(bool center);

    // Where the picture lies in the control's bounds (its own coordinates); empty without one.
    TRect PictureRect() const;

private:
    TPicture picture_;
    bool stretch_ = false;
    bool center_ = false;
};

} // namespace kq
