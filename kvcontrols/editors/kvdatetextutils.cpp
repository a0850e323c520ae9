#include "kvcontrols/editors/kvdatetextutils.h"

#include <algorithm>
#include <cstdint>

#include "kvcontrols/editors/kvtextutils.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/numberformat.h"
#include "platform/rtl/unicode.h"

namespace {

// The scanners work on code points; a text is decoded once per public call.
using TChars = std::u32string;

int LengthOf(const TChars& Text) { return static_cast<int>(Text.size()); }

// The character at 1-based Position, or 0 outside the text.
char32_t CharAt(const TChars& Text, int Position) {
  return Position >= 1 && Position <= LengthOf(Text) ? Text[static_cast<size_t>(Position - 1)] : 0;
}

char32_t AsciiUpper(char32_t Ch) { return Ch >= 'a' && Ch <= 'z' ? Ch - 'a' + 'A' : Ch; }

bool IsDigit(char32_t Ch) { return Ch >= '0' && Ch <= '9'; }

char32_t SeparatorOf(char Separator) { return static_cast<unsigned char>(Separator); }

void SkipBlanks(const TChars& Text, int& Position) {
  if (Position < 1) return;
  while (CharAt(Text, Position) == ' ') ++Position;
}

bool ScanMonthName(const TChars& Name, int& Month, const TFormatSettings& Settings) {
  for (int Index = 0; Index < 12; ++Index) {
    const TChars Candidate = Utf8ToUtf32(Settings.ShortMonthNames[static_cast<size_t>(Index)]);
    if (Candidate.size() != Name.size()) continue;
    bool Equal = true;
    for (size_t At = 0; At < Name.size() && Equal; ++At)
      Equal = AsciiUpper(Name[At]) == AsciiUpper(Candidate[At]);
    if (Equal) {
      Month = Index + 1;
      return true;
    }
  }
  return false;
}

bool ScanNumber(const TChars& Text, int& Position, int& Value, const TFormatSettings& Settings) {
  SkipBlanks(Text, Position);
  if (Position < 1) return false;
  int At = Position;
  int Number = 0;
  while (IsDigit(CharAt(Text, At)) && Number <= 999) {
    Number = Number * 10 + static_cast<int>(CharAt(Text, At) - '0');
    ++At;
  }
  if (At > Position) {
    Value = Number;
    Position = At;
    return true;
  }
  // No digits: perhaps a month written by its short name.
  const int Taken = std::min(3, LengthOf(Text) - Position + 1);
  if (Taken <= 0) return false;
  int Month = 0;
  if (!ScanMonthName(Text.substr(static_cast<size_t>(Position - 1), static_cast<size_t>(Taken)), Month,
                     Settings))
    return false;
  Value = Month;
  Position += Taken;
  return true;
}

bool ScanString(const TChars& Text, int& Position, const TChars& S) {
  if (S.empty()) return false;
  SkipBlanks(Text, Position);
  if (Position < 1 || Position - 1 + LengthOf(S) > LengthOf(Text)) return false;
  for (size_t At = 0; At < S.size(); ++At)
    if (UnicodeToUpper(Text[static_cast<size_t>(Position - 1) + At]) != UnicodeToUpper(S[At])) return false;
  Position += LengthOf(S);
  return true;
}

bool ScanChar(const TChars& Text, int& Position, char32_t Ch) {
  SkipBlanks(Text, Position);
  if (Position < 1 || Position > LengthOf(Text) || CharAt(Text, Position) != Ch) return false;
  ++Position;
  return true;
}

bool ScanDateWindow(const TChars& Text, int& Position, TDateTime& Date, int CenturyBase,
                    const TFormatSettings& Settings) {
  const int Order = kvDateOrder(Settings.ShortDateFormat);
  const char32_t Separator = SeparatorOf(Settings.DateSeparator);
  int At = Position;
  int N1 = 0, N2 = 0, N3 = 0;
  if (!ScanNumber(Text, At, N1, Settings) || !ScanChar(Text, At, Separator) ||
      !ScanNumber(Text, At, N2, Settings))
    return false;
  int Year, Month, Day;
  if (ScanChar(Text, At, Separator)) {
    if (!ScanNumber(Text, At, N3, Settings)) return false;
    switch (Order) {
      case kvOrderDMY: Day = N1, Month = N2, Year = N3; break;
      case kvOrderYMD: Year = N1, Month = N2, Day = N3; break;
      default: Month = N1, Day = N2, Year = N3; break;
    }
    if (Year < 100) {
      // Wide arithmetic: a picker's epoch is whatever its user typed.
      int64_t Full = Year + int64_t{CenturyBase / 100} * 100;
      if (Full < CenturyBase) Full += 100;
      Year = Full >= 1 && Full <= 9999 ? static_cast<int>(Full) : 0;
    }
  } else {
    Year = kvCurrentYear();
    if (Order == kvOrderDMY)
      Day = N1, Month = N2;
    else
      Month = N1, Day = N2;
  }
  SkipBlanks(Text, At);
  Position = At;
  return kvTryEncodeDate(Year, Month, Day, Date);
}

bool ScanTime(const TChars& Text, int& Position, TDateTime& Time, const TFormatSettings& Settings) {
  const char32_t Separator = SeparatorOf(Settings.TimeSeparator);
  int At = Position;
  int Hour = 0, Minute = 0, Second = 0;
  if (!ScanNumber(Text, At, Hour, Settings) || !ScanChar(Text, At, Separator) ||
      !ScanNumber(Text, At, Minute, Settings))
    return false;
  if (ScanChar(Text, At, Separator) && !ScanNumber(Text, At, Second, Settings)) return false;
  enum { NoMarker, Morning, Afternoon } Marker = NoMarker;
  if (ScanString(Text, At, Utf8ToUtf32(Settings.TimeAMString)) || ScanString(Text, At, U"AM"))
    Marker = Morning;
  else if (ScanString(Text, At, Utf8ToUtf32(Settings.TimePMString)) || ScanString(Text, At, U"PM"))
    Marker = Afternoon;
  if (Marker != NoMarker) {
    if (Hour < 1 || Hour > 12) return false;
    if (Hour == 12) Hour = 0;
    if (Marker == Afternoon) Hour += 12;
  }
  SkipBlanks(Text, At);
  Position = At;
  return kvTryEncodeTime(Hour, Minute, Second, 0, Time);
}

// The number of tokens of Text, from Position on, that the caret has passed: a token counts once
// the caret stands after the separator that ends it. The walk stops at an empty token, at the
// last token or at the first token not passed. SeparatorEnd receives the 1-based position of the
// separator that ended the last passed token. With SkipExtra a passed token also skips the
// character after its separator.
int PassedTokens(int Caret, const std::string& Text, int Position, char Separator, bool SkipExtra,
                 int& SeparatorEnd) {
  const std::string SeparatorText(1, Separator);
  int Count = 0;
  std::string Token;
  for (;;) {
    kvNextToken(Text, SeparatorText, Position, Token);
    if (Token.empty() || Position == -1) break;
    if (Caret < Position - 1) break;
    ++Count;
    SeparatorEnd = Position - 1;
    if (SkipExtra) ++Position;
  }
  return Count;
}

TkvDateTimePart TimePartFrom(int Caret, const std::string& Text, int Position,
                             const TFormatSettings& Settings) {
  int SeparatorAt = 0;
  switch (PassedTokens(Caret, Text, Position, Settings.TimeSeparator, true, SeparatorAt)) {
    case 0: return dtpHour;
    case 1: return dtpMinute;
    default:
      // After the second separator come two digits and a blank; a caret beyond those stands in
      // the AM/PM marker.
      return Caret >= SeparatorAt + 3 ? dtpAMPM : dtpSecond;
  }
}

}  // namespace

