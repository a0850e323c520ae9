#include "platform/rtl/datetime.h"

#include <cmath>

#include "platform/rtl/clock.h"
#include "platform/rtl/datetimesplit.h"

const std::array<std::array<uint16_t, 12>, 2> MonthDays = {{
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
}};

namespace {

constexpr int DaysPer400Years = 146097;
constexpr int DaysPer100Years = 36524;
constexpr int DaysPer4Years = 1461;

// Day 0 is 0001-01-01.
int64_t DaysBeforeYear(int64_t Year) {
  const int64_t Y = Year - 1;
  return Y * 365 + Y / 4 - Y / 100 + Y / 400;
}

}  // namespace

bool SplitDateTime(TDateTime Value, int64_t& Day, int& MSecOfDay) {
  if (!std::isfinite(Value) || std::fabs(Value) > 1e7) return false;
  // Ties go to the even millisecond, as the class library rounds.
  const int64_t Total = static_cast<int64_t>(std::nearbyint(Value * MSecsPerDay));
  Day = Total / MSecsPerDay;  // truncates toward zero: the date carries the sign
  MSecOfDay = static_cast<int>(std::llabs(Total % MSecsPerDay));
  return true;
}

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInAMonth(int Year, int Month) {
  if (Month < 1 || Month > 12) return 0;
  return MonthDays[IsLeapYear(Year)][Month - 1];
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month))
    return false;
  int64_t Days = DaysBeforeYear(Year);
  for (int M = 1; M < Month; ++M) Days += DaysInAMonth(Year, M);
  Days += Day;  // Days is now the class library's day number (0001-01-01 is 1)
  Date = static_cast<TDateTime>(Days - DateDelta);
  return true;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
  if (Hour < 0 || Hour >= HoursPerDay || Min < 0 || Min >= 60 || Sec < 0 || Sec >= 60 || MSec < 0 ||
      MSec >= 1000)
    return false;
  Time = static_cast<TDateTime>(((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec) / MSecsPerDay;
  return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
  TDateTime Result;
  if (!TryEncodeDate(Year, Month, Day, Result)) throw EConvertError("Invalid argument to date encode");
  return Result;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
  TDateTime Result;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, Result)) throw EConvertError("Invalid argument to time encode");
  return Result;
}

TDateTime ComposeDateTime(TDateTime Date, TDateTime Time) {
  return Date < 0 ? Date - std::fabs(Time) : Date + std::fabs(Time);
}

bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec,
                       TDateTime& Value) {
  TDateTime DatePart, TimePart;
  if (!TryEncodeDate(Year, Month, Day, DatePart) || !TryEncodeTime(Hour, Min, Sec, MSec, TimePart)) return false;
  Value = ComposeDateTime(DatePart, TimePart);
  return true;
}

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec) {
  return ComposeDateTime(EncodeDate(Year, Month, Day), EncodeTime(Hour, Min, Sec, MSec));
}

void DecodeDate(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day) {
  Year = Month = Day = 0;
  int64_t DayNumber;
  int MSecOfDay;
  if (!SplitDateTime(Value, DayNumber, MSecOfDay)) return;
  int64_t N = DayNumber + DateDelta - 1;  // days since 0001-01-01
  if (N < 0 || N >= DaysBeforeYear(10000)) return;
  int64_t Y = 1 + (N / DaysPer400Years) * 400;
  N %= DaysPer400Years;
  int64_t Centuries = N / DaysPer100Years;
  if (Centuries == 4) Centuries = 3;  // the last day of a 400-year cycle
  Y += Centuries * 100;
  N -= Centuries * DaysPer100Years;
  Y += (N / DaysPer4Years) * 4;
  N %= DaysPer4Years;
  int64_t Years = N / 365;
  if (Years == 4) Years = 3;  // the last day of a leap cycle
  Y += Years;
  N -= Years * 365;
  int M = 1;
  while (N >= DaysInAMonth(static_cast<int>(Y), M)) N -= DaysInAMonth(static_cast<int>(Y), M++);
  Year = static_cast<uint16_t>(Y);
  Month = static_cast<uint16_t>(M);
  Day = static_cast<uint16_t>(N + 1);
}

bool DecodeDateFully(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& DOW) {
  DecodeDate(Value, Year, Month, Day);
  DOW = static_cast<uint16_t>(DayOfWeek(Value));
  return IsLeapYear(Year);
}

void DecodeTime(TDateTime Value, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
  Hour = Min = Sec = MSec = 0;
  int64_t DayNumber;
  int MSecOfDay;
  if (!SplitDateTime(Value, DayNumber, MSecOfDay)) return;
  MSec = static_cast<uint16_t>(MSecOfDay % 1000);
  MSecOfDay /= 1000;
  Sec = static_cast<uint16_t>(MSecOfDay % 60);
  MSecOfDay /= 60;
  Min = static_cast<uint16_t>(MSecOfDay % 60);
  Hour = static_cast<uint16_t>(MSecOfDay / 60);
}

void DecodeDateTime(TDateTime Value, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& Hour,
                    uint16_t& Min, uint16_t& Sec, uint16_t& MSec) {
  DecodeDate(Value, Year, Month, Day);
  DecodeTime(Value, Hour, Min, Sec, MSec);
}

int DayOfWeek(TDateTime Value) {
  int64_t DayNumber;
  int MSecOfDay;
  if (!SplitDateTime(Value, DayNumber, MSecOfDay)) return 1;
  // 1899-12-30 was a Saturday (7).
  const int64_t Index = ((DayNumber + 6) % 7 + 7) % 7;
  return static_cast<int>(Index) + 1;
}

int DayOfTheWeek(TDateTime Value) {
  const int Sunday1 = DayOfWeek(Value);
  return Sunday1 == 1 ? 7 : Sunday1 - 1;
}

TDateTime DateOf(TDateTime Value) {
  int64_t DayNumber;
  int MSecOfDay;
  if (!SplitDateTime(Value, DayNumber, MSecOfDay)) return std::trunc(Value);
  return static_cast<TDateTime>(DayNumber);
}

TDateTime TimeOf(TDateTime Value) {
  int64_t DayNumber;
  int MSecOfDay;
  if (!SplitDateTime(Value, DayNumber, MSecOfDay)) return 0;
  return static_cast<TDateTime>(MSecOfDay) / MSecsPerDay;
}

TDateTime IncMonth(TDateTime Value, int NumberOfMonths) {
  uint16_t Year, Month, Day;
  DecodeDate(Value, Year, Month, Day);
  int64_t Months = static_cast<int64_t>(Year) * 12 + (Month - 1) + NumberOfMonths;
  const int NewYear = static_cast<int>(Months / 12);
  const int NewMonth = static_cast<int>(Months % 12) + 1;
  const int NewDay = std::min<int>(Day, DaysInAMonth(NewYear, NewMonth));
  return ComposeDateTime(EncodeDate(NewYear, NewMonth, NewDay), TimeOf(Value));
}

TDateTime Now() { return Clock().Now(); }
TDateTime Date() { return DateOf(Now()); }
TDateTime Time() { return TimeOf(Now()); }

int CurrentYear() {
  uint16_t Year, Month, Day;
  DecodeDate(Now(), Year, Month, Day);
  return Year;
}
