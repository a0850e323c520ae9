#include "platform/rtl/numberformat.h"

#include <locale.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/rtl/decimal.h"

namespace {

std::string ExponentText(int Exponent, int MinDigits, bool AlwaysSign) {
  std::string Result;
  if (Exponent < 0)
    Result += '-';
  else if (AlwaysSign)
    Result += '+';
  std::string Digits = std::to_string(std::abs(Exponent));
  if (static_cast<int>(Digits.size()) < MinDigits) Digits.insert(0, MinDigits - Digits.size(), '0');
  return Result + Digits;
}

std::string NonFiniteText(long double Value) {
  if (std::isnan(Value)) return "NAN";
  return Value < 0 ? "-INF" : "INF";
}

// Integer digits of a rounded decimal, grouped by thousands when Separator is not 0.
std::string GroupDigits(const std::string& Digits, char Separator) {
  if (Separator == 0) return Digits;
  std::string Result;
  for (size_t I = 0; I < Digits.size(); ++I) {
    Result += Digits[I];
    const size_t Left = Digits.size() - I - 1;
    if (Left > 0 && Left % 3 == 0) Result += Separator;
  }
  return Result;
}

// "iii.fff" (or "iii" without decimals) of an already rounded decimal.
std::string FixedText(const TDecimal& Number, int Decimals, char DecimalSeparator, char ThousandSeparator) {
  std::string Text = GroupDigits(Number.IntegerDigits(), ThousandSeparator);
  if (Decimals > 0) {
    Text += DecimalSeparator;
    Text += Number.FractionDigits(Decimals);
  }
  return Text;
}

std::string CurrencyText(const std::string& Amount, bool Negative, const TFormatSettings& Settings) {
  const std::string& C = Settings.CurrencyString;
  if (!Negative) {
    switch (Settings.CurrencyFormat) {
      case 1: return Amount + C;
      case 2: return C + " " + Amount;
      case 3: return Amount + " " + C;
      default: return C + Amount;
    }
  }
  switch (Settings.NegCurrFormat) {
    case 1: return "-" + C + Amount;
    case 2: return C + "-" + Amount;
    case 3: return C + Amount + "-";
    case 4: return "(" + Amount + C + ")";
    case 5: return "-" + Amount + C;
    case 6: return Amount + "-" + C;
    case 7: return Amount + C + "-";
    case 8: return "-" + Amount + " " + C;
    case 9: return "-" + C + " " + Amount;
    case 10: return Amount + " " + C + "-";
    case 11: return C + " " + Amount + "-";
    case 12: return C + " -" + Amount;
    case 13: return Amount + "- " + C;
    case 14: return "(" + C + " " + Amount + ")";
    case 15: return "(" + Amount + " " + C + ")";
    default: return "(" + C + Amount + ")";
  }
}

std::string GeneralText(long double Value, int Precision, int ExponentDigits, char DecimalSeparator) {
  if (!std::isfinite(Value)) return NonFiniteText(Value);
  Precision = std::clamp(Precision, 1, 18);
  const TDecimal Number = TDecimal::FromValue(Value, Precision);
  if (Number.IsZero()) return "0";
  std::string Text = Number.Negative ? "-" : "";
  if (Number.Exponent > Precision || Number.Exponent < -3) {
    Text += Number.Digits[0];
    if (Number.Digits.size() > 1) {
      Text += DecimalSeparator;
      Text += Number.Digits.substr(1);
    }
    Text += 'E';
    Text += ExponentText(Number.Exponent - 1, ExponentDigits, false);
    return Text;
  }
  const int Decimals = std::max(0, static_cast<int>(Number.Digits.size()) - Number.Exponent);
  return Text + FixedText(Number, Decimals, DecimalSeparator, 0);
}

}  // namespace

std::string FloatToStr(long double Value) { return FloatToStr(Value, FormatSettings()); }

std::string FloatToStr(long double Value, const TFormatSettings& Settings) {
  return GeneralText(Value, 15, 0, Settings.DecimalSeparator);
}

std::string FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits) {
  return FloatToStrF(Value, Format, Precision, Digits, FormatSettings());
}

