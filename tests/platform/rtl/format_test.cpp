#include "platform/rtl/format.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(Format, Specifiers) {
  struct TCase {
    std::string Actual;
    const char* Expected;
    const char* Covers;
  };
  const TCase Cases[] = {
      {Format("%d", 42), "42", "integer"},
      {Format("%d", -42), "-42", "negative integer"},
      {Format("%d", int64_t(-9000000000)), "-9000000000", "64-bit integer"},
      {Format("%d", uint64_t(18000000000000000000ull)), "18000000000000000000", "unsigned 64-bit"},
      {Format("%.3d", -5), "-005", "precision pads digits after the sign"},
      {Format("%5d|%-5d|", 42, 42), "   42|42   |", "width, right and left"},
      {Format("%02d", 5), " 5", "a leading zero in the width is no flag"},
      {Format("%.2d:%.2d", 9, 5), "09:05", "zero padding through precision"},
      {Format("%u", -1), "4294967295", "unsigned view of a 32-bit value"},
      {Format("%u", int64_t(-1)), "18446744073709551615", "unsigned view of a 64-bit value"},
      {Format("%x", 255), "FF", "hexadecimal is upper case"},
      {Format("%.4x", 255), "00FF", "hexadecimal with precision"},
      {Format("%x", -1), "FFFFFFFF", "negative hexadecimal in its own width"},
      {Format("%s and %s", "this", std::string("that")), "this and that", "strings"},
      {Format("%s", 'c'), "c", "a char is text"},
      {Format("%.3s|%5s|%-5s|", "abcdef", "ab", "ab"), "abc|   ab|ab   |", "text precision and width"},
      {Format("%4s|%.2s", "ёж", "жёлтый"), "  ёж|жё", "widths and precisions count characters"},
      {Format("%f", 2.5), "2.50", "fixed, two decimals by default"},
      {Format("%.1f", -0.25), "-0.3", "fixed rounds half away from zero"},
      {Format("%.0f", 2.5), "3", "no decimals"},
      {Format("%e", 1234.5), "1.23450000000000E+003", "scientific, 15 digits"},
      {Format("%.3e", 1234.5), "1.23E+003", "scientific precision"},
      {Format("%g", 2.5), "2.5", "general"},
      {Format("%n", 1234567.5), "1,234,567.50", "number with thousand separators"},
      {Format("%m", -1234.5), "($1,234.50)", "money"},
      {Format("%8.2f|", 3.14159), "    3.14|", "width with floats"},
      {Format("%*d|%-*d|", 4, 7, 3, 7), "   7|7  |", "* takes width from the arguments"},
      {Format("%.*f", 1, 2.25), "2.3", "* takes precision from the arguments"},
      {Format("%1:s %0:s %s", "a", "b"), "b a b", "an index sets the next argument"},
      {Format("100%%"), "100%", "percent sign"},
      {Format("no specifiers"), "no specifiers", "plain text"},
      {Format("%d%%", 50), "50%", "specifier then percent"},
      {Format("%p", static_cast<void*>(nullptr)), "0000000000000000", "null pointer"},
      {Format("%p", reinterpret_cast<void*>(uintptr_t(0xAB))), "00000000000000AB", "pointer"},
      {Format("%D %S", 1, "x"), "1 x", "type letters in any case"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Covers);
    EXPECT_EQ(Case.Actual, Case.Expected);
  }
  TFormatSettings Comma;
  Comma.DecimalSeparator = ',';
  const TFormatArg Args[] = {2.5};
  EXPECT_EQ(FormatArgs("%f", Args, Comma), "2,50");
}

TEST(Format, MismatchedOrMissingArgumentsRaise) {
  struct TCase {
    const char* Name;
    std::string (*Call)();
    const char* Message;
  };
  const TCase Cases[] = {
      {"string for %d", [] { return Format("%d", "x"); }, "Format '%d' invalid or incompatible with argument"},
      {"float for %d", [] { return Format("%d", 1.5); }, "Format '%d' invalid or incompatible with argument"},
      {"integer for %f", [] { return Format("%f", 1); }, "Format '%f' invalid or incompatible with argument"},
      {"integer for %s", [] { return Format("%s", 1); }, "Format '%s' invalid or incompatible with argument"},
      {"boolean for %d", [] { return Format("%d", true); }, "Format '%d' invalid or incompatible with argument"},
      {"string for *", [] { return Format("%*d", "x", 1); }, "Format '%*d' invalid or incompatible with argument"},
      {"unknown type", [] { return Format("%k", 1); }, "Format '%k' invalid or incompatible with argument"},
      {"percent at the end", [] { return Format("50%", 1); }, "Format '50%' invalid or incompatible with argument"},
      {"no argument", [] { return Format("%d %d", 1); }, "No argument for format '%d %d'"},
      {"index past the end", [] { return Format("%3:d", 1); }, "No argument for format '%3:d'"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      Case.Call();
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& Error) {
      EXPECT_EQ(Error.Message(), Case.Message);
    }
  }
}

}  // namespace
