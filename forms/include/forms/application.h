// TApplication: the program's GUI side as a whole: its title and the loop that runs the main
// form until the user closes it.
#pragma once

#include "base/strings.h"

namespace kq {

class TForm;

class TApplication {
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // The program's name as the user sees it outside its windows (error boxes, the task bar).
    const AnsiString& Title() const { return title_; }
    void SetTitle(const AnsiString& title) { title_ = title; }

    // Prepares the GUI thread: COM and the common controls on Windows. Call it once, first.
    void Initialize();

    // Shows mainForm and handles messages until it is closed. The native stand-in has no user to
    // wait for and returns once the form is shown.
    void Run(TForm& mainForm);

private:
    AnsiString title_;
    bool comInitialized_ = false;
};

} // namespace kq
