// Loading the table from a translation file, the text file the dispatcher names (the format is
// described in lang/translation_file.h).
//
// Every section of the component is emptied and refilled from the file's section of the same
// ordinal, so a file without a section leaves that section empty. Within a section the rows
// follow the keys in ascending order, except that the form's own row goes first, where the
// translation pass looks for it.

#include "lang/translation_file.h"

#include "base/exceptions.h"
#include "base/format.h"
#include "lang/mem_ini_file.h"
#include "lang/translator.h"
#include "platform/files.h"
#include "translation_pass.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace kq {

namespace {

constexpr std::array<std::string_view, kStringsTypeCount> kFileSections = {
    "Captions", "Hints", "DisplayLabels", "Fonts",       "Multilines", "Dialogs",
    "Strings",  "Other", "Locales",       "Collections", "CharSets",   "ListView_TreeView_Items",
};

constexpr std::string_view kOptions = "OPTIONS";
constexpr std::string_view kLanguageNames = "Language names - for internal use only!";
constexpr std::string_view kExtended = "Extended";
constexpr std::string_view kTypeKindSuffix = "_TypeKind";
// The default keys are read with: a key that gives it back has no value of its own and is
// skipped (so is a key whose value is this very byte).
constexpr std::string_view kNoValue = "\xFF";

AnsiString ReadWholeFile(const AnsiString& fileName) {
    File file;
    if (!file.Open(fileName, FileMode::Read)) {
        throw EFOpenError(
            Format("Cannot open file \"%s\". %s", {fileName, SysErrorMessage(LastError())}));
    }
    AnsiString text;
    char buffer[16384];
    for (;;) {
        const std::int32_t count = file.Read(buffer, sizeof buffer);
        if (count < 0) {
            throw EReadError("Stream read error");
        }
        if (count == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool Contains(std::string_view text, std::string_view part) {
    return !part.empty() && text.find(part) != std::string_view::npos;
}

AnsiString ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return AnsiString(text);
    }
    AnsiString result;
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != std::string_view::npos;
         at = text.find(from, start)) {
        result.append(text.substr(start, at - start)).append(to);
        start = at + from.size();
    }
    return result.append(text.substr(start));
}

void ReplaceFirst(AnsiString& text, char from, char to) {
    if (const std::size_t at = text.find(from); at != AnsiString::npos) {
        text[at] = to;
    }
}

} // namespace

std::string_view TranslationFileSection(TStringsType type) {
    return kFileSections.at(static_cast<std::size_t>(type));
}

void TCustomTranslator::LoadFromTranslationFile(const AnsiString& fileName) {
    if (!FileExists(fileName) || Owner() == nullptr) {
        return;
    }
    const TMemIniFile file(ReadWholeFile(fileName));
    const AnsiString separator = file.ReadString(kOptions, "DELIMITER", kDefaultFileSeparator);
    const int fileLanguages = ReadFileLanguageNames(file);
    TTranslationPass pass(*this, setAside_);
    for (int ordinal = 0; ordinal < kStringsTypeCount; ++ordinal) {
        const auto type = static_cast<TStringsType>(ordinal);
        TStringList* list = List(type);
        if (list == nullptr) {
            continue;
        }
        TStringList& stored = storedLists_[static_cast<std::size_t>(ordinal)];
        if (!storedKept_) {
            stored.Assign(list);
        }
        list->Clear();
        try {
            ReadFileSection(file, type, separator);
        } catch (const Exception&) {
            // The section keeps the rows it received before the failure.
        }
        if (fileLanguages < numOfLanguages_) {
            KeepStoredCells(*list, stored, fileLanguages);
        }
        pass.Prune(type);
    }
    storedKept_ = true;
    ReadFileExtended(file, separator);
    // Rows the owner excludes must not be applied even once, by the pass below.
    DropExcludedRows();
    BuildNamedStringIndex();
    TranslatePass();
}

AnsiString TCustomTranslator::StoredText(TStringsType type, std::string_view name) const {
    const std::size_t ordinal = static_cast<std::size_t>(type);
    if (ordinal >= storedLists_.size()) {
        return {};
    }
    const TStringList& rows = storedKept_ ? storedLists_[ordinal] : *lists_[ordinal];
    for (int i = 0; i < rows.Count(); ++i) {
        const AnsiString row = rows.Strings(i);
        if (SameText(ExtractField(row, 0), name)) {
            return ExtractField(row, activeLanguage_);
        }
    }
    return {};
}

// Each row of a file for fewer languages than the component has takes the cells of the others
// from the stored row of the same name: those languages keep their texts.
void TCustomTranslator::KeepStoredCells(TStringList& rows, const TStringList& stored,
                                        int fileLanguages) const {
    const char delimiter = Delimiter();
    std::unordered_map<AnsiString, AnsiString> storedByName;
    for (int s = 0; s < stored.Count(); ++s) {
        const AnsiString storedRow = stored.Strings(s);
        storedByName.emplace(ExtractField(storedRow, 0), storedRow);
    }
    for (int i = 0; i < rows.Count(); ++i) {
        const AnsiString row = rows.Strings(i);
        const auto found = storedByName.find(ExtractField(row, 0));
        if (found == storedByName.end()) {
            continue;
        }
        AnsiString merged =
            PadDelimiters(KeepCells(row, fileLanguages, delimiter), fileLanguages + 1, delimiter);
        for (int n = fileLanguages + 1; n <= numOfLanguages_; ++n) {
            merged += ExtractField(found->second, n) + delimiter;
        }
        rows.Put(i, merged);
    }
}

