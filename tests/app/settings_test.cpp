// The settings file: what a real close writes, in which order, and what the next start reads back.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/datamodule1.h"
#include "app/formghost.h"
#include "platform/rtl/atomicfile.h"
#include "platform/rtl/profile.h"
#include "tests/app/apptest.h"

namespace {

using Settings = TAppTest;

// The keys a table owns in the file, in tree order: each item's key and its " -Expanded" key.
std::vector<std::string> ExpectedKeys(TkvDataInspector* Table) {
  std::vector<std::string> Keys;
  for (TkvInspectorItem* Item = Table->FirstItem(false); Item; Item = Item->NextItem(false, false)) {
    Keys.push_back(Item->TagString());
    Keys.push_back(Item->TagString() + " -Expanded");
  }
  return Keys;
}

TEST_F(Settings, ARealCloseWritesBothTablesInTreeOrder) {
  Start();
  CloseForReal();
  ASSERT_TRUE(Exists("korcam.ini"));
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(GetProfileSectionNames(SettingsPath()), (std::vector<std::string>{"Image", "Options"}));
  EXPECT_EQ(GetProfileKeyNames("Image", SettingsPath()), ExpectedKeys(FormGhost->InspectorImageEffects));
  EXPECT_EQ(GetProfileKeyNames("Options", SettingsPath()), ExpectedKeys(FormGhost->InspectorOptions));
  EXPECT_EQ(GetPrivateProfileStringA("Options", "Log File", "", SettingsPath()), "korcam.log");
  EXPECT_EQ(GetPrivateProfileStringA("Options", "PanelWidth", "", SettingsPath()), "320");
  EXPECT_EQ(GetPrivateProfileStringA("Image", "Image Effects Alpha Blend -Expanded", "", SettingsPath()), "true");
  EXPECT_EQ(GetPrivateProfileStringA("Image", "Image Effects Rotation -Expanded", "", SettingsPath()), "false");
  // The run's last log entry is an empty line.
  const std::string Log = ReadText("korcam.log");
  ASSERT_GE(Log.size(), 4u);
  EXPECT_EQ(Log.substr(Log.size() - 6), "  \r\n\r\n") << Log;
}

TEST_F(Settings, TheNextStartReadsItBackUnchanged) {
  WriteText("korcam.ini", "[Other]\nKept=by the user\n");
  Start();
  Option("Text/Text")->SetEditText("Hello, camera");
  Option("Picture")->SetExpanded(true);
  ImageOption("Wave Ratio")->SetEditText("7");
  // A video size the camera delivers (the next start asks the camera for it again).
  Option("Video Window Size")->SetEditText("640 x 480");
  FormGhost->FVideoWidth = 640;
  FormGhost->FVideoHeight = 480;
  CloseForReal();
  const std::string First = ReadText("korcam.ini");

  Restart();
  EXPECT_EQ(Option("Text/Text")->EditText(), "Hello, camera");
  EXPECT_TRUE(Option("Picture")->Expanded());
  EXPECT_EQ(ImageOption("Wave Ratio")->EditText(), "7");
  EXPECT_EQ(FormGhost->kvDBSpinImageEditWaveRatio->Value(), 7);
  // The shared key of the live table keeps its own value: the sections keep them apart.
  EXPECT_EQ(Option("Wave Ratio")->EditText(), "5");
  EXPECT_EQ(FormGhost->FVideoWidth, 640);
  EXPECT_EQ(FormGhost->FVideoHeight, 480);
  CloseForReal();
  EXPECT_EQ(ReadText("korcam.ini"), First);
  EXPECT_EQ(GetPrivateProfileStringA("Other", "Kept", "", SettingsPath()), "by the user");
}

TEST_F(Settings, OnlyExactlyTrueExpandsAndHiddenRowsStoreFalse) {
  WriteText("korcam.ini",
            "[Options]\nPicture -Expanded=true\nText Caption -Expanded=TRUE\nTime Caption -Expanded=True\n"
            "FTP Upload -Expanded=true\n[Image]\nImage Effects Alpha Blend -Expanded=false\n");
  Start();
  struct TCase {
    const char* Key;
    bool Expanded;
  } Cases[] = {
      {"Picture", true},
      {"Text Caption", false},  // upper case
      {"Time Caption", false},  // capitalised
      {"Watermark", false},     // no key at all
      {"FTP Upload", true},     // hidden, but read as stored
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Key);
    EXPECT_EQ(Option(Case.Key)->Expanded(), Case.Expanded);
  }
  EXPECT_FALSE(ImageOption("Image Effects Alpha Blend")->Expanded());
  CloseForReal();
  // A hidden group that was expanded is stored collapsed.
  EXPECT_EQ(GetPrivateProfileStringA("Options", "FTP Upload -Expanded", "", SettingsPath()), "false");
  EXPECT_EQ(GetPrivateProfileStringA("Options", "Picture -Expanded", "", SettingsPath()), "true");
}

