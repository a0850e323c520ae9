// Desktop entry files: groups and keys read from any text, string escapes both ways, Exec values
// quoted and split back, and field codes filled in for a file.

#include "platform/shell/desktopentry.h"

#include <gtest/gtest.h>

namespace {

std::string Joined(const std::vector<std::string>& Arguments) {
  std::string Text;
  for (size_t Index = 0; Index < Arguments.size(); ++Index) Text += (Index ? "|" : "") + Arguments[Index];
  return Text;
}

TEST(DesktopEntry, ReadsGroupsAndKeysAndSkipsTheRest) {
  const TDesktopFile File = ParseDesktopFile(
      "# comment\n"
      "Orphan=before any group\n"
      "[Desktop Entry]\r\n"
      "Name = Text Editor \n"
      "Name[ru]=Текстовый редактор\n"
      "Comment=line\\none\\\\two\\sthree\\q\n"
      "no equals sign here\n"
      "=no key\n"
      "[Broken group\n"
      "Lost=in the broken group\n"
      "[Default Applications]\n"
      "text/plain=a.desktop;b.desktop;\n");
  EXPECT_EQ(File.Value("Desktop Entry", "Name"), "Text Editor");
  EXPECT_EQ(File.Value("Desktop Entry", "Name[ru]"), "Текстовый редактор");
  EXPECT_EQ(File.Value("Desktop Entry", "Comment"), "line\none\\two three\\q");
  EXPECT_EQ(File.Value("Desktop Entry", "Orphan"), std::nullopt);
  EXPECT_EQ(File.Value("Desktop Entry", "Lost"), std::nullopt);
  EXPECT_EQ(File.Value("Default Applications", "text/plain"), "a.desktop;b.desktop;");
  EXPECT_EQ(File.Groups.size(), 2u);
}

TEST(DesktopEntry, StringValuesSurviveTheirEscapes) {
  for (const char* Text : {"plain", " leading blank", "back\\slash", "multi\nline\ttab\r", "Камера ✓", ""}) {
    SCOPED_TRACE(Text);
    const std::string Escaped = EscapeDesktopValue(Text);
    EXPECT_EQ(Escaped.find('\n'), std::string::npos);
    // As a line of a file, trimmed on reading.
    EXPECT_EQ(ParseDesktopFile("[G]\nK=" + Escaped + "\n").Value("G", "K"), Text);
  }
}

TEST(DesktopEntry, ExecArgumentsAreQuotedAndSplitBack) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Arguments;
    const char* Exec;
  };
  const TCase Cases[] = {
      {"plain words stay bare", {"/usr/bin/korcam", "-min"}, "/usr/bin/korcam -min"},
      {"blanks are quoted", {"/opt/Korvane WebCam/korcam"}, "\"/opt/Korvane WebCam/korcam\""},
      {"quote, grave, dollar and backslash are escaped", {"/a\"b`c$d\\e"}, "\"/a\\\"b\\`c\\$d\\\\e\""},
      {"shell marks are quoted", {"/x", "a;b", "c|d&e"}, "/x \"a;b\" \"c|d&e\""},
      {"percent is doubled", {"/x", "100%"}, "/x 100%%"},
      {"an empty argument is kept", {"/x", ""}, "/x \"\""},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const std::string Exec = QuoteExecArguments(Case.Arguments);
    EXPECT_EQ(Exec, Case.Exec);
    std::optional<std::vector<std::string>> Split = SplitExecArguments(UnescapeDesktopValue(EscapeDesktopValue(Exec)));
    ASSERT_TRUE(Split);
    // The doubled percent is a field-code escape, undone when the codes are filled in.
    EXPECT_EQ(ExpandExecFieldCodes(*Split, TExecFields{}), Case.Arguments);
  }
  EXPECT_EQ(SplitExecArguments("/x \"open"), std::nullopt);
}

TEST(DesktopEntry, FieldCodesAreFilledForAFile) {
  const TExecFields Fields{"/home/u/Мой лог.log", "Editor", "accessories-text-editor", "/usr/share/applications/e.desktop"};
  struct TCase {
    const char* Exec;
    const char* Command;
  };
  const TCase Cases[] = {
      {"gedit %U", "gedit|/home/u/Мой лог.log"},
      {"kate -b %u", "kate|-b|/home/u/Мой лог.log"},
      {"edit --file=%f", "edit|--file=/home/u/Мой лог.log"},
      {"mousepad", "mousepad|/home/u/Мой лог.log"},  // no code: the file goes last
      {"e %i --title %c %k %d %F", "e|--icon|accessories-text-editor|--title|Editor|"
                                   "/usr/share/applications/e.desktop|/home/u/Мой лог.log"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Exec);
    EXPECT_EQ(Joined(ExpandExecFieldCodes(*SplitExecArguments(Case.Exec), Fields)), Case.Command);
  }
  // Without a file, the codes for it vanish.
  EXPECT_EQ(Joined(ExpandExecFieldCodes(*SplitExecArguments("gedit %U"), TExecFields{})), "gedit");
}

}  // namespace
