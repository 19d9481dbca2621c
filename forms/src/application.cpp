#include "forms/application.h"

#include "forms/form.h"
#include "forms_platform.h"
#include "platform/dialogs.h"

namespace kq {

AnsiString ErrorBoxText(const AnsiString& message) {
    // The last byte decides: a trailing double-byte character ends in a byte above "." as well.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

TApplication& Application() {
    static TApplication application;
    return application;
}

TApplication::TApplication() = default;

TApplication::~TApplication() {
    Finalize();
}

void TApplication::SetTitle(const AnsiString& title) {
    title_ = title;
    if (initialized_) {
        SetNativeTitle(title);
    }
}

void TApplication::Initialize() {
    if (initialized_) {
        return;
    }
    initialized_ = true;
    InitializeNative();
}

void TApplication::AddForm(std::unique_ptr<TForm> form) {
    forms_.push_back(std::move(form));
}

void TApplication::Run() {
    TForm* main = MainForm();
    if (main == nullptr) {
        return;
    }
    main->Show();
    RunMessageLoop(*main);
}

void TApplication::ProcessMessages() {
    ProcessNativeMessages();
}

void TApplication::CallHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const EAbort&) {
        // A silent stop: nothing to show.
    } catch (const std::exception& error) {
        ShowException(error);
    }
}

void TApplication::ShowException(const std::exception& error) {
    MessageBox(ErrorBoxText(error.what()), title_, mb::Ok | mb::IconError);
}

void TApplication::Finalize() {
    while (!forms_.empty()) {
        forms_.pop_back();
    }
    if (initialized_) {
        FinalizeNative();
    }
    initialized_ = false;
}

} // namespace kq
