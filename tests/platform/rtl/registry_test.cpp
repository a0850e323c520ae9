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

// Lines of a hand-written (or damaged) store that cannot be read are not values, but a change
// of ours must not remove them from the file: each stays as it stands, with its key.
TEST_F(Registry, ReadsAHandWrittenStoreAndKeepsWhatItCannotRead) {
  struct TLine {
    std::string Text;
    bool Verbatim;  // written back exactly, in the same order as the other such lines
  };
  const TLine Lines[] = {
      {"; korcam registry store 1", true},
      {"; history of the front door camera", true},      // a comment before the first key
      {"\"Orphan\"=sz:before any key", true},              // a value without a key
      {"[HKEY_CURRENT_USER\\Software\\App]", true},
      {"\"Good\"=sz:yes%21", false},                       // written back as "yes!"
      {"\"BadHex\"=hex:0g", true},                        // CC: value lines that cannot be read
      {"\"BadType\"=qword:1", true},
      {"no quotes=sz:x", true},
      {"[HKEY_NOWHERE\\Software\\App]", true},             // CC: a key line that cannot be read ...
      {"\"Lost\"=sz:x", true},                            // ... with a value readable on its own
      {"[HKEY_CURRENT_USER\\Software\\Ko%zzvane]", true},  // CC: a key name with a broken escape
      {"\"Combo1\"=hex:610d0a62", true},
      {"[HKEY_CURRENT_USER\\Software\\Open", true},        // CC: no closing bracket
      {"\"Title\"=sz:Porch", true},
      {"[HKEY_CURRENT_USER\\software\\app]", false},       // the same key again: merged with it
      {"\"Count\"=dword:0000002a", false},                 // written with the key's other values
      {"\"Bad%zzName\"=sz:x", false},                      // kept with its key, after the values
  };
  std::string File;
  for (const auto& Line : Lines) File += Line.Text + "\r\n";
  Folder.Write("registry.dat", File);

  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey("\\Software\\App", false));
  TStringList Names;
  Reg.GetValueNames(Names);
  EXPECT_EQ(Joined(Names), "Good|Count");
  EXPECT_EQ(Reg.ReadString("Good"), "yes!");
  EXPECT_EQ(Reg.ReadInteger("Count"), 42);

  // An unrelated change rewrites the file: every line is still there, in its place among the
  // lines that belong with it, and the store reads back the same.
  TRegistry Other;
  ASSERT_TRUE(Other.OpenKey("\\Software\\Elsewhere", true));
  Other.WriteString("New", "value");
  const std::string Rewritten = Folder.Read("registry.dat");
  size_t Previous = 0;
  for (const auto& Line : Lines) {
    if (!Line.Verbatim) continue;
    SCOPED_TRACE(Line.Text);
    const size_t Found = Rewritten.find(Line.Text + "\n");
    ASSERT_NE(Found, std::string::npos) << Rewritten;
    EXPECT_GE(Found, Previous) << "out of order in\n" << Rewritten;
    Previous = Found;
  }
  EXPECT_NE(Rewritten.find("\"Bad%zzName\"=sz:x\n[HKEY_CURRENT_USER\\Software\\Elsewhere]"), std::string::npos)
      << Rewritten;
  Reload();
  Reg.GetValueNames(Names);
  EXPECT_EQ(Joined(Names), "Good|Count");
  EXPECT_FALSE(Reg.KeyExists("\\Software\\Ko%zzvane"));
  // The rewritten file rewrites to itself.
  Other.WriteString("New", "value");
  EXPECT_EQ(Folder.Read(std::filesystem::path(RegistryStorePath()).filename()), Rewritten);
}

// A file that is not a store of this version (another program's, a newer version's, or bytes a
// disk error left) reads as an empty store and is never overwritten unkept.
TEST_F(Registry, AForeignFileIsKeptBesideTheStoreThatReplacesIt) {
  std::string Foreign;
  uint32_t Seed = 27;
  for (int Index = 0; Index < 4096; ++Index) {
    Seed = Seed * 1103515245u + 12345u;
    Foreign += static_cast<char>(Seed >> 23);
  }
  struct TCase {
    const char* Name;
    std::string Content;
    const char* Taken;  // the backup name already in use, or null
    const char* Kept;   // where the bytes are kept
  };
  const TCase Cases[] = {
      {"4 KB of foreign bytes", Foreign, nullptr, "registry.dat.bak"},
      {"a newer version's store", "; korcam registry store 2\n[HKEY_CURRENT_USER\\X]\n", nullptr,
       "registry.dat.bak"},
      {"a backup of something else exists", Foreign, "registry.dat.bak", "registry.dat.bak2"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTempFolder Scratch;
    SetRegistryStorePath(Scratch.File("registry.dat"));
    Scratch.Write("registry.dat", Case.Content);
    if (Case.Taken) Scratch.Write(Case.Taken, "someone's notes");

    TRegistry Reg;
    EXPECT_FALSE(Reg.KeyExists("\\X"));
    EXPECT_FALSE(Reg.OpenKey("\\Software\\Korvane", false));
    EXPECT_EQ(Scratch.Read("registry.dat"), Case.Content) << "reading changes nothing";

    // A change that fails keeps everything as it was; the next one goes through.
    SetAtomicWriteFault(TAtomicWriteFault::Rename);
    EXPECT_FALSE(Reg.OpenKey("\\Software\\Korvane", true));
    EXPECT_EQ(Scratch.Read("registry.dat"), Case.Content);
    ASSERT_TRUE(Reg.OpenKey("\\Software\\Korvane", true));
    Reg.WriteString("Combo1", "front door");
    EXPECT_EQ(Scratch.Read(Case.Kept), Case.Content);
    if (Case.Taken) {
      EXPECT_EQ(Scratch.Read(Case.Taken), "someone's notes");
    }
    EXPECT_EQ(Scratch.Read("registry.dat").rfind("; korcam registry store 1\n", 0), 0u);
    EXPECT_EQ(Reg.ReadString("Combo1"), "front door");
    // Kept once: later changes replace only the store.
    Reg.WriteString("Combo2", "porch");
    EXPECT_EQ(Scratch.Listing(), Case.Taken ? "registry.dat registry.dat.bak registry.dat.bak2"
                                            : "registry.dat registry.dat.bak");
  }
}

// Values directly under a root key have their own key line.
TEST_F(Registry, ValuesOfARootKeySurviveTheStoreFile) {
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey("", false));
  Reg.WriteString("Top", "level");
  Reload();
  ASSERT_TRUE(Reg.OpenKey("", false));
  EXPECT_EQ(Reg.ReadString("Top"), "level");
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
