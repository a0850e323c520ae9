// The picker's display-format engine: shorthand expansion, tokens, fields and where they stand in
// the shown text, the part tests, and the year and hour arithmetic of typed digits.

#include "kvcontrols/editors/kvdatetimepickerformat.h"

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"

namespace {

TEST(KvDateTimePickerFormat, ExpandsShorthandsInOrder) {
  TFormatSettings Settings;
  Settings.ShortDateFormat = "d.M.yyyy";
  Settings.LongDateFormat = "dddd d 't' MMMM";
  Settings.ShortTimeFormat = "HH:mm";
  Settings.LongTimeFormat = "HH:mm:ss";
  struct TCase {
    const char* Name;
    const char* Format;
    const char* Expected;
  } Cases[] = {
      {"c: short date, blank, long time", "c", "d.M.yyyy HH:mm:ss"},
      {"ddddd and dddddd", "ddddd|dddddd", "d.M.yyyy|dddd d 'HH:mm' MMMM"},  // t inside the inserted text
      {"tt before t", "tt t", "HH:mm:ss HH:mm"},
      {"matching is case-sensitive", "C T", "C T"},
      {"no shorthand", "hh:mm:ss", "hh:mm:ss"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(kvExpandDateTimeFormat(Case.Format, Settings), Case.Expected);
  }
  EXPECT_EQ(kvReplaceText("aaa", "aa", "b"), "ba");  // no overlaps, left to right
}

TEST(KvDateTimePickerFormat, ReadsTokens) {
  struct TCase {
    const char* Format;
    int Position;
    const char* Token;
    int End;
  } Cases[] = {
      {"hh:mm:ss", 1, "hh", 2},       {"hh:mm:ss", 4, "nn", 5},  // m two after an h: minutes
      {"h:m", 3, "n", 3},             {"hh:mmm", 4, "mmm", 6},   // a run of three is a month
      {"MM/dd/yyyy", 1, "MM", 2},     {"MM/dd/yyyy", 7, "yyyy", 10},
      {"hh:mm am/pm dd", 7, "am/pm", 11}, {"h A/P", 3, "A/P", 5},
      {"h AmPm", 3, "AmPm", 6},       {"abc", 1, "", 1},          // no a-form: no token
      {"d/m/y", 5, "y", 5},           {"12", 1, "", 1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Format) + " @" + std::to_string(Case.Position));
    int Position = Case.Position;
    EXPECT_EQ(kvReadFormatToken(Case.Format, Position), Case.Token);
    EXPECT_EQ(Position, Case.End);
  }
}

TEST(KvDateTimePickerFormat, PartTests) {
  struct TCase {
    const char* Format;
    bool HasDate, HasTime, HasAmPm;
  } Cases[] = {
      {"", true, true, false},          {"c", true, true, false},
      {"hh:mm:ss", false, true, false},  // the mm is minutes
      {"t", false, true, false},        {"dd/MM/yyyy", true, false, false},
      {"h:nn am/pm", false, true, true}, {"MMMM", true, false, false},
      {"'day' hh", false, true, true},   // the quoted text has no token, but an a
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Format);
    EXPECT_EQ(kvFormatHasDate(Case.Format), Case.HasDate);
    EXPECT_EQ(kvFormatHasTime(Case.Format), Case.HasTime);
    EXPECT_EQ(kvFormatHasAmPm(kvExpandDateTimeFormat(Case.Format)), Case.HasAmPm);
  }
}