int kvCurrentYear() { return CurrentYear(); }

void kvSkipBlanks(const std::string& Text, int& Position) { SkipBlanks(Utf8ToUtf32(Text), Position); }

bool kvScanNumber(const std::string& Text, int& Position, int& Value, const TFormatSettings& Settings) {
  return ScanNumber(Utf8ToUtf32(Text), Position, Value, Settings);
}

bool kvScanMonthName(const std::string& Text, int& Month, const TFormatSettings& Settings) {
  return ScanMonthName(Utf8ToUtf32(Text), Month, Settings);
}

bool kvScanString(const std::string& Text, int& Position, const std::string& S) {
  return ScanString(Utf8ToUtf32(Text), Position, Utf8ToUtf32(S));
}

bool kvScanChar(const std::string& Text, int& Position, char32_t Ch) {
  return ScanChar(Utf8ToUtf32(Text), Position, Ch);
}

int kvDateOrder(const std::string& Format) {
  for (const char Ch : Format) {
    switch (Ch) {
      case 'D': case 'd': return kvOrderDMY;
      case 'Y': case 'y': return kvOrderYMD;
      case 'M': case 'm': return kvOrderMDY;
      default: break;
    }
  }
  return kvOrderMDY;
}

bool kvIsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

std::array<int, 12> kvMonthDays(int Year) {
  return {31, kvIsLeapYear(Year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}

int kvNextDayOfMonth(int Year, int Month, int Day) {
  if (Month < 1 || Month > 12) return Day + 1;
  return Day >= kvMonthDays(Year)[static_cast<size_t>(Month - 1)] ? 1 : Day + 1;
}

int kvPrevDayOfMonth(int Year, int Month, int Day) {
  if (Month < 1 || Month > 12) return Day - 1;
  return Day <= 1 ? kvMonthDays(Year)[static_cast<size_t>(Month - 1)] : Day - 1;
}

bool kvTryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12) return false;
  const std::array<int, 12> Days = kvMonthDays(Year);
  if (Day < 1 || Day > Days[static_cast<size_t>(Month - 1)]) return false;
  int DayCount = Day;
  for (int Earlier = 0; Earlier < Month - 1; ++Earlier) DayCount += Days[static_cast<size_t>(Earlier)];
  const int Y = Year - 1;
  Date = DayCount + Y * 365 + Y / 4 - Y / 100 + Y / 400 - 693594;
  return true;
}

