// ShellExecute as the program uses it: addresses and documents go to the desktop's opener,
// programs start directly with their parameters and working folder, "notepad" opens the desktop's
// text editor, and a hostile name is only ever a name. A recording launcher shows what would
// start; one test starts a real program to show that nothing on the way reads the text as a
// shell would.

#include "platform/shell/shellapi.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/winuser.h"
#include "tests/platform/rtl/temp_folder.h"
#include "tests/platform/shell/shelltest.h"

using namespace ShellTest;

namespace {

int Code(HINSTANCE Result) { return int(reinterpret_cast<intptr_t>(Result)); }

class ShellExecute : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder.Write("photo 1.jpg", "not really a picture");
    Folder.Write("mailto:me", "a file after all");
    std::filesystem::create_directory(Folder.Path() / "Снимки");
    Program = Folder.File("run me.sh");
    Folder.Write("run me.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$PWD/args.txt\"\n");
    chmod(Program.c_str(), 0755);
  }
  TTempFolder Folder;
  // The user's desktop: no editor chosen unless a test writes one; nothing from the machine.
  TScopedEnvironment ConfigHome{"XDG_CONFIG_HOME", Folder.File("config")};
  TScopedEnvironment ConfigDirs{"XDG_CONFIG_DIRS", Folder.File("no-such-folder")};
  TScopedEnvironment DataHome{"XDG_DATA_HOME", Folder.File("data")};
  TScopedEnvironment DataDirs{"XDG_DATA_DIRS", Folder.File("no-such-folder")};
  TScopedEnvironment Desktop{"XDG_CURRENT_DESKTOP", std::string("Test")};
  std::string Program;
};

TEST_F(ShellExecute, HandsEachKindOfTargetToItsStarter) {
  const std::string Base = Folder.Path().string();
  // A text file marked runnable, as files on shared drives often are, is still a document.
  const std::string Hostile = Base + "/a\"; touch pwned; \".txt";
  Folder.Write("a\"; touch pwned; \".txt", "text");
  chmod(Hostile.c_str(), 0755);
  struct TCase {
    const char* Name;
    std::string File, Parameters, Directory;
    std::string Started;  // the recorded request
  };
  const TCase Cases[] = {
      {"a web address", "https://korvane.example/forum?a=1&b=2", "", "",
       "xdg-open|https://korvane.example/forum?a=1&b=2"},
      {"a mail address", "mailto:support@korvane.example?subject=Hi there", "", "",
       "xdg-open|mailto:support@korvane.example?subject=Hi there"},
      {"a bare web site", "www.korvane.example", "", "", "xdg-open|http://www.korvane.example"},
      {"a document", Base + "/photo 1.jpg", "ignored", "", "xdg-open|" + Base + "/photo 1.jpg"},
      {"a Cyrillic folder", Base + "/Снимки", "", "", "xdg-open|" + Base + "/Снимки"},
      {"a program with parameters and a working folder", Program, "-a \"two words\" x;y $HOME", Base,
       Program + "|-a|two words|x;y|$HOME @" + Base},
      {"a hostile document name", Hostile, "", "", "xdg-open|" + Hostile},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TRecordingLauncher Launcher;
    HINSTANCE Result = ShellExecuteA(nullptr, "open", Case.File.c_str(), Case.Parameters.c_str(),
                                     Case.Directory.empty() ? nullptr : Case.Directory.c_str(), SW_SHOWNORMAL);
    EXPECT_GT(Code(Result), 32);
    ASSERT_EQ(Launcher.Requests.size(), 1u);
    EXPECT_EQ(Launcher.Last(), Case.Started);
  }
  // A file in the current folder whose name looks like an address is that file.
  const std::string Saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Base));
  TRecordingLauncher Launcher;
  EXPECT_GT(Code(ShellExecuteA(nullptr, "open", "mailto:me", nullptr, nullptr, SW_SHOWNORMAL)), 32);
  EXPECT_EQ(Launcher.Last(), "xdg-open|" + Base + "/mailto:me");
  SetCurrentDir(Saved);
}

