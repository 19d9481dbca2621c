// The functions of the shell, COM and the common dialogs are found in the system folder only:
// a DLL of the same name elsewhere in the search (a downloads folder) is never loaded.

#include "base/scope_exit.h"
#include "platform/win32_system_functions.h"
#include "test/scratch_folder.h"

#include <gtest/gtest.h>
#include <string>

namespace kq {
namespace {

// Windows compares paths without regard to case.
std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The folder of the module holding the address, in lower case, without its last backslash.
std::string FolderOfModule(FARPROC address) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCSTR>(address), &module)) {
        return "";
    }
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
    const std::string file(path, length);
    return Lower(file.substr(0, file.find_last_of('\\')));
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    return Lower(std::string(path, ::GetSystemDirectoryA(path, MAX_PATH)));
}

TEST(SystemFunctions, FoundInTheSystemFolderOrReportedMissing) {
    struct Case {
        const char* name;
        const char* dll;
        const char* function;
        DWORD error; // 0: found
    };
    const Case cases[] = {
        {"COM", "ole32.dll", "CoTaskMemAlloc", 0},
        {"the shell", "shell32.dll", "SHGetDesktopFolder", 0},
        {"the common dialogs", "comdlg32.dll", "GetOpenFileNameA", 0},
        {"no such function", "ole32.dll", "KqNoSuchFunction", ERROR_PROC_NOT_FOUND},
        {"no such DLL", "kqnosuch.dll", "CoTaskMemAlloc", ERROR_MOD_NOT_FOUND},
    };
    for (const Case& c : cases) {
        ::SetLastError(0);
        const FARPROC found = win32::FindSystemFunction(c.dll, c.function);
        if (c.error == 0) {
            ASSERT_NE(found, nullptr) << c.name << ": " << ::GetLastError();
            EXPECT_EQ(FolderOfModule(found), SystemFolder()) << c.name;
        } else {
            EXPECT_EQ(found, nullptr) << c.name;
            EXPECT_EQ(::GetLastError(), c.error) << c.name;
        }
    }
}

// KQ_PLANTED_DLL leaves "<its file>.loaded" beside itself when loaded. Planted in the current
// folder, which is also made a folder of the process's default search (as the program's own
// folder is), so that a plain LoadLibraryA would take it, whatever an earlier test restricted.
TEST(SystemFunctions, ADllOutsideTheSystemFolderIsNeverLoaded) {
    test::ScratchFolder scratch;
    for (const char* name : {"version.dll", "kqplanted.dll"}) {
        ASSERT_TRUE(::CopyFileA(KQ_PLANTED_DLL, (scratch / name).c_str(), FALSE)) << name;
    }
    ASSERT_TRUE(::SetCurrentDirectoryA(scratch.Path().c_str()));
    const std::wstring wideFolder(scratch.Path().begin(), scratch.Path().end());
    const DLL_DIRECTORY_COOKIE added = ::AddDllDirectory(wideFolder.c_str());
    ASSERT_NE(added, nullptr) << ::GetLastError();
    ASSERT_TRUE(::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS));
    // Back to the search HardenDllSearch leaves.
    ScopeExit restore([added] {
        ::RemoveDllDirectory(added);
        ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    });

    // A system DLL's name: the system folder's DLL, not the planted one.
    const FARPROC systems = win32::FindSystemFunction("version.dll", "GetFileVersionInfoSizeA");
    ASSERT_NE(systems, nullptr) << ::GetLastError();
    EXPECT_EQ(FolderOfModule(systems), SystemFolder());
    // A name only the planted folder has: not found at all.
    EXPECT_EQ(win32::FindSystemFunction("kqplanted.dll", "DllMain"), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(::GetFileAttributesA((scratch / "version.dll.loaded").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA((scratch / "kqplanted.dll.loaded").c_str()),
              INVALID_FILE_ATTRIBUTES);

    // The check can see a planted DLL at all: the process's own search gets it.
    const HMODULE planted = ::LoadLibraryA("kqplanted.dll");
    ASSERT_NE(planted, nullptr) << ::GetLastError();
    ::FreeLibrary(planted);
    EXPECT_NE(::GetFileAttributesA((scratch / "kqplanted.dll.loaded").c_str()),
              INVALID_FILE_ATTRIBUTES)
        << "the planted DLL left no marker: the checks above prove nothing";
}

} // namespace
} // namespace kq
