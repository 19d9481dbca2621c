// Test support: a fresh, empty folder of the host for one test.
#pragma once

#include <string>

namespace kq::test {

// A folder of a unique name in the temporary folder (TMPDIR natively, else /tmp; the system's
// temporary folder under Windows). The destructor makes the current folder the one it was when
// the folder was made, then removes the folder with everything in it, read-only files included.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The host's form ("/tmp/kq-test-Ab12Cd", "C:\users\me\Temp\kq-test-12-1"), no separator at
    // the end.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const;

    // Makes the folder the current folder until the destructor.
    void Enter() const;

private:
    std::string path_;
    std::string savedCurrentFolder_;
};

} // namespace kq::test
