#pragma once
// Dates, times and numbers typed as text: scanning dates in the locale's short date order with its
// separators (two-digit years fall into a hundred-year window, 1950-2049 by default), scanning
// times with an optional AM/PM marker, testing whether a text is a date, a time, an integer or a
// float, reading a number back from a formatted display text, encoding dates and times, and
// finding which date or time part the caret stands in.
//
// Every routine is a free function without state. Positions are 1-based character positions
// (code points); carets are 0-based selection starts, so Caret = n stands after the n-th
// character. The locale comes from the Settings argument, by default the settings in force; the
// current year comes from the installed clock, so tests fix both.

#include <array>
#include <string>

#include "platform/rtl/datetime_type.h"
#include "platform/rtl/formatsettings.h"

// The parts of a date/time text a caret can stand in.
enum TkvDateTimePart : int {
  dtpDay = 0,
  dtpMonth = 1,
  dtpYear = 2,
  dtpHour = 3,
  dtpMinute = 4,
  dtpSecond = 5,
  dtpAMPM = 6,
};

// Date orders, as kvDateOrder gives them.
inline constexpr int kvOrderMDY = 0;
inline constexpr int kvOrderDMY = 1;
inline constexpr int kvOrderYMD = 2;

// Two-digit years of typed dates fall into the hundred years that begin here.
inline constexpr int kvDefaultCenturyBase = 1950;

// The year of the local time (from the clock service).
int kvCurrentYear();

// Moves Position past blanks (only the blank character counts).
void kvSkipBlanks(const std::string& Text, int& Position);
// Skips blanks, then reads decimal digits while the value read so far is at most 999, so at most
// four significant digits are taken and the rest stay for the next scan (leading zeros do not
// count: "00049" reads 49). Without digits, the next three characters are tried as a short month
// name and give its number. True when something was read; Position then stands past it. Blanks
// before a failed number stay skipped.
bool kvScanNumber(const std::string& Text, int& Position, int& Value,
                  const TFormatSettings& Settings = FormatSettings());
// Month 1-12 when Text equals one of the locale's short month names (a-z folded).
bool kvScanMonthName(const std::string& Text, int& Month,
                     const TFormatSettings& Settings = FormatSettings());
// After skipping blanks: True and Position past S when the next characters equal S, compared
// without regard to case by the fixed Unicode case map. False for an empty S.
bool kvScanString(const std::string& Text, int& Position, const std::string& S);
// After skipping blanks: True and Position + 1 when the character at Position is Ch.
bool kvScanChar(const std::string& Text, int& Position, char32_t Ch);

// The first of the letters D, M, Y (either case) in Format: D gives kvOrderDMY, Y kvOrderYMD, M or
// none kvOrderMDY.
int kvDateOrder(const std::string& Format);
bool kvIsLeapYear(int Year);
// The twelve month lengths of Year.
std::array<int, 12> kvMonthDays(int Year);
// Day + 1, or 1 after the month's last day; Day - 1, or the month's last day before day 1.
int kvNextDayOfMonth(int Year, int Month, int Day);
int kvPrevDayOfMonth(int Year, int Month, int Day);
// False unless 1 <= Year <= 9999, 1 <= Month <= 12 and the day exists; Date counts days since
// 30 December 1899.
bool kvTryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
// False when Hour > 23, Minute > 59, Second > 59 or MSec > 999 (or any is negative).
bool kvTryEncodeTime(int Hour, int Minute, int Second, int MSec, TDateTime& Time);

// Scans "N1 sep N2 [sep N3]" in the locale's short date order with its DateSeparator; any number
// may be a short month name. Two numbers take the current year. A year below 100 falls into the
// hundred years that begin at CenturyBase. Trailing blanks are skipped; the result is whether the
// day exists.
bool kvScanDateWindow(const std::string& Text, int& Position, TDateTime& Date, int CenturyBase,
                      const TFormatSettings& Settings = FormatSettings());
bool kvScanDate(const std::string& Text, int& Position, TDateTime& Date,
                const TFormatSettings& Settings = FormatSettings());
// A date at the start of Text; the rest of the text is not checked.
bool kvTryScanDate(const std::string& Text, TDateTime& Date,
                   const TFormatSettings& Settings = FormatSettings());
bool kvTryScanDateWindow(const std::string& Text, TDateTime& Date, int CenturyBase,
                         const TFormatSettings& Settings = FormatSettings());
// Scans "hour sep minute [sep second] [AM/PM]" with the locale's TimeSeparator. The marker is the
// locale's TimeAMString / TimePMString or the literal "AM" / "PM", in any case; with a marker the
// hour must be 1-12. Trailing blanks are skipped.
bool kvScanTime(const std::string& Text, int& Position, TDateTime& Time,
                const TFormatSettings& Settings = FormatSettings());

// Whole-text tests (trailing blanks allowed).
bool kvIsDateText(const std::string& Text, const TFormatSettings& Settings = FormatSettings());
bool kvIsTimeText(const std::string& Text, const TFormatSettings& Settings = FormatSettings());
bool kvIsDateTimeText(const std::string& Text, const TFormatSettings& Settings = FormatSettings());
// Date + time when the whole text is a date and a time, else 0.
TDateTime kvDateTimeTextToValue(const std::string& Text, const TFormatSettings& Settings = FormatSettings());
// The date scanned at the start of Text (the rest not checked), else 0.
TDateTime kvDateTextToValue(const std::string& Text, const TFormatSettings& Settings = FormatSettings());
// The time when the whole text is a time, else 0.
TDateTime kvTimeTextToValue(const std::string& Text, const TFormatSettings& Settings = FormatSettings());

// Every character is a digit, except that the first may be "-" in a text longer than one
// character. True for an empty text.
bool kvIsIntegerText(const std::string& Text);
// True for an empty text; otherwise whether the first 63 characters read as a float with the
// locale's decimal separator. (A key filter asks this of a text being typed.)
bool kvIsFloatText(const std::string& Text, const TFormatSettings& Settings = FormatSettings());
// The number a float text stands for, or Default when the text is empty, fails kvIsFloatText or
// does not read as a whole (a long text can pass the 63-character test and still hold garbage
// further on). Never raises: editors read their values through it.
long double kvFloatTextToValue(const std::string& Text, long double Default,
                               const TFormatSettings& Settings = FormatSettings());
// Reads a number back from a formatted display text: "(" stands for a minus sign, a leading "-"
// makes the number negative, digits and the decimal separator are collected and everything else
// (blanks, currency symbols, thousand separators, letters) is skipped. An empty Text gives True
// and leaves Value alone. When Format (a FormatFloat format) is given and the value read is
// positive, but the text is what the format prints for its negative, the value is negated (for
// formats whose negative section shows no minus sign).
bool kvFormattedTextToFloat(const std::string& Text, long double& Value, const std::string& Format,
                            const TFormatSettings& Settings = FormatSettings());

// The date or time part the caret stands in. TimeOnly texts are walked as times from the start;
// otherwise the time is looked at once the caret has passed a date at the start of the text.
TkvDateTimePart kvDateTimePartAt(int Caret, const std::string& Text, bool TimeOnly,
                                 const TFormatSettings& Settings = FormatSettings());
// The time part of a time text; dtpHour at caret 0.
TkvDateTimePart kvTimePartAt(int Caret, const std::string& Text,
                             const TFormatSettings& Settings = FormatSettings());
