// The toolkit's classes, as a stored window description names them.
#include "base/class_registry.h"
#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/form_loader.h"
#include "forms/image.h"
#include "forms/label.h"
#include "forms/page_control.h"
#include "forms/panel.h"
#include "forms/progress_bar.h"

namespace kq {

namespace {

void ReadPictureData(TPicture& picture, std::string_view bytes) {
    picture.LoadFromJpeg(bytes);
}

void RegisterAll() {
    RegisterClass<TPageControl>();
    RegisterClass<TTabSheet>();
    RegisterClass<TLabel>();
    RegisterClass<TButton>();
    RegisterClass<TCheckBox>();
    RegisterClass<TEdit>();
    RegisterClass<TMemo>();
    RegisterClass<TProgressBar>();
    RegisterClass<TImage>();
    RegisterClass<TPanel>();
    RegisterEvent<TControl>("OnClick", &TControl::OnClick);
    RegisterEvent<TForm>("OnCreate", &TForm::OnCreate);
    RegisterEvent<TCustomEdit>("OnChange", &TCustomEdit::OnChange);
    RegisterBinaryProperty<TPicture>("Data", &ReadPictureData);
}

} // namespace

void RegisterFormsClasses() {
    static const bool registered = (RegisterAll(), true);
    (void)registered;
}

} // namespace kq
