#include "setup/form1.h"

#include "base/properties.h"

namespace kq {

const TClassInfo& TForm1::StaticClassInfo() {
    static const TClassInfo info("TForm1", &TForm::StaticClassInfo());
    return info;
}

// The window as designed: until the window description is loaded from the program's resources,
// its stored values are set here.
TForm1::TForm1(TComponent* owner) : TForm(owner) {
    SetName("Form1");
    SetCaption("Form1");
    SetLeft(67);
    SetTop(48);
    SetClientWidth(628);
    SetClientHeight(368);
    SetBorder(TWindowBorder::Single);
    SetCaptionButtons({TCaptionButton::SystemMenu, TCaptionButton::Minimize});
    SetColor(colorButtonFace);
}

} // namespace kq
