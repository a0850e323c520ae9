#include "platform/rtl/datetime.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/clock.h"

namespace {

// Values compare by whole milliseconds: that is all the calendar routines resolve.
int64_t Milliseconds(TDateTime Value) { return std::llround(Value * MSecsPerDay); }

#define EXPECT_SAME_MOMENT(Actual, Expected) EXPECT_EQ(Milliseconds(Actual), Milliseconds(Expected))

// Saturday, 7 March 2026, 14:05:09.045: every field differs from its neighbours, the hour is in
// the afternoon and the day and month have one digit.
const TDateTime Afternoon = EncodeDateTime(2026, 3, 7, 14, 5, 9, 45);

TEST(DateEncoding, DayNumbersFollowTheCalendarFromDayZero) {
  struct TCase {
    const char* Name;
    int Year, Month, Day;
    TDateTime Expected;
  };
  const TCase Cases[] = {
      {"day zero", 1899, 12, 30, 0},
      {"first of 1900 (1900 is no leap year)", 1900, 1, 1, 2},
      {"first of 2000", 2000, 1, 1, 36526},
      {"leap day 2000", 2000, 2, 29, 36585},
      {"first representable day", 1, 1, 1, -693593},
      {"last representable day", 9999, 12, 31, 2958465},
      {"the day before day zero", 1899, 12, 29, -1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(EncodeDate(Case.Year, Case.Month, Case.Day), Case.Expected);
    uint16_t Year, Month, Day;
    DecodeDate(Case.Expected, Year, Month, Day);
    EXPECT_EQ(Year, Case.Year);
    EXPECT_EQ(Month, Case.Month);
    EXPECT_EQ(Day, Case.Day);
  }
}

TEST(DateEncoding, EveryDayOfFourCenturiesRoundTrips) {
  // Covers the cycle ends (31 December of years divisible by 4, 100 and 400).
  TDateTime First = EncodeDate(1800, 1, 1), Last = EncodeDate(2200, 12, 31);
  int Year = 1800, Month = 1, Day = 1;
  for (TDateTime Value = First; Value <= Last; Value += 1) {
    uint16_t Y, M, D;
    DecodeDate(Value, Y, M, D);
    ASSERT_EQ(Y, Year);
    ASSERT_EQ(M, Month);
    ASSERT_EQ(D, Day);
    if (++Day > DaysInAMonth(Year, Month)) {
      Day = 1;
      if (++Month > 12) {
        Month = 1;
        ++Year;
      }
    }
  }
}

TEST(DateEncoding, RefusesDatesAndTimesThatDoNotExist) {
  struct TCase {
    const char* Name;
    int Year, Month, Day;
  };
  const TCase Dates[] = {{"29 February of a common year", 2026, 2, 29},
                         {"29 February 1900", 1900, 2, 29},
                         {"31 April", 2026, 4, 31},
                         {"month 13", 2026, 13, 1},
                         {"day 0", 2026, 1, 0},
                         {"year 0", 0, 1, 1},
                         {"year 10000", 10000, 1, 1}};
  for (const auto& Case : Dates) {
    SCOPED_TRACE(Case.Name);
    TDateTime Value = 123;
    EXPECT_FALSE(TryEncodeDate(Case.Year, Case.Month, Case.Day, Value));
    EXPECT_EQ(Value, 123);
    EXPECT_THROW(EncodeDate(Case.Year, Case.Month, Case.Day), EConvertError);
  }
  EXPECT_TRUE(IsLeapYear(2000) && IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(1900) || IsLeapYear(2100) || IsLeapYear(2026));

  TDateTime Value;
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, Value));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, Value));
  EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0, Value));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, Value));
  EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, Value));
  try {
    EncodeTime(25, 0, 0, 0);
    FAIL() << "no exception";
  } catch (const EConvertError& Error) {
    EXPECT_EQ(Error.Message(), "Invalid argument to time encode");
  }
  EXPECT_EQ(EncodeTime(18, 0, 0, 0), 0.75);
  EXPECT_EQ(EncodeTime(9, 0, 0, 0), 0.375);
}

