// The wizard on the stand-in platform: a fresh root with drives C and D, answers for the dialogs
// and hooks for the exit and the process start, all removed afterwards.
#pragma once

#include "forms/application.h"
#include "forms/dialogs.h"
#include "platform/dialogs.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/standin.h"
#include "setup/form1.h"
#include "test/form_hooks.h"
#include "test/standin_root.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kq::setup_test {

// The exit the program would take, thrown by the hook so the test goes on.
struct Exited {
    std::uint32_t code;
};

struct ErrorBox {
    int shown = 0;
    std::string text, caption;
    std::uint32_t flags = 0;
};

// A fresh stand-in root with drives C and D (code page 1252), answers for the dialogs and hooks
// for the exit and the process start, all removed afterwards.
class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        SetExitProcessHook([](std::uint32_t code) { throw Exited{code}; });
        SetMessageBoxResponder(
            [this](const std::string& text, const std::string& caption, std::uint32_t flags) {
                ++errorBox.shown;
                errorBox = {errorBox.shown, text, caption, flags};
                return id::Ok;
            });
        SetMessageDialogResponder(
            [this](const AnsiString& message, TDialogKind kind, TDialogButtons buttons) {
                questions.push_back(message);
                EXPECT_EQ(kind, TDialogKind::Confirmation);
                EXPECT_EQ(buttons, (TDialogButtons{TDialogButton::Yes, TDialogButton::No}));
                return answer;
            });
        SetProcessLauncher([this](const ProcessRequest& request) {
            launched.push_back(request);
            return true;
        });
    }

    // A started wizard at code page 1252.
    std::unique_ptr<TForm1> Start() {
        auto form = std::make_unique<TForm1>(nullptr);
        form->DoCreate();
        return form;
    }
    // Runs a handler as the message loop does: an error goes to the error box.
    void Click(const std::function<void()>& handler) { Application().CallHandler(handler); }

    // Declared first, so put back last: the hooks, then the stand-in's root (and the current
    // folder, should a test have changed it).
    test::ScopedFormHooks hooks_;
    test::StandInRoot standIn_{{"c/windows", "d"}};
    const std::string root_ = standIn_.Host();
    ErrorBox errorBox;
    std::vector<AnsiString> questions;
    int answer = id::No;
    std::vector<ProcessRequest> launched;
};

} // namespace kq::setup_test
