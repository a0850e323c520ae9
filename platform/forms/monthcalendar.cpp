// The month-calendar window. One month is shown: the title (previous button, month name and
// year, next button), the day-name header, six weeks of days starting before the first of the
// month (so the days of the neighbouring months, "trailing" days, fill the grid), an optional
// week-number column at the left and the "Today:" line. Everything is measured from the window's
// font, so the minimum size (MCM_GETMINREQRECT) and the hit test agree with what is painted.
//
// Dates are kept as whole TDateTime days; SYSTEMTIME only crosses the message boundary.

#include "platform/forms/monthcalendar.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/gdi/font.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "platform/gdi/textlayout.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/user/user.h"

SYSTEMTIME DateTimeToSystemTime(TDateTime Value) {
  uint16_t Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0;
  DecodeDateTime(Value, Year, Month, Day, Hour, Min, Sec, MSec);
  SYSTEMTIME Result{};
  Result.wYear = Year;
  Result.wMonth = Month;
  Result.wDay = Day;
  Result.wDayOfWeek = Year ? WORD(DayOfWeek(Value) - 1) : 0;
  Result.wHour = Hour;
  Result.wMinute = Min;
  Result.wSecond = Sec;
  Result.wMilliseconds = MSec;
  return Result;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& Time) {
  TDateTime Date = 0, TimeOfDay = 0;
  if (!TryEncodeDate(Time.wYear, Time.wMonth, Time.wDay, Date)) return 0;
  if (!TryEncodeTime(Time.wHour, Time.wMinute, Time.wSecond, Time.wMilliseconds, TimeOfDay)) TimeOfDay = 0;
  return ComposeDateTime(Date, TimeOfDay);
}