bool kvTryEncodeTime(int Hour, int Minute, int Second, int MSec, TDateTime& Time) {
  if (Hour < 0 || Minute < 0 || Second < 0 || MSec < 0) return false;
  if (Hour > 23 || Minute > 59 || Second > 59 || MSec > 999) return false;
  Time = static_cast<double>((Hour * 60 + Minute) * 60000 + Second * 1000 + MSec) / 86400000.0;
  return true;
}

bool kvScanDateWindow(const std::string& Text, int& Position, TDateTime& Date, int CenturyBase,
                      const TFormatSettings& Settings) {
  return ScanDateWindow(Utf8ToUtf32(Text), Position, Date, CenturyBase, Settings);
}

bool kvScanDate(const std::string& Text, int& Position, TDateTime& Date, const TFormatSettings& Settings) {
  return kvScanDateWindow(Text, Position, Date, kvDefaultCenturyBase, Settings);
}

bool kvTryScanDate(const std::string& Text, TDateTime& Date, const TFormatSettings& Settings) {
  int Position = 1;
  return kvScanDate(Text, Position, Date, Settings);
}

bool kvTryScanDateWindow(const std::string& Text, TDateTime& Date, int CenturyBase,
                         const TFormatSettings& Settings) {
  int Position = 1;
  return kvScanDateWindow(Text, Position, Date, CenturyBase, Settings);
}

bool kvScanTime(const std::string& Text, int& Position, TDateTime& Time, const TFormatSettings& Settings) {
  return ScanTime(Utf8ToUtf32(Text), Position, Time, Settings);
}

bool kvIsDateText(const std::string& Text, const TFormatSettings& Settings) {
  const TChars Chars = Utf8ToUtf32(Text);
  int Position = 1;
  TDateTime Date;
  return ScanDateWindow(Chars, Position, Date, kvDefaultCenturyBase, Settings) && Position > LengthOf(Chars);
}

bool kvIsTimeText(const std::string& Text, const TFormatSettings& Settings) {
  const TChars Chars = Utf8ToUtf32(Text);
  int Position = 1;
  TDateTime Time;
  return ScanTime(Chars, Position, Time, Settings) && Position > LengthOf(Chars);
}

namespace {

bool ScanDateTime(const TChars& Chars, TDateTime& Value, const TFormatSettings& Settings) {
  int Position = 1;
  TDateTime Date, Time;
  if (!ScanDateWindow(Chars, Position, Date, kvDefaultCenturyBase, Settings)) return false;
  if (!ScanTime(Chars, Position, Time, Settings) || Position <= LengthOf(Chars)) return false;
  Value = Date + Time;
  return true;
}

}  // namespace

bool kvIsDateTimeText(const std::string& Text, const TFormatSettings& Settings) {
  TDateTime Value;
  return ScanDateTime(Utf8ToUtf32(Text), Value, Settings);
}

TDateTime kvDateTimeTextToValue(const std::string& Text, const TFormatSettings& Settings) {
  TDateTime Value;
  return ScanDateTime(Utf8ToUtf32(Text), Value, Settings) ? Value : 0;
}

