// FormatDateTime and the date/time text scanners. The formatter walks the pattern once, byte by
// byte: ASCII letters form tokens, quotes delimit literal text, and every other byte (UTF-8
// sequences included) is copied, so "© yyyy" keeps its sign.

#include <cstring>

#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"

namespace {

char UpperAscii(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C; }
bool IsAsciiLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }

// Case-insensitive ASCII comparison of Format at Index with Word.
bool MatchesAt(const std::string& Format, size_t Index, const char* Word) {
  const size_t Length = std::strlen(Word);
  if (Index + Length > Format.size()) return false;
  for (size_t I = 0; I < Length; ++I)
    if (UpperAscii(Format[Index + I]) != UpperAscii(Word[I])) return false;
  return true;
}

class TDateTimeFormatter {
 public:
  TDateTimeFormatter(TDateTime Value, const TFormatSettings& Settings) : FValue(Value), FSettings(Settings) {
    DecodeDate(Value, FYear, FMonth, FDay);
    DecodeTime(Value, FHour, FMinute, FSecond, FMSec);
  }

  // Nested shorthands (c, ddddd, t...) expand one level deep; a shorthand inside the expansion of
  // another prints nothing, which also stops a locale format from expanding itself forever.
  void Append(const std::string& Format) {
    if (FLevel >= 2) return;
    ++FLevel;
    AppendLevel(Format);
    --FLevel;
  }

  const std::string& Result() const { return FResult; }

 private:
  void AppendNumber(int Number, int Digits) {
    std::string Text = std::to_string(Number);
    if (static_cast<int>(Text.size()) < Digits) Text.insert(0, Digits - Text.size(), '0');
    FResult += Text;
  }

  void AppendName(const std::string* Names, int Count, int Index) {
    if (Index >= 1 && Index <= Count) FResult += Names[Index - 1];
  }

  // Whether an am/pm, a/p or ampm token follows before the next hour token (text in quotes
  // does not count). The search stops at the first "a" outside quotes either way.
  static bool AmPmFollows(const std::string& Format, size_t From) {
    char Quote = 0;
    for (size_t I = From; I < Format.size(); ++I) {
      const char C = Format[I];
      if (Quote != 0) {
        if (C == Quote) Quote = 0;
        continue;
      }
      if (C == '\'' || C == '"') {
        Quote = C;
      } else if (C == 'a' || C == 'A') {
        return MatchesAt(Format, I, "am/pm") || MatchesAt(Format, I, "a/p") || MatchesAt(Format, I, "ampm");
      } else if (C == 'h' || C == 'H') {
        return false;
      }
    }
    return false;
  }

  void AppendLevel(const std::string& Format) {
    char LastToken = ' ';
    bool Use12HourClock = false;
    size_t I = 0;
    while (I < Format.size()) {
      const char Starter = Format[I++];
      char Token = UpperAscii(Starter);
      if (IsAsciiLetter(Token)) {
        if (Token == 'M' && LastToken == 'H') Token = 'N';
        LastToken = Token;
      }
      // The run of the same character, counted from the starter.
      const auto GetCount = [&]() {
        int Count = 1;
        while (I < Format.size() && Format[I] == Starter) {
          ++I;
          ++Count;
        }
        return Count;
      };
      switch (Token) {
        case 'Y': {
          const int Count = GetCount();
          if (Count <= 2)
            AppendNumber(FYear % 100, 2);
          else
            AppendNumber(FYear, 4);
          break;
        }
        case 'M': {
          const int Count = GetCount();
          if (Count <= 2)
            AppendNumber(FMonth, Count);
          else if (Count == 3)
            AppendName(FSettings.ShortMonthNames.data(), 12, FMonth);
          else
            AppendName(FSettings.LongMonthNames.data(), 12, FMonth);
          break;
        }
        case 'D': {
          const int Count = GetCount();
          if (Count <= 2)
            AppendNumber(FDay, Count);
          else if (Count == 3)
            AppendName(FSettings.ShortDayNames.data(), 7, DayOfWeek(FValue));
          else if (Count == 4)
            AppendName(FSettings.LongDayNames.data(), 7, DayOfWeek(FValue));
          else if (Count == 5)
            Append(FSettings.ShortDateFormat);
          else
            Append(FSettings.LongDateFormat);
          break;
        }
        case 'H': {
          const int Count = GetCount();
          if (AmPmFollows(Format, I)) Use12HourClock = true;
          int Hour = FHour;
          if (Use12HourClock) {
            if (Hour == 0)
              Hour = 12;
            else if (Hour > 12)
              Hour -= 12;
          }
          AppendNumber(Hour, Count > 2 ? 2 : Count);
          break;
        }
        case 'N': {
          const int Count = GetCount();
          AppendNumber(FMinute, Count > 2 ? 2 : Count);
          break;
        }
        case 'S': {
          const int Count = GetCount();
          AppendNumber(FSecond, Count > 2 ? 2 : Count);
          break;
        }
        case 'Z': {
          const int Count = GetCount();
          AppendNumber(FMSec, Count > 3 ? 3 : Count);
          break;
        }
        case 'T': {
          const int Count = GetCount();
          Append(Count == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat);
          break;
        }
        case 'C': {
          GetCount();
          Append(FSettings.ShortDateFormat);
          if (FHour != 0 || FMinute != 0 || FSecond != 0 || FMSec != 0) {
            FResult += ' ';
            Append(FSettings.LongTimeFormat);
          }
          break;
        }
        case 'A': {
          const size_t Start = I - 1;
          const bool Afternoon = FHour >= 12;
          if (MatchesAt(Format, Start, "am/pm")) {
            FResult.append(Format, Afternoon ? Start + 3 : Start, 2);
            I = Start + 5;
            Use12HourClock = true;
          } else if (MatchesAt(Format, Start, "a/p")) {
            FResult += Format[Afternoon ? Start + 2 : Start];
            I = Start + 3;
            Use12HourClock = true;
          } else if (MatchesAt(Format, Start, "ampm")) {
            FResult += Afternoon ? FSettings.TimePMString : FSettings.TimeAMString;
            I = Start + 4;
            Use12HourClock = true;
          } else {
            FResult += Starter;
          }
          break;
        }
        case '/':
          if (FSettings.DateSeparator != 0) FResult += FSettings.DateSeparator;
          break;
        case ':':
          if (FSettings.TimeSeparator != 0) FResult += FSettings.TimeSeparator;
          break;
        case '\'':
        case '"': {
          const size_t Close = Format.find(Starter, I);
          const size_t End = Close == std::string::npos ? Format.size() : Close;
          FResult.append(Format, I, End - I);
          I = Close == std::string::npos ? End : End + 1;
          break;
        }
        default:
          FResult += Starter;
          break;
      }
    }
  }

