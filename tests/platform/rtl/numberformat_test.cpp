#include "platform/rtl/numberformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TFormatSettings CommaDecimals() {
  TFormatSettings Settings;
  Settings.DecimalSeparator = ',';
  Settings.ThousandSeparator = '.';
  return Settings;
}

TEST(FloatToStr, GeneralFormatWithFifteenDigits) {
  struct TCase {
    long double Value;
    const char* Expected;
    const char* Covers;
  };
  const TCase Cases[] = {
      {5, "5", "a whole number has no decimals"},
      {2.5, "2.5", "one decimal"},
      {-3.5, "-3.5", "negative"},
      {0, "0", "zero"},
      {0.1 + 0.2, "0.3", "binary noise past 15 digits is rounded away"},
      {1.0 / 3, "0.333333333333333", "15 significant digits"},
      {123456789012345.0, "123456789012345", "15 integer digits stay fixed"},
      {1234567890123456.0, "1.23456789012346E15", "16 integer digits turn scientific"},
      {1e20, "1E20", "the exponent has no plus sign and no padding"},
      {0.0001, "0.0001", "small values stay fixed down to 1E-4"},
      {0.00001, "1E-5", "and turn scientific below"},
      {-1.5e-10, "-1.5E-10", "negative exponent"},
      {1234567.125, "1234567.125", "no thousand separators"},
      {std::numeric_limits<double>::infinity(), "INF", "infinity"},
      {-std::numeric_limits<double>::infinity(), "-INF", "negative infinity"},
      {std::nan(""), "NAN", "not a number"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Covers);
    EXPECT_EQ(FloatToStr(Case.Value), Case.Expected);
  }
  EXPECT_EQ(FloatToStr(2.5, CommaDecimals()), "2,5");
  TScopedFormatSettings Scoped(CommaDecimals());
  EXPECT_EQ(FloatToStr(-1234.5), "-1234,5");
}

TEST(FloatToStrF, EachFormat) {
  EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 6, 3), "1.23450E+003");
  EXPECT_EQ(FloatToStrF(-0.00012, ffExponent, 3, 0), "-1.20E-4");
  EXPECT_EQ(FloatToStrF(1234.5678, ffFixed, 15, 2), "1234.57");
  EXPECT_EQ(FloatToStrF(0.125, ffFixed, 15, 2), "0.13");  // half away from zero
  EXPECT_EQ(FloatToStrF(-0.001, ffFixed, 15, 2), "0.00");
  EXPECT_EQ(FloatToStrF(1.23456789, ffFixed, 3, 5), "1.23000");  // precision first, then decimals
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2), "1,234,567.89");
  EXPECT_EQ(FloatToStrF(-1234.5, ffNumber, 15, 0), "-1,235");
  EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2), "$1,234.50");
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2), "($1,234.50)");
  TFormatSettings Euro = CommaDecimals();
  Euro.CurrencyString = "€";
  Euro.CurrencyFormat = 3;
  Euro.NegCurrFormat = 8;
  EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2, Euro), "1.234,50 €");
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, Euro), "-1.234,50 €");
}

TEST(StrToFloat, ReadsNumbersWithTheLocalesSeparator) {
  struct TCase {
    const char* Text;
    long double Expected;
  };
  const TCase Cases[] = {
      {"5", 5},          {"2.5", 2.5},    {"-3.5", -3.5},    {"+7", 7},          {"  12.25  ", 12.25},
      {".5", 0.5},      {"5.", 5},      {"1e3", 1000},  {"1.5E-2", 0.015L},   {"-2E+2", -200},
      {"1e-5000", 0},  // too small to hold: zero
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    long double Value = -99;
    ASSERT_TRUE(TryStrToFloat(Case.Text, Value));
    EXPECT_EQ(Value, Case.Expected);
  }
  // What FloatToStr writes reads back exactly enough to print the same again.
  for (long double Value : {5.0L, 2.5L, -3.5L, 1.0L / 3, 1e20L, 1.5e-10L}) {
    EXPECT_EQ(FloatToStr(StrToFloat(FloatToStr(Value))), FloatToStr(Value));
  }
  EXPECT_EQ(StrToFloat("2,5", CommaDecimals()), 2.5);
}

