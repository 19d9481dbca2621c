#include "platform/process.h"

#include "platform/win32_api.h"

#include <cstdio>
#include <utility>

namespace kq {

namespace {

ProcessLauncher& Launcher() {
    static ProcessLauncher launcher;
    return launcher;
}

ExitProcessHook& ExitHook() {
    static ExitProcessHook hook;
    return hook;
}

// A handle CreateProcessA hands back, closed when it goes out of scope.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedHandle() {
        if (handle_ != nullptr) {
            ::CloseHandle(handle_);
        }
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

private:
    HANDLE handle_;
};

const char* NullWhenEmpty(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

bool CreateProcess(const ProcessRequest& request, ProcessIds* ids) {
    if (Launcher()) {
        const ProcessLauncher launcher = Launcher(); // it may replace itself
        return launcher(request);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    std::string commandLine = request.commandLine; // CreateProcessA may write into it
    if (!::CreateProcessA(NullWhenEmpty(request.applicationName), commandLine.data(), nullptr,
                          nullptr, FALSE, request.creationFlags, nullptr,
                          NullWhenEmpty(request.currentDirectory), &startup, &created)) {
        return false;
    }
    const OwnedHandle process(created.hProcess);
    const OwnedHandle thread(created.hThread);
    if (ids != nullptr) {
        *ids = ProcessIds{created.dwProcessId, created.dwThreadId};
    }
    return true;
}

void SetProcessLauncher(ProcessLauncher launcher) {
    Launcher() = std::move(launcher);
}

std::string GetModuleFileName() {
    // Grown until the whole path fits: long paths exceed MAX_PATH.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void ExitProcess(std::uint32_t exitCode) {
    if (ExitHook()) {
        const ExitProcessHook hook = ExitHook();
        hook(exitCode);
    }
    // The standard streams write through to C's (they stay synchronised with it), so flushing
    // C's streams flushes everything written either way.
    std::fflush(nullptr);
    ::ExitProcess(exitCode);
}

void SetExitProcessHook(ExitProcessHook hook) {
    ExitHook() = std::move(hook);
}

} // namespace kq
