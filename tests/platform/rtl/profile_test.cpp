#include "platform/rtl/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/atomicfile.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

// A settings file the way the program writes it, with a user's comment and a foreign line.
const std::string KorcamIni =
    "[Image]\r\n"
    "Rotation Angle=90\r\n"
    "Rotation Angle -Expanded=false\r\n"
    "\r\n"
    "[Options]\r\n"
    "; edited by hand\r\n"
    "Picture  Save Last=5\r\n"
    "Time Format=hh:mm:ss\r\n"
    "Picture Target Folder=/home/oleg/Фото/Камера\r\n"
    "not a key line\r\n";

std::string Read(const std::string& Section, const std::string& Key, const std::string& Default,
                 const std::string& FileName) {
  char Buffer[260];
  DWORD Length = GetPrivateProfileStringA(Section.c_str(), Key.c_str(), Default.c_str(), Buffer,
                                          sizeof Buffer, FileName.c_str());
  EXPECT_EQ(Length, std::strlen(Buffer));
  return std::string(Buffer, Length);
}

TEST(ProfileRead, RulesOfTheSettingsFile) {
  struct TCase {
    const char* Name;
    std::optional<std::string> File;  // nullopt: no file
    std::string Section, Key, Default, Expected;
  };
  const std::string LongPath = "/srv/" + std::string(400, 'x') + "/pictures";
  const TCase Cases[] = {
      {"plain key", KorcamIni, "Options", "Time Format", "", "hh:mm:ss"},
      {"section and key case are ignored", KorcamIni, "OPTIONS", "time format", "", "hh:mm:ss"},
      {"inner double blank is part of the key", KorcamIni, "Options", "Picture  Save Last", "", "5"},
      {"single blank is another key", KorcamIni, "Options", "Picture Save Last", "d", "d"},
      {"same key in another section", KorcamIni, "Image", "Rotation Angle", "", "90"},
      {"missing key gives the default", KorcamIni, "Image", "Wave Ratio", "12", "12"},
      {"missing section gives the default", KorcamIni, "Misc", "PanelWidth", "320", "320"},
      {"missing file gives the default", std::nullopt, "Options", "Time Format", "h:nn", "h:nn"},
      {"default loses trailing blanks", std::nullopt, "A", "B", "value  ", "value"},
      {"Cyrillic value", KorcamIni, "Options", "Picture Target Folder", "", "/home/oleg/Фото/Камера"},
      {"Cyrillic key and section", "[Настройки]\nПапка = Съёмка\n", "Настройки", "Папка", "", "Съёмка"},
      {"case folding is ASCII only", "[Настройки]\nПапка = Съёмка\n", "настройки", "Папка", "d", "d"},
      {"blanks around key and value", "[S]\n  Key \t=   spaced value  \n", "S", "key", "", "spaced value"},
      {"blanks inside section brackets", "[  S  ]\nK=1\n", "S", "K", "", "1"},
      {"double quotes are dropped", "[S]\nK=\"  quoted  \"\n", "S", "K", "", "  quoted  "},
      {"single quotes are dropped", "[S]\nK='x'\n", "S", "K", "", "x"},
      {"only one pair of quotes", "[S]\nK=\"\"x\"\"\n", "S", "K", "", "\"x\""},
      {"unmatched quotes stay", "[S]\nK=\"x'\n", "S", "K", "", "\"x'"},
      {"a lone quote stays", "[S]\nK=\"\n", "S", "K", "", "\""},
      {"value holding '='", "[S]\nK=a=b\n", "S", "K", "", "a=b"},
      {"empty value is not the default", "[S]\nK=\n", "S", "K", "dflt", ""},
      {"line without '=' is a key with no value", KorcamIni, "Options", "not a key line", "d", ""},
      {"comment is not a key", KorcamIni, "Options", "; edited by hand", "d", "d"},
      {"key before any section belongs to none", "K=1\n[S]\n", "S", "K", "d", "d"},
      {"second block of a section", "[S]\nA=1\n[T]\nB=2\n[s]\nC=3\n", "S", "C", "", "3"},
      {"first occurrence wins", "[S]\nA=1\nA=2\n", "S", "A", "", "1"},
      {"LF file", "[S]\nA=1\nB=2", "S", "B", "", "2"},
      {"CR file", "[S]\rA=1\rB=2\r", "S", "B", "", "2"},
      {"byte-order mark before the first section", "\xEF\xBB\xBF[S]\r\nA=1\r\n", "S", "A", "", "1"},
      {"long value through a short buffer", "[S]\nP=" + LongPath + "\n", "S", "P", "",
       LongPath.substr(0, 259)},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTempFolder Folder;
    const std::string File = Folder.File("korcam.ini");
    if (Case.File) Folder.Write("korcam.ini", *Case.File);
    EXPECT_EQ(Read(Case.Section, Case.Key, Case.Default, File), Case.Expected);
    if (Case.Expected.size() < 259) {
      EXPECT_EQ(GetPrivateProfileStringA(Case.Section, Case.Key, Case.Default, File),
                Case.Name == std::string("default loses trailing blanks") ? "value  " : Case.Expected);
    }
  }
}

