#include "kvcontrols/editors/kvdatetimepickerformat.h"

#include <cstdio>

#include "platform/rtl/datetime.h"
#include "platform/rtl/unicode.h"

namespace {

char UpperAscii(char C) {
  return (C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C;
}

bool IsAsciiLetter(char C) {
  return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z');
}

// The character at 1-based Position upper-cased, or 0 past the end.
char UpperAt(const std::string& Format, int Position) {
  if (Position < 1 || Position > int(Format.size())) return 0;
  return UpperAscii(Format[size_t(Position - 1)]);
}

std::string UpperCaseAscii(const std::string& Text) {
  std::string Result = Text;
  for (char& C : Result) C = UpperAscii(C);
  return Result;
}

std::string TwoDigits(int Value) {
  char Buffer[16];
  std::snprintf(Buffer, sizeof(Buffer), "%02d", Value);
  return Buffer;
}

// One step of the walk over an expanded format: a token, a quoted literal, or one literal
// character. Start is 0-based; Next is where the walk goes on.
struct TFormatItem {
  enum { Token, Quoted, Literal } Kind = Literal;
  std::string Text;  // the token, the quoted text (without quotes) or the character
  size_t Next = 0;
};

TFormatItem ReadItem(const std::string& Format, size_t Start) {
  TFormatItem Item;
  const char C = Format[Start];
  if (C == '\'' || C == '"') {
    const size_t Close = Format.find(C, Start + 1);
    Item.Kind = TFormatItem::Quoted;
    if (Close == std::string::npos) {
      Item.Text = Format.substr(Start + 1);
      Item.Next = Format.size();
    } else {
      Item.Text = Format.substr(Start + 1, Close - Start - 1);
      Item.Next = Close + 1;
    }
    return Item;
  }
  if (IsAsciiLetter(C)) {
    int Position = int(Start) + 1;
    std::string Token = kvReadFormatToken(Format, Position);
    if (!Token.empty()) {
      Item.Kind = TFormatItem::Token;
      Item.Text = std::move(Token);
      Item.Next = size_t(Position);
      return Item;
    }
  }
  Item.Next = Utf8Next(Format, Start);
  Item.Text = Format.substr(Start, Item.Next - Start);
  return Item;
}

// What FormatDateTime prints for one token.
std::string TokenText(const std::string& Token, TDateTime Value, const TkvDateTimeParts& Parts,
                      bool TwelveHour, const TFormatSettings& Settings) {
  const size_t Length = Token.size();
  const bool Afternoon = Parts.Hour >= 12;
  switch (kvTokenKind(Token)) {
    case 'D':
      if (Length == 1) return std::to_string(Parts.Day);
      if (Length == 2) return TwoDigits(Parts.Day);
      if (Length == 3) return Settings.ShortDayNames[size_t(DayOfWeek(Value) - 1)];
      if (Length == 4) return Settings.LongDayNames[size_t(DayOfWeek(Value) - 1)];
      return FormatDateTime(Token, Value, Settings);
    case 'M':
      if (Parts.Month < 1) return Length <= 2 ? std::string(Length, '0') : std::string();
      if (Length == 1) return std::to_string(Parts.Month);
      if (Length == 2) return TwoDigits(Parts.Month);
      if (Length == 3) return Settings.ShortMonthNames[size_t(Parts.Month - 1)];
      return Settings.LongMonthNames[size_t(Parts.Month - 1)];
    case 'Y': {
      if (Length <= 2) return TwoDigits(Parts.Year % 100);
      char Buffer[16];
      std::snprintf(Buffer, sizeof(Buffer), "%04d", Parts.Year);
      return Buffer;
    }
    case 'H': {
      int Hour = Parts.Hour;
      if (TwelveHour) {
        Hour %= 12;
        if (Hour == 0) Hour = 12;
      }
      return Length == 1 ? std::to_string(Hour) : TwoDigits(Hour);
    }
    case 'N':
      return Length == 1 ? std::to_string(Parts.Min) : TwoDigits(Parts.Min);
    case 'S':
      return Length == 1 ? std::to_string(Parts.Sec) : TwoDigits(Parts.Sec);
    case 'A': {
      if (UpperCaseAscii(Token) == "AMPM")
        return Afternoon ? Settings.TimePMString : Settings.TimeAMString;
      const size_t Slash = Token.find('/');
      return Afternoon ? Token.substr(Slash + 1) : Token.substr(0, Slash);
    }
    default:
      // Letters the picker does not edit (z, an upper-case T or C ...): as FormatDateTime has them.
      return FormatDateTime(Token, Value, Settings);
  }
}

}  // namespace

TkvDateTimeParts kvSplitDateTime(TDateTime Value) {
  uint16_t Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0;
  DecodeDateTime(Value, Year, Month, Day, Hour, Min, Sec, MSec);
  return TkvDateTimeParts{Year, Month, Day, Hour, Min, Sec, MSec};
}

std::string kvReplaceText(const std::string& Source, const std::string& Find, const std::string& Replacement) {
  if (Find.empty()) return Source;
  std::string Result;
  size_t Position = 0;
  while (Position < Source.size()) {
    if (Source.compare(Position, Find.size(), Find) == 0) {
      Result += Replacement;
      Position += Find.size();
    } else {
      Result += Source[Position++];
    }
  }
  return Result;
}

std::string kvExpandDateTimeFormat(const std::string& Format, const TFormatSettings& Settings) {
  std::string Result = kvReplaceText(Format, "c", Settings.ShortDateFormat + " " + Settings.LongTimeFormat);
  Result = kvReplaceText(Result, "dddddd", Settings.LongDateFormat);
  Result = kvReplaceText(Result, "ddddd", Settings.ShortDateFormat);
  Result = kvReplaceText(Result, "tt", Settings.LongTimeFormat);
  return kvReplaceText(Result, "t", Settings.ShortTimeFormat);
}

std::string kvReadFormatToken(const std::string& Format, int& Position) {
  const char Letter = UpperAt(Format, Position);
  if (Letter < 'A' || Letter > 'Z') return {};
  const size_t Start = size_t(Position - 1);
  if (Letter == 'A') {
    if (UpperAt(Format, Position + 1) == '/' && UpperAt(Format, Position + 2) == 'P') {
      Position += 2;
      return Format.substr(Start, 3);
    }
    if (UpperAt(Format, Position + 1) == 'M' && UpperAt(Format, Position + 2) == '/' &&
        UpperAt(Format, Position + 3) == 'P' && UpperAt(Format, Position + 4) == 'M') {
      Position += 4;
      return Format.substr(Start, 5);
    }
    if (UpperAt(Format, Position + 1) == 'M' && UpperAt(Format, Position + 2) == 'P' &&
        UpperAt(Format, Position + 3) == 'M') {
      Position += 3;
      return Format.substr(Start, 4);
    }
    return {};
  }
  int Last = Position;
  while (UpperAt(Format, Last + 1) == Letter) ++Last;
  const int Length = Last - Position + 1;
  // "hh:mm": a month run right after an hour and one separator is the minutes.
  if (Letter == 'M' && Length <= 2 && UpperAt(Format, Position - 2) == 'H') {
    Position = Last;
    return Length == 1 ? "n" : "nn";
  }
  Position = Last;
  return Format.substr(Start, size_t(Length));
}

char kvTokenKind(const std::string& Token) {
  if (Token.empty()) return 0;
  const char First = UpperAscii(Token[0]);
  switch (First) {
    case 'D':
    case 'M':
    case 'Y':
    case 'H':
    case 'N':
    case 'S':
      return First;
    case 'A':
      return Token.size() >= 3 ? 'A' : 0;
    default:
      return 0;
  }
}

bool kvIsDateToken(const std::string& Token) {
  const char Kind = kvTokenKind(Token);
  return Kind == 'D' || Kind == 'M' || Kind == 'Y';
}

bool kvIsTimeToken(const std::string& Token) {
  const char Kind = kvTokenKind(Token);
  return Kind == 'H' || Kind == 'N' || Kind == 'S' || Kind == 'A';
}

bool kvIsAmPmToken(const std::string& Token) {
  return kvTokenKind(Token) == 'A';
}

bool kvIsFieldToken(const std::string& Token, TkvFieldSet Fields) {
  if (kvIsDateToken(Token)) return Fields != TkvFieldSet::TimeOnly;
  if (kvIsTimeToken(Token)) return Fields != TkvFieldSet::DateOnly;
  return false;
}

bool kvFormatHasDate(const std::string& Format, const TFormatSettings& Settings) {
  if (Format.empty()) return true;
  const std::string Expanded = kvExpandDateTimeFormat(Format, Settings);
  for (size_t Position = 0; Position < Expanded.size();) {
    const TFormatItem Item = ReadItem(Expanded, Position);
    if (Item.Kind == TFormatItem::Token && kvIsDateToken(Item.Text)) return true;
    Position = Item.Next;
  }
  return false;
}

bool kvFormatHasTime(const std::string& Format) {
  if (Format.empty()) return true;
  for (char C : Format) {
    const char U = UpperAscii(C);
    if (U == 'H' || U == 'N' || U == 'S' || U == 'T' || U == 'C') return true;
  }
  return false;
}

bool kvFormatHasAmPm(const std::string& ExpandedFormat) {
  for (char C : ExpandedFormat)
    if (C == 'a' || C == 'A') return true;
  return false;
}

bool kvFormatHasAmPmToken(const std::string& ExpandedFormat) {
  for (size_t Position = 0; Position < ExpandedFormat.size();) {
    const TFormatItem Item = ReadItem(ExpandedFormat, Position);
    if (Item.Kind == TFormatItem::Token && kvIsAmPmToken(Item.Text)) return true;
    Position = Item.Next;
  }
  return false;
}

int kvCountFields(const std::string& ExpandedFormat, TkvFieldSet Fields) {
  int Count = 0;
  for (size_t Position = 0; Position < ExpandedFormat.size();) {
    const TFormatItem Item = ReadItem(ExpandedFormat, Position);
    if (Item.Kind == TFormatItem::Token && kvIsFieldToken(Item.Text, Fields)) ++Count;
    Position = Item.Next;
  }
  return Count;
}

TkvFieldInfo kvGetFieldInfo(const std::string& ExpandedFormat, TkvFieldSet Fields, int N, TDateTime Value,
                            const TFormatSettings& Settings) {
  if (N < 1) return {};
  const TkvDateTimeParts Parts = kvSplitDateTime(Value);
  const bool TwelveHour = kvFormatHasAmPmToken(ExpandedFormat);
  std::string Text;
  int Field = 0;
  for (size_t Position = 0; Position < ExpandedFormat.size();) {
    const TFormatItem Item = ReadItem(ExpandedFormat, Position);
    Position = Item.Next;
    switch (Item.Kind) {
      case TFormatItem::Quoted:
        Text += Item.Text;
        break;
      case TFormatItem::Literal:
        if (Item.Text == "/")
          Text += Settings.DateSeparator;
        else if (Item.Text == ":")
          Text += Settings.TimeSeparator;
        else
          Text += Item.Text;
        break;
      case TFormatItem::Token: {
        const std::string Shown = TokenText(Item.Text, Value, Parts, TwelveHour, Settings);
        if (kvIsFieldToken(Item.Text, Fields) && ++Field == N) {
          TkvFieldInfo Info;
          Info.Position = int(Utf8Length(Text));
          Info.Length = int(Utf8Length(Shown));
          Info.Text = Text + Shown;
          Info.Token = Item.Text;
          return Info;
        }
        Text += Shown;
        break;
      }
    }
  }
  return {};
}

int kvExpandTwoDigitYear(int YY, int Epoch) {
  int Year = (Epoch / 100) * 100 + YY;
  if (YY < Epoch % 100) Year += 100;
  return Year;
}

bool kvDecadeReachesMinDate(int D, int Epoch, TDateTime MinDate) {
  if (DateOf(MinDate) == 0) return true;
  const int Century = (10 * D < Epoch % 100) ? Epoch / 100 + 1 : Epoch / 100;
  const int LastYear = Century * 100 + 10 * D + 9;
  TDateTime Last = 0;
  if (!TryEncodeDate(LastYear, 12, 31, Last)) return true;
  return Last >= DateOf(MinDate);
}

int kvAdjustHourForAmPm(bool HasAmPm, int CurrentHour, int TypedHour) {
  if (!HasAmPm) return TypedHour;
  if (TypedHour == 12 && CurrentHour < 12) return 0;
  if (CurrentHour >= 12 && TypedHour < 12) return TypedHour + 12;
  return TypedHour;
}

int kvDaysOfMonth(int Year, int Month) {
  return DaysInAMonth(Year, Month);
}

int kvNextLeapYear(int Year) {
  int Result = ((Year + 4) / 4) * 4;
  if (!IsLeapYear(Result)) Result += 4;
  return Result;
}
