#include "atom_property.h"

namespace kq {

void TAtomProperty::Set(HWND window, const AnsiString& value) {
    if (window == window_ && value == value_) {
        return;
    }
    Remove();
    // Atom names are at most 255 bytes; component names are identifiers and far shorter.
    if (value.empty() || value.size() > 255) {
        return;
    }
    const ATOM atom = GlobalAddAtomA(value.c_str());
    if (atom == 0) {
        return;
    }
    // The property's value is the atom itself.
    if (!SetPropA(window, property_, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)))) {
        GlobalDeleteAtom(atom);
        return;
    }
    window_ = window;
    atom_ = atom;
    value_ = value;
}

void TAtomProperty::Remove() {
    if (window_ == nullptr) {
        return;
    }
    RemovePropA(window_, property_);
    GlobalDeleteAtom(atom_);
    window_ = nullptr;
    atom_ = 0;
    value_.clear();
}

} // namespace kq
