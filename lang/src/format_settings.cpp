#include "lang/format_settings.h"

#include "base/string_list.h"

namespace kq {

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

namespace {

template <std::size_t N>
void ReplaceNames(std::array<AnsiString, N>& names, std::string_view cell) {
    TStringList items;
    items.SetCommaText(cell);
    for (int i = 0; i < items.Count() && i < static_cast<int>(N); ++i) {
        names[static_cast<std::size_t>(i)] = items.Strings(i);
    }
}

} // namespace

void ApplyLocaleSetting(TFormatSettings& settings, std::string_view key, std::string_view cell) {
    if (cell.empty()) {
        return;
    }
    struct TWhole {
        std::string_view Key;
        AnsiString TFormatSettings::*Setting;
    };
    struct TSeparator {
        std::string_view Key;
        char TFormatSettings::*Setting;
    };
    static constexpr TWhole kWhole[] = {
        {"Currency String", &TFormatSettings::CurrencyString},
        {"Short Date Format", &TFormatSettings::ShortDateFormat},
        {"Long Date Format", &TFormatSettings::LongDateFormat},
        {"Time AM String", &TFormatSettings::TimeAMString},
        {"Time PM String", &TFormatSettings::TimePMString},
        {"Short Time Format", &TFormatSettings::ShortTimeFormat},
        {"Long Time Format", &TFormatSettings::LongTimeFormat},
    };
    static constexpr TSeparator kSeparators[] = {
        {"Thousand Separator", &TFormatSettings::ThousandSeparator},
        {"Decimal Separator", &TFormatSettings::DecimalSeparator},
        {"Date Separator", &TFormatSettings::DateSeparator},
        {"Time Separator", &TFormatSettings::TimeSeparator},
    };
    for (const TWhole& whole : kWhole) {
        if (key == whole.Key) {
            settings.*whole.Setting = AnsiString(cell);
            return;
        }
    }
    for (const TSeparator& separator : kSeparators) {
        if (key == separator.Key) {
            settings.*separator.Setting = cell.front();
            return;
        }
    }
    if (key == "Short Month Names") {
        ReplaceNames(settings.ShortMonthNames, cell);
    } else if (key == "Long Month Names") {
        ReplaceNames(settings.LongMonthNames, cell);
    } else if (key == "Short Day Names") {
        ReplaceNames(settings.ShortDayNames, cell);
    } else if (key == "Long Day Names") {
        ReplaceNames(settings.LongDayNames, cell);
    }
}

} // namespace kq
