#pragma once
// The display-format engine of the date/time picker, without any window: shorthand expansion
// ("c", "t", "tt", "ddddd", "dddddd"), reading the format token by token, the editable fields
// and where each one stands in the shown text, the part tests (has a date, a time, an am/pm
// half), and the small pieces of arithmetic the keyboard editing needs (two-digit years, hours
// typed into a 12-hour format, the parts of a value).
//
// Format letters are those of FormatDateTime. The picker edits the value one field at a time, so
// it must know which characters of its text belong to which field: the layout walks the expanded
// format and prints every token exactly as FormatDateTime prints it, counting code points.
// Text in quotes is literal (FormatDateTime prints it without the quotes), so letters inside
// quotes never become fields.

#include <string>

#include "platform/rtl/datetime_type.h"
#include "platform/rtl/formatsettings.h"

// Which tokens of a format the picker edits: date tokens in a date or date-and-time picker, time
// tokens in a time or date-and-time picker.
enum class TkvFieldSet { DateAndTime, DateOnly, TimeOnly };

// Field N of a format laid out for a value.
struct TkvFieldInfo {
  std::string Text;   // the shown text from its start up to and including field N
  int Position = 0;   // code points before field N
  int Length = 0;     // code points of field N's text
  std::string Token;  // the field's token as written in the format ("dd", "MMM", "nn", "am/pm")
};

// A value split into its parts (year 0 for a value no calendar date has).
struct TkvDateTimeParts {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0;
};
TkvDateTimeParts kvSplitDateTime(TDateTime Value);

// Every occurrence of Find in Source, from left to right and without overlaps, replaced.
std::string kvReplaceText(const std::string& Source, const std::string& Find, const std::string& Replacement);

// The format with its shorthands replaced, in this order, each step seeing what the earlier ones
// inserted: "c" by ShortDateFormat + " " + LongTimeFormat, "dddddd" by LongDateFormat, "ddddd" by
// ShortDateFormat, "tt" by LongTimeFormat, "t" by ShortTimeFormat (case-sensitive).
std::string kvExpandDateTimeFormat(const std::string& Format, const TFormatSettings& Settings = FormatSettings());

// Reads the token that starts at the 1-based byte Position of Format and leaves Position on its
// last character. "a/p", "am/pm" and "ampm" are tokens (either case, kept as written); any other
// letter forms the run of that letter (either case); "m" or "mm" standing two characters after an
// h is a minutes token and reads "n" / "nn". Empty for an "a" that starts none of the three
// forms and for a character that is no letter (Position stays).
std::string kvReadFormatToken(const std::string& Format, int& Position);

// The token's kind by its upper-cased first letter: 'D', 'M', 'Y', 'H', 'N', 'S', 'A' (am/pm),
// or 0 for tokens the picker does not edit.
char kvTokenKind(const std::string& Token);
bool kvIsDateToken(const std::string& Token);
bool kvIsTimeToken(const std::string& Token);
bool kvIsAmPmToken(const std::string& Token);
// A field of a picker of that kind.
bool kvIsFieldToken(const std::string& Token, TkvFieldSet Fields);

// True for an empty format; otherwise whether the expanded format has a d, y or month token.
bool kvFormatHasDate(const std::string& Format, const TFormatSettings& Settings = FormatSettings());
// True for an empty format; otherwise whether the format (not expanded) holds any of the letters
// H, N, S, T, C in either case.
bool kvFormatHasTime(const std::string& Format);
// The expanded format holds the letter a in either case.
bool kvFormatHasAmPm(const std::string& ExpandedFormat);
// The format holds an a/p, am/pm or ampm token (the hours then count 1..12).
bool kvFormatHasAmPmToken(const std::string& ExpandedFormat);

// The number of fields of an expanded format.
int kvCountFields(const std::string& ExpandedFormat, TkvFieldSet Fields);
// Field N (1-based) laid out for Value; all empty or 0 when the format has fewer than N fields.
TkvFieldInfo kvGetFieldInfo(const std::string& ExpandedFormat, TkvFieldSet Fields, int N, TDateTime Value,
                            const TFormatSettings& Settings = FormatSettings());

// (Epoch div 100) x 100 + YY, plus 100 when YY is below Epoch mod 100.
int kvExpandTwoDigitYear(int YY, int Epoch);
// Whether the decade that a first year digit D opens (in the hundred years from Epoch) reaches
// MinDate: December 31 of its last year is not before MinDate. Always true while MinDate is 0.
bool kvDecadeReachesMinDate(int D, int Epoch, TDateTime MinDate);
// An hour typed into a format with an am/pm half: 12 before noon is 0, an hour below 12 after
// noon moves into the afternoon. Without an am/pm half the typed hour stands.
int kvAdjustHourForAmPm(bool HasAmPm, int CurrentHour, int TypedHour);
// The days of Month in Year (0 for a month outside 1..12).
int kvDaysOfMonth(int Year, int Month);
// The next leap year after a year that is not one, as the day and month entry moves a typed
// 29 February: ((Year + 4) div 4) x 4, four more when that is not a leap year either.
int kvNextLeapYear(int Year);
