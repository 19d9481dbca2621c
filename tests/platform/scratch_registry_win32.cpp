#include "platform/win32_api.h"
#include "scratch_registry.h"

namespace kq::test {

namespace {

const char* const testsKey = "Software\\KavoruQyn Tests";

} // namespace

ScratchRegistryKey::ScratchRegistryKey() {
    static int counter = 0;
    path_ = std::string(testsKey) + "\\" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); // left over by a killed run
}

ScratchRegistryKey::~ScratchRegistryKey() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, testsKey); // only when no other run still uses it
}

} // namespace kq::test
