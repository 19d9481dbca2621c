#include "setup/silent_install.h"

#include "platform/shell.h"
#include "setup/form1.h"
#include "setup/setup_log.h"

#include <memory>

namespace kq {

namespace {

// The log asked for, or none.
std::unique_ptr<TSetupLog> OpenLog(const TSetupOptions& options) {
    if (options.logFile.empty()) {
        return nullptr;
    }
    return std::make_unique<TSetupLog>(options.logFile);
}

void Log(TSetupLog* log, const AnsiString& text) {
    if (log != nullptr) {
        (void)log->Line(text);
    }
}

// The steps of the window, in the order its buttons take them: start-up (language, texts and
// the proposed folder), the folder made, the installation. Each step logs its own errors.
int InstallWith(TForm1& form, TSetupLog* log, const TSetupOptions& options) {
    try {
        form.DoCreate();
    } catch (const std::exception& error) {
        Log(log, error.what());
        return setup_exit::ArchiveFailed;
    }
    if (options.hasFolder) {
        form.EditDir->SetText(options.folder);
    }
    try {
        form.ButtonNext2Click(&form);
    } catch (const std::exception&) {
        return setup_exit::FolderNotMade;
    }
    try {
        form.ButtonNext3Click(&form);
    } catch (const ENotEnoughSpace&) {
        return setup_exit::NotEnoughSpace;
    } catch (const std::exception&) {
        return setup_exit::ArchiveFailed;
    }
    return setup_exit::Installed;
}

} // namespace

int RunSilentInstall(const TSetupOptions& options) {
    const std::unique_ptr<TSetupLog> log = OpenLog(options);
    // The shortcuts need COM; the application object is not started, as it would make its
    // window.
    ComApartment com;
    std::unique_ptr<TForm1> form;
    try {
        form = std::make_unique<TForm1>(nullptr);
    } catch (const std::exception& error) {
        Log(log.get(), error.what());
        return setup_exit::ArchiveFailed;
    }
    form->SetInstallLog(log.get());
    form->SetUnattended(true);
    return InstallWith(*form, log.get(), options);
}

// The window's texts (a translation file's too) without its start-up, which would make the
// product's registry key.
int RefuseSecondSetup(const TSetupOptions& options) {
    const std::unique_ptr<TSetupLog> log = OpenLog(options);
    try {
        TForm1 form(nullptr);
        form.SetInstallLog(log.get());
        form.SetUnattended(options.silent);
        form.SayAlreadyRunning();
    } catch (const std::exception& error) {
        Log(log.get(), error.what());
    }
    return setup_exit::AlreadyRunning;
}

int ReportUsageError(const TSetupOptions& options) {
    const std::unique_ptr<TSetupLog> log = OpenLog(options);
    Log(log.get(), options.usageError);
    Log(log.get(), kSetupUsage);
    return setup_exit::UsageError;
}

} // namespace kq