std::string FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits,
                        const TFormatSettings& Settings) {
  if (!std::isfinite(Value)) return NonFiniteText(Value);
  Precision = std::clamp(Precision, 1, 18);
  switch (Format) {
    case ffGeneral:
      return GeneralText(Value, Precision, std::clamp(Digits, 0, 4), Settings.DecimalSeparator);
    case ffExponent: {
      const TDecimal Number = TDecimal::FromValue(Value, Precision);
      std::string Text = Number.Negative && !Number.IsZero() ? "-" : "";
      std::string Mantissa = Number.Digits;
      Mantissa.resize(Precision, '0');
      Text += Mantissa[0];
      if (Precision > 1) {
        Text += Settings.DecimalSeparator;
        Text += Mantissa.substr(1);
      }
      Text += 'E';
      Text += ExponentText(Number.IsZero() ? 0 : Number.Exponent - 1, std::clamp(Digits, 0, 4), true);
      return Text;
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      Digits = std::clamp(Digits, 0, 18);
      TDecimal Number = TDecimal::FromValue(Value, Precision);
      // Too many integer digits for the precision: the class library falls back to general.
      if (Number.Exponent > Precision) return GeneralText(Value, Precision, 0, Settings.DecimalSeparator);
      Number.RoundToDecimals(Digits);
      const char Thousands = Format == ffFixed ? 0 : Settings.ThousandSeparator;
      const std::string Amount = FixedText(Number, Digits, Settings.DecimalSeparator, Thousands);
      const bool Negative = Number.Negative && !Number.IsZero();
      if (Format == ffCurrency) return CurrencyText(Amount, Negative, Settings);
      return Negative ? "-" + Amount : Amount;
    }
  }
  return std::string();
}

