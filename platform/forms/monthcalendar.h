#pragma once
// The month-calendar window of the common controls (window class "SysMonthCal32"), drawn by us:
// a title with the month and year and a previous and next button, the day names, six weeks of
// days (the days of the neighbouring months in the trailing colour), an optional week-number
// column and a "Today:" line. It answers the MCM_ messages (selection, range, colours, first day
// of the week, hit tests, sizes) and tells its parent about a new selection (MCN_SELCHANGE,
// MCN_SELECT) and asks it which days to show in bold (MCN_GETDAYSTATE), all through WM_NOTIFY,
// with dates as SYSTEMTIME.
//
// Also here: the date/time error of the class library (EDateTimeError) and its date-format
// choice (TDTDateFormat), which the date controls share.

#include <cstdint>

#include "platform/classes/typinfo.h"
#include "platform/forms/commonnotify.h"
#include "platform/rtl/datetime_type.h"
#include "platform/rtl/exceptions.h"
#include "platform/user/winuser.h"

KORCAM_EXCEPTION(EDateTimeError, Exception);

KORCAM_ENUM(TDTDateFormat, dfShort, dfLong)

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;  // 0 = Sunday
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};
using LPSYSTEMTIME = SYSTEMTIME*;

inline constexpr const char* MONTHCAL_CLASS = "SysMonthCal32";

// Styles.
constexpr DWORD MCS_DAYSTATE = 0x0001;
constexpr DWORD MCS_MULTISELECT = 0x0002;
constexpr DWORD MCS_WEEKNUMBERS = 0x0004;
constexpr DWORD MCS_NOTODAYCIRCLE = 0x0008;
constexpr DWORD MCS_NOTODAY = 0x0010;

// Messages.
constexpr UINT MCM_FIRST = 0x1000;
constexpr UINT MCM_GETCURSEL = MCM_FIRST + 1;
constexpr UINT MCM_SETCURSEL = MCM_FIRST + 2;
constexpr UINT MCM_GETMAXSELCOUNT = MCM_FIRST + 3;
constexpr UINT MCM_SETMAXSELCOUNT = MCM_FIRST + 4;
constexpr UINT MCM_GETSELRANGE = MCM_FIRST + 5;
constexpr UINT MCM_SETSELRANGE = MCM_FIRST + 6;
constexpr UINT MCM_GETMONTHRANGE = MCM_FIRST + 7;
constexpr UINT MCM_SETDAYSTATE = MCM_FIRST + 8;
constexpr UINT MCM_GETMINREQRECT = MCM_FIRST + 9;
constexpr UINT MCM_SETCOLOR = MCM_FIRST + 10;
constexpr UINT MCM_GETCOLOR = MCM_FIRST + 11;
constexpr UINT MCM_SETTODAY = MCM_FIRST + 12;
constexpr UINT MCM_GETTODAY = MCM_FIRST + 13;
constexpr UINT MCM_HITTEST = MCM_FIRST + 14;
constexpr UINT MCM_SETFIRSTDAYOFWEEK = MCM_FIRST + 15;
constexpr UINT MCM_GETFIRSTDAYOFWEEK = MCM_FIRST + 16;
constexpr UINT MCM_GETRANGE = MCM_FIRST + 17;
constexpr UINT MCM_SETRANGE = MCM_FIRST + 18;
constexpr UINT MCM_GETMONTHDELTA = MCM_FIRST + 19;
constexpr UINT MCM_SETMONTHDELTA = MCM_FIRST + 20;

// MCM_SETCOLOR / MCM_GETCOLOR indexes.
constexpr int MCSC_BACKGROUND = 0;
constexpr int MCSC_TEXT = 1;
constexpr int MCSC_TITLEBK = 2;
constexpr int MCSC_TITLETEXT = 3;
constexpr int MCSC_MONTHBK = 4;
constexpr int MCSC_TRAILINGTEXT = 5;

// MCM_GETMONTHRANGE
constexpr DWORD GMR_VISIBLE = 0;
constexpr DWORD GMR_DAYSTATE = 1;
// MCM_SETRANGE / MCM_GETRANGE
constexpr DWORD GDTR_MIN = 0x0001;
constexpr DWORD GDTR_MAX = 0x0002;

