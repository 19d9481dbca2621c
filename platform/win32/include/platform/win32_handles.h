#pragma once

// Owners of the Windows handles and COM pointers that platform/win32 and the Windows side of forms
// hold (see owned.h): each is released once, by its owner, however the scope that made it ends.

#include "platform/owned.h"
#include "platform/win32_api.h"
#include "platform/win32_system_functions.h"

namespace kq::win32 {

// A kernel handle (a process, a thread) closed with CloseHandle. Not for the handles of
// CreateFileA, whose "none" is INVALID_HANDLE_VALUE.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static constexpr HANDLE None = nullptr;
    static void Release(HANDLE handle) { ::CloseHandle(handle); }
};
using OwnedHandle = Owned<KernelHandleTraits>;

// A font, brush or other GDI object this program made, deleted with DeleteObject. (Stock objects
// are not owned: they are never deleted.)
template <class GdiHandle>
struct GdiObjectTraits {
    using Handle = GdiHandle;
    static constexpr GdiHandle None = nullptr;
    static void Release(GdiHandle object) { ::DeleteObject(object); }
};
using OwnedFont = Owned<GdiObjectTraits<HFONT>>;

// Memory the shell allocated for this program (an item list), freed with the COM allocator.
template <class Pointer>
struct ComMemoryTraits {
    using Handle = Pointer;
    static constexpr Pointer None = nullptr;
    static void Release(Pointer memory) { win32::CoTaskMemFree(memory); }
};
template <class Pointer>
using ComMemory = Owned<ComMemoryTraits<Pointer>>;

// One reference to a COM interface, released with the interface's Release.
template <class Interface>
struct ComReferenceTraits {
    using Handle = Interface*;
    static constexpr Interface* None = nullptr;
    static void Release(Interface* object) { object->Release(); }
};

template <class Interface>
class ComPtr : public Owned<ComReferenceTraits<Interface>> {
public:
    Interface* operator->() const { return this->Get(); }
    // For CoCreateInstance and QueryInterface, which hand the new reference back untyped.
    void** ReceiveUntyped() { return reinterpret_cast<void**>(this->Receive()); }
};

// The device context of a window (of the screen for a null window), from GetDC to ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context while this lives; the one it replaced is selected
// back, so that the context never keeps an object that is about to be deleted.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ != nullptr) {
            ::SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace kq::win32
