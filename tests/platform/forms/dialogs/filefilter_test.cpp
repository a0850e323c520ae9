// The dialogs' filters: pairs read from the class library's filter texts, and patterns matched
// as users of the other system expect.

#include "platform/forms/filefilter.h"

#include <gtest/gtest.h>

namespace {

TEST(FileFilter, ReadsTheProgramsFilterTexts) {
  const auto Sounds =
      ParseFileFilter("All Files|*.wav;*.mid;*.mp3;|Wav Files(*.wav)|*.wav|Midi Files(*.mid)|*.mid|MP3 Files(*.mp3)|*.mp3");
  ASSERT_EQ(Sounds.size(), 4u);
  EXPECT_EQ(Sounds[0].Description, "All Files");
  EXPECT_EQ(Sounds[0].Patterns, (std::vector<std::string>{"*.wav", "*.mid", "*.mp3"}));  // the empty one dropped
  EXPECT_EQ(Sounds[3].Patterns, (std::vector<std::string>{"*.mp3"}));
  const auto Pictures =
      ParseFileFilter("All supported files|*.bmp;*.jpg;*.ico;|Bitmaps (*.bmp)|*.bmp|Jpeg(*.jpg)|*.jpg|Icon(*.ico)|*.ico");
  EXPECT_EQ(Pictures.size(), 4u);
  EXPECT_EQ(ParseFileFilter("").size(), 0u);
  // A description without patterns is left out; blanks around patterns go.
  const auto Odd = ParseFileFilter("Logs| *.log ; *.txt |Lonely");
  ASSERT_EQ(Odd.size(), 1u);
  EXPECT_EQ(Odd[0].Patterns, (std::vector<std::string>{"*.log", "*.txt"}));
}

TEST(FileFilter, PatternsMatchAsUsersExpect) {
  struct TCase {
    const char* Name;
    const char* Pattern;
    bool Matches;
  };
  const TCase Cases[] = {
      {"photo.jpg", "*.jpg", true},      {"PHOTO.JPG", "*.jpg", true},   {"photo.jpeg", "*.jpg", false},
      {"photo.jpg.bak", "*.jpg", false}, {"README", "*.*", true},        {"README", "*", true},
      {"снимок.JPG", "*.jpg", true},     {"кот.jpg", "?от.jpg", true},   {"кот.jpg", "??.jpg", false},
      {"video07.avi", "video??.avi", true}, {"video7.avi", "video??.avi", false}, {"a.b.c", "*.*.*", true},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},  // no blow-up on stars
      {"", "*", true},                   {"x", "", false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Name) + " ~ " + Case.Pattern);
    EXPECT_EQ(MatchesFilePattern(Case.Name, Case.Pattern), Case.Matches);
  }
  EXPECT_TRUE(MatchesAnyFilePattern("tune.mid", {"*.wav", "*.mid"}));
  EXPECT_TRUE(MatchesAnyFilePattern("anything", {}));
  EXPECT_TRUE(HasFileWildcards("*.png"));
  EXPECT_FALSE(HasFileWildcards("photo.png"));
}

}  // namespace
