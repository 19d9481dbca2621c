// The block of memory through which the driver and kqglyphs.dll, running inside the program
// under test, talk: the driver writes the windows to look at into the program's memory, starts
// the check there and reads the block back once the check's thread has ended.
//
// Both sides are built together for the same 32-bit target, so the layout is plain C++ with no
// packing concerns; the block starts with its own size so that a DLL of another build refuses it
// instead of misreading it.
#pragma once

#include <cstdint>
#include <windows.h>

namespace glyphs {

constexpr std::uint32_t maxWindows = 256;
// Enough to name what is wrong with a control; the count says how many there were in all.
constexpr std::uint32_t maxMissing = 32;

enum class Verdict : std::int32_t {
    NotText, // no text of its own to draw (a picture, a panel), or hidden text (a password)
    Checked,
    Gone,    // destroyed between the driver's look and the check
    NoAnswer // its thread did not answer the check's messages in time
};

struct WindowReport {
    HWND window; // written by the driver, the rest by the check
    Verdict verdict;
    std::uint32_t missingCount;
    std::uint32_t missing[maxMissing]; // code points, in the order of the text
    // What the text takes as the control draws it, and the room the control gives it; a width
    // or height of the room of 0 means the check does not apply (a window's caption).
    std::int32_t textWidth, textHeight;
    std::int32_t roomWidth, roomHeight;
    bool clipped;
};

struct Block {
    std::uint32_t size; // sizeof(Block)
    std::uint32_t count;
    WindowReport windows[maxWindows];
};

// The thread's exit code when the check ran; anything else is the reason it did not.
enum ExitCode : DWORD { Done = 0, WrongBlock = 1, NoCanvas = 2, NoMemory = 3 };

} // namespace glyphs
