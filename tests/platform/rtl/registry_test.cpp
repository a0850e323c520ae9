#include "platform/rtl/registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/rtl/atomicfile.h"
#include "platform/rtl/registryinifile.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

std::string Joined(const TStrings& List) {
  std::string Result;
  for (int Index = 0; Index < List.Count(); ++Index) Result += (Index ? "|" : "") + List[Index];
  return Result;
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { SetRegistryStorePath(Folder.File("registry.dat")); }
  void TearDown() override { SetRegistryStorePath(""); }

  // Makes the store read its file afresh: the same bytes under another name.
  void Reload() {
    static int Generation = 0;
    std::string Copy = "registry-" + std::to_string(++Generation) + ".dat";
    Folder.Write(Copy, Folder.Read("registry.dat"));
    SetRegistryStorePath(Folder.File(Copy));
  }

  TTempFolder Folder;
};

TEST_F(Registry, ValuesSurviveTheStoreFile) {
  std::string AllBytes;
  for (int Byte = 0; Byte < 256; ++Byte) AllBytes += static_cast<char>(Byte);
  const std::string Texts[] = {
      "\"C:/Program Files/korcam\"", "Съёмка © 2026", "100% [done] a=b \\ back", "two\r\nlines\ttab", "",
  };
  {
    TRegistry Writer;
    ASSERT_TRUE(Writer.OpenKey("\\Software\\Korvane\\Test", true));
    for (size_t Index = 0; Index < std::size(Texts); ++Index)
      Writer.WriteString("Text" + std::to_string(Index), Texts[Index]);
    Writer.WriteExpandString("Expand", "%HOME%/pictures");
    Writer.WriteInteger("Negative", -123456);
    Writer.WriteBool("Flag", true);
    Writer.WriteBinaryData("Bytes", AllBytes.data(), 256);
    Writer.WriteBinaryData("Empty", nullptr, 0);
  }
  EXPECT_EQ(Folder.Read("registry.dat").rfind("; korcam registry store 1\n", 0), 0u);
  Reload();

  TRegistry Reader;
  ASSERT_TRUE(Reader.OpenKeyReadOnly("Software\\KORVANE\\test"));
  EXPECT_EQ(Reader.CurrentPath(), "Software\\KORVANE\\test");
  for (size_t Index = 0; Index < std::size(Texts); ++Index) {
    SCOPED_TRACE(Texts[Index]);
    EXPECT_EQ(Reader.ReadString("text" + std::to_string(Index)), Texts[Index]);
    EXPECT_EQ(Reader.GetDataSize("Text" + std::to_string(Index)),
              static_cast<int32_t>(Texts[Index].size()) + 1);
  }
  EXPECT_EQ(Reader.ReadString("Expand"), "%HOME%/pictures");
  EXPECT_EQ(Reader.GetDataType("Expand"), rdExpandString);
  EXPECT_EQ(Reader.ReadInteger("Negative"), -123456);
  EXPECT_TRUE(Reader.ReadBool("Flag"));
  EXPECT_EQ(Reader.GetDataSize("Bytes"), 256);
  char Buffer[300] = {};
  EXPECT_EQ(Reader.ReadBinaryData("Bytes", Buffer, sizeof Buffer), 256);
  EXPECT_EQ(std::string(Buffer, 256), AllBytes);
  EXPECT_EQ(Reader.GetDataSize("Empty"), 0);
  EXPECT_EQ(Reader.ReadBinaryData("Empty", Buffer, sizeof Buffer), 0);

  TStringList Names;
  Reader.GetValueNames(Names);
  EXPECT_EQ(Joined(Names), "Text0|Text1|Text2|Text3|Text4|Expand|Negative|Flag|Bytes|Empty");
}