namespace {

// One section of a FormatFloat format, as read before anything is printed.
struct TFloatSection {
  std::string Text;
  int IntegerPlaces = 0;   // "0" and "#" before the decimal point (or before the exponent)
  int MinIntegerDigits = 0;  // places from the first "0" of the integer part to its end
  int FractionPlaces = 0;
  int MinFractionDigits = 0;  // places up to the last "0" of the fraction
  bool HasPoint = false;
  bool Thousands = false;
  bool Scientific = false;
  int ExponentDigits = 0;
};

std::vector<std::string> SplitSections(const std::string& Format) {
  std::vector<std::string> Sections(1);
  char Quote = 0;
  for (char C : Format) {
    if (Quote != 0) {
      if (C == Quote) Quote = 0;
    } else if (C == '\'' || C == '"') {
      Quote = C;
    } else if (C == ';') {
      Sections.emplace_back();
      continue;
    }
    Sections.back() += C;
  }
  return Sections;
}

bool IsExponentAt(const std::string& Text, size_t I) {
  return (Text[I] == 'E' || Text[I] == 'e') && I + 1 < Text.size() && (Text[I + 1] == '+' || Text[I + 1] == '-');
}

TFloatSection ParseSection(const std::string& Text) {
  TFloatSection Section;
  Section.Text = Text;
  int FirstIntegerZero = -1;
  for (size_t I = 0; I < Text.size(); ++I) {
    const char C = Text[I];
    if (C == '\'' || C == '"') {
      const size_t Close = Text.find(C, I + 1);
      I = Close == std::string::npos ? Text.size() : Close;
      continue;
    }
    if (Section.Scientific) continue;
    if (C == '0' || C == '#') {
      if (Section.HasPoint) {
        ++Section.FractionPlaces;
        if (C == '0') Section.MinFractionDigits = Section.FractionPlaces;
      } else {
        if (C == '0' && FirstIntegerZero < 0) FirstIntegerZero = Section.IntegerPlaces;
        ++Section.IntegerPlaces;
      }
    } else if (C == '.') {
      Section.HasPoint = true;
    } else if (C == ',') {
      Section.Thousands = true;
    } else if (IsExponentAt(Text, I)) {
      Section.Scientific = true;
      size_t J = I + 2;
      while (J < Text.size() && Text[J] == '0') ++J;
      Section.ExponentDigits = std::min(4, static_cast<int>(J - I - 2));
    }
  }
  if (FirstIntegerZero >= 0) Section.MinIntegerDigits = Section.IntegerPlaces - FirstIntegerZero;
  return Section;
}

// Prints a section for the magnitude in Number (already rounded as the section asks).
std::string PrintSection(const TFloatSection& Section, const TDecimal& Number, int ShownExponent,
                         const TFormatSettings& Settings) {
  std::string IntegerDigits, FractionDigits;
  if (Section.Scientific) {
    std::string Mantissa = Number.Digits;
    const size_t Places = static_cast<size_t>(Section.IntegerPlaces + Section.FractionPlaces);
    Mantissa.resize(std::max(Places, Mantissa.size()), '0');
    IntegerDigits = Mantissa.substr(0, Section.IntegerPlaces);
    FractionDigits = Mantissa.substr(Section.IntegerPlaces);
  } else {
    IntegerDigits = Number.IntegerDigits();
    if (IntegerDigits == "0") IntegerDigits.clear();
    FractionDigits = Number.FractionDigits(Section.FractionPlaces);
  }
  while (static_cast<int>(FractionDigits.size()) > Section.MinFractionDigits && FractionDigits.back() == '0')
    FractionDigits.pop_back();

  const int IntegerCount = static_cast<int>(IntegerDigits.size());
  const char Separator = Section.Thousands ? Settings.ThousandSeparator : 0;
  std::string Out;
  // Puts the digit at place Place (1 = just left of the decimal point) and the group separator
  // that follows it.
  const auto PutDigit = [&](char Digit, int Place) {
    Out += Digit;
    if (Separator != 0 && Place > 1 && (Place - 1) % 3 == 0) Out += Separator;
  };
  bool ExcessPrinted = false;
  const auto PrintExcess = [&](int AbovePlace) {
    if (ExcessPrinted) return;
    ExcessPrinted = true;
    for (int Place = IntegerCount; Place > AbovePlace; --Place) PutDigit(IntegerDigits[IntegerCount - Place], Place);
  };

  const std::string& Text = Section.Text;
  int NextPlace = Section.IntegerPlaces;
  int FractionIndex = 0;
  bool InFraction = false, InExponent = false;
  for (size_t I = 0; I < Text.size(); ++I) {
    const char C = Text[I];
    if (C == '\'' || C == '"') {
      const size_t Close = Text.find(C, I + 1);
      const size_t End = Close == std::string::npos ? Text.size() : Close;
      Out.append(Text, I + 1, End - I - 1);
      I = End;
      continue;
    }
    if (InExponent) {
      Out += C;
      continue;
    }
    if ((C == '0' || C == '#') && !InFraction) {
      PrintExcess(Section.IntegerPlaces);
      const int Place = NextPlace--;
      if (Place <= IntegerCount)
        PutDigit(IntegerDigits[IntegerCount - Place], Place);
      else if (Place <= Section.MinIntegerDigits)
        PutDigit('0', Place);
    } else if (C == '0' || C == '#') {
      if (FractionIndex < static_cast<int>(FractionDigits.size())) Out += FractionDigits[FractionIndex];
      ++FractionIndex;
    } else if (C == '.') {
      if (!InFraction) {
        PrintExcess(0);
        InFraction = true;
        if (!FractionDigits.empty()) Out += Settings.DecimalSeparator;
      }
    } else if (C == ',') {
      // Only switches grouping on.
    } else if (Section.Scientific && IsExponentAt(Text, I)) {
      PrintExcess(0);
      Out += C;
      Out += ExponentText(ShownExponent, std::max(1, Section.ExponentDigits), Text[I + 1] == '+');
      I += 1 + Section.ExponentDigits;
      // Further zeros past the four exponent digits are literal text.
      InExponent = true;
    } else {
      Out += C;
    }
  }
  // A section without any digit place still shows the number's integer digits.
  PrintExcess(0);
  return Out;
}

}  // namespace

std::string FormatFloat(const std::string& Format, long double Value) {
  return FormatFloat(Format, Value, FormatSettings());
}

