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
//   probe resources EXE       prints what the program's resources hold: its version record, the
//                             sizes of its main icon, what its manifest asks for
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
#include <string>
#include <vector>

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

// The version record through version.dll, loaded only here: the probe imports nothing that the
// planting test could replace.
int PrintVersion(const char* exe) {
    HMODULE version = LoadLibraryA("version.dll");
    using SizeProc = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoProc = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryProc = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    auto size = reinterpret_cast<SizeProc>(
        reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoSizeA")));
    auto info = reinterpret_cast<InfoProc>(
        reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoA")));
    auto query = reinterpret_cast<QueryProc>(
        reinterpret_cast<void*>(GetProcAddress(version, "VerQueryValueA")));
    DWORD ignored = 0;
    const DWORD length = size != nullptr ? size(exe, &ignored) : 0;
    if (length == 0 || info == nullptr || query == nullptr) {
        std::printf("version: none\n");
        return 1;
    }
    std::vector<char> block(length);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (!info(exe, 0, length, block.data()) ||
        !query(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &fixedLength)) {
        std::printf("version: unreadable\n");
        return 1;
    }
    std::printf("file version: %u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS));
    std::printf("product version: %u.%u.%u.%u\n", HIWORD(fixed->dwProductVersionMS),
                LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                LOWORD(fixed->dwProductVersionLS));
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT translationLength = 0;
    if (!query(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<LPVOID*>(&translation),
               &translationLength) ||
        translationLength < sizeof *translation) {
        std::printf("strings: no translation\n");
        return 1;
    }
    for (const char* name : {"CompanyName", "FileDescription", "InternalName", "LegalCopyright",
                             "OriginalFilename", "ProductName", "Comments"}) {
        char path[128];
        std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                      translation->codePage, name);
        char* value = nullptr;
        UINT valueLength = 0;
        const bool found =
            query(block.data(), path, reinterpret_cast<LPVOID*>(&value), &valueLength);
        std::printf("%s: %s\n", name, !found ? "(missing)" : valueLength <= 1 ? "(empty)" : value);
    }
    return 0;
}

int PrintResources(const char* exe) {
    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        std::printf("cannot open %s\n", exe);
        return 1;
    }
    // A group icon: a header of three words, then one 14-byte entry per image, width and height
    // first (0 stands for 256).
    HRSRC group = FindResourceA(module, "MAINICON", reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
    const auto* bytes = static_cast<const unsigned char*>(
        group != nullptr ? LockResource(LoadResource(module, group)) : nullptr);
    if (bytes == nullptr) {
        std::printf("icon MAINICON: none\n");
    } else {
        const int count = bytes[4] | bytes[5] << 8;
        for (int i = 0; i < count; ++i) {
            const unsigned char* entry = bytes + 6 + 14 * i;
            std::printf("icon MAINICON: %dx%d\n", entry[0] ? entry[0] : 256,
                        entry[1] ? entry[1] : 256);
        }
    }
    HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const char* text = static_cast<const char*>(
        manifest != nullptr ? LockResource(LoadResource(module, manifest)) : nullptr);
    const std::string xml =
        text != nullptr ? std::string(text, SizeofResource(module, manifest)) : "";
    for (const char* wanted : {"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                               "level=\"requireAdministrator\"", ">true</dpiAware>"}) {
        std::printf("manifest %s: %s\n", wanted,
                    xml.find(wanted) != std::string::npos ? "yes" : "no");
    }
    FreeLibrary(module);
    return PrintVersion(exe);
}

} // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY); // "\n" stays "\n"
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0) {
        return std::atoi(argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "sleep") == 0) {
        Sleep(static_cast<DWORD>(std::atoi(argv[2])));
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "acp") == 0) {
        std::printf("%u\n", GetACP());
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "hex") == 0) {
        for (const char* p = argv[2]; *p != '\0'; ++p) {
            std::printf("%02x", static_cast<unsigned char>(*p));
        }
        std::printf("\n");
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "message") == 0) {
        return MessageBoxA(nullptr, argv[3], argv[2], MB_YESNO | MB_ICONQUESTION);
    }
    if (argc == 2 && std::strcmp(argv[1], "window") == 0) {
        return ShowWindowOfControls();
    }
    if (argc == 3 && std::strcmp(argv[1], "resources") == 0) {
        return PrintResources(argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "load-dll-restricted") == 0 && !kq::HardenDllSearch()) {
        return 3;
    }
    if (argc == 3 && std::strncmp(argv[1], "load-dll", 8) == 0) {
        return LoadLibraryA(argv[2]) != nullptr ? 0 : 1;
    }
    std::fprintf(stderr, "usage: probe exit N | sleep MS | acp | hex ARG | message CAPTION TEXT | "
                         "window | load-dll NAME | load-dll-restricted NAME | resources EXE\n");
    return 2;
}