TEST(ProfileRead, LongValuesSurviveWholeAndTheBufferCutKeepsCharactersWhole) {
  TTempFolder Folder;
  const std::string File = Folder.File("korcam.ini");
  const std::string LongPath = "/home/" + std::string(300, 'p') + "/Фото";
  const std::string Cyrillic(400, '\0');
  std::string Letters;
  for (int Index = 0; Index < 200; ++Index) Letters += "ж";  // 400 bytes
  ASSERT_TRUE(WritePrivateProfileStringA("Options", "Picture Target Folder", LongPath.c_str(), File.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Options", "Caption", Letters.c_str(), File.c_str()));

  EXPECT_EQ(GetPrivateProfileStringA("Options", "Picture Target Folder", "", File), LongPath);

  char Buffer[260];
  EXPECT_EQ(GetPrivateProfileStringA("Options", "Picture Target Folder", "", Buffer, 260, File.c_str()),
            259u);
  EXPECT_EQ(std::string(Buffer), LongPath.substr(0, 259));
  // 259 bytes would split a two-byte letter: the cut stops before it.
  EXPECT_EQ(GetPrivateProfileStringA("Options", "Caption", "", Buffer, 260, File.c_str()), 258u);
  EXPECT_EQ(std::string(Buffer), Letters.substr(0, 258));
  EXPECT_EQ(GetPrivateProfileStringA("Options", "Caption", "", Buffer, 1, File.c_str()), 0u);
  EXPECT_EQ(Buffer[0], '\0');
}

TEST(ProfileRead, ListsSectionsAndKeysAsNulSeparatedLists) {
  TTempFolder Folder;
  const std::string File = Folder.File("korcam.ini");
  Folder.Write("korcam.ini", "[Image]\nA=1\nB=2\n[Options]\nC=3\n; note\nD\n[image]\nE=5\nA=9\n");
  char Buffer[64];
  DWORD Length = GetPrivateProfileStringA(nullptr, nullptr, nullptr, Buffer, sizeof Buffer, File.c_str());
  EXPECT_EQ(std::string(Buffer, Length + 1), std::string("Image\0Options\0", 15));
  Length = GetPrivateProfileStringA("IMAGE", nullptr, nullptr, Buffer, sizeof Buffer, File.c_str());
  EXPECT_EQ(std::string(Buffer, Length + 1), std::string("A\0B\0E\0", 7));
  Length = GetPrivateProfileStringA("Options", nullptr, nullptr, Buffer, sizeof Buffer, File.c_str());
  EXPECT_EQ(std::string(Buffer, Length + 1), std::string("C\0D\0", 5));

  // Too small: the list is cut, ends with two NULs, and the result is Size - 2.
  Length = GetPrivateProfileStringA(nullptr, nullptr, nullptr, Buffer, 9, File.c_str());
  EXPECT_EQ(Length, 7u);
  EXPECT_EQ(std::string(Buffer, 9), std::string("Image\0O\0\0", 9));
  // The first name fills the buffer up to its last byte: the next one is cut to nothing.
  std::memset(Buffer, 'x', sizeof Buffer);
  Length = GetPrivateProfileStringA(nullptr, nullptr, nullptr, Buffer, 7, File.c_str());
  EXPECT_EQ(Length, 5u);
  EXPECT_EQ(std::string(Buffer, 8), std::string("Image\0\0x", 8));

  Length = GetPrivateProfileStringA("Misc", nullptr, nullptr, Buffer, sizeof Buffer, File.c_str());
  EXPECT_EQ(Length, 0u);
  EXPECT_EQ(Buffer[0], '\0');
  EXPECT_EQ(GetProfileKeyNames("image", File), (std::vector<std::string>{"A", "B", "E"}));
  EXPECT_EQ(GetProfileSectionNames(Folder.File("missing.ini")), std::vector<std::string>());
}

TEST(ProfileWrite, RulesOfTheSettingsFile) {
  struct TWrite {
    const char* Section;
    const char* Key;
    const char* Value;
  };
  struct TCase {
    const char* Name;
    std::optional<std::string> File;
    std::vector<TWrite> Writes;
    std::optional<std::string> Expected;  // nullopt: still no file
  };
  const TCase Cases[] = {
      {"first write creates the file, CR LF",
       std::nullopt,
       {{"Image", "Rotation Angle", "90"},
        {"Options", "Time Format", "hh:mm:ss"},
        {"Image", "Wave Ratio", "2"}},
       "[Image]\r\nRotation Angle=90\r\nWave Ratio=2\r\n\r\n[Options]\r\nTime Format=hh:mm:ss\r\n"},
      {"replace in place keeps every other line and the key's spelling",
       KorcamIni,
       {{"OPTIONS", "TIME FORMAT", "h:nn am/pm"}},
       "[Image]\r\nRotation Angle=90\r\nRotation Angle -Expanded=false\r\n\r\n[Options]\r\n; edited by "
       "hand\r\n"
       "Picture  Save Last=5\r\nTime Format=h:nn am/pm\r\nPicture Target Folder=/home/oleg/Фото/Камера\r\n"
       "not a key line\r\n"},
      {"new key goes to the end of its section, before the blank line",
       KorcamIni,
       {{"image", "Wave Ratio", "3"}},
       "[Image]\r\nRotation Angle=90\r\nRotation Angle -Expanded=false\r\nWave Ratio=3\r\n\r\n[Options]\r\n"
       "; edited by hand\r\nPicture  Save Last=5\r\nTime Format=hh:mm:ss\r\n"
       "Picture Target Folder=/home/oleg/Фото/Камера\r\nnot a key line\r\n"},
      {"LF file stays LF", "[S]\nA=1\n", {{"S", "B", "2"}, {"T", "C", "3"}}, "[S]\nA=1\nB=2\n\n[T]\nC=3\n"},
      {"file without a final line end", "[S]\nA=1", {{"S", "B", "2"}}, "[S]\nA=1\nB=2\n"},
      {"blanks around names are not stored", std::nullopt, {{" S ", " K ", "v"}}, "[S]\r\nK=v\r\n"},
      {"Cyrillic key and value",
       std::nullopt,
       {{"Опции", "Папка", "/дом/фото"}},
       "[Опции]\r\nПапка=/дом/фото\r\n"},
      {"value is stored as given", "[S]\nA=1\n", {{"S", "A", " \"quoted\" "}}, "[S]\nA= \"quoted\" \n"},
      {"rewriting the same value changes nothing", "[S]\n  A = 1 \n", {{"S", "A", " 1 "}}, "[S]\nA= 1 \n"},
      {"byte-order mark and odd lines are kept",
       "\xEF\xBB\xBFjunk\r\n[S]\r\n\r\n[[x]]\r\n",
       {{"S", "A", "1"}},
       "\xEF\xBB\xBFjunk\r\n[S]\r\nA=1\r\n\r\n[[x]]\r\n"},
      {"NULL value deletes the key",
       KorcamIni,
       {{"Options", "time format", nullptr}, {"Options", "nope", nullptr}},
       "[Image]\r\nRotation Angle=90\r\nRotation Angle -Expanded=false\r\n\r\n[Options]\r\n; edited by "
       "hand\r\n"
       "Picture  Save Last=5\r\nPicture Target Folder=/home/oleg/Фото/Камера\r\nnot a key line\r\n"},
      {"NULL key deletes the section and its lines",
       KorcamIni,
       {{"image", nullptr, nullptr}},
       "[Options]\r\n; edited by hand\r\nPicture  Save Last=5\r\nTime Format=hh:mm:ss\r\n"
       "Picture Target Folder=/home/oleg/Фото/Камера\r\nnot a key line\r\n"},
      {"deleting from a missing file creates nothing",
       std::nullopt,
       {{"S", nullptr, nullptr}, {"S", "K", nullptr}},
       std::nullopt},
      {"all blocks of a section are deleted",
       "[S]\nA=1\n[T]\nB=2\n[s]\nC=3\n",
       {{"S", nullptr, nullptr}},
       "[T]\nB=2\n"},
      {"erase then write rebuilds the section at the end",
       "[Grid]\nA=1\n[Other]\nX=0\n",
       {{"Grid", nullptr, nullptr}, {"Grid", "B", "2"}},
       "[Other]\nX=0\n\n[Grid]\nB=2\n"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTempFolder Folder;
    const std::string File = Folder.File("korcam.ini");
    if (Case.File) Folder.Write("korcam.ini", *Case.File);
    for (const auto& Write : Case.Writes)
      EXPECT_TRUE(WritePrivateProfileStringA(Write.Section, Write.Key, Write.Value, File.c_str()));
    if (Case.Expected) {
      EXPECT_EQ(Folder.Read("korcam.ini"), *Case.Expected);
      for (const auto& Write : Case.Writes) {
        if (!Write.Key || !Write.Value) continue;
        // What reading gives back: the value without surrounding blanks and quotes.
        std::string Value = Write.Value;
        std::string Expected = Value == " \"quoted\" " ? "quoted" : Value == " 1 " ? "1" : Value;
        EXPECT_EQ(GetPrivateProfileStringA(Write.Section, Write.Key, "?", File), Expected);
      }
    } else {
      EXPECT_FALSE(std::filesystem::exists(File));
    }
    // Nothing but the settings file is left in the folder.
    EXPECT_EQ(Folder.Listing(), Case.Expected ? "korcam.ini" : "");
  }
}

TEST(ProfileWrite, RefusesWhatTheFormatCannotHoldAndLeavesTheFile) {
  TTempFolder Folder;
  const std::string File = Folder.File("korcam.ini");
  Folder.Write("korcam.ini", KorcamIni);
  struct TCase {
    const char* Name;
    const char* Section;
    const char* Key;
    const char* Value;
  };
  const TCase Cases[] = {
      {"line end in a value", "Options", "K", "one\r\ntwo"},
      {"'=' in a key", "Options", "a=b", "1"},
      {"key that reads as a section", "Options", "[x", "1"},
      {"key that reads as a comment", "Options", " ;x", "1"},
      {"']' in a section", "a]b", "K", "1"},
      {"line end in a section", "a\nb", "K", "1"},
      {"no section", nullptr, "K", "1"},
      {"no file name", "Options", "K", "1"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const char* FileName = std::string(Case.Name) == "no file name" ? nullptr : File.c_str();
    EXPECT_FALSE(WritePrivateProfileStringA(Case.Section, Case.Key, Case.Value, FileName));
    EXPECT_EQ(Folder.Read("korcam.ini"), KorcamIni);
  }
}

TEST(ProfileWrite, FailedReplacementLeavesTheOldFileAndNoTemporary) {
  TTempFolder Folder;
  const std::string File = Folder.File("korcam.ini");
  Folder.Write("korcam.ini", KorcamIni);
  ::chmod(File.c_str(), 0640);
  const TAtomicWriteFault Faults[] = {TAtomicWriteFault::Write, TAtomicWriteFault::Sync,
                                      TAtomicWriteFault::Rename};
  for (TAtomicWriteFault Fault : Faults) {
    SCOPED_TRACE(static_cast<int>(Fault));
    SetAtomicWriteFault(Fault);
    EXPECT_FALSE(WritePrivateProfileStringA("Options", "Time Format", "changed", File.c_str()));
    EXPECT_EQ(Folder.Read("korcam.ini"), KorcamIni);
    EXPECT_EQ(Folder.Listing(), "korcam.ini");
    // The failed change is not remembered either: the file is what counts.
    EXPECT_EQ(GetPrivateProfileStringA("Options", "Time Format", "", File), "hh:mm:ss");
  }
  EXPECT_TRUE(WritePrivateProfileStringA("Options", "Time Format", "changed", File.c_str()));
  EXPECT_EQ(GetPrivateProfileStringA("Options", "Time Format", "", File), "changed");
  struct stat Info {};
  ASSERT_EQ(::stat(File.c_str(), &Info), 0);
  EXPECT_EQ(Info.st_mode & 0777, 0640u);  // the replacement keeps the permissions

  // A file that is there but cannot be read is never written over.
  const std::string Folderish = Folder.File("folder.ini");
  std::filesystem::create_directory(Folderish);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "v", Folderish.c_str()));
  EXPECT_EQ(GetPrivateProfileStringA("S", "K", "d", Folderish), "d");
  // Nor is a file in a folder that does not exist created.
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "v", Folder.File("none/korcam.ini").c_str()));
}

