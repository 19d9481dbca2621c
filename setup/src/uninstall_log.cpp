#include "setup/uninstall_log.h"

#include "platform/files.h"
#include "platform/profile.h"

#include <utility>

namespace kq {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The system's writer compares names without regard to ASCII case.
std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return folded;
}

// A key the fast way can append exactly as the system's writer would.
bool IsPlainKey(const std::string& key) {
    if (key.empty() || IsBlank(key.front()) || IsBlank(key.back()) || key.front() == '[' ||
        key.front() == ';') {
        return false;
    }
    // Names beyond ASCII compare by the system's rules for the code page: left to it.
    for (char c : key) {
        if (c == '=' || c == '\r' || c == '\n' || c == '\0' ||
            static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool IsPlainValue(const std::string& value) {
    if (!value.empty() && IsBlank(value.front())) {
        return false;
    }
    for (char c : value) {
        if (c == '\r' || c == '\n' || c == '\0') {
            return false;
        }
    }
    return true;
}

std::string ReadWhole(const std::string& fileName, bool& exists) {
    File file(fileName, FileMode::Read);
    exists = file.IsOpen();
    std::string bytes;
    if (!exists) {
        return bytes;
    }
    const std::int64_t size = file.Size();
    if (size <= 0 || size > 0x7FFFFFFF) {
        return bytes;
    }
    bytes.resize(static_cast<std::size_t>(size));
    const std::int32_t read = file.Read(bytes.data(), static_cast<std::int32_t>(size));
    bytes.resize(read < 0 ? 0 : static_cast<std::size_t>(read));
    return bytes;
}

} // namespace

TUninstallLog::TUninstallLog(AnsiString fileName, AnsiString section)
    : fileName_(std::move(fileName)), section_(std::move(section)) {}

bool TUninstallLog::Write(const AnsiString& key, const AnsiString& value) {
    if (!indexed_) {
        Index();
    }
    if (!fast_ || !IsPlainKey(key) || !IsPlainValue(value)) {
        return WriteThroughSystem(key, value);
    }

    const auto found = values_.find(Folded(key));
    if (found == values_.end()) {
        const std::string line = key + "=" + value + "\r\n";
        if (!WriteAt(size_, line)) {
            return WriteThroughSystem(key, value);
        }
        values_.emplace(Folded(key),
                        Value{size_ + static_cast<std::int64_t>(key.size()) + 1, value.size()});
        size_ += static_cast<std::int64_t>(line.size());
        return true;
    }
    if (found->second.length != value.size()) {
        return WriteThroughSystem(key, value);
    }
    return WriteAt(found->second.offset, value) || WriteThroughSystem(key, value);
}

bool TUninstallLog::Write(const AnsiString& key1, const AnsiString& value1, const AnsiString& key2,
                          const AnsiString& value2) {
    if (!indexed_) {
        Index();
    }
    const std::string folded1 = Folded(key1);
    const std::string folded2 = Folded(key2);
    // Each key on its own; a failure leaves its own reason, not what the second key met.
    const auto each = [&](bool (TUninstallLog::*write)(const AnsiString&, const AnsiString&)) {
        const bool first = (this->*write)(key1, value1);
        const std::uint32_t reason = LastError();
        const bool second = (this->*write)(key2, value2);
        if (!first) {
            SetLastError(reason);
        }
        return first && second;
    };
    if (!fast_ || !IsPlainKey(key1) || !IsPlainValue(value1) || !IsPlainKey(key2) ||
        !IsPlainValue(value2) || folded1 == folded2 || values_.count(folded1) != 0 ||
        values_.count(folded2) != 0) {
        return each(&TUninstallLog::Write);
    }
    const std::string line1 = key1 + "=" + value1 + "\r\n";
    const std::string lines = line1 + key2 + "=" + value2 + "\r\n";
    if (!WriteAt(size_, lines)) {
        return each(&TUninstallLog::WriteThroughSystem);
    }
    values_.emplace(folded1,
                    Value{size_ + static_cast<std::int64_t>(key1.size()) + 1, value1.size()});
    values_.emplace(
        folded2,
        Value{size_ + static_cast<std::int64_t>(line1.size() + key2.size()) + 1, value2.size()});
    size_ += static_cast<std::int64_t>(lines.size());
    return true;
}

bool TUninstallLog::WriteThroughSystem(const AnsiString& key, const AnsiString& value) {
    // The system's writer gets the file to itself.
    file_.Close();
    position_ = -1;
    const bool written = WritePrivateProfileString(section_, key, value, fileName_);
    indexed_ = false;
    return written;
}

// The file stays open between keys: opening it costs more than writing a line. Keys appended one
// after the other need no seek.
bool TUninstallLog::WriteAt(std::int64_t offset, const std::string& bytes) {
    if (!file_.IsOpen()) {
        position_ = -1;
        if (!file_.Open(fileName_, FileMode::Write)) {
            return false;
        }
    }
    if ((position_ == offset || file_.Seek(offset, 0) == offset) &&
        file_.Write(bytes.data(), static_cast<std::int32_t>(bytes.size())) ==
            static_cast<std::int32_t>(bytes.size())) {
        position_ = offset + static_cast<std::int64_t>(bytes.size());
        return true;
    }
    // What reached the file is unknown: read it again before the next key.
    file_.Close();
    position_ = -1;
    indexed_ = false;
    return false;
}

// A new log begins with its section line, as the system's writer begins one; then the first
// file's two keys go in one write like every other file's, and a run ended between them cannot
// leave a file named without its stamp.
void TUninstallLog::StartFile() {
    const std::string line = "[" + section_ + "]\r\n";
    const auto length = static_cast<std::int32_t>(line.size());
    File created(fileName_, FileMode::Create);
    if (created.IsOpen() && created.Write(line.data(), length) == length && created.Close()) {
        size_ = length;
        fast_ = true;
    }
}

// The fast way needs the section last in the file and every line of it in the writer's form.
void TUninstallLog::Index() {
    file_.Close();
    position_ = -1;
    indexed_ = true;
    fast_ = false;
    values_.clear();
    bool exists = false;
    const std::string bytes = ReadWhole(fileName_, exists);
    size_ = static_cast<std::int64_t>(bytes.size());
    if (!exists && !FileExists(fileName_)) {
        StartFile();
        return;
    }
    if (!exists || bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0) {
        return;
    }

    // The last section line, and the name it opens.
    std::size_t lineStart = 0;
    std::size_t sectionEnd = std::string::npos; // just after the section's line
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            return;
        }
        std::size_t first = at;
        while (first < end && IsBlank(bytes[first])) {
            ++first;
        }
        if (first < end && bytes[first] == '[') {
            lineStart = at;
            sectionEnd = end + 2;
        }
        at = end + 2;
    }
    if (sectionEnd == std::string::npos ||
        Folded(bytes.substr(lineStart, sectionEnd - 2 - lineStart)) !=
            Folded("[" + section_ + "]")) {
        return;
    }

    for (std::size_t at = sectionEnd; at < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", at);
        const std::string line = bytes.substr(at, end - at);
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            return;
        }
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (!IsPlainKey(key) || !IsPlainValue(value) ||
            !values_
                 .emplace(Folded(key),
                          Value{static_cast<std::int64_t>(at + equals + 1), value.size()})
                 .second) {
            return;
        }
        at = end + 2;
    }
    fast_ = true;
}

} // namespace kq