// A file that names no language at all leaves the component's languages as they are: a
// component without languages would have no cell to show.
int TCustomTranslator::ReadFileLanguageNames(const TMemIniFile& file) {
    int fileLanguages = numOfLanguages_;
    if (file.SectionExists(kLanguageNames)) {
        std::vector<AnsiString> names;
        for (int n = 1; n <= kMaxLanguages; ++n) {
            AnsiString name = file.ReadString(kLanguageNames, "Language_" + IntToStr(n), "");
            if (name.empty()) {
                break;
            }
            names.push_back(std::move(name));
        }
        // A file that names fewer languages than the component has renames those it names and
        // leaves the count: the program chooses among all of them, whatever a file says.
        if (static_cast<int>(names.size()) >= numOfLanguages_) {
            langNames_.Clear();
            for (const AnsiString& name : names) {
                langNames_.Add(name);
            }
            numOfLanguages_ = static_cast<int>(names.size());
        } else if (!names.empty()) {
            FitLanguageNames(langNames_, numOfLanguages_);
            for (std::size_t i = 0; i < names.size(); ++i) {
                langNames_.Put(static_cast<int>(i), names[i]);
            }
            fileLanguages = static_cast<int>(names.size());
        }
    }
    fixedLanguages_.Clear();
    for (int n = 1; n <= numOfLanguages_ && n <= langNames_.Count(); ++n) {
        if (file.ReadBool(kOptions, "Language_Fixed" + IntToStr(n), false)) {
            fixedLanguages_.Add(langNames_.Strings(n - 1));
        }
    }
    return fileLanguages;
}

void TCustomTranslator::ReadFileSection(const TMemIniFile& file, TStringsType type,
                                        const AnsiString& separator) {
    TStringList& list = *List(type);
    const std::string_view section = TranslationFileSection(type);
    const AnsiString formClass = Owner()->ClassName();
    const AnsiString& formName = Owner()->Name();
    const char delimiter = Delimiter();
    for (const AnsiString& key : file.ReadSection(section)) {
        AnsiString row = key + delimiter;
        if (type == stCollections || type == stListView_TreeView_Items) {
            ReplaceFirst(row, '-', '[');
            ReplaceFirst(row, '+', ']');
        }
        // The prefix that matched, ignoring case, is the one removed.
        const bool byName = !formName.empty() && StartsWithIgnoreCase(row, formName + ".");
        if (!byName && !StartsWithIgnoreCase(row, formClass + ".")) {
            continue; // another form's row
        }
        const AnsiString& form = byName ? formName : formClass;
        row.erase(0, form.size() + 1);
        const std::size_t dot = row.find('.');
        const AnsiString component =
            dot != AnsiString::npos ? row.substr(0, dot) : row.substr(0, row.size() - 1);
        if (doNotTranslate_.IndexOf(component) >= 0) {
            continue;
        }
        const AnsiString value = file.ReadString(section, key, kNoValue);
        if (value == kNoValue) {
            continue;
        }
        if (!Contains(value, separator)) {
            row += value + delimiter;
        }
        row += ReplaceAll(value, separator, std::string_view(&delimiter, 1));
        for (char& c : row) {
            if (c == '\x19') {
                c = '\r';
            } else if (c == '\x1A') {
                c = '\n';
            }
        }
        if (StartsWithIgnoreCase(row, form + delimiter)) {
            list.Insert(0, row);
        } else {
            list.Add(row);
        }
    }
}

void TCustomTranslator::ReadFileExtended(const TMemIniFile& file, const AnsiString& separator) {
    extendedTranslations_.clear();
    const AnsiString prefix = Owner()->ClassName() + ".";
    const char delimiter = Delimiter();
    for (const AnsiString& key : file.ReadSection(kExtended)) {
        const bool typeKind = key.size() >= kTypeKindSuffix.size() &&
                              key.compare(key.size() - kTypeKindSuffix.size(),
                                          kTypeKindSuffix.size(), kTypeKindSuffix) == 0;
        if (!StartsWithIgnoreCase(key, prefix) || typeKind) {
            continue;
        }
        const AnsiString identifier = key.substr(prefix.size());
        auto item = std::find_if(
            extendedTranslations_.begin(), extendedTranslations_.end(),
            [&](const TExtendedItem& existing) { return existing.Identifier == identifier; });
        if (item == extendedTranslations_.end()) {
            item = extendedTranslations_.insert(extendedTranslations_.end(),
                                                TExtendedItem{identifier, "tkUnknown", ""});
        }
        item->Values = ReplaceAll(file.ReadString(kExtended, key, ""), separator,
                                  std::string_view(&delimiter, 1));
        const AnsiString kind =
            file.ReadString(kExtended, key + AnsiString(kTypeKindSuffix), "tkUnknown");
        item->PropertyType = separator.empty() ? kind : kind.substr(0, kind.find(separator));
    }
}

} // namespace kq
