#include "forms/form.h"

#include "base/properties.h"
#include "native.h"

namespace kq {

namespace {

const TEnumInfo& BorderInfo() {
    static const TEnumInfo info("TWindowBorder", {"None", "Single", "Sizable", "Dialog",
                                                  "ToolWindow", "SizableToolWindow"});
    return info;
}

} // namespace

const TClassInfo& TForm::StaticClassInfo() {
    static const TClassInfo info(
        "TForm", &TComponent::StaticClassInfo(),
        TClassTable<TForm>()
            .String("Caption", &TForm::Caption, &TForm::SetCaption)
            .Integer("Left", &TForm::Left, &TForm::SetLeft)
            .Integer("Top", &TForm::Top, &TForm::SetTop)
            .Integer("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
            .Integer("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
            .Enumeration("Border", BorderInfo(), &TForm::Border, &TForm::SetBorder)
            .Integer("Color", &TForm::Color, &TForm::SetColor));
    return info;
}

TForm::TForm(TComponent* owner) : TComponent(owner), peer_(CreateFormPeer(*this)) {}

// The peer goes first: it destroys the native window while the form's state is still whole.
TForm::~TForm() {
    peer_.reset();
}

void TForm::SetName(const AnsiString& name) {
    TComponent::SetName(name);
    Changed();
}

void TForm::SetCaption(const AnsiString& caption) {
    caption_ = caption;
    Changed();
}

void TForm::SetLeft(int left) {
    left_ = left;
    Changed();
}

void TForm::SetTop(int top) {
    top_ = top;
    Changed();
}

void TForm::SetClientWidth(int width) {
    clientWidth_ = width;
    Changed();
}

void TForm::SetClientHeight(int height) {
    clientHeight_ = height;
    Changed();
}

void TForm::SetBorder(TWindowBorder border) {
    border_ = border;
    Changed();
}

void TForm::SetCaptionButtons(TCaptionButtons buttons) {
    captionButtons_ = buttons;
    Changed();
}

void TForm::SetColor(TColor color) {
    color_ = color;
    Changed();
}

void TForm::Show() {
    visible_ = true;
    Changed();
}

void TForm::Hide() {
    visible_ = false;
    Changed();
}

void TForm::Close() {
    Hide();
}

void TForm::Changed() {
    if (peer_ != nullptr)
        peer_->Update();
}

} // namespace kq