TEST(DateDecoding, NegativeValuesCarryTheTimeWithTheDatesSign) {
  // -1.25 is 29 December 1899, 06:00: the fraction counts forward from midnight.
  uint16_t Year, Month, Day, Hour, Min, Sec, MSec;
  DecodeDateTime(-1.25, Year, Month, Day, Hour, Min, Sec, MSec);
  EXPECT_EQ(Year, 1899);
  EXPECT_EQ(Month, 12);
  EXPECT_EQ(Day, 29);
  EXPECT_EQ(Hour, 6);
  EXPECT_EQ(ComposeDateTime(-1, 0.25), -1.25);
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  // Between -1 and 0 the date is day zero.
  DecodeDateTime(-0.5, Year, Month, Day, Hour, Min, Sec, MSec);
  EXPECT_EQ(Day, 30);
  EXPECT_EQ(Hour, 12);
}

TEST(DateDecoding, RoundsToTheMillisecondBeforeSplitting) {
  uint16_t Year, Month, Day, Hour, Min, Sec, MSec;
  // Less than half a millisecond before midnight: the next day, 00:00:00.000.
  DecodeDateTime(EncodeDate(2026, 12, 31) + 1 - 1e-10, Year, Month, Day, Hour, Min, Sec, MSec);
  EXPECT_EQ(Year, 2027);
  EXPECT_EQ(Month, 1);
  EXPECT_EQ(Day, 1);
  EXPECT_EQ(Hour + Min + Sec + MSec, 0);
  // 09:00:00 computed with a rounding error below it still reads as 9 o'clock.
  DecodeTime(0.375 - 1e-12, Hour, Min, Sec, MSec);
  EXPECT_EQ(Hour, 9);
  EXPECT_EQ(Min, 0);
  EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", 46027.375 - 1e-12), "09:00:00.000");
}

TEST(DateDecoding, DayOfWeekCountsFromSundayAndDayOfTheWeekFromMonday) {
  struct TCase {
    const char* Name;
    TDateTime Value;
    int SundayFirst, MondayFirst;
  };
  const TCase Cases[] = {
      {"day zero was a Saturday", 0, 7, 6},
      {"the day before, a Friday", -1, 6, 5},
      {"Sunday 4 January 2026", EncodeDate(2026, 1, 4), 1, 7},
      {"Monday 5 January 2026, afternoon", EncodeDate(2026, 1, 5) + 0.9, 2, 1},
      {"Saturday 7 March 2026", Afternoon, 7, 6},
      {"a week before day zero", -7, 7, 6},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(DayOfWeek(Case.Value), Case.SundayFirst);
    EXPECT_EQ(DayOfTheWeek(Case.Value), Case.MondayFirst);
  }
}

TEST(DateArithmetic, IncMonthCutsTheDayAndKeepsTheTime) {
  EXPECT_SAME_MOMENT(IncMonth(EncodeDateTime(2026, 1, 31, 10, 0, 0, 0), 1), EncodeDateTime(2026, 2, 28, 10, 0, 0, 0));
  EXPECT_SAME_MOMENT(IncMonth(EncodeDate(2024, 3, 31), -1), EncodeDate(2024, 2, 29));
  EXPECT_SAME_MOMENT(IncMonth(EncodeDate(2026, 11, 15), 14), EncodeDate(2028, 1, 15));
  EXPECT_SAME_MOMENT(IncMonth(EncodeDate(2026, 1, 15), -13), EncodeDate(2024, 12, 15));
}

TEST(Clock, NowDateAndTimeComeFromTheInstalledClock) {
  TScopedManualClock ManualClock(EncodeDateTime(2026, 3, 7, 14, 5, 9, 45));
  EXPECT_SAME_MOMENT(Now(), Afternoon);
  EXPECT_EQ(Date(), EncodeDate(2026, 3, 7));
  EXPECT_SAME_MOMENT(Time(), EncodeTime(14, 5, 9, 45));
  EXPECT_EQ(CurrentYear(), 2026);
}

struct TFormatCase {
  const char* Format;
  const char* Expected;
  const char* Covers;
};