// Hit-test results.
constexpr UINT MCHT_NOWHERE = 0x00000000;
constexpr UINT MCHT_TITLE = 0x00010000;
constexpr UINT MCHT_CALENDAR = 0x00020000;
constexpr UINT MCHT_TODAYLINK = 0x00030000;
constexpr UINT MCHT_NEXT = 0x01000000;
constexpr UINT MCHT_PREV = 0x02000000;
constexpr UINT MCHT_TITLEBK = MCHT_TITLE;
constexpr UINT MCHT_TITLEMONTH = MCHT_TITLE | 0x0001;
constexpr UINT MCHT_TITLEYEAR = MCHT_TITLE | 0x0002;
constexpr UINT MCHT_TITLEBTNNEXT = MCHT_TITLE | MCHT_NEXT | 0x0003;
constexpr UINT MCHT_TITLEBTNPREV = MCHT_TITLE | MCHT_PREV | 0x0003;
constexpr UINT MCHT_CALENDARBK = MCHT_CALENDAR;
constexpr UINT MCHT_CALENDARDATE = MCHT_CALENDAR | 0x0001;
constexpr UINT MCHT_CALENDARDATENEXT = MCHT_CALENDARDATE | MCHT_NEXT;
constexpr UINT MCHT_CALENDARDATEPREV = MCHT_CALENDARDATE | MCHT_PREV;
constexpr UINT MCHT_CALENDARDAY = MCHT_CALENDAR | 0x0002;
constexpr UINT MCHT_CALENDARWEEKNUM = MCHT_CALENDAR | 0x0003;

struct MCHITTESTINFO {
  UINT cbSize;
  POINT pt;
  UINT uHit;
  SYSTEMTIME st;
};

// Notifications (WM_NOTIFY codes).
constexpr UINT MCN_FIRST = UINT(0) - 750;
constexpr UINT MCN_SELCHANGE = MCN_FIRST + 1;
constexpr UINT MCN_GETDAYSTATE = MCN_FIRST + 3;
constexpr UINT MCN_SELECT = MCN_FIRST + 4;

// One bit per day (bit 0: day 1) of a month shown in bold.
using MONTHDAYSTATE = DWORD;

struct NMSELCHANGE {
  NMHDR nmhdr;
  SYSTEMTIME stSelStart;
  SYSTEMTIME stSelEnd;
};

struct NMDAYSTATE {
  NMHDR nmhdr;
  SYSTEMTIME stStart;  // the first month asked for (day 1)
  int cDayState;       // how many months
  MONTHDAYSTATE* prgDayState;  // the parent's answer: one mask per month
};

// SYSTEMTIME and TDateTime. A SYSTEMTIME that holds no valid date converts to 0.
SYSTEMTIME DateTimeToSystemTime(TDateTime Value);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& Time);

// MCM_SETFIRSTDAYOFWEEK / MCM_GETFIRSTDAYOFWEEK count the days from Monday (0) to Sunday (6).
// MCM_GETMONTHDELTA answers the months a title button scrolls (1: this window shows one month).

// The window procedure of the month-calendar window. A control that wraps the calendar makes it
// the default procedure of its own window class (the class library's subclassing), so every
// message it does not handle itself lands here; the calendar's state lives beside the window and
// goes with WM_NCDESTROY.
LRESULT MonthCalWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
// Registers the "SysMonthCal32" window class once (the common controls' date classes).
void InitMonthCalendarClass();

// Where a part of the calendar lies in client coordinates, for hosts that place pop-ups or
// scripts that click: Hit is MCHT_TITLEMONTH, MCHT_TITLEYEAR, MCHT_TITLEBTNPREV,
// MCHT_TITLEBTNNEXT, MCHT_TODAYLINK or MCHT_CALENDARDATE (then Day names the day, which must be
// among the six weeks shown). False when the window is not a calendar or the part is not shown.
bool MonthCalGetPartRect(HWND Window, UINT Hit, const SYSTEMTIME* Day, RECT& Rect);
// Sends the calendar's notifications to Notify instead of the parent it was made with. A control
// that wraps the calendar names its own window, so that it hears them wherever the window is
// re-parented (a drop-down calendar lives on the desktop).
void MonthCalSetNotifyWindow(HWND Window, HWND Notify);
