#include "kvcontrols/editors/kvmonthcalendar.h"

#include <algorithm>
#include <cmath>

#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "kvcontrols/editors/kvintl.h"
#include "kvcontrols/editors/kvmonthcalendarlogic.h"
#include "platform/forms/font.h"
#include "platform/gdi/text.h"
#include "platform/forms/inputbox.h"
#include "platform/forms/screen.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TCalendarPopupMenu)
KORCAM_REGISTER_CLASS(TkvMonthCalendar)

namespace {

TDateTime WholeDay(TDateTime Value) { return std::trunc(Value); }

[[noreturn]] void RaiseAboveMax(TDateTime MaxDate) {
  throw EDateTimeError(Format("Date exceeds maximum of %s", DateToStr(MaxDate)));
}

[[noreturn]] void RaiseBelowMin(TDateTime MinDate) {
  throw EDateTimeError(Format("Date is less than minimum of %s", DateToStr(MinDate)));
}

// The day Day of Year / Month, cut to the month's length (0 when there is no such month).
TDateTime CutDay(int Year, int Month, int Day) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12) return 0;
  return EncodeDate(Year, Month, std::min(Day, DaysInAMonth(Year, Month)));
}

void Parts(TDateTime Value, int& Year, int& Month, int& Day) {
  uint16_t Y = 0, M = 0, D = 0;
  DecodeDate(Value, Y, M, D);
  Year = Y;
  Month = M;
  Day = D;
}

// A menu closed by a press of the left button: that press goes on to the calendar, and when it
// is on the same title part it only closes the menu. A menu closed by a key or a pick leaves
// the next click free to open it again.
bool ClosedByPress() {
  MSG Pending{};
  return GetKeyState(VK_LBUTTON) < 0 || PeekMessageA(&Pending, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE);
}

// The answer buffer of the day-state request: as many months as a calendar asks for at most.
MONTHDAYSTATE DayStateAnswer[14];

}  // namespace

// ---- TCalendarPopupMenu ----------------------------------------------------------------------------

void TCalendarPopupMenu::Popup(int X, int Y) {
  FShowing = true;
  try {
    TPopupMenu::Popup(X, Y);
  } catch (...) {
    FShowing = false;
    throw;
  }
  FShowing = false;
}

// ---- construction --------------------------------------------------------------------------------

TkvMonthCalendar::TkvMonthCalendar(TComponent* AOwner) : TWinControl(AOwner) {
  InitMonthCalendarClass();
  FCalColors = std::make_unique<TkvDateTimeColors>(this);
  FPopupYearOptions = std::make_unique<TkvPopupYearOptions>();
  FDateTime = Now();
  SetControlStyle(ControlStyle() + csClickEvents + csOpaque + csDoubleClicks + csFixedHeight);
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  SetBounds(Left(), Top(), 155, 160);
  FMonthMenu = new TCalendarPopupMenu(this);
  FMonthMenu->SetAutoHotkeys(maManual);
  FMonthMenu->SetAlignment(paRight);
  for (int Month = 1; Month <= 12; ++Month) {
    auto* Item = new TMenuItem(FMonthMenu);
    Item->SetCaption(FormatSettings().LongMonthNames[Month - 1]);
    Item->OnClick = TNotifyEvent(this, &TkvMonthCalendar::MonthClick);
    FMonthMenu->Items()->Add(Item);
  }
}

TkvMonthCalendar::~TkvMonthCalendar() = default;

void TkvMonthCalendar::SetCalColors(TkvDateTimeColors* Value) {
  if (Value != FCalColors.get()) FCalColors->Assign(Value);
}

void TkvMonthCalendar::SetPopupYearOptions(TkvPopupYearOptions* Value) {
  if (Value != FPopupYearOptions.get()) FPopupYearOptions->Assign(Value);
}

bool TkvMonthCalendar::WindowReady() const {
  return HandleAllocated() || Parent() || ParentWindow();
}

