// TApplication: the program's GUI side as a whole: its title, its forms, the loop that runs the
// main form until the user closes it, and the error box that shows what a handler raised.
//
// There is one application object, Application(); it owns the forms made with CreateForm.
#pragma once

#include "base/strings.h"
#include "forms/form.h"

#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace kq {

class TApplication {
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // The program's name as the user sees it outside its windows: the caption of the error box.
    const AnsiString& Title() const { return title_; }
    void SetTitle(const AnsiString& title);

    // Prepares the GUI thread: the common controls on Windows. Call it once, first. (COM is
    // initialised by the dialogs and shortcuts that need it, for as long as they need it.)
    void Initialize();

    // Makes a form of class F owned by the application, then fires its OnCreate as a handler
    // (an error it raises is shown, and the form stays). The first form made is the main form.
    // An error raised while the form itself is made (its stored description, what its components
    // load from elsewhere) is shown in the error box too; there is no form then, and null comes
    // back.
    template <class F>
    F* CreateForm() {
        std::unique_ptr<F> form;
        CallHandler([&form] { form = std::make_unique<F>(nullptr); });
        if (!form) {
            return nullptr;
        }
        F& made = *form;
        AddForm(std::move(form));
        CallHandler([&made] { made.DoCreate(); });
        return &made;
    }
    TForm* MainForm() const { return forms_.empty() ? nullptr : forms_.front().get(); }

    // Shows the main form and handles messages until it is closed. The native stand-in has no
    // user to wait for and returns once the form is shown.
    void Run();
    // Handles the messages waiting for the GUI thread, then returns.
    void ProcessMessages();

    // Runs an event handler the way the message loop does: an exception leaving it is shown in
    // the error box (an EAbort silently) instead of going further.
    void CallHandler(const std::function<void()>& handler);
    // The error box: the message, a "." appended when its last character sorts after ".", the
    // title as caption, an OK button and the error icon.
    void ShowException(const std::exception& error);

    // Deletes the forms (last made first) and releases what Initialize took. Called by the
    // destructor if not before.
    void Finalize();

private:
    void AddForm(std::unique_ptr<TForm> form);

    AnsiString title_;
    std::vector<std::unique_ptr<TForm>> forms_;
    bool initialized_ = false;
};

TApplication& Application();

// The text the error box shows for a message.
AnsiString ErrorBoxText(const AnsiString& message);

} // namespace kq