  TDateTime FValue;
  const TFormatSettings& FSettings;
  uint16_t FYear, FMonth, FDay, FHour, FMinute, FSecond, FMSec;
  int FLevel = 0;
  std::string FResult;
};

// The scanners. Pos is a 0-based byte index into S.
struct TScanner {
  const std::string& S;
  const TFormatSettings& Settings;
  size_t Pos = 0;

  bool AtEnd() const { return Pos >= S.size(); }

  void ScanBlanks() {
    while (Pos < S.size() && S[Pos] == ' ') ++Pos;
  }

  // Up to the point where the value reaches 1000: "12345" reads 1234 and leaves "5".
  bool ScanNumber(int& Number, int& Length) {
    ScanBlanks();
    size_t I = Pos;
    int Value = 0;
    while (I < S.size() && S[I] >= '0' && S[I] <= '9' && Value < 1000) {
      Value = Value * 10 + (S[I] - '0');
      ++I;
    }
    if (I == Pos) return false;
    Length = static_cast<int>(I - Pos);
    Pos = I;
    Number = Value;
    return true;
  }

  bool ScanChar(char C) {
    ScanBlanks();
    if (Pos < S.size() && S[Pos] == C) {
      ++Pos;
      return true;
    }
    return false;
  }

  bool ScanString(const std::string& Symbol) {
    if (Symbol.empty()) return false;
    ScanBlanks();
    if (Pos + Symbol.size() > S.size()) return false;
    if (!AnsiSameText(S.substr(Pos, Symbol.size()), Symbol)) return false;
    Pos += Symbol.size();
    return true;
  }

  // 0 for a morning marker, 12 for an afternoon one, -1 when none is here.
  int ScanAmPm() {
    if (ScanString(Settings.TimeAMString) || ScanString("AM")) return 0;
    if (ScanString(Settings.TimePMString) || ScanString("PM")) return 12;
    return -1;
  }

  bool ScanTime(TDateTime& Value) {
    int BaseHour = ScanAmPm();
    if (BaseHour >= 0) ScanBlanks();
    int Hour, Minute = 0, Second = 0, MSec = 0, Length;
    if (!ScanNumber(Hour, Length)) return false;
    if (ScanChar(Settings.TimeSeparator)) {
      if (!ScanNumber(Minute, Length)) return false;
      if (ScanChar(Settings.TimeSeparator)) {
        if (!ScanNumber(Second, Length)) return false;
        if (ScanChar(Settings.DecimalSeparator) && !ScanNumber(MSec, Length)) return false;
      }
    }
    if (BaseHour < 0) BaseHour = ScanAmPm();
    if (BaseHour >= 0) {
      if (Hour == 0 || Hour > 12) return false;
      if (Hour == 12) Hour = 0;
      Hour += BaseHour;
    }
    ScanBlanks();
    return TryEncodeTime(Hour, Minute, Second, MSec, Value);
  }

  enum TDateOrder { doMDY, doDMY, doYMD };

  static TDateOrder GetDateOrder(const std::string& Format) {
    for (char C : Format) {
      switch (UpperAscii(C)) {
        case 'Y': return doYMD;
        case 'M': return doMDY;
        case 'D': return doDMY;
        default: break;
      }
    }
    return doMDY;
  }