TEST_F(Registry, KeysOpenCreateAndDelete) {
  TRegistry Reg;
  EXPECT_EQ(Reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(Reg.OpenKey("\\Software\\Startup\\Run", false));
  EXPECT_EQ(Reg.CurrentKey(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(Folder.File("registry.dat")));  // a failed open writes nothing

  ASSERT_TRUE(Reg.OpenKey("Software\\Korvane", true));
  EXPECT_NE(Reg.CurrentKey(), nullptr);
  ASSERT_TRUE(Reg.OpenKey("History", true));  // relative to the open key
  EXPECT_EQ(Reg.CurrentPath(), "Software\\Korvane\\History");
  Reg.WriteString("Combo1", "x");
  EXPECT_TRUE(Reg.CreateKey("Sub\\Deeper"));
  EXPECT_TRUE(Reg.KeyExists("sub\\DEEPER"));
  EXPECT_TRUE(Reg.KeyExists("\\software\\korvane\\history\\sub"));
  EXPECT_TRUE(Reg.HasSubKeys());

  TStringList Keys;
  ASSERT_TRUE(Reg.OpenKey("\\Software", false));
  Reg.GetKeyNames(Keys);
  EXPECT_EQ(Joined(Keys), "Korvane");

  // Another root is another tree.
  Reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(Reg.CurrentKey(), nullptr);
  EXPECT_FALSE(Reg.KeyExists("\\Software\\Korvane"));
  Reg.SetRootKey(HKEY_CURRENT_USER);

  ASSERT_TRUE(Reg.OpenKey("\\Software\\Korvane\\History", false));
  EXPECT_TRUE(Reg.DeleteKey("\\Software\\Korvane"));  // with everything below it
  EXPECT_FALSE(Reg.KeyExists("\\Software\\Korvane"));
  EXPECT_FALSE(Reg.DeleteKey("\\Software\\Korvane"));
  EXPECT_TRUE(Reg.KeyExists("\\Software"));
  EXPECT_THROW(Reg.WriteString("Combo1", "y"), ERegistryException);  // the open key is gone
  Reload();
  EXPECT_FALSE(Reg.KeyExists("\\Software\\Korvane\\History"));
  EXPECT_TRUE(Reg.KeyExists("\\Software"));  // an empty key is kept in the file
}

TEST_F(Registry, FailuresAnswerAsTheClassLibrary) {
  TRegistry Setup;
  ASSERT_TRUE(Setup.OpenKey("\\Software\\Test", true));
  Setup.WriteString("Text", "abc");
  Setup.WriteBinaryData("Blob", "\x01\x02\x03\x04\x05", 5);
  Setup.WriteInteger("Number", 7);

  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey("\\Software\\Test", false));
  char Buffer[4];
  struct TCase {
    const char* Name;
    std::function<void()> Action;
    std::string Message;
  };
  TRegistry Closed;
  TRegistry ReadOnly;
  ASSERT_TRUE(ReadOnly.OpenKeyReadOnly("\\Software\\Test"));
  const TCase Cases[] = {
      {"integer that is missing", [&] { Reg.ReadInteger("Nope"); }, "Failed to get data for 'Nope'"},
      {"integer that is text", [&] { Reg.ReadInteger("Text"); }, "Invalid data type for 'Text'"},
      {"text that is binary", [&] { Reg.ReadString("Blob"); }, "Invalid data type for 'Blob'"},
      {"text that is a number", [&] { Reg.ReadString("Number"); }, "Invalid data type for 'Number'"},
      {"binary that is text", [&] { Reg.ReadBinaryData("Text", Buffer, 4); }, "Invalid data type for 'Text'"},
      {"binary larger than the buffer", [&] { Reg.ReadBinaryData("Blob", Buffer, 4); },
       "Invalid data type for 'Blob'"},
      {"write without an open key", [&] { Closed.WriteString("Text", "x"); },
       "Failed to set data for 'Text'"},
      {"write to a read-only key", [&] { ReadOnly.WriteInteger("Number", 8); },
       "Failed to set data for 'Number'"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    try {
      Case.Action();
      ADD_FAILURE() << "no exception";
    } catch (const ERegistryException& Error) {
      EXPECT_EQ(Error.Message(), Case.Message);
    }
  }
  // Answers that are not errors.
  EXPECT_EQ(Reg.ReadString("Nope"), "");
  EXPECT_EQ(Reg.GetDataSize("Nope"), -1);
  EXPECT_EQ(Reg.ReadBinaryData("Nope", Buffer, 4), 0);
  EXPECT_FALSE(Reg.DeleteValue("Nope"));
  EXPECT_FALSE(ReadOnly.DeleteValue("Text"));
  EXPECT_TRUE(Reg.DeleteValue("TEXT"));
  EXPECT_FALSE(Reg.ValueExists("Text"));
  EXPECT_EQ(ReadOnly.ReadInteger("Number"), 7);
}

TEST_F(Registry, FailedWriteKeepsTheOldStoreFile) {
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey("\\Software\\Test", true));
  Reg.WriteString("Value", "old");
  const std::string Before = Folder.Read("registry.dat");
  const TAtomicWriteFault Faults[] = {TAtomicWriteFault::Write, TAtomicWriteFault::Sync,
                                      TAtomicWriteFault::Rename};
  for (TAtomicWriteFault Fault : Faults) {
    SCOPED_TRACE(static_cast<int>(Fault));
    SetAtomicWriteFault(Fault);
    EXPECT_THROW(Reg.WriteString("Value", "new"), ERegistryException);
    EXPECT_EQ(Folder.Read("registry.dat"), Before);
    EXPECT_EQ(Folder.Listing(), "registry.dat");
    EXPECT_EQ(Reg.ReadString("Value"), "old");  // the failed change is not kept in memory either
  }
  SetAtomicWriteFault(TAtomicWriteFault::Rename);
  EXPECT_THROW(Reg.CreateKey("Child"), ERegistryException);
  EXPECT_FALSE(Reg.KeyExists("Child"));
}

TEST_F(Registry, ReadsAHandWrittenStoreAndSkipsWhatItCannotRead) {
  Folder.Write("registry.dat",
               "; korcam registry store 1\r\n"
               "[HKEY_CURRENT_USER\\Software\\App]\r\n"
               "\"Good\"=sz:yes%21\r\n"
               "\"BadHex\"=hex:0g\r\n"
               "\"BadType\"=qword:1\r\n"
               "no quotes=sz:x\r\n"
               "[HKEY_NOWHERE\\Software\\App]\r\n"
               "\"Lost\"=sz:x\r\n"
               "[HKEY_CURRENT_USER\\software\\app]\r\n"
               "\"Count\"=dword:0000002a\r\n"
               "\"Bad%zzName\"=sz:x\r\n");
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey("\\Software\\App", false));
  TStringList Names;
  Reg.GetValueNames(Names);
  EXPECT_EQ(Joined(Names), "Good|Count");
  EXPECT_EQ(Reg.ReadString("Good"), "yes!");
  EXPECT_EQ(Reg.ReadInteger("Count"), 42);
}

