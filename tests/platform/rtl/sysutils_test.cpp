#include "platform/rtl/sysutils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

TEST(Trim, RemovesBlanksAndControlCharactersOnly) {
  struct TCase {
    const char* Name;
    std::string Text, Both, Left, Right;
  };
  const TCase Cases[] = {
      {"blanks", "  a b  ", "a b", "a b  ", "  a b"},
      {"control characters", "\t\r\n a\x01\x1f", "a", "a\x01\x1f", "\t\r\n a"},
      {"nothing to trim", "abc", "abc", "abc", "abc"},
      {"only blanks", " \t ", "", "", ""},
      {"empty", "", "", "", ""},
      {"Cyrillic text keeps its bytes", " \tПапка Фото\r\n", "Папка Фото", "Папка Фото\r\n", " \tПапка Фото"},
      {"a non-breaking space is no blank", "\xC2\xA0x\xC2\xA0", "\xC2\xA0x\xC2\xA0", "\xC2\xA0x\xC2\xA0",
       "\xC2\xA0x\xC2\xA0"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Trim(Case.Text), Case.Both);
    EXPECT_EQ(TrimLeft(Case.Text), Case.Left);
    EXPECT_EQ(TrimRight(Case.Text), Case.Right);
  }
}

TEST(CaseConversion, AsciiFormsFoldAToZOnlyAndAnsiFormsUseTheCaseMap) {
  EXPECT_EQ(UpperCase("abc xyz ёж 1"), "ABC XYZ ёж 1");
  EXPECT_EQ(LowerCase("ABC ЁЖ"), "abc ЁЖ");
  EXPECT_EQ(AnsiUpperCase("Папка фото ёж"), "ПАПКА ФОТО ЁЖ");
  EXPECT_EQ(AnsiLowerCase("ПАПКА Ёж ÀÉ ΣΩ"), "папка ёж àé σω");
  EXPECT_EQ(AnsiUpperCase("straße ÿ"), "STRAßE Ÿ");  // no one-to-one upper case for ß
}

TEST(Comparison, OrderAndCaseRules) {
  struct TCase {
    const char* Name;
    const char* A;
    const char* B;
    int Str, Text, AnsiText;
  };
  const TCase Cases[] = {
      {"equal", "abc", "abc", 0, 0, 0},
      {"case only", "abc", "ABC", 1, 0, 0},
      {"prefix is smaller", "ab", "abc", -1, -1, -1},
      {"upper-case fold: '_' sorts after letters", "a_", "AB", 1, 1, 1},
      {"Cyrillic case differs", "ёж", "ЁЖ", 1, 1, 0},
      {"bytes above 127 sort after ASCII", "я", "z", 1, 1, 1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(CompareStr(Case.A, Case.B), Case.Str);
    EXPECT_EQ(CompareText(Case.A, Case.B), Case.Text);
    EXPECT_EQ(AnsiCompareText(Case.A, Case.B), Case.AnsiText);
    EXPECT_EQ(SameText(Case.A, Case.B), Case.Text == 0);
    EXPECT_EQ(AnsiSameText(Case.A, Case.B), Case.AnsiText == 0);
  }
}

TEST(Comparison, TheWindowSystemsTextOrderFoldsCaseFirst) {
  struct TCase {
    const char* Name;
    const char* A;
    const char* B;
    int Sign;
  };
  const TCase Cases[] = {
      {"letters before case", "apple", "Banana", -1},
      {"equal", "Arial", "Arial", 0},
      {"only case differs: lower first", "arial", "Arial", -1},
      {"prefix first", "Ari", "arial", -1},
      {"Cyrillic folds too", "ёлка", "Жук", -1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const int Result = lstrcmpA(Case.A, Case.B);
    EXPECT_EQ((Result > 0) - (Result < 0), Case.Sign);
    const int Back = lstrcmpA(Case.B, Case.A);
    EXPECT_EQ((Back > 0) - (Back < 0), -Case.Sign);
  }
}

TEST(StrToInt, AcceptsDecimalAndHexadecimal) {
  struct TCase {
    const char* Text;
    int32_t Expected;
  };
  const TCase Cases[] = {
      {"0", 0},
      {"42", 42},
      {"-42", -42},
      {"+42", 42},
      {"  42", 42},  // blanks before the number
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"$1A", 26},
      {"$1a", 26},
      {"0x1A", 26},
      {"0X1a", 26},
      {"-$10", -16},
      {"$FFFFFFFF", -1},  // hexadecimal uses the full 32 bits
      {"$80000000", -2147483647 - 1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    EXPECT_EQ(StrToInt(Case.Text), Case.Expected);
    int32_t Value = 0;
    EXPECT_TRUE(TryStrToInt(Case.Text, Value));
    EXPECT_EQ(Value, Case.Expected);
  }
}

TEST(StrToInt, RefusesAnythingButAnInteger) {
  const char* const Cases[] = {
      "",             // empty
      "   ",          // blanks only
      "12 ",          // blanks after the number
      "12a",          // trailing letter
      "1.5",          // a float
      "1,000",        // thousand separator
      "- 1",          // blank after the sign
      "+",            // sign only
      "$",            // hex prefix only
      "0x",           //
      "$1G",          // not a hex digit
      "2147483648",   // one past the largest
      "-2147483649",  // one past the smallest
      "$100000000",   // more than 32 bits
      "99999999999999999999999",
      "\t5",          // only blanks are skipped, not tabs
      "٣",            // a digit, but not an ASCII one
  };
  for (const char* Text : Cases) {
    SCOPED_TRACE(Text);
    int32_t Value = 99;
    EXPECT_FALSE(TryStrToInt(Text, Value));
    EXPECT_EQ(Value, 99);
    EXPECT_EQ(StrToIntDef(Text, -7), -7);
    try {
      StrToInt(Text);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& Error) {
      EXPECT_EQ(Error.Message(), "'" + std::string(Text) + "' is not a valid integer value");
    }
  }
}

TEST(StrToInt64, UsesTheWholeSixtyFourBits) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("2147483648"), 2147483648LL);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_EQ(StrToInt64Def("x", 5), 5);
}

