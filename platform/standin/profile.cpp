// The stand-in's profile writer. The file is read into sections of lines by the profile
// writer's rules (base/ini_text.h), changed, and written back whole in the normal form
// profile.h describes. Lines that are neither sections nor keys are kept as they are, without
// the blanks around them; lines before the first section form a section without a name line,
// written first.

#include "platform/profile.h"

#include "base/ini_text.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/standin.h"
#include "standin_internal.h"
#include "whole_files.h"

#include <optional>
#include <vector>

namespace kq {

namespace {

struct Line {
    std::string name;
    std::optional<std::string> value; // none for a line without "="
};

struct Section {
    std::string name;
    bool hasNameLine = true;
    std::vector<Line> lines;
};

void AddLine(std::vector<Section>& sections, std::string_view text) {
    const ini::TLine line = ini::ReadLine(text, ini::kProfileWriter);
    switch (line.kind) {
    case ini::TLineKind::Section:
        sections.push_back(Section{std::string(line.name), true, {}});
        break;
    case ini::TLineKind::Entry:
        sections.back().lines.push_back(Line{std::string(line.name), std::string(line.value)});
        break;
    case ini::TLineKind::Other:
        sections.back().lines.push_back(Line{std::string(line.name), std::nullopt});
        break;
    default: // empty lines go; the writer's rules know no comments and no unclosed sections
        break;
    }
}

std::vector<Section> ParsedProfile(const std::string& text) {
    std::vector<Section> sections{Section{"", false, {}}};
    for (const std::string_view line : ini::SplitLines(text, ini::kProfileWriter.lineEnds)) {
        AddLine(sections, line);
    }
    return sections;
}

std::string FormattedProfile(const std::vector<Section>& sections) {
    std::string text;
    for (const Section& section : sections) {
        if (section.hasNameLine) {
            text += ini::SectionLine(section.name);
        }
        for (const Line& line : section.lines) {
            text += line.value ? ini::EntryLine(line.name, *line.value)
                               : line.name + std::string(ini::kLineEnd);
        }
    }
    return text;
}

void SetKey(std::vector<Section>& sections, const std::string& sectionName,
            const std::string& keyName, const std::string& value) {
    Section* section = nullptr;
    for (Section& candidate : sections) {
        if (ini::SameName(candidate.name, sectionName)) {
            section = &candidate;
            break;
        }
    }
    if (section == nullptr) {
        sections.push_back(Section{sectionName, true, {}});
        section = &sections.back();
    }
    for (Line& line : section->lines) {
        if (line.value && ini::SameName(line.name, keyName)) {
            line.value = value;
            return;
        }
    }
    section->lines.push_back(Line{keyName, value});
}

// Windows looks for a profile named without a folder in the Windows folder.
std::string ProfilePath(const std::string& fileName) {
    if (fileName.find_first_of("\\/") == std::string::npos) {
        return GetWindowsDirectory() + "\\" + fileName;
    }
    return fileName;
}

} // namespace

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& fileName) {
    if (!ini::IsWritable(section, key, value) || fileName.empty()) {
        SetLastError(err::InvalidParameter);
        return false;
    }
    const std::string path = ProfilePath(fileName);
    const std::uint32_t attributes = GetFileAttributes(path);
    if (attributes != attr::Invalid && (attributes & (attr::ReadOnly | attr::Directory)) != 0) {
        SetLastError(err::AccessDenied);
        return false;
    }
    const std::optional<std::string> host = HostPath(path);
    if (!host || standin::FaultInjected(FaultKind::ProfileWrite)) {
        return false;
    }
    std::string text;
    bool missing = false;
    if (!standin::ReadWholeFile(*host, text, missing) && !missing) {
        return false;
    }
    std::vector<Section> sections = ParsedProfile(missing ? std::string() : text);
    // The names and the value lose the blanks the writer's rules take from the lines they form.
    const std::string sectionLine = "[" + section + "]";
    const std::string entryLine = key + "=" + value;
    const ini::TLine entry = ini::ReadLine(entryLine, ini::kProfileWriter);
    SetKey(sections, std::string(ini::ReadLine(sectionLine, ini::kProfileWriter).name),
           std::string(entry.name), std::string(entry.value));
    return standin::ReplaceWholeFile(*host, FormattedProfile(sections));
}

} // namespace kq
