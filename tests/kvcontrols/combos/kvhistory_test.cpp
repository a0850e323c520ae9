#include "kvcontrols/editors/kvhistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvcontrols/editors/kvintl.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/forms/forms_fixture.h"

namespace {

std::vector<std::string> Lines(const TStrings& List) {
  std::vector<std::string> Result;
  for (int Index = 0; Index < List.Count(); ++Index) Result.push_back(List[Index]);
  return Result;
}

void SetLines(TStrings& List, const std::vector<std::string>& Values) {
  List.Clear();
  for (const auto& Value : Values) List.Add(Value);
}

std::string ReadWholeFile(const std::string& Name) {
  TStringList File;
  File.LoadFromFile(Name);
  return File.Text();
}

// The history of a combo box that stores into a scratch INI file or registry store.
class KvHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRegistryStorePath(ScratchPath(std::string(CurrentTestName()) + ".reg"));
    FIniName = ScratchPath(std::string(CurrentTestName()) + ".ini");
    DeleteFile(FIniName);
  }
  void TearDown() override { SetRegistryStorePath(""); }
  static const char* CurrentTestName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

  std::string FIniName;
};

TEST_F(KvHistoryTest, IniFileRoundTripKeepsTheNewestEntries) {
  struct TCase {
    const char* Name;
    int32_t MaxSize;
    const char* FileText;
  };
  // Keys are the entries' indexes, so a cut list starts at count - MaxSize.
  const TCase Cases[] = {
      {"MaxSize -1 stores all", -1, "[Combo]\n0=a\n1=b\n2=c\n"},
      {"MaxSize 0 stores all", 0, "[Combo]\n0=a\n1=b\n2=c\n"},
      {"MaxSize 2 stores the newest two", 2, "[Combo]\n1=b\n2=c\n"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    DeleteFile(FIniName);
    TkvHistoryList History;
    History.SetFileName(FIniName);
    History.SetSection("Combo");
    History.SetMaxSize(Case.MaxSize);
    SetLines(History.Items(), {"a", "b", "c"});
    History.Save();
    std::string Text = ReadWholeFile(FIniName);
    Text.erase(std::remove(Text.begin(), Text.end(), '\r'), Text.end());
    EXPECT_EQ(Text, Case.FileText);
    EXPECT_EQ(History.Items().Count(), 3) << "the list in memory is not cut";

    TkvHistoryList Reader;
    Reader.SetFileName(FIniName);
    Reader.SetSection("Combo");
    TStringList Target;
    Reader.LoadInto(Target);
    EXPECT_TRUE(Reader.Loaded());
    const std::vector<std::string> Expected =
        Case.MaxSize > 0 ? std::vector<std::string>{"b", "c"} : std::vector<std::string>{"a", "b", "c"};
    EXPECT_EQ(Lines(Reader.Items()), Expected);
    EXPECT_EQ(Lines(Target), Expected);
  }
}

TEST_F(KvHistoryTest, IniReadingTakesKeysInFileOrder) {
  TStringList File;
  File.SetText("[Combo]\r\n7=seven\r\n2=two\r\nx=\r\n[Other]\r\n0=no\r\n");
  File.SaveToFile(FIniName);
  TkvHistoryList History;
  History.SetFileName(FIniName);
  History.SetSection("Combo");
  SetLines(History.Items(), {"stale"});
  TStringList Target;
  Target.Add("TWO");  // already offered: not added again, whatever its case
  History.LoadInto(Target);
  EXPECT_EQ(Lines(History.Items()), (std::vector<std::string>{"seven", "two", ""}));
  EXPECT_EQ(Lines(Target), (std::vector<std::string>{"TWO", "seven", ""}));
}

TEST_F(KvHistoryTest, RegistryRoundTripCutsTheListInMemoryToo) {
  TkvHistoryList History;
  History.SetStorageType(stRegistry);
  History.SetFileName("Software\\Korcam\\History");
  History.SetSection("Combo1");
  History.SetMaxSize(3);
  SetLines(History.Items(), {"a", "b", "c", "d", "Пётр"});
  History.Save();
  EXPECT_EQ(Lines(History.Items()), (std::vector<std::string>{"c", "d", "Пётр"}));

  TRegistry Registry;
  ASSERT_TRUE(Registry.OpenKey("Software\\Korcam\\History", false));
  std::string Bytes(size_t(Registry.GetDataSize("Combo1")), '\0');
  Registry.ReadBinaryData("Combo1", Bytes.data(), int32_t(Bytes.size()));
  EXPECT_EQ(Bytes, "c\r\nd\r\nПётр\r\n");

  TkvHistoryList Reader;
  Reader.SetStorageType(stRegistry);
  Reader.SetFileName("Software\\Korcam\\History");
  Reader.SetSection("Combo1");
  TStringList Target;
  Reader.LoadInto(Target);
  EXPECT_EQ(Lines(Target), (std::vector<std::string>{"c", "d", "Пётр"}));
}

TEST_F(KvHistoryTest, RegistryLinesEndAtAnyBreakAndANulEndsTheText) {
  struct TCase {
    const char* Name;
    std::string Bytes;
    std::vector<std::string> Entries;
  };
  const TCase Cases[] = {
      {"CR, LF and CR LF; inner empty line kept", std::string("a\rb\n\nc\r\n"), {"a", "b", "", "c"}},
      {"no final break", std::string("a\r\nb"), {"a", "b"}},
      {"NUL ends the text", std::string("a\r\nb\0c\r\n", 8), {"a", "b"}},
      {"empty value", std::string(), {}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    {
      TRegistry Registry;
      ASSERT_TRUE(Registry.OpenKey("Software\\Korcam\\Raw", true));
      Registry.WriteBinaryData("Value", Case.Bytes.data(), int32_t(Case.Bytes.size()));
    }
    TkvHistoryList History;
    History.SetStorageType(stRegistry);
    History.SetFileName("Software\\Korcam\\Raw");
    History.SetSection("Value");
    TStringList Target;
    History.LoadInto(Target);
    EXPECT_EQ(Lines(History.Items()), Case.Entries);
  }
  // A missing value is an empty history.
  TkvHistoryList Missing;
  Missing.SetStorageType(stRegistry);
  Missing.SetFileName("Software\\Korcam\\Raw");
  Missing.SetSection("Absent");
  SetLines(Missing.Items(), {"old"});
  TStringList Target;
  Missing.LoadInto(Target);
  EXPECT_EQ(Missing.Items().Count(), 0);
}

TEST_F(KvHistoryTest, WithoutASectionNothingIsReadOrWritten) {
  TkvHistoryList History;
  History.SetFileName(FIniName);
  SetLines(History.Items(), {"typed this run"});
  History.Save();
  EXPECT_FALSE(FileExists(FIniName));
  TStringList Target;
  History.LoadInto(Target);
  EXPECT_FALSE(History.Loaded());
  EXPECT_EQ(Lines(Target), (std::vector<std::string>{"typed this run"}));
}

TEST_F(KvHistoryTest, FileNameResolution) {
  TComponent Owner(nullptr);
  const std::string SavedIni = kvGlobalIntl->IniFileName();
  struct TCase {
    const char* Name;
    TkvStorageType Storage;
    bool WithOwner;
    const char* Stored;
    const char* Global;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"stored name wins", stIniFile, true, "mine.ini", "global.ini", "mine.ini"},
      {"the settings object's name next", stRegistry, false, "", "global.ini", "global.ini"},
      {"program base name for INI with an owner", stIniFile, true, "", "", kvDefaultIniFileName()},
      {"no made-up name without an owner", stIniFile, false, "", "", ""},
      {"no made-up registry key", stRegistry, true, "", "", ""},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    kvGlobalIntl->SetIniFileName(Case.Global);
    TkvHistoryList History(Case.WithOwner ? &Owner : nullptr);
    History.SetStorageType(Case.Storage);
    History.SetFileName(Case.Stored);
    EXPECT_EQ(History.ResolvedFileName(), Case.Expected);
  }
  kvGlobalIntl->SetIniFileName(SavedIni);
  EXPECT_NE(kvDefaultIniFileName(), ".ini");
}

TEST_F(KvHistoryTest, MRUCountAndSaveOnDestruction) {
  {
    TkvHistoryList History;
    SetLines(History.Items(), {"a", "b", "c"});
    EXPECT_EQ(History.GetMRUCount(), 0);
    History.SetEnabled(true);
    EXPECT_EQ(History.GetMRUCount(), 0);
    History.SetMRUEnabled(true);
    EXPECT_EQ(History.GetMRUCount(), 2);
    History.SetMRUMaxSize(5);
    EXPECT_EQ(History.GetMRUCount(), 3);
  }
  {
    // Loaded from its file: the destructor writes what was added meanwhile.
    TkvHistoryList History;
    History.SetFileName(FIniName);
    History.SetSection("S");
    TStringList Target;
    History.LoadInto(Target);
    History.Items().Add("added");
  }
  TkvHistoryList Reader;
  Reader.SetFileName(FIniName);
  Reader.SetSection("S");
  TStringList Target;
  Reader.LoadInto(Target);
  EXPECT_EQ(Lines(Target), (std::vector<std::string>{"added"}));
}

}  // namespace
