#pragma once

// What each platform does itself where a test has installed no hook (shared/hooks.cpp consults the
// hooks first): win32/ asks Windows, standin/ gives the stand-in's answer.

#include "platform/process.h"

#include <cstdint>
#include <string>

namespace kq::native {

// The button pressed in the system's message box.
int ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags);

// True with the file or folder the user chose; false for Cancel.
bool AskFileToOpen(const std::string& title, const std::string& filter,
                   const std::string& initialFolder, std::string& fileName);
bool AskFolder(const std::string& title, const std::wstring& root, std::string& folder);

bool StartProcess(const ProcessRequest& request, ProcessIds* ids);
// Ends the process at once; C's streams are already flushed.
[[noreturn]] void EndProcess(std::uint32_t exitCode);

// Dispatches the pending window messages, at most once per interval milliseconds (0: every call).
void DispatchPendingMessages(unsigned interval);

} // namespace kq::native