TDateTime kvDateTextToValue(const std::string& Text, const TFormatSettings& Settings) {
  TDateTime Date;
  return kvTryScanDate(Text, Date, Settings) ? Date : 0;
}

TDateTime kvTimeTextToValue(const std::string& Text, const TFormatSettings& Settings) {
  const TChars Chars = Utf8ToUtf32(Text);
  int Position = 1;
  TDateTime Time;
  return ScanTime(Chars, Position, Time, Settings) && Position > LengthOf(Chars) ? Time : 0;
}

bool kvIsIntegerText(const std::string& Text) {
  for (size_t Index = 0; Index < Text.size(); ++Index) {
    const char Ch = Text[Index];
    if (Ch >= '0' && Ch <= '9') continue;
    if (Index == 0 && Ch == '-' && Text.size() > 1) continue;
    return false;
  }
  return true;
}

bool kvIsFloatText(const std::string& Text, const TFormatSettings& Settings) {
  if (Text.empty()) return true;
  const std::string Head(Text, 0, Utf8OffsetOf(Text, 63));
  long double Value;
  return TryStrToFloat(Head, Value, Settings);
}

long double kvFloatTextToValue(const std::string& Text, long double Default, const TFormatSettings& Settings) {
  if (Text.empty() || !kvIsFloatText(Text, Settings)) return Default;
  long double Value;
  return TryStrToFloat(Text, Value, Settings) ? Value : Default;
}

bool kvFormattedTextToFloat(const std::string& Text, long double& Value, const std::string& Format,
                            const TFormatSettings& Settings) {
  if (Text.empty()) return true;
  const char Decimal = Settings.DecimalSeparator;
  const auto IsNumberStart = [Decimal](char Ch, bool AllowMinus) {
    return Ch == '(' || (AllowMinus && Ch == '-') || (Ch >= '0' && Ch <= '9') || Ch == Decimal;
  };
  size_t At = 0;
  while (At < Text.size() && !IsNumberStart(Text[At], true)) ++At;
  bool Negative = false;
  if (At < Text.size() && Text[At] == '-') {
    Negative = true;
    ++At;
    while (At < Text.size() && !IsNumberStart(Text[At], false)) ++At;
  }
  std::string Number;
  for (; At < Text.size(); ++At) {
    const char Ch = Text[At];
    if (Ch == '(')
      Number += '-';
    else if ((Ch >= '0' && Ch <= '9') || Ch == Decimal)
      Number += Ch;
  }
  if (Negative) Number.insert(Number.begin(), '-');
  long double Read;
  if (!TryStrToFloat(Number, Read, Settings)) return false;
  Value = Read;
  // A format whose negative section prints no minus sign ("0.00;0.00CR") reads back positive.
  if (Value > 0 && !Format.empty() && FormatFloat(Format, Value, Settings) != Text &&
      FormatFloat(Format, -Value, Settings) == Text)
    Value = -Value;
  return true;
}

TkvDateTimePart kvDateTimePartAt(int Caret, const std::string& Text, bool TimeOnly,
                                 const TFormatSettings& Settings) {
  if (TimeOnly) return TimePartFrom(Caret, Text, 1, Settings);
  const TChars Chars = Utf8ToUtf32(Text);
  int Position = 1;
  TDateTime Date;
  if (ScanDateWindow(Chars, Position, Date, kvDefaultCenturyBase, Settings) &&
      (Caret >= Position || (Caret + 1 == Position && CharAt(Chars, Caret) == ' ')))
    return TimePartFrom(Caret, Text, Position, Settings);
  int SeparatorAt = 0;
  const int Passed = PassedTokens(Caret, Text, 1, Settings.DateSeparator, false, SeparatorAt);
  const int Order = kvDateOrder(Settings.ShortDateFormat);
  switch (Passed) {
    case 0: return Order == kvOrderMDY ? dtpMonth : Order == kvOrderDMY ? dtpDay : dtpYear;
    case 1: return Order == kvOrderMDY ? dtpDay : dtpMonth;
    case 2: return Order == kvOrderYMD ? dtpDay : dtpYear;
    default: return dtpDay;
  }
}

TkvDateTimePart kvTimePartAt(int Caret, const std::string& Text, const TFormatSettings& Settings) {
  if (Caret == 0) return dtpHour;
  return TimePartFrom(Caret, Text, 1, Settings);
}
