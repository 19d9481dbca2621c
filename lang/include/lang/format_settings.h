#pragma once

// The process-wide number and date format settings that the Locales section describes: the
// translation component fills its default Locales rows from them, and the translation pass may
// replace them.
//
// The values start as those of an English (United States) system; the platform layer does not
// report the user's own settings yet.

#include "base/strings.h"

#include <array>
#include <string_view>

namespace kq {

struct TFormatSettings {
    AnsiString CurrencyString = "$";
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    char DateSeparator = '/';
    AnsiString ShortDateFormat = "M/d/yyyy";
    AnsiString LongDateFormat = "dddd, MMMM d, yyyy";
    char TimeSeparator = ':';
    AnsiString TimeAMString = "AM";
    AnsiString TimePMString = "PM";
    AnsiString ShortTimeFormat = "h:mm AMPM";
    AnsiString LongTimeFormat = "h:mm:ss AMPM";
    std::array<AnsiString, 12> ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<AnsiString, 12> LongMonthNames = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};
    std::array<AnsiString, 7> ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<AnsiString, 7> LongDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};
};

// The settings of the process.
TFormatSettings& FormatSettings();

// Replaces the setting that a row of the Locales section names by its non-empty cell. The key is
// matched exactly ("Currency String", "Decimal Separator", ..., "Long Day Names"); a separator
// takes the cell's first byte, a list of names the cell's comma-text items in order (no more
// than the list holds; fewer items replace fewer names), any other setting the whole cell. An
// unknown key or an empty cell changes nothing.
void ApplyLocaleSetting(TFormatSettings& settings, std::string_view key, std::string_view cell);

} // namespace kq