TEST(FormatDateTime, EveryPatternLetter) {
  const TFormatCase Cases[] = {
      {"d", "7", "day without a leading zero"},
      {"dd", "07", "day with a leading zero"},
      {"ddd", "Sat", "short day name"},
      {"dddd", "Saturday", "long day name"},
      {"ddddd", "3/7/2026", "short date format"},
      {"dddddd", "Saturday, March 7, 2026", "long date format"},
      {"m", "3", "month"},
      {"mm", "03", "month with a leading zero"},
      {"mmm", "Mar", "short month name"},
      {"mmmm", "March", "long month name"},
      {"y", "26", "a single y is the two-digit year"},
      {"yy", "26", "two-digit year"},
      {"yyy", "2026", "three y are the four-digit year"},
      {"yyyy", "2026", "four-digit year"},
      {"h", "14", "hour"},
      {"hh", "14", "hour with a leading zero"},
      {"n", "5", "minute"},
      {"nn", "05", "minute with a leading zero"},
      {"nnn", "05", "longer minute runs print two digits"},
      {"s", "9", "second"},
      {"ss", "09", "second with a leading zero"},
      {"z", "45", "milliseconds without padding"},
      {"zzz", "045", "milliseconds, three digits"},
      {"t", "14:05", "short time format"},
      {"tt", "14:05:09", "long time format"},
      {"c", "3/7/2026 14:05:09", "short date and long time"},
      {"", "3/7/2026 14:05:09", "an empty format means c"},
      {"h am/pm", "2 pm", "am/pm keeps the format's case"},
      {"h AM/PM", "2 PM", "AM/PM upper case"},
      {"h Am/pM", "2 pM", "each half keeps its own case"},
      {"h a/p", "2 p", "a/p"},
      {"h A/P", "2 P", "A/P"},
      {"hh ampm", "02 PM", "ampm prints TimePMString"},
      {"h:m", "14:5", "m right after an hour token is minutes"},
      {"hh:mm:ss", "14:05:09", "the pickers' time format"},
      {"hh 'h' mm", "14 h 05", "a quoted literal between keeps m as minutes"},
      {"hh:nn mm", "14:05 03", "m after a minute token is the month again"},
      {"yyyy-mm-dd", "2026-03-07", "m after a year is the month"},
      {"MM/dd HH:mm:ss am/pm", "03/07 02:05:09 pm", "the stamps' default format, letters in any case"},
      {"MMMM/dd/yyyy HH:mm", "March/07/2026 14:05", "long month name with minutes"},
      {"M/d/yyyy hh:mm am/pm", "3/7/2026 02:05 pm", "12-hour hour before am/pm"},
      {"mm/dd/yyyy hh:nn:ss.zzz", "03/07/2026 14:05:09.045", "the log line's time stamp"},
      {"© yyyy, HH:mm:ss", "© 2026, 14:05:09", "UTF-8 text is copied"},
      {"'day' d \"of\" mmmm", "day 7 of March", "both kinds of quotes"},
      {"'it''s' h", "its 14", "two quoted pieces side by side"},
      {"dd 'unterminated", "07 unterminated", "a quote without its end runs to the end"},
      {"am/pm hh", "pm 02", "an am/pm before the hour also selects the 12-hour clock"},
      {"h a hh am/pm", "14 a 02 pm", "the look-ahead stops at the first a; a lone a is copied"},
      {"h q", "14 q", "letters that are no token are copied"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Format) + ": " + Case.Covers);
    EXPECT_EQ(FormatDateTime(Case.Format, Afternoon), Case.Expected);
  }
}

TEST(FormatDateTime, TwelveHourClockAroundMidnightAndNoon) {
  struct TCase {
    int Hour;
    const char* Expected;
  };
  const TCase Cases[] = {{0, "12:30 am"}, {1, "1:30 am"},   {11, "11:30 am"},
                         {12, "12:30 pm"}, {13, "1:30 pm"}, {23, "11:30 pm"}};
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Hour);
    EXPECT_EQ(FormatDateTime("h:nn am/pm", EncodeTime(Case.Hour, 30, 0, 0)), Case.Expected);
  }
  // Once an am/pm token was printed, later hours of the same format use the 12-hour clock too.
  EXPECT_EQ(FormatDateTime("h a/p hh", EncodeTime(13, 0, 0, 0)), "1 p 01");
  EXPECT_EQ(FormatDateTime("c", EncodeDate(2026, 3, 7)), "3/7/2026");  // midnight: no time
  EXPECT_EQ(FormatDateTime("c", EncodeDate(2026, 3, 7) + EncodeTime(0, 0, 0, 1)), "3/7/2026 0:00:00");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
}

