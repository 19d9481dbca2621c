#include "window_finder.h"

namespace kqdriver {
namespace {

std::string AtomProperty(HWND w, const char* property) {
    // The property's value is the atom itself, not a pointer.
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(w, property)));
    if (atom == 0) {
        return {};
    }
    char name[256];
    const UINT length = GlobalGetAtomNameA(atom, name, sizeof name);
    return std::string(name, length);
}

struct Collector {
    DWORD pid;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectTopLevel(HWND w, LPARAM lp) {
    auto* c = reinterpret_cast<Collector*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (c->pid == 0 || owner == c->pid) {
        c->windows->push_back(w);
    }
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND w, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

} // namespace

std::string ComponentName(HWND w) {
    return AtomProperty(w, "KavoruQyn.Name");
}
std::string ComponentClass(HWND w) {
    return AtomProperty(w, "KavoruQyn.Class");
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
    std::vector<HWND> windows;
    Collector c{pid, &windows};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&c));
    return windows;
}

std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> windows;
    // EnumChildWindows walks the whole subtree, parents first.
    EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> AllWindows(DWORD pid) {
    std::vector<HWND> windows;
    for (HWND top : TopLevelWindows(pid)) {
        windows.push_back(top);
        for (HWND child : Descendants(top)) {
            windows.push_back(child);
        }
    }
    return windows;
}

std::string Caption(HWND w) {
    char text[1024];
    const int length = GetWindowTextA(w, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

bool SendWithin(HWND w, UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs, DWORD_PTR* result) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG, timeoutMs,
                               result != nullptr ? result : &ignored) != 0;
}

std::string WindowText(HWND w) {
    constexpr DWORD answerMs = 5000;
    DWORD_PTR length = 0;
    if (!SendWithin(w, WM_GETTEXTLENGTH, 0, 0, answerMs, &length)) {
        throw Failure("the window does not answer WM_GETTEXTLENGTH");
    }
    // The length may be an upper bound (double-byte text); WM_GETTEXT says what it copied.
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendWithin(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), answerMs,
                    &copied)) {
        throw Failure("the window does not answer WM_GETTEXT");
    }
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

std::string WindowClassName(HWND w) {
    char name[256];
    const int length = GetClassNameA(w, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

std::string WithoutAccelerator(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

} // namespace kqdriver
