// The program's entry: guards the DLL search, prepares the GUI thread and runs the wizard window
// until the user closes it.
#include "forms/application.h"
#include "forms/screen.h"
#include "lang/screen_cursor.h"
#include "platform/dll_search.h"
#include "setup/form1.h"

#include <cstdlib>

// Where an exception nobody catches ends. The C++ runtime's own handler names the exception's type
// on the standard error stream, which a windowed program does not have, and brings a demangler of
// 46 KB for it; this one ends the program the same way without them.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

int main() {
    // First of all: a DLL planted beside Setup.exe must never be loaded by what follows.
    kq::HardenDllSearch();

    // The translation component shows its cursor on the forms' screen.
    kq::SetScreenCursorAccess(
        {[] { return kq::Screen().Cursor(); }, [](int cursor) { kq::Screen().SetCursor(cursor); }});

    kq::TApplication& application = kq::Application();
    application.Initialize();
    // A window that cannot be made (a translation file that breaks it, say) has been explained in
    // the error box; there is nothing to show.
    if (application.CreateForm<kq::TForm1>() == nullptr) {
        application.Finalize();
        return 1;
    }
    application.Run();
    application.Finalize();
    return 0;
}
