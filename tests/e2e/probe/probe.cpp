// probe: a small Windows program with known behaviour, for the tests of the Wine harness and the
// driver.
//
//   probe exit N              ends with exit code N
//   probe sleep MS            sleeps, then ends with 0
//   probe acp                 prints the ANSI code page
//   probe hex ARG             prints the bytes of ARG as the program received them, in hex
//   probe message CAPTION T   asks T in a Yes/No message box; ends with the button's code
//                             (IDYES 6, IDNO 7)
//   probe window              shows a window of named controls (see ShowWindowOfControls); ends
//                             with 11 when Button1 is clicked
//   probe load-dll NAME       loads the DLL by name as the system finds it; 0 when loaded
//   probe load-dll-restricted NAME
//                             the same after restricting the search as Setup.exe does first
// <commctrl.h> needs the types of <windows.h>.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "platform/dll_search.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>

namespace {

// The automation properties, set by hand here so that the driver is tested against the contract
// itself, not against the forms library that implements it.
void Name(HWND w, const char* name, const char* componentClass) {
    SetPropA(w, "KavoruQyn.Name",
             reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(GlobalAddAtomA(name))));
    SetPropA(w, "KavoruQyn.Class",
             reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(GlobalAddAtomA(componentClass))));
}

constexpr int button1Id = 101;
constexpr int clickedExitCode = 11;

LRESULT CALLBACK ProbeWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && LOWORD(wp) == button1Id && HIWORD(wp) == BN_CLICKED) {
        PostQuitMessage(clickedExitCode);
        return 0;
    }
    if (msg == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

HWND Child(HWND parent, const char* windowClass, const char* text, DWORD style, int x, int y,
           int width, int height, int id = 0) {
    return CreateWindowExA(0, windowClass, text, WS_CHILD | style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

// "Probe" (TProbe) holding: Button1 at 10, 20, 81 x 25; Button2, disabled; CheckBox1, checked;
// ProgressBar1 at 42 of 100; Edit1; pages TabSheet1 (hidden) and TabSheet2 (shown).
int ShowWindowOfControls() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSA wc{};
    wc.lpfnWndProc = ProbeWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "KavoruQynProbe";
    RegisterClassA(&wc);
    HWND top = CreateWindowExA(0, wc.lpszClassName, "Probe", WS_OVERLAPPEDWINDOW, 100, 100, 400,
                               300, nullptr, nullptr, wc.hInstance, nullptr);
    Name(top, "Probe", "TProbe");
    Name(Child(top, "BUTTON", "Button1", WS_VISIBLE, 10, 20, 81, 25, button1Id), "Button1",
         "TButton");
    Name(Child(top, "BUTTON", "Button2", WS_VISIBLE | WS_DISABLED, 100, 20, 81, 25), "Button2",
         "TButton");
    HWND check = Child(top, "BUTTON", "CheckBox1", WS_VISIBLE | BS_AUTOCHECKBOX, 10, 50, 120, 17);
    SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
    Name(check, "CheckBox1", "TCheckBox");
    HWND progress = Child(top, PROGRESS_CLASSA, "", WS_VISIBLE, 10, 80, 200, 17);
    SendMessageA(progress, PBM_SETPOS, 42, 0);
    Name(progress, "ProgressBar1", "TProgressBar");
    Name(Child(top, "EDIT", "", WS_VISIBLE | WS_BORDER, 10, 110, 300, 21), "Edit1", "TEdit");
    Name(Child(top, "STATIC", "", 0, 0, 140, 400, 100), "TabSheet1", "TTabSheet");
    Name(Child(top, "STATIC", "", WS_VISIBLE, 0, 140, 400, 100), "TabSheet2", "TTabSheet");
    ShowWindow(top, SW_SHOW);

    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY); // "\n" stays "\n"
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0)
        return std::atoi(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "sleep") == 0) {
        Sleep(static_cast<DWORD>(std::atoi(argv[2])));
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "acp") == 0) {
        std::printf("%u\n", GetACP());
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "hex") == 0) {
        for (const char* p = argv[2]; *p != '\0'; ++p)
            std::printf("%02x", static_cast<unsigned char>(*p));
        std::printf("\n");
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "message") == 0)
        return MessageBoxA(nullptr, argv[3], argv[2], MB_YESNO | MB_ICONQUESTION);
    if (argc == 2 && std::strcmp(argv[1], "window") == 0)
        return ShowWindowOfControls();
    if (argc == 3 && std::strcmp(argv[1], "load-dll-restricted") == 0 && !kq::HardenDllSearch())
        return 3;
    if (argc == 3 && std::strncmp(argv[1], "load-dll", 8) == 0)
        return LoadLibraryA(argv[2]) != nullptr ? 0 : 1;
    std::fprintf(stderr, "usage: probe exit N | sleep MS | acp | hex ARG | message CAPTION TEXT | "
                         "window | load-dll NAME | load-dll-restricted NAME\n");
    return 2;
}