TEST(ProfileWrite, SeesChangesMadeByOthersBetweenCalls) {
  TTempFolder Folder;
  const std::string File = Folder.File("korcam.ini");
  Folder.Write("korcam.ini", "[S]\nA=1\n");
  EXPECT_EQ(GetPrivateProfileStringA("S", "A", "", File), "1");
  Folder.Write("korcam.ini", "[S]\nA=2\n");  // same size, possibly the same time stamp
  EXPECT_EQ(GetPrivateProfileStringA("S", "A", "", File), "2");
  ASSERT_TRUE(WritePrivateProfileStringA("S", "B", "3", File.c_str()));
  EXPECT_EQ(Folder.Read("korcam.ini"), "[S]\nA=2\nB=3\n");
  std::filesystem::remove(File);
  EXPECT_EQ(GetPrivateProfileStringA("S", "A", "gone", File), "gone");
}

TEST(ProfileBatch, WritesTheFileOnceAtTheEnd) {
  TTempFolder Folder;
  const std::string File = Folder.File("korcam.ini");
  Folder.Write("korcam.ini", KorcamIni);
  struct stat Before {};
  ASSERT_EQ(::stat(File.c_str(), &Before), 0);
  {
    TProfileBatch Batch(File);
    for (int Index = 0; Index < 300; ++Index) {
      std::string Key = "Item " + std::to_string(Index);
      ASSERT_TRUE(
          WritePrivateProfileStringA("Options", Key.c_str(), std::to_string(Index).c_str(), File.c_str()));
      ASSERT_TRUE(WritePrivateProfileStringA("Options", (Key + " -Expanded").c_str(), "false", File.c_str()));
    }
    {
      TProfileBatch Inner(File);  // nested: only the outermost writes
      ASSERT_TRUE(WritePrivateProfileStringA("Image", "Rotation Angle", "180", File.c_str()));
    }
    // Not on the disk yet, but reads see it.
    EXPECT_EQ(Folder.Read("korcam.ini"), KorcamIni);
    EXPECT_EQ(GetPrivateProfileStringA("Options", "Item 299", "", File), "299");
    EXPECT_EQ(GetPrivateProfileStringA("Image", "Rotation Angle", "", File), "180");
    struct stat During {};
    ASSERT_EQ(::stat(File.c_str(), &During), 0);
    EXPECT_EQ(During.st_ino, Before.st_ino);
  }
  std::string Text = Folder.Read("korcam.ini");
  EXPECT_NE(Text.find("Rotation Angle=180\r\n"), std::string::npos);
  EXPECT_NE(Text.find("not a key line\r\nItem 0=0\r\nItem 0 -Expanded=false\r\nItem 1=1\r\n"),
            std::string::npos);
  EXPECT_EQ(GetProfileKeyNames("Options", File).size(), 4u + 600u);
  EXPECT_EQ(Folder.Listing(), "korcam.ini");

  // An explicit flush (all three NULL) writes pending changes while the batch goes on.
  TProfileBatch Batch(File);
  ASSERT_TRUE(WritePrivateProfileStringA("Image", "Rotation Angle", "270", File.c_str()));
  EXPECT_EQ(Folder.Read("korcam.ini").find("Rotation Angle=270"), std::string::npos);
  EXPECT_TRUE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, File.c_str()));
  EXPECT_NE(Folder.Read("korcam.ini").find("Rotation Angle=270"), std::string::npos);
  SetAtomicWriteFault(TAtomicWriteFault::Rename);
  ASSERT_TRUE(WritePrivateProfileStringA("Image", "Rotation Angle", "0", File.c_str()));
  EXPECT_FALSE(Batch.Commit());  // the failure is reported; the change stays pending
  EXPECT_TRUE(Batch.Commit());
  EXPECT_NE(Folder.Read("korcam.ini").find("Rotation Angle=0\r\n"), std::string::npos);
}