// A spin editor's row takes only a whole number; the editor clamps what it shows, the row keeps
// what was stored.
TEST_F(Settings, SpinRowsTakeWholeNumbersAndTheEditorClamps) {
  struct TCase {
    const char* Name;
    const char* Stored;
    const char* Text;
    double Value;
    uint32_t Interval;
  } Cases[] = {
      {"not a number: treated as missing", "abc", "15", 15, 66},
      {"a fraction: treated as missing", "12.5", "15", 15, 66},
      {"above the editor's range", "99", "99", 30, 33},
      {"below it", "-4", "-4", 1, 1000},
      {"in range", "10", "10", 10, 100},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    // No camera: a first start would open the video device group, whose painted rows hand the
    // editor the row's text as it stands.
    WriteText("korcam.ini", std::string("[Options]\nSelect driver=no driver\nPreview Rate=") + Case.Stored +
                                "\nStart with Windows=True\n");
    Start();
    EXPECT_EQ(Option("Preview Rate")->EditText(), Case.Text);
    EXPECT_EQ(FormGhost->kvDBSpinEditPreviewRate->Value(), Case.Value);
    EXPECT_EQ(DataModule1->TimerPreview->Interval(), Case.Interval);
    // The rows after it still load.
    EXPECT_EQ(Option("Start with Windows")->EditText(), "True");
    Stop();
  }
}

TEST_F(Settings, AnEmptiedOptionStaysEmpty) {
  WriteText("korcam.ini", "[Options]\nText/Text=Hello\nPicture Target Folder=/srv/camera\n");
  Start();
  Option("Text/Text")->SetEditText("");
  Option("Picture Target Folder")->SetEditText("");
  CloseForReal();
  Restart();
  EXPECT_EQ(Option("Text/Text")->EditText(), "");
  EXPECT_EQ(Option("Picture Target Folder")->EditText(), "");
}

TEST_F(Settings, LongValuesAreStoredAndReadWhole) {
  std::string Folder = "/home/user";
  while (Folder.size() < 700) Folder += "/a folder with a long name";
  Start();
  Option("Picture Target Folder")->SetEditText(Folder);
  CloseForReal();
  Restart();
  EXPECT_EQ(Option("Picture Target Folder")->EditText(), Folder);
}

// A settings file that cannot be replaced (a full disk, a vanished folder) is logged and the
// previous file stays as it was.
TEST_F(Settings, AFailedWriteIsLoggedAndThePreviousFileKept) {
  WriteText("korcam.ini", "[Options]\nText/Text=Before\n");
  Start();
  Option("Text/Text")->SetEditText("After");
  SetAtomicWriteFault(TAtomicWriteFault::Write, TAtomicWriteFaultDuration::UntilCleared);
  CloseForReal();
  SetAtomicWriteFault(TAtomicWriteFault::None);
  EXPECT_EQ(ReadText("korcam.ini"), "[Options]\nText/Text=Before\n");
  EXPECT_NE(ReadText("korcam.log").find("Save settings failed"), std::string::npos);
}

// The log's four options, read afresh on every entry.
TEST_F(Settings, TheLogFollowsItsOptions) {
  Start();
  FormGhost->WriteLog("first");
  EXPECT_NE(ReadText("korcam.log").find("  first\r\n"), std::string::npos);

  Option("Log File")->SetEditText("my.log");
  FormGhost->WriteLog("second");
  EXPECT_NE(ReadText("my.log").find("  second\r\n"), std::string::npos);

  Option("Log File")->SetEditText(Path("logs/other.log"));
  std::filesystem::create_directories(Path("logs"));
  FormGhost->WriteLog("third");
  EXPECT_NE(ReadText("logs/other.log").find("  third\r\n"), std::string::npos);

  // Switched off, nothing is written and the file is not touched.
  Option("Error history")->SetChecked(false);
  Option("Log File")->SetEditText("off.log");
  FormGhost->WriteLog("fourth");
  EXPECT_FALSE(Exists("off.log"));

  // The size limit: 16 KB with a file just under it.
  Option("Error history")->SetChecked(true);
  Option("Max file size")->SetEditText("16");
  WriteText("off.log", std::string(16300, 'x'));
  FormGhost->WriteLog(std::string(70, 'y'));
  const std::string Log = ReadText("off.log");
  EXPECT_EQ(Log.size(), 23 + 2 + 70 + 2u) << "only the new entry is left";
}

}  // namespace
