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

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iconv.h>
#include <memory>
#include <stdexcept>
#include <vector>

namespace kq::setup_test {

inline std::string Convert(std::u8string_view utf8, const char* target) {
    iconv_t converter = iconv_open(target, "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("iconv cannot convert to ") + target);
    std::string in(reinterpret_cast<const char*>(utf8.data()), utf8.size());
    std::vector<char> out(in.size() * 2 + 4);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1))
        throw std::runtime_error("iconv failed");
    return std::string(out.data(), out.size() - outLeft);
}

// The exit the program would take, thrown by the hook so the test goes on.
struct Exited {
    std::uint32_t code;
};

struct ErrorBox {
    int shown = 0;
    std::string text, caption;
    std::uint32_t flags = 0;
};

// A fresh stand-in root with drives C and D, answers for the dialogs and hooks for the exit and
// the process start, all removed afterwards.
class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = "/tmp/kq-setup-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        std::filesystem::create_directories(root_ + "/c/windows");
        std::filesystem::create_directories(root_ + "/d");
        SetRootFolder(root_);
        SetAnsiCodePage(1252);
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
    void TearDown() override {
        SetExitProcessHook({});
        SetMessageBoxResponder({});
        SetMessageDialogResponder({});
        SetProcessLauncher({});
        SetFolderDialogResponder({});
        Application().SetTitle("");
        SetAnsiCodePage(0);
        SetRootFolder("");
        std::filesystem::remove_all(root_);
    }

    // A started wizard at code page 1252.
    std::unique_ptr<TForm1> Start() {
        auto form = std::make_unique<TForm1>(nullptr);
        form->DoCreate();
        return form;
    }
    // Runs a handler as the message loop does: an error goes to the error box.
    void Click(const std::function<void()>& handler) { Application().CallHandler(handler); }

    std::string root_;
    ErrorBox errorBox;
    std::vector<AnsiString> questions;
    int answer = id::No;
    std::vector<ProcessRequest> launched;
};

} // namespace kq::setup_test
