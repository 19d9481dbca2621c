#include "platform/profile.h"

#include "base/ini_text.h"
#include "platform/win32_api.h"

namespace kq {

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& fileName) {
    if (!ini::IsWritable(section, key, value)) {
        SetLastError(err::InvalidParameter);
        return false;
    }
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        fileName.c_str()) != 0;
}

} // namespace kq
