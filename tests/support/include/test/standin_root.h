// Test support (native builds only): the platform stand-in on a fresh root of its own.
#pragma once

#include "test/hooks.h"
#include "test/temp_folder.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace kq::test {

// Windows paths map into a fresh TempFolder ("C:\x" is <root>/c/x), with the ANSI code page
// fixed and no hooks installed. The destructor puts the stand-in back as it found it: the default
// root, the code page of the locale, the default module file name, no hooks; then removes the
// root.
class StandInRoot {
public:
    // folders: host paths relative to the root made at once ("c/windows", "d").
    explicit StandInRoot(std::initializer_list<const char*> folders = {},
                         std::uint32_t codePage = 1252);
    ~StandInRoot();
    StandInRoot(const StandInRoot&) = delete;
    StandInRoot& operator=(const StandInRoot&) = delete;

    // The root's host path, no separator at the end.
    const std::string& Host() const { return folder_.Path(); }
    // The host path of a Windows path; throws std::runtime_error for a name the code page cannot
    // hold.
    std::string Host(const std::string& windowsPath) const;

private:
    TempFolder folder_;
    ScopedHooks hooks_;
};

} // namespace kq::test
