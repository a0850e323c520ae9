// "Start with Windows" as the program does it -- the Run value written and deleted through the
// registry object -- lands in the desktop's autostart folder, reads back, and leaves a user's own
// files and the registry's store alone. Everything happens in a temporary configuration folder.

#include "platform/shell/autostart.h"

#include <gtest/gtest.h>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/stringlist.h"
#include "platform/shell/desktopentry.h"
#include "tests/platform/rtl/temp_folder.h"
#include "tests/platform/shell/shelltest.h"

using namespace ShellTest;

namespace {

const char* const RunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class Autostart : public ::testing::Test {
 protected:
  void SetUp() override { SetRegistryStorePath(Folder.File("registry.dat")); }
  void TearDown() override { SetRegistryStorePath(""); }

  TTempFolder Folder;
  TScopedEnvironment ConfigHome{"XDG_CONFIG_HOME", Folder.File("config")};
};

TEST_F(Autostart, TheRunValueIsTheAutostartEntry) {
  const std::string Entry = Folder.File("config/autostart/korvane-webcam.desktop");
  const std::string Command = "\"/opt/Korvane WebCam/korcam\"";
  TRegistry Reg;
  Reg.SetRootKey(HKEY_LOCAL_MACHINE);
  // Opened without being created, before the autostart folder even exists.
  ASSERT_TRUE(Reg.OpenKey(RunKey, false));
  Reg.WriteString("Korvane WebCam", Command);
  ASSERT_TRUE(FileExists(Entry));
  TDesktopFile File = ParseDesktopFile(Folder.Read("config/autostart/korvane-webcam.desktop"));
  EXPECT_EQ(File.Value("Desktop Entry", "Type"), "Application");
  EXPECT_EQ(File.Value("Desktop Entry", "Name"), "Korvane WebCam");
  EXPECT_EQ(File.Value("Desktop Entry", "Exec"), "\"/opt/Korvane WebCam/korcam\"");

  // Read back by another registry object, as the next start of the program would.
  TRegistry Again;
  Again.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(Again.OpenKeyReadOnly(RunKey));
  EXPECT_EQ(Again.ReadString("Korvane WebCam"), Command);
  TStringList Names;
  Again.GetValueNames(Names);
  ASSERT_EQ(Names.Count(), 1);
  EXPECT_EQ(Names[0], "Korvane WebCam");
  EXPECT_FALSE(FileExists(Folder.File("registry.dat")));

  // Writing again replaces the entry; deleting removes it; deleting a missing one is no error.
  Reg.WriteString("Korvane WebCam", "\"/usr/bin/korcam\" -min");
  EXPECT_EQ(Again.ReadString("KORVANE WEBCAM"), "\"/usr/bin/korcam\" -min");
  EXPECT_TRUE(Reg.DeleteValue("Korvane WebCam"));
  EXPECT_FALSE(FileExists(Entry));
  EXPECT_FALSE(Reg.DeleteValue("Korvane WebCam"));
  EXPECT_FALSE(Again.ValueExists("Korvane WebCam"));
}

TEST_F(Autostart, CommandLinesOfEveryKindReadBack) {
  const char* const Lines[] = {
      "\"/home/пользователь/Камера 100%/korcam\"",
      "\"/opt/a`c$d/korcam\" \"two words\" x;y \"say \\\"hi\\\"\"",
      "\"/srv/back\\slash/korcam\" trailing\\",
  };
  for (const char* Line : Lines) {
    SCOPED_TRACE(Line);
    ASSERT_TRUE(WriteAutostartEntry("Korvane WebCam", Line));
    EXPECT_EQ(ReadAutostartEntry("Korvane WebCam"), Line);
  }
  // Names with marks get files of their own.
  EXPECT_TRUE(WriteAutostartEntry("Камера: 2/3", "\"/usr/bin/x\""));
  EXPECT_EQ(AutostartEntryPath("Камера: 2/3"), Folder.File("config/autostart/Камера%3A-2%2F3.desktop"));
  EXPECT_EQ(ReadAutostartEntry("Камера: 2/3"), "\"/usr/bin/x\"");
  EXPECT_EQ(AutostartEntryNames(), (std::vector<std::string>{"Korvane WebCam", "Камера: 2/3"}));
  // A line without a program writes nothing.
  EXPECT_FALSE(WriteAutostartEntry("Empty", "   "));
  EXPECT_FALSE(FileExists(AutostartEntryPath("Empty")));
}

TEST_F(Autostart, AUsersOwnFileIsNeverTouched) {
  std::filesystem::create_directories(Folder.Path() / "config/autostart");
  const std::string Own = "[Desktop Entry]\nType=Application\nName=Mine\nExec=/usr/bin/mine\n";
  Folder.Write("config/autostart/korvane-webcam.desktop", Own);
  TRegistry Reg;
  Reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(Reg.OpenKey(RunKey, false));
  EXPECT_FALSE(Reg.ValueExists("Korvane WebCam"));
  EXPECT_THROW(Reg.WriteString("Korvane WebCam", "\"/usr/bin/korcam\""), ERegistryException);
  EXPECT_FALSE(Reg.DeleteValue("Korvane WebCam"));
  EXPECT_EQ(Folder.Read("config/autostart/korvane-webcam.desktop"), Own);
}

TEST_F(Autostart, TheKeyDoesNotOpenWhereNothingCanBeWritten) {
  TRegistry Reg;
  Reg.SetRootKey(HKEY_LOCAL_MACHINE);
  {
    // The configuration folder cannot be made: a file stands in its way.
    Folder.Write("blocker", "");
    TScopedEnvironment Blocked{"XDG_CONFIG_HOME", Folder.File("blocker/config")};
    EXPECT_FALSE(Reg.OpenKey(RunKey, false));
    EXPECT_TRUE(Reg.OpenKeyReadOnly(RunKey));
    EXPECT_FALSE(Reg.ValueExists("Korvane WebCam"));
  }
  {
    // No configuration folder is known at all.
    TScopedEnvironment NoConfig{"XDG_CONFIG_HOME", std::nullopt};
    TScopedEnvironment NoHome{"HOME", std::nullopt};
    EXPECT_FALSE(Reg.OpenKey(RunKey, false));
    EXPECT_FALSE(WriteAutostartEntry("Korvane WebCam", "\"/usr/bin/korcam\""));
  }
}

}  // namespace
