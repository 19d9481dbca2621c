#include "../shared/checks.h"
#include "../shared/registry_values.h"
#include "platform/win32_api.h"

#include <utility>
#include <vector>

namespace kq {

namespace {

HKEY Key(std::intptr_t handle) {
    return reinterpret_cast<HKEY>(handle);
}

// The path without empty parts: Windows refuses a leading "\" and a doubled one.
std::string Normalised(const std::string& subKey) {
    std::string path;
    std::string::size_type start = 0;
    while (start <= subKey.size()) {
        std::string::size_type end = subKey.find('\\', start);
        if (end == std::string::npos) {
            end = subKey.size();
        }
        if (end > start) {
            if (!path.empty()) {
                path += '\\';
            }
            path.append(subKey, start, end - start);
        }
        start = end + 1;
    }
    return path;
}

HKEY RootKey(TRegistryRoot root) {
    return root == TRegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Registry calls return their error instead of leaving it for GetLastError.
bool RegSucceeded(LONG result) {
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<std::uint32_t>(result));
        return false;
    }
    return true;
}

} // namespace

RegKey::~RegKey() {
    Close();
}

RegKey::RegKey(RegKey&& other) noexcept : handle_(std::exchange(other.handle_, 0)) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
}

bool RegKey::Create(TRegistryRoot root, const std::string& subKey) {
    Close();
    HKEY key = nullptr;
    if (!RegSucceeded(::RegCreateKeyExA(RootKey(root), Normalised(subKey).c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                                        &key, nullptr))) {
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(key);
    return true;
}

bool RegKey::Open(TRegistryRoot root, const std::string& subKey) {
    Close();
    HKEY key = nullptr;
    if (!RegSucceeded(
            ::RegOpenKeyExA(RootKey(root), Normalised(subKey).c_str(), 0, KEY_READ, &key))) {
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(key);
    return true;
}

void RegKey::Close() {
    if (IsOpen()) {
        ::RegCloseKey(Key(std::exchange(handle_, 0)));
    }
}

bool RegKey::QueryValue(const std::string& name, RegistryValue& value) const {
    if (!checks::IsOpen(IsOpen())) {
        return false;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (!RegSucceeded(
            ::RegQueryValueExA(Key(handle_), name.c_str(), nullptr, &type, nullptr, &size))) {
        return false;
    }
    // The value may grow between the two calls; ask again until it fits.
    std::vector<BYTE> buffer;
    LONG result = ERROR_MORE_DATA;
    while (result == ERROR_MORE_DATA) {
        buffer.resize(size + 1);
        size = static_cast<DWORD>(buffer.size());
        result =
            ::RegQueryValueExA(Key(handle_), name.c_str(), nullptr, &type, buffer.data(), &size);
    }
    if (!RegSucceeded(result)) {
        return false;
    }
    value = registry::AsRead(type, std::string(reinterpret_cast<const char*>(buffer.data()), size));
    return true;
}

bool RegKey::SetValue(const std::string& name, std::uint32_t type, const std::string& data) {
    if (!checks::IsOpen(IsOpen())) {
        return false;
    }
    const std::string stored = registry::IsStringType(type) ? data + '\0' : data;
    return RegSucceeded(::RegSetValueExA(Key(handle_), name.c_str(), 0, type,
                                         reinterpret_cast<const BYTE*>(stored.data()),
                                         static_cast<DWORD>(stored.size())));
}

} // namespace kq
