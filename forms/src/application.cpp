#include "forms/application.h"

#include "forms/form.h"
#include "native.h"

namespace kq {

TApplication::TApplication() = default;

TApplication::~TApplication() {
    FinalizeNative(comInitialized_);
}

void TApplication::Initialize() {
    if (!comInitialized_)
        comInitialized_ = InitializeNative();
}

void TApplication::Run(TForm& mainForm) {
    mainForm.Show();
    RunMessageLoop(mainForm);
}

} // namespace kq