TEST(IntToText, DecimalAndHexadecimal) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToHex(0xFF, 6), "0000FF");  // red as a colour entry shows it
  EXPECT_EQ(IntToHex(static_cast<int32_t>(0x8000000F), 6), "8000000F");  // a system colour, 8 digits
  EXPECT_EQ(IntToHex(0x1FFFFFFF, 6), "1FFFFFFF");
  EXPECT_EQ(IntToHex(int64_t(-1), 4), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(0xABC, 0), "ABC");
  EXPECT_EQ(StrToBool("true"), true);
  EXPECT_EQ(StrToBool("0"), false);
  EXPECT_THROW(StrToBool("yes"), EConvertError);
}

TEST(Searching, PosAndStringReplace) {
  EXPECT_EQ(Pos("b", "abcb"), 2);
  EXPECT_EQ(Pos("b", "abcb", 3), 4);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);

  struct TCase {
    const char* Name;
    const char *Text, *Old, *New;
    TReplaceFlags Flags;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"first only", "a-b-c", "-", "+", 0, "a+b-c"},
      {"all", "a-b-c", "-", "+", rfReplaceAll, "a+b+c"},
      {"case matters by default", "Aa", "a", "x", rfReplaceAll, "Ax"},
      {"ignoring case", "Aa", "a", "x", rfReplaceAll | rfIgnoreCase, "xx"},
      {"inserted text is not searched again", "aa", "a", "aa", rfReplaceAll, "aaaa"},
      {"Cyrillic ignoring case", "Фото фОТО", "фото", "img", rfReplaceAll | rfIgnoreCase, "img img"},
      {"folding that changes byte length", "ıx", "IX", "-", rfIgnoreCase, "-"},
      {"empty pattern", "abc", "", "x", rfReplaceAll, "abc"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(StringReplace(Case.Text, Case.Old, Case.New, Case.Flags), Case.Expected);
  }
}

TEST(Quoting, QuotedStrAndAnsiDequotedStr) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiDequotedStr("'it''s'", '\''), "it's");
  EXPECT_EQ(AnsiDequotedStr("\"a\" rest", '"'), "a");
  EXPECT_EQ(AnsiDequotedStr("plain", '"'), "plain");
  EXPECT_EQ(AnsiDequotedStr("\"open", '"'), "\"open");
  EXPECT_EQ(AnsiDequotedStr(QuotedStr("x''y"), '\''), "x''y");
}

// Sets or clears an environment variable for one test.
class TScopedEnvironment {
 public:
  TScopedEnvironment(const char* Name, const char* Value) : FName(Name) {
    if (const char* Old = std::getenv(Name)) FOld = Old;
    if (Value != nullptr)
      ::setenv(Name, Value, 1);
    else
      ::unsetenv(Name);
  }
  ~TScopedEnvironment() {
    if (FOld)
      ::setenv(FName, FOld->c_str(), 1);
    else
      ::unsetenv(FName);
  }

 private:
  const char* FName;
  std::optional<std::string> FOld;
};

TEST(ProgramFolder, FromTheEnvironmentOrTheExecutable) {
  {
    TScopedEnvironment Home("KORCAM_HOME", nullptr);
    const std::string Path = ProgramPath();
    ASSERT_FALSE(Path.empty());
    EXPECT_EQ(Path.substr(Path.rfind('/') + 1), "rtl_tests");
    EXPECT_EQ(ProgramFolder(), Path.substr(0, Path.rfind('/') + 1));
  }
  {
    TScopedEnvironment Home("KORCAM_HOME", "/tmp/Камера");
    EXPECT_EQ(ProgramFolder(), "/tmp/Камера/");  // always ends with "/"
  }
  {
    TScopedEnvironment Home("KORCAM_HOME", "/tmp/cam/");
    EXPECT_EQ(ProgramFolder(), "/tmp/cam/");
  }
  {
    TScopedEnvironment Home("KORCAM_HOME", "");
    EXPECT_EQ(ProgramFolder().back(), '/');
    EXPECT_NE(ProgramFolder(), "/");
  }
}

}  // namespace
