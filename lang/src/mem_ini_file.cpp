#include "lang/mem_ini_file.h"

#include "lang/stored_table.h"
#include "platform/codepage.h"

#include <algorithm>

namespace kq {

namespace {

int CompareNames(std::string_view a, std::string_view b) {
    return CompareStringIgnoreCase(std::string(a), std::string(b));
}

bool IsSectionLine(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

} // namespace

TMemIniFile::TMemIniFile(std::string_view text) {
    Section* open = nullptr;
    for (const AnsiString& line : SplitLines(text)) {
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (IsSectionLine(line)) {
            const std::string_view name = std::string_view(line).substr(1, line.size() - 2);
            if (!index_.emplace(AnsiString(name), sections_.size()).second) {
                open = nullptr; // a repeated section: its lines are dropped
            } else {
                open = &sections_.emplace_back(Section{AnsiString(name), {}});
            }
            continue;
        }
        if (open == nullptr) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == AnsiString::npos) {
            open->Entries.push_back({line, AnsiString()});
        } else {
            open->Entries.push_back({line.substr(0, equals), line.substr(equals + 1)});
        }
    }
    for (Section& section : sections_) {
        std::stable_sort(
            section.Entries.begin(), section.Entries.end(),
            [](const Entry& a, const Entry& b) { return CompareNames(a.Key, b.Key) < 0; });
    }
}

bool TMemIniFile::NameLess::operator()(std::string_view a, std::string_view b) const {
    return CompareNames(a, b) < 0;
}

const TMemIniFile::Section* TMemIniFile::FindSection(std::string_view name) const {
    const auto found = index_.find(name);
    return found == index_.end() ? nullptr : &sections_[found->second];
}

bool TMemIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

AnsiString TMemIniFile::ReadString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return AnsiString(defaultValue);
    }
    const auto entry = std::lower_bound(found->Entries.begin(), found->Entries.end(), key,
                                        [](const Entry& entry, std::string_view wanted) {
                                            return CompareNames(entry.Key, wanted) < 0;
                                        });
    if (entry == found->Entries.end() || CompareNames(entry->Key, key) != 0) {
        return AnsiString(defaultValue);
    }
    return entry->Value;
}

bool TMemIniFile::ReadBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
    const AnsiString value = ReadString(section, key, "");
    return StrToIntDef(value, defaultValue ? 1 : 0) != 0;
}

std::vector<AnsiString> TMemIniFile::ReadSection(std::string_view section) const {
    std::vector<AnsiString> keys;
    if (const Section* found = FindSection(section)) {
        for (const Entry& entry : found->Entries) {
            keys.push_back(entry.Key);
        }
    }
    return keys;
}

} // namespace kq
