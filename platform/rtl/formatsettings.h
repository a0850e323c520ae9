#pragma once
// The locale settings every number, currency, date and time conversion reads. They start as a
// fixed English (United States) table, never the machine's locale, so results are the same on
// every machine; tests and callers that need another locale replace them (TScopedFormatSettings)
// or pass their own copy to the overloads that take one.

#include <array>
#include <cstdint>
#include <string>

struct TFormatSettings {
  uint8_t CurrencyFormat = 0;  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  uint8_t NegCurrFormat = 0;   // 0 "($1)" ... 15 "(1 $)", the sixteen layouts of the class library
  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  uint8_t CurrencyDecimals = 2;
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char ListSeparator = ',';
  std::string CurrencyString = "$";
  std::string ShortDateFormat = "M/d/yyyy";
  std::string LongDateFormat = "dddd, MMMM d, yyyy";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  std::string ShortTimeFormat = "h:nn";
  std::string LongTimeFormat = "h:nn:ss";
  std::array<std::string, 12> ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> LongMonthNames = {"January", "February", "March",     "April",
                                                "May",     "June",     "July",      "August",
                                                "September", "October", "November", "December"};
  // Sunday first, as DayOfWeek numbers them.
  std::array<std::string, 7> ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> LongDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                             "Thursday", "Friday", "Saturday"};
  // A two-digit year read from text lands in the hundred years that start this many years before
  // the current year; 0 puts it in the current century.
  uint16_t TwoDigitYearCenturyWindow = 50;
  // The first day of the week as the locale gives it: 0 = Monday ... 6 = Sunday.
  uint8_t FirstDayOfWeek = 6;
};

// The settings in force. Conversions without a settings argument read these.
TFormatSettings& FormatSettings();
// The fixed English default.
const TFormatSettings& DefaultFormatSettings();

// Replaces the settings in force for its lifetime (tests, or a user's chosen locale), then puts
// the previous ones back. Not for use while another thread converts.
class TScopedFormatSettings {
 public:
  explicit TScopedFormatSettings(const TFormatSettings& Settings);
  ~TScopedFormatSettings();
  TScopedFormatSettings(const TScopedFormatSettings&) = delete;
  TScopedFormatSettings& operator=(const TScopedFormatSettings&) = delete;

 private:
  TFormatSettings FSaved;
};
