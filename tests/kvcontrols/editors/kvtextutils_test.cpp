#include "kvcontrols/editors/kvtextutils.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/stringlist.h"

namespace {

struct TTokenStep {
  std::string Token;
  int Position;
};

TEST(NextToken, WalksASeparatedListCallByCall) {
  struct TCase {
    const char* Name;
    std::string Text, Separator;
    int Start;
    std::vector<TTokenStep> Steps;  // one call per step, each from where the last one left off
  };
  const TCase Cases[] = {
      {"two letters", "a;b", ";", 1, {{"a", 3}, {"b", -1}}},
      {"trailing separator gives one more empty call", "a;", ";", 1, {{"a", 3}, {"", -1}}},
      {"adjacent separators give an empty token", "a;;b", ";", 1, {{"a", 3}, {"", 4}, {"b", -1}}},
      {"position 0 does nothing", "a;b", ";", 0, {{"", 0}}},
      {"a negative position does nothing", "a;b", ";", -1, {{"", -1}}},
      {"position past the end ends the walk", "ab", ";", 3, {{"", -1}}},
      {"start in the middle", "ab;cd", ";", 2, {{"b", 4}, {"cd", -1}}},
      {"no separator: the whole rest", "abc", ";", 1, {{"abc", -1}}},
      {"word separator between blanks, any case", "x AND y and z", "and", 1,
       {{"x", 7}, {"y", 13}, {"z", -1}}},
      {"word separator never matches inside a word", "sand and band", "and", 1,
       {{"sand", 10}, {"band", -1}}},
      {"word separator needs its blanks", "xandy", "and", 1, {{"xandy", -1}}},
      // Positions count characters, not bytes.
      {"Cyrillic tokens", "дом;кот", ";", 1, {{"дом", 5}, {"кот", -1}}},
      {"a separator of two bytes is one character", "дом·кот·", "·", 1,
       {{"дом", 5}, {"кот", 9}, {"", -1}}},
      {"Cyrillic text around a word separator", "дом or кот", "OR", 1, {{"дом", 8}, {"кот", -1}}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    int Position = Case.Start;
    std::string Token = "stale";
    for (const auto& Step : Case.Steps) {
      kvNextToken(Case.Text, Case.Separator, Position, Token);
      EXPECT_EQ(Token, Step.Token);
      EXPECT_EQ(Position, Step.Position);
    }
  }
}

TEST(SplitToList, KeepsEmptyPiecesAndTheLastPiece) {
  struct TCase {
    const char* Name;
    std::string Text, Separator;
    std::vector<std::string> Pieces;
  };
  const TCase Cases[] = {
      {"adjacent separators", "a,,b", ",", {"a", "", "b"}},
      {"empty text gives one empty entry", "", ",", {""}},
      {"trailing separator gives a final empty entry", "a,", ",", {"a", ""}},
      {"no separator", "abc", ",", {"abc"}},
      // The scan resumes one character after the separator's first character.
      {"a longer separator leaves its tail on the next piece", "x<>y<>z", "<>", {"x", ">y", ">z"}},
      {"Cyrillic separator of two bytes", "а·б", "·", {"а", "б"}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TStringList List;
    List.Add("left over");
    kvSplitToList(Case.Text, Case.Separator, List);
    ASSERT_EQ(List.Count(), static_cast<int>(Case.Pieces.size()));
    for (int Index = 0; Index < List.Count(); ++Index) EXPECT_EQ(List[Index], Case.Pieces[static_cast<size_t>(Index)]);
  }
}

TEST(TextHelpers, ReplaceCompareCountAndCut) {
  EXPECT_EQ(kvReplaceEveryChar("a.b.c", U'.', U'/'), "a/b/c");
  EXPECT_EQ(kvReplaceEveryChar("ёлка ёж", U'ё', U'е'), "елка еж");
  // The inserted text is never searched again, so a replacement containing the old character
  // cannot loop or double up.
  EXPECT_EQ(kvReplaceCharByText("a.b", U'.', ".."), "a..b");
  EXPECT_EQ(kvReplaceCharByText("a\tb", U'\t', "    "), "a    b");

  EXPECT_TRUE(kvEqualsIgnoreCase("TkvDBGrid", "TKVDBGRID"));
  EXPECT_FALSE(kvEqualsIgnoreCase("abc", "abcd"));
  // Only a-z fold: other letters compare unchanged.
  EXPECT_FALSE(kvEqualsIgnoreCase("Äpfel", "äpfel"));
  EXPECT_FALSE(kvEqualsIgnoreCase("Дом", "дом"));

  EXPECT_EQ(kvCountChar("a;b;;c", U';'), 3);
  EXPECT_EQ(kvCountChar("молоко", U'о'), 3);
  EXPECT_EQ(kvCountChar("", U';'), 0);

  EXPECT_EQ(kvTextAfterChar("Name=Value=x", U'='), "Value=x");
  EXPECT_EQ(kvTextBeforeChar("Name=Value=x", U'='), "Name");
  EXPECT_EQ(kvTextAfterChar("NoSign", U'='), "");
  EXPECT_EQ(kvTextBeforeChar("NoSign", U'='), "");
  EXPECT_EQ(kvTextAfterChar("ключ→значение", U'→'), "значение");

  std::string Text = "abc .. ";
  kvTrimTrailingChars(Text, " .");
  EXPECT_EQ(Text, "abc");
  Text = "слово…»";
  kvTrimTrailingChars(Text, "»…");
  EXPECT_EQ(Text, "слово");
  Text = "....";
  kvTrimTrailingChars(Text, ".");
  EXPECT_EQ(Text, "");
}

TEST(FileBaseName, CutsAtTheFirstDotAndDropsTheFolder) {
  EXPECT_EQ(kvFileBaseName("Sales.Main.exe"), "Sales");
  EXPECT_EQ(kvFileBaseName("/opt/a.b/report.txt"), "report");
  EXPECT_EQ(kvFileBaseName("/usr/bin/korcam"), "");
  EXPECT_EQ(kvFileBaseName("/home/юля/программа.bin"), "программа");
}

TEST(FileBaseName, AProgramWithoutExtensionKeepsItsName) {
  // A Linux program has no extension: its base name must not be empty, or every default
  // settings file of the library would be called ".ini".
  EXPECT_EQ(kvProgramBaseName("/usr/bin/korcam"), "korcam");
  EXPECT_EQ(kvProgramBaseName("/opt/Sales.Main.exe"), "Sales");
  EXPECT_EQ(kvProgramBaseName("korcam"), "korcam");
  EXPECT_EQ(kvProgramBaseName("/home/юля/камера"), "камера");
}

}  // namespace