void TkvMonthCalendar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.WindowClass.lpfnWndProc = MonthCalWindowProc;
  if (FOptions.Contains(mdoDayState)) Params.Style |= MCS_DAYSTATE;
  if (FOptions.Contains(mdoMultiSelect)) Params.Style |= MCS_MULTISELECT;
  if (FOptions.Contains(mdoWeekNumbers)) Params.Style |= MCS_WEEKNUMBERS;
  if (FOptions.Contains(mdoNoTodayCircle)) Params.Style |= MCS_NOTODAYCIRCLE;
  if (FOptions.Contains(mdoNoToday)) Params.Style |= MCS_NOTODAY;
  if (FBorderStyle == bsSingle) Params.Style |= WS_BORDER;
  Params.WindowClass.style = (Params.WindowClass.style & ~(CS_HREDRAW | CS_VREDRAW)) | CS_DBLCLKS;
}

void TkvMonthCalendar::CreateWnd() {
  TWinControl::CreateWnd();
  // The control hears its window's notifications wherever the window is re-parented.
  MonthCalSetNotifyWindow(Handle(), Handle());
  SendMessageA(Handle(), WM_SETFONT, WPARAM(Font()->Handle()), 0);
  SetRange(FMaxDate, FMinDate);
  if (FOptions.Contains(mdoMultiSelect)) {
    SendMessageA(Handle(), MCM_SETMAXSELCOUNT, WPARAM(FMaxSelectCount), 0);
    if (WholeDay(FEndDate) != 0 && WholeDay(FStartDate) != 0)
      SetSelRange(FEndDate, FStartDate);
    else
      SetDateTime(FDateTime);
  } else {
    SetDateTime(FDateTime);
  }
  FCalColors->ApplyColors();
  ApplyFirstDayOfWeek();
  AdjustSize();
}

void TkvMonthCalendar::Loaded() {
  TWinControl::Loaded();
  if (HandleAllocated()) RecreateWnd();
}

// ---- value ---------------------------------------------------------------------------------------

void TkvMonthCalendar::SetDate(TDateTime Value) {
  if (WholeDay(Value) == WholeDay(FDateTime)) return;
  const TDateTime Candidate = WholeDay(Value) + (FDateTime - WholeDay(FDateTime));
  if (Candidate == 0) {
    Invalidate();
    return;
  }
  if (FMaxDate != 0 && WholeDay(Candidate) > WholeDay(FMaxDate)) RaiseAboveMax(FMaxDate);
  if (FMinDate != 0 && WholeDay(Candidate) < WholeDay(FMinDate)) RaiseBelowMin(FMinDate);
  try {
    SetDateTime(Candidate);
  } catch (...) {
    SetDateTime(FDateTime);
    throw;
  }
}

void TkvMonthCalendar::SetTime(TDateTime Value) {
  const TDateTime Fraction = Value - WholeDay(Value);
  if (Fraction == FDateTime - WholeDay(FDateTime)) return;
  const TDateTime Candidate = WholeDay(FDateTime) + Fraction;
  if (Candidate == 0) {
    Invalidate();
    return;
  }
  SetDateTime(Candidate);
}

void TkvMonthCalendar::SetDateTime(TDateTime X) {
  if (FMaxDate != 0 && WholeDay(X) > WholeDay(FMaxDate))
    X = FMaxDate;
  else if (FMinDate != 0 && WholeDay(X) < WholeDay(FMinDate))
    X = FMinDate;
  else if (FMinDate == 0 && WholeDay(X) < 0)
    X = EncodeDate(1899, 12, 31);
  if (FOptions.Contains(mdoMultiSelect)) FStartDate = FEndDate = X;
  if (SelectDate(X)) FDateTime = X;
}

bool TkvMonthCalendar::SelectDate(TDateTime X) {
  if (FOptions.Contains(mdoMultiSelect)) return SetSelRange(X, X);
  // Without a window the value waits for CreateWnd, which selects it.
  if (!WindowReady()) return true;
  SYSTEMTIME Time = DateTimeToSystemTime(X);
  return SendMessageA(Handle(), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&Time)) != 0;
}

bool TkvMonthCalendar::SetSelRange(TDateTime A, TDateTime B) {
  if (!FOptions.Contains(mdoMultiSelect)) return false;
  FStartDate = WholeDay(std::min(A, B));
  FEndDate = WholeDay(std::max(A, B));
  if (!WindowReady()) return true;
  SYSTEMTIME Range[2] = {DateTimeToSystemTime(FStartDate), DateTimeToSystemTime(FEndDate)};
  return SendMessageA(Handle(), MCM_SETSELRANGE, 0, reinterpret_cast<LPARAM>(Range)) != 0;
}

