#include "platform/rtl/decimal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

void StripTrailingZeros(TDecimal& Number) {
  while (!Number.Digits.empty() && Number.Digits.back() == '0') Number.Digits.pop_back();
  if (Number.Digits.empty()) Number.Exponent = 0;
}

}  // namespace

TDecimal TDecimal::FromValue(long double Value, int Precision) {
  TDecimal Number;
  Number.Negative = std::signbit(Value);
  if (Value == 0 || !std::isfinite(Value)) return Number;
  char Buffer[64];  // at most 18 digits, a point and "e+4932"
  const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, std::fabs(Value),
                                    std::chars_format::scientific, Precision - 1);
  *Result.ptr = '\0';
  // "d.ddde+XX"
  const char* P = Buffer;
  for (; P < Result.ptr && *P != 'e'; ++P)
    if (*P != '.') Number.Digits += *P;
  Number.Exponent = std::atoi(P + 1) + 1;
  StripTrailingZeros(Number);
  return Number;
}

void TDecimal::RoundToDecimals(int Decimals) {
  const int Keep = Exponent + Decimals;
  if (Keep >= static_cast<int>(Digits.size())) return;
  if (Keep < 0) {
    Digits.clear();
    Exponent = 0;
    return;
  }
  const bool Up = Digits[Keep] >= '5';
  Digits.resize(Keep);
  if (Up) {
    int I = Keep - 1;
    while (I >= 0 && Digits[I] == '9') Digits[I--] = '0';
    if (I >= 0) {
      ++Digits[I];
    } else {
      Digits.insert(Digits.begin(), '1');
      ++Exponent;
    }
  }
  StripTrailingZeros(*this);
}

std::string TDecimal::IntegerDigits() const {
  if (Exponent <= 0 || Digits.empty()) return "0";
  std::string Result = Digits.substr(0, Exponent);
  Result.resize(Exponent, '0');
  return Result;
}

std::string TDecimal::FractionDigits(int Count) const {
  std::string Result;
  for (int I = 0; I < Count; ++I) {
    const int Index = Exponent + I;
    Result += Index >= 0 && Index < static_cast<int>(Digits.size()) ? Digits[Index] : '0';
  }
  return Result;
}
