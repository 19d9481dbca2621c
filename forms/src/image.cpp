#include "forms/image.h"

#include "base/properties.h"

namespace kq {

const TClassInfo& TImage::StaticClassInfo() {
    static const TClassInfo info(
        "TImage", &TControl::StaticClassInfo(),
        TClassTable<TImage>()
            .Object(
                "Picture", [](TImage& i) { return i.Picture(); },
                [](TImage& i, TPicture* picture) { i.SetPicture(picture); })
            .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch)
            .Boolean("Center", &TImage::Center, &TImage::SetCenter));
    return info;
}

TImage::TImage(TComponent* owner) : TControl(owner) {
    picture_.OnChange = [this](TObject*) { Changed(TControlChange::State); };
}

void TImage::SetStretch(bool stretch) {
    if (stretch == stretch_) {
        return;
    }
    stretch_ = stretch;
    Changed(TControlChange::State);
}

void TImage::SetCenter(bool center) {
    if (center == center_) {
        return;
    }
    center_ = center;
    Changed(TControlChange::State);
}

TRect TImage::PictureRect() const {
    if (picture_.Empty()) {
        return TRect{};
    }
    if (stretch_) {
        return TRect{0, 0, Width(), Height()};
    }
    const int w = picture_.Width();
    const int h = picture_.Height();
    if (center_) {
        return TRect{(Width() - w) / 2, (Height() - h) / 2, w, h};
    }
    return TRect{0, 0, w, h};
}

} // namespace kq