void TkvMonthCalendar::SetStartDate(TDateTime Value) {
  if (WholeDay(Value) == 0) {
    Invalidate();
    return;
  }
  if (FMaxDate != 0 && WholeDay(Value) > WholeDay(FMaxDate)) {
    FStartDate = FMaxDate;
    RaiseAboveMax(FMaxDate);
  }
  if (FMinDate != 0 && WholeDay(Value) < WholeDay(FMinDate)) {
    FStartDate = FMinDate;
    RaiseBelowMin(FMinDate);
  }
  FStartDate = Value;
  if (FEndDate != 0 && WholeDay(FEndDate) != WholeDay(FStartDate)) SetSelRange(FStartDate, FEndDate);
}

void TkvMonthCalendar::SetEndDate(TDateTime Value) {
  if (WholeDay(Value) == 0) {
    Invalidate();
    return;
  }
  if (FMaxDate != 0 && WholeDay(Value) > WholeDay(FMaxDate)) {
    FEndDate = FMaxDate;
    RaiseAboveMax(FMaxDate);
  }
  if (FMinDate != 0 && WholeDay(Value) < WholeDay(FMinDate)) {
    FEndDate = FMinDate;
    RaiseBelowMin(FMinDate);
  }
  FEndDate = Value;
  if (FStartDate != 0 && WholeDay(FEndDate) != WholeDay(FStartDate)) SetSelRange(FStartDate, FEndDate);
}

void TkvMonthCalendar::SetMaxDate(TDateTime Value) {
  if (Value != 0 && FMinDate != 0 && Value < FMinDate) RaiseBelowMin(FMinDate);
  if (Value == FMaxDate) return;
  SetRange(Value, FMinDate);
  FMaxDate = Value;
}

void TkvMonthCalendar::SetMinDate(TDateTime Value) {
  if (FMaxDate != 0 && Value > FMaxDate) RaiseAboveMax(FMaxDate);
  if (Value == FMinDate) return;
  SetRange(FMaxDate, Value);
  FMinDate = Value;
}

void TkvMonthCalendar::SetRange(TDateTime Max, TDateTime Min) {
  DWORD Flags = 0;
  if (Min != 0) Flags |= GDTR_MIN;
  if (Max != 0) Flags |= GDTR_MAX;
  if (!WindowReady()) return;
  SYSTEMTIME Range[2] = {DateTimeToSystemTime(WholeDay(Min)), DateTimeToSystemTime(WholeDay(Max))};
  // Clearing both limits also reaches the window, so an earlier range does not linger.
  SendMessageA(Handle(), MCM_SETRANGE, Flags, reinterpret_cast<LPARAM>(Range));
}

void TkvMonthCalendar::SetFirstDayOfWeek(TkvCalDayOfWeek Value) {
  FFirstDayOfWeek = Value;
  if (HandleAllocated()) ApplyFirstDayOfWeek();
}

void TkvMonthCalendar::ApplyFirstDayOfWeek() {
  // The locale counts like the calendar window: Monday 0 ... Sunday 6.
  const int Day = FFirstDayOfWeek == kvdowLocaleDefault ? int(FormatSettings().FirstDayOfWeek) % 7
                                                         : int(FFirstDayOfWeek);
  SendMessageA(Handle(), MCM_SETFIRSTDAYOFWEEK, 0, LPARAM(Day));
}

void TkvMonthCalendar::SetOptions(const TkvMonthOptions& Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkvMonthCalendar::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkvMonthCalendar::SetMaxSelectCount(int32_t Value) {
  if (Value == FMaxSelectCount) return;
  FMaxSelectCount = Value;
  if (HandleAllocated()) SendMessageA(Handle(), MCM_SETMAXSELCOUNT, WPARAM(Value), 0);
}

void TkvMonthCalendar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  // Our window lays itself out anew on every size, so a size change needs no new window; it
  // only never goes below what the month needs.
  if (HandleAllocated()) {
    RECT Min{};
    if (SendMessageA(HandleIfAllocated(), MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&Min))) {
      const int Border = FBorderStyle == bsSingle ? 2 : 0;
      AWidth = std::max<int>(AWidth, Min.right + Border);
      AHeight = std::max<int>(AHeight, Min.bottom + Border);
    }
  }
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TkvMonthCalendar::AdjustSize() {
  if (!HandleAllocated()) return;
  SetBounds(Left(), Top(), Width(), Height());
}

