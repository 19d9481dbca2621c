// Writing a table as a translation file (the format is described in lang/translation_file.h).
//
// The file is written so that the reader gives back every row as it is: each value ends with
// the separator that stands for the row's closing delimiter, so a value always holds one and is
// never taken for a one-cell value that fills two cells. Rows the format cannot carry unchanged
// are refused rather than written differently.

#include "base/format.h"
#include "lang/errors.h"
#include "lang/translation_file.h"
#include "lang/translator.h"
#include "platform/codepage.h"

#include <set>

namespace kq {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

[[noreturn]] void RaiseUnwritable(std::string_view name, std::string_view section,
                                  std::string_view why) {
    throw ELanguageError(Format("Row \"%s\" of %s cannot be written to a translation file: %s",
                                {name, section, why}));
}

bool HasAny(std::string_view text, std::string_view bytes) {
    return text.find_first_of(bytes) != std::string_view::npos;
}

// Bytes that would end the line or the text, or that the reader turns into line breaks.
constexpr std::string_view kLineBytes{"\r\n\0\x19\x1A", 5};

AnsiString Key(std::string_view prefix, AnsiString name, bool collection,
               std::string_view section) {
    if (HasAny(name, kLineBytes) || name.find('=') != AnsiString::npos) {
        RaiseUnwritable(name, section, "its name holds a line break or \"=\"");
    }
    if (collection) {
        if (HasAny(name, "-+")) {
            RaiseUnwritable(name, section, "its name holds \"-\" or \"+\"");
        }
        if (const std::size_t at = name.find('['); at != AnsiString::npos) {
            name[at] = '-';
        }
        if (const std::size_t at = name.find(']'); at != AnsiString::npos) {
            name[at] = '+';
        }
    }
    return AnsiString(prefix) + "." + name;
}

// The cells of a row as they follow the name: every delimiter becomes the separator and CR and
// LF their stand-in bytes.
AnsiString Value(std::string_view cells, char delimiter, std::string_view separator,
                 std::string_view name, std::string_view section) {
    if (cells.find(separator) != std::string_view::npos) {
        RaiseUnwritable(name, section, "a cell holds the separator");
    }
    if (HasAny(cells, std::string_view("\0\x19\x1A", 3))) {
        RaiseUnwritable(name, section, "a cell holds a byte that stands for a line break");
    }
    if (cells.empty() || cells.back() != delimiter) {
        RaiseUnwritable(name, section, "it has no closing delimiter");
    }
    AnsiString value;
    for (char c : cells) {
        if (c == delimiter) {
            value.append(separator);
        } else if (c == '\r') {
            value += '\x19';
        } else if (c == '\n') {
            value += '\x1A';
        } else {
            value += c;
        }
    }
    return value;
}

void WriteSection(AnsiString& file, const TCustomTranslator& translator, TStringsType type,
                  const TTranslationFileOptions& options) {
    const std::string_view section = TranslationFileSection(type);
    const char delimiter = static_cast<char>(translator.LangDelim());
    file.append("[").append(section).append("]").append(kLineEnd);
    const TStringList& rows = *translator.List(type);
    std::set<AnsiString> keys; // upper-cased: the reader finds keys ignoring case
    for (int i = 0; i < rows.Count(); ++i) {
        const AnsiString row = rows.Strings(i);
        const std::size_t end = row.find(delimiter);
        const AnsiString name = row.substr(0, end);
        if (end == AnsiString::npos) {
            RaiseUnwritable(name, section, "it has no cells");
        }
        const AnsiString key = Key(options.FormClassName, name, type == stCollections, section);
        if (!keys.insert(UpperCase(key)).second) {
            RaiseUnwritable(name, section, "another row has the same name");
        }
        file.append(key).append("=");
        file.append(Value(std::string_view(row).substr(end + 1), delimiter, options.Separator, name,
                          section));
        file.append(kLineEnd);
    }
}

} // namespace

AnsiString WriteTranslationFile(const TCustomTranslator& translator,
                                const TTranslationFileOptions& options) {
    if (options.Separator.empty() || HasAny(options.Separator, kLineBytes)) {
        throw ELanguageError("The separator of a translation file must be one or more bytes "
                             "other than line breaks");
    }
    AnsiString file;
    file.append("[OPTIONS]").append(kLineEnd);
    file.append("DELIMITER=").append(options.Separator).append(kLineEnd);
    if (options.WriteLanguageNames) {
        file.append("[Language names - for internal use only!]").append(kLineEnd);
        const TStringList& names = *translator.LangNames();
        for (int i = 0; i < names.Count(); ++i) {
            const AnsiString name = names.Strings(i);
            if (name.empty() || HasAny(name, kLineBytes)) {
                throw ELanguageError(Format("Language name %d cannot be written to a translation "
                                            "file: it is empty or holds a line break",
                                            {i + 1}));
            }
            file.append("Language_").append(IntToStr(i + 1)).append("=").append(name);
            file.append(kLineEnd);
        }
    }
    for (int ordinal = 0; ordinal < kSectionListCount; ++ordinal) {
        WriteSection(file, translator, static_cast<TStringsType>(ordinal), options);
    }
    const char delimiter = static_cast<char>(translator.LangDelim());
    const auto& extended = translator.ExtendedTranslations();
    if (!extended.empty()) {
        file.append("[Extended]").append(kLineEnd);
    }
    for (const TExtendedItem& item : extended) {
        const std::string_view section = "Extended";
        const AnsiString key = Key(options.FormClassName, item.Identifier, false, section);
        if (item.Values.find(options.Separator) != AnsiString::npos ||
            HasAny(item.Values, kLineBytes) || HasAny(item.PropertyType, kLineBytes)) {
            RaiseUnwritable(item.Identifier, section,
                            "its values hold the separator or a line break");
        }
        AnsiString values;
        for (char c : item.Values) {
            values += c == delimiter ? options.Separator : AnsiString(1, c);
        }
        file.append(key).append("=").append(values).append(kLineEnd);
        file.append(key).append("_TypeKind=").append(item.PropertyType).append(kLineEnd);
    }
    return file;
}

} // namespace kq
