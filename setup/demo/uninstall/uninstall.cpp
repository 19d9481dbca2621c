// UnInstall.exe of the demo product: reads the uninstall log the wizard wrote beside it and
// shows what a real uninstaller would remove. This one removes nothing.
//
// The log is a profile file, section "Qyn": key N holds the path of the N-th installed file
// relative to the install folder, key DN its time stamp when installed.
#include <string>
#include <vector>
#include <windows.h>

namespace {

const char* const kCaption = "Uninstall KavoruQyn (demo)";
constexpr std::size_t kShownFiles = 20;

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// The values of the path keys (the ones whose names are all digits), in the log's order.
std::vector<std::string> LoggedFiles(const std::string& log) {
    std::vector<char> section(64 * 1024);
    const DWORD length = GetPrivateProfileSectionA("Qyn", section.data(),
                                                   static_cast<DWORD>(section.size()), log.c_str());
    std::vector<std::string> files;
    for (const char* line = section.data(); line < section.data() + length && *line != '\0';
         line += std::char_traits<char>::length(line) + 1) {
        const std::string entry = line;
        const std::size_t equals = entry.find('=');
        if (equals != 0 && equals != std::string::npos &&
            entry.find_first_not_of("0123456789") == equals) {
            files.push_back(entry.substr(equals + 1));
        }
    }
    return files;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string folder = ProgramFolder();
    const std::vector<std::string> files = LoggedFiles(folder + "Uninstall.log");
    std::string text = "This demo uninstaller removes nothing.\r\n\r\n";
    if (files.empty()) {
        text += "No Uninstall.log with installed files was found in " + folder + ".";
    } else {
        text += "A real one would remove these " + std::to_string(files.size()) + " files from " +
                folder + ":\r\n";
        for (std::size_t i = 0; i < files.size() && i < kShownFiles; ++i) {
            text += "    " + files[i] + "\r\n";
        }
        if (files.size() > kShownFiles) {
            text += "    ...\r\n";
        }
    }
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONINFORMATION);
    return 0;
}
