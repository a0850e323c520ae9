#pragma once
// A decimal form of a floating-point value for the text conversions: significant digits and the
// place of the decimal point. Rounding to decimals works on these digits, half away from zero, as
// the class library rounds what it prints (0.125 with two decimals prints 0.13).

#include <string>

struct TDecimal {
  std::string Digits;  // significant digits without trailing zeros; empty for zero
  int Exponent = 0;    // the value is 0.Digits times 10 to the power Exponent
  bool Negative = false;

  // Rounded to Precision (1..18) significant digits.
  static TDecimal FromValue(long double Value, int Precision);
  bool IsZero() const { return Digits.empty(); }
  void RoundToDecimals(int Decimals);
  // The digits before the decimal point ("0" when there are none).
  std::string IntegerDigits() const;
  // Exactly Count digits after the decimal point.
  std::string FractionDigits(int Count) const;
};
