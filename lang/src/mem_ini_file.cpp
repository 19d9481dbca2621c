#include "lang/mem_ini_file.h"

#include "base/ini_text.h"
#include "platform/codepage.h"

#include <algorithm>

namespace kq {

namespace {

// Names compare as the translator's other look-ups compare them (the table, the string index):
// as the system compares names, in the user's locale on Windows, not by the profile rules' ASCII
// folding, so that a file and the table agree on which names are one.
int CompareNames(std::string_view a, std::string_view b) {
    return CompareStringIgnoreCase(std::string(a), std::string(b));
}

} // namespace

TMemIniFile::TMemIniFile(std::string_view text) {
    Section* open = nullptr;
    for (const std::string_view raw : ini::SplitLines(text, ini::kTranslationFile.lineEnds)) {
        const ini::TLine line = ini::ReadLine(raw, ini::kTranslationFile);
        if (line.kind == ini::TLineKind::Section) {
            open = OpenSection(line.name);
        } else if (line.kind == ini::TLineKind::Entry && open != nullptr) {
            open->Entries.push_back({AnsiString(line.name), AnsiString(line.value)});
        }
    }
    for (Section& section : sections_) {
        std::stable_sort(
            section.Entries.begin(), section.Entries.end(),
            [](const Entry& a, const Entry& b) { return CompareNames(a.Key, b.Key) < 0; });
    }
}

// A repeated section's lines are dropped: nullptr for it.
TMemIniFile::Section* TMemIniFile::OpenSection(std::string_view name) {
    if (!index_.emplace(AnsiString(name), sections_.size()).second) {
        return nullptr;
    }
    return &sections_.emplace_back(Section{AnsiString(name), {}});
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