bool TkvMonthCalendar::IsPopupMenuShowing() const {
  return (FYearMenu && FYearMenu->IsShowing()) || (FMonthMenu && FMonthMenu->IsShowing());
}

void TkvMonthCalendar::FocusIfVisible() {
  if (Visible() && CanFocus()) SetFocus();
}

void TkvMonthCalendar::Change() {
  if (OnChange) OnChange(this);
}

// ---- messages ------------------------------------------------------------------------------------

UINT TkvMonthCalendar::HitTest(int X, int Y, SYSTEMTIME& Day) const {
  MCHITTESTINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.pt = POINT{X, Y};
  SendMessageA(HandleIfAllocated(), MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info));
  Day = Info.st;
  return Info.uHit;
}

bool TkvMonthCalendar::OutsideRange(int Year, int Month, int Day) const {
  if (Year > 9999 || Day < 1 || Day > 31) return false;
  const TDateTime Date = CutDay(Year, Month, Day);
  if (Date == 0) return false;
  if (FMinDate != 0 && Date < WholeDay(FMinDate)) return true;
  if (FMaxDate != 0 && Date > WholeDay(FMaxDate)) return true;
  return false;
}

void TkvMonthCalendar::WndProc(TMessage& Message) {
  if (HandleAllocated() && IsWindowVisible(HandleIfAllocated()) && !ComponentState().Contains(csDesigning)) {
    const int X = short(LOWORD(Message.LParam)), Y = short(HIWORD(Message.LParam));
    SYSTEMTIME Day{};
    switch (Message.Msg) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONUP: {
        // The window would track or select a day outside the range: it never sees the message.
        const UINT Hit = HitTest(X, Y, Day);
        if ((Hit & ~(MCHT_NEXT | MCHT_PREV)) == MCHT_CALENDARDATE && OutsideRange(Day.wYear, Day.wMonth, Day.wDay)) {
          if (Message.Msg == WM_LBUTTONUP) {
            if (GetCapture() == HandleIfAllocated()) ReleaseCapture();
            MouseUp(mbLeft, KeysToShiftState(WORD(Message.WParam)), X, Y);
          }
          return;
        }
        break;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: {
        FYearMenuWasShowing = FYearMenu && FYearMenu->IsShowing();
        FMonthMenuWasShowing = FMonthMenu->IsShowing();
        const UINT Hit = HitTest(X, Y, Day);
        const bool OnTitle = Hit == MCHT_TITLEMONTH || Hit == MCHT_TITLEYEAR || Hit == MCHT_TITLEBTNPREV ||
                             Hit == MCHT_TITLEBTNNEXT;
        const bool OnBlockedDay = (Hit & ~(MCHT_NEXT | MCHT_PREV)) == MCHT_CALENDARDATE &&
                                  OutsideRange(Day.wYear, Day.wMonth, Day.wDay);
        if (OnTitle || OnBlockedDay) {
          MouseDown(mbLeft, KeysToShiftState(WORD(Message.WParam)), X, Y);
          return;
        }
        break;
      }
      default:
        break;
    }
  }
  TWinControl::WndProc(Message);
}

void TkvMonthCalendar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NOTIFY:
      if (HandleAllocated() && reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom == HandleIfAllocated()) {
        CNNotify(Message);
        return;
      }
      break;
    case CM_COLORCHANGED:
      TWinControl::Dispatch(Message);
      Invalidate();
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(Message);
      if (HandleAllocated()) {
        SendMessageA(Handle(), WM_SETFONT, WPARAM(Font()->Handle()), 1);
        AdjustSize();
      }
      return;
    case CM_SHOWINGCHANGED:
      FMonthMenuClosed = false;
      FYearMenuClosed = false;
      break;
    case CN_KEYDOWN:
      // PgUp, PgDn and the arrows belong to the calendar, not to the form's dialog keys.
      if (!ComponentState().Contains(csDesigning)) {
        const WORD Key = WORD(Message.WParam);
        const bool Ctrl = GetKeyState(VK_CONTROL) < 0;
        if ((Key == VK_PRIOR || Key == VK_NEXT || (Key >= VK_LEFT && Key <= VK_DOWN)) &&
            (!Ctrl || kvParentIsGrid(this))) {
          Message.Result = 0;
          return;
        }
      }
      break;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

