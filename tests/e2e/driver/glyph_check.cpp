// The driver's half of the "glyphs" command: which windows to look at, running kqglyphs.dll in the
// program under test to look at them, and what to say about them.
//
// How the DLL gets in: a thread the driver creates in the program (CreateRemoteThread) runs
// LoadLibraryW with the DLL's absolute path. The program restricts its DLL search to the system
// folder, but that only governs names without a path. A second remote thread then runs the DLL's
// CheckGlyphs at the offset from the module's base where the driver's own copy of the DLL has it,
// and a third unloads it, leaving the program as it was. System functions are taken from the
// program's copy of their module, found by name in a snapshot of its modules, not assumed to sit
// at the driver's addresses. The windows to check and the findings travel in one block of the
// program's memory, allocated and freed by the driver.
#include "glyph_check.h"

#include "glyphs/glyph_report.h"
#include "window_finder.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <tlhelp32.h>
#include <vector>

namespace kqdriver {
namespace {

constexpr DWORD loadMs = 10000;
constexpr DWORD checkMs = 30000;

std::string WithError(const std::string& what) {
    return what + " (error " + std::to_string(GetLastError()) + ")";
}

std::string Narrow(const std::wstring& text) {
    std::string bytes(text.size() * 2 + 1, '\0');
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(length > 0 ? length : 0);
    return bytes;
}

// ---- the DLL in the program --------------------------------------------------------------------

// In a folder of its own beside the driver, where nothing else looks for DLLs.
std::wstring GlyphDllPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        throw Failure(WithError("cannot find the driver's own path"));
    }
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + L"glyphs\\kqglyphs.dll";
}

class LocalLibrary {
public:
    explicit LocalLibrary(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
        if (module_ == nullptr) {
            throw Failure(WithError("cannot load " + Narrow(path)));
        }
    }
    LocalLibrary(const LocalLibrary&) = delete;
    LocalLibrary& operator=(const LocalLibrary&) = delete;
    ~LocalLibrary() { FreeLibrary(module_); }
    HMODULE Get() const { return module_; }

private:
    HMODULE module_;
};

std::wstring FileName(HMODULE module) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring name(path, length < MAX_PATH ? length : 0);
    return name.substr(name.find_last_of(L"\\/") + 1);
}

BYTE* ModuleBaseInProgram(DWORD pid, const std::wstring& name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) {
        throw Failure(WithError("cannot list the program's modules"));
    }
    Handle owned(snapshot);
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more;
         more = Module32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szModule, name.c_str()) == 0) {
            return entry.modBaseAddr;
        }
    }
    throw Failure("the program has no module " + Narrow(name));
}

// Where the program has the function that sits at local in the driver: the same offset from the
// base of the same module. (LoadLibraryW of kernel32 may resolve to another module's copy.)
LPTHREAD_START_ROUTINE InProgram(DWORD pid, FARPROC local) {
    HMODULE module = nullptr;
    if (local == nullptr || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                                    GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                                reinterpret_cast<LPCWSTR>(local), &module)) {
        throw Failure(WithError("cannot find a system function"));
    }
    const auto offset = reinterpret_cast<BYTE*>(local) - reinterpret_cast<BYTE*>(module);
    return reinterpret_cast<LPTHREAD_START_ROUTINE>(ModuleBaseInProgram(pid, FileName(module)) +
                                                    offset);
}

FARPROC Kernel32(const char* function) {
    return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), function);
}

