#pragma once
// The settings objects of the month calendar: its six colours (TkvDateTimeColors), the layout of
// its year pop-up menu (TkvPopupYearOptions), and the option and first-day enumerations. The
// date/time picker keeps copies of them in its CalendarAttributes and hands them to its drop-down
// calendar.

#include <cstdint>

#include "platform/classes/persistent.h"
#include "platform/gdi/colors.h"

class TControl;

KORCAM_ENUM(TkvMonthOption, mdoDayState, mdoWeekNumbers, mdoNoToday, mdoNoTodayCircle, mdoMultiSelect)
using TkvMonthOptions = TSet<TkvMonthOption>;
KORCAM_ENUM(TkvCalDayOfWeek, kvdowMonday, kvdowTuesday, kvdowWednesday, kvdowThursday, kvdowFriday, kvdowSaturday,
            kvdowSunday, kvdowLocaleDefault)

class TkvDateTimeColors : public TPersistent {
  KORCAM_CLASS(TkvDateTimeColors, TPersistent)

 public:
  // Control: the control whose colours these are (a month calendar gets every change at once).
  explicit TkvDateTimeColors(TControl* Control = nullptr) : FControl(Control) {}

  PROPERTY(TColor, TextColor, clWindowText)
  PROPERTY(TColor, TitleBackColor, clActiveCaption)
  PROPERTY(TColor, TitleTextColor, clWhite)
  PROPERTY(TColor, MonthBackColor, clWhite)
  PROPERTY(TColor, TrailingTextColor, clInactiveCaptionText)

 public:
  // The background colour is not published; the calendar's own Color stands for it.
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value) { SetColor(0, Value); }
  // The colour of a common-controls colour index (MCSC_BACKGROUND .. MCSC_TRAILINGTEXT).
  TColor Color(int Index) const;
  // Sends the colour to the calendar's window (made first when missing), then stores it.
  void SetColor(int Index, TColor Value);
  // Sends all six colours, in index order.
  void ApplyColors();
  // Copies the five published colours of another TkvDateTimeColors (without sending them);
  // anything else raises EConvertError "Cannot assign a %s to a %s".
  void Assign(TPersistent* Source) override;

 private:
  TColor* Slot(int Index);
  void Send(int Index, TColor Value);
  TControl* FControl;
  TColor FBackColor = clWindow;
};

class TkvPopupYearOptions : public TPersistent {
  KORCAM_CLASS(TkvPopupYearOptions, TPersistent)

 public:
  TkvPopupYearOptions() = default;
  PLAIN_PROPERTY(int32_t, YearsPerColumn, 10)
  PLAIN_PROPERTY(int32_t, NumberColumns, 2)
  PLAIN_PROPERTY(int32_t, StartYear, 1990)
  PLAIN_PROPERTY(bool, ShowEditYear, false)

 public:
  void Assign(TPersistent* Source) override;
};