void TkvMonthCalendar::CNNotify(TMessage& Message) {
  auto* Header = reinterpret_cast<NMHDR*>(Message.LParam);
  if (Header->code == MCN_SELCHANGE) {
    const auto* Note = reinterpret_cast<NMSELCHANGE*>(Message.LParam);
    const TDateTime OldStart = FStartDate, OldEnd = FEndDate;
    const TDateTime Start = SystemTimeToDateTime(Note->stSelStart);
    FStartDate = (FMinDate != 0 && Start < WholeDay(FMinDate)) ? FMinDate : WholeDay(Start);
    if (FOptions.Contains(mdoMultiSelect)) {
      const TDateTime End = SystemTimeToDateTime(Note->stSelEnd);
      FEndDate = (FMinDate != 0 && End < WholeDay(FMinDate)) ? FMinDate : WholeDay(End);
      if (FStartDate != OldStart || FEndDate != OldEnd) FSelRangeDirty = true;
    } else {
      FEndDate = FStartDate;
    }
    if (WholeDay(FStartDate) == WholeDay(FEndDate) && WholeDay(FStartDate) != WholeDay(FDateTime)) {
      SetDate(FStartDate);
      Change();
    }
    Message.Result = 0;
    return;
  }
  if (Header->code == MCN_GETDAYSTATE) {
    if (!ComponentState().Contains(csLoading)) FillDayState(*reinterpret_cast<NMDAYSTATE*>(Message.LParam));
    Message.Result = 0;
    return;
  }
  TWinControl::Dispatch(Message);
}

void TkvMonthCalendar::FillDayState(NMDAYSTATE& Request) {
  const int Count = std::min<int>(Request.cDayState, int(std::size(DayStateAnswer)));
  for (int I = 0; I < Count; ++I) {
    int Month = 0, Year = 0;
    kvDayStateMonth(Request.stStart.wMonth, Request.stStart.wYear, I, Month, Year);
    DayStateAnswer[I] = 0;
    if (Year >= 10000 || Year < 1) continue;
    for (int Day = 1; Day <= DaysInAMonth(Year, Month); ++Day) {
      bool Accept = false;
      if (OnCalcBoldDay) OnCalcBoldDay(this, EncodeDate(Year, Month, Day), Month, Day, Year, Accept);
      if (Accept) DayStateAnswer[I] |= MONTHDAYSTATE(1) << (Day - 1);
    }
  }
  Request.prgDayState = DayStateAnswer;
}

// ---- mouse ---------------------------------------------------------------------------------------

TDateTime TkvMonthCalendar::CutDate(int Year, int Month) const {
  int Y = 0, M = 0, D = 0;
  Parts(FDateTime, Y, M, D);
  return CutDay(Year, Month, D);
}

void TkvMonthCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbRight) {
    TWinControl::MouseDown(Button, Shift, X, Y);
    return;
  }
  if (!(Owner() && kvInheritsFromClassName(&Owner()->ClassType(), "TkvDBCustomDateTimePicker"))) FocusIfVisible();
  SYSTEMTIME Day{};
  const UINT Hit = HandleAllocated() ? HitTest(X, Y, Day) : MCHT_NOWHERE;
  const bool OnDay = (Hit & ~(MCHT_NEXT | MCHT_PREV)) == MCHT_CALENDARDATE;
  try {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y, Day.wMonth, OnDay ? Day.wDay : 0, Day.wYear);
  } catch (...) {
    FMonthMenuClosed = false;
    FYearMenuClosed = false;
    return;
  }
  if (OnDay && Day.wDay >= 1 && Day.wDay <= 31) {
    FMonthMenuClosed = false;
    FYearMenuClosed = false;
    const TDateTime Date = CutDay(Day.wYear, Day.wMonth, Day.wDay);
    // A day beyond a limit selects the limit itself.
    if (FMaxDate != 0 && Date > WholeDay(FMaxDate)) {
      SetDate(FMaxDate);
      Change();
    } else if (FMinDate != 0 && Date < WholeDay(FMinDate)) {
      SetDate(FMinDate);
      Change();
    }
    return;
  }
  if (Hit == MCHT_TITLEBTNPREV || Hit == MCHT_TITLEBTNNEXT) {
    TitleButton(Hit == MCHT_TITLEBTNNEXT);
    return;
  }
  if (Hit == MCHT_TITLEYEAR) {
    // A click on the title that closed the menu must not open it again.
    const bool Toggled = (FYearMenuWasShowing || FYearMenuClosed) && FClickedTitleMonth == Day.wMonth;
    FYearMenuClosed = false;
    if (Toggled) return;
    FClickedTitleMonth = Day.wMonth;
    FTitleYear = Day.wYear;
    FTitleMonth = Day.wMonth;
    ShowYearMenu(X, Y);
    return;
  }
  if (Hit == MCHT_TITLEMONTH) {
    const bool Toggled = (FMonthMenuWasShowing || FMonthMenuClosed) && FClickedTitleMonth == Day.wMonth;
    FMonthMenuClosed = false;
    if (Toggled) return;
    FClickedTitleMonth = Day.wMonth;
    FTitleYear = Day.wYear;
    FTitleMonth = Day.wMonth;
    ShowMonthMenu(X, Y);
    return;
  }
  FMonthMenuClosed = false;
  FYearMenuClosed = false;
}

void TkvMonthCalendar::TitleButton(bool Next) {
  SYSTEMTIME Visible[2] = {};
  SendMessageA(Handle(), MCM_GETMONTHRANGE, GMR_VISIBLE, reinterpret_cast<LPARAM>(Visible));
  const int Delta = int(SendMessageA(Handle(), MCM_GETMONTHDELTA, 0, 0));
  const SYSTEMTIME& From = Next ? Visible[1] : Visible[0];
  int MonthIndex = From.wYear * 12 + (From.wMonth - 1) + (Next ? Delta : -Delta);
  const int Year = MonthIndex / 12, Month = MonthIndex % 12 + 1;
  if (Year > 9999) {
    MessageBeep(0);
    return;
  }
  TDateTime Target = CutDate(Year, Month);
  if (FMinDate != 0 && Target < WholeDay(FMinDate)) {
    Target = FMinDate;
    MessageBeep(0);
  } else if (FMaxDate != 0 && Target > WholeDay(FMaxDate)) {
    Target = FMaxDate;
    MessageBeep(0);
  }
  SetDate(Target);
  Change();
}

void TkvMonthCalendar::ShowMonthMenu(int X, int Y) {
  int CurrentYear = 0, CurrentMonth = 0, CurrentDay = 0;
  Parts(FDateTime, CurrentYear, CurrentMonth, CurrentDay);
  for (int Month = 1; Month <= 12; ++Month) {
    TMenuItem* Item = FMonthMenu->Items()->Items(Month - 1);
    Item->SetChecked(Month == FTitleMonth);
    const TDateTime Date = CutDay(FTitleYear, Month, CurrentDay);
    Item->SetEnabled(!((FMaxDate != 0 && Date > WholeDay(FMaxDate)) || (FMinDate != 0 && Date < WholeDay(FMinDate))));
  }
  // Below the month name, its right edge at the name's right end.
  SYSTEMTIME Day{};
  int Bottom = Y, Right = X;
  while (Bottom < Height() && HitTest(X, Bottom, Day) == MCHT_TITLEMONTH) ++Bottom;
  while (Right < Width() && HitTest(Right, Y, Day) == MCHT_TITLEMONTH) ++Right;
  const POINT At = ClientToScreen(POINT{Right, Bottom});
  FMonthMenu->Popup(At.x, At.y);
  FMonthMenuClosed = ClosedByPress();
}

