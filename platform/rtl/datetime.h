#pragma once
// Dates and times as the class library keeps them (TDateTime, datetime_type.h): calendar
// arithmetic, the clock readings Now/Date/Time, FormatDateTime and the text scanners. Text
// conversions read the locale settings in force (formatsettings.h) unless given their own.
//
// Splitting a value into date and time rounds it to the nearest millisecond first, so 23:59:59.9996
// reads as midnight of the next day and never as a 60th second.

#include <array>
#include <cstdint>
#include <string>

#include "platform/rtl/datetime_type.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerDay = 24 * 60;
inline constexpr int SecsPerDay = 24 * 60 * 60;
inline constexpr int MSecsPerDay = 24 * 60 * 60 * 1000;
// Days from 0001-01-01 (day 1) to 1899-12-30 (day 0 of TDateTime), and from 1899-12-30 to
// 1970-01-01.
inline constexpr int DateDelta = 693594;
inline constexpr int UnixDateDelta = 25569;
// Lowest and highest dates that encode: 0001-01-01 and 9999-12-31.
inline constexpr TDateTime MinDateTime = -693593.0;
inline constexpr TDateTime MaxDateTime = 2958465.99999999;

// Month lengths, [IsLeapYear][Month - 1].
extern const std::array<std::array<uint16_t, 12>, 2> MonthDays;

bool IsLeapYear(int Year);
// 0 for a month outside 1..12.
int DaysInAMonth(int Year, int Month);

// False unless 1 <= Year <= 9999, 1 <= Month <= 12 and the day exists in that month.
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
// False unless Hour < 24, Min < 60, Sec < 60 and MSec < 1000 (none negative).
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec,
                       TDateTime& Value);
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec);
// A date and a time of day as one value: before 1899-12-30 the time counts with the date's sign.
TDateTime ComposeDateTime(TDateTime Date, TDateTime Time);

// A value outside 0001-01-01 .. 9999-12-31 decodes to year, month and day 0.
void DecodeDate(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day);
// Also gives DayOfWeek; returns whether the year is a leap year.
bool DecodeDateFully(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& DOW);
void DecodeTime(TDateTime Value, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec);
void DecodeDateTime(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& Hour,
                    uint16_t& Min, uint16_t& Sec, uint16_t& MSec);

// 1 = Sunday ... 7 = Saturday, as the class library numbers the days (and indexes ShortDayNames).
int DayOfWeek(TDateTime Value);
// 1 = Monday ... 7 = Sunday (the ISO numbering), for callers that count the week from Monday.
int DayOfTheWeek(TDateTime Value);

// The whole-day part and the time-of-day part of a value.
TDateTime DateOf(TDateTime Value);
TDateTime TimeOf(TDateTime Value);
// Adds months, cutting the day to the target month's length, and keeps the time of day.
TDateTime IncMonth(TDateTime Value, int NumberOfMonths = 1);

// From the installed clock (clock.h), never the system clock directly.
TDateTime Now();
TDateTime Date();
TDateTime Time();
int CurrentYear();

// Formats with the class library's pattern letters (case-insensitive; a run of one letter is one
// token):
//   d dd        day without / with a leading zero; ddd dddd short / long day name;
//   ddddd       ShortDateFormat; dddddd LongDateFormat;
//   m mm        month number (minutes instead when the letter before was an hour token);
//   mmm mmmm    short / long month name;  yy yyyy  two- / four-digit year;
//   h hh        hour (12-hour clock when an am/pm, a/p or ampm token follows before the next h,
//               or came earlier in the same format);  n nn  minutes;  s ss  seconds;
//   z zzz       milliseconds;  t tt  ShortTimeFormat / LongTimeFormat;
//   c           ShortDateFormat, then a blank and LongTimeFormat unless the time is midnight;
//   am/pm a/p   the part before or after the slash as written in the format; ampm  TimeAMString
//               or TimePMString;  /  DateSeparator;  :  TimeSeparator;
//   '..' ".."   literal text; any other character (UTF-8 included) is copied.
// An empty format means "c".
std::string FormatDateTime(const std::string& Format, TDateTime Value);
std::string FormatDateTime(const std::string& Format, TDateTime Value, const TFormatSettings& Settings);

std::string DateToStr(TDateTime Value);  // ShortDateFormat
std::string TimeToStr(TDateTime Value);  // LongTimeFormat
std::string DateTimeToStr(TDateTime Value);  // "c"
std::string DateToStr(TDateTime Value, const TFormatSettings& Settings);
std::string TimeToStr(TDateTime Value, const TFormatSettings& Settings);
std::string DateTimeToStr(TDateTime Value, const TFormatSettings& Settings);

// Text scanners, as the class library reads dates and times typed by a user:
//   time  [am/pm] hour [: minute [: second [. millisecond]]] [am/pm] — the separators are
//         TimeSeparator and DecimalSeparator; am/pm is TimeAMString/TimePMString or the literal
//         "AM"/"PM" in any case and needs an hour of 1..12; the millisecond field is read as a
//         number ("10:00:00.5" is 5 ms).
//   date  number sep number [sep number], in the order of ShortDateFormat (the first of d, m, y;
//         month-day-year when none); two numbers take the current year; a year of one or two
//         digits is placed in the century window (TwoDigitYearCenturyWindow).
//   date and time  a date, then optionally a time; text without a date is read as a time.
// Numbers take at most four digits (the reading stops once a value reaches 1000), blanks may
// surround every part, and the whole text must be used.
bool TryStrToTime(const std::string& S, TDateTime& Value);
bool TryStrToDate(const std::string& S, TDateTime& Value);
bool TryStrToDateTime(const std::string& S, TDateTime& Value);
bool TryStrToTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToDate(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToDateTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
// Raise EConvertError "'S' is not a valid time" / "... date" / "... date and time".
TDateTime StrToTime(const std::string& S);
TDateTime StrToDate(const std::string& S);
TDateTime StrToDateTime(const std::string& S);
TDateTime StrToTime(const std::string& S, const TFormatSettings& Settings);
TDateTime StrToDate(const std::string& S, const TFormatSettings& Settings);
TDateTime StrToDateTime(const std::string& S, const TFormatSettings& Settings);
TDateTime StrToTimeDef(const std::string& S, TDateTime Default);
TDateTime StrToDateDef(const std::string& S, TDateTime Default);
TDateTime StrToDateTimeDef(const std::string& S, TDateTime Default);
