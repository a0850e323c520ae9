// Keyboard editing of the date/time picker. The order of a key's handling matters and is the
// same for every key: the drop-down keys first, then the keys a host grid or inspector takes,
// then OnKeyDown, then the editing of the current field. Digits and letters are edited in
// KeyDown; their characters are swallowed in KeyPress.
//
// Digit entry: the first digit of a two-digit field either completes it at once (a 4 in a month
// cannot start a two-digit month) or opens an entry that the second digit (or the fourth of a
// four-digit year) completes; leaving the field, a click, Enter or reading the value completes
// an open entry with what was typed.

#include <cmath>

#include "kvcontrols/editors/kvdatetimepicker.h"
#include "kvcontrols/editors/kvdatetextutils.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/unicode.h"
#include "platform/user/user.h"

namespace {

TDateTime PartsDate(const TkvDateTimeParts& Parts) {
  TDateTime Result = 0;
  TryEncodeDate(Parts.Year, Parts.Month, Parts.Day, Result);
  return Result;
}

void SetPartsDate(TkvDateTimeParts& Parts, TDateTime Value) {
  const TkvDateTimeParts Split = kvSplitDateTime(Value);
  Parts.Year = Split.Year;
  Parts.Month = Split.Month;
  Parts.Day = Split.Day;
}

bool IsDigitKey(WORD Key) {
  return Key >= '0' && Key <= '9';
}

bool IsLetterKey(WORD Key) {
  return (Key >= 'A' && Key <= 'Z') || Key > 128;
}

char UpperChar(char C) {
  return (C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C;
}

// The number of digits of a numeric token's field when it is full.
bool IsFourDigitYear(const std::string& Token) {
  return kvTokenKind(Token) == 'Y' && Token.size() >= 3;
}

bool IsNumericToken(const std::string& Token) {
  const char Kind = kvTokenKind(Token);
  if (Kind == 'D' || Kind == 'M') return Token.size() <= 2;
  return Kind == 'Y' || Kind == 'H' || Kind == 'N' || Kind == 'S';
}

int FirstIndexOf(const std::string& Format, char Upper) {
  for (size_t Index = 0; Index < Format.size(); ++Index)
    if (UpperChar(Format[Index]) == Upper) return int(Index);
  return -1;
}

// Whether the first X of the format comes before its first Y (letters compared upper-cased).
bool ComesBefore(const std::string& Format, char X, char Y) {
  const int A = FirstIndexOf(Format, X), B = FirstIndexOf(Format, Y);
  return A >= 0 && (B < 0 || A < B);
}

}  // namespace

// ---- helpers -----------------------------------------------------------------------------------

bool TkvDBCustomDateTimePicker::PartsInRange(const TkvDateTimeParts& Parts) const {
  TDateTime Date = 0;
  if (!TryEncodeDate(Parts.Year, Parts.Month, Parts.Day, Date)) return false;
  return Date >= std::trunc(EffectiveMinDate()) && Date <= std::trunc(EffectiveMaxDate());
}

void TkvDBCustomDateTimePicker::StoreParts(const TkvDateTimeParts& Parts) {
  SetDateTimeParts(Parts.Year, Parts.Month, Parts.Day, Parts.Hour, Parts.Min, Parts.Sec, Parts.MSec);
}

void TkvDBCustomDateTimePicker::GetWeekBounds(int& First, int& Last) const {
  const TkvCalDayOfWeek Day = FCalendarAttributes->FirstDayOfWeek();
  if (Day == kvdowLocaleDefault) {
    // The locale counts from Monday (0) to Sunday (6); DayOfWeek counts from Sunday (1).
    const int Locale = FormatSettings().FirstDayOfWeek;
    First = Locale == 6 ? 1 : Locale + 2;
  } else if (Day == kvdowSunday) {
    First = 1;
  } else {
    First = int(Day) + 2;
  }
  Last = First == 1 ? 7 : First - 1;
}

void TkvDBCustomDateTimePicker::KeepPendingValue(const TkvDateTimeParts& Parts) {
  if (IsTimeOnly()) {
    // A time picker's value follows the typed digit at once, the text is left as typed.
    TDateTime TimeOfDay = 0;
    if (TryEncodeTime(Parts.Hour, Parts.Min, Parts.Sec, Parts.MSec, TimeOfDay)) FValue = TimeOfDay;
    return;
  }
  TkvDateTimeParts Pending = Parts;
  if (Pending.Year <= 99) Pending.Year = kvExpandTwoDigitYear(Pending.Year, FEpoch);
  if (Pending.Month == 0 || Pending.Day == 0 || !PartsInRange(Pending)) return;
  TDateTime TimeOfDay = 0;
  TryEncodeTime(Pending.Hour, Pending.Min, Pending.Sec, Pending.MSec, TimeOfDay);
  FDigitEntryValue = PartsDate(Pending) + TimeOfDay;
}

// ---- stepping ----------------------------------------------------------------------------------

void TkvDBCustomDateTimePicker::StepField(const std::string& Token, int Steps, bool Wrap, TkvDateTimeParts& Parts) {
  const TDateTime Max = std::trunc(EffectiveMaxDate()), Min = std::trunc(EffectiveMinDate());
  const TDateTime Current = PartsDate(Parts);
  const char Kind = kvTokenKind(Token);
  if (Kind == 'D' && Token.size() <= 2) {
    if (Steps > 0) {
      if (Current + 1 > Max) return;
      Parts.Day = kvNextDayOfMonth(Parts.Year, Parts.Month, Parts.Day);
    } else {
      Parts.Day = kvPrevDayOfMonth(Parts.Year, Parts.Month, Parts.Day);
      const TDateTime Stepped = PartsDate(Parts);
      if (Stepped < Min) SetPartsDate(Parts, Min);
      if (Stepped > Max) SetPartsDate(Parts, Max);
    }
    return;
  }
  if (Kind == 'D') {
    int First = 1, Last = 7;
    GetWeekBounds(First, Last);
    const int Day = DayOfWeek(Current);
    TDateTime Stepped = Current;
    if (Steps > 0) {
      Stepped = Day == Last ? Current - 6 : Current + 1;
      if (Stepped > Max) Stepped = Max;
    } else {
      Stepped = Day == First ? Current + 6 : Current - 1;
      if (Stepped < Min) Stepped = Min;
    }
    SetPartsDate(Parts, Stepped);
    return;
  }
  if (Kind != 'M' && Kind != 'Y') return;
  const int Months = Kind == 'Y' ? 12 * Steps : Steps;
  // The target month, the day cut to its length; past 9999 (or before year 1) nothing changes.
  int Total = Parts.Year * 12 + (Parts.Month - 1) + Months;
  const int NewYear = Total / 12, NewMonth = Total % 12 + 1;
  if (Total < 12 || NewYear > 9999) return;
  TkvDateTimeParts Stepped = Parts;
  if (Wrap) {
    if (Kind == 'M')
      Stepped.Month = NewMonth;
    else
      Stepped.Year = NewYear;
  } else {
    Stepped.Year = NewYear;
    Stepped.Month = NewMonth;
  }
  Stepped.Day = std::min(Stepped.Day, kvDaysOfMonth(Stepped.Year, Stepped.Month));
  const TDateTime Date = PartsDate(Stepped);
  if (Date >= Min && Date <= Max) {
    Parts = Stepped;
  } else if (Wrap) {
    SetPartsDate(Parts, Date < Min ? Min : Max);
  }
}

void TkvDBCustomDateTimePicker::KeyEnd(const std::string& Token, TkvDateTimeParts& Parts) {
  const TkvDateTimeParts Max = kvSplitDateTime(EffectiveMaxDate());
  switch (kvTokenKind(Token)) {
    case 'A':
      if (Parts.Hour < 12) Parts.Hour += 12;
      return;
    case 'D':
      if (Token.size() <= 2) {
        Parts.Day = (Parts.Year == Max.Year && Parts.Month == Max.Month) ? Max.Day
                                                                          : kvDaysOfMonth(Parts.Year, Parts.Month);
      } else {
        int First = 1, Last = 7;
        GetWeekBounds(First, Last);
        const TDateTime Current = PartsDate(Parts);
        TDateTime Target = Current + (Last - DayOfWeek(Current) + 7) % 7;
        if (Target > std::trunc(EffectiveMaxDate())) Target = std::trunc(EffectiveMaxDate());
        SetPartsDate(Parts, Target);
      }
      return;
    case 'H':
      Parts.Hour = 23;
      return;
    case 'M':
      Parts.Month = 12;
      if (Parts.Year == Max.Year) Parts.Month = Parts.Day > Max.Day ? Max.Month - 1 : Max.Month;
      Parts.Day = std::min(Parts.Day, kvDaysOfMonth(Parts.Year, std::max(1, Parts.Month)));
      return;
    case 'N':
      Parts.Min = 59;
      return;
    case 'S':
      Parts.Sec = 59;
      return;
    case 'Y':
      Parts.Year = Max.Year;
      if (Parts.Month > Max.Month || (Parts.Month == Max.Month && Parts.Day > Max.Day)) --Parts.Year;
      Parts.Day = std::min(Parts.Day, kvDaysOfMonth(Parts.Year, Parts.Month));
      return;
    default:
      return;
  }
}

void TkvDBCustomDateTimePicker::KeyHome(const std::string& Token, TkvDateTimeParts& Parts) {
  const TkvDateTimeParts Min = kvSplitDateTime(EffectiveMinDate());
  switch (kvTokenKind(Token)) {
    case 'A':
      if (Parts.Hour > 11) Parts.Hour -= 12;
      return;
    case 'D':
      if (Token.size() <= 2) {
        Parts.Day = (Parts.Year == Min.Year && Parts.Month == Min.Month) ? Min.Day : 1;
      } else {
        int First = 1, Last = 7;
        GetWeekBounds(First, Last);
        const TDateTime Current = PartsDate(Parts);
        TDateTime Target = Current - (DayOfWeek(Current) - First + 7) % 7;
        if (Target < std::trunc(EffectiveMinDate())) Target = std::trunc(EffectiveMinDate());
        SetPartsDate(Parts, Target);
      }
      return;
    case 'H':
      Parts.Hour = 0;
      return;
    case 'N':
      Parts.Min = 0;
      return;
    case 'S':
      Parts.Sec = 0;
      return;
    case 'M':
      Parts.Month = 1;
      if (Parts.Year == Min.Year) Parts.Month = Parts.Day < Min.Day ? Min.Month + 1 : Min.Month;
      Parts.Day = std::min(Parts.Day, kvDaysOfMonth(Parts.Year, std::min(12, Parts.Month)));
      return;
    case 'Y':
      Parts.Year = Min.Year;
      if (Parts.Month < Min.Month || (Parts.Month == Min.Month && Parts.Day < Min.Day)) ++Parts.Year;
      Parts.Day = std::min(Parts.Day, kvDaysOfMonth(Parts.Year, Parts.Month));
      return;
    default:
      return;
  }
}

bool TkvDBCustomDateTimePicker::KeyLetter(char32_t Letter, const std::string& Token, TkvDateTimeParts& Parts) {
  const TFormatSettings& Settings = FormatSettings();
  const char Kind = kvTokenKind(Token);
  if (Kind == 'M' && Token.size() >= 3) {
    const bool Long = Token.size() >= 4;
    auto Search = [&](bool DayMustFit) {
      auto Matches = [&](int Month) {
        const std::string& Name = Long ? Settings.LongMonthNames[size_t(Month - 1)]
                                       : Settings.ShortMonthNames[size_t(Month - 1)];
        if (Name.empty() || char32_t(Name[0]) != Letter) return false;
        return !DayMustFit || kvDaysOfMonth(Parts.Year, Month) >= Parts.Day;
      };
      const int Current = Parts.Month;
      for (int Month = Current + 1; Month <= 12; ++Month)
        if (Matches(Month)) {
          StepField(Token, Month - Current, false, Parts);
          if (Parts.Month != Current) return true;
        }
      if (Current > 1)
        for (int Month = 1; Month < Current; ++Month)
          if (Matches(Month)) {
            StepField(Token, Month - Current, false, Parts);
            if (Parts.Month != Current) return true;
          }
      return false;
    };
    if (!Search(true)) Search(false);
    return true;
  }
  if (Kind == 'D' && Token.size() >= 3) {
    const bool Long = Token.size() >= 4;
    auto Matches = [&](int Day) {
      const std::string& Name = Long ? Settings.LongDayNames[size_t(Day - 1)] : Settings.ShortDayNames[size_t(Day - 1)];
      return !Name.empty() && char32_t(Name[0]) == Letter;
    };
    int First = 1, Last = 7;
    GetWeekBounds(First, Last);
    const TDateTime Current = PartsDate(Parts);
    const int Today = DayOfWeek(Current);
    for (int Count = 1; Count < 7; ++Count) {
      const int Day = (Today - 1 + Count) % 7 + 1;
      if (Day == First) break;
      if (Matches(Day)) {
        if (Current + Count <= std::trunc(EffectiveMaxDate())) {
          SetPartsDate(Parts, Current + Count);
          return true;
        }
        break;
      }
    }
    for (int Day = First, Back = (Today - First + 7) % 7; Back > 0; Day = Day % 7 + 1, --Back) {
      if (Matches(Day)) {
        if (Current - Back >= std::trunc(EffectiveMinDate())) SetPartsDate(Parts, Current - Back);
        return true;
      }
    }
    return true;
  }
  if (Kind == 'A') {
    const bool Afternoon = Parts.Hour >= 12;
    std::string Upper;
    for (char C : Token) Upper += UpperChar(C);
    if (Upper == "AMPM") {
      const char Am = Settings.TimeAMString.empty() ? 0 : UpperChar(Settings.TimeAMString[0]);
      const char Pm = Settings.TimePMString.empty() ? 0 : UpperChar(Settings.TimePMString[0]);
      if (Am == Pm) {
        Parts.Hour += Afternoon ? -12 : 12;
      } else if (!Afternoon && Letter == char32_t(Pm)) {
        Parts.Hour += 12;
      } else if (Afternoon && Letter == char32_t(Am)) {
        Parts.Hour -= 12;
      }
    } else if (!Afternoon && Letter == U'P') {
      Parts.Hour += 12;
    } else if (Afternoon && Letter == U'A') {
      Parts.Hour -= 12;
    }
    return true;
  }
  return false;
}

// ---- digit entry -------------------------------------------------------------------------------

bool TkvDBCustomDateTimePicker::ValidateDigitValue(char Kind, const std::string& Token, int V, TkvDateTimeParts& Parts) {
  const std::string Format = ExpandedFormat();
  TkvDateTimeParts Next = Parts;
  switch (Kind) {
    case 'D': {
      if (V < 1 || V > 31) return false;
      // Typing the day first: a day the shown month lacks takes a month that has it.
      if (ComesBefore(Format, 'D', 'M') && V > kvDaysOfMonth(Next.Year, Next.Month)) Next.Month = 1;
      if (V == 29 && Next.Month == 2 && !IsLeapYear(Next.Year) && ComesBefore(Format, 'D', 'Y'))
        Next.Year = kvNextLeapYear(Next.Year);
      if (V > kvDaysOfMonth(Next.Year, Next.Month)) return false;
      Next.Day = V;
      if (!PartsInRange(Next)) return false;
      break;
    }
    case 'H':
      if (V > (kvFormatHasAmPmToken(Format) ? 12 : 23)) return false;
      Next.Hour = kvAdjustHourForAmPm(kvFormatHasAmPmToken(Format), Parts.Hour, V);
      break;
    case 'M':
      if (V < 1 || V > 12) return false;
      if (Next.Day == 29 && V == 2 && !IsLeapYear(Next.Year) && ComesBefore(Format, 'M', 'Y'))
        Next.Year = kvNextLeapYear(Next.Year);
      Next.Month = V;
      Next.Day = std::min(Next.Day, kvDaysOfMonth(Next.Year, V));
      if (!PartsInRange(Next)) return false;
      break;
    case 'N':
      if (V > 59) return false;
      Next.Min = V;
      break;
    case 'S':
      if (V > 59) return false;
      Next.Sec = V;
      break;
    case 'Y':
      if (!IsFourDigitYear(Token)) {
        Next.Year = kvExpandTwoDigitYear(V, FEpoch);
        if (!PartsInRange(Next)) return false;
      } else {
        TDateTime Date = 0;
        if (V == 0 || !TryEncodeDate(V, Next.Month, Next.Day, Date)) return false;
        if (Date < std::trunc(EffectiveMinDate()) || (FMaxDate != 0 && Date > FMaxDate)) return false;
        Next.Year = V;
      }
      break;
    default:
      return false;
  }
  Parts = Next;
  return true;
}

bool TkvDBCustomDateTimePicker::EnterDigit(int Digit, TkvDateTimeParts& Parts, const TkvFieldInfo& Field, bool WasOpen,
                                           bool& Completed) {
  const std::string& Token = Field.Token;
  const char Kind = kvTokenKind(Token);
  const std::u32string Chars = Utf8ToUtf32(Text());
  const int S = Field.Position;
  const int Caret = SelStart();
  Completed = false;
  auto DigitAt = [&](int Index) { return (Index < int(Chars.size()) && Chars[size_t(Index)] >= U'0' && Chars[size_t(Index)] <= U'9') ? int(Chars[size_t(Index)] - U'0') : 0; };
  // The typed part of the field (from S to the caret) becomes Typed; the caret goes after it.
  auto ShowTyped = [&](const std::u32string& Typed, int ReplaceLength) {
    std::u32string NewText = Chars.substr(0, size_t(S)) + Typed + Chars.substr(std::min(Chars.size(), size_t(S + ReplaceLength)));
    const bool WasModified = Modified();
    SetText(Utf32ToUtf8(NewText));
    SetModified(WasModified);
    const int NewCaret = S + int(Typed.size());
    Perform(EM_SETSEL, WPARAM(NewCaret), LPARAM(NewCaret));
  };
  // An open entry has its caret right after the digits typed so far.
  const bool EntryOpen = WasOpen && Caret > S;

  if (IsFourDigitYear(Token)) {
    const int Typed = Caret - S;
    int V = 0;
    for (int Index = S; Index < Caret; ++Index) V = V * 10 + DigitAt(Index);
    V = V * 10 + Digit;
    if (EntryOpen && Typed >= 3) {
      if (V == 0) V = kvSplitDateTime(FEntryValue).Year;
      if (!ValidateDigitValue('Y', Token, V, Parts)) return false;
      SetDateTimeParts(Parts.Year, Parts.Month, Parts.Day, Parts.Hour, Parts.Min, Parts.Sec, Parts.MSec);
      RefreshText();
      SelectCurrentField();
      Completed = true;
      return true;
    }
    std::u32string Shown = EntryOpen ? Chars.substr(size_t(S), size_t(Typed)) : std::u32string();
    Shown += char32_t(U'0' + Digit);
    ShowTyped(Shown, EntryOpen ? Typed : Field.Length);
    Parts.Year = V;
    FDigitEntryOpen = true;
    return true;
  }

  if (EntryOpen && Caret == S + 1) {
    const int V = 10 * DigitAt(S) + Digit;
    if (!ValidateDigitValue(Kind, Token, V, Parts)) return false;
    SetDateTimeParts(Parts.Year, Parts.Month, Parts.Day, Parts.Hour, Parts.Min, Parts.Sec, Parts.MSec);
    RefreshText();
    SelectCurrentField();
    Completed = true;
    return true;
  }

  const bool TwelveHour = kvFormatHasAmPmToken(ExpandedFormat());
  const bool CompletesAtOnce = (Kind == 'D' && Digit > 3) || (Kind == 'M' && Digit > 1) ||
                               (Kind == 'H' && Digit > (TwelveHour ? 1 : 2)) ||
                               ((Kind == 'N' || Kind == 'S') && Digit > 5);
  if (CompletesAtOnce) {
    if (!ValidateDigitValue(Kind, Token, Digit, Parts)) return false;
    std::u32string Shown;
    if (Token.size() == 2) Shown = U"0";
    Shown += char32_t(U'0' + Digit);
    ShowTyped(Shown, Field.Length);
    SelectCurrentField();
    Completed = true;
    return true;
  }
  if (Kind == 'Y' && !kvDecadeReachesMinDate(Digit, FEpoch, FMinDate)) return false;
  ShowTyped(std::u32string(1, char32_t(U'0' + Digit)), Field.Length);
  switch (Kind) {
    case 'D':
      Parts.Day = Digit;
      break;
    case 'M':
      Parts.Month = Digit;
      break;
    case 'H':
      Parts.Hour = kvAdjustHourForAmPm(TwelveHour, Parts.Hour, Digit);
      break;
    case 'N':
      Parts.Min = Digit;
      break;
    case 'S':
      Parts.Sec = Digit;
      break;
    case 'Y':
      Parts.Year = Digit;
      break;
  }
  FDigitEntryOpen = true;
  return true;
}

void TkvDBCustomDateTimePicker::FinishDigitEdit() {
  if (GetDroppedDown() || !FDigitEntryOpen) return;
  FDigitEntryOpen = false;
  const TkvFieldInfo Field = GetFieldInfo(FCurrentField, FValue);
  const std::string& Token = Field.Token;
  TkvDateTimeParts Parts = kvSplitDateTime(FValue);
  if (IsNumericToken(Token)) {
    const std::u32string Chars = Utf8ToUtf32(Text());
    const int S = Field.Position;
    const int Caret = SelStart();
    const int K = std::max(0, Caret - S);
    int Typed = 0;
    for (int Index = S; Index < Caret && Index < int(Chars.size()); ++Index)
      if (Chars[size_t(Index)] >= U'0' && Chars[size_t(Index)] <= U'9') Typed = Typed * 10 + int(Chars[size_t(Index)] - U'0');
    const char Kind = kvTokenKind(Token);
    const bool TwelveHour = kvFormatHasAmPmToken(ExpandedFormat());
    if (!IsFourDigitYear(Token) && K == 1) {
      switch (Kind) {
        case 'D':
          if (Typed != 0) Parts.Day = Typed;
          break;
        case 'M':
          if (Typed != 0) Parts.Month = Typed;
          break;
        case 'H':
          Parts.Hour = kvAdjustHourForAmPm(TwelveHour, Parts.Hour, Typed);
          break;
        case 'Y':
          Parts.Year = kvExpandTwoDigitYear(Typed, FEpoch);
          break;
        default:
          (Kind == 'N' ? Parts.Min : Parts.Sec) = Typed;
          break;
      }
    } else if (K == 1 || K == 2) {
      Parts.Year = kvExpandTwoDigitYear(Typed, FEpoch);
    } else if (K == 3) {
      if (Typed != 0) Parts.Year = Typed;
    } else if (K == 0) {
      if (Kind == 'Y') Parts.Year = kvExpandTwoDigitYear(0, FEpoch);
      if (Kind == 'N') Parts.Min = 0;
      if (Kind == 'S') Parts.Sec = 0;
    }
    Parts.Day = std::min(Parts.Day, std::max(1, kvDaysOfMonth(Parts.Year, Parts.Month)));
  }
  StoreParts(Parts);
  RefreshText();
  SelectCurrentField();
  SetModified(true);
}

// ---- clearing and moving -----------------------------------------------------------------------

void TkvDBCustomDateTimePicker::ClearValue() {
  TField* Field = BoundField();
  const bool HiddenTimeField = IsAutoTimeFormat() && kvIsTimeToken(GetFieldInfo(FCurrentField, FValue).Token);
  if (IsTimeOnly() && Field && Field->DataType() == ftDateTime) {
    StoreValue(std::trunc(FValue));
    SetText("");
    Invalidate();
    ShowCaretNow();
    FCurrentField = 1;
    FUserEmptied = true;
  } else if (HasNoTimePart()) {
    SetDate(0);
    ShowCaretNow();
    FCurrentField = 1;
  } else if (IsAutoTimeFormat() && IsFullTextShown() && HiddenTimeField) {
    // Only the time goes, and with it the time fields.
    StoreValue(std::trunc(FValue));
    FCurrentField = VisibleFieldCount();
    SelectCurrentField();
  } else {
    StoreValue(0);
    SetText("");
    Invalidate();
    ShowCaretNow();
    FCurrentField = 1;
    FUserEmptied = true;
  }
  // A cleared value is a change the record must get.
  if (IsBound()) SetModifiedState(true);
}

void TkvDBCustomDateTimePicker::MoveRight() {
  if (FCurrentField < CountFields()) {
    FinishDigitEdit();
    if (IsAutoTimeFormat() && VisibleFieldCount() >= FCurrentField &&
        Utf8Length(Text()) < Utf8Length(GetFieldInfo(FCurrentField + 1, FValue).Text)) {
      // The time fields are hidden at midnight: give the value a time so that they appear.
      const TDateTime Day = std::trunc(FValue);
      StoreValue(Day != 0 ? Day + TimeOf(Now()) : ::Date());
      SetModified(true);
    }
    FCurrentField = std::min(FCurrentField + 1, VisibleFieldCount());
  } else {
    FinishDigitEdit();
  }
  SelectCurrentField();
}

// ---- KeyDown -----------------------------------------------------------------------------------

void TkvDBCustomDateTimePicker::KeyDown(WORD& Key, TShiftState Shift) {
  const bool AltHeld = Shift.Contains(ssAlt) || GetKeyState(VK_MENU) < 0;
  if (HandleDropDownKeys(Key, Shift, AltHeld)) {
    Key = 0;
    return;
  }
  if (HandToHost(Key, Shift, AltHeld)) return;
  HandleKeyMain(Key, Shift, AltHeld);
}

bool TkvDBCustomDateTimePicker::StartingValue(WORD Key, bool AltHeld) {
  if (!Text().empty() || AltHeld || !(kvIsEditingKey(Key) || Key == VK_RIGHT)) return false;
  const bool NothingToShow = FValue == 0 || (!IsTimeOnly() && std::trunc(FValue) == 0) ||
                             (IsTimeOnly() && FValue == std::trunc(FValue));
  if (!NothingToShow) return false;
  EditCanModify();
  if (IsTimeOnly()) {
    const bool Digit = IsDigitKey(Key) || (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9);
    FValue = Digit ? 0 : TimeOf(Now());
    FUserEmptied = false;
    SetText(ValueToText(FValue));
  } else {
    const TDateTime Today = ::Date();
    TDateTime Start = Today;
    if (FMaxDate != 0 && Today > FMaxDate) {
      Start = FMaxDate;
    } else if (FMinDate != 0 && Today < FMinDate) {
      Start = FMinDate;
    } else if (FAutoFillDateAndTime) {
      Start = (HasNoTimePart() || IsAutoTimeFormat()) ? Today : Now();
    } else if (ExpandedFormat().find('d') == std::string::npos) {
      const TkvDateTimeParts Parts = kvSplitDateTime(Today);
      Start = EncodeDate(Parts.Year, Parts.Month, 1);
    }
    FValue = Start;
    SetText(ValueToText(FValue));
  }
  SetModified(true);
  FCurrentField = 1;
  SelectCurrentField();
  return true;
}

void TkvDBCustomDateTimePicker::HandleKeyMain(WORD& Key, TShiftState Shift, bool AltHeld) {
  TCustomEdit::KeyDown(Key, Shift);  // OnKeyDown
  if (Key == 0) return;
  const int TextLength = int(Utf8Length(Text()));
  auto WholeTextSelected = [&] { return SelStart() == 0 && SelLength() == int(Utf8Length(Text())); };
  if (Key == VK_BACK && !WholeTextSelected()) Key = VK_LEFT;
  if (IsUnboundButConfigured()) return;
  if (TField* Field = BoundField(); Field && Field->Required() && (Key == VK_BACK || Key == VK_DELETE)) {
    const bool HiddenTime = IsAutoTimeFormat() && kvIsTimeToken(GetFieldInfo(FCurrentField, FValue).Token);
    if (!(TextLength > 0 && !WholeTextSelected() && IsAutoTimeFormat() && IsFullTextShown() && HiddenTime)) {
      Key = 0;
      return;
    }
  }
  if (Shift.Contains(ssShift) && Key == VK_RIGHT && FCurrentField == 1) {
    SelectAll();
    Key = 0;
    return;
  }
  if (CanEdit()) {
    Perform(EM_SETREADONLY, 0, 0);
  } else {
    Perform(EM_SETREADONLY, 1, 0);
    Key = 0;
    return;
  }
  const bool InGrid = Parent() && kvInheritsFromClassName(&Parent()->ClassType(), "TCustomGrid");
  if (Shift.Contains(ssCtrl) || (Key == VK_TAB && InGrid) || GetDroppedDown()) return;

  if (!StartingValue(Key, AltHeld) && !Text().empty() && WholeTextSelected()) {
    FCurrentField = 1;
    SelectCurrentField();
  }

  if (!AltHeld) {
    const char Character = char(MapVirtualKey(Key, 2));
    if (Character == '+' || Character == '=')
      Key = VK_UP;
    else if (Character == '-')
      Key = VK_DOWN;
    else if (Character == '/' && FormatSettings().DateSeparator == '/' && FDigitEntryOpen)
      Key = VK_RIGHT;
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) Key = WORD('0' + (Key - VK_NUMPAD0));
    if (FDigitEntryOpen) {
      for (char Separator : {FormatSettings().DateSeparator, FormatSettings().TimeSeparator}) {
        const SHORT Scan = VkKeyScan(Separator);
        if (Scan != -1 && (Scan & 0xFF) == Key && ((Scan >> 8) & 1) == (Shift.Contains(ssShift) ? 1 : 0))
          Key = VK_RIGHT;
      }
    }
  }

