// The month calendar's arithmetic: day-state months, the year menu, the edit-year bounds, and
// the keyboard's moves within the limits; and its colours.

#include "kvcontrols/editors/kvmonthcalendarlogic.h"

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "platform/user/winuser.h"

namespace {

TEST(KvMonthCalendarLogic, DayStateMonthsCrossTheYear) {
  struct TCase {
    int FirstMonth, FirstYear, I, Month, Year;
  } Cases[] = {{12, 2003, 0, 12, 2003}, {12, 2003, 1, 1, 2004}, {11, 2003, 2, 1, 2004}, {1, 2003, 13, 2, 2004}};
  for (const auto& Case : Cases) {
    int Month = 0, Year = 0;
    kvDayStateMonth(Case.FirstMonth, Case.FirstYear, Case.I, Month, Year);
    EXPECT_EQ(Month, Case.Month) << Case.FirstMonth << "+" << Case.I;
    EXPECT_EQ(Year, Case.Year) << Case.FirstMonth << "+" << Case.I;
  }
}

TEST(KvMonthCalendarLogic, YearMenu) {
  TkvPopupYearOptions Options;
  auto Items = kvBuildYearMenu(Options, "Edit Year", 2003, 7, 10, 0, 0);
  ASSERT_EQ(Items.size(), 20u);  // 1990 to 2009 in two columns of ten
  EXPECT_EQ(Items.front().Caption, "1990");
  EXPECT_EQ(Items.back().Caption, "2009");
  EXPECT_TRUE(Items[10].BarBreak);
  EXPECT_FALSE(Items[9].BarBreak);
  EXPECT_TRUE(Items[13].Checked);
  // Limits disable the years whose date (same month and day) falls outside them.
  Options.SetShowEditYear(true);
  Items = kvBuildYearMenu(Options, "Edit Year", 2003, 7, 10, EncodeDate(2000, 6, 1), EncodeDate(2005, 5, 31));
  ASSERT_EQ(Items.size(), 22u);
  EXPECT_EQ(Items[0].Caption, "Edit Year");
  EXPECT_TRUE(Items[2].BarBreak);  // the years start a column of their own
  EXPECT_FALSE(Items[2 + 9].Enabled);   // 1999
  EXPECT_TRUE(Items[2 + 10].Enabled);   // 2000-07-10
  EXPECT_TRUE(Items[2 + 14].Enabled);   // 2004
  EXPECT_FALSE(Items[2 + 15].Enabled);  // 2005-07-10 is after May 31
}

TEST(KvMonthCalendarLogic, EditYearBounds) {
  const TDateTime Min = EncodeDate(2000, 6, 1), Max = EncodeDate(2010, 5, 31);
  TkvEditYearBounds Bounds = kvEditYearBounds(7, 10, Min, Max, "Enter Valid Year");
  EXPECT_EQ(Bounds.Low, 2000);
  EXPECT_EQ(Bounds.High, 2009);  // July 10 comes after May 31
  EXPECT_EQ(Bounds.Caption, "Enter Valid Year (2000-2009)");
  EXPECT_EQ(kvEditYearBounds(5, 1, Min, 0, "P").Caption, "P (>=2001)");
  EXPECT_EQ(kvEditYearBounds(5, 1, 0, Max, "P").Caption, "P (<=2010)");
  EXPECT_EQ(kvEditYearBounds(5, 1, 0, 0, "P").Caption, "P");
}

TEST(KvMonthCalendarLogic, KeysStayWithinTheLimits) {
  const TDateTime Mar31 = EncodeDate(2003, 3, 31);
  struct TCase {
    const char* Name;
    int Key;
    TDateTime Current, Min, Max, Expected;
  } Cases[] = {
      {"PgUp from March 31", VK_PRIOR, Mar31, 0, 0, EncodeDate(2003, 2, 28)},
      {"PgUp in a leap year", VK_PRIOR, EncodeDate(2004, 3, 31), 0, 0, EncodeDate(2004, 2, 29)},
      {"PgUp from January", VK_PRIOR, EncodeDate(2003, 1, 15), 0, 0, EncodeDate(2002, 12, 15)},
      {"PgUp stops at the minimum", VK_PRIOR, Mar31, EncodeDate(2003, 3, 10), 0, EncodeDate(2003, 3, 10)},
      {"PgDn from December", VK_NEXT, EncodeDate(2003, 12, 31), 0, 0, EncodeDate(2004, 1, 31)},
      {"PgDn stops at the maximum", VK_NEXT, Mar31, 0, EncodeDate(2003, 4, 2), EncodeDate(2003, 4, 2)},
      {"Down with the maximum 3 days ahead", VK_DOWN, Mar31, 0, Mar31 + 3, Mar31},
      {"Right on the maximum", VK_RIGHT, Mar31, 0, Mar31, Mar31},
      {"Left", VK_LEFT, Mar31, 0, 0, Mar31 - 1},
      {"Up a week", VK_UP, Mar31, 0, 0, Mar31 - 7},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(kvCalendarKeyTarget(Case.Key, Case.Current, Case.Min, Case.Max), Case.Expected);
  }
}

TEST(KvMonthCalendarLogic, ColoursAssignOnlyFromTheirOwnKind) {
  TkvDateTimeColors Colors, Other;
  Other.SetTitleBackColor(clRed);
  Other.SetBackColor(clBlue);
  Colors.Assign(&Other);
  EXPECT_EQ(Colors.TitleBackColor(), clRed);
  EXPECT_EQ(Colors.BackColor(), clWindow);  // the background is not copied
  TkvPopupYearOptions Foreign;
  try {
    Colors.Assign(&Foreign);
    FAIL() << "no error";
  } catch (const EConvertError& Error) {
    EXPECT_EQ(Error.Message(), "Cannot assign a TkvPopupYearOptions to a TkvDateTimeColors");
  }
  EXPECT_THROW(Colors.Assign(nullptr), EConvertError);
}

}  // namespace
