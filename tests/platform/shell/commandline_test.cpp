// Command lines in the registry's and the shell's form: cut into arguments exactly as the other
// system's programs read them, and joined so that they read back the same.

#include "platform/shell/commandline.h"

#include <gtest/gtest.h>

namespace {

std::string Joined(const std::vector<std::string>& Arguments) {
  std::string Text;
  for (size_t Index = 0; Index < Arguments.size(); ++Index) Text += (Index ? "|" : "") + Arguments[Index];
  return Text;
}

TEST(CommandLine, SplitsAsTheOtherSystemReadsArguments) {
  struct TCase {
    const char* Name;
    const char* Text;
    const char* Arguments;  // joined with "|"
  };
  const TCase Cases[] = {
      {"blanks and tabs separate", "  a \t b  c ", "a|b|c"},
      {"quotes group blanks", "\"a b\" c", "a b|c"},
      {"quotes may stop inside a word", "pre\"fix x\"post", "prefix xpost"},
      {"backslashes are literal elsewhere", "C:\\dir\\file \\\\server", "C:\\dir\\file|\\\\server"},
      {"an odd run before a quote escapes it", "a\\\"b", "a\"b"},
      {"an even run before a quote halves", "\"a\\\\\" b", "a\\|b"},
      {"a doubled quote inside a group", "\"say \"\"hi\"\"\"", "say \"hi\""},
      {"an empty group is an argument", "\"\" x", "|x"},
      {"an open group runs to the end", "\"a b", "a b"},
      {"shell marks are plain text", "a;rm -rf $HOME `x` | y", "a;rm|-rf|$HOME|`x`|||y"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Joined(SplitCommandArguments(Case.Text)), Case.Arguments);
  }
}

TEST(CommandLine, TheProgramNameTakesNoEscapes) {
  EXPECT_EQ(Joined(SplitCommandLine("\"/opt/Korvane WebCam/korcam\" -min")), "/opt/Korvane WebCam/korcam|-min");
  EXPECT_EQ(Joined(SplitCommandLine("\"C:\\dir\\\" x")), "C:\\dir\\|x");
  EXPECT_EQ(Joined(SplitCommandLine("/usr/bin/korcam")), "/usr/bin/korcam");
  EXPECT_EQ(Joined(SplitCommandLine("   ")), "");
}

TEST(CommandLine, JoinedArgumentsReadBackUnchanged) {
  const std::vector<std::vector<std::string>> Lines = {
      {"/usr/bin/korcam"},
      {"/opt/Korvane WebCam/korcam", "a b", "", "tab\there"},
      {"/bin/x", "quote\"inside", "trailing\\", "both\\\"", "\\\\server\\share\\"},
      {"/home/пользователь/Камера/korcam", "файл.jpg"},
  };
  for (const auto& Line : Lines) {
    SCOPED_TRACE(Joined(Line));
    const std::string Text = JoinCommandLine(Line);
    EXPECT_EQ(SplitCommandLine(Text), Line) << Text;
    EXPECT_EQ(Text.front(), '"');  // the program is always quoted, as the Run value holds it
  }
  EXPECT_EQ(JoinCommandLine({"/usr/bin/korcam"}), "\"/usr/bin/korcam\"");
  EXPECT_EQ(QuoteCommandArgument("plain"), "plain");
  EXPECT_EQ(QuoteCommandArgument("plain", true), "\"plain\"");
}

}  // namespace
