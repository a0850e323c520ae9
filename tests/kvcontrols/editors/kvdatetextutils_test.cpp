#include "kvcontrols/editors/kvdatetextutils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/unicode.h"

namespace {

// Settings of a day-month-year locale with "." between the date parts.
TFormatSettings DayMonthYear() {
  TFormatSettings Settings;
  Settings.ShortDateFormat = "dd.MM.yyyy";
  Settings.DateSeparator = '.';
  return Settings;
}

TFormatSettings YearMonthDay() {
  TFormatSettings Settings;
  Settings.ShortDateFormat = "yyyy-MM-dd";
  Settings.DateSeparator = '-';
  return Settings;
}

// The United States default: month-day-year with "/".
TFormatSettings MonthDayYear() { return TFormatSettings(); }

int64_t Milliseconds(TDateTime Value) { return std::llround(Value * MSecsPerDay); }

class DateText : public ::testing::Test {
 protected:
  // "Today" is Monday 5 January 2026 for every test here.
  TScopedManualClock FClock;
};

TEST_F(DateText, NumbersTakeFourSignificantDigitsOrAMonthName) {
  struct TCase {
    const char* Name;
    std::string Text;
    bool Found;
    int Value, End;
  };
  const TCase Cases[] = {
      {"four digits, the fifth stays", "12345", true, 1234, 5},
      {"leading zeros are not counted", "00012", true, 12, 6},
      {"blanks first", "  7x", true, 7, 4},
      {"a month by its short name, any case", "mAr.5", true, 3, 4},
      {"no number", "x12", false, 0, 1},
      {"only blanks", "   ", false, 0, 4},
      {"a month name needs all three letters", "Ma", false, 0, 1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    int Position = 1, Value = 0;
    EXPECT_EQ(kvScanNumber(Case.Text, Position, Value, MonthDayYear()), Case.Found);
    EXPECT_EQ(Value, Case.Value);
    EXPECT_EQ(Position, Case.End);
  }
}

TEST_F(DateText, DateOrderIsTheFirstDateLetterOfTheFormat) {
  EXPECT_EQ(kvDateOrder("M/d/yyyy"), kvOrderMDY);
  EXPECT_EQ(kvDateOrder("dd.MM.yyyy"), kvOrderDMY);
  EXPECT_EQ(kvDateOrder("yyyy-MM-dd"), kvOrderYMD);
  EXPECT_EQ(kvDateOrder("YY/mm/DD"), kvOrderYMD);
  EXPECT_EQ(kvDateOrder(""), kvOrderMDY);
}

TEST_F(DateText, DatesScanInTheLocaleOrderWithTheCenturyWindow) {
  struct TCase {
    const char* Name;
    TFormatSettings Settings;
    std::string Text;
    int CenturyBase;
    bool Valid;
    int Year, Month, Day;
  };
  const TCase Cases[] = {
      {"49 is the last year of the window", DayMonthYear(), "7.3.49", 1950, true, 2049, 3, 7},
      {"50 is the first", DayMonthYear(), "7.3.50", 1950, true, 1950, 3, 7},
      {"00 is 2000", DayMonthYear(), "1.1.00", 1950, true, 2000, 1, 1},
      {"0049 is a two-digit year", DayMonthYear(), "7.3.0049", 1950, true, 2049, 3, 7},
      {"four digits stay", DayMonthYear(), "7.3.1949", 1950, true, 1949, 3, 7},
      {"two numbers take the current year", DayMonthYear(), "7.3", 1950, true, 2026, 3, 7},
      {"month-day-year", MonthDayYear(), "3/7/2024", 1950, true, 2024, 3, 7},
      {"month-day without a year", MonthDayYear(), "3/7", 1950, true, 2026, 3, 7},
      {"year-month-day", YearMonthDay(), "2024-03-07", 1950, true, 2024, 3, 7},
      {"year-month-day with two numbers reads month and day", YearMonthDay(), "3-7", 1950, true, 2026, 3,
       7},
      {"window from 2000", MonthDayYear(), "1/2/99", 2000, true, 2099, 1, 2},
      {"window from 1930", MonthDayYear(), "1/2/29", 1930, true, 2029, 1, 2},
      {"an absurd window gives no date", MonthDayYear(), "1/2/29", 2147483600, false, 0, 0, 0},
      {"a window from year 0", MonthDayYear(), "1/2/29", 0, true, 29, 1, 2},
      {"blanks around the separators", DayMonthYear(), " 7 . 3 . 49 ", 1950, true, 2049, 3, 7},
      {"month names in any place", DayMonthYear(), "7.Mar.49", 1950, true, 2049, 3, 7},
      {"month name first in month-day-year", MonthDayYear(), "dec/24/2025", 1950, true, 2025, 12, 24},
      {"leap day", DayMonthYear(), "29.2.2024", 1950, true, 2024, 2, 29},
      {"31 February, day-month-year", DayMonthYear(), "31.2.2024", 1950, false, 0, 0, 0},
      {"31 February, month-day-year", MonthDayYear(), "2/31/2024", 1950, false, 0, 0, 0},
      {"31 February, year-month-day", YearMonthDay(), "2024-2-31", 1950, false, 0, 0, 0},
      {"29 February of a common year", DayMonthYear(), "29.2.2023", 1950, false, 0, 0, 0},
      {"month 13", DayMonthYear(), "1.13.2024", 1950, false, 0, 0, 0},
      {"one number only", DayMonthYear(), "7", 1950, false, 0, 0, 0},
      {"third separator without a number", DayMonthYear(), "7.3.", 1950, false, 0, 0, 0},
      {"wrong separator", DayMonthYear(), "7/3/49", 1950, false, 0, 0, 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TDateTime Date = -1;
    EXPECT_EQ(kvTryScanDateWindow(Case.Text, Date, Case.CenturyBase, Case.Settings), Case.Valid);
    if (Case.Valid) {
      EXPECT_EQ(Date, EncodeDate(Case.Year, Case.Month, Case.Day));
    }
  }
}

TEST_F(DateText, TheDefaultWindowBeginsAt1950) {
  TDateTime Date = 0;
  ASSERT_TRUE(kvTryScanDate("7.3.49", Date, DayMonthYear()));
  EXPECT_EQ(Date, EncodeDate(2049, 3, 7));
  ASSERT_TRUE(kvTryScanDate("7.3.50", Date, DayMonthYear()));
  EXPECT_EQ(Date, EncodeDate(1950, 3, 7));
}

TEST_F(DateText, TheCurrentYearComesFromTheClock) {
  FClock->SetNow(EncodeDate(2031, 6, 1));
  EXPECT_EQ(kvCurrentYear(), 2031);
  EXPECT_EQ(kvDateTextToValue("7.3", DayMonthYear()), EncodeDate(2031, 3, 7));
}

TEST_F(DateText, ADateScanEndsPastItsTrailingBlanks) {
  int Position = 1;
  TDateTime Date;
  ASSERT_TRUE(kvScanDate("7.3.49   12:30", Position, Date, DayMonthYear()));
  EXPECT_EQ(Position, 10);
  // Scanning goes on from any position.
  Position = 4;
  ASSERT_TRUE(kvScanDate("on 7.3.49", Position, Date, DayMonthYear()));
  EXPECT_EQ(Position, 10);
}

TEST_F(DateText, EncodedDatesMatchTheCalendar) {
  // The runtime library's calendar is the oracle, over every day of sample years including the
  // cycle ends, and over days that do not exist.
  for (int Year : {1, 4, 99, 100, 1600, 1899, 1900, 2000, 2024, 2100, 9999}) {
    for (int Month = 0; Month <= 13; ++Month) {
      for (int Day = 0; Day <= 32; ++Day) {
        TDateTime Ours = -1, Theirs = -1;
        const bool Valid = kvTryEncodeDate(Year, Month, Day, Ours);
        ASSERT_EQ(Valid, TryEncodeDate(Year, Month, Day, Theirs)) << Year << "-" << Month << "-" << Day;
        if (Valid) {
          ASSERT_EQ(Ours, Theirs) << Year << "-" << Month << "-" << Day;
        }
      }
    }
  }
  TDateTime Date;
  EXPECT_FALSE(kvTryEncodeDate(0, 1, 1, Date));
  EXPECT_FALSE(kvTryEncodeDate(10000, 1, 1, Date));
  ASSERT_TRUE(kvTryEncodeDate(1899, 12, 30, Date));
  EXPECT_EQ(Date, 0);
  ASSERT_TRUE(kvTryEncodeDate(1, 1, 1, Date));
  EXPECT_EQ(Date, -693593);
}

TEST_F(DateText, CalendarHelpers) {
  EXPECT_FALSE(kvIsLeapYear(1900));
  EXPECT_TRUE(kvIsLeapYear(2000));
  EXPECT_TRUE(kvIsLeapYear(2024));
  EXPECT_FALSE(kvIsLeapYear(2100));
  EXPECT_EQ(kvMonthDays(2024)[1], 29);
  EXPECT_EQ(kvMonthDays(2023)[1], 28);
  EXPECT_EQ(kvNextDayOfMonth(2024, 2, 28), 29);
  EXPECT_EQ(kvNextDayOfMonth(2024, 2, 29), 1);
  EXPECT_EQ(kvNextDayOfMonth(2023, 2, 28), 1);
  EXPECT_EQ(kvPrevDayOfMonth(2024, 2, 1), 29);
  EXPECT_EQ(kvPrevDayOfMonth(2024, 4, 1), 30);
  EXPECT_EQ(kvPrevDayOfMonth(2024, 4, 15), 14);
}

TEST_F(DateText, EncodedTimesAreExactFractionsOfADay) {
  TDateTime Time = -1;
  ASSERT_TRUE(kvTryEncodeTime(23, 59, 59, 999, Time));
  EXPECT_EQ(Time, 86399999.0 / 86400000.0);
  ASSERT_TRUE(kvTryEncodeTime(12, 0, 0, 0, Time));
  EXPECT_EQ(Time, 0.5);
  EXPECT_FALSE(kvTryEncodeTime(24, 0, 0, 0, Time));
  EXPECT_FALSE(kvTryEncodeTime(0, 60, 0, 0, Time));
  EXPECT_FALSE(kvTryEncodeTime(0, 0, 60, 0, Time));
  EXPECT_FALSE(kvTryEncodeTime(0, 0, 0, 1000, Time));
}

TEST_F(DateText, TimesScanWithTheirMarkers) {
  TFormatSettings Latin = MonthDayYear();
  Latin.TimeAMString = "a.m.";
  Latin.TimePMString = "p.m.";
  TFormatSettings Cyrillic = DayMonthYear();
  Cyrillic.TimeAMString = "дп";
  Cyrillic.TimePMString = "пп";
  TFormatSettings Dotted = MonthDayYear();
  Dotted.TimeSeparator = '.';
  struct TCase {
    const char* Name;
    TFormatSettings Settings;
    std::string Text;
    bool Valid;
    int Hour, Minute, Second;
  };
  const TCase Cases[] = {
      {"half past noon", MonthDayYear(), "12:30 PM", true, 12, 30, 0},
      {"half past midnight", MonthDayYear(), "12:30 AM", true, 0, 30, 0},
      {"afternoon adds twelve hours", MonthDayYear(), "1:02:03 pm", true, 13, 2, 3},
      {"13 with a marker fails", MonthDayYear(), "13:00 PM", false, 0, 0, 0},
      {"0 with a marker fails", MonthDayYear(), "0:30 AM", false, 0, 0, 0},
      {"seconds default to 0", MonthDayYear(), "9:05", true, 9, 5, 0},
      {"24 hours do not encode", MonthDayYear(), "24:00", false, 0, 0, 0},
      {"60 minutes do not encode", MonthDayYear(), "10:60", false, 0, 0, 0},
      {"an hour alone is no time", MonthDayYear(), "10", false, 0, 0, 0},
      {"a second separator needs a second", MonthDayYear(), "10:15:", false, 0, 0, 0},
      {"the locale's own markers", Latin, "7:15 p.m.", true, 19, 15, 0},
      {"the literal markers still count", Latin, "7:15 PM", true, 19, 15, 0},
      {"Cyrillic markers, any case", Cyrillic, "7:15 ПП", true, 19, 15, 0},
      {"another time separator", Dotted, "7.15.30", true, 7, 15, 30},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    int Position = 1;
    TDateTime Time = -1;
    EXPECT_EQ(kvScanTime(Case.Text, Position, Time, Case.Settings), Case.Valid);
    if (Case.Valid) {
      EXPECT_EQ(Milliseconds(Time), Milliseconds(EncodeTime(Case.Hour, Case.Minute, Case.Second, 0)));
      EXPECT_EQ(Position, static_cast<int>(Utf8Length(Case.Text)) + 1);
    }
  }
}

TEST_F(DateText, WholeTextTests) {
  const TFormatSettings Settings = DayMonthYear();
  struct TCase {
    const char* Name;
    std::string Text;
    bool Date, Time, DateTime;
  };
  const TCase Cases[] = {
      {"a date", "7.3.49", true, false, false},
      {"a date with trailing blanks", "7.3.49  ", true, false, false},
      {"a date with more after it", "7.3.49x", false, false, false},
      {"a time", "12:30 PM", false, true, false},
      {"a time with more after it", "12:30x", false, false, false},
      {"a date and a time", "7.3.49 12:30:15", false, false, true},
      {"a date and a time with trailing blanks", "7.3.49 12:30 ", false, false, true},
      {"empty", "", false, false, false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(kvIsDateText(Case.Text, Settings), Case.Date);
    EXPECT_EQ(kvIsTimeText(Case.Text, Settings), Case.Time);
    EXPECT_EQ(kvIsDateTimeText(Case.Text, Settings), Case.DateTime);
  }
  EXPECT_EQ(Milliseconds(kvDateTimeTextToValue("7.3.49 12:30:15", Settings)),
            Milliseconds(EncodeDateTime(2049, 3, 7, 12, 30, 15, 0)));
  EXPECT_EQ(kvDateTimeTextToValue("7.3.49", Settings), 0);
  // The date reader ignores what follows the date; the time reader wants the whole text.
  EXPECT_EQ(kvDateTextToValue("7.3.49 and more", Settings), EncodeDate(2049, 3, 7));
  EXPECT_EQ(kvDateTextToValue("soon", Settings), 0);
  EXPECT_EQ(Milliseconds(kvTimeTextToValue("12:30", Settings)), Milliseconds(EncodeTime(12, 30, 0, 0)));
  EXPECT_EQ(kvTimeTextToValue("12:30 and more", Settings), 0);
}

TEST(NumberText, IntegerAndFloatTests) {
  struct TCase {
    const char* Name;
    std::string Text;
    bool Integer, Float;
  };
  const std::string Digits63(63, '7');
  const TCase Cases[] = {
      {"empty", "", true, true},
      {"digits", "123", true, true},
      {"a lone minus", "-", false, false},
      {"minus and digits", "-12", true, true},
      {"a minus inside", "1-2", false, false},
      {"letters", "12a", false, false},
      {"a decimal", "1.5", false, true},
      {"the other decimal separator", "1,5", false, false},
      {"exponent", "1E3", false, true},
      {"digits of another script", "١٢", false, false},
      // Only the first 63 characters are looked at.
      {"garbage after 63 characters", Digits63 + "x", false, true},
      {"garbage at the 63rd character", std::string(62, '7') + "x", false, false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(kvIsIntegerText(Case.Text), Case.Integer);
    EXPECT_EQ(kvIsFloatText(Case.Text, MonthDayYear()), Case.Float);
  }
  TFormatSettings Comma;
  Comma.DecimalSeparator = ',';
  EXPECT_TRUE(kvIsFloatText("1,5", Comma));
  EXPECT_FALSE(kvIsFloatText("1.5", Comma));
}

TEST(NumberText, AFloatReadGivesTheDefaultInsteadOfRaising) {
  // A long pasted text passes the 63-character test but is no number as a whole; reading it
  // must give the default, not an exception.
  const std::string LongText = std::string(63, '9') + "abc";
  ASSERT_TRUE(kvIsFloatText(LongText));
  long double Value = 0;
  EXPECT_NO_THROW(Value = kvFloatTextToValue(LongText, -1));
  EXPECT_EQ(Value, -1);
  EXPECT_EQ(kvFloatTextToValue(std::string(5000, '9'), -1), -1);  // beyond the extended range
  EXPECT_EQ(kvFloatTextToValue("", 5), 5);
  EXPECT_EQ(kvFloatTextToValue("letters", 5), 5);
  EXPECT_EQ(kvFloatTextToValue("2.5", 5), 2.5L);
  EXPECT_EQ(kvFloatTextToValue(" -3.25 ", 5), -3.25L);
}

TEST(NumberText, FormattedTextReadsBackItsNumber) {
  TFormatSettings European;
  European.DecimalSeparator = ',';
  European.ThousandSeparator = '.';
  struct TCase {
    const char* Name;
    TFormatSettings Settings;
    std::string Text, Format;
    bool Valid;
    long double Value;  // the value afterwards (42 when left alone)
  };
  const TCase Cases[] = {
      {"parentheses are a minus sign", TFormatSettings(), "(1,234.50)", "", true, -1234.5L},
      {"currency and a blank", TFormatSettings(), "$ 12", "", true, 12},
      {"leading minus", TFormatSettings(), "-12.5", "", true, -12.5L},
      {"minus after text", TFormatSettings(), "USD -7", "", true, -7},
      {"letters alone", TFormatSettings(), "abc", "", false, 42},
      {"empty text leaves the value", TFormatSettings(), "", "", true, 42},
      {"minus and parentheses read as two signs", TFormatSettings(), "-(5)", "", false, 42},
      {"another decimal separator", European, "1.234,5 €", "", true, 1234.5L},
      // A negative section without a minus sign: the text is what the format prints for -12.
      {"negative section without a minus", TFormatSettings(), "12.00CR", "0.00;0.00CR", true, -12},
      {"the positive section of the same format", TFormatSettings(), "12.00", "0.00;0.00CR", true, 12},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    long double Value = 42;
    EXPECT_EQ(kvFormattedTextToFloat(Case.Text, Value, Case.Format, Case.Settings), Case.Valid);
    EXPECT_EQ(Value, Case.Value);
  }
}

TEST_F(DateText, CaretPartOfATimeText) {
  // "12:30:45 PM": the first separator is character 3, the second character 6.
  const std::string Text = "12:30:45 PM";
  const TkvDateTimePart Expected[] = {dtpHour,   dtpHour,   dtpHour,   dtpMinute, dtpMinute, dtpMinute,
                                      dtpSecond, dtpSecond, dtpSecond, dtpAMPM,   dtpAMPM,   dtpAMPM};
  for (int Caret = 0; Caret <= 11; ++Caret) {
    SCOPED_TRACE(Caret);
    EXPECT_EQ(kvDateTimePartAt(Caret, Text, true, MonthDayYear()), Expected[Caret]);
    EXPECT_EQ(kvTimePartAt(Caret, Text, MonthDayYear()), Expected[Caret]);
  }
  EXPECT_EQ(kvTimePartAt(0, "", MonthDayYear()), dtpHour);
}

TEST_F(DateText, CaretPartOfADateAndTimeText) {
  struct TCase {
    const char* Name;
    TFormatSettings Settings;
    std::string Text;
    std::vector<TkvDateTimePart> Parts;  // for carets 0, 1, 2, ...
  };
  const TCase Cases[] = {
      // "3/7/2024 10:15": the date and its blank end at character 9; a caret after that blank
      // stands in the time.
      {"month-day-year", MonthDayYear(), "3/7/2024 10:15",
       {dtpMonth, dtpMonth, dtpDay, dtpDay, dtpYear, dtpYear, dtpYear, dtpYear, dtpYear, dtpHour, dtpHour,
        dtpHour, dtpMinute, dtpMinute, dtpMinute}},
      {"day-month-year", DayMonthYear(), "7.3.2024",
       {dtpDay, dtpDay, dtpMonth, dtpMonth, dtpYear, dtpYear, dtpYear, dtpYear, dtpYear}},
      {"year-month-day", YearMonthDay(), "2024-3-7",
       {dtpYear, dtpYear, dtpYear, dtpYear, dtpYear, dtpMonth, dtpMonth, dtpDay, dtpDay}},
      // A text that is no date yet is walked as a date.
      {"an unfinished date", DayMonthYear(), "7.",
       {dtpDay, dtpDay, dtpMonth}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    for (size_t Caret = 0; Caret < Case.Parts.size(); ++Caret) {
      SCOPED_TRACE(Caret);
      EXPECT_EQ(kvDateTimePartAt(static_cast<int>(Caret), Case.Text, false, Case.Settings), Case.Parts[Caret]);
    }
  }
}

}  // namespace
