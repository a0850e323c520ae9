// The month-calendar window: the MCM_ message tables (selection, range, day state, colours,
// first day of the week, hit tests), mouse and keys injected through the real input path with
// the notifications recorded in order, and the rendered calendar.

#include "platform/forms/monthcalendar.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/datetime.h"
#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

// A control whose window is the calendar window (subclassed, as a wrapping control makes it),
// hearing its own notifications.
class TCalendarHost : public TWinControl {
  KORCAM_CLASS(TCalendarHost, TWinControl)

 public:
  explicit TCalendarHost(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(true); }
  DWORD ExtraStyle = 0;
  struct TNote {
    UINT Code;
    TDateTime Start, End;
  };
  std::vector<TNote> Notes;
  MONTHDAYSTATE Answer[3] = {};

 protected:
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    Params.Style |= ExtraStyle;
    Params.WindowClass.lpfnWndProc = MonthCalWindowProc;
  }
  void CreateWnd() override {
    TWinControl::CreateWnd();
    MonthCalSetNotifyWindow(Handle(), Handle());
  }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_NOTIFY) {
      auto* Header = reinterpret_cast<NMHDR*>(Message.LParam);
      if (Header->code == MCN_GETDAYSTATE) {
        auto* Request = reinterpret_cast<NMDAYSTATE*>(Message.LParam);
        Request->prgDayState = Answer;
        Notes.push_back({Header->code, SystemTimeToDateTime(Request->stStart), 0});
      } else {
        auto* Change = reinterpret_cast<NMSELCHANGE*>(Message.LParam);
        Notes.push_back({Header->code, SystemTimeToDateTime(Change->stSelStart),
                         SystemTimeToDateTime(Change->stSelEnd)});
      }
      return;
    }
    TWinControl::WndProc(Message);
  }
};
KORCAM_REGISTER_CLASS(TCalendarHost)

SYSTEMTIME St(int Year, int Month, int Day) { return DateTimeToSystemTime(EncodeDate(Year, Month, Day)); }

class MonthCalendarTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    FClock->SetNow(EncodeDate(2003, 1, 20) + 0.5);
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(100, 100, 320, 260);
    Make(0);
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  void Make(DWORD Style) {
    if (Calendar) Calendar->Free();
    Calendar = new TCalendarHost(Form);
    Calendar->ExtraStyle = Style;
    Calendar->SetParent(Form);
    Calendar->SetBounds(10, 10, 20, 20);
    Form->Show();
    RECT Min{};
    ASSERT_TRUE(Send(MCM_GETMINREQRECT, 0, &Min));
    Calendar->SetBounds(10, 10, Min.right, Min.bottom);
    Pump();
    Calendar->Notes.clear();
  }
  template <typename T>
  LRESULT Send(UINT Message, WPARAM W, T* L) {
    return SendMessageA(Calendar->Handle(), Message, W, reinterpret_cast<LPARAM>(L));
  }
  LRESULT Send(UINT Message, WPARAM W, LPARAM L) { return SendMessageA(Calendar->Handle(), Message, W, L); }
  TDateTime CurSel() {
    SYSTEMTIME T{};
    EXPECT_TRUE(Send(MCM_GETCURSEL, 0, &T));
    return SystemTimeToDateTime(T);
  }
  POINT Center(UINT Part, const SYSTEMTIME* Day = nullptr) {
    RECT R{};
    EXPECT_TRUE(MonthCalGetPartRect(Calendar->Handle(), Part, Day, R));
    return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
  }
  void ClickPart(UINT Part, const SYSTEMTIME* Day = nullptr) {
    const POINT P = Center(Part, Day);
    ClickAt(Calendar, P.x, P.y);
    Pump();
  }
  std::vector<std::string> NoteNames() const {
    std::vector<std::string> Names;
    for (const auto& Note : Calendar->Notes)
      Names.push_back(std::string(Note.Code == MCN_SELCHANGE ? "SELCHANGE " : Note.Code == MCN_SELECT ? "SELECT "
                                                                                                       : "DAYSTATE ") +
                      FormatDateTime("yyyy-mm-dd", Note.Start));
    return Names;
  }
  TForm* Form = nullptr;
  TCalendarHost* Calendar = nullptr;
};

