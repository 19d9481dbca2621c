#include "forms/screen.h"

#include "forms_platform.h"

namespace kq {

TScreen& Screen() {
    static TScreen screen;
    return screen;
}

void TScreen::SetCursor(int cursor) {
    if (cursor == cursor_) {
        return;
    }
    cursor_ = cursor;
    ApplyScreenCursor(cursor);
}

} // namespace kq
