// The stand-in's registry of the current user: a text file under the root, read afresh by every
// operation and rewritten as a whole (temporary file, then rename) by every change. registry.h
// describes the file's form.

#include "platform/registry.h"

#include "../shared/checks.h"
#include "../shared/registry_values.h"
#include "platform/codepage.h"
#include "platform/standin.h"
#include "platform/standin_faults.h"
#include "standin_internal.h"
#include "whole_files.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kq {

namespace {

struct Value {
    std::string name;
    std::uint32_t type = reg::None;
    std::string data;
};

struct Key {
    std::string path;
    std::vector<Value> values;
};

using Hive = std::vector<Key>; // in the file's order

constexpr const char* shellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

const char fileHeader[] =
    "# Registry of the current user (stand-in). A [path] line opens a key; each\n"
    "# name=type:data line below it is one of its values. Bytes below 0x20, from 0x7F up\n"
    "# and % are written %XX; so are = # [ in names. Type 1 is a string, 4 a DWORD (4 bytes,\n"
    "# low first). The empty name is the key's default value.\n";

// Key and value names compare as the stand-in compares names: the ASCII letters folded.
bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return CompareStringIgnoreCase(a, b) == 0;
}

// The parts of a key path, empty ones dropped.
std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c == '\\') {
            if (!part.empty()) {
                parts.push_back(std::move(part));
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) {
        parts.push_back(std::move(part));
    }
    return parts;
}

std::string JoinedParts(const std::vector<std::string>& parts, std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        path += (i == 0 ? "" : "\\") + parts[i];
    }
    return path;
}

// --- The file's escapes ---

bool NeedsEscape(unsigned char byte, bool inName) {
    return byte < 0x20 || byte >= 0x7F || byte == '%' ||
           (inName && (byte == '=' || byte == '#' || byte == '['));
}

std::string Escaped(const std::string& bytes, bool inName) {
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (NeedsEscape(byte, inName)) {
            text += '%';
            text += hex[byte >> 4];
            text += hex[byte & 0xF];
        } else {
            text += c;
        }
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = standin::ToLowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool Unescape(const std::string& text, std::string& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return false;
        }
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes += static_cast<char>(high << 4 | low);
        i += 2;
    }
    return true;
}

// --- Reading and writing the file ---

Key* FindKey(Hive& hive, const std::string& path) {
    for (Key& key : hive) {
        if (EqualIgnoringCase(key.path, path)) {
            return &key;
        }
    }
    return nullptr;
}

Value* FindValue(Key& key, const std::string& name) {
    for (Value& value : key.values) {
        if (EqualIgnoringCase(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void StoreValue(Key& key, Value value) {
    if (Value* existing = FindValue(key, value.name)) {
        existing->type = value.type;
        existing->data = std::move(value.data);
    } else {
        key.values.push_back(std::move(value));
    }
}

bool ParseType(const std::string& digits, std::uint32_t& type) {
    if (digits.empty() || digits.size() > 10) {
        return false;
    }
    std::uint64_t number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return false;
        }
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    type = static_cast<std::uint32_t>(number);
    return number <= 0xFFFFFFFFu;
}

bool ParseValueLine(const std::string& line, Value& value) {
    const std::string::size_type equals = line.find('=');
    const std::string::size_type colon =
        equals == std::string::npos ? std::string::npos : line.find(':', equals);
    return colon != std::string::npos && Unescape(line.substr(0, equals), value.name) &&
           ParseType(line.substr(equals + 1, colon - equals - 1), value.type) &&
           Unescape(line.substr(colon + 1), value.data);
}

// False when a line follows none of the file's forms.
bool ParseHive(const std::string& text, Hive& hive) {
    Key* current = nullptr;
    for (const std::string& line : standin::LinesOf(text)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            std::string path;
            if (line.size() < 2 || line.back() != ']' ||
                !Unescape(line.substr(1, line.size() - 2), path)) {
                return false;
            }
            const std::vector<std::string> parts = PathParts(path);
            path = JoinedParts(parts, parts.size());
            current = FindKey(hive, path);
            if (current == nullptr) {
                hive.push_back(Key{path, {}});
                current = &hive.back();
            }
            continue;
        }
        Value value;
        if (current == nullptr || !ParseValueLine(line, value)) {
            return false;
        }
        StoreValue(*current, std::move(value));
    }
    return true;
}

std::string FormattedHive(const Hive& hive) {
    std::string text = fileHeader;
    for (const Key& key : hive) {
        text += "\n[" + Escaped(key.path, false) + "]\n";
        for (const Value& value : key.values) {
            text += Escaped(value.name, true) + "=" + std::to_string(value.type) + ":" +
                    Escaped(value.data, false) + "\n";
        }
    }
    return text;
}

std::string HiveFolder() {
    return RootFolder() + "/registry";
}

std::string HiveFile(TRegistryRoot root) {
    return HiveFolder() + (root == TRegistryRoot::LocalMachine ? "/HKLM.txt" : "/HKCU.txt");
}

bool SaveHive(TRegistryRoot root, const Hive& hive) {
    return standin::MakeHostFolders(HiveFolder()) &&
           standin::ReplaceWholeFile(HiveFile(root), FormattedHive(hive));
}

std::string HostUserName() {
    if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') {
        return user;
    }
    if (const struct passwd* entry = ::getpwuid(::getuid()); entry != nullptr) {
        return entry->pw_name;
    }
    return "user";
}

// The folders of a fresh Windows profile, as the shell's registry key names them.
Hive DefaultHive() {
    const std::string profile =
        "C:\\users\\" + standin::Utf8ToAnsi(HostUserName(), GetACP()) + "\\";
    const std::string appData = profile + "AppData\\Roaming";
    const std::string startMenu = appData + "\\Microsoft\\Windows\\Start Menu";
    Key folders{shellFoldersKey,
                {
                    {"AppData", reg::Sz, appData},
                    {"Desktop", reg::Sz, profile + "Desktop"},
                    {"Programs", reg::Sz, startMenu + "\\Programs"},
                    {"Start Menu", reg::Sz, startMenu},
                    {"Startup", reg::Sz, startMenu + "\\Programs\\Startup"},
                }};
    Hive hive;
    const std::vector<std::string> parts = PathParts(folders.path);
    for (std::size_t count = 1; count < parts.size(); ++count) {
        hive.push_back(Key{JoinedParts(parts, count), {}});
    }
    hive.push_back(std::move(folders));
    return hive;
}

void CreateDefaultFolders(const Hive& hive) {
    for (const Key& key : hive) {
        for (const Value& value : key.values) {
            if (const std::optional<std::string> host = HostPath(value.data)) {
                standin::MakeHostFolders(*host);
            }
        }
    }
}

// The registry as the file holds it now; a missing file of the current user is created with the
// defaults, a missing one of the machine is empty.
bool LoadHive(TRegistryRoot root, Hive& hive) {
    std::string text;
    bool missing = false;
    if (!standin::ReadWholeFile(HiveFile(root), text, missing)) {
        if (!missing) {
            return false;
        }
        if (root == TRegistryRoot::LocalMachine) {
            hive.clear();
            return true;
        }
        hive = DefaultHive();
        CreateDefaultFolders(hive);
        return SaveHive(root, hive);
    }
    hive.clear();
    if (!ParseHive(text, hive)) {
        SetLastError(err::RegistryCorrupt);
        return false;
    }
    return true;
}

} // namespace