std::string FormatFloat(const std::string& Format, long double Value, const TFormatSettings& Settings) {
  if (Format.empty() || !std::isfinite(Value) || std::fabs(Value) >= 1e18L) return FloatToStr(Value, Settings);
  const std::vector<std::string> Texts = SplitSections(Format);
  const auto SectionText = [&](size_t Index) -> const std::string& {
    return Index < Texts.size() && !Texts[Index].empty() ? Texts[Index] : Texts[0];
  };
  const bool Negative = Value < 0;
  const bool OwnNegativeSection = Negative && Texts.size() > 1 && !Texts[1].empty();
  size_t Chosen = Value == 0 ? 2 : (Negative ? 1 : 0);

  for (int Attempt = 0; Attempt < 2; ++Attempt) {
    const TFloatSection Section = ParseSection(SectionText(Chosen));
    TDecimal Number;
    int ShownExponent = 0;
    if (Section.Scientific) {
      const int Places = std::max(1, Section.IntegerPlaces + Section.FractionPlaces);
      Number = TDecimal::FromValue(std::fabs(Value), Places);
      if (!Number.IsZero()) ShownExponent = Number.Exponent - Section.IntegerPlaces;
    } else {
      Number = TDecimal::FromValue(std::fabs(Value), 18);
      Number.RoundToDecimals(Section.FractionPlaces);
    }
    // A value that rounds to zero takes the zero section, once.
    if (Number.IsZero() && Chosen != 2 && Attempt == 0 && Texts.size() > 2 && !Texts[2].empty()) {
      Chosen = 2;
      continue;
    }
    std::string Text = PrintSection(Section, Number, ShownExponent, Settings);
    if (Negative && !OwnNegativeSection && Chosen != 2 && !Number.IsZero()) Text.insert(0, 1, '-');
    return Text;
  }
  return std::string();
}

namespace {

// The C locale, for strtold: the text handed to it always uses "." as its decimal point, whatever
// the process locale says.
locale_t CLocale() {
  static const locale_t Locale = newlocale(LC_ALL_MASK, "C", nullptr);
  return Locale;
}

}  // namespace

bool TryStrToFloat(const std::string& S, long double& Value, const TFormatSettings& Settings) {
  size_t I = 0;
  const auto Digit = [&](size_t At) { return At < S.size() && S[At] >= '0' && S[At] <= '9'; };
  while (I < S.size() && S[I] == ' ') ++I;
  std::string Plain;
  if (I < S.size() && (S[I] == '+' || S[I] == '-')) Plain += S[I++];
  size_t Digits = 0;
  for (; Digit(I); ++I, ++Digits) Plain += S[I];
  if (I < S.size() && S[I] == Settings.DecimalSeparator) {
    Plain += '.';
    for (++I; Digit(I); ++I, ++Digits) Plain += S[I];
  }
  if (Digits == 0) return false;
  if (I < S.size() && (S[I] == 'E' || S[I] == 'e')) {
    Plain += 'e';
    ++I;
    if (I < S.size() && (S[I] == '+' || S[I] == '-')) Plain += S[I++];
    if (!Digit(I)) return false;
    for (; Digit(I); ++I) Plain += S[I];
  }
  while (I < S.size() && S[I] == ' ') ++I;
  if (I != S.size()) return false;
  const long double Result = strtold_l(Plain.c_str(), nullptr, CLocale());
  // Overflow is an error; a value too small to represent reads as zero.
  if (std::isinf(Result)) return false;
  Value = Result;
  return true;
}

bool TryStrToFloat(const std::string& S, long double& Value) { return TryStrToFloat(S, Value, FormatSettings()); }

bool TryStrToFloat(const std::string& S, double& Value) {
  long double Wide;
  if (!TryStrToFloat(S, Wide) || std::fabs(Wide) > 1.7976931348623157e308L) return false;
  Value = static_cast<double>(Wide);
  return true;
}

long double StrToFloat(const std::string& S) { return StrToFloat(S, FormatSettings()); }

long double StrToFloat(const std::string& S, const TFormatSettings& Settings) {
  long double Value;
  if (!TryStrToFloat(S, Value, Settings)) throw EConvertError("'" + S + "' is not a valid floating point value");
  return Value;
}

long double StrToFloatDef(const std::string& S, long double Default) {
  long double Value;
  return TryStrToFloat(S, Value) ? Value : Default;
}

bool TextToFloat(const std::string& S, long double& Value) { return TryStrToFloat(S, Value); }
bool TextToFloat(const std::string& S, long double& Value, const TFormatSettings& Settings) {
  return TryStrToFloat(S, Value, Settings);
}
