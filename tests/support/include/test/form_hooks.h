// Test support: the platform's hooks and the window toolkit's put back at the end of a scope
// (header only: only the programs that link the toolkit include it).
#pragma once

#include "forms/application.h"
#include "forms/dialogs.h"
#include "test/hooks.h"

#ifndef _WIN32
#include "forms/standin.h"
#endif

namespace kq::test {

// ScopedHooks, and the toolkit's: the message dialog's responder, the stand-in's text measurer
// and the application's title.
class ScopedFormHooks : public ScopedHooks {
public:
    ScopedFormHooks() = default;
    ~ScopedFormHooks() {
        SetMessageDialogResponder({});
#ifndef _WIN32
        SetTextMeasurer({});
#endif
        Application().SetTitle("");
    }
    ScopedFormHooks(const ScopedFormHooks&) = delete;
    ScopedFormHooks& operator=(const ScopedFormHooks&) = delete;
};

} // namespace kq::test