void TkvMonthCalendar::ShowYearMenu(int X, int Y) {
  if (!FYearMenu) {
    FYearMenu = new TCalendarPopupMenu(this);
    FYearMenu->SetAutoHotkeys(maManual);
  }
  FYearMenu->Items()->Clear();
  int CurrentYear = 0, CurrentMonth = 0, CurrentDay = 0;
  Parts(FDateTime, CurrentYear, CurrentMonth, CurrentDay);
  const std::string EditCaption = kvGlobalIntl->MonthCalendar()->PopupYearLabel();
  const auto Entries =
      kvBuildYearMenu(*FPopupYearOptions, EditCaption, FTitleYear, CurrentMonth, CurrentDay, FMinDate, FMaxDate);
  bool First = true;
  for (const auto& Entry : Entries) {
    auto* Item = new TMenuItem(FYearMenu);
    Item->SetCaption(Entry.Caption);
    Item->SetChecked(Entry.Checked);
    Item->SetEnabled(Entry.Enabled);
    if (Entry.BarBreak) Item->SetBreak(mbBarBreak);
    if (First && FPopupYearOptions->ShowEditYear())
      Item->OnClick = TNotifyEvent(this, &TkvMonthCalendar::EditYearClick);
    else if (Entry.Year != 0)
      Item->OnClick = TNotifyEvent(this, &TkvMonthCalendar::YearClick);
    First = false;
    FYearMenu->Items()->Add(Item);
  }
  // Below the year, its left edge at the year's left end.
  SYSTEMTIME Day{};
  int Bottom = Y, Left = X;
  while (Bottom < Height() && HitTest(X, Bottom, Day) == MCHT_TITLEYEAR) ++Bottom;
  while (Left > 0 && HitTest(Left - 1, Y, Day) == MCHT_TITLEYEAR) --Left;
  if (FPopupYearOptions->ShowEditYear() && FPopupYearOptions->YearsPerColumn() != 1) {
    // The edit item's column stands to the left of the years.
    HDC DC = GetDC(Handle());
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    SIZE Size{};
    GetTextExtentPointA(DC, EditCaption.c_str(), int(EditCaption.size()), &Size);
    SelectObject(DC, Old);
    ReleaseDC(Handle(), DC);
    Left -= (Size.cx + 45) * Screen->PixelsPerInch() / 96;
  }
  const POINT At = ClientToScreen(POINT{Left, Bottom});
  FYearMenu->Popup(At.x, At.y);
  FYearMenuClosed = ClosedByPress();
}

void TkvMonthCalendar::MonthClick(TObject* Sender) {
  auto* Item = dynamic_cast<TMenuItem*>(Sender);
  if (!Item) return;
  const auto& Names = FormatSettings().LongMonthNames;
  const auto Found = std::find(Names.begin(), Names.end(), Item->Caption());
  if (Found == Names.end()) return;
  const int Month = int(Found - Names.begin()) + 1;
  SYSTEMTIME Visible[2] = {};
  SendMessageA(Handle(), MCM_GETMONTHRANGE, GMR_VISIBLE, reinterpret_cast<LPARAM>(Visible));
  // Scroll first: the first of the month as far from the first visible month as the choice
  // lies from the clicked month.
  const int Index = Visible[0].wYear * 12 + (Visible[0].wMonth - 1) + (Month - FClickedTitleMonth);
  SelectDate(EncodeDate(Index / 12, Index % 12 + 1, 1));
  const TDateTime Before = FDateTime;
  SetDate(CutDate(FTitleYear, Month));
  // Choosing the month already shown leaves the value alone; the window must show it again
  // instead of the first it was scrolled to.
  if (FDateTime == Before) SelectDate(FDateTime);
  Change();
}

void TkvMonthCalendar::YearClick(TObject* Sender) {
  auto* Item = dynamic_cast<TMenuItem*>(Sender);
  if (!Item) return;
  ChooseYear(StrToIntDef(Item->Caption(), FTitleYear));
}

void TkvMonthCalendar::EditYearClick(TObject*) {
  int CurrentYear = 0, CurrentMonth = 0, CurrentDay = 0;
  Parts(FDateTime, CurrentYear, CurrentMonth, CurrentDay);
  const TkvEditYearBounds Bounds = kvEditYearBounds(CurrentMonth, CurrentDay, FMinDate, FMaxDate,
                                                    kvGlobalIntl->MonthCalendar()->EnterYearPrompt());
  int Default = FTitleYear;
  if (Bounds.HasLow) Default = std::max(Default, Bounds.Low);
  if (Bounds.HasHigh) Default = std::min(Default, Bounds.High);
  const bool Unbounded = !Bounds.HasLow && !Bounds.HasHigh;
  const std::string Prompt = Unbounded ? " " : "Enter New Year:";
  int Year = 0;
  // Asked again until the answer is a whole year within the bounds; cancelling gives the default.
  for (;;) {
    const std::string Answer = InputBox(Bounds.Caption, Prompt, std::to_string(Default));
    if (!TryStrToInt(Answer, Year)) continue;
    if ((Bounds.HasLow && Year < Bounds.Low) || (Bounds.HasHigh && Year > Bounds.High)) continue;
    if (Year < 1 || Year > 9999) continue;
    break;
  }
  ChooseYear(Year);
}

