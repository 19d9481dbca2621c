#pragma once

// The screen's mouse cursor as the translation component needs it: it shows ChangingCursor
// while a language change translates the form, if the screen shows the default cursor then.
// The screen belongs to the window layer, which installs the two accessors; without them the
// cursor reads as the default one and changing it does nothing.

#include <functional>

namespace kq {

constexpr int crDefault = 0;

struct TScreenCursorAccess {
    std::function<int()> Get;
    std::function<void(int cursor)> Set;
};

void SetScreenCursorAccess(TScreenCursorAccess access);

int ScreenCursor();
void SetScreenCursor(int cursor);

// Shows a cursor for the lifetime of the object and puts the previous one back afterwards,
// also when the work in between fails.
class TCursorScope {
public:
    explicit TCursorScope(int cursor);
    ~TCursorScope();
    TCursorScope(const TCursorScope&) = delete;
    TCursorScope& operator=(const TCursorScope&) = delete;

private:
    int previous_;
};

} // namespace kq
