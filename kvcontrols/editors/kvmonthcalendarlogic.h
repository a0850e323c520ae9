#pragma once
// The month calendar's arithmetic, without a window: the months a day-state request covers, the
// items of the year pop-up menu, the years the "edit year" box allows, and where the keyboard
// moves the selection. The calendar control applies these to its window.

#include <string>
#include <vector>

#include "kvcontrols/editors/kvmonthcalendaroptions.h"
#include "platform/rtl/datetime_type.h"

// Month I (0-based) of a day-state request that starts at FirstMonth / FirstYear.
void kvDayStateMonth(int FirstMonth, int FirstYear, int I, int& Month, int& Year);

struct TkvYearMenuItem {
  std::string Caption;
  int Year = 0;          // 0 for the edit item and the separator
  bool Checked = false;  // the shown year
  bool Enabled = true;   // its date (shown month and day) lies within the limits
  bool BarBreak = false; // starts a new column
};
// The year menu: with ShowEditYear first the edit item (EditCaption) and a separator, then
// YearsPerColumn x NumberColumns years from StartYear. Limits of 0 do not count.
std::vector<TkvYearMenuItem> kvBuildYearMenu(const TkvPopupYearOptions& Options, const std::string& EditCaption,
                                             int ShownYear, int Month, int Day, TDateTime MinDate,
                                             TDateTime MaxDate);

// The years the edit box allows for a shown date of Month / Day: from MinDate's year (the year
// after when Month / Day come before MinDate's) to MaxDate's (the year before when they come
// after); each bound only when its limit is set. The caption is Prompt with " (low-high)",
// " (>=low)" or " (<=high)".
struct TkvEditYearBounds {
  bool HasLow = false, HasHigh = false;
  int Low = 0, High = 0;
  std::string Caption;
};
TkvEditYearBounds kvEditYearBounds(int Month, int Day, TDateTime MinDate, TDateTime MaxDate, const std::string& Prompt);

// Where PgUp, PgDn and the arrow keys (VK_ codes) move the selected date Current within the
// limits (0: none); Current itself when the key does not move it.
TDateTime kvCalendarKeyTarget(int Key, TDateTime Current, TDateTime MinDate, TDateTime MaxDate);
