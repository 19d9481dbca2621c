#pragma once

// The in-memory INI reader of translation files.
//
// Its lines are read by the rules translation files are written for (ini::kTranslationFile in
// base/ini_text.h), not by those of the system's profile functions: lines end at CR, LF or
// CR LF and a NUL byte ends the text; nothing is trimmed; empty and ";" lines are comments;
// "[name]" must fill its line; a line without "=" is a key with an empty value. On top of them:
//   - Section names are compared ignoring case; when a name occurs again, the lines under the
//     later occurrence are dropped and the first occurrence's entries stand.
//   - Lines before the first section belong to none and are dropped.
//   - Keys are compared ignoring case; of two entries with the same key the first one answers.

#include "base/strings.h"

#include <cstddef>
#include <map>
#include <string_view>
#include <vector>

namespace kq {

class TMemIniFile {
public:
    explicit TMemIniFile(std::string_view text);

    bool SectionExists(std::string_view section) const;
    // The entry's value, or defaultValue when the section or the key is absent.
    AnsiString ReadString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
    // An integer entry: non-zero is true; absent or not a number gives defaultValue.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // The section's keys in ascending order ignoring case, duplicates included; none for an
    // absent section.
    std::vector<AnsiString> ReadSection(std::string_view section) const;

private:
    struct Entry {
        AnsiString Key;
        AnsiString Value;
    };
    struct Section {
        AnsiString Name;
        std::vector<Entry> Entries; // sorted by key, equal keys in file order
    };

    // Section names in the order of the comparison that ignores case.
    struct NameLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };

    Section* OpenSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;

    std::vector<Section> sections_;
    // Where each section lies in sections_, so that finding one takes log time: a walk over all
    // of them made reading a file of many sections take time quadratic in their number.
    std::map<AnsiString, std::size_t, NameLess> index_;
};

} // namespace kq
