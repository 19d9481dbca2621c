#pragma once

// Test support: a fresh folder for each test, and the system's own view of file times, used to
// check the platform layer against something other than itself.

#include <string>

namespace kq::test {

// Natively the folder lies in a fresh stand-in root (with the ANSI code page fixed at 1252 for
// the test's duration); under Windows it lies in the temporary folder. The destructor restores
// the current folder and removes everything, read-only files included.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Windows form, ending in a backslash.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
    std::string savedCurrentFolder_;
    std::string hostRoot_;
};

struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};

// Sets and reads a file's modification time as local time through the system's own calls,
// not through the platform layer.
bool SetLocalModificationTime(const std::string& path, const LocalTime& time);
bool GetLocalModificationTime(const std::string& path, LocalTime& time);

// True when the Windows build runs under Wine, which differs from Windows in a few checks: it
// reports every regular file as archive, replaces hidden files, sets times through read-only
// handles and, run by root, lets writers open read-only files. Those checks are skipped there.
bool RunningUnderWine();

} // namespace kq::test
