#include "platform/rtl/inifiles.h"

#include <gtest/gtest.h>

#include "platform/rtl/atomicfile.h"
#include "platform/rtl/stringlist.h"
#include "tests/platform/rtl/temp_folder.h"

namespace {

std::string Joined(const TStrings& List) {
  std::string Result;
  for (int Index = 0; Index < List.Count(); ++Index) Result += (Index ? "|" : "") + List[Index];
  return Result;
}

TEST(IniFile, HistorySectionIsErasedRewrittenAndReadInFileOrder) {
  TTempFolder Folder;
  Folder.Write("app.ini", "[Combo1]\r\n7=stale\r\n[Other]\r\nx=1\r\n");
  TIniFile Ini(Folder.File("app.ini"));
  // A history of a, b, c stored with a maximum of 2: keys start at 1.
  Ini.EraseSection("Combo1");
  Ini.WriteString("Combo1", "1", "b");
  Ini.WriteString("Combo1", "2", "c");
  EXPECT_EQ(Folder.Read("app.ini"), "[Other]\r\nx=1\r\n\r\n[Combo1]\r\n1=b\r\n2=c\r\n");

  TStringList Keys;
  Keys.Add("left over");
  Ini.ReadSection("combo1", Keys);
  EXPECT_EQ(Joined(Keys), "1|2");
  EXPECT_EQ(Ini.ReadString("Combo1", Keys[1], ""), "c");

  TStringList Sections;
  Ini.ReadSections(Sections);
  EXPECT_EQ(Joined(Sections), "Other|Combo1");
}

TEST(IniFile, SectionValuesSplitAtTheFirstEquals) {
  TTempFolder Folder;
  Folder.Write("grid.ini", "[Form1DBGrid1]\nNAME=120;;Full name;;F\nCITY = 80;;a=b;;T;;Address\n[Empty]\n");
  TIniFile Ini(Folder.File("grid.ini"));
  TStringList Lines;
  Ini.ReadSectionValues("Form1DBGrid1", Lines);
  EXPECT_EQ(Joined(Lines), "NAME=120;;Full name;;F|CITY=80;;a=b;;T;;Address");
  EXPECT_EQ(Lines.Names(1), "CITY");
  EXPECT_EQ(Lines.ValueFromIndex(1), "80;;a=b;;T;;Address");

  EXPECT_TRUE(Ini.SectionExists("form1dbgrid1"));
  EXPECT_FALSE(Ini.SectionExists("Empty"));  // a section without keys does not count
  EXPECT_FALSE(Ini.SectionExists("Missing"));
  EXPECT_TRUE(Ini.ValueExists("Form1DBGrid1", "city"));
  EXPECT_FALSE(Ini.ValueExists("Form1DBGrid1", "ZIP"));
  Ini.DeleteKey("Form1DBGrid1", "NAME");
  EXPECT_FALSE(Ini.ValueExists("Form1DBGrid1", "NAME"));
}

TEST(IniFile, TypedValues) {
  TTempFolder Folder;
  Folder.Write("typed.ini", "[T]\nDec=-42\nHex=0x1A\nDollar=$ff\nText=abc\nYes=1\nNo=0\nWord=True\n");
  TIniFile Ini(Folder.File("typed.ini"));
  struct TCase {
    const char* Key;
    int32_t Expected;
  };
  const TCase Integers[] = {{"Dec", -42}, {"Hex", 26}, {"Dollar", 255}, {"Text", 7}, {"Missing", 7}};
  for (const auto& Case : Integers) {
    SCOPED_TRACE(Case.Key);
    EXPECT_EQ(Ini.ReadInteger("T", Case.Key, 7), Case.Expected);
  }
  EXPECT_TRUE(Ini.ReadBool("T", "Yes", false));
  EXPECT_FALSE(Ini.ReadBool("T", "No", true));
  EXPECT_TRUE(Ini.ReadBool("T", "Word", true));  // not a number: the default
  EXPECT_FALSE(Ini.ReadBool("T", "Word", false));
  Ini.WriteBool("T", "Flag", true);
  Ini.WriteInteger("T", "Count", -5);
  EXPECT_EQ(Ini.ReadString("T", "Flag", ""), "1");
  EXPECT_EQ(Ini.ReadString("T", "Count", ""), "-5");
}

TEST(IniFile, WriteFailuresRaise) {
  TTempFolder Folder;
  const std::string Missing = Folder.File("no/such/folder.ini");
  TIniFile Ini(Missing);
  try {
    Ini.WriteString("S", "K", "v");
    FAIL() << "no exception";
  } catch (const EIniFileException& Error) {
    EXPECT_EQ(Error.Message(), "Unable to write to " + Missing);
  }
  // Erasing a section that is not there succeeds; erasing one that cannot be rewritten raises.
  Ini.EraseSection("S");
  Folder.Write("app.ini", "[S]\nK=1\n");
  TIniFile Existing(Folder.File("app.ini"));
  SetAtomicWriteFault(TAtomicWriteFault::Rename);
  EXPECT_THROW(Existing.EraseSection("S"), EIniFileException);
  EXPECT_EQ(Existing.ReadString("S", "K", ""), "1");
}

}  // namespace
