// The program's entry: guards the DLL search, prepares the GUI thread and runs the wizard window
// until the user closes it.
#include "forms/application.h"
#include "platform/dll_search.h"
#include "setup/form1.h"

int main() {
    // First of all: a DLL planted beside Setup.exe must never be loaded by what follows.
    kq::HardenDllSearch();

    kq::TApplication application;
    application.Initialize();
    kq::TForm1 form1(nullptr);
    application.Run(form1);
    return 0;
}
