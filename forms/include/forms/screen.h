// TScreen: what the program shows on the screen as a whole; here, the mouse cursor. While the
// screen's cursor is not cursorDefault it is shown over every window of the program.
#pragma once

namespace kq {

// Cursor numbers (the values a stored description or a translation table may hold).
constexpr int cursorDefault = 0;
constexpr int cursorArrow = -2;
constexpr int cursorIBeam = -4;
constexpr int cursorHourGlass = -11;
constexpr int cursorAppStart = -19;
constexpr int cursorHandPoint = -21;

class TScreen {
public:
    int Cursor() const { return cursor_; }
    void SetCursor(int cursor);

private:
    int cursor_ = cursorDefault;
};

TScreen& Screen();

} // namespace kq
