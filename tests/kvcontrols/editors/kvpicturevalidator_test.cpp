#include "kvcontrols/editors/kvpicturevalidator.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* ResultName(TkvPictureResult R) {
  switch (R) {
    case pmrComplete: return "pmrComplete";
    case pmrIncomplete: return "pmrIncomplete";
    case pmrEmpty: return "pmrEmpty";
    case pmrError: return "pmrError";
    case pmrSyntax: return "pmrSyntax";
    case pmrAmbiguous: return "pmrAmbiguous";
    case pmrIncompleteNoFill: return "pmrIncompleteNoFill";
  }
  return "?";
}

struct TCheckCase {
  const char* Name;
  std::string Mask, Text;
  bool AutoFill;
  TkvPictureResult Result;
  std::string After;
};

void RunCases(const TCheckCase* Cases, size_t Count) {
  for (size_t Index = 0; Index < Count; ++Index) {
    const TCheckCase& Case = Cases[Index];
    SCOPED_TRACE(Case.Name);
    TkvPictureValidator Validator(Case.Mask, Case.AutoFill);
    std::string Text = Case.Text;
    EXPECT_STREQ(ResultName(Validator.CheckText(Text, Case.AutoFill)), ResultName(Case.Result));
    EXPECT_EQ(Text, Case.After);
  }
}

TEST(PictureValidator, TheMaskTable) {
  const TCheckCase Cases[] = {
      {"### short", "###", "12", false, pmrIncomplete, "12"},
      {"### full", "###", "123", false, pmrComplete, "123"},
      {"### too long", "###", "1234", false, pmrError, "1234"},
      {"### with a letter", "###", "12a", false, pmrError, "12a"},
      {"phone: literals filled in", "(###)###-####", "(555", true, pmrIncomplete, "(555)"},
      {"phone: the first literal does not match", "(###)###-####", "5", true, pmrError, "5"},
      {"& upper-cases", "&&", "ab", false, pmrComplete, "AB"},
      {"~ lower-cases", "~~", "AB", false, pmrComplete, "ab"},
      {"! upper-cases anything", "!!", "a1", false, pmrComplete, "A1"},
      {"literals take the mask's case", "ABC", "abc", false, pmrComplete, "ABC"},
      {"optional digit absent", "#[#]", "1", false, pmrComplete, "1"},
      {"optional digit present", "#[#]", "12", false, pmrComplete, "12"},
      {"alternatives: filled from F", "{Jan,Feb,Mar}", "F", true, pmrComplete, "Feb"},
      {"alternatives: filled from j", "{Jan,Feb,Mar}", "j", true, pmrComplete, "Jan"},
      {"the first complete alternative wins", "{#,##}", "12", false, pmrError, "12"},
      {"any number of digits", "*#", "123", false, pmrComplete, "123"},
      {"exactly three digits, two typed", "*3#", "12", false, pmrIncomplete, "12"},
      {"a blank at the end completes a literal", "##:##", "12 ", false, pmrIncomplete, "12:"},
      {"a blank inside does not", "##:##", "12 3", false, pmrError, "12 3"},
      {"escaped #", "#;##", "1#2", false, pmrComplete, "1#2"},
      {"escaped # filled in", "#;##", "1", true, pmrIncomplete, "1#"},
      {"literals filled in after letters", "AB-#", "ab", true, pmrIncomplete, "AB-"},
  };
  RunCases(Cases, std::size(Cases));
}

