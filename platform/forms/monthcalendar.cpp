#include "platform/forms/monthcalendar.h"

#include "platform/rtl/datetime.h"

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
