#include "lang/screen_cursor.h"

#include <utility>

namespace kq {

namespace {

TScreenCursorAccess& Access() {
    static TScreenCursorAccess access;
    return access;
}

} // namespace

void SetScreenCursorAccess(TScreenCursorAccess access) {
    Access() = std::move(access);
}

int ScreenCursor() {
    return Access().Get ? Access().Get() : crDefault;
}

void SetScreenCursor(int cursor) {
    if (Access().Set) {
        Access().Set(cursor);
    }
}

TCursorScope::TCursorScope(int cursor) : previous_(ScreenCursor()) {
    SetScreenCursor(cursor);
}

TCursorScope::~TCursorScope() {
    SetScreenCursor(previous_);
}

} // namespace kq