  if (Shift.Contains(ssShift) && (Key == VK_HOME || Key == VK_END)) {
    SelectAll();
    Key = 0;
    return;
  }
  const bool Digit = IsDigitKey(Key);
  const bool Letter = !Digit && IsLetterKey(Key);
  const bool Editing = Key == VK_DELETE || Key == VK_BACK || Key == VK_UP || Key == VK_DOWN || Key == VK_HOME ||
                       Key == VK_END || Digit || Letter;
  bool RememberedOpen = FDigitEntryOpen;
  TkvDateTimeParts Parts;
  TkvFieldInfo Field;
  if (Editing) {
    FUserEmptied = false;
    if (Key == VK_DELETE && FDigitEntryOpen) {
      Key = 0;
      return;
    }
    if (Digit || Letter) FDigitEntryOpen = false;
    if (FValue == 0 && !IsTimeOnly() && (Key == VK_HOME || Key == VK_END || Key == VK_UP || Key == VK_DOWN))
      FValue = ::Date();
    Field = GetFieldInfo(FCurrentField, FValue);
    EditCanModify();
  }
  auto SplitNow = [&] {
    Parts = kvSplitDateTime(FValue);
    Field = GetFieldInfo(FCurrentField, FValue);
  };

  bool Store = false;
  switch (Key) {
    case VK_LEFT:
      FinishDigitEdit();
      FCurrentField = std::max(1, std::min(FCurrentField - 1, VisibleFieldCount()));
      SelectCurrentField();
      Key = 0;
      return;
    case VK_RIGHT:
    case VK_SPACE:
      MoveRight();
      Key = 0;
      return;
    case VK_F2:
      SelectCurrentField();
      return;
    case VK_DELETE:
    case VK_BACK:
      ClearValue();
      Key = 0;
      return;
    case VK_UP:
    case VK_DOWN: {
      FinishDigitEdit();
      SplitNow();
      const bool Up = Key == VK_UP;
      const int Interval = std::max(1, FInterval->MinutesInterval());
      switch (kvTokenKind(Field.Token)) {
        case 'A':
          Parts.Hour += Parts.Hour < 12 ? 12 : -12;
          break;
        case 'D':
        case 'M':
        case 'Y':
          StepField(Field.Token, Up ? 1 : -1, true, Parts);
          break;
        case 'H':
          Parts.Hour = Up ? (Parts.Hour + 1) % 24 : (Parts.Hour + 23) % 24;
          break;
        case 'N':
          if (Up) {
            Parts.Min = (Parts.Min + Interval) % 60;
            if (FInterval->RoundMinutes()) Parts.Min -= Parts.Min % Interval;
          } else if (FInterval->RoundMinutes() && Parts.Min % Interval != 0) {
            Parts.Min -= Parts.Min % Interval;
          } else {
            Parts.Min = (Parts.Min - Interval + 60) % 60;
          }
          break;
        case 'S':
          Parts.Sec = Up ? (Parts.Sec + 1) % 60 : (Parts.Sec + 59) % 60;
          break;
      }
      Store = true;
      break;
    }
    case VK_HOME:
    case VK_END:
      FinishDigitEdit();
      SplitNow();
      if (Key == VK_HOME)
        KeyHome(Field.Token, Parts);
      else
        KeyEnd(Field.Token, Parts);
      Store = true;
      break;
    default:
      if (Digit) {
        Parts = kvSplitDateTime(FValue);
        bool Completed = false;
        if (!IsNumericToken(Field.Token) || !EnterDigit(Key - '0', Parts, Field, RememberedOpen, Completed)) {
          MessageBeep(0);
          FDigitEntryOpen = RememberedOpen;
          Key = 0;
          return;
        }
        if (FDigitEntryOpen) {
          KeepPendingValue(Parts);
          return;  // KeyPress swallows the character
        }
        // The field is complete: on to the next one.
        if (FCurrentField < VisibleFieldCount()) {
          StoreParts(Parts);
          ++FCurrentField;
          SelectCurrentField();
        }
        Store = true;
      } else if (Letter) {
        Parts = kvSplitDateTime(FValue);
        if (!KeyLetter(char32_t(Key), Field.Token, Parts)) {
          FDigitEntryOpen = RememberedOpen;
          return;
        }
        Store = true;
      }
      break;
  }
  if (Store) {
    StoreParts(Parts);
    if (IsDateTime() && IsAutoTimeFormat() && FValue != std::trunc(FValue)) {
      const TkvDateTimeParts Now = kvSplitDateTime(FValue);
      if (Now.Hour == 0 && Now.Min == 0 && Now.Sec == 0) {
        FCurrentField = VisibleFieldCount();
        SelectCurrentField();
      }
    }
    FDigitEntryValue = 0;
    SetModified(true);
  }
  if (Key == VK_UP || Key == VK_DOWN || Key == VK_HOME || Key == VK_END) Key = 0;
}

