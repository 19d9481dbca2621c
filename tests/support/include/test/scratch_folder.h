// Test support: a fresh folder in Windows form for one test, on both platforms.
#pragma once

#include <string>

#ifdef _WIN32
#include "test/temp_folder.h"
#else
#include "test/standin_root.h"
#endif

namespace kq::test {

// Natively "C:\scratch\" of a fresh StandInRoot (code page 1252, no hooks, all put back
// afterwards); under Windows a TempFolder. Either way the current folder is restored and
// everything removed at the end. Relative paths (the fixtures, the corpus) keep working in both,
// since the tests run from the project root.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Windows form, ending in a backslash.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
#ifdef _WIN32
    TempFolder folder_;
#else
    StandInRoot root_;
#endif
    std::string path_;
};

} // namespace kq::test
