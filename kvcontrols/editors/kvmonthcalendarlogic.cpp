#include "kvcontrols/editors/kvmonthcalendarlogic.h"

#include <algorithm>

#include "platform/rtl/datetime.h"
#include "platform/user/winuser.h"

namespace {

// The date of Year / Month with Day cut to the month; 0 when it does not encode.
TDateTime CutDate(int Year, int Month, int Day) {
  TDateTime Result = 0;
  TryEncodeDate(Year, Month, std::min(Day, DaysInAMonth(Year, Month)), Result);
  return Result;
}

bool WithinLimits(TDateTime Date, TDateTime MinDate, TDateTime MaxDate) {
  if (MaxDate != 0 && Date > DateOf(MaxDate)) return false;
  if (MinDate != 0 && Date < DateOf(MinDate)) return false;
  return true;
}

}  // namespace

void kvDayStateMonth(int FirstMonth, int FirstYear, int I, int& Month, int& Year) {
  Month = (FirstMonth + I) % 12;
  if (Month == 0) Month = 12;
  Year = FirstYear + (FirstMonth + I - 1) / 12;
}

std::vector<TkvYearMenuItem> kvBuildYearMenu(const TkvPopupYearOptions& Options, const std::string& EditCaption,
                                             int ShownYear, int Month, int Day, TDateTime MinDate,
                                             TDateTime MaxDate) {
  std::vector<TkvYearMenuItem> Items;
  const int PerColumn = std::max(1, Options.YearsPerColumn());
  if (Options.ShowEditYear()) {
    Items.push_back({EditCaption, 0, false, true, false});
    Items.push_back({"-", 0, false, true, false});
  }
  const int Count = PerColumn * std::max(1, Options.NumberColumns());
  for (int Index = 0; Index < Count; ++Index) {
    TkvYearMenuItem Item;
    Item.Year = Options.StartYear() + Index;
    Item.Caption = std::to_string(Item.Year);
    Item.Checked = Item.Year == ShownYear;
    const TDateTime Date = CutDate(Item.Year, Month, Day);
    Item.Enabled = Date != 0 && WithinLimits(Date, MinDate, MaxDate);
    // The edit item stands in a column of its own.
    Item.BarBreak = (Index > 0 && Index % PerColumn == 0) || (Index == 0 && Options.ShowEditYear() && PerColumn != 1);
    Items.push_back(Item);
  }
  return Items;
}

TkvEditYearBounds kvEditYearBounds(int Month, int Day, TDateTime MinDate, TDateTime MaxDate, const std::string& Prompt) {
  TkvEditYearBounds Bounds;
  if (MinDate != 0) {
    uint16_t Y = 0, M = 0, D = 0;
    DecodeDate(MinDate, Y, M, D);
    Bounds.HasLow = true;
    Bounds.Low = (Month < M || (Month == M && Day < D)) ? Y + 1 : Y;
  }
  if (MaxDate != 0) {
    uint16_t Y = 0, M = 0, D = 0;
    DecodeDate(MaxDate, Y, M, D);
    Bounds.HasHigh = true;
    Bounds.High = (Month > M || (Month == M && Day > D)) ? Y - 1 : Y;
  }
  Bounds.Caption = Prompt;
  if (Bounds.HasLow && Bounds.HasHigh)
    Bounds.Caption += " (" + std::to_string(Bounds.Low) + "-" + std::to_string(Bounds.High) + ")";
  else if (Bounds.HasLow)
    Bounds.Caption += " (>=" + std::to_string(Bounds.Low) + ")";
  else if (Bounds.HasHigh)
    Bounds.Caption += " (<=" + std::to_string(Bounds.High) + ")";
  return Bounds;
}

TDateTime kvCalendarKeyTarget(int Key, TDateTime Current, TDateTime MinDate, TDateTime MaxDate) {
  const TDateTime Day = DateOf(Current);
  uint16_t Y = 0, M = 0, D = 0;
  DecodeDate(Day, Y, M, D);
  switch (Key) {
    case VK_PRIOR: {
      const TDateTime Target = M == 1 ? CutDate(Y - 1, 12, D) : CutDate(Y, M - 1, D);
      if (Target == 0) return Current;
      return (MinDate != 0 && Target < DateOf(MinDate)) ? DateOf(MinDate) : Target;
    }
    case VK_NEXT: {
      const TDateTime Target = M == 12 ? CutDate(Y + 1, 1, D) : CutDate(Y, M + 1, D);
      if (Target == 0) return Current;
      return (MaxDate != 0 && DateOf(MaxDate) <= Target) ? DateOf(MaxDate) : Target;
    }
    case VK_LEFT:
      return (MinDate != 0 && Day == DateOf(MinDate)) ? Current : Day - 1;
    case VK_RIGHT:
      return (MaxDate != 0 && Day == DateOf(MaxDate)) ? Current : Day + 1;
    case VK_UP:
      return (MinDate != 0 && DateOf(MinDate) > Day - 7) ? Current : Day - 7;
    case VK_DOWN:
      return (MaxDate == 0 || DateOf(MaxDate) >= Day + 7) ? Day + 7 : Current;
    default:
      return Current;
  }
}