TEST_F(MonthCalendarTest, SelectionAndRangeMessages) {
  // Starts on today, shows its month.
  EXPECT_EQ(CurSel(), EncodeDate(2003, 1, 20));
  SYSTEMTIME Range[2] = {St(2003, 1, 15), St(2003, 3, 10)};
  struct TCase {
    const char* Name;
    SYSTEMTIME Day;
    LRESULT Expected;
    TDateTime After;
  };
  const TCase Cases[] = {
      {"inside the range", St(2003, 2, 3), TRUE, EncodeDate(2003, 2, 3)},
      {"before the minimum is refused", St(2003, 1, 14), FALSE, EncodeDate(2003, 2, 3)},
      {"after the maximum is refused", St(2003, 3, 11), FALSE, EncodeDate(2003, 2, 3)},
      {"the limits themselves", St(2003, 3, 10), TRUE, EncodeDate(2003, 3, 10)},
      {"no valid date", SYSTEMTIME{2003, 2, 0, 30, 0, 0, 0, 0}, FALSE, EncodeDate(2003, 3, 10)},
  };
  ASSERT_TRUE(Send(MCM_SETRANGE, GDTR_MIN | GDTR_MAX, Range));
  // The selection moved into the range with it.
  EXPECT_EQ(CurSel(), EncodeDate(2003, 1, 20));
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Send(MCM_SETCURSEL, 0, &Case.Day), Case.Expected);
    EXPECT_EQ(CurSel(), Case.After);
  }
  SYSTEMTIME Read[2] = {};
  EXPECT_EQ(Send(MCM_GETRANGE, 0, Read), LRESULT(GDTR_MIN | GDTR_MAX));
  EXPECT_EQ(SystemTimeToDateTime(Read[0]), EncodeDate(2003, 1, 15));
  EXPECT_EQ(SystemTimeToDateTime(Read[1]), EncodeDate(2003, 3, 10));
  // A narrower range pulls the selection to its edge; a crossed range is refused.
  SYSTEMTIME Narrow[2] = {St(2003, 1, 15), St(2003, 2, 1)};
  EXPECT_TRUE(Send(MCM_SETRANGE, GDTR_MAX, Narrow));
  EXPECT_EQ(CurSel(), EncodeDate(2003, 2, 1));
  EXPECT_EQ(Send(MCM_GETRANGE, 0, Read), LRESULT(GDTR_MAX));
  SYSTEMTIME Crossed[2] = {St(2003, 5, 1), St(2003, 2, 1)};
  EXPECT_FALSE(Send(MCM_SETRANGE, GDTR_MIN | GDTR_MAX, Crossed));
  // Visible month: the selection's.
  SYSTEMTIME Months[2] = {};
  EXPECT_EQ(Send(MCM_GETMONTHRANGE, GMR_VISIBLE, Months), 1);
  EXPECT_EQ(SystemTimeToDateTime(Months[0]), EncodeDate(2003, 2, 1));
  EXPECT_EQ(SystemTimeToDateTime(Months[1]), EncodeDate(2003, 2, 28));
  // Programmatic changes are not reported.
  for (const auto& Note : Calendar->Notes) EXPECT_NE(Note.Code, MCN_SELCHANGE);
  // Single-selection calendars have no range selection.
  EXPECT_FALSE(Send(MCM_SETSELRANGE, 0, Range));
  EXPECT_FALSE(Send(MCM_GETSELRANGE, 0, Range));
}

