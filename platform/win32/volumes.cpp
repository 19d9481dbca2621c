#include "platform/volumes.h"

#include "platform/win32_api.h"

namespace kq {

std::uint32_t GetDriveType(const std::string& root) {
    return ::GetDriveTypeA(root.empty() ? nullptr : root.c_str());
}

bool GetVolumeLabel(const std::string& root, std::string& label) {
    char buffer[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationA(root.empty() ? nullptr : root.c_str(), buffer, sizeof buffer,
                                 nullptr, nullptr, nullptr, nullptr, 0)) {
        return false;
    }
    label = buffer;
    return true;
}

bool GetDiskFreeSpace(const std::string& folder, std::uint64_t& freeBytes) {
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) {
        return false;
    }
    freeBytes = available.QuadPart;
    return true;
}

} // namespace kq