// The exit code of a thread run in the program; nothing when it did not end in time.
std::optional<DWORD> RunInProgram(HANDLE process, LPTHREAD_START_ROUTINE start, void* parameter,
                                  DWORD waitMs) {
    Handle thread(CreateRemoteThread(process, nullptr, 0, start, parameter, 0, nullptr));
    if (thread.Get() == nullptr) {
        throw Failure(WithError("cannot start a thread in the program"));
    }
    if (WaitForSingleObject(thread.Get(), waitMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeThread(thread.Get(), &code);
    return code;
}

// Memory in the program. Abandoned, it is left there: a thread that did not end in time may
// still write to it, and freeing it would crash the program.
class ProgramMemory {
public:
    ProgramMemory(HANDLE process, std::size_t size)
        : process_(process), size_(size),
          address_(
              VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
        if (address_ == nullptr) {
            throw Failure(WithError("cannot allocate memory in the program"));
        }
    }
    ProgramMemory(const ProgramMemory&) = delete;
    ProgramMemory& operator=(const ProgramMemory&) = delete;
    ~ProgramMemory() {
        if (address_ != nullptr) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
    }

    void* Address() const { return address_; }
    void Abandon() { address_ = nullptr; }
    void Write(const void* data) {
        SIZE_T written = 0;
        if (!WriteProcessMemory(process_, address_, data, size_, &written) || written != size_) {
            throw Failure(WithError("cannot write into the program's memory"));
        }
    }
    void Read(void* data) const {
        SIZE_T read = 0;
        if (!ReadProcessMemory(process_, address_, data, size_, &read) || read != size_) {
            throw Failure(WithError("cannot read the program's memory"));
        }
    }

private:
    HANDLE process_;
    std::size_t size_;
    void* address_;
};

// kqglyphs.dll loaded in the program, unloaded again on the way out unless abandoned (its code
// may still be running).
class ProgramLibrary {
public:
    ProgramLibrary(HANDLE process, DWORD pid, const std::wstring& path)
        : process_(process), freeLibrary_(InProgram(pid, Kernel32("FreeLibrary"))) {
        const std::size_t bytes = (path.size() + 1) * sizeof(wchar_t);
        ProgramMemory name(process, bytes);
        name.Write(path.c_str());
        auto module =
            RunInProgram(process, InProgram(pid, Kernel32("LoadLibraryW")), name.Address(), loadMs);
        if (!module) {
            name.Abandon();
            throw Failure("the program did not load " + Narrow(path) + " in " +
                          std::to_string(loadMs) + " ms");
        }
        // The thread's exit code is LoadLibraryW's result, whole on a 32-bit system.
        module_ = reinterpret_cast<HMODULE>(static_cast<UINT_PTR>(*module));
        if (module_ == nullptr) {
            throw Failure("the program could not load " + Narrow(path));
        }
    }
    ProgramLibrary(const ProgramLibrary&) = delete;
    ProgramLibrary& operator=(const ProgramLibrary&) = delete;
    ~ProgramLibrary() {
        if (module_ == nullptr) {
            return;
        }
        try {
            RunInProgram(process_, freeLibrary_, module_, loadMs);
        } catch (const Failure&) {
            // Left loaded: harmless to the program, and the check's findings stand.
        }
    }

    BYTE* Base() const { return reinterpret_cast<BYTE*>(module_); }
    void Abandon() { module_ = nullptr; }

private:
    HANDLE process_;
    LPTHREAD_START_ROUTINE freeLibrary_;
    HMODULE module_ = nullptr;
};

std::string CheckFailure(DWORD code) {
    switch (code) {
    case glyphs::WrongBlock:
        return "kqglyphs.dll is of another build than the driver";
    case glyphs::NoCanvas:
        return "the program cannot make a bitmap to draw on";
    case glyphs::NoMemory:
        return "the program ran out of memory during the check";
    }
    return "the check ended with code " + std::to_string(code);
}

void CheckInProgram(DWORD pid, glyphs::Block& block) {
    Handle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                   PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                   SYNCHRONIZE,
                               FALSE, pid));
    if (process.Get() == nullptr) {
        throw Failure(WithError("cannot open the program's process"));
    }
    const std::wstring path = GlyphDllPath();
    LocalLibrary local(path);
    const FARPROC check = GetProcAddress(local.Get(), "CheckGlyphs");
    if (check == nullptr) {
        throw Failure(Narrow(path) + " has no CheckGlyphs");
    }
    const auto offset = reinterpret_cast<BYTE*>(check) - reinterpret_cast<BYTE*>(local.Get());

    ProgramLibrary library(process.Get(), pid, path);
    ProgramMemory memory(process.Get(), sizeof block);
    memory.Write(&block);
    const auto code = RunInProgram(
        process.Get(), reinterpret_cast<LPTHREAD_START_ROUTINE>(library.Base() + offset),
        memory.Address(), checkMs);
    if (!code) {
        memory.Abandon();
        library.Abandon();
        throw Failure("the check did not end in " + std::to_string(checkMs) + " ms");
    }
    if (*code != glyphs::Done) {
        throw Failure(CheckFailure(*code));
    }
    memory.Read(&block);
}

// ---- the windows -------------------------------------------------------------------------------