// A disk that stays full: every try of the batch fails, its last one at its end too, and the old
// file is left as it was, with nothing of the lost changes kept in memory.
TEST(ProfileBatch, ALastingFailureLeavesTheOldFile) {
  TTempFolder Folder;
  const std::string File = Folder.File("korcam.ini");
  Folder.Write("korcam.ini", KorcamIni);
  const std::string Before = GetPrivateProfileStringA("Image", "Rotation Angle", "none", File);
  SetAtomicWriteFault(TAtomicWriteFault::Write, TAtomicWriteFaultDuration::UntilCleared);
  {
    TProfileBatch Batch(File);
    ASSERT_TRUE(WritePrivateProfileStringA("Image", "Rotation Angle", "123", File.c_str()));
    EXPECT_FALSE(Batch.Commit());
    EXPECT_FALSE(Batch.Commit());
  }
  SetAtomicWriteFault(TAtomicWriteFault::None);
  EXPECT_EQ(Folder.Read("korcam.ini"), KorcamIni);
  EXPECT_EQ(Folder.Listing(), "korcam.ini");
  EXPECT_EQ(GetPrivateProfileStringA("Image", "Rotation Angle", "none", File), Before);
}

TEST(ProfileFile, BareNameLiesInTheProgramFolder) {
  TTempFolder Folder;
  const char* Saved = std::getenv("KORCAM_HOME");
  std::string SavedValue = Saved ? Saved : "";
  ::setenv("KORCAM_HOME", Folder.Path().c_str(), 1);
  EXPECT_TRUE(WritePrivateProfileStringA("History", "0", "first", "kvhistory.ini"));
  EXPECT_EQ(Folder.Read("kvhistory.ini"), "[History]\r\n0=first\r\n");
  EXPECT_EQ(GetPrivateProfileStringA("History", "0", "", "kvhistory.ini"), "first");
  if (Saved)
    ::setenv("KORCAM_HOME", SavedValue.c_str(), 1);
  else
    ::unsetenv("KORCAM_HOME");
}

}  // namespace
