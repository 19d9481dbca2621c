#pragma once

// The system's message box. A responder installed by a test answers instead of the box, on
// both platforms. Without one, Windows shows the box; the stand-in answers with the default
// button (the DefButtonN bits, or the first button when those name no button of the set).

#include <cstdint>
#include <functional>
#include <string>

namespace kq {

// Message box styles, with Windows' values (MB_...).
namespace mb {
inline constexpr std::uint32_t Ok = 0x0;
inline constexpr std::uint32_t OkCancel = 0x1;
inline constexpr std::uint32_t AbortRetryIgnore = 0x2;
inline constexpr std::uint32_t YesNoCancel = 0x3;
inline constexpr std::uint32_t YesNo = 0x4;
inline constexpr std::uint32_t RetryCancel = 0x5;
inline constexpr std::uint32_t CancelTryContinue = 0x6;
inline constexpr std::uint32_t TypeMask = 0xF;

inline constexpr std::uint32_t IconError = 0x10;
inline constexpr std::uint32_t IconQuestion = 0x20;
inline constexpr std::uint32_t IconWarning = 0x30;
inline constexpr std::uint32_t IconInformation = 0x40;
inline constexpr std::uint32_t IconMask = 0xF0;

inline constexpr std::uint32_t DefButton1 = 0x000;
inline constexpr std::uint32_t DefButton2 = 0x100;
inline constexpr std::uint32_t DefButton3 = 0x200;
inline constexpr std::uint32_t DefButton4 = 0x300;
inline constexpr std::uint32_t DefMask = 0xF00;

inline constexpr std::uint32_t ApplModal = 0x0000;
inline constexpr std::uint32_t SystemModal = 0x1000;
inline constexpr std::uint32_t TaskModal = 0x2000;
inline constexpr std::uint32_t Help = 0x4000; // adds a Help button after the others
inline constexpr std::uint32_t SetForeground = 0x10000;
inline constexpr std::uint32_t TopMost = 0x40000;
} // namespace mb

// Message box answers, with Windows' values (ID...). 0 means the box could not be shown.
namespace id {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
inline constexpr int Close = 8;
inline constexpr int Help = 9;
inline constexpr int TryAgain = 10;
inline constexpr int Continue = 11;
} // namespace id

using MessageBoxResponder =
    std::function<int(const std::string& text, const std::string& caption, std::uint32_t flags)>;

// Shows text in a modal box owned by the active window and returns the button pressed.
int MessageBox(const std::string& text, const std::string& caption, std::uint32_t flags);

// Installs the responder that answers every later MessageBox; an empty function removes it.
void SetMessageBoxResponder(MessageBoxResponder responder);

} // namespace kq