TEST_F(MonthCalendarTest, MultiSelectRange) {
  Make(MCS_MULTISELECT);
  SYSTEMTIME T{};
  EXPECT_FALSE(Send(MCM_GETCURSEL, 0, &T));
  EXPECT_TRUE(Send(MCM_SETMAXSELCOUNT, 5, LPARAM(0)));
  EXPECT_EQ(Send(MCM_GETMAXSELCOUNT, 0, LPARAM(0)), 5);
  SYSTEMTIME Backwards[2] = {St(2003, 1, 9), St(2003, 1, 6)};
  EXPECT_TRUE(Send(MCM_SETSELRANGE, 0, Backwards));
  SYSTEMTIME Read[2] = {};
  EXPECT_TRUE(Send(MCM_GETSELRANGE, 0, Read));
  EXPECT_EQ(SystemTimeToDateTime(Read[0]), EncodeDate(2003, 1, 6));
  EXPECT_EQ(SystemTimeToDateTime(Read[1]), EncodeDate(2003, 1, 9));
  SYSTEMTIME Longest[2] = {St(2003, 1, 1), St(2003, 1, 5)}, TooLong[2] = {St(2003, 1, 1), St(2003, 1, 6)};
  EXPECT_TRUE(Send(MCM_SETSELRANGE, 0, Longest));
  EXPECT_FALSE(Send(MCM_SETSELRANGE, 0, TooLong));
  EXPECT_TRUE(Send(MCM_SETSELRANGE, 0, Backwards));
  // Dragging from the 6th to the 20th stops at five days.
  PressAt(Calendar, Center(MCHT_CALENDARDATE, &Read[0]).x, Center(MCHT_CALENDARDATE, &Read[0]).y);
  const SYSTEMTIME Far = St(2003, 1, 20);
  ReleaseAt(Calendar, Center(MCHT_CALENDARDATE, &Far).x, Center(MCHT_CALENDARDATE, &Far).y);
  Pump();
  EXPECT_TRUE(Send(MCM_GETSELRANGE, 0, Read));
  EXPECT_EQ(SystemTimeToDateTime(Read[0]), EncodeDate(2003, 1, 6));
  EXPECT_EQ(SystemTimeToDateTime(Read[1]), EncodeDate(2003, 1, 10));
  ASSERT_FALSE(Calendar->Notes.empty());
  EXPECT_EQ(Calendar->Notes.back().Code, MCN_SELECT);
  EXPECT_EQ(Calendar->Notes.back().End, EncodeDate(2003, 1, 10));
}

TEST_F(MonthCalendarTest, ColoursFirstDayTodayAndDelta) {
  EXPECT_EQ(Send(MCM_SETCOLOR, MCSC_TITLEBK, LPARAM(0x00112233)), LRESULT(GetSysColor(COLOR_ACTIVECAPTION)));
  EXPECT_EQ(Send(MCM_GETCOLOR, MCSC_TITLEBK, LPARAM(0)), LRESULT(0x00112233));
  EXPECT_EQ(Send(MCM_SETCOLOR, 6, LPARAM(0)), LRESULT(-1));
  // The first day answers the previous day in the low word and "not the locale's" in the high.
  const int Locale = FormatSettings().FirstDayOfWeek;
  EXPECT_EQ(Send(MCM_GETFIRSTDAYOFWEEK, 0, LPARAM(0)), LRESULT(Locale));
  const int Other = (Locale + 1) % 7;
  EXPECT_EQ(Send(MCM_SETFIRSTDAYOFWEEK, 0, LPARAM(Other)), LRESULT(Locale));
  EXPECT_EQ(Send(MCM_GETFIRSTDAYOFWEEK, 0, LPARAM(0)), LRESULT(MAKELONG(Other, 1)));
  // The grid starts on that day: the day-state range begins on it.
  SYSTEMTIME Grid[2] = {};
  EXPECT_EQ(Send(MCM_GETMONTHRANGE, GMR_DAYSTATE, Grid), 3);
  EXPECT_EQ((DayOfWeek(SystemTimeToDateTime(Grid[0])) + 5) % 7, Other);
  EXPECT_EQ(SystemTimeToDateTime(Grid[1]) - SystemTimeToDateTime(Grid[0]), 41);
  EXPECT_LT(SystemTimeToDateTime(Grid[0]), EncodeDate(2003, 1, 1));
  SYSTEMTIME Today = St(2003, 7, 4), Read{};
  Send(MCM_SETTODAY, 0, &Today);
  EXPECT_TRUE(Send(MCM_GETTODAY, 0, &Read));
  EXPECT_EQ(SystemTimeToDateTime(Read), EncodeDate(2003, 7, 4));
  Send(MCM_SETTODAY, 0, LPARAM(0));
  EXPECT_TRUE(Send(MCM_GETTODAY, 0, &Read));
  EXPECT_EQ(SystemTimeToDateTime(Read), EncodeDate(2003, 1, 20));
  EXPECT_EQ(Send(MCM_GETMONTHDELTA, 0, LPARAM(0)), 1);
  EXPECT_EQ(Send(MCM_SETMONTHDELTA, 3, LPARAM(0)), 0);
  EXPECT_EQ(Send(MCM_GETMONTHDELTA, 0, LPARAM(0)), 3);
}

