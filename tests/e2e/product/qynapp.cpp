// Stands in for the installed program in the installation tests: when started it leaves
// "qynapp.ran" in its current folder, holding its command line and that folder, and ends.
#include <windows.h>

namespace {

bool WriteLine(HANDLE file, const char* text) {
    DWORD written = 0;
    const DWORD length = lstrlenA(text);
    return WriteFile(file, text, length, &written, nullptr) && written == length &&
           WriteFile(file, "\r\n", 2, &written, nullptr) && written == 2;
}

} // namespace

int main() {
    char folder[MAX_PATH + 1];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) {
        return 1;
    }
    // Written beside and renamed, so a reader never sees half a file.
    HANDLE file = CreateFileA("qynapp.ran.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    const bool written = WriteLine(file, GetCommandLineA()) && WriteLine(file, folder);
    CloseHandle(file);
    return written && MoveFileExA("qynapp.ran.tmp", "qynapp.ran", MOVEFILE_REPLACE_EXISTING) ? 0
                                                                                             : 1;
}
