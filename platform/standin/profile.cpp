// The stand-in's profile writer. The file is read into sections of lines, changed, and written
// back whole in the normal form profile.h describes.
//
// Reading: empty lines are dropped and blanks before a line ignored; a line that begins with "["
// and has a "]" opens a section named by the text between "[" and the last "]"; a line with "="
// is a key: the name before it without blanks around it, the value after it without its leading
// blanks (trailing ones stay); any other line is kept as it is, without blanks around it. Lines
// before the first section form a section without a name line, written first.

#include "platform/profile.h"

#include "../shared/profile_text.h"
#include "platform/codepage.h"
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

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string WithoutLeadingBlanks(const std::string& text) {
    std::string::size_type start = 0;
    while (start < text.size() && IsBlank(text[start])) {
        ++start;
    }
    return text.substr(start);
}

std::string WithoutBlanks(const std::string& text) {
    std::string trimmed = WithoutLeadingBlanks(text);
    while (!trimmed.empty() && IsBlank(trimmed.back())) {
        trimmed.pop_back();
    }
    return trimmed;
}

bool SameName(const std::string& a, const std::string& b) {
    return CompareStringIgnoreCase(a, b) == 0;
}

void AddLine(std::vector<Section>& sections, const std::string& text) {
    const std::string line = WithoutLeadingBlanks(text);
    const std::string whole = WithoutBlanks(line);
    if (whole.empty()) {
        return;
    }
    const std::string::size_type close = whole.rfind(']');
    if (whole[0] == '[' && close != std::string::npos) {
        sections.push_back(Section{WithoutBlanks(whole.substr(1, close - 1)), true, {}});
        return;
    }
    const std::string::size_type equals = line.find('=');
    if (equals == std::string::npos) {
        sections.back().lines.push_back(Line{whole, std::nullopt});
    } else {
        sections.back().lines.push_back(Line{WithoutBlanks(line.substr(0, equals)),
                                             WithoutLeadingBlanks(line.substr(equals + 1))});
    }
}

std::vector<Section> ParsedProfile(const std::string& text) {
    std::vector<Section> sections{Section{"", false, {}}};
    for (const std::string& line : standin::LinesOf(text)) {
        AddLine(sections, line);
    }
    return sections;
}

std::string FormattedProfile(const std::vector<Section>& sections) {
    std::string text;
    for (const Section& section : sections) {
        if (section.hasNameLine) {
            text += "[" + section.name + "]\r\n";
        }
        for (const Line& line : section.lines) {
            text += line.value ? line.name + "=" + *line.value + "\r\n" : line.name + "\r\n";
        }
    }
    return text;
}

void SetKey(std::vector<Section>& sections, const std::string& sectionName,
            const std::string& keyName, const std::string& value) {
    Section* section = nullptr;
    for (Section& candidate : sections) {
        if (SameName(candidate.name, sectionName)) {
            section = &candidate;
            break;
        }
    }
    if (section == nullptr) {
        sections.push_back(Section{sectionName, true, {}});
        section = &sections.back();
    }
    for (Line& line : section->lines) {
        if (line.value && SameName(line.name, keyName)) {
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
    if (!profile::IsWritable(section, key, value) || fileName.empty()) {
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
    SetKey(sections, WithoutBlanks(section), WithoutBlanks(key), WithoutLeadingBlanks(value));
    return standin::ReplaceWholeFile(*host, FormattedProfile(sections));
}

} // namespace kq