  bool ScanDate(TDateTime& Value) {
    int N1, N2, N3, L1, L2, L3;
    if (!(ScanNumber(N1, L1) && ScanChar(Settings.DateSeparator) && ScanNumber(N2, L2))) return false;
    int Year, Month, Day;
    const TDateOrder Order = GetDateOrder(Settings.ShortDateFormat);
    if (ScanChar(Settings.DateSeparator)) {
      if (!ScanNumber(N3, L3)) return false;
      int YearLength;
      switch (Order) {
        case doMDY: Year = N3; YearLength = L3; Month = N1; Day = N2; break;
        case doDMY: Year = N3; YearLength = L3; Month = N2; Day = N1; break;
        default: Year = N1; YearLength = L1; Month = N2; Day = N3; break;
      }
      if (YearLength <= 2) {
        const int Window = Settings.TwoDigitYearCenturyWindow;
        const int CenturyBase = CurrentYear() - Window;
        Year += CenturyBase / 100 * 100;
        if (Window > 0 && Year < CenturyBase) Year += 100;
      }
    } else {
      Year = CurrentYear();
      if (Order == doDMY) {
        Day = N1;
        Month = N2;
      } else {
        Month = N1;
        Day = N2;
      }
    }
    ScanBlanks();
    return TryEncodeDate(Year, Month, Day, Value);
  }
};

}  // namespace

std::string FormatDateTime(const std::string& Format, TDateTime Value, const TFormatSettings& Settings) {
  TDateTimeFormatter Formatter(Value, Settings);
  Formatter.Append(Format.empty() ? std::string("c") : Format);
  return Formatter.Result();
}

std::string FormatDateTime(const std::string& Format, TDateTime Value) {
  return FormatDateTime(Format, Value, FormatSettings());
}

std::string DateToStr(TDateTime Value, const TFormatSettings& Settings) {
  return FormatDateTime(Settings.ShortDateFormat, Value, Settings);
}
std::string TimeToStr(TDateTime Value, const TFormatSettings& Settings) {
  return FormatDateTime(Settings.LongTimeFormat, Value, Settings);
}
std::string DateTimeToStr(TDateTime Value, const TFormatSettings& Settings) {
  return FormatDateTime("c", Value, Settings);
}
std::string DateToStr(TDateTime Value) { return DateToStr(Value, FormatSettings()); }
std::string TimeToStr(TDateTime Value) { return TimeToStr(Value, FormatSettings()); }
std::string DateTimeToStr(TDateTime Value) { return DateTimeToStr(Value, FormatSettings()); }

bool TryStrToTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
  TScanner Scanner{S, Settings};
  TDateTime Result;
  if (!Scanner.ScanTime(Result) || !Scanner.AtEnd()) return false;
  Value = Result;
  return true;
}

bool TryStrToDate(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
  TScanner Scanner{S, Settings};
  TDateTime Result;
  if (!Scanner.ScanDate(Result) || !Scanner.AtEnd()) return false;
  Value = Result;
  return true;
}

bool TryStrToDateTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
  TScanner Scanner{S, Settings};
  TDateTime DatePart, TimePart = 0;
  if (Scanner.ScanDate(DatePart) && (Scanner.AtEnd() || (Scanner.ScanTime(TimePart) && Scanner.AtEnd()))) {
    Value = ComposeDateTime(DatePart, TimePart);
    return true;
  }
  return TryStrToTime(S, Value, Settings);
}

bool TryStrToTime(const std::string& S, TDateTime& Value) { return TryStrToTime(S, Value, FormatSettings()); }
bool TryStrToDate(const std::string& S, TDateTime& Value) { return TryStrToDate(S, Value, FormatSettings()); }
bool TryStrToDateTime(const std::string& S, TDateTime& Value) {
  return TryStrToDateTime(S, Value, FormatSettings());
}

TDateTime StrToTime(const std::string& S, const TFormatSettings& Settings) {
  TDateTime Value;
  if (!TryStrToTime(S, Value, Settings)) throw EConvertError("'" + S + "' is not a valid time");
  return Value;
}

TDateTime StrToDate(const std::string& S, const TFormatSettings& Settings) {
  TDateTime Value;
  if (!TryStrToDate(S, Value, Settings)) throw EConvertError("'" + S + "' is not a valid date");
  return Value;
}

TDateTime StrToDateTime(const std::string& S, const TFormatSettings& Settings) {
  TDateTime Value;
  if (!TryStrToDateTime(S, Value, Settings)) throw EConvertError("'" + S + "' is not a valid date and time");
  return Value;
}

TDateTime StrToTime(const std::string& S) { return StrToTime(S, FormatSettings()); }
TDateTime StrToDate(const std::string& S) { return StrToDate(S, FormatSettings()); }
TDateTime StrToDateTime(const std::string& S) { return StrToDateTime(S, FormatSettings()); }

TDateTime StrToTimeDef(const std::string& S, TDateTime Default) {
  TDateTime Value;
  return TryStrToTime(S, Value) ? Value : Default;
}

TDateTime StrToDateDef(const std::string& S, TDateTime Default) {
  TDateTime Value;
  return TryStrToDate(S, Value) ? Value : Default;
}

TDateTime StrToDateTimeDef(const std::string& S, TDateTime Default) {
  TDateTime Value;
  return TryStrToDateTime(S, Value) ? Value : Default;
}