TEST(PictureValidator, RepetitionOptionalGroupsAndAlternatives) {
  const TCheckCase Cases[] = {
      {"two blanks: only the last may stand for a literal", "##:##", "12  ", false, pmrError, "12  "},
      {"a repeated optional group may be absent", "*2[#]", "1", false, pmrComplete, "1"},
      {"a counted digit may not", "*2#", "1", false, pmrIncomplete, "1"},
      {"counted repetition, all there", "*2#", "12", false, pmrComplete, "12"},
      {"open repetition of an optional group ends", "*[#]", "12", false, pmrComplete, "12"},
      {"open repetition leaves the letter over", "*[#]", "12a", false, pmrError, "12a"},
      {"repeated group of letters, upper-cased", "*{&#}", "a1b2", false, pmrComplete, "A1B2"},
      {"a complete alternative that got as far as an incomplete one", "{ab,a}", "a", false, pmrComplete, "a"},
      {"an incomplete alternative that got further wins", "{abc,a}", "ab", true, pmrComplete, "abc"},
      {"alternatives of the whole mask", "##,&&", "ab", false, pmrComplete, "AB"},
      {"an optional group that does not match is absent", "[#]&", "a", false, pmrComplete, "A"},
      {"a required group with no optional alternative", "#{c,d}", "1", false, pmrIncomplete, "1"},
      {"a required group with an optional alternative", "#{c,[d]}", "1", false, pmrComplete, "1"},
      {"optional tail after the text", "#[-#]*[x]", "1", false, pmrComplete, "1"},
      {"a literal after an optional tail is still needed", "#[-#]x", "1", false, pmrIncomplete, "1"},
      {"escaped star at the end", ";*", "*", false, pmrComplete, "*"},
      {"escaped semicolon at the end", "#;;", "1;", false, pmrComplete, "1;"},
  };
  RunCases(Cases, std::size(Cases));
}

TEST(PictureValidator, LettersBeyondAsciiAndCyrillicText) {
  const TCheckCase Cases[] = {
      {"a Latin-1 letter", "?", "é", false, pmrComplete, "é"},
      {"a Cyrillic letter", "?", "ж", false, pmrComplete, "ж"},
      // Every character above U+007F counts as a letter, the first one included.
      {"U+0080 counts as a letter", "?", "\u0080", false, pmrComplete, "\u0080"},
      {"U+007F does not", "?", "\x7F", false, pmrError, "\x7F"},
      {"a digit is no letter", "?", "1", false, pmrError, "1"},
      {"Cyrillic made upper case", "&&&", "жук", false, pmrComplete, "ЖУК"},
      {"Cyrillic made lower case", "~~", "ЖУ", false, pmrComplete, "жу"},
      {"! upper-cases Cyrillic", "!!!", "ё1я", false, pmrComplete, "Ё1Я"},
      {"Cyrillic literals filled in", "###-руб", "123", true, pmrComplete, "123-руб"},
      {"Cyrillic literals typed", "###-руб", "123-руб", false, pmrComplete, "123-руб"},
      // Literals fold a-z only: a lower-case Cyrillic letter is not its upper-case literal.
      {"literals fold a-z only", "Тел###", "тел1", false, pmrError, "тел1"},
      {"a Cyrillic alternative filled from its first letter", "{Январь,Февраль}", "Ф", true, pmrComplete,
       "Февраль"},
      {"characters count, not bytes", "*3?", "жжж", false, pmrComplete, "жжж"},
      {"a fourth Cyrillic letter is too many", "*3?", "жжжж", false, pmrError, "жжжж"},
      // "!" upper-cases the letter while alternatives are tried; filling in the first
      // alternative's literal then no longer matches, so the text goes back as it was typed.
      {"auto-fill undone when the longer text fails", "{ж-,!#}", "ж", true, pmrIncomplete, "ж"},
  };
  RunCases(Cases, std::size(Cases));
}

TEST(PictureValidator, MalformedMasks) {
  struct TCase {
    const char* Name;
    std::string Mask;
    bool Usable;
  };
  const TCase Cases[] = {
      {"empty", "", false},
      {"ends in a single ;", "#;", false},
      {"ends in ;;; (the last escapes nothing)", "#;;;", false},
      {"ends in an unescaped *", "#*", false},
      {"only a star", "*", false},
      {"unclosed square bracket", "[#", false},
      {"unclosed curly bracket", "{#", false},
      {"one closing too many", "#]", false},
      {"a closing bracket before its opening one passes", "]#[", true},
      {"ends in ;*", "#;*", true},
      {"ends in ;;", "#;;", true},
      {"plain", "###", true},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TkvPictureValidator Validator(Case.Mask, false);
    EXPECT_EQ(Validator.Status(), Case.Usable ? 0 : 1);
    for (std::string Text : {"", "1", "abc"}) {
      const std::string Before = Text;
      const TkvPictureResult R = Validator.CheckText(Text, true);
      if (!Case.Usable) {
        EXPECT_EQ(R, pmrSyntax);
        EXPECT_EQ(Text, Before);
        // A malformed mask lets every text through and finds none valid.
        std::string Typed = Before;
        EXPECT_TRUE(Validator.AcceptsInput(Typed, false));
        EXPECT_FALSE(Validator.IsValidText(Before));
      } else if (Before.empty()) {
        EXPECT_EQ(R, pmrEmpty);
      }
    }
  }
  TkvPictureValidator Reversed("]#[", false);
  std::string Text = "]1";
  EXPECT_EQ(Reversed.CheckText(Text, false), pmrComplete);
}