TEST_F(ShellExecute, FailuresAnswerWithTheOtherSystemsNumbers) {
  const std::string Base = Folder.Path().string();
  struct TCase {
    const char* Name;
    const char* Operation;
    std::string File, Directory;
    int LaunchError;
    int Expected;
  };
  const TCase Cases[] = {
      {"no file", "open", Base + "/missing.jpg", "", 0, SE_ERR_FNF},
      {"no folder", "open", Base + "/missing/x.jpg", "", 0, SE_ERR_PNF},
      {"no working folder", "open", Program, Base + "/missing", 0, SE_ERR_PNF},
      {"an empty name", "open", "", "", 0, SE_ERR_FNF},
      {"a verb nobody answers", "print", Base + "/photo 1.jpg", "", 0, SE_ERR_NOASSOC},
      {"no opener installed", nullptr, "https://korvane.example", "", ENOENT, SE_ERR_NOASSOC},
      {"a program that may not run", "", Program, "", EACCES, SE_ERR_ACCESSDENIED},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TRecordingLauncher Launcher;
    Launcher.Result = Case.LaunchError;
    HINSTANCE Result = ShellExecuteA(nullptr, Case.Operation, Case.File.c_str(), nullptr,
                                     Case.Directory.empty() ? nullptr : Case.Directory.c_str(), SW_SHOWNORMAL);
    EXPECT_EQ(Code(Result), Case.Expected);
  }
}

TEST_F(ShellExecute, NotepadOpensTheDesktopsTextEditor) {
  const std::string Base = Folder.Path().string();
  const std::string Log = Base + "/Korvane Webcam/korcam.log";
  // No editor known yet: the desktop's opener decides.
  {
    TRecordingLauncher Launcher;
    EXPECT_GT(Code(ShellExecuteA(nullptr, "open", "notepad", Log.c_str(), nullptr, SW_SHOWNORMAL)), 32);
    EXPECT_EQ(Launcher.Last(), "xdg-open|" + Log);  // the whole unquoted tail is the name
  }
  // The user chose an editor for plain text; a terminal editor listed first cannot show here.
  std::filesystem::create_directories(Folder.Path() / "data/applications");
  std::filesystem::create_directories(Folder.Path() / "config");
  Folder.Write("data/applications/vi.desktop",
               "[Desktop Entry]\nType=Application\nName=vi\nExec=" + Program + " %F\nTerminal=true\n");
  Folder.Write("data/applications/editor.desktop",
               "[Desktop Entry]\nType=Application\nName=Editor\nExec=\"" + Program + "\" --new-window %U\n");
  Folder.Write("config/test-mimeapps.list", "[Default Applications]\ntext/plain=gone.desktop;vi.desktop;editor.desktop;\n");
  TRecordingLauncher Launcher;
  EXPECT_GT(Code(ShellExecuteA(nullptr, "open", "NOTEPAD.EXE", ("\"" + Log + "\"").c_str(), nullptr, SW_SHOWNORMAL)),
            32);
  EXPECT_EQ(Launcher.Last(), Program + "|--new-window|" + Log);
  // A bare name resolves against the working folder given.
  ShellExecuteA(nullptr, "open", "notepad", "korcam.log", (Base + "/Korvane Webcam").c_str(), SW_SHOWNORMAL);
  EXPECT_EQ(Launcher.Last(), Program + "|--new-window|" + Log);
}

TEST_F(ShellExecute, AStartedProgramGetsItsArgumentsVerbatim) {
  const std::string Base = Folder.Path().string();
  HINSTANCE Result = ShellExecuteA(nullptr, "open", Program.c_str(), "-a \"two words\" \"x; touch pwned\" $(id)",
                                   Base.c_str(), SW_SHOWNORMAL);
  ASSERT_GT(Code(Result), 32);
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::string Written;
  while (std::chrono::steady_clock::now() < Deadline) {
    Written = Folder.Read("args.txt");
    if (Written.size() >= 34) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(Written, "-a\ntwo words\nx; touch pwned\n$(id)\n");
  EXPECT_FALSE(FileExists(Base + "/pwned"));
}

}  // namespace