TEST_F(MonthCalendarTest, HitTestParts) {
  struct TCase {
    const char* Name;
    UINT Part;
    SYSTEMTIME Day;
    UINT Expected;
    TDateTime Date;  // the hit's date (the title's names the month)
  };
  const TCase Cases[] = {
      {"previous button", MCHT_TITLEBTNPREV, {}, MCHT_TITLEBTNPREV, EncodeDate(2003, 1, 1)},
      {"next button", MCHT_TITLEBTNNEXT, {}, MCHT_TITLEBTNNEXT, EncodeDate(2003, 1, 1)},
      {"month name", MCHT_TITLEMONTH, {}, MCHT_TITLEMONTH, EncodeDate(2003, 1, 1)},
      {"year", MCHT_TITLEYEAR, {}, MCHT_TITLEYEAR, EncodeDate(2003, 1, 1)},
      {"a day of the month", MCHT_CALENDARDATE, St(2003, 1, 15), MCHT_CALENDARDATE, EncodeDate(2003, 1, 15)},
      {"a trailing day before", MCHT_CALENDARDATE, St(2002, 12, 31), MCHT_CALENDARDATEPREV, EncodeDate(2002, 12, 31)},
      {"a trailing day after", MCHT_CALENDARDATE, St(2003, 2, 1), MCHT_CALENDARDATENEXT, EncodeDate(2003, 2, 1)},
      {"the today line", MCHT_TODAYLINK, {}, MCHT_TODAYLINK, 0},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    MCHITTESTINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.pt = Center(Case.Part, &Case.Day);
    EXPECT_EQ(Send(MCM_HITTEST, 0, &Info), LRESULT(Case.Expected));
    EXPECT_EQ(Info.uHit, Case.Expected);
    EXPECT_EQ(SystemTimeToDateTime(Info.st), Case.Date);
  }
  // The day-name header lies between the title and the first week.
  RECT Title{}, Day{};
  const SYSTEMTIME First = St(2003, 1, 1);
  MonthCalGetPartRect(Calendar->Handle(), MCHT_TITLEYEAR, nullptr, Title);
  MonthCalGetPartRect(Calendar->Handle(), MCHT_CALENDARDATE, &First, Day);
  MCHITTESTINFO Info{};
  Info.pt = POINT{(Day.left + Day.right) / 2, Day.top - 6};
  EXPECT_EQ(Send(MCM_HITTEST, 0, &Info), LRESULT(MCHT_CALENDARDAY));
}