TEST(PictureValidator, EmptyTextAndTheWrappers) {
  TkvPictureValidator Plain("(###)###-####", false);
  TkvPictureValidator Filling("(###)###-####", true);
  EXPECT_EQ(Plain.Options(), kvpoCheckOnAppend);
  EXPECT_EQ(Filling.Options(), kvpoCheckOnAppend | kvpoAutoFill);
  EXPECT_EQ(Plain.Status(), 0);
  std::string Empty;
  EXPECT_EQ(Plain.CheckText(Empty, false), pmrEmpty);
  EXPECT_EQ(Filling.CheckText(Empty, true), pmrEmpty);

  // AcceptsInput fills in only when the validator was made with auto-fill and the caller does
  // not suppress it; it refuses only errors.
  std::string Text = "(555";
  EXPECT_TRUE(Filling.AcceptsInput(Text, false));
  EXPECT_EQ(Text, "(555)");
  Text = "(555";
  EXPECT_TRUE(Filling.AcceptsInput(Text, true));
  EXPECT_EQ(Text, "(555");
  Text = "(555";
  EXPECT_TRUE(Plain.AcceptsInput(Text, false));
  EXPECT_EQ(Text, "(555");
  Text = "5";
  EXPECT_FALSE(Plain.AcceptsInput(Text, false));

  // IsValidText wants a complete or empty text and never changes the caller's text.
  EXPECT_TRUE(Plain.IsValidText(""));
  EXPECT_TRUE(Plain.IsValidText("(555)123-4567"));
  EXPECT_FALSE(Plain.IsValidText("(555"));
  EXPECT_FALSE(Plain.IsValidText("(555)123-45678"));
  TkvPictureValidator Upper("&&", false);
  const std::string Lower = "ab";
  EXPECT_TRUE(Upper.IsValidText(Lower));
  EXPECT_EQ(Lower, "ab");
}

TEST(PictureValidator, HostileMasksEndQuickly) {
  // Counted repetitions of elements that take no text would otherwise run 65535 x 65535 rounds.
  for (const std::string Mask : {"*65535[]", "*65535{*65535[]}", "*9{*9{*9{*9{*9{*9{*9{*9[]}}}}}}}"}) {
    SCOPED_TRACE(Mask);
    TkvPictureValidator Validator(Mask, true);
    std::string Text = "1";
    EXPECT_EQ(Validator.CheckText(Text, true), pmrError);
  }
  // Nesting beyond what the matcher descends into is a syntax error, not a stack overflow.
  const std::string Deep = std::string(200, '[') + "#" + std::string(200, ']');
  TkvPictureValidator DeepGroups(Deep, false);
  EXPECT_EQ(DeepGroups.Status(), 1);
  const std::string Stars = std::string(20000, '*') + "#";
  TkvPictureValidator ManyStars(Stars, false);
  EXPECT_EQ(ManyStars.Status(), 1);
  std::string Text = "1";
  EXPECT_EQ(ManyStars.CheckText(Text, false), pmrSyntax);
  // Moderate nesting still works.
  const std::string Nested = std::string(20, '[') + "#" + std::string(20, ']');
  TkvPictureValidator Twenty(Nested, false);
  EXPECT_EQ(Twenty.Status(), 0);
  Text = "1";
  EXPECT_EQ(Twenty.CheckText(Text, false), pmrComplete);
}

}  // namespace