TEST(KvDateTimePickerFormat, LaysOutFields) {
  const TDateTime May12 = EncodeDate(2003, 5, 12);
  struct TCase {
    const char* Name;
    const char* Format;
    TkvFieldSet Fields;
    int N;
    TDateTime Value;
    int Count;
    const char* Text;
    int Position, Length;
    const char* Token;
  } Cases[] = {
      {"third field of a date", "MM/dd/yyyy", TkvFieldSet::DateOnly, 3, May12, 3, "05/12/2003", 6, 4, "yyyy"},
      {"time fields", "hh:mm:ss", TkvFieldSet::TimeOnly, 2, 0.375, 3, "09:00", 3, 2, "nn"},
      {"past the last field", "hh:mm:ss", TkvFieldSet::TimeOnly, 4, 0.375, 3, "", 0, 0, ""},
      {"am/pm in the format's case", "hh:mm am/pm dd", TkvFieldSet::DateAndTime, 3,
       May12 + EncodeTime(14, 7, 0, 0), 4, "02:07 pm", 6, 2, "am/pm"},
      {"the day right after the am/pm text", "hh:mm am/pm dd", TkvFieldSet::DateAndTime, 4,
       May12 + EncodeTime(14, 7, 0, 0), 4, "02:07 pm 12", 9, 2, "dd"},
      {"hour 0 shows 12 with ampm", "h:nn ampm", TkvFieldSet::TimeOnly, 3, 0, 3, "12:00 AM", 6, 2, "ampm"},
      {"a last one-letter token counts", "d/m/y", TkvFieldSet::DateOnly, 3, May12, 3, "12/5/03", 5, 2, "y"},
      {"date tokens are text in a time picker", "dd hh", TkvFieldSet::TimeOnly, 1, May12 + 0.5, 1, "12 12",
       3, 2, "hh"},
      {"names", "ddd d MMMM", TkvFieldSet::DateOnly, 3, May12, 3, "Mon 12 May", 7, 3, "MMMM"},
      {"quoted letters are text", "'day' d", TkvFieldSet::DateOnly, 1, May12, 1, "day 12", 4, 2, "d"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const std::string Expanded = kvExpandDateTimeFormat(Case.Format);
    EXPECT_EQ(kvCountFields(Expanded, Case.Fields), Case.Count);
    const TkvFieldInfo Info = kvGetFieldInfo(Expanded, Case.Fields, Case.N, Case.Value);
    EXPECT_EQ(Info.Text, Case.Text);
    EXPECT_EQ(Info.Position, Case.Position);
    EXPECT_EQ(Info.Length, Case.Length);
    EXPECT_EQ(Info.Token, Case.Token);
  }
}

TEST(KvDateTimePickerFormat, LayoutTextMatchesFormatDateTime) {
  // The whole layout must be what FormatDateTime shows, or clicks and selections miss the fields.
  const TDateTime Value = EncodeDate(2024, 2, 29) + EncodeTime(0, 5, 9, 0);
  for (const char* Format : {"c", "dddddd tt", "dd.MM.yy hh:nn", "yyyy-mm-dd h:nn:ss am/pm"}) {
    SCOPED_TRACE(Format);
    const std::string Expanded = kvExpandDateTimeFormat(Format);
    const int Count = kvCountFields(Expanded, TkvFieldSet::DateAndTime);
    const std::string Shown = FormatDateTime(Format, Value);
    EXPECT_EQ(kvGetFieldInfo(Expanded, TkvFieldSet::DateAndTime, Count, Value).Text, Shown);
  }
}

TEST(KvDateTimePickerFormat, YearsAndHours) {
  struct TYear {
    int YY, Epoch, Year;
  } Years[] = {{49, 1950, 2049}, {50, 1950, 1950}, {0, 1950, 2000}, {99, 1950, 1999}, {0, 2000, 2000}, {99, 2000, 2099}};
  for (const auto& Case : Years) EXPECT_EQ(kvExpandTwoDigitYear(Case.YY, Case.Epoch), Case.Year) << Case.YY;

  const TDateTime Min2003 = EncodeDate(2003, 1, 1);
  for (int D = 0; D <= 9; ++D) {
    EXPECT_EQ(kvDecadeReachesMinDate(D, 1950, Min2003), D <= 4) << D;
    EXPECT_TRUE(kvDecadeReachesMinDate(D, 1950, 0)) << D;
  }

  struct THour {
    bool AmPm;
    int Current, Typed, Result;
  } Hours[] = {{true, 9, 12, 0}, {true, 12, 12, 12}, {true, 15, 5, 17}, {true, 3, 5, 5}, {false, 15, 5, 5}};
  for (const auto& Case : Hours)
    EXPECT_EQ(kvAdjustHourForAmPm(Case.AmPm, Case.Current, Case.Typed), Case.Result) << Case.Current << " " << Case.Typed;

  EXPECT_EQ(kvNextLeapYear(2003), 2004);
  EXPECT_EQ(kvNextLeapYear(2097), 2104);  // 2100 is no leap year
}

}  // namespace
