// What each platform provides to forms: a peer per form, and the application's start and loop.
// forms/win32 implements it with real windows, forms/posix with nothing to show.
#pragma once

#include <memory>

namespace kq {

class TForm;

class TFormPeer {
public:
    virtual ~TFormPeer() = default;
    // Brings the native window in line with the form's state: creates it when the form is shown
    // for the first time, then caption, bounds, style, colour, name and visibility.
    virtual void Update() = 0;
};

std::unique_ptr<TFormPeer> CreateFormPeer(TForm& form);

// true when the GUI thread now has COM initialised and must release it at the end.
bool InitializeNative();
void FinalizeNative(bool comInitialized);
// Handles messages until form is no longer visible or the thread is asked to quit.
void RunMessageLoop(const TForm& form);

} // namespace kq
