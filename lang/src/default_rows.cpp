// The rows a translation component starts with: the locale settings and the texts of the
// standard dialogs as the program has them, so that a table without these sections still
// describes them. Each row is its key and one cell.

#include "lang/format_settings.h"
#include "lang/translator.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kq {

namespace {

struct TDialogText {
    std::string_view Key;  // the English text without its "&"
    std::string_view Text; // the caption or button text as the dialogs show it
};

// The captions and buttons of the standard message dialogs.
constexpr std::array<TDialogText, 15> kBasicDialogTexts = {{
    {"Warning", "Warning"},
    {"Error", "Error"},
    {"Information", "Information"},
    {"Confirm", "Confirm"},
    {"Yes", "&Yes"},
    {"No", "&No"},
    {"OK", "OK"},
    {"Cancel", "Cancel"},
    {"Abort", "&Abort"},
    {"Retry", "&Retry"},
    {"Ignore", "&Ignore"},
    {"All", "&All"},
    {"No To All", "N&o to All"},
    {"Yes To All", "Yes to &All"},
    {"Help", "&Help"},
}};

// The labels of the common dialogs (open and save, colour, font, print, find and replace,
// picture preview, folder), added when every dialog text is wanted.
constexpr std::array<std::string_view, 67> kCommonDialogLabels = {
    "&Open",
    "Look &in:",
    "File &name:",
    "Files of &type:",
    "&Read-only",
    "&Save",
    "&Drives:",
    "Save &in:",
    "Save as &type:",
    "&Basic colors:",
    "&Custom colors:",
    "&Define Custom Colors >>",
    "Color",
    "|S&olid",
    "Hu&e:",
    "&Sat:",
    "&Lum:",
    "&Red:",
    "&Green:",
    "Bl&ue:",
    "&Add to Custom Colors",
    "&Font:",
    "Font st&yle:",
    "Si&ze:",
    "&Color:",
    "&Apply",
    "Effects",
    "Stri&keout",
    "&Underline",
    "Sample",
    "Sc&ript:",
    "Printer",
    "&Name:",
    "&Properties",
    "Status:",
    "Type:",
    "Where:",
    "Comment:",
    "Paper",
    "&Source:",
    "Orientation",
    "P&ortrait",
    "L&andscape",
    "Print to f&ile",
    "Print",
    "Pa&ges",
    "&Selection",
    "&from:",
    "&to:",
    "Copies",
    "Number of &copies:",
    "C&ollate",
    "Fi&nd what:",
    "Match &whole words only",
    "Match &case",
    "Direction",
    "&Up",
    "&Down",
    "&Find Next",
    "&Replace",
    "Replace &All",
    "Re&place with:",
    "Picture:",
    "Preview",
    "New Folder",
    "Folder:",
    "(None)",
};

constexpr int kAllDialogTextCount =
    static_cast<int>(kBasicDialogTexts.size() + kCommonDialogLabels.size());

AnsiString WithoutAmpersands(std::string_view text) {
    AnsiString result(text);
    result.erase(std::remove(result.begin(), result.end(), '&'), result.end());
    return result;
}

bool IsBasicDialogKey(std::string_view key) {
    return std::any_of(kBasicDialogTexts.begin(), kBasicDialogTexts.end(),
                       [key](const TDialogText& text) { return text.Key == key; });
}

// A row of one cell: key, delimiter, cell, delimiter.
AnsiString OneCellRow(std::string_view key, std::string_view cell, char delimiter) {
    AnsiString row;
    row.reserve(key.size() + cell.size() + 2);
    row.append(key).append(1, delimiter).append(cell).append(1, delimiter);
    return row;
}

template <std::size_t N>
AnsiString JoinNames(const std::array<AnsiString, N>& names) {
    AnsiString joined;
    for (const AnsiString& name : names) {
        if (!joined.empty()) {
            joined += ',';
        }
        joined += name;
    }
    return joined;
}

} // namespace

void TCustomTranslator::FillDefaultLocales() {
    const TFormatSettings& settings = FormatSettings();
    const AnsiString cells[] = {
        settings.CurrencyString,
        AnsiString(1, settings.ThousandSeparator),
        AnsiString(1, settings.DecimalSeparator),
        AnsiString(1, settings.DateSeparator),
        settings.ShortDateFormat,
        settings.LongDateFormat,
        AnsiString(1, settings.TimeSeparator),
        settings.TimeAMString,
        settings.TimePMString,
        settings.ShortTimeFormat,
        settings.LongTimeFormat,
    };
    static constexpr std::string_view kKeys[] = {
        "Currency String",   "Thousand Separator", "Decimal Separator", "Date Separator",
        "Short Date Format", "Long Date Format",   "Time Separator",    "Time AM String",
        "Time PM String",    "Short Time Format",  "Long Time Format",
    };
    const char d = Delimiter();
    TStringList& locales = *Locales();
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        locales.Add(OneCellRow(kKeys[i], cells[i], d));
    }
    AppendMissingLocaleNames();
}

// The four rows of month and day names, which a table of eleven locale rows lacks.
void TCustomTranslator::AppendMissingLocaleNames() {
    const TFormatSettings& settings = FormatSettings();
    const char d = Delimiter();
    TStringList& locales = *Locales();
    locales.Add(OneCellRow("Short Month Names", JoinNames(settings.ShortMonthNames), d));
    locales.Add(OneCellRow("Long Month Names", JoinNames(settings.LongMonthNames), d));
    locales.Add(OneCellRow("Short Day Names", JoinNames(settings.ShortDayNames), d));
    locales.Add(OneCellRow("Long Day Names", JoinNames(settings.LongDayNames), d));
}

void TCustomTranslator::SetNeedAllDlgs(bool value) {
    needAllDlgs_ = value;
    if (value && !Loading()) {
        AdjustDialogTexts();
    }
}

void TCustomTranslator::FillDefaultDialogTexts() {
    const char d = Delimiter();
    for (const TDialogText& text : kBasicDialogTexts) {
        DlgsCaptions()->Add(OneCellRow(text.Key, text.Text, d));
    }
}

// With NeedAllDlgs a table holding only the basic dialog texts gains the common dialogs'
// labels; without it a table holding exactly all of them loses them again.
void TCustomTranslator::AdjustDialogTexts() {
    TStringList& rows = *DlgsCaptions();
    const char d = Delimiter();
    if (needAllDlgs_ && rows.Count() == static_cast<int>(kBasicDialogTexts.size())) {
        for (std::string_view label : kCommonDialogLabels) {
            rows.Add(OneCellRow(WithoutAmpersands(label), label, d));
        }
    } else if (!needAllDlgs_ && rows.Count() == kAllDialogTextCount) {
        for (int i = rows.Count() - 1; i >= 0; --i) {
            if (!IsBasicDialogKey(ExtractField(rows.Strings(i), 0))) {
                rows.Delete(i);
            }
        }
    }
}

} // namespace kq
