#include "platform/rtl/unicode.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, DecodesWellFormedTextAndReplacesEveryMalformedByte) {
  struct TCase {
    const char* Name;
    std::string Text;
    std::u32string Expected;
  };
  const TCase Cases[] = {
      {"ASCII", "ab", U"ab"},
      {"two, three and four bytes", "ж€😀", U"ж€😀"},
      {"stray continuation byte", "a\x80z", U"a\uFFFDz"},
      {"truncated sequence at the end", "a\xD0", U"a\uFFFD"},
      {"lead byte followed by ASCII", "\xE2\x82z", U"\uFFFD\uFFFDz"},
      {"overlong form of '/'", "\xC0\xAF", U"\uFFFD\uFFFD"},
      {"overlong three-byte form", "\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},
      {"surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead bytes", "\xF8\xFF", U"\uFFFD\uFFFD"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Utf8ToUtf32(Case.Text), Case.Expected);
    EXPECT_EQ(Utf8Length(Case.Text), Case.Expected.size());
    EXPECT_EQ(Utf8IsValid(Case.Text), Case.Expected.find(U'\uFFFD') == std::u32string::npos);
  }
  EXPECT_TRUE(Utf8IsValid("\xEF\xBF\xBD"));  // U+FFFD written out is valid
}

TEST(Utf8, EncodingRoundTripsEveryScalarValue) {
  for (char32_t Code = 0; Code <= 0x10FFFF; Code += (Code < 0x3000 ? 1 : 97)) {
    if (Code >= 0xD800 && Code <= 0xDFFF) continue;
    const std::string Text = Utf8Encode(Code);
    size_t Index = 0;
    ASSERT_EQ(Utf8Decode(Text, Index), Code);
    ASSERT_EQ(Index, Text.size());
  }
  EXPECT_EQ(Utf8Encode(0xD800), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf32ToUtf8(U"Фото ©"), "Фото ©");
}

TEST(Utf8, SteppingByCodePoints) {
  const std::string Text = "aж€😀\x80z";  // 1, 2, 3, 4 bytes, a stray byte, 1
  const size_t Boundaries[] = {0, 1, 3, 6, 10, 11, 12};
  size_t Index = 0;
  for (size_t I = 1; I < std::size(Boundaries); ++I) {
    Index = Utf8Next(Text, Index);
    EXPECT_EQ(Index, Boundaries[I]);
  }
  EXPECT_EQ(Utf8Next(Text, Text.size()), Text.size());
  for (size_t I = std::size(Boundaries) - 1; I > 0; --I) EXPECT_EQ(Utf8Prior(Text, Boundaries[I]), Boundaries[I - 1]);
  EXPECT_EQ(Utf8Prior(Text, 0), 0u);
  EXPECT_EQ(Utf8OffsetOf(Text, 3), 6u);
  EXPECT_EQ(Utf8OffsetOf(Text, 100), Text.size());
  EXPECT_EQ(Utf8TruncateBytes("aжb", 2), "a");  // never splits the two-byte ж
  EXPECT_EQ(Utf8TruncateBytes("aжb", 3), "aж");
}

TEST(CaseMap, PairsOfEachScript) {
  struct TCase {
    const char* Name;
    char32_t Upper, Lower;
  };
  const TCase Cases[] = {
      {"ASCII", U'Q', U'q'},
      {"Latin-1", U'À', U'à'},
      {"Latin-1 thorn", U'Þ', U'þ'},
      {"y with diaeresis", U'Ÿ', U'ÿ'},
      {"Latin Extended-A, even upper", U'Ā', U'ā'},
      {"Latin Extended-A, odd upper", U'Ł', U'ł'},
      {"z with caron", U'Ž', U'ž'},
      {"Greek", U'Σ', U'σ'},
      {"Greek with tonos", U'Ά', U'ά'},
      {"Cyrillic basic", U'Я', U'я'},
      {"Cyrillic io", U'Ё', U'ё'},
      {"Ukrainian yi", U'Ї', U'ї'},
      {"Cyrillic extended", U'Ґ', U'ґ'},
      {"Armenian", U'Ա', U'ա'},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(UnicodeToUpper(Case.Lower), Case.Upper);
    EXPECT_EQ(UnicodeToLower(Case.Upper), Case.Lower);
    EXPECT_TRUE(UnicodeIsUpper(Case.Upper));
    EXPECT_TRUE(UnicodeIsLower(Case.Lower));
  }
  // One-way mappings and characters without case.
  EXPECT_EQ(UnicodeToUpper(U'ς'), U'Σ');
  EXPECT_EQ(UnicodeToUpper(U'ı'), U'I');
  EXPECT_EQ(UnicodeToLower(U'İ'), U'i');
  EXPECT_EQ(UnicodeToUpper(U'ß'), U'ß');
  EXPECT_EQ(UnicodeToUpper(U'×'), U'×');
  EXPECT_EQ(UnicodeToLower(U'÷'), U'÷');
  EXPECT_EQ(UnicodeToUpper(U'ĸ'), U'ĸ');
  EXPECT_EQ(UnicodeToUpper(U'7'), U'7');
  EXPECT_EQ(UnicodeToUpper(U'中'), U'中');
  // Malformed bytes pass through case conversion untouched.
  EXPECT_EQ(Utf8UpperCase("a\xFFж"), "A\xFFЖ");
}

TEST(CaseMap, UpperAndLowerAreInversesOnTheMappedLetters) {
  for (char32_t Code = 0; Code < 0x2000; ++Code) {
    const char32_t Upper = UnicodeToUpper(Code);
    if (Upper == Code) continue;
    // Letters whose upper case belongs to another letter (final sigma, dotless i, long s, micro).
    if (Code == U'ς' || Code == U'ı' || Code == U'ſ' || Code == U'µ') continue;
    ASSERT_EQ(UnicodeToLower(Upper), Code) << std::hex << static_cast<uint32_t>(Code);
  }
}

}  // namespace
