#include "setup/folders.h"

#include "platform/folders.h"

namespace kq {

AnsiString GetWindowsDirPath() {
    AnsiString path = GetWindowsDirectory();
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

AnsiString GetProgramFilesDir() {
    return GetWindowsDirPath().substr(0, 3) + "Program Files\\";
}

} // namespace kq
