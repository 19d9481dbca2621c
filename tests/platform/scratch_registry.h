#pragma once

// Test support: a registry key of the current user for one test. Natively it lives in the
// stand-in registry of a ScratchFolder's fresh root, which goes away with the folder (create the
// ScratchFolder first); under Windows it is a key of the real registry, removed with everything
// below it by the destructor.

#include <string>

namespace kq::test {

class ScratchRegistryKey {
public:
    ScratchRegistryKey();
    ~ScratchRegistryKey();
    ScratchRegistryKey(const ScratchRegistryKey&) = delete;
    ScratchRegistryKey& operator=(const ScratchRegistryKey&) = delete;

    // Relative to the current user's root, without a trailing backslash; not yet created.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

} // namespace kq::test