TEST(FormatDateTime, UsesTheLocaleSettings) {
  TFormatSettings German;
  German.DateSeparator = '.';
  German.TimeSeparator = '-';
  German.ShortDateFormat = "dd/MM/yyyy";
  German.LongTimeFormat = "hh:nn:ss";
  German.TimeAMString = "vorm.";
  German.TimePMString = "nachm.";
  German.LongMonthNames[2] = "März";
  const TFormatCase Cases[] = {
      {"dd/mm/yyyy hh:nn", "07.03.2026 14-05", "/ and : print the separators"},
      {"c", "07.03.2026 14-05-09", "c uses the short date and long time formats"},
      {"hh ampm", "02 nachm.", "ampm prints the locale's strings"},
      {"mmmm", "März", "month names"},
      {"'a/b'", "a/b", "a quoted / stays a slash"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Covers);
    EXPECT_EQ(FormatDateTime(Case.Format, Afternoon, German), Case.Expected);
  }
  // The same through the settings in force.
  TScopedFormatSettings Scoped(German);
  EXPECT_EQ(DateToStr(Afternoon), "07.03.2026");
  EXPECT_EQ(TimeToStr(Afternoon), "14-05-09");
}

TEST(FormatDateTime, ShorthandsNestOnlyOneLevel) {
  TFormatSettings Looping;
  Looping.ShortDateFormat = "ddddd|d";  // refers to itself
  EXPECT_EQ(FormatDateTime("ddddd", Afternoon, Looping), "|7");
}

TEST(DateTimeToText, DefaultEnglishForms) {
  EXPECT_EQ(DateToStr(Afternoon), "3/7/2026");
  EXPECT_EQ(TimeToStr(Afternoon), "14:05:09");
  EXPECT_EQ(TimeToStr(0.375), "9:00:00");  // the time text the option tables hold
  EXPECT_EQ(DateTimeToStr(Afternoon), "3/7/2026 14:05:09");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 3, 7)), "3/7/2026");
}

