#include "base/ini_text.h"
#include "log_format.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "setup/uninstall_log.h"

#include <algorithm>
#include <utility>

namespace kq {

namespace {

// A key the fast way can append exactly as the system's writer would.
bool IsPlainKey(const std::string& key) {
    // Names beyond ASCII compare by the system's rules for the code page: left to it.
    const bool ascii = std::all_of(key.begin(), key.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii && !key.empty() && !ini::IsBlank(key.front()) && !ini::IsBlank(key.back()) &&
           key.front() != '[' && key.front() != ';' && key.find('=') == std::string::npos &&
           !ini::BreaksLines(key);
}

bool IsPlainValue(const std::string& value) {
    return (value.empty() || !ini::IsBlank(value.front())) && !ini::BreaksLines(value);
}

// A line the system's writer takes for a section's.
bool IsSectionLine(std::string_view line) {
    return ini::ReadLine(line, ini::kProfileWriter).kind == ini::TLineKind::Section;
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

    const auto found = values_.find(ini::FoldedName(key));
    if (found == values_.end()) {
        const std::string line = ini::EntryLine(key, value);
        if (!WriteAt(size_, line)) {
            return WriteThroughSystem(key, value);
        }
        values_.emplace(ini::FoldedName(key),
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
    const std::string folded1 = ini::FoldedName(key1);
    const std::string folded2 = ini::FoldedName(key2);
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
    const std::string line1 = ini::EntryLine(key1, value1);
    const std::string lines = line1 + ini::EntryLine(key2, value2);
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

bool TUninstallLog::WriteInstalledFile(int number, const AnsiString& path,
                                       std::int64_t dosDateTime) {
    const AnsiString key = uninstall_log::FileKey(number);
    return Write(key, path, uninstall_log::StampKey(key), uninstall_log::StampText(dosDateTime));
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
    const std::string line = ini::SectionLine(section_);
    const auto length = static_cast<std::int32_t>(line.size());
    File created(fileName_, FileMode::Create);
    if (created.IsOpen() && created.Write(line.data(), length) == length && created.Close()) {
        size_ = length;
        fast_ = true;
    }
}

void TUninstallLog::Index() {
    file_.Close();
    position_ = -1;
    indexed_ = true;
    fast_ = false;
    values_.clear();
    bool read = false;
    const std::string bytes = uninstall_log::ReadLogBytes(fileName_, read);
    size_ = static_cast<std::int64_t>(bytes.size());
    if (read) {
        fast_ = IndexLastSection(bytes);
    } else if (!FileExists(fileName_)) {
        StartFile();
    }
}

// The fast way needs the section last in the file and every line of it in the writer's form.
bool TUninstallLog::IndexLastSection(const std::string& bytes) {
    if (!std::string_view(bytes).ends_with(ini::kLineEnd)) {
        return false;
    }
    const std::vector<std::string_view> lines = ini::SplitLines(bytes, ini::TLineEnds::CrLf);
    const auto last = std::find_if(lines.rbegin(), lines.rend(), IsSectionLine);
    if (last == lines.rend() ||
        !ini::SameName(std::string(*last).append(ini::kLineEnd), ini::SectionLine(section_))) {
        return false;
    }
    return std::all_of(last.base(), lines.end(),
                       [&](std::string_view line) { return IndexEntry(bytes, line); });
}

// One "key=value" line of the section in the writer's form, its key not seen before.
bool TUninstallLog::IndexEntry(const std::string& bytes, std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    const std::string key(line.substr(0, equals));
    const std::string value(line.substr(equals + 1));
    const auto offset = static_cast<std::int64_t>(line.data() - bytes.data() + equals + 1);
    return IsPlainKey(key) && IsPlainValue(value) &&
           values_.emplace(ini::FoldedName(key), Value{offset, value.size()}).second;
}

} // namespace kq