TEST_F(Registry, IniObjectKeepsSectionsAsKeysBelowTheFileKey) {
  TRegistryIniFile Ini("Software\\Sales");
  Ini.WriteString("Form1DBGrid1", "NAME", "120;;Full name;;F");
  Ini.WriteString("Form1DBGrid1", "CITY", "80;;City;;T");
  Ini.WriteInteger("Form1DBGrid1", "Count", 2);
  Ini.WriteString("Other", "x", "1");

  TStringList Lines;
  Ini.ReadSectionValues("form1dbgrid1", Lines);
  EXPECT_EQ(Joined(Lines), "NAME=120;;Full name;;F|CITY=80;;City;;T|Count=2");
  EXPECT_EQ(Ini.ReadInteger("Form1DBGrid1", "Count", 0), 2);
  EXPECT_EQ(Ini.ReadInteger("Form1DBGrid1", "NAME", -1), -1);  // text that is no number
  EXPECT_EQ(Ini.ReadString("Form1DBGrid1", "Missing", "dflt"), "dflt");
  EXPECT_EQ(Ini.ReadString("No section", "x", "dflt"), "dflt");
  TStringList Sections;
  Ini.ReadSections(Sections);
  EXPECT_EQ(Joined(Sections), "Form1DBGrid1|Other");

  Ini.DeleteKey("Form1DBGrid1", "Count");
  EXPECT_FALSE(Ini.ValueExists("Form1DBGrid1", "Count"));
  Ini.EraseSection("Form1DBGrid1");
  EXPECT_FALSE(Ini.SectionExists("Form1DBGrid1"));
  Ini.EraseSection("Form1DBGrid1");  // erasing what is gone is no error
  TRegistry Reg;
  EXPECT_TRUE(Reg.KeyExists("\\Software\\Sales\\Other"));
}

TEST_F(Registry, StoreLivesInTheProgramFolderByDefault) {
  SetRegistryStorePath("");
  EXPECT_EQ(RegistryStorePath(), ProgramFolder() + "registry.dat");
  SetRegistryStorePath(Folder.File("elsewhere.dat"));
  EXPECT_EQ(RegistryStorePath(), Folder.File("elsewhere.dat"));
}

}  // namespace