// ---- KeyPress ----------------------------------------------------------------------------------

void TkvDBCustomDateTimePicker::KeyPress(char32_t& Key) {
  const bool InGrid = Parent() && kvInheritsFromClassName(&Parent()->ClassType(), "TCustomGrid");
  const bool InInspector = Parent() && kvInheritsFromClassName(&Parent()->ClassType(), "TkvDataInspector");
  if (!(Key < 32 && Key != 8) && !CanEdit()) {
    Key = 0;
    return;
  }
  const char32_t Typed = Key;
  TCustomEdit::KeyPress(Key);  // OnKeyPress
  if (Key == 0) {
    if (Typed != 0) SetModified(true);
    return;
  }
  if (Key == U' ' && Text().empty()) {
    if (!IsUnboundButConfigured()) {
      EditCanModify();
      StoreValue(Now());
      SetModified(true);
      SelectCurrentField();
    }
    Key = 0;
    return;
  }
  if (Key >= 32) {
    if (TField* Field = BoundField(); Field && !Field->IsValidChar(Key)) {
      MessageBeep(0);
      Key = 0;
      return;
    }
    Key = 0;
    return;
  }
  switch (Key) {
    case 8:
    case 22:
    case 24:
      Key = 0;
      return;
    case 9:
      if (InGrid) Key = 0;
      return;
    case 13:
      if (!InGrid) {
        FinishDigitEdit();
        SelectCurrentField();
      }
      Key = 0;
      return;
    case 27:
      Key = 0;
      if (FEscClosedCalendar) {
        FEscClosedCalendar = false;
        if (Text().empty()) ShowCaretNow();
        return;
      }
      ResetValue();
      SetText(GetDisplayText(FValue));
      SelectCurrentField();
      FDigitEntryOpen = false;
      if (!Text().empty())
        FUserEmptied = false;
      else
        ShowCaretNow();
      if (!InGrid || InInspector)
        SelectAll();
      else if (Parent()->CanFocus())
        Parent()->SetFocus();
      return;
    default:
      return;
  }
}