void TkvMonthCalendar::ChooseYear(int Year) {
  if (Year == FTitleYear || Year < 1 || Year > 9999) return;
  SYSTEMTIME Visible[2] = {};
  SendMessageA(Handle(), MCM_GETMONTHRANGE, GMR_VISIBLE, reinterpret_cast<LPARAM>(Visible));
  const int Month = Year > FTitleYear ? Visible[1].wMonth : Visible[0].wMonth;
  SelectDate(EncodeDate(Year, Month, 1));
  int CurrentYear = 0, CurrentMonth = 0, CurrentDay = 0;
  Parts(FDateTime, CurrentYear, CurrentMonth, CurrentDay);
  const TDateTime Before = FDateTime;
  SetDate(CutDay(Year, CurrentMonth, CurrentDay));
  if (FDateTime == Before) SelectDate(FDateTime);
  Change();
}

void TkvMonthCalendar::MouseMove(TShiftState Shift, int X, int Y) {
  SYSTEMTIME Day{};
  const UINT Hit = HandleAllocated() ? HitTest(X, Y, Day) : MCHT_NOWHERE;
  const bool OnDay = (Hit & ~(MCHT_NEXT | MCHT_PREV)) == MCHT_CALENDARDATE;
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y, Day.wMonth, OnDay ? Day.wDay : 0, Day.wYear);
  TWinControl::MouseMove(Shift, X, Y);
}

void TkvMonthCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  SYSTEMTIME Day{};
  const UINT Hit = HandleAllocated() ? HitTest(X, Y, Day) : MCHT_NOWHERE;
  const bool OnDay = (Hit & ~(MCHT_NEXT | MCHT_PREV)) == MCHT_CALENDARDATE;
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y, Day.wMonth, OnDay ? Day.wDay : 0, Day.wYear);
  TWinControl::MouseUp(Button, Shift, X, Y);
  if (FOptions.Contains(mdoMultiSelect) && FSelRangeDirty) {
    FSelRangeDirty = false;
    Change();
  }
}

// ---- keys ----------------------------------------------------------------------------------------

void TkvMonthCalendar::KeyDown(WORD& Key, TShiftState Shift) {
  TWinControl::KeyDown(Key, Shift);
  if (Key != VK_PRIOR && Key != VK_NEXT && (Key < VK_LEFT || Key > VK_DOWN)) return;
  if (FOptions.Contains(mdoMultiSelect)) {
    SYSTEMTIME Range[2] = {};
    SendMessageA(Handle(), MCM_GETSELRANGE, 0, reinterpret_cast<LPARAM>(Range));
    const TDateTime Start = SystemTimeToDateTime(Range[0]), End = SystemTimeToDateTime(Range[1]);
    if ((Key == VK_PRIOR || Key == VK_NEXT) && End > Start) {
      Key = 0;
      return;
    }
    if (Shift.Contains(ssShift) && Key != VK_PRIOR && Key != VK_NEXT) {
      // The end away from the current date moves.
      const int Step = (Key == VK_LEFT || Key == VK_UP ? -1 : 1) * (Key == VK_UP || Key == VK_DOWN ? 7 : 1);
      if (WholeDay(FDateTime) == Start)
        SetSelRange(Start, End + Step);
      else
        SetSelRange(Start + Step, End);
      Change();
      Key = 0;
      return;
    }
  }
  const TDateTime Target = kvCalendarKeyTarget(Key, FDateTime, FMinDate, FMaxDate);
  if (WholeDay(Target) != WholeDay(FDateTime)) SetDate(Target);
  Change();
  Key = 0;
}
