// The automation contract: a window that mirrors a component carries the window properties
// "KavoruQyn.Name" and "KavoruQyn.Class", each holding a global atom of the component's name and
// class name. Window properties and global atoms are kept by the system, so a test driver in
// another process can find a control by its component name. Both are removed, and the atoms
// deleted, when the window is destroyed.
#pragma once

#include "base/strings.h"
#include "platform/win32_api.h"

namespace kq {

// One such property of one window.
class TAtomProperty {
public:
    explicit TAtomProperty(const char* property) : property_(property) {}
    TAtomProperty(const TAtomProperty&) = delete;
    TAtomProperty& operator=(const TAtomProperty&) = delete;
    ~TAtomProperty() { Remove(); }

    // Attaches value to window, replacing what this property held; an empty value removes it.
    void Set(HWND window, const AnsiString& value);
    // Takes the property off the window and deletes the atom.
    void Remove();

private:
    const char* property_;
    HWND window_ = nullptr;
    ATOM atom_ = 0;
    AnsiString value_;
};

} // namespace kq
