#pragma once

// A named mutex of the system, the way a program tells whether another copy of it is running.

#include "platform/owned.h"

#include <string>

namespace kq {

// Creates the mutex called name, or opens it when it exists, and keeps it as long as the object
// lives; the system lets it go when the process ends, however it ends. Whoever creates it first
// is its holder: an object made while another one (in this process or another) keeps the name
// is not, and lets its own handle go at once.
//
// On Windows the name follows the kernel's object namespace ("Local\..." for the session of the
// user, "Global\..." for the machine). A mutex of that name made by another user, which this one
// may not open, also counts as held by someone else. A mutex that cannot be made for any other
// reason (no memory) counts as held by this object: a program that cannot tell had better run.
//
// The stand-in keeps one lock file per name in the folder "mutexes" under its root, locked with
// flock: the lock belongs to the open file, so a second object of the same process is refused
// as a second process is, and the lock goes with the process. The files stay; an unlocked file
// means the name is free.
class NamedMutex {
public:
    explicit NamedMutex(const std::string& name);

    // Whether this object holds the name, so that no other copy of the program runs.
    bool Held() const { return held_; }

private:
    // A mutex handle on Windows, a file descriptor in the stand-in.
    OwnedSystemHandle handle_;
    bool held_ = true;
};

} // namespace kq
