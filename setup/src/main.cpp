// The program's entry: guards the DLL search, reads the switches, then either installs without a
// window (/S) or prepares the GUI thread and runs the wizard window until the user closes it.
#include "forms/application.h"
#include "forms/screen.h"
#include "lang/screen_cursor.h"
#include "platform/command_line.h"
#include "platform/dialogs.h"
#include "platform/dll_search.h"
#include "platform/named_mutex.h"
#include "setup/command_line.h"
#include "setup/form1.h"
#include "setup/setup_log.h"
#include "setup/silent_install.h"
#include "setup/uconst.h"

#include <cstdlib>
#include <memory>

// Where an exception nobody catches ends. The C++ runtime's own handler names the exception's type
// on the standard error stream, which a windowed program does not have, and brings a demangler of
// 46 KB for it; this one ends the program the same way without them.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

namespace {

// The wizard window, its folder field filled from /D= and its steps logged to /LOG= when given.
int RunWizard(const kq::TSetupOptions& options) {
    kq::TApplication& application = kq::Application();
    application.Initialize();
    // A window that cannot be made (a translation file that breaks it, say) has been explained in
    // the error box; there is nothing to show.
    kq::TForm1* form = application.CreateForm<kq::TForm1>();
    if (form == nullptr) {
        application.Finalize();
        return 1;
    }
    std::unique_ptr<kq::TSetupLog> log;
    if (!options.logFile.empty()) {
        log = std::make_unique<kq::TSetupLog>(options.logFile);
        form->SetInstallLog(log.get());
    }
    if (options.hasFolder) {
        form->EditDir->SetText(options.folder);
    }
    application.Run();
    application.Finalize();
    return 0;
}

} // namespace

int main() {
    // First of all: a DLL planted beside Setup.exe must never be loaded by what follows.
    kq::HardenDllSearch();

    const kq::TSetupOptions options = kq::ParseSetupCommandLine(kq::GetCommandLine());
    if (!options.usageError.empty()) {
        // A person who typed the line is told; a script (/S) reads the exit code and the log.
        if (!options.silent) {
            (void)kq::MessageBox(options.usageError + "\r\n" + kq::kSetupUsage, "Setup.exe",
                                 kq::mb::Ok | kq::mb::IconError);
        }
        return kq::ReportUsageError(options);
    }
    // One Setup at a time, kept until the process ends: a second one, windowed or silent, says
    // so and goes before it touches anything.
    const kq::NamedMutex oneSetup(kq::uconst::kSetupMutex);
    if (!oneSetup.Held()) {
        return kq::RefuseSecondSetup(options);
    }
    if (options.silent) {
        return kq::RunSilentInstall(options);
    }

    // The translation component shows its cursor on the forms' screen.
    kq::SetScreenCursorAccess(
        {[] { return kq::Screen().Cursor(); }, [](int cursor) { kq::Screen().SetCursor(cursor); }});
    return RunWizard(options);
}
