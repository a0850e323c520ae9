// TkvMonthCalendar: the value and its range, clicks and keys that clamp to the range, the title
// buttons, the month and year menus (and the year box), bold days from OnCalcBoldDay, and the
// settings that reach the window.

#include "kvcontrols/editors/kvmonthcalendar.h"

#include <gtest/gtest.h>

#include <cmath>

#include "kvcontrols/editors/kvintl.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/kvcontrols/picker/pickertest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace FormsTest {
namespace {

SYSTEMTIME St(int Year, int Month, int Day) { return DateTimeToSystemTime(EncodeDate(Year, Month, Day)); }

class KvMonthCalendarTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    FClock->SetNow(EncodeDate(2003, 1, 20) + 0.25);
    Form = new TForm(nullptr, 0);
    Form->SetBounds(50, 50, 320, 280);
    Calendar = new TkvMonthCalendar(Form);
    Calendar->SetParent(Form);
    Calendar->SetBounds(10, 10, 155, 100);
    Calendar->OnChange = TNotifyEvent([this](TObject*) { ++Changes; });
    Form->Show();
    Pump();
    SavedFirstDay = FormatSettings().FirstDayOfWeek;
    FormatSettings().FirstDayOfWeek = 0;
  }
  void TearDown() override {
    FormatSettings().FirstDayOfWeek = SavedFirstDay;
    Form->Free();
    TFormsTest::TearDown();
  }
  POINT PartCenter(UINT Part, const SYSTEMTIME* Day = nullptr) {
    RECT R{};
    EXPECT_TRUE(MonthCalGetPartRect(Calendar->Handle(), Part, Day, R));
    return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
  }
  // Keys queued before the click are what the menu or the box opened by it reads.
  void Click(UINT Part, const SYSTEMTIME* Day = nullptr, std::initializer_list<int> ThenKeys = {},
             const std::u32string& ThenText = U"") {
    const POINT At = Calendar->ClientToScreen(PartCenter(Part, Day));
    InjectMouseClick(VK_LBUTTON, At.x, At.y);
    for (int Key : ThenKeys) InjectKeyStroke(Key);
    if (!ThenText.empty()) InjectText(ThenText);
    Pump();
  }
  TDateTime WindowSelection() {
    SYSTEMTIME T{};
    SendMessageA(Calendar->Handle(), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&T));
    return SystemTimeToDateTime(T);
  }
  TForm* Form = nullptr;
  TkvMonthCalendar* Calendar = nullptr;
  int Changes = 0;
  uint8_t SavedFirstDay = 0;
};

TEST_F(KvMonthCalendarTest, ValueAndLimits) {
  EXPECT_EQ(Calendar->Date(), EncodeDate(2003, 1, 20) + 0.25);  // Now at construction
  EXPECT_GE(Calendar->Width(), 155);
  RECT Min{};
  SendMessageA(Calendar->Handle(), MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&Min));
  EXPECT_GE(Calendar->Height(), Min.bottom);  // raised to the minimum

  // The date keeps the time of day; the window shows the day.
  Calendar->SetDate(EncodeDate(2003, 2, 14));
  EXPECT_EQ(Calendar->Date(), EncodeDate(2003, 2, 14) + 0.25);
  EXPECT_EQ(WindowSelection(), EncodeDate(2003, 2, 14));
  Calendar->SetTime(0.5);
  EXPECT_EQ(Calendar->Date(), EncodeDate(2003, 2, 14) + 0.5);

  Calendar->SetMaxDate(EncodeDate(2003, 3, 1));
  Calendar->SetMinDate(EncodeDate(2003, 1, 15));
  struct TCase {
    const char* Name;
    std::function<void()> Action;
    const char* Error;
  };
  const TCase Cases[] = {
      {"Date after the maximum", [&] { Calendar->SetDate(EncodeDate(2003, 3, 2)); },
       "Date exceeds maximum of 3/1/2003"},
      {"Date before the minimum", [&] { Calendar->SetDate(EncodeDate(2003, 1, 14)); },
       "Date is less than minimum of 1/15/2003"},
      {"a minimum above the maximum", [&] { Calendar->SetMinDate(EncodeDate(2003, 4, 1)); },
       "Date exceeds maximum of 3/1/2003"},
      {"a maximum below the minimum", [&] { Calendar->SetMaxDate(EncodeDate(2003, 1, 1)); },
       "Date is less than minimum of 1/15/2003"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      Case.Action();
      ADD_FAILURE() << "no error";
    } catch (const EDateTimeError& Error) {
      EXPECT_EQ(Error.Message(), Case.Error);
    }
    EXPECT_EQ(Calendar->Date(), EncodeDate(2003, 2, 14) + 0.5);
    EXPECT_EQ(Calendar->MinDate(), EncodeDate(2003, 1, 15));
    EXPECT_EQ(Calendar->MaxDate(), EncodeDate(2003, 3, 1));
  }
  // The window got the range.
  SYSTEMTIME Range[2] = {};
  EXPECT_EQ(SendMessageA(Calendar->Handle(), MCM_GETRANGE, 0, reinterpret_cast<LPARAM>(Range)),
            LRESULT(GDTR_MIN | GDTR_MAX));
  EXPECT_EQ(SystemTimeToDateTime(Range[0]), EncodeDate(2003, 1, 15));
  // SetDateTime clamps instead of raising.
  Calendar->SetDateTime(EncodeDate(2004, 1, 1));
  EXPECT_EQ(Calendar->Date(), EncodeDate(2003, 3, 1));
  EXPECT_EQ(Changes, 0);
}