TEST(StrToFloat, RefusesWhatIsNoNumber) {
  const char* const Cases[] = {"", " ", "abc", "1,5", "1.2.3", "1e", "e5", ".", "-", "1 000", "0x10", "1e99999"};
  for (const char* Text : Cases) {
    SCOPED_TRACE(Text);
    long double Value = 7;
    EXPECT_FALSE(TryStrToFloat(Text, Value));
    EXPECT_EQ(Value, 7);
  }
  // With a comma separator the point is refused.
  long double Value;
  EXPECT_FALSE(TryStrToFloat("2.5", Value, CommaDecimals()));
  try {
    StrToFloat("12a");
    FAIL() << "no exception";
  } catch (const EConvertError& Error) {
    EXPECT_EQ(Error.Message(), "'12a' is not a valid floating point value");
  }
  EXPECT_EQ(StrToFloatDef("x", 1.5), 1.5);
  double Narrow;
  EXPECT_FALSE(TryStrToFloat("1e400", Narrow));  // fits an extended, not a double
}

TEST(FormatFloat, Sections) {
  struct TCase {
    const char* Format;
    long double Value;
    const char* Expected;
    const char* Covers;
  };
  const TCase Cases[] = {
      {"0.00", 1234.567, "1234.57", "fixed decimals, rounded"},
      {"0.00", 0.125, "0.13", "half away from zero"},
      {"#.##", 0.5, ".5", "# shows no leading zero"},
      {"#.##", 5, "5", "no decimals left: no separator either"},
      {"0.0#", 5.1, "5.1", "optional trailing decimals"},
      {"000", 7, "007", "forced integer digits"},
      {"#0#", 5, "05", "digits forced from the first 0"},
      {"#", 0, "", "nothing forced, zero prints nothing"},
      {".00", 12.5, "12.50", "integer digits without an integer place"},
      {"#,##0.00", 1234567.891, "1,234,567.89", "thousand separators"},
      {"#,##0", -1234, "-1,234", "minus before the first digit"},
      {"0,000", 5, "0,005", "separators between forced zeros"},
      {"$#,##0.00", -5, "-$5.00", "the minus leads the whole text"},
      {"0.00;(0.00)", -5, "(5.00)", "a negative section prints the magnitude"},
      {"0.00;;zero", 0, "zero", "zero section"},
      {"0.0;-0.0;'nil'", 0.04, "nil", "a value rounding to zero takes the zero section"},
      {"0.0", -0.04, "0.0", "and shows no minus without one"},
      {"0.00;", -5, "-5.00", "an empty negative section falls back to the first"},
      {"0.00E+00", 1234.5, "1.23E+03", "scientific"},
      {"0.00e-00", 1234.5, "1.23e03", "e- prints only a negative sign"},
      {"0.00E-0", 0.00012345, "1.23E-4", "negative exponent"},
      {"00.0E+0", 1234.5, "12.3E+2", "two integer places in the mantissa"},
      {"0.0E+00", 0, "0.0E+00", "zero in scientific"},
      {"\"Total: \"0.0", 3.25, "Total: 3.3", "quoted text"},
      {"0.0 'kg;g'", 2, "2.0 kg;g", "a ; in quotes does not split"},
      {"", 2.5, "2.5", "empty format: general"},
      {"0.0", 1e20, "1E20", "too large for fixed: general"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Format) + ": " + Case.Covers);
    EXPECT_EQ(FormatFloat(Case.Format, Case.Value), Case.Expected);
  }
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, CommaDecimals()), "1.234,50");
}

}  // namespace