// Whether any of w shows: its parents' client areas, each in turn, cut it (a control beyond
// the edge of its page is as hidden as one on a hidden page). The application's window, which
// only stands for the program in the taskbar, is visible but of no size.
bool ShowsAnything(HWND w) {
    RECT shown{};
    if (!IsWindowVisible(w) || !GetWindowRect(w, &shown) || IsRectEmpty(&shown)) {
        return false;
    }
    for (HWND child = w; GetWindowLongA(child, GWL_STYLE) & WS_CHILD;) {
        const HWND parent = GetAncestor(child, GA_PARENT);
        RECT client{};
        GetClientRect(parent, &client);
        MapWindowPoints(parent, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        if (!IntersectRect(&shown, &shown, &client)) {
            return false;
        }
        child = parent;
    }
    return true;
}

std::vector<HWND> TopLevelTargets(const Session& s, const std::string& target) {
    std::vector<HWND> found;
    const DWORD start = GetTickCount();
    for (;;) {
        for (HWND w : TopLevelWindows(s.pid)) {
            if (ShowsAnything(w) &&
                (target == "all" || ComponentName(w) == target || Caption(w) == target)) {
                found.push_back(w);
            }
        }
        if (!found.empty()) {
            return found;
        }
        if (GetTickCount() - start >= s.waitMs) {
            throw Failure("no visible window with caption or name \"" + target + "\" (waited " +
                          std::to_string(s.waitMs) + " ms)");
        }
        Sleep(pollMs);
    }
}

std::string NameOf(HWND w) {
    std::string name = ComponentName(w);
    if (!name.empty()) {
        return name;
    }
    if ((GetWindowLongA(w, GWL_STYLE) & WS_CHILD) == 0) {
        return Caption(w);
    }
    // The controls of message boxes have no names; their ids (IDOK, IDNO...) tell them apart.
    return WindowClassName(w) + "#" + std::to_string(GetDlgCtrlID(w));
}

// ---- the findings ------------------------------------------------------------------------------

// The character as the program's code page writes it, then its code point.
std::string Character(std::uint32_t codePoint) {
    std::wstring utf16;
    if (codePoint >= 0x10000) {
        utf16 += static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
        utf16 += static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    } else {
        utf16 += static_cast<wchar_t>(codePoint);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(codePoint));
    return Narrow(utf16) + " " + hex;
}

std::string Problems(const glyphs::WindowReport& r) {
    std::string problems;
    if (r.missingCount > 0) {
        problems = "missing ";
        const std::uint32_t listed = std::min(r.missingCount, glyphs::maxMissing);
        for (std::uint32_t i = 0; i < listed; ++i) {
            problems += (i > 0 ? ", " : "") + Character(r.missing[i]);
        }
        if (r.missingCount > listed) {
            problems += " and " + std::to_string(r.missingCount - listed) + " more";
        }
    }
    if (r.clipped) {
        problems += problems.empty() ? "" : "; ";
        problems += "clipped (text " + std::to_string(r.textWidth) + "x" +
                    std::to_string(r.textHeight) + " in " + std::to_string(r.roomWidth) + "x" +
                    std::to_string(r.roomHeight) + ")";
    }
    return problems;
}

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

std::string CheckGlyphs(const Session& s, const std::string& target) {
    if (s.pid == 0) {
        throw Failure("no program was started or attached");
    }
    auto block = std::make_unique<glyphs::Block>();
    block->size = sizeof(glyphs::Block);
    std::vector<std::string> names;
    for (HWND top : TopLevelTargets(s, target)) {
        std::vector<HWND> windows{top};
        for (HWND w : Descendants(top)) {
            if (ShowsAnything(w)) {
                windows.push_back(w);
            }
        }
        for (HWND w : windows) {
            if (block->count == glyphs::maxWindows) {
                throw Failure("more than " + std::to_string(glyphs::maxWindows) + " windows");
            }
            block->windows[block->count++].window = w;
            names.push_back(w == top ? NameOf(top) : NameOf(top) + "." + NameOf(w));
        }
    }
    CheckInProgram(s.pid, *block);

    int texts = 0;
    std::string offenders;
    for (std::uint32_t i = 0; i < block->count; ++i) {
        const glyphs::WindowReport& r = block->windows[i];
        if (r.verdict != glyphs::Verdict::Checked && r.verdict != glyphs::Verdict::NoAnswer) {
            continue;
        }
        ++texts;
        const std::string problems =
            r.verdict == glyphs::Verdict::NoAnswer ? "does not answer" : Problems(r);
        PrintLine(names[i] + ": " + (problems.empty() ? "ok" : problems));
        if (!problems.empty()) {
            offenders += (offenders.empty() ? "" : "; ") + names[i] + " (" + problems + ")";
        }
    }
    if (!offenders.empty()) {
        throw Failure(offenders);
    }
    return std::to_string(texts) + " texts, every character drawn, none clipped";
}

} // namespace kqdriver
