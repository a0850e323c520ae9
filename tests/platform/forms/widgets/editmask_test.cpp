// The edit-mask grammar on its own: sections, position classes, case rules, laying a text out on
// a mask and reading it back, and the completeness check.

#include "platform/forms/editmask.h"

#include <gtest/gtest.h>

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/unicode.h"

namespace {

std::string Utf8(const std::u32string& Text) {
  return Utf32ToUtf8(Text);
}

struct TParseCase {
  const char* Name;
  const char* Mask;
  const char* EmptyEditText;  // literals and blanks
  bool SaveLiterals;
  char32_t Blank;
  bool Reverse;
};

const TParseCase ParseCases[] = {
    // CC: literals around input positions, all three sections
    {"phone", "(999) 000-0000;1;_", "(___) ___-____", true, U'_', false},
    // CC: no-save flag and another blank character
    {"no save, star blank", "000;0;*", "***", false, U'*', false},
    // CC: only the mask section: literals stored, '_' blank
    {"defaults", "LL-00", "__-__", true, U'_', false},
    // CC: an escaped separator is a literal, not a section break
    {"escaped separator", "0\\;0;0; ", " ; ", false, U' ', false},
    // CC: escaped mask characters are literals
    {"escaped classes", "\\L\\0L0", "L0__", true, U'_', false},
    // CC: directives take no position; '_' is a literal blank
    {"directives", "!>L<l<>L_0", "___ _", true, U'_', true},
    // CC: an empty second section keeps the default
    {"empty flag", "00;;#", "##", true, U'#', false},
    // CC: a trailing escape escapes nothing
    {"trailing escape", "00\\", "__", true, U'_', false},
    // CC: non-ASCII literals and blank
    {"non-ASCII", "ж00;1;·", "ж··", true, U'·', false},
};

TEST(EditMaskTest, ParsesSectionsAndPositions) {
  for (const auto& Case : ParseCases) {
    SCOPED_TRACE(Case.Name);
    const TEditMask Mask(Case.Mask);
    EXPECT_EQ(Utf8(Mask.EmptyEditText()), Case.EmptyEditText);
    EXPECT_EQ(Mask.SaveLiterals(), Case.SaveLiterals);
    EXPECT_EQ(Mask.Blank(), Case.Blank);
    EXPECT_EQ(Mask.Reverse(), Case.Reverse);
  }
  EXPECT_TRUE(TEditMask("").Empty());
  // A mask of directives only has no positions: the edit stays a plain edit.
  EXPECT_TRUE(TEditMask("!><;0;_").Empty());
}

TEST(EditMaskTest, SeparatorsFollowTheLocale) {
  TFormatSettings Settings = DefaultFormatSettings();
  Settings.DateSeparator = '.';
  Settings.TimeSeparator = '-';
  TScopedFormatSettings Scope(Settings);
  EXPECT_EQ(Utf8(TEditMask("99/99/0000 00:00").EmptyEditText()), "__.__.____ __-__");
  // Escaped, they are the characters themselves.
  EXPECT_EQ(Utf8(TEditMask("00\\/00\\:").EmptyEditText()), "__/__:");
}

TEST(EditMaskTest, PositionsAcceptTheirClassInTheirCase) {
  // Every position of the mask against every probe character; '.' refuses, else the stored char.
  const TEditMask Mask(">L<l<>AaCc09#\\x;1;_");
  struct TProbe {
    char32_t Char;
    const char* Expected;  // one character per position
  };
  const TProbe Probes[] = {
      {U'a', "Aaaaaa...x"},  // letters: upper/lower rule, then none
      {U'Q', "QqQQQQ...x"},
      {U'7', "..7777777x"},  // digits fit every class but the letters
      {U'+', "....++..+x"},  // a sign: any character and '#'
      {U' ', "....  ...x"},  // a space is a character for 'C' and 'c' only
      {U'_', ".........x"},  // the blank character is never a character
      {U'ж', "Жжжжжж...x"},
  };
  for (const auto& Probe : Probes) {
    SCOPED_TRACE(Utf8(std::u32string(1, Probe.Char)));
    std::u32string Got;
    for (size_t Position = 0; Position < Mask.Length(); ++Position) {
      char32_t Char = Probe.Char;
      if (Mask.IsLiteral(Position))
        Got += Mask.At(Position).Literal;
      else
        Got += Mask.Accept(Position, Char) ? Char : U'.';
    }
    EXPECT_EQ(Utf8(Got), Probe.Expected);
  }
}

struct TTextCase {
  const char* Name;
  const char* Mask;
  const char* Text;      // what a program sets
  const char* EditText;  // what is shown
  const char* TextBack;  // what a program reads
};

const TTextCase TextCases[] = {
    // CC: stored literals, the literals in the text line up
    {"phone with literals", "(999) 000-0000;1;_", "(555) 123-4567", "(555) 123-4567", "(555) 123-4567"},
    // CC: stored literals, a text without them fills the input positions
    {"phone digits only", "(999) 000-0000;1;_", "5551234567", "(555) 123-4567", "(555) 123-4567"},
    // CC: short text; blanks read as spaces where literals are stored
    {"short with literals", "00-00;1;_", "1", "1_-__", "1 -  "},
    // CC: literals not stored; the empty tail is dropped
    {"no literals", "00/00;0;_", "1234", "12/34", "1234"},
    {"no literals, short", "00/00;0;_", "12", "12/__", "12"},
    // CC: reverse directive: a short text fills the last positions, read back without the lead
    {"reverse", "!9999;0;_", "12", "__12", "12"},
    // CC: characters that do not fit leave their position blank
    {"refused characters", "000;0;_", "1x3", "1_3", "1 3"},
    // CC: case rule applies to a program's text too
    {"upper", ">LLL;0;_", "abc", "ABC", "ABC"},
    // CC: too long: the rest is dropped
    {"too long", "00;0;_", "12345", "12", "12"},
    // CC: empty text
    {"empty", "00-00;0;_", "", "__-__", ""},
    // CC: spaces give blanks; any-character positions keep them out as blanks too
    {"spaces", "CCC;1;_", "a c", "a_c", "a c"},
};

TEST(EditMaskTest, LaysTextOutAndReadsItBack) {
  for (const auto& Case : TextCases) {
    SCOPED_TRACE(Case.Name);
    const TEditMask Mask(Case.Mask);
    const std::u32string Shown = Mask.FormatText(Utf8ToUtf32(Case.Text));
    EXPECT_EQ(Utf8(Shown), Case.EditText);
    EXPECT_EQ(Utf8(Mask.TextOf(Shown)), Case.TextBack);
    // Reading back and laying out again changes nothing.
    EXPECT_EQ(Utf8(Mask.FormatText(Mask.TextOf(Shown))), Case.EditText);
    EXPECT_EQ(MaskedText(Case.Mask, Case.Text), Case.TextBack);
  }
  EXPECT_EQ(MaskedText("", "as is"), "as is");
}

TEST(EditMaskTest, FirstInvalidFindsTheFirstIncompletePosition) {
  struct TCase {
    const char* Name;
    const char* Mask;
    const char* EditText;
    size_t Expected;
  };
  constexpr size_t Complete = std::u32string::npos;
  const TCase Cases[] = {
      {"complete", "00-00", "12-34", Complete},
      {"optional positions may stay blank", "00-99", "12-__", Complete},
      {"a required position blank", "00-00", "12-3_", 4},
      {"a required blank before a complete tail", "00-00", "1_-34", 1},
      {"a space in a digit position is empty", "00", "1 ", 1},
      {"wrong class", "LL", "a1", 1},
      {"a short text is blank at the end", "000", "12", 2},
      {"any character: a space counts", "CC", "a ", Complete},
      {"literals are not checked", "0-0", "1x2", Complete},
      {"optional letter with a digit", "ll", "a1", 1},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(TEditMask(Case.Mask).FirstInvalid(Utf8ToUtf32(Case.EditText)), Case.Expected);
  }
}

TEST(EditMaskTest, InputPositionsSkipLiterals) {
  const TEditMask Mask("(00)-0");
  EXPECT_EQ(Mask.NextInput(0), 1u);
  EXPECT_EQ(Mask.NextInput(3), 5u);
  EXPECT_EQ(Mask.NextInput(6), std::u32string::npos);
  EXPECT_EQ(Mask.PriorInput(5), 2u);
  EXPECT_EQ(Mask.PriorInput(1), std::u32string::npos);
  EXPECT_EQ(Mask.PriorInput(99), 5u);
}

}  // namespace
