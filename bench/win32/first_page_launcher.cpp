// The timer of bench/first_page: starts programs in turns and measures, for each start, the time
// until the program's first window is on the screen and painted.
//
//   first_page_launcher ROUNDS PROGRAM...
//
// Each round starts every PROGRAM once, in the order given, and prints one line per start:
// "<round> <program index> <milliseconds>". All starts happen inside this one process, so the
// cost of starting Wine itself is in none of the figures.
//
// A start is over when all of these hold, checked in this order every millisecond:
//  1. WaitForInputIdle has returned: the program has waited for input once;
//  2. it has a visible top-level window;
//  3. its thread answers a message sent to that window (sent messages go before paint requests,
//     so the answer comes from the message loop, not from inside the window's creation);
//  4. neither the window nor any window inside it has a region waiting to be painted.
// The program is then ended (TerminateProcess, waited for), so the next start finds no window,
// no named mutex and no process of the one before.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <windows.h>

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisibleTop(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindUnpainted(HWND window, LPARAM param) {
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

bool Painted(HWND top) {
    if (GetUpdateRect(top, nullptr, FALSE)) {
        return false;
    }
    bool unpainted = false;
    EnumChildWindows(top, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// The folder of a program path, where it is started (Setup.exe reads Setup.dat from there).
std::string FolderOf(const std::string& program) {
    const auto slash = program.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : program.substr(0, slash);
}

// One start of `program`; the time to its first page in milliseconds, or a negative value when
// it did not show one within 60 s.
double TimeStart(const std::string& program, LARGE_INTEGER frequency) {
    std::string commandLine = "\"" + program + "\"";
    const std::string folder = FolderOf(program);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return -1;
    }
    double result = -1;
    const DWORD deadline = GetTickCount() + 60000;
    WaitForInputIdle(process.hProcess, 60000);
    while (static_cast<LONG>(deadline - GetTickCount()) > 0) {
        Search search{process.dwProcessId, nullptr};
        EnumWindows(FindVisibleTop, reinterpret_cast<LPARAM>(&search));
        DWORD_PTR answer = 0;
        if (search.found != nullptr &&
            SendMessageTimeoutA(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer) != 0 &&
            Painted(search.found)) {
            LARGE_INTEGER end;
            QueryPerformanceCounter(&end);
            result = Milliseconds(start, end, frequency);
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "%s ended before it showed a window\n", program.c_str());
            break;
        }
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: first_page_launcher ROUNDS PROGRAM...\n");
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    const std::vector<std::string> programs(argv + 2, argv + argc);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int round = 1; round <= rounds; ++round) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const double ms = TimeStart(programs[i], frequency);
            if (ms < 0) {
                return 1;
            }
            std::printf("%d %u %.2f\n", round, static_cast<unsigned>(i), ms);
            std::fflush(stdout);
        }
    }
    return 0;
}
