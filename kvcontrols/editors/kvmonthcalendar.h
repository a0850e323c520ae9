#pragma once
// TkvMonthCalendar: the library's month calendar control, a window control around the month
// calendar window. It adds its own colours (CalColors), bold days asked from OnCalcBoldDay, a
// range of allowed dates (MinDate, MaxDate) that mouse and keys cannot leave (they clamp, and the
// title buttons beep at a limit; only a program setting Date outside the range raises), and
// pop-up menus on the title: the month name opens a menu of months, the year a menu of years
// (with an optional "edit year" item that asks for a year in a box).
//
// The date/time picker drops a descendant of it down (TkvPopupCalendar); a grid recognises it
// by its class name when it serves as a cell control.

#include <cstdint>

#include "kvcontrols/editors/kvmonthcalendaroptions.h"
#include "platform/forms/menus.h"
#include "platform/forms/monthcalendar.h"
#include "platform/forms/wincontrol.h"

// (Sender, ADate, Month, Day, Year, var Accept): whether a day shows in bold.
using TCalcBoldDayEvent = TEvent<TObject*, TDateTime, int, int, int, bool&>;
// (Sender, Button, Shift, X, Y, Month, Day, Year): Day is 0 when the point is not on a day.
using TmcMouseUPDownEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int, int, int, int>;
using TmcMouseMoveEvent = TEvent<TObject*, TShiftState, int, int, int, int, int>;

// The month and year menus: know whether they are showing (Popup returns when the menu closed).
class TCalendarPopupMenu : public TPopupMenu {
  KORCAM_CLASS(TCalendarPopupMenu, TPopupMenu)

 public:
  explicit TCalendarPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
  void Popup(int X, int Y) override;
  bool IsShowing() const { return FShowing; }

 private:
  bool FShowing = false;
};

class TkvMonthCalendar : public TWinControl {
  KORCAM_CLASS(TkvMonthCalendar, TWinControl)

 public:
  explicit TkvMonthCalendar(TComponent* AOwner);
  ~TkvMonthCalendar() override;

  PROPERTY(TBorderStyle, BorderStyle, bsNone)
  OWNED_PROPERTY(TkvDateTimeColors, CalColors)
  TDateTime Date() const { return FDateTime; }
  void SetDate(TDateTime Value);
  PUBLISH_NODEFAULT(TkvMonthCalendar, TDateTime, Date)

 public:
  TDateTime Time() const { return FDateTime; }
  void SetTime(TDateTime Value);
  PUBLISH_NODEFAULT(TkvMonthCalendar, TDateTime, Time)

 public:
  PROPERTY(TkvMonthOptions, Options, mdoDayState)
  OWNED_PROPERTY(TkvPopupYearOptions, PopupYearOptions)
  PROPERTY(TkvCalDayOfWeek, FirstDayOfWeek, kvdowLocaleDefault)
  PROPERTY(int32_t, MaxSelectCount, 31)
  PROPERTY(TDateTime, MaxDate, 0)
  PROPERTY(TDateTime, MinDate, 0)
  EVENT(TCalcBoldDayEvent, OnCalcBoldDay)
  EVENT(TNotifyEvent, OnChange)
  EVENT(TmcMouseUPDownEvent, OnMouseDown)
  EVENT(TmcMouseUPDownEvent, OnMouseUp)
  EVENT(TmcMouseMoveEvent, OnMouseMove)

 public:
  // Clamps X into the range (a negative day without a minimum becomes 1899-12-31) and selects
  // it; the value follows when the window took it.
  void SetDateTime(TDateTime X);
  bool SelectDate(TDateTime X);
  // Multi-selection only: selects the days between A and B (either order).
  bool SetSelRange(TDateTime A, TDateTime B);
  TDateTime StartDate() const { return FStartDate; }
  TDateTime EndDate() const { return FEndDate; }
  // Sends the limits that are set (Max, then Min: the order the writers use).
  void SetRange(TDateTime Max, TDateTime Min);
  // Raises Width and Height to the window's minimum.
  void AdjustSize();
  // One of the title menus is showing (a drop-down must not close under it).
  bool IsPopupMenuShowing() const;
  TCalendarPopupMenu* MonthMenu() const { return FMonthMenu; }
  TCalendarPopupMenu* YearMenu() const { return FYearMenu; }

  // Gives the control the focus when it is visible; a drop-down never takes it.
  virtual void FocusIfVisible();
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Loaded() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  // The selected date changed: fires OnChange.
  virtual void Change();
  // The notifications of the calendar window (WM_NOTIFY from its own window).
  virtual void CNNotify(TMessage& Message);

  UINT HitTest(int X, int Y, SYSTEMTIME& Day) const;
  // Whether the window exists or can be made now (a child needs a parent first).
  virtual bool WindowReady() const;

 private:
  void SetStartDate(TDateTime Value);
  void SetEndDate(TDateTime Value);
  void FillDayState(NMDAYSTATE& Request);
  void ApplyFirstDayOfWeek();
  bool OutsideRange(int Year, int Month, int Day) const;
  void TitleButton(bool Next);
  void ShowMonthMenu(int X, int Y);
  void ShowYearMenu(int X, int Y);
  void MonthClick(TObject* Sender);
  void YearClick(TObject* Sender);
  void EditYearClick(TObject* Sender);
  void ChooseYear(int Year);
  TDateTime CutDate(int Year, int Month) const;

  TDateTime FDateTime = 0;
  TDateTime FStartDate = 0;
  TDateTime FEndDate = 0;
  bool FSelRangeDirty = false;
  TCalendarPopupMenu* FMonthMenu = nullptr;
  TCalendarPopupMenu* FYearMenu = nullptr;
  bool FMonthMenuWasShowing = false;
  bool FYearMenuWasShowing = false;
  bool FMonthMenuClosed = false;
  bool FYearMenuClosed = false;
  int FClickedTitleMonth = 0;
  int FTitleYear = 0;
  int FTitleMonth = 0;
};