RegKey::~RegKey() {
    Close();
}

RegKey::RegKey(RegKey&& other) noexcept
    : handle_(std::exchange(other.handle_, 0)), path_(std::move(other.path_)), root_(other.root_),
      writable_(other.writable_) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        handle_ = std::exchange(other.handle_, 0);
        path_ = std::move(other.path_);
        root_ = other.root_;
        writable_ = other.writable_;
    }
    return *this;
}

bool RegKey::Create(TRegistryRoot root, const std::string& subKey) {
    Close();
    Hive hive;
    if (!LoadHive(root, hive)) {
        return false;
    }
    // Each missing level gets its own key, spelled as the existing levels above it are.
    std::string path;
    bool added = false;
    for (const std::string& part : PathParts(subKey)) {
        const std::string wanted = path.empty() ? part : path + "\\" + part;
        if (const Key* existing = FindKey(hive, wanted)) {
            path = existing->path;
        } else {
            path = wanted;
            hive.push_back(Key{path, {}});
            added = true;
        }
    }
    if (added && (standin::FaultInjected(FaultKind::RegistryWrite) || !SaveHive(root, hive))) {
        return false;
    }
    handle_ = 1;
    path_ = path;
    root_ = root;
    writable_ = true;
    return true;
}

bool RegKey::Open(TRegistryRoot root, const std::string& subKey) {
    Close();
    Hive hive;
    if (!LoadHive(root, hive)) {
        return false;
    }
    const std::vector<std::string> parts = PathParts(subKey);
    const Key* key = FindKey(hive, JoinedParts(parts, parts.size()));
    if (key == nullptr && !parts.empty()) {
        SetLastError(err::FileNotFound);
        return false;
    }
    handle_ = 1;
    path_ = key != nullptr ? key->path : std::string();
    root_ = root;
    writable_ = false;
    return true;
}

void RegKey::Close() {
    handle_ = 0;
    path_.clear();
    writable_ = false;
}

bool RegKey::QueryValue(const std::string& name, RegistryValue& value) const {
    if (!checks::IsOpen(IsOpen())) {
        return false;
    }
    Hive hive;
    if (!LoadHive(root_, hive)) {
        return false;
    }
    Key* key = FindKey(hive, path_);
    Value* found = key != nullptr ? FindValue(*key, name) : nullptr;
    if (found == nullptr) {
        SetLastError(err::FileNotFound);
        return false;
    }
    value = registry::AsRead(found->type, found->data);
    return true;
}

bool RegKey::SetValue(const std::string& name, std::uint32_t type, const std::string& data) {
    if (!checks::IsOpen(IsOpen())) {
        return false;
    }
    if (!writable_) {
        SetLastError(err::AccessDenied);
        return false;
    }
    Hive hive;
    if (!LoadHive(root_, hive)) {
        return false;
    }
    Key* key = FindKey(hive, path_);
    if (key == nullptr && path_.empty()) {
        hive.push_back(Key{}); // the root has no line of its own until it holds a value
        key = &hive.back();
    }
    if (key == nullptr) {
        // Someone rewrote the file and left this key out; Windows calls a key that went away
        // while open "deleted".
        SetLastError(err::KeyDeleted);
        return false;
    }
    StoreValue(*key, Value{name, type, data});
    return !standin::FaultInjected(FaultKind::RegistryWrite) && SaveHive(root_, hive);
}

} // namespace kq
