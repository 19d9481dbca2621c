// The program's entry: guards the DLL search, prepares the GUI thread and runs the wizard window
// until the user closes it.
#include "forms/application.h"
#include "platform/dll_search.h"
#include "setup/form1.h"

int main() {
    // First of all: a DLL planted beside Setup.exe must never be loaded by what follows.
    kq::HardenDllSearch();

    kq::TApplication& application = kq::Application();
    application.Initialize();
    application.CreateForm<kq::TForm1>();
    application.Run();
    application.Finalize();
    return 0;
}
