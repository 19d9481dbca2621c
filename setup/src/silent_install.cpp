#include "setup/silent_install.h"

#include "platform/shell.h"
#include "setup/archive_password.h"
#include "setup/form1.h"
#include "setup/installation.h"
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

// What a person would be told goes to the log; nobody is asked anything.
class TLogReporter : public TInstallReporter {
public:
    explicit TLogReporter(TSetupLog* log) : log_(log) {}
    void Status(const AnsiString&) override {}
    void Progress(int) override {}
    bool AskRetry(const AnsiString&) override { return false; }
    void ArchiveDamaged(const AnsiString&) override {}
    void NotMade(const AnsiString&) override {}
    void Log(const AnsiString& line) override { kq::Log(log_, line); }
    bool Logging() const override { return log_ != nullptr; }

private:
    TSetupLog* log_;
};

int ExitCode(TInstallResult result) {
    switch (result) {
    case TInstallResult::Installed:
        return setup_exit::Installed;
    case TInstallResult::NotEnoughSpace:
        return setup_exit::NotEnoughSpace;
    case TInstallResult::Cancelled:
        return setup_exit::Cancelled;
    case TInstallResult::ArchiveFailed:
    case TInstallResult::Damaged:
        break;
    }
    return setup_exit::ArchiveFailed;
}

// The window's start-up gives the language, its texts and the proposed folder; the window itself
// is never shown and none of its buttons is pressed.
int InstallWith(TForm1& form, TSetupLog* log, const TSetupOptions& options) {
    try {
        form.DoCreate();
    } catch (const std::exception& error) {
        Log(log, error.what());
        return setup_exit::ArchiveFailed;
    }
    AnsiString folder = options.hasFolder ? options.folder : form.EditDir->Text();
    if (!MakeInstallFolder(folder)) {
        Log(log, form.Translator1->LookupString("sChooseCorrectFolder") + " " + folder);
        return setup_exit::FolderNotMade;
    }
    Log(log, form.LabelDestFolder->Caption() + " " + folder);

    TInstallation installation(*form.ZipExtractor1, *form.Translator1);
    installation.ConnectEvents();
    TLogReporter reporter(log);
    const TInstallOutcome outcome = installation.Run(
        {SetupArchivePath(), ArchivePassword(), folder, /*unattended=*/true}, reporter);
    if (outcome.result == TInstallResult::Installed) {
        Log(log, form.Label9->Caption());
    }
    return ExitCode(outcome.result);
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
