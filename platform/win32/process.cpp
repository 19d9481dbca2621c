#include "platform/process.h"

#include "../shared/unhooked_calls.h"
#include "platform/win32_api.h"
#include "platform/win32_handles.h"

namespace kq {

namespace {

const char* NullWhenEmpty(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

bool native::StartProcess(const ProcessRequest& request, ProcessIds* ids) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    std::string commandLine = request.commandLine; // CreateProcessA may write into it
    if (!::CreateProcessA(NullWhenEmpty(request.applicationName), commandLine.data(), nullptr,
                          nullptr, FALSE, request.creationFlags, nullptr,
                          NullWhenEmpty(request.currentDirectory), &startup, &created)) {
        return false;
    }
    const win32::OwnedHandle process(created.hProcess);
    const win32::OwnedHandle thread(created.hThread);
    if (ids != nullptr) {
        *ids = ProcessIds{created.dwProcessId, created.dwThreadId};
    }
    return true;
}

std::string GetModuleFileName() {
    // Grown until the whole path fits: long paths exceed MAX_PATH.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void native::EndProcess(std::uint32_t exitCode) {
    ::ExitProcess(exitCode);
}

} // namespace kq