TEST_F(MonthCalendarTest, MouseAndKeysNotifyInOrder) {
  Calendar->SetFocus();
  Pump();
  struct TCase {
    const char* Name;
    std::function<void()> Action;
    std::vector<std::string> Notes;
    TDateTime Selected;
  };
  const SYSTEMTIME Day15 = St(2003, 1, 15), Trailing = St(2003, 2, 1);
  const std::vector<TCase> Cases = {
      {"click a day: change, then select on release",
       [&] { ClickPart(MCHT_CALENDARDATE, &Day15); },
       {"SELCHANGE 2003-01-15", "SELECT 2003-01-15"},
       EncodeDate(2003, 1, 15)},
      {"click the same day: only the select",
       [&] { ClickPart(MCHT_CALENDARDATE, &Day15); },
       {"SELECT 2003-01-15"},
       EncodeDate(2003, 1, 15)},
      {"a trailing day shows its month at once",
       [&] { ClickPart(MCHT_CALENDARDATE, &Trailing); },
       {"SELCHANGE 2003-02-01", "SELECT 2003-02-01"},
       EncodeDate(2003, 2, 1)},
      {"previous button: the day goes along",
       [&] { ClickPart(MCHT_TITLEBTNPREV); },
       {"SELCHANGE 2003-01-01"},
       EncodeDate(2003, 1, 1)},
      {"Right arrow", [&] { InjectKeyStroke(VK_RIGHT); Pump(); }, {"SELCHANGE 2003-01-02"}, EncodeDate(2003, 1, 2)},
      {"Down arrow", [&] { InjectKeyStroke(VK_DOWN); Pump(); }, {"SELCHANGE 2003-01-09"}, EncodeDate(2003, 1, 9)},
      {"End: last day of the month", [&] { InjectKeyStroke(VK_END); Pump(); }, {"SELCHANGE 2003-01-31"},
       EncodeDate(2003, 1, 31)},
      {"PgDn: cut to February", [&] { InjectKeyStroke(VK_NEXT); Pump(); },
       {"SELCHANGE 2003-02-28"}, EncodeDate(2003, 2, 28)},
      {"Home", [&] { InjectKeyStroke(VK_HOME); Pump(); }, {"SELCHANGE 2003-02-01"}, EncodeDate(2003, 2, 1)},
      {"the today line selects today",
       [&] { ClickPart(MCHT_TODAYLINK); },
       {"SELCHANGE 2003-01-20", "SELECT 2003-01-20"},
       EncodeDate(2003, 1, 20)},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Calendar->Notes.clear();
    Case.Action();
    EXPECT_EQ(NoteNames(), Case.Notes);
    EXPECT_EQ(CurSel(), Case.Selected);
  }
  // Keys never leave the range.
  SYSTEMTIME Range[2] = {St(2003, 1, 18), St(2003, 1, 22)};
  Send(MCM_SETRANGE, GDTR_MIN | GDTR_MAX, Range);
  InjectKeyStroke(VK_DOWN);
  Pump();
  EXPECT_EQ(CurSel(), EncodeDate(2003, 1, 22));
  InjectKeyStroke(VK_PRIOR);
  Pump();
  EXPECT_EQ(CurSel(), EncodeDate(2003, 1, 18));
}

TEST_F(MonthCalendarTest, RendersMonthWithSelectionTodayAndBoldDays) {
  Make(MCS_DAYSTATE | MCS_WEEKNUMBERS);
  // Bold the 1st and 15th of every month asked for.
  for (auto& Mask : Calendar->Answer) Mask = 1u | (1u << 14);
  // Each month shown asks again, for the month before it and the two after.
  SYSTEMTIME Selected = St(2003, 2, 8);
  Send(MCM_SETCURSEL, 0, &Selected);
  Selected = St(2003, 1, 8);
  Send(MCM_SETCURSEL, 0, &Selected);
  Send(MCM_SETCOLOR, MCSC_TITLEBK, LPARAM(0x00804000));
  Pump();
  Calendar->Repaint();
  EXPECT_EQ(NoteNames(), (std::vector<std::string>{"DAYSTATE 2003-01-01", "DAYSTATE 2002-12-01"}));
  const std::string Png = SaveWindowPng(Calendar, "monthcalendar_window");
  // Title band and the selected cell in the title colour; today circled in red.
  RECT Prev{}, Cell{}, TodayCell{};
  const SYSTEMTIME Today = St(2003, 1, 20);
  MonthCalGetPartRect(Calendar->Handle(), MCHT_TITLEBTNPREV, nullptr, Prev);
  MonthCalGetPartRect(Calendar->Handle(), MCHT_CALENDARDATE, &Selected, Cell);
  MonthCalGetPartRect(Calendar->Handle(), MCHT_CALENDARDATE, &Today, TodayCell);
  EXPECT_EQ(PixelAt(Calendar, Prev.left, Prev.top), TColor(0x00804000));
  EXPECT_EQ(PixelAt(Calendar, Cell.left + 1, Cell.top + 1), TColor(0x00804000));
  EXPECT_EQ(PixelAt(Calendar, (TodayCell.left + TodayCell.right) / 2, TodayCell.top), TColor(0x000000FF));
  // Without the circle style the cell's top middle is the month background.
  Make(MCS_NOTODAYCIRCLE);
  Send(MCM_SETCURSEL, 0, &Selected);
  Calendar->Repaint();
  MonthCalGetPartRect(Calendar->Handle(), MCHT_CALENDARDATE, &Today, TodayCell);
  EXPECT_EQ(PixelAt(Calendar, (TodayCell.left + TodayCell.right) / 2, TodayCell.top), TColor(ColorToRGB(clWindow)))
      << Png;
}

}  // namespace
}  // namespace FormsTest
