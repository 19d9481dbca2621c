#include "base/ini_text.h"
#include "log_format.h"
#include "setup/uconst.h"
#include "setup/uninstall_log.h"

#include <algorithm>
#include <map>
#include <utility>

namespace kq {

namespace {

// Numbers beyond what the writer makes are no file's keys.
bool IsFileKey(const std::string& key) {
    return !key.empty() && key.size() <= 9 &&
           key.find_first_not_of("0123456789") == std::string::npos;
}

// The entries of the section, by key in upper case, as the system's reader finds them.
std::map<std::string, std::string> SectionValues(std::string_view bytes, std::string_view section) {
    std::map<std::string, std::string> values;
    bool inSection = false;
    for (const std::string_view raw : ini::SplitLines(bytes, ini::kProfileReader.lineEnds)) {
        const ini::TLine line = ini::ReadLine(raw, ini::kProfileReader);
        if (line.kind == ini::TLineKind::Section || line.kind == ini::TLineKind::Unclosed) {
            inSection = line.kind == ini::TLineKind::Section && ini::SameName(line.name, section);
        } else if (inSection && line.kind == ini::TLineKind::Entry) {
            values.emplace(ini::FoldedName(line.name), line.value);
        }
    }
    return values;
}

std::vector<TLoggedFile> FilesInOrder(const std::map<std::string, std::string>& values) {
    std::vector<std::pair<std::int64_t, TLoggedFile>> numbered;
    for (const auto& [key, value] : values) {
        if (!IsFileKey(key)) {
            continue;
        }
        const auto stamp = values.find(uninstall_log::StampKey(key));
        numbered.emplace_back(
            std::stoll(key),
            TLoggedFile{value, stamp == values.end() ? -1 : uninstall_log::StampOf(stamp->second)});
    }
    std::sort(numbered.begin(), numbered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TLoggedFile> files;
    for (auto& entry : numbered) {
        files.push_back(std::move(entry.second));
    }
    return files;
}

} // namespace

std::vector<TLoggedFile> ReadUninstallLog(const AnsiString& logPath, bool& found) {
    const std::string bytes = uninstall_log::ReadLogBytes(logPath, found);
    return FilesInOrder(SectionValues(bytes, uconst::kUninstallSection));
}

} // namespace kq
