#include "keys.h"

#include "window_finder.h"

#include <cctype>
#include <utility>
#include <vector>

namespace kqdriver {

namespace {

struct NamedKey {
    const char* name;
    WORD key;
};

constexpr NamedKey namedKeys[] = {
    {"Enter", VK_RETURN}, {"Tab", VK_TAB},      {"Esc", VK_ESCAPE}, {"Space", VK_SPACE},
    {"Left", VK_LEFT},    {"Right", VK_RIGHT},  {"Up", VK_UP},      {"Down", VK_DOWN},
    {"Shift", VK_SHIFT},  {"Ctrl", VK_CONTROL}, {"Alt", VK_MENU},
};

bool SameWord(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

// A key by name, or a letter or digit, which is its own virtual-key code in upper case.
WORD KeyOf(const std::string& word) {
    for (const NamedKey& k : namedKeys) {
        if (SameWord(word, k.name)) {
            return k.key;
        }
    }
    if (word.size() == 1 && std::isalnum(static_cast<unsigned char>(word[0]))) {
        return static_cast<WORD>(std::toupper(static_cast<unsigned char>(word[0])));
    }
    throw Failure("no key named \"" + word + "\"");
}

std::vector<WORD> Chord(const std::string& chord) {
    std::vector<WORD> keys;
    std::size_t start = 0;
    for (;;) {
        const std::size_t plus = chord.find('+', start);
        keys.push_back(KeyOf(chord.substr(start, plus - start)));
        if (plus == std::string::npos) {
            return keys;
        }
        start = plus + 1;
    }
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// A window just shown comes to the foreground a moment later, when the window manager has
// activated it: keys and the focus wait for that, up to the session's wait.
HWND ForegroundOf(const Session& s) {
    const auto foreground = WaitFor(s, s.waitMs, [&s]() -> std::optional<HWND> {
        HWND w = GetForegroundWindow();
        DWORD pid = 0;
        if (w != nullptr) {
            GetWindowThreadProcessId(w, &pid);
        }
        return w != nullptr && (s.pid == 0 || pid == s.pid) ? std::optional<HWND>(w) : std::nullopt;
    });
    if (!foreground) {
        throw Failure("no window of the program is in the foreground (waited " +
                      std::to_string(s.waitMs) + " ms)");
    }
    return *foreground;
}

// The program has handled the keys once its input queue is empty; a message sent to it is
// answered only between two of its messages, so a short pause and an answer bracket them.
void LetItHandle(HWND foreground) {
    Sleep(100);
    DWORD_PTR ignored = 0;
    SendWithin(foreground, WM_NULL, 0, 0, 5000, &ignored);
    Sleep(50);
}

} // namespace

std::string PressKeys(Session& s, const std::vector<std::string>& chords) {
    for (const std::string& chord : chords) {
        const HWND foreground = ForegroundOf(s);
        std::vector<INPUT> inputs;
        const std::vector<WORD> keys = Chord(chord);
        for (WORD key : keys) {
            inputs.push_back(KeyInput(key, false));
        }
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            inputs.push_back(KeyInput(*key, true));
        }
        const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (sent != inputs.size()) {
            throw Failure("the system took " + std::to_string(sent) + " of " +
                          std::to_string(inputs.size()) + " key events of " + chord);
        }
        LetItHandle(foreground);
    }
    return "pressed";
}

std::string FocusedWindow(Session& s) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    // A window just shown gets the focus a moment later (much later on a busy machine): "nothing"
    // only when none has come within the session's wait.
    const DWORD start = GetTickCount();
    for (;;) {
        const HWND foreground = ForegroundOf(s);
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info)) {
            throw Failure("cannot read the program's focus (error " +
                          std::to_string(GetLastError()) + ")");
        }
        if (info.hwndFocus != nullptr) {
            break;
        }
        if (GetTickCount() - start >= s.waitMs) {
            return "nothing";
        }
        Sleep(pollMs);
    }
    const std::string name = ComponentName(info.hwndFocus);
    if (!name.empty()) {
        return name;
    }
    return WindowClassName(info.hwndFocus) + " " + WindowText(info.hwndFocus);
}

} // namespace kqdriver