namespace {

// The circle around today and the today mark are red in every colour scheme.
constexpr COLORREF TodayMarkColor = 0x000000FF;
constexpr int Margin = 4;
constexpr int Weeks = 6;

struct TMonthCalState {
  HWND Window = nullptr;
  HWND Notify = nullptr;  // the parent at creation: a calendar moved to another parent keeps it
  TDateTime SelStart = 0, SelEnd = 0;
  TDateTime Anchor = 0;  // where a mouse selection began
  int ShownYear = 0, ShownMonth = 0;
  DWORD RangeFlags = 0;
  TDateTime RangeMin = 0, RangeMax = 0;
  COLORREF Colors[6] = {};
  int FirstDay = 0;
  bool FirstDaySet = false;
  bool TodaySet = false;
  TDateTime Today = 0;
  int MaxSelCount = 7;
  int MonthDelta = 0;  // 0: the number of months shown
  MONTHDAYSTATE DayState[3] = {};  // the month before, the shown month, the month after
  bool DayStateAsked = false;
  HFONT Font = nullptr;
  bool Tracking = false;
};

std::unordered_map<HWND, std::unique_ptr<TMonthCalState>>& States() {
  static std::unordered_map<HWND, std::unique_ptr<TMonthCalState>> Table;
  return Table;
}

TMonthCalState* StateOf(HWND Window) {
  auto Found = States().find(Window);
  return Found == States().end() ? nullptr : Found->second.get();
}

DWORD StyleOf(const TMonthCalState& State) { return DWORD(GetWindowLongA(State.Window, GWL_STYLE)); }

TDateTime DayOf(const SYSTEMTIME& Time) {
  TDateTime Result = 0;
  return TryEncodeDate(Time.wYear, Time.wMonth, Time.wDay, Result) ? Result : 0;
}

SYSTEMTIME DaySystemTime(TDateTime Day) { return DateTimeToSystemTime(std::floor(Day)); }

int YearOf(TDateTime Day) {
  uint16_t Y, M, D;
  DecodeDate(Day, Y, M, D);
  return Y;
}
int MonthOf(TDateTime Day) {
  uint16_t Y, M, D;
  DecodeDate(Day, Y, M, D);
  return M;
}

// Monday 0 ... Sunday 6.
int MondayIndex(TDateTime Day) { return (DayOfWeek(Day) + 5) % 7; }

int EffectiveFirstDay(const TMonthCalState& State) {
  return State.FirstDaySet ? State.FirstDay : int(FormatSettings().FirstDayOfWeek) % 7;
}

TDateTime TodayOf(const TMonthCalState& State) { return State.TodaySet ? State.Today : std::floor(Now()); }

// The first day of the grid: the first day of the week before the first of the month, a whole
// week earlier when the month starts on that day, so that the grid always shows trailing days on
// both sides.
TDateTime GridStart(const TMonthCalState& State) {
  const TDateTime First = EncodeDate(State.ShownYear, State.ShownMonth, 1);
  int Offset = (MondayIndex(First) - EffectiveFirstDay(State) + 7) % 7;
  if (Offset == 0) Offset = 7;
  return First - Offset;
}

bool InRange(const TMonthCalState& State, TDateTime Day) {
  if ((State.RangeFlags & GDTR_MIN) && Day < State.RangeMin) return false;
  if ((State.RangeFlags & GDTR_MAX) && Day > State.RangeMax) return false;
  return true;
}

TDateTime ClampToRange(const TMonthCalState& State, TDateTime Day) {
  if ((State.RangeFlags & GDTR_MIN) && Day < State.RangeMin) return State.RangeMin;
  if ((State.RangeFlags & GDTR_MAX) && Day > State.RangeMax) return State.RangeMax;
  return Day;
}

int IsoWeek(TDateTime Day) {
  const TDateTime Thursday = Day - MondayIndex(Day) + 3;
  return int((Thursday - EncodeDate(YearOf(Thursday), 1, 1)) / 7) + 1;
}

// ---- layout --------------------------------------------------------------------------------------

struct TLayout {
  int CellWidth = 0, CellHeight = 0, TitleHeight = 0, WeekWidth = 0, TodayHeight = 0;
  int MinWidth = 0, MinHeight = 0;
  RECT Block{}, Title{}, Prev{}, Next{}, MonthText{}, YearText{}, Header{}, Today{};
  int GridLeft = 0, GridTop = 0;
  RECT Cell(int Index) const {
    const int Row = Index / 7, Column = Index % 7;
    return RECT{GridLeft + Column * CellWidth, GridTop + Row * CellHeight, GridLeft + (Column + 1) * CellWidth,
                GridTop + (Row + 1) * CellHeight};
  }
};

HFONT FontOf(const TMonthCalState& State) {
  return State.Font ? State.Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int TextWidthOn(HDC DC, const std::string& Text) {
  SIZE Size{};
  GetTextExtentPointA(DC, Text.c_str(), int(Text.size()), &Size);
  return Size.cx;
}

std::string HeaderName(int MondayBased) {
  // ShortDayNames counts from Sunday.
  const std::string& Name = FormatSettings().ShortDayNames[(MondayBased + 1) % 7];
  return Name.substr(0, std::min<size_t>(2, Name.size()));
}

std::string MonthName(int Month) { return FormatSettings().LongMonthNames[Month - 1]; }

// DC must have the calendar's font selected.
TLayout MeasureOn(const TMonthCalState& State, HDC DC) {
  TLayout L;
  TEXTMETRICA Metric{};
  GetTextMetricsA(DC, &Metric);
  const int TextHeight = std::max<int>(Metric.tmHeight, 8);
  int Widest = TextWidthOn(DC, "00");
  for (int Day = 0; Day < 7; ++Day) Widest = std::max(Widest, TextWidthOn(DC, HeaderName(Day)));
  L.CellWidth = Widest + 6;
  L.CellHeight = TextHeight + 2;
  L.TitleHeight = TextHeight + 10;
  const DWORD Style = StyleOf(State);
  L.WeekWidth = (Style & MCS_WEEKNUMBERS) ? L.CellWidth : 0;
  L.TodayHeight = (Style & MCS_NOTODAY) ? 0 : L.CellHeight + 4;
  L.MinWidth = 2 * Margin + L.WeekWidth + 7 * L.CellWidth;
  L.MinHeight = L.TitleHeight + Margin + (L.CellHeight + 2) + Weeks * L.CellHeight + L.TodayHeight + Margin;

  RECT Client{};
  GetClientRect(State.Window, &Client);
  const int Left = std::max(0, int(Client.right - L.MinWidth) / 2);
  const int Top = std::max(0, int(Client.bottom - L.MinHeight) / 2);
  L.Block = RECT{Left, Top, Left + L.MinWidth, Top + L.MinHeight};
  L.Title = RECT{Left, Top, Left + L.MinWidth, Top + L.TitleHeight};
  const int Button = L.TitleHeight - 4;
  L.Prev = RECT{Left + 2, Top + 2, Left + 2 + Button, Top + 2 + Button};
  L.Next = RECT{L.Title.right - 2 - Button, Top + 2, L.Title.right - 2, Top + 2 + Button};
  if (State.ShownMonth >= 1 && State.ShownMonth <= 12) {
    const std::string Month = MonthName(State.ShownMonth);
    const std::string Year = std::to_string(State.ShownYear);
    const int MonthWidth = TextWidthOn(DC, Month), Gap = TextWidthOn(DC, " "), YearWidth = TextWidthOn(DC, Year);
    const int TextLeft = Left + (L.MinWidth - MonthWidth - Gap - YearWidth) / 2;
    const int TextTop = Top + (L.TitleHeight - TextHeight) / 2;
    L.MonthText = RECT{TextLeft, TextTop, TextLeft + MonthWidth, TextTop + TextHeight};
    L.YearText = RECT{TextLeft + MonthWidth + Gap, TextTop, TextLeft + MonthWidth + Gap + YearWidth,
                      TextTop + TextHeight};
  }
  L.GridLeft = Left + Margin + L.WeekWidth;
  L.Header = RECT{L.GridLeft, L.Title.bottom + Margin, L.GridLeft + 7 * L.CellWidth,
                  L.Title.bottom + Margin + L.CellHeight};
  L.GridTop = L.Header.bottom + 2;
  if (L.TodayHeight) {
    const int TodayTop = L.GridTop + Weeks * L.CellHeight + 2;
    L.Today = RECT{Left + Margin, TodayTop, L.Block.right - Margin, TodayTop + L.CellHeight};
  }
  return L;
}

TLayout Measure(const TMonthCalState& State) {
  HDC DC = GetDC(State.Window);
  HGDIOBJ Old = SelectObject(DC, FontOf(State));
  TLayout L = MeasureOn(State, DC);
  SelectObject(DC, Old);
  ReleaseDC(State.Window, DC);
  return L;
}

bool IsDateHit(UINT Hit) { return (Hit & ~(MCHT_NEXT | MCHT_PREV)) == MCHT_CALENDARDATE; }
bool IsTitleHit(UINT Hit) { return (Hit & 0xFFFF0000u & ~(MCHT_NEXT | MCHT_PREV)) == MCHT_TITLE; }

bool Inside(const RECT& R, POINT P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }

UINT HitTest(const TMonthCalState& State, const TLayout& L, POINT P, TDateTime& Day) {
  Day = 0;
  if (Inside(L.Title, P)) {
    if (Inside(L.Prev, P)) return MCHT_TITLEBTNPREV;
    if (Inside(L.Next, P)) return MCHT_TITLEBTNNEXT;
    if (Inside(L.MonthText, P)) return MCHT_TITLEMONTH;
    if (Inside(L.YearText, P)) return MCHT_TITLEYEAR;
    return MCHT_TITLEBK;
  }
  if (Inside(L.Header, P)) return MCHT_CALENDARDAY;
  const RECT Grid{L.GridLeft, L.GridTop, L.GridLeft + 7 * L.CellWidth, L.GridTop + Weeks * L.CellHeight};
  if (L.WeekWidth && P.x >= L.GridLeft - L.WeekWidth && P.x < L.GridLeft && P.y >= Grid.top && P.y < Grid.bottom)
    return MCHT_CALENDARWEEKNUM;
  if (Inside(Grid, P)) {
    const int Index = (P.y - L.GridTop) / L.CellHeight * 7 + (P.x - L.GridLeft) / L.CellWidth;
    Day = GridStart(State) + Index;
    const int Month = MonthOf(Day);
    if (Month == State.ShownMonth) return MCHT_CALENDARDATE;
    return Day < EncodeDate(State.ShownYear, State.ShownMonth, 1) ? MCHT_CALENDARDATEPREV : MCHT_CALENDARDATENEXT;
  }
  if (L.TodayHeight && Inside(L.Today, P)) return MCHT_TODAYLINK;
  if (Inside(L.Block, P)) return MCHT_CALENDARBK;
  return MCHT_NOWHERE;
}

// ---- notifications -------------------------------------------------------------------------------

// Each returns false when the window went away while the parent handled the notification.
bool NotifySelection(HWND Window, UINT Code) {
  TMonthCalState* State = StateOf(Window);
  if (!State || !State->Notify || !IsWindow(State->Notify)) return State != nullptr;
  NMSELCHANGE Note{};
  Note.nmhdr.hwndFrom = Window;
  Note.nmhdr.idFrom = UINT_PTR(GetWindowLongA(Window, GWL_ID));
  Note.nmhdr.code = Code;
  Note.stSelStart = DaySystemTime(State->SelStart);
  Note.stSelEnd = DaySystemTime(State->SelEnd);
  SendMessageA(State->Notify, WM_NOTIFY, Note.nmhdr.idFrom, reinterpret_cast<LPARAM>(&Note));
  return IsWindow(Window) && StateOf(Window) != nullptr;
}

// Asks the parent which days of the three months the grid touches are bold.
bool AskDayState(HWND Window) {
  TMonthCalState* State = StateOf(Window);
  if (!State) return false;
  State->DayStateAsked = true;
  std::fill(std::begin(State->DayState), std::end(State->DayState), 0);
  if (!(StyleOf(*State) & MCS_DAYSTATE) || !State->Notify || !IsWindow(State->Notify)) return true;
  NMDAYSTATE Note{};
  Note.nmhdr.hwndFrom = Window;
  Note.nmhdr.idFrom = UINT_PTR(GetWindowLongA(Window, GWL_ID));
  Note.nmhdr.code = MCN_GETDAYSTATE;
  const TDateTime First = IncMonth(EncodeDate(State->ShownYear, State->ShownMonth, 1), -1);
  Note.stStart = DaySystemTime(First);
  Note.cDayState = 3;
  SendMessageA(State->Notify, WM_NOTIFY, Note.nmhdr.idFrom, reinterpret_cast<LPARAM>(&Note));
  State = StateOf(Window);
  if (!State) return false;
  if (Note.prgDayState)
    for (int I = 0; I < 3; ++I) State->DayState[I] = Note.prgDayState[I];
  return true;
}

// Shows the month of Day; asks for the bold days when the month changes.
bool ShowMonthOf(HWND Window, TDateTime Day) {
  TMonthCalState* State = StateOf(Window);
  const int Year = YearOf(Day), Month = MonthOf(Day);
  if (State->ShownYear == Year && State->ShownMonth == Month) return true;
  State->ShownYear = Year;
  State->ShownMonth = Month;
  InvalidateRect(Window, nullptr, FALSE);
  return AskDayState(Window);
}

// Selects Day (a range from the anchor with multi-selection) as the user does: shows its
// month and tells the parent when the selection changed.
bool UserSelect(HWND Window, TDateTime Day, bool Extend) {
  TMonthCalState* State = StateOf(Window);
  Day = ClampToRange(*State, Day);
  TDateTime Start = Day, End = Day;
  if (Extend && (StyleOf(*State) & MCS_MULTISELECT)) {
    Start = std::min(State->Anchor, Day);
    End = std::max(State->Anchor, Day);
    // The range grows from the anchor up to the allowed number of days.
    const int Span = std::max(1, State->MaxSelCount) - 1;
    if (End - Start > Span) {
      if (Day > State->Anchor)
        End = Start + Span;
      else
        Start = End - Span;
    }
  } else {
    State->Anchor = Day;
  }
  const bool Changed = Start != State->SelStart || End != State->SelEnd;
  State->SelStart = Start;
  State->SelEnd = End;
  InvalidateRect(Window, nullptr, FALSE);
  if (!ShowMonthOf(Window, Day)) return false;
  return Changed ? NotifySelection(Window, MCN_SELCHANGE) : true;
}

// The title buttons: the shown month moves by the month delta and the selection goes along to
// the same day (cut to the month's length).
void Scroll(HWND Window, int Months) {
  TMonthCalState* State = StateOf(Window);
  const TDateTime Target = IncMonth(State->SelStart, Months);
  const TDateTime FirstShown = IncMonth(EncodeDate(State->ShownYear, State->ShownMonth, 1), Months);
  if (YearOf(FirstShown) < 1601 || YearOf(FirstShown) > 9999) return;
  if (!UserSelect(Window, Target, false)) return;
  State = StateOf(Window);
  // A clamped selection may stay in the old month; the display still scrolls.
  ShowMonthOf(Window, FirstShown);
}

// ---- painting ------------------------------------------------------------------------------------

void Fill(HDC DC, const RECT& R, COLORREF Color) {
  HBRUSH Brush = CreateSolidBrush(Color);
  FillRect(DC, &R, Brush);
  DeleteObject(Brush);
}

void Triangle(HDC DC, const RECT& R, bool PointsLeft, COLORREF Color) {
  const int Height = R.bottom - R.top;
  const int Size = std::max(2, Height / 3);
  const int CenterX = (R.left + R.right) / 2, CenterY = (R.top + R.bottom) / 2;
  POINT Points[3];
  if (PointsLeft) {
    Points[0] = POINT{CenterX - Size / 2, CenterY};
    Points[1] = POINT{CenterX + Size / 2, CenterY - Size};
    Points[2] = POINT{CenterX + Size / 2, CenterY + Size};
  } else {
    Points[0] = POINT{CenterX + Size / 2, CenterY};
    Points[1] = POINT{CenterX - Size / 2, CenterY - Size};
    Points[2] = POINT{CenterX - Size / 2, CenterY + Size};
  }
  HBRUSH Brush = CreateSolidBrush(Color);
  HPEN Pen = CreatePen(PS_SOLID, 1, Color);
  HGDIOBJ OldBrush = SelectObject(DC, Brush), OldPen = SelectObject(DC, Pen);
  Polygon(DC, Points, 3);
  SelectObject(DC, OldBrush);
  SelectObject(DC, OldPen);
  DeleteObject(Brush);
  DeleteObject(Pen);
}

void Circle(HDC DC, const RECT& R, COLORREF Color) {
  HPEN Pen = CreatePen(PS_SOLID, 1, Color);
  HGDIOBJ OldPen = SelectObject(DC, Pen), OldBrush = SelectObject(DC, GetStockObject(NULL_BRUSH));
  Ellipse(DC, R.left, R.top, R.right, R.bottom);
  SelectObject(DC, OldPen);
  SelectObject(DC, OldBrush);
  DeleteObject(Pen);
}

void Line(HDC DC, int X1, int Y1, int X2, int Y2, COLORREF Color) {
  HPEN Pen = CreatePen(PS_SOLID, 1, Color);
  HGDIOBJ Old = SelectObject(DC, Pen);
  MoveToEx(DC, X1, Y1, nullptr);
  LineTo(DC, X2, Y2);
  SelectObject(DC, Old);
  DeleteObject(Pen);
}

void CenteredText(HDC DC, const std::string& Text, RECT R, COLORREF Color) {
  SetTextColor(DC, Color);
  DrawTextA(DC, Text.c_str(), int(Text.size()), &R, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

HFONT MakeBoldFont(HFONT Font) {
  LOGFONTA Log{};
  if (!GetObjectA(Font, sizeof(Log), &Log)) return nullptr;
  Log.lfWeight = FW_BOLD;
  return CreateFontIndirectA(&Log);
}

bool DayIsBold(const TMonthCalState& State, TDateTime Day) {
  const int Index = (YearOf(Day) - State.ShownYear) * 12 + MonthOf(Day) - State.ShownMonth + 1;
  if (Index < 0 || Index > 2) return false;
  uint16_t Y, M, D;
  DecodeDate(Day, Y, M, D);
  return (State.DayState[Index] >> (D - 1)) & 1u;
}

void Paint(TMonthCalState& State, HDC DC) {
  HFONT Font = FontOf(State);
  HFONT Bold = MakeBoldFont(Font);
  HGDIOBJ OldFont = SelectObject(DC, Font);
  const TLayout L = MeasureOn(State, DC);
  const DWORD Style = StyleOf(State);
  const COLORREF* C = State.Colors;
  SetBkMode(DC, TRANSPARENT);

  RECT Client{};
  GetClientRect(State.Window, &Client);
  Fill(DC, Client, C[MCSC_BACKGROUND]);
  Fill(DC, L.Block, C[MCSC_MONTHBK]);

  // Title.
  Fill(DC, L.Title, C[MCSC_TITLEBK]);
  Triangle(DC, L.Prev, true, C[MCSC_TITLETEXT]);
  Triangle(DC, L.Next, false, C[MCSC_TITLETEXT]);
  if (Bold) SelectObject(DC, Bold);
  CenteredText(DC, MonthName(State.ShownMonth), L.MonthText, C[MCSC_TITLETEXT]);
  CenteredText(DC, std::to_string(State.ShownYear), L.YearText, C[MCSC_TITLETEXT]);
  SelectObject(DC, Font);

  // Day names, underlined.
  const int FirstDay = EffectiveFirstDay(State);
  for (int Column = 0; Column < 7; ++Column) {
    RECT R{L.GridLeft + Column * L.CellWidth, L.Header.top, L.GridLeft + (Column + 1) * L.CellWidth, L.Header.bottom};
    CenteredText(DC, HeaderName((FirstDay + Column) % 7), R, C[MCSC_TITLEBK]);
  }
  Line(DC, L.GridLeft, L.Header.bottom, L.GridLeft + 7 * L.CellWidth, L.Header.bottom, C[MCSC_TEXT]);

  // Days.
  const TDateTime Start = GridStart(State);
  const TDateTime Today = TodayOf(State);
  for (int Index = 0; Index < 7 * Weeks; ++Index) {
    const TDateTime Day = Start + Index;
    const bool Trailing = MonthOf(Day) != State.ShownMonth;
    RECT R = L.Cell(Index);
    COLORREF TextColor = Trailing || !InRange(State, Day) ? C[MCSC_TRAILINGTEXT] : C[MCSC_TEXT];
    if (Day >= State.SelStart && Day <= State.SelEnd) {
      Fill(DC, R, C[MCSC_TITLEBK]);
      TextColor = C[MCSC_TITLETEXT];
    }
    const bool IsBold = !Trailing && DayIsBold(State, Day);
    if (IsBold && Bold) SelectObject(DC, Bold);
    uint16_t Y, M, D;
    DecodeDate(Day, Y, M, D);
    CenteredText(DC, std::to_string(D), R, TextColor);
    if (IsBold) SelectObject(DC, Font);
    if (Day == Today && !(Style & MCS_NOTODAYCIRCLE)) Circle(DC, R, TodayMarkColor);
  }

  // Week numbers beside the weeks, split off by a line.
  if (L.WeekWidth) {
    for (int Row = 0; Row < Weeks; ++Row) {
      RECT R{L.GridLeft - L.WeekWidth, L.GridTop + Row * L.CellHeight, L.GridLeft - 2,
             L.GridTop + (Row + 1) * L.CellHeight};
      CenteredText(DC, std::to_string(IsoWeek(Start + Row * 7 + (3 - MondayIndex(Start) + 7) % 7)), R,
                   C[MCSC_TITLEBK]);
    }
    Line(DC, L.GridLeft - 1, L.GridTop, L.GridLeft - 1, L.GridTop + Weeks * L.CellHeight, C[MCSC_TEXT]);
  }

  // "Today:" line.
  if (L.TodayHeight) {
    int TextLeft = L.Today.left;
    if (!(Style & MCS_NOTODAYCIRCLE)) {
      Circle(DC, RECT{L.Today.left, L.Today.top, L.Today.left + L.CellWidth, L.Today.bottom}, TodayMarkColor);
      TextLeft += L.CellWidth + 4;
    }
    if (Bold) SelectObject(DC, Bold);
    SetTextColor(DC, C[MCSC_TEXT]);
    const std::string Text = "Today: " + FormatDateTime("ddddd", Today);
    RECT R{TextLeft, L.Today.top, L.Today.right, L.Today.bottom};
    DrawTextA(DC, Text.c_str(), int(Text.size()), &R, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }

  SelectObject(DC, OldFont);
  if (Bold) DeleteObject(Bold);
}

// ---- messages ------------------------------------------------------------------------------------

TMonthCalState& CreateState(HWND Window, HWND Parent) {
  auto State = std::make_unique<TMonthCalState>();
  State->Window = Window;
  State->Notify = Parent;
  State->Colors[MCSC_BACKGROUND] = GetSysColor(COLOR_WINDOW);
  State->Colors[MCSC_TEXT] = GetSysColor(COLOR_WINDOWTEXT);
  State->Colors[MCSC_TITLEBK] = GetSysColor(COLOR_ACTIVECAPTION);
  State->Colors[MCSC_TITLETEXT] = GetSysColor(COLOR_WINDOW);
  State->Colors[MCSC_MONTHBK] = GetSysColor(COLOR_WINDOW);
  State->Colors[MCSC_TRAILINGTEXT] = GetSysColor(COLOR_GRAYTEXT);
  const TDateTime Today = std::floor(Now());
  State->SelStart = State->SelEnd = State->Anchor = Today;
  State->ShownYear = YearOf(Today);
  State->ShownMonth = MonthOf(Today);
  TMonthCalState& Result = *State;
  States()[Window] = std::move(State);
  return Result;
}

LRESULT FirstDayAnswer(const TMonthCalState& State) {
  const bool Differs = State.FirstDaySet && State.FirstDay != int(FormatSettings().FirstDayOfWeek) % 7;
  return LRESULT(MAKELONG(WORD(EffectiveFirstDay(State)), WORD(Differs ? 1 : 0)));
}

LRESULT CalendarMessage(TMonthCalState& State, UINT Message, WPARAM WParam, LPARAM LParam) {
  HWND Window = State.Window;
  const bool Multi = StyleOf(State) & MCS_MULTISELECT;
  auto* Times = reinterpret_cast<SYSTEMTIME*>(LParam);
  switch (Message) {
    case MCM_GETCURSEL:
      if (Multi || !Times) return FALSE;
      *Times = DaySystemTime(State.SelStart);
      return TRUE;
    case MCM_SETCURSEL: {
      if (Multi || !Times) return FALSE;
      const TDateTime Day = DayOf(*Times);
      if (Day == 0 || !InRange(State, Day)) return FALSE;
      State.SelStart = State.SelEnd = State.Anchor = Day;
      InvalidateRect(Window, nullptr, FALSE);
      ShowMonthOf(Window, Day);
      return TRUE;
    }
    case MCM_GETMAXSELCOUNT:
      return State.MaxSelCount;
    case MCM_SETMAXSELCOUNT:
      if (!Multi || int(WParam) < 1) return FALSE;
      State.MaxSelCount = int(WParam);
      return TRUE;
    case MCM_GETSELRANGE:
      if (!Multi || !Times) return FALSE;
      Times[0] = DaySystemTime(State.SelStart);
      Times[1] = DaySystemTime(State.SelEnd);
      return TRUE;
    case MCM_SETSELRANGE: {
      if (!Multi || !Times) return FALSE;
      TDateTime A = DayOf(Times[0]), B = DayOf(Times[1]);
      if (A == 0 || B == 0) return FALSE;
      if (B < A) std::swap(A, B);
      if (B - A >= State.MaxSelCount || !InRange(State, A) || !InRange(State, B)) return FALSE;
      State.SelStart = State.Anchor = A;
      State.SelEnd = B;
      InvalidateRect(Window, nullptr, FALSE);
      ShowMonthOf(Window, A);
      return TRUE;
    }
    case MCM_GETMONTHRANGE: {
      const TDateTime First = EncodeDate(State.ShownYear, State.ShownMonth, 1);
      if (WParam == GMR_DAYSTATE) {
        if (Times) {
          Times[0] = DaySystemTime(GridStart(State));
          Times[1] = DaySystemTime(GridStart(State) + 7 * Weeks - 1);
        }
        return 3;
      }
      if (Times) {
        Times[0] = DaySystemTime(First);
        Times[1] = DaySystemTime(First + DaysInAMonth(State.ShownYear, State.ShownMonth) - 1);
      }
      return 1;
    }
    case MCM_SETDAYSTATE: {
      const auto* Masks = reinterpret_cast<const MONTHDAYSTATE*>(LParam);
      if (!Masks) return FALSE;
      for (int I = 0; I < std::min<int>(int(WParam), 3); ++I) State.DayState[I] = Masks[I];
      InvalidateRect(Window, nullptr, FALSE);
      return TRUE;
    }
    case MCM_GETMINREQRECT: {
      auto* Rect = reinterpret_cast<RECT*>(LParam);
      if (!Rect) return FALSE;
      const TLayout L = Measure(State);
      *Rect = RECT{0, 0, L.MinWidth, L.MinHeight};
      return TRUE;
    }
    case MCM_SETCOLOR: {
      if (WParam > MCSC_TRAILINGTEXT) return LRESULT(-1);
      const COLORREF Old = State.Colors[WParam];
      State.Colors[WParam] = COLORREF(LParam);
      InvalidateRect(Window, nullptr, FALSE);
      return LRESULT(Old);
    }
    case MCM_GETCOLOR:
      return WParam > MCSC_TRAILINGTEXT ? LRESULT(-1) : LRESULT(State.Colors[WParam]);
    case MCM_SETTODAY:
      State.TodaySet = Times && DayOf(*Times) != 0;
      if (State.TodaySet) State.Today = DayOf(*Times);
      InvalidateRect(Window, nullptr, FALSE);
      return 0;
    case MCM_GETTODAY:
      if (!Times) return FALSE;
      *Times = DaySystemTime(TodayOf(State));
      return TRUE;
    case MCM_HITTEST: {
      auto* Info = reinterpret_cast<MCHITTESTINFO*>(LParam);
      if (!Info) return LRESULT(-1);
      TDateTime Day = 0;
      Info->uHit = HitTest(State, Measure(State), Info->pt, Day);
      Info->st = Day ? DaySystemTime(Day) : SYSTEMTIME{};
      if (IsTitleHit(Info->uHit)) {
        // The title's date names the month shown.
        Info->st = SYSTEMTIME{};
        Info->st.wYear = WORD(State.ShownYear);
        Info->st.wMonth = WORD(State.ShownMonth);
        Info->st.wDay = 1;
      }
      return LRESULT(Info->uHit);
    }
    case MCM_SETFIRSTDAYOFWEEK: {
      const LRESULT Previous = FirstDayAnswer(State);
      const int Day = int(LParam);
      State.FirstDaySet = Day >= 0 && Day <= 6;
      State.FirstDay = State.FirstDaySet ? Day : 0;
      InvalidateRect(Window, nullptr, FALSE);
      return Previous;
    }
    case MCM_GETFIRSTDAYOFWEEK:
      return FirstDayAnswer(State);
    case MCM_GETRANGE:
      if (!Times) return 0;
      Times[0] = (State.RangeFlags & GDTR_MIN) ? DaySystemTime(State.RangeMin) : SYSTEMTIME{};
      Times[1] = (State.RangeFlags & GDTR_MAX) ? DaySystemTime(State.RangeMax) : SYSTEMTIME{};
      return State.RangeFlags;
    case MCM_SETRANGE: {
      if (!Times && (WParam & (GDTR_MIN | GDTR_MAX))) return FALSE;
      const TDateTime Min = (WParam & GDTR_MIN) ? DayOf(Times[0]) : 0;
      const TDateTime Max = (WParam & GDTR_MAX) ? DayOf(Times[1]) : 0;
      if (((WParam & GDTR_MIN) && Min == 0) || ((WParam & GDTR_MAX) && Max == 0)) return FALSE;
      if ((WParam & GDTR_MIN) && (WParam & GDTR_MAX) && Max < Min) return FALSE;
      State.RangeFlags = DWORD(WParam) & (GDTR_MIN | GDTR_MAX);
      State.RangeMin = Min;
      State.RangeMax = Max;
      // The selection never lies outside the range.
      const TDateTime Start = ClampToRange(State, State.SelStart), End = ClampToRange(State, State.SelEnd);
      if (Start != State.SelStart || End != State.SelEnd) {
        State.SelStart = State.Anchor = Start;
        State.SelEnd = End;
        ShowMonthOf(Window, Start);
      }
      InvalidateRect(Window, nullptr, FALSE);
      return TRUE;
    }
    case MCM_GETMONTHDELTA:
      return State.MonthDelta ? State.MonthDelta : 1;
    case MCM_SETMONTHDELTA: {
      const LRESULT Previous = State.MonthDelta;
      State.MonthDelta = std::max(0, int(WParam));
      return Previous;
    }
    default:
      return 0;
  }
}

POINT PointOf(LPARAM LParam) { return POINT{short(LOWORD(LParam)), short(HIWORD(LParam))}; }

void MouseDown(HWND Window, LPARAM LParam) {
  TMonthCalState* State = StateOf(Window);
  TDateTime Day = 0;
  const UINT Hit = HitTest(*State, Measure(*State), PointOf(LParam), Day);
  const int Delta = State->MonthDelta ? State->MonthDelta : 1;
  if (Hit == MCHT_TITLEBTNPREV) {
    Scroll(Window, -Delta);
  } else if (Hit == MCHT_TITLEBTNNEXT) {
    Scroll(Window, Delta);
  } else if (Hit == MCHT_TODAYLINK) {
    const TDateTime Today = TodayOf(*State);
    if (InRange(*State, Today) && UserSelect(Window, Today, false)) NotifySelection(Window, MCN_SELECT);
  } else if (Hit == MCHT_CALENDARDATE) {
    SetCapture(Window);
    State->Tracking = true;
    UserSelect(Window, Day, GetKeyState(VK_SHIFT) < 0);
  } else if (IsDateHit(Hit)) {
    // A trailing day scrolls to its month at once; the grid under the mouse changes with it, so
    // there is nothing left to drag over.
    if (UserSelect(Window, Day, GetKeyState(VK_SHIFT) < 0)) NotifySelection(Window, MCN_SELECT);
  }
}

void KeyDown(HWND Window, WPARAM Key) {
  TMonthCalState* State = StateOf(Window);
  const TDateTime Current = State->SelStart;
  uint16_t Y, M, D;
  DecodeDate(Current, Y, M, D);
  TDateTime Target = Current;
  switch (Key) {
    case VK_LEFT: Target = Current - 1; break;
    case VK_RIGHT: Target = Current + 1; break;
    case VK_UP: Target = Current - 7; break;
    case VK_DOWN: Target = Current + 7; break;
    case VK_PRIOR: Target = IncMonth(Current, -1); break;
    case VK_NEXT: Target = IncMonth(Current, 1); break;
    case VK_HOME: Target = EncodeDate(Y, M, 1); break;
    case VK_END: Target = EncodeDate(Y, M, DaysInAMonth(Y, M)); break;
    default: return;
  }
  if (YearOf(Target) < 1601 || YearOf(Target) > 9999) return;
  UserSelect(Window, Target, false);
}

}  // namespace

LRESULT MonthCalWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  TMonthCalState* State = StateOf(Window);
  if (!State) {
    if (Message == WM_NCDESTROY) return DefWindowProcA(Window, Message, WParam, LParam);
    HWND Parent = GetParent(Window);
    if (Message == WM_NCCREATE || Message == WM_CREATE) {
      const auto* Create = reinterpret_cast<const CREATESTRUCTA*>(LParam);
      if (Create && Create->hwndParent) Parent = Create->hwndParent;
    }
    State = &CreateState(Window, Parent);
  }
  if (Message >= MCM_FIRST && Message <= MCM_SETMONTHDELTA) return CalendarMessage(*State, Message, WParam, LParam);
  switch (Message) {
    case WM_NCDESTROY:
      if (GetCapture() == Window) ReleaseCapture();
      States().erase(Window);
      return DefWindowProcA(Window, Message, WParam, LParam);
    case WM_SETFONT:
      State->Font = reinterpret_cast<HFONT>(WParam);
      if (LParam) InvalidateRect(Window, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(State->Font);
    case WM_ERASEBKGND:
      return 1;  // the painting covers every pixel
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      if (!State->DayStateAsked) {
        if (!AskDayState(Window)) return 0;
        State = StateOf(Window);
      }
      if (WParam) {
        Paint(*State, reinterpret_cast<HDC>(WParam));
        return 0;
      }
      PAINTSTRUCT Info{};
      HDC DC = BeginPaint(Window, &Info);
      if (DC) Paint(*State, DC);
      EndPaint(Window, &Info);
      return 0;
    }
    case WM_SIZE:
    case WM_STYLECHANGED:
      InvalidateRect(Window, nullptr, FALSE);
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      MouseDown(Window, LParam);
      return 0;
    case WM_MOUSEMOVE:
      if (State->Tracking) {
        TDateTime Day = 0;
        const UINT Hit = HitTest(*State, Measure(*State), PointOf(LParam), Day);
        if (Hit == MCHT_CALENDARDATE) UserSelect(Window, Day, true);
      }
      return 0;
    case WM_LBUTTONUP:
      if (State->Tracking) {
        State->Tracking = false;
        if (GetCapture() == Window) ReleaseCapture();
        NotifySelection(Window, MCN_SELECT);
      }
      return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      State->Tracking = false;
      if (Message == WM_CANCELMODE && GetCapture() == Window) ReleaseCapture();
      break;
    case WM_KEYDOWN:
      KeyDown(Window, WParam);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(Window, Message, WParam, LParam);
}

void InitMonthCalendarClass() {
  static std::once_flag Registered;
  std::call_once(Registered, [] {
    WNDCLASSA Class{};
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = MonthCalWindowProc;
    Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    Class.lpszClassName = MONTHCAL_CLASS;
    RegisterClassA(&Class);
  });
}

bool MonthCalGetPartRect(HWND Window, UINT Hit, const SYSTEMTIME* Day, RECT& Rect) {
  TMonthCalState* State = StateOf(Window);
  if (!State) return false;
  const TLayout L = Measure(*State);
  switch (Hit) {
    case MCHT_TITLEMONTH: Rect = L.MonthText; return true;
    case MCHT_TITLEYEAR: Rect = L.YearText; return true;
    case MCHT_TITLEBTNPREV: Rect = L.Prev; return true;
    case MCHT_TITLEBTNNEXT: Rect = L.Next; return true;
    case MCHT_TODAYLINK:
      Rect = L.Today;
      return L.TodayHeight != 0;
    case MCHT_CALENDARDATE: {
      if (!Day) return false;
      const TDateTime Target = DayOf(*Day);
      const int Index = int(Target - GridStart(*State));
      if (Target == 0 || Index < 0 || Index >= 7 * Weeks) return false;
      Rect = L.Cell(Index);
      return true;
    }
    default:
      return false;
  }
}

void MonthCalSetNotifyWindow(HWND Window, HWND Notify) {
  if (TMonthCalState* State = StateOf(Window)) {
    State->Notify = Notify;
  } else if (IsWindow(Window)) {
    CreateState(Window, Notify);
  }
}
