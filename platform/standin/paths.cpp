// The stand-in's mapping of Windows paths onto one root folder of the host. See standin.h for
// the rules; the name bytes are converted to UTF-8 before the path is taken apart, because in
// the double-byte code pages (936, 950, 932) a trail byte may have the value of "\".

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/standin.h"
#include "standin_internal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <unistd.h>

namespace kq {

namespace {

std::string& ExplicitRoot() {
    static std::string root;
    return root;
}

std::string WithoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

std::string DefaultRoot() {
    if (const char* root = std::getenv("KQ_ROOT"); root != nullptr && *root != '\0') {
        return root;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return std::string(home) + "/.kavoruqyn";
    }
    return "/tmp/kavoruqyn-root";
}

// The root with no trailing slash, or empty for the host's "/" so that joining stays simple.
std::string RootPrefix(const std::string& root) {
    return root == "/" ? std::string() : root;
}

// The part of hostPath below root ("" for the root itself), or nothing when it lies elsewhere.
std::optional<std::string> BelowRoot(const std::string& hostPath, const std::string& root) {
    const std::string prefix = RootPrefix(root);
    if (hostPath == prefix) {
        return std::string();
    }
    if (hostPath.size() > prefix.size() && hostPath.compare(0, prefix.size(), prefix) == 0 &&
        hostPath[prefix.size()] == '/') {
        return hostPath.substr(prefix.size() + 1);
    }
    return std::nullopt;
}

std::string CanonicalRoot() {
    const std::string root = RootFolder();
    char resolved[PATH_MAX];
    return ::realpath(root.c_str(), resolved) != nullptr ? std::string(resolved) : root;
}

std::string HostCurrentDirectory() {
    std::string buffer(256, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            standin::FailWithErrno(errno);
            return std::string();
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer.c_str();
}

// The drive a path such as "\a" refers to: the current folder's, else C.
char CurrentDriveLetter() {
    const std::string windowsForm = standin::CurrentDirectoryUtf8();
    if (windowsForm.size() >= 2 && windowsForm[1] == ':') {
        return standin::ToLowerAscii(windowsForm[0]);
    }
    return 'c';
}

} // namespace

void SetRootFolder(const std::string& hostFolder) {
    ExplicitRoot() = hostFolder.empty() ? std::string() : WithoutTrailingSlashes(hostFolder);
}

std::string RootFolder() {
    return ExplicitRoot().empty() ? WithoutTrailingSlashes(DefaultRoot()) : ExplicitRoot();
}

std::optional<std::string> HostPath(const std::string& windowsPath) {
    const std::optional<std::string> utf8 = standin::AnsiToUtf8(windowsPath, GetACP());
    if (!utf8) {
        return std::nullopt;
    }
    return standin::HostPathFromUtf8(*utf8);
}

namespace standin {

std::string HostPathFromUtf8(const std::string& windowsPath) {
    std::string path = windowsPath;
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    const std::string root = RootPrefix(RootFolder());
    if (path.size() >= 2 && standin::IsAsciiLetter(path[0]) && path[1] == ':') {
        const std::string rest = path.substr(2);
        const std::string drive = root + "/" + standin::ToLowerAscii(path[0]);
        return rest.empty() || rest[0] == '/' ? drive + rest : drive + "/" + rest;
    }
    if (path.size() >= 2 && path[0] == '/' && path[1] == '/') {
        return root + "/unc/" + path.substr(2);
    }
    if (!path.empty() && path[0] == '/') {
        return root + "/" + CurrentDriveLetter() + path;
    }
    return path;
}

std::string WindowsFormOfHostPath(const std::string& hostPath) {
    std::optional<std::string> below = BelowRoot(hostPath, CanonicalRoot());
    if (!below) {
        below = BelowRoot(hostPath, RootFolder());
    }
    const bool namesDrive = below && !below->empty() && standin::IsAsciiLetter((*below)[0]) &&
                            (below->size() == 1 || (*below)[1] == '/');
    if (!namesDrive) {
        return hostPath;
    }
    std::string windowsForm = std::string(1, standin::ToUpperAscii((*below)[0])) + ":";
    windowsForm += below->size() == 1 ? "/" : below->substr(1);
    for (char& c : windowsForm) {
        if (c == '/') {
            c = '\\';
        }
    }
    return windowsForm;
}

std::string CurrentDirectoryUtf8() {
    const std::string host = HostCurrentDirectory();
    return host.empty() ? host : WindowsFormOfHostPath(host);
}

} // namespace standin

} // namespace kq