TEST(StrToTime, ReadsTheWaysUsersWriteTimes) {
  struct TCase {
    const char* Text;
    int Hour, Min, Sec, MSec;
  };
  const TCase Cases[] = {
      {"9:00:00", 9, 0, 0, 0},       {"9:05", 9, 5, 0, 0},        {"9", 9, 0, 0, 0},
      {"23:59:59", 23, 59, 59, 0},   {"12:30 PM", 12, 30, 0, 0},  {"12:30 AM", 0, 30, 0, 0},
      {"1:15 pm", 13, 15, 0, 0},     {"PM 1:15", 13, 15, 0, 0},   {"11:00:05am", 11, 0, 5, 0},
      {" 9 : 05 ", 9, 5, 0, 0},      {"10:00:00.5", 10, 0, 0, 5}, {"0009:0005", 9, 5, 0, 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    TDateTime Value = -1;
    ASSERT_TRUE(TryStrToTime(Case.Text, Value));
    EXPECT_SAME_MOMENT(Value, EncodeTime(Case.Hour, Case.Min, Case.Sec, Case.MSec));
  }
  EXPECT_SAME_MOMENT(StrToTime(TimeToStr(0.375)), 0.375);
}

TEST(StrToTime, RefusesWhatIsNoTime) {
  const char* const Cases[] = {
      "",          // nothing
      "   ",       // blanks only
      "13:00 PM",  // a 12-hour marker needs an hour of 1..12
      "0:30 AM",   //
      "24:00",     // no such hour
      "9:60",      //
      "9:",        // a separator without its number
      "9:00x",     // text after the time
      "12345",     // four digits at most: the fifth is left over
      "9.30",      // the decimal separator is no time separator
      "3/7/2026",  // a date
  };
  for (const char* Text : Cases) {
    SCOPED_TRACE(Text);
    TDateTime Value = 7;
    EXPECT_FALSE(TryStrToTime(Text, Value));
    EXPECT_EQ(Value, 7);
  }
  try {
    StrToTime("25:00");
    FAIL() << "no exception";
  } catch (const EConvertError& Error) {
    EXPECT_EQ(Error.Message(), "'25:00' is not a valid time");
  }
  EXPECT_EQ(StrToTimeDef("x", 0.5), 0.5);
}

TEST(StrToDate, ReadsDatesInTheLocalesOrder) {
  TScopedManualClock ManualClock(EncodeDate(2026, 1, 5));  // the current year is 2026
  struct TCase {
    const char* Name;
    const char* Text;
    const char* ShortDateFormat;
    char Separator;
    int Year, Month, Day;
  };
  const TCase Cases[] = {
      {"month-day-year", "3/7/2026", "M/d/yyyy", '/', 2026, 3, 7},
      {"blanks around the parts", " 3 / 7 / 2026 ", "M/d/yyyy", '/', 2026, 3, 7},
      {"two numbers take the current year", "3/7", "M/d/yyyy", '/', 2026, 3, 7},
      {"day-month-year", "7.3.2026", "dd.MM.yyyy", '.', 2026, 3, 7},
      {"day-month, current year", "7.3", "dd.MM.yyyy", '.', 2026, 3, 7},
      {"year-month-day", "2026-03-07", "yyyy-MM-dd", '-', 2026, 3, 7},
      {"two-digit year inside the window", "3/7/26", "M/d/yyyy", '/', 2026, 3, 7},
      {"two-digit year at the window's start", "3/7/76", "M/d/yyyy", '/', 1976, 3, 7},
      {"two-digit year before the window's start", "3/7/75", "M/d/yyyy", '/', 2075, 3, 7},
      {"a four-digit year is taken as written", "3/7/0049", "M/d/yyyy", '/', 49, 3, 7},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFormatSettings Settings;
    Settings.ShortDateFormat = Case.ShortDateFormat;
    Settings.DateSeparator = Case.Separator;
    TDateTime Value;
    ASSERT_TRUE(TryStrToDate(Case.Text, Value, Settings));
    EXPECT_EQ(Value, EncodeDate(Case.Year, Case.Month, Case.Day));
  }

  TFormatSettings NoWindow;
  NoWindow.TwoDigitYearCenturyWindow = 0;
  EXPECT_EQ(StrToDate("3/7/99", NoWindow), EncodeDate(2099, 3, 7));
}

TEST(StrToDate, RefusesWhatIsNoDate) {
  TScopedManualClock ManualClock;
  const char* const Cases[] = {"", "3", "3/", "2/30/2026", "13/1/2026", "3-7-2026", "3/7/2026 x", "9:00"};
  for (const char* Text : Cases) {
    SCOPED_TRACE(Text);
    TDateTime Value = 7;
    EXPECT_FALSE(TryStrToDate(Text, Value));
    EXPECT_EQ(Value, 7);
  }
  EXPECT_THROW(
      {
        try {
          StrToDate("2/30/2026");
        } catch (const EConvertError& Error) {
          EXPECT_EQ(Error.Message(), "'2/30/2026' is not a valid date");
          throw;
        }
      },
      EConvertError);
}

TEST(StrToDateTime, DateThenOptionalTime) {
  TScopedManualClock ManualClock;
  EXPECT_SAME_MOMENT(StrToDateTime("3/7/2026 14:05:09"), EncodeDateTime(2026, 3, 7, 14, 5, 9, 0));
  EXPECT_SAME_MOMENT(StrToDateTime("3/7/2026 2:05 PM"), EncodeDateTime(2026, 3, 7, 14, 5, 0, 0));
  EXPECT_SAME_MOMENT(StrToDateTime("3/7/2026"), EncodeDate(2026, 3, 7));
  EXPECT_SAME_MOMENT(StrToDateTime("14:05"), EncodeTime(14, 5, 0, 0));
  EXPECT_SAME_MOMENT(StrToDateTime("12/29/1899 6:00"), -1.25);
  // What DateTimeToStr writes reads back.
  EXPECT_SAME_MOMENT(StrToDateTime(DateTimeToStr(Afternoon - EncodeTime(0, 0, 0, 45))),
                     Afternoon - EncodeTime(0, 0, 0, 45));
  TDateTime Value;
  EXPECT_FALSE(TryStrToDateTime("3/7/2026 junk", Value));
  EXPECT_FALSE(TryStrToDateTime("3/7/2026 25:00", Value));
  try {
    StrToDateTime("soon");
    FAIL() << "no exception";
  } catch (const EConvertError& Error) {
    EXPECT_EQ(Error.Message(), "'soon' is not a valid date and time");
  }
}

}  // namespace