TEST_F(KvMonthCalendarTest, SettingsReachTheWindow) {
  Calendar->CalColors()->SetTitleBackColor(TColor(0x00336699));
  EXPECT_EQ(SendMessageA(Calendar->Handle(), MCM_GETCOLOR, MCSC_TITLEBK, 0), LRESULT(0x00336699));
  struct TCase {
    const char* Name;
    TkvCalDayOfWeek Day;
    int Sent;
  };
  const TCase Cases[] = {
      {"Sunday", kvdowSunday, 6},
      {"Monday", kvdowMonday, 0},
      {"Wednesday", kvdowWednesday, 2},
      {"the locale's (Monday here)", kvdowLocaleDefault, 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Calendar->SetFirstDayOfWeek(Case.Day);
    EXPECT_EQ(LOWORD(SendMessageA(Calendar->Handle(), MCM_GETFIRSTDAYOFWEEK, 0, 0)), Case.Sent);
  }
  // A new window (other options) gets everything again.
  Calendar->SetFirstDayOfWeek(kvdowSunday);
  Calendar->SetMinDate(EncodeDate(2003, 1, 10));
  Calendar->SetOptions(TkvMonthOptions{mdoDayState, mdoWeekNumbers});
  EXPECT_TRUE(GetWindowLongA(Calendar->Handle(), GWL_STYLE) & MCS_WEEKNUMBERS);
  EXPECT_EQ(LOWORD(SendMessageA(Calendar->Handle(), MCM_GETFIRSTDAYOFWEEK, 0, 0)), 6);
  EXPECT_EQ(SendMessageA(Calendar->Handle(), MCM_GETCOLOR, MCSC_TITLEBK, 0), LRESULT(0x00336699));
  EXPECT_EQ(WindowSelection(), EncodeDate(2003, 1, 20));
  SYSTEMTIME Range[2] = {};
  EXPECT_EQ(SendMessageA(Calendar->Handle(), MCM_GETRANGE, 0, reinterpret_cast<LPARAM>(Range)), LRESULT(GDTR_MIN));
}

TEST_F(KvMonthCalendarTest, ClicksClampToTheRange) {
  Calendar->SetMinDate(EncodeDate(2003, 1, 15));
  Calendar->SetMaxDate(EncodeDate(2003, 1, 25));
  std::vector<std::string> Downs;
  Calendar->OnMouseDown = TmcMouseUPDownEvent(
      [&](TObject*, TMouseButton, TShiftState, int, int, int Month, int Day, int Year) {
        Downs.push_back(std::to_string(Year) + "-" + std::to_string(Month) + "-" + std::to_string(Day));
      });
  struct TCase {
    const char* Name;
    SYSTEMTIME Day;
    TDateTime Expected;
  };
  const TCase Cases[] = {
      {"a day before the minimum selects the minimum", St(2003, 1, 10), EncodeDate(2003, 1, 15)},
      {"a day in range", St(2003, 1, 22), EncodeDate(2003, 1, 22)},
      {"a day after the maximum selects the maximum", St(2003, 1, 29), EncodeDate(2003, 1, 25)},
      {"a trailing day of the next month", St(2003, 2, 1), EncodeDate(2003, 1, 25)},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Changes = 0;
    Click(MCHT_CALENDARDATE, &Case.Day);
    EXPECT_EQ(Calendar->Date(), Case.Expected + 0.25);
    EXPECT_EQ(WindowSelection(), Case.Expected);
    EXPECT_EQ(Changes, 1);
  }
  EXPECT_EQ(Downs.front(), "2003-1-10");
  EXPECT_TRUE(Calendar->Focused());

  // The previous button from January with the minimum in January selects the minimum and beeps.
  Calendar->SetMaxDate(0);
  Changes = 0;
  Click(MCHT_TITLEBTNPREV);
  EXPECT_EQ(Calendar->Date(), EncodeDate(2003, 1, 15) + 0.25);
  EXPECT_EQ(Beeps, 1);
  EXPECT_EQ(Changes, 1);
  Click(MCHT_TITLEBTNNEXT);
  EXPECT_EQ(Calendar->Date(), EncodeDate(2003, 2, 15) + 0.25);
  EXPECT_EQ(WindowSelection(), EncodeDate(2003, 2, 15));
  EXPECT_EQ(Beeps, 1);
}

TEST_F(KvMonthCalendarTest, KeysStayInRange) {
  Calendar->SetFocus();
  Pump();
  struct TCase {
    const char* Name;
    TDateTime Start, Min, Max;
    int Key;
    TDateTime Expected;
  };
  const TCase Cases[] = {
      {"PgUp from March 31", EncodeDate(2003, 3, 31), 0, 0, VK_PRIOR, EncodeDate(2003, 2, 28)},
      {"PgUp from March 31 of a leap year", EncodeDate(2004, 3, 31), 0, 0, VK_PRIOR, EncodeDate(2004, 2, 29)},
      {"PgDn past the maximum", EncodeDate(2003, 1, 20), 0, EncodeDate(2003, 2, 5), VK_NEXT, EncodeDate(2003, 2, 5)},
      {"Down with the maximum 3 days ahead", EncodeDate(2003, 1, 20), 0, EncodeDate(2003, 1, 23), VK_DOWN,
       EncodeDate(2003, 1, 20)},
      {"Right on the maximum", EncodeDate(2003, 1, 23), 0, EncodeDate(2003, 1, 23), VK_RIGHT, EncodeDate(2003, 1, 23)},
      {"Left on the minimum", EncodeDate(2003, 1, 10), EncodeDate(2003, 1, 10), 0, VK_LEFT, EncodeDate(2003, 1, 10)},
      {"Up", EncodeDate(2003, 1, 20), 0, 0, VK_UP, EncodeDate(2003, 1, 13)},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Calendar->SetMinDate(0);
    Calendar->SetMaxDate(0);
    Calendar->SetDate(Case.Start);
    Calendar->SetMinDate(Case.Min);
    Calendar->SetMaxDate(Case.Max);
    Changes = 0;
    Keys({Case.Key});
    EXPECT_EQ(std::trunc(Calendar->Date()), Case.Expected);
    EXPECT_EQ(WindowSelection(), Case.Expected);
    EXPECT_EQ(Changes, 1);  // the change event fires for every handled key
  }
  EXPECT_TRUE(Calendar->Focused());  // arrows are not dialog keys here
}

TEST_F(KvMonthCalendarTest, MonthMenu) {
  Calendar->SetMaxDate(EncodeDate(2003, 10, 15));
  // Down x3 reaches March; Enter picks it.
  Click(MCHT_TITLEMONTH, nullptr, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  TCalendarPopupMenu* Menu = Calendar->MonthMenu();
  ASSERT_EQ(Menu->Items()->Count(), 12);
  EXPECT_TRUE(Menu->Items()->Items(0)->Checked());     // January was shown
  EXPECT_TRUE(Menu->Items()->Items(8)->Enabled());    // September 20 lies before the maximum,
  EXPECT_FALSE(Menu->Items()->Items(9)->Enabled());   // October 20 after it
  EXPECT_FALSE(Menu->IsShowing());
  EXPECT_EQ(Calendar->Date(), EncodeDate(2003, 3, 20) + 0.25);
  EXPECT_EQ(WindowSelection(), EncodeDate(2003, 3, 20));
  EXPECT_EQ(Changes, 1);
  // Choosing the month already shown keeps the day shown in the window.
  Click(MCHT_TITLEMONTH, nullptr, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_EQ(WindowSelection(), EncodeDate(2003, 3, 20));
  EXPECT_EQ(Calendar->Date(), EncodeDate(2003, 3, 20) + 0.25);
}

TEST_F(KvMonthCalendarTest, YearMenu) {
  Click(MCHT_TITLEYEAR, nullptr, {VK_ESCAPE});
  TCalendarPopupMenu* Menu = Calendar->YearMenu();
  ASSERT_NE(Menu, nullptr);
  ASSERT_EQ(Menu->Items()->Count(), 20);
  for (int Index = 0; Index < 20; ++Index) {
    SCOPED_TRACE(Index);
    TMenuItem* Item = Menu->Items()->Items(Index);
    EXPECT_EQ(Item->Caption(), std::to_string(1990 + Index));
    EXPECT_EQ(Item->Checked(), Index == 13);
    EXPECT_EQ(Item->Break() == mbBarBreak, Index == 10);
  }
  EXPECT_EQ(Calendar->Date(), EncodeDate(2003, 1, 20) + 0.25);
  // A second click on the year while the menu shows only closes it (the Escape after it is
  // there in case it opened again).
  int Popups = 0;
  Menu->OnPopup = TNotifyEvent([&](TObject*) { ++Popups; });
  const POINT Year = Calendar->ClientToScreen(PartCenter(MCHT_TITLEYEAR));
  InjectMouseClick(VK_LBUTTON, Year.x, Year.y);
  InjectMouseClick(VK_LBUTTON, Year.x, Year.y);
  InjectKeyStroke(VK_ESCAPE);
  Pump();
  EXPECT_EQ(Popups, 1);
  EXPECT_EQ(Changes, 0);
  // Down once picks 1990.
  Click(MCHT_TITLEYEAR, nullptr, {VK_DOWN, VK_RETURN});
  EXPECT_EQ(Calendar->Date(), EncodeDate(1990, 1, 20) + 0.25);
  EXPECT_EQ(WindowSelection(), EncodeDate(1990, 1, 20));
  EXPECT_EQ(Changes, 1);
}

TEST_F(KvMonthCalendarTest, EditYearAsksUntilTheYearIsAllowed) {
  Calendar->PopupYearOptions()->SetShowEditYear(true);
  Calendar->SetDate(EncodeDate(2005, 7, 10));
  Calendar->SetMinDate(EncodeDate(2000, 6, 1));
  Calendar->SetMaxDate(EncodeDate(2010, 5, 31));
  std::vector<std::string> Captions;
  // The first answer is out of range (2010: July 10 lies after May 31), the second is taken.
  const POINT At = Calendar->ClientToScreen(PartCenter(MCHT_TITLEYEAR));
  InjectMouseClick(VK_LBUTTON, At.x, At.y);
  for (int Key : {VK_DOWN, VK_RETURN}) InjectKeyStroke(Key);
  InjectKeyStroke(VK_END);
  for (int I = 0; I < 4; ++I) InjectKeyStroke(VK_BACK);
  InjectText(U"2010");
  InjectKeyStroke(VK_RETURN);
  InjectKeyStroke(VK_END);
  for (int I = 0; I < 4; ++I) InjectKeyStroke(VK_BACK);
  InjectText(U"2008");
  InjectKeyStroke(VK_RETURN);
  Pump();
  TCalendarPopupMenu* Menu = Calendar->YearMenu();
  ASSERT_NE(Menu, nullptr);
  EXPECT_EQ(Menu->Items()->Items(0)->Caption(), kvGlobalIntl->MonthCalendar()->PopupYearLabel());
  EXPECT_TRUE(Menu->Items()->Items(1)->IsLine());
  EXPECT_EQ(Menu->Items()->Items(2)->Break(), mbBarBreak);
  EXPECT_EQ(Calendar->Date(), EncodeDate(2008, 7, 10) + 0.25);
  EXPECT_EQ(WindowSelection(), EncodeDate(2008, 7, 10));
}

TEST_F(KvMonthCalendarTest, BoldDaysFromTheEvent) {
  Calendar->OnCalcBoldDay = TCalcBoldDayEvent([](TObject*, TDateTime, int, int Day, int, bool& Accept) {
    Accept = Day == 1 || Day == 15;
  });
  NMDAYSTATE Request{};
  Request.nmhdr.hwndFrom = Calendar->Handle();
  Request.nmhdr.code = MCN_GETDAYSTATE;
  Request.stStart = St(2002, 12, 1);
  Request.cDayState = 3;
  Calendar->Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Request));
  ASSERT_NE(Request.prgDayState, nullptr);
  for (int I = 0; I < 3; ++I) EXPECT_EQ(Request.prgDayState[I], MONTHDAYSTATE(1u | 1u << 14)) << I;
  // The window asks by itself when the month changes; the result is painted bold.
  Calendar->SetDate(EncodeDate(2003, 2, 10));
  Pump();
  Calendar->Repaint();
  const std::string Png = SaveControlPng(Calendar, "kvmonthcalendar");
  RECT Bold{}, Plain{};
  const SYSTEMTIME Fifteenth = St(2003, 2, 15), Sixteenth = St(2003, 2, 16);
  MonthCalGetPartRect(Calendar->Handle(), MCHT_CALENDARDATE, &Fifteenth, Bold);
  MonthCalGetPartRect(Calendar->Handle(), MCHT_CALENDARDATE, &Sixteenth, Plain);
  // Bold text covers more pixels than the same kind of number in the plain face.
  auto Ink = [&](const RECT& R) {
    int Count = 0;
    for (int Y = R.top; Y < R.bottom; ++Y)
      for (int X = R.left; X < R.right; ++X)
        if (PixelAt(Calendar, X, Y) != ColorToRGB(clWindow)) ++Count;
    return Count;
  };
  EXPECT_GT(Ink(Bold), Ink(Plain) * 5 / 4) << Png;
}

}  // namespace
}  // namespace FormsTest
