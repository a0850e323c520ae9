// The colour list as a list box of its own: unlisted colours added under their RGB text (and
// renamed or refused on the way), greys, custom colours, filters, sorting, the stored selection,
// the streamed grey-scale step, and how an item looks.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/classes/formreader.h"
#include "platform/rtl/sysutils.h"
#include "tests/vcontrols/combos/combotest.h"
#include "vcontrols/combos/vccolorcombo.h"
#include "vcontrols/common/vccommon.h"

namespace VcTest {
namespace {

uint32_t Rgb(TColor Colour) {
  const uint32_t Value = uint32_t(ColorToRGB(Colour));
  return (Value & 0xFF) << 16 | (Value & 0xFF00) | (Value >> 16 & 0xFF);
}

class TColorListTest : public TComboTest {
 protected:
  void SetUp() override {
    TComboTest::SetUp();
    List = new TvcColorList(Form);
    List->SetName("List");
    List->SetBounds(180, 10, 130, 180);
    List->SetParent(Form);
    Pump();
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> Result;
    for (int Index = 0; Index < List->Items()->Count(); ++Index)
      Result.push_back(GetNameAt(*List->Items(), Index));
    return Result;
  }
  std::string Current() const {
    const int Index = List->ItemIndex();
    return Index < 0 ? std::string() : GetNameAt(*List->Items(), Index);
  }
  TvcColorList* List = nullptr;
};

TEST_F(TColorListTest, AnUnlistedColourIsAddedUnderItsRGBTextFirstAskingTheHandler) {
  struct TCall {
    TObject* Sender;
    TColor Colour;
    std::string Name;
  };
  std::vector<TCall> Calls;
  List->OnAddNewColor = TvcAddNewColorEvent([&](TObject* Sender, TColor Colour, std::string& Name, bool&) {
    Calls.push_back({Sender, Colour, Name});
  });
  const int Before = List->MasterList().Count();
  List->SetSelectedColor(0x123456);
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0].Sender, List);
  EXPECT_EQ(Calls[0].Colour, 0x123456);
  EXPECT_EQ(Calls[0].Name, "RGB: 86, 52, 18");
  EXPECT_EQ(List->MasterList().Count(), Before + 1);
  EXPECT_EQ(List->MasterList().Get(Before), "RGB: 86, 52, 18=123456");
  EXPECT_EQ(Current(), "RGB: 86, 52, 18");
  EXPECT_EQ(List->SelectedColor(), 0x123456);

  // The marker takes the selection away; the added colour stays, also across a rebuild.
  List->SetSelectedColor(vcNoColor);
  EXPECT_EQ(List->ItemIndex(), -1);
  EXPECT_EQ(List->SelectedColor(), vcNoColor);
  List->SetOptions({ccoShowStandardColors, ccoShowColorNames, ccoShowColorNone});
  EXPECT_NE(IndexOfName("RGB: 86, 52, 18", *List->Items()), -1);
  // Chosen again, it is listed already: no second entry, no second question.
  List->SetSelectedColor(0x123456);
  EXPECT_EQ(Calls.size(), 1u);
  EXPECT_EQ(List->AddedColors().Count(), 1);
  EXPECT_EQ(Current(), "RGB: 86, 52, 18");
}

TEST_F(TColorListTest, TheHandlerMayRenameOrRefuseANewColour) {
  List->SetSelectedColor(clRed);
  List->OnAddNewColor =
      TvcAddNewColorEvent([](TObject*, TColor, std::string& Name, bool&) { Name = "Dusk"; });
  List->SetSelectedColor(0x402010);
  EXPECT_EQ(Current(), "Dusk");
  EXPECT_EQ(GetValueAt(*List->Items(), List->ItemIndex()), "402010");

  List->OnAddNewColor =
      TvcAddNewColorEvent([](TObject*, TColor, std::string&, bool& Accept) { Accept = false; });
  const int Before = List->MasterList().Count();
  List->SetSelectedColor(0x010203);
  EXPECT_EQ(List->MasterList().Count(), Before);
  EXPECT_EQ(Current(), "Dusk");
}

TEST_F(TColorListTest, ASelectedGreyIsTheGreyNotANewRGBEntry) {
  List->SetOptions({ccoShowStandardColors, ccoShowColorNames, ccoShowGreyScale});
  bool Asked = false;
  List->OnAddNewColor = TvcAddNewColorEvent([&](TObject*, TColor, std::string&, bool&) { Asked = true; });
  const int Before = List->MasterList().Count();
  // 170 is a step of the default grey scale: Grey17 (000000 being Black, greys count from 10).
  List->SetSelectedColor(0xAAAAAA);
  EXPECT_EQ(Current(), "Grey17");
  EXPECT_EQ(List->MasterList().Count(), Before);
  EXPECT_EQ(List->AddedColors().Count(), 0);
  EXPECT_FALSE(Asked);
  // Every grey's value is upper-case hexadecimal, as every other value.
  for (int Index = 0; Index < List->MasterList().Count(); ++Index) {
    const std::string Value = GetValueAt(List->MasterList(), Index);
    EXPECT_EQ(Value, AnsiUpperCase(Value));
  }
}

TEST_F(TColorListTest, TheGreyScaleLeavesOutListedGreysAndKeepsItsNumbersConsecutive) {
  struct TCase {
    const char* Name;
    int Increment;
    int Count;
    const char* First;
    const char* Last;
  };
  const TCase Cases[] = {
      // GS: 0 to 250 by 10; 000000 is Black.
      {"step 10", 10, 25, "Grey1=0A0A0A", "Grey25=FAFAFA"},
      // GS: 0 to 240 by 16; 000000 Black, 808080 Gray and C0C0C0 Silver are listed already.
      {"step 16", 16, 13, "Grey1=101010", "Grey13=F0F0F0"},
      // GS: 0, 100 and 200; 000000 is Black.
      {"step 100", 100, 2, "Grey1=646464", "Grey2=C8C8C8"},
      // GS: the largest step: 0 and 255, Black and White: no grey at all.
      {"step 255", 255, 0, "", ""},
  };
  List->SetOptions({ccoShowStandardColors, ccoShowGreyScale});
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    List->SetGreyScaleIncrement(Case.Increment);
    std::vector<std::string> Greys;
    for (int Index = 0; Index < List->MasterList().Count(); ++Index)
      if (List->MasterList().Get(Index).rfind("Grey", 0) == 0) Greys.push_back(List->MasterList().Get(Index));
    ASSERT_EQ(int(Greys.size()), Case.Count);
    if (Greys.empty()) continue;
    EXPECT_EQ(Greys.front(), Case.First);
    EXPECT_EQ(Greys.back(), Case.Last);
    for (size_t Index = 0; Index < Greys.size(); ++Index)
      EXPECT_EQ(Greys[Index].substr(0, Greys[Index].find('=')), "Grey" + std::to_string(Index + 1));
  }
  // Steps outside 1 to 255 are ignored.
  List->SetGreyScaleIncrement(0);
  List->SetGreyScaleIncrement(256);
  EXPECT_EQ(List->GreyScaleIncrement(), 255);
}

TEST_F(TColorListTest, CustomColoursJoinUnlessTheirNameOrValueIsListed) {
  List->SetOptions({ccoShowStandardColors, ccoShowColorNames, ccoShowCustomColors});
  TStringList Custom;
  for (const char* Entry : {"Sunset= \t0080FF ", "red=123456", "Copy=0000FF", "Bad=XYZ", "Dawn=8080FF"})
    Custom.Add(Entry);
  List->SetCustomColors(&Custom);
  const std::vector<std::string> Names = Shown();
  ASSERT_EQ(Names.size(), 22u);
  EXPECT_EQ(List->MasterList().Get(20), "Sunset=0080FF");
  EXPECT_EQ(List->MasterList().Get(21), "Dawn=8080FF");
  EXPECT_TRUE(Boxes.empty());
  // A later change of the list's contents rebuilds too.
  List->CustomColors()->Delete(0);
  EXPECT_EQ(List->MasterList().Count(), 21);
  // Without the option they are not listed.
  List->SetOptions({ccoShowStandardColors, ccoShowColorNames});
  EXPECT_EQ(List->MasterList().Count(), 20);
}

TEST_F(TColorListTest, AFilteredColourStaysStoredButIsNotShown) {
  List->SetSelectedColor(clRed);
  std::vector<TObject*> Senders;
  List->OnFilterColor =
      TvcOnFilterColorEvent([&](TObject* Sender, TColor Colour, const std::string&, bool& Accept) {
        Senders.push_back(Sender);
        Accept = Colour != clRed;
      });
  List->SortAndShow();
  EXPECT_EQ(Shown().size(), 19u);
  EXPECT_EQ(IndexOfName("Red", *List->Items()), -1);
  EXPECT_EQ(Senders.size(), 20u);
  EXPECT_EQ(Senders.front(), List);
  EXPECT_EQ(List->SelectedColor(), vcNoColor);
  EXPECT_EQ(List->StoredColor(), clRed);
  // The index map leads from every shown item to its master entry.
  for (int Index = 0; Index < List->Items()->Count(); ++Index)
    EXPECT_EQ(List->Items()->Get(Index), List->MasterList().Get(List->IndexMap()[size_t(Index)]));
  List->OnFilterColor = nullptr;
  List->SortAndShow();
  EXPECT_EQ(Current(), "Red");
}

TEST_F(TColorListTest, SortingByNameIsTheListBoxsOwnUnlessSystemColoursKeepTheirGroup) {
  List->SetSelectedColor(clTeal);
  List->SetSortBy(csoByName);
  EXPECT_TRUE(List->Sorted());
  std::vector<std::string> Names = Shown();
  EXPECT_TRUE(std::is_sorted(Names.begin(), Names.end()));
  EXPECT_EQ(Names.front(), "Aqua");
  EXPECT_EQ(Current(), "Teal");

  List->SetOptions({ccoShowStandardColors, ccoShowColorNames, ccoShowSystemColors, ccoGroupSystemColors,
                    ccoShowColorNone});
  List->SetNoneString("None");
  List->SetSortBy(csoNone);
  List->SetSortBy(csoByName);
  EXPECT_FALSE(List->Sorted());
  Names = Shown();
  EXPECT_EQ(Names.front(), "None");
  EXPECT_EQ(Names[1], "Aqua");
  EXPECT_EQ(Names.back(), "WindowText");
  EXPECT_EQ(Current(), "Teal");

  // By hue: none first, greys (and, grouped, the system colours) last.
  List->SetSortBy(csoByRGB);
  Names = Shown();
  EXPECT_EQ(Names.front(), "None");
  EXPECT_EQ(GetValueAt(*List->Items(), List->Items()->Count() - 1).substr(0, 2), "80");
  EXPECT_EQ(Current(), "Teal");
}

TEST_F(TColorListTest, AnEmptyListOnlyStoresTheSelectedColour) {
  List->SetOptions({});
  ASSERT_EQ(List->MasterList().Count(), 0);
  bool Asked = false;
  List->OnAddNewColor = TvcAddNewColorEvent([&](TObject*, TColor, std::string&, bool&) { Asked = true; });
  List->SetSelectedColor(0x123456);
  EXPECT_FALSE(Asked);
  EXPECT_EQ(List->MasterList().Count(), 0);
  EXPECT_EQ(List->StoredColor(), 0x123456);
  // Listing colours again shows the stored one once it is listed.
  List->SetOptions({ccoShowStandardColors, ccoShowColorNames});
  EXPECT_EQ(Current(), "");
  List->SetSelectedColor(clBlue);
  EXPECT_EQ(Current(), "Blue");
}

TEST_F(TColorListTest, TheGreyScaleStepIsWrittenWhenItDiffersFromItsStartAndReadBackAsWritten) {
  for (const int Step : {10, 15, 40}) {
    SCOPED_TRACE(Step);
    TForm* Root = new TForm(nullptr, 0);
    Root->SetName("Root");
    auto* Written = new TvcColorList(Root);
    Written->SetName("Colours");
    Written->SetParent(Root);
    Written->SetGreyScaleIncrement(Step);
    const std::string Text = WriteComponentText(Root);
    EXPECT_EQ(Text.find("GreyScaleIncrement") != std::string::npos, Step != 10) << Text;
    Root->Free();

    TForm* Copy = new TForm(nullptr, 0);
    ReadComponentText(Copy, Text);
    auto* Read = dynamic_cast<TvcColorList*>(Copy->FindComponent("Colours"));
    ASSERT_NE(Read, nullptr);
    EXPECT_EQ(Read->GreyScaleIncrement(), Step);
    Copy->Free();
  }
}

TEST_F(TColorListTest, ItemsShowASwatchAndTheNameAndNoneIsCrossed) {
  List->SetOptions({ccoShowStandardColors, ccoShowColorNames, ccoShowColorNone});
  List->SetNoneString("");
  List->SetItemHeight(16);
  List->SetColorWidth(20);
  List->SetSelectedColor(clGreen);
  Pump();
  SaveFormPng(Form, "vccolorlist", 2);
  ASSERT_EQ(List->TopIndex(), 0);
  ASSERT_EQ(GetNameAt(*List->Items(), 0), "");
  // Swatches are 2 in from the left, 20 wide, 12 high; names start 2 further right.
  const int Margin = List->ColorMargin();
  EXPECT_EQ(ScreenColor(List, Margin + 10, 2 * 16 + 8), 0x800000u);  // Maroon, item 2
  // The none entry: a cross from corner to corner through the middle of its swatch, its text
  // "None" although the none name is empty.
  const uint32_t Middle = ScreenColor(List, Margin + 10, 8);
  EXPECT_EQ(Middle, 0x000000u);
  EXPECT_EQ(ScreenColor(List, Margin + 10, 4), 0xFFFFFFu);
  const TPixelCount Text = CountFormPixels(List, RECT{Margin + 22, 0, 100, 16}, [](uint32_t C) {
    return (C >> 16 & 0xFF) + (C >> 8 & 0xFF) + (C & 0xFF) < 300;  // dark: the text's ink
  });
  EXPECT_GT(Text.Count, 10);
  // The selected item in the selection colour of a list without the focus.
  EXPECT_EQ(ScreenColor(List, 100, 3 * 16 + 8), Rgb(clBtnFace));
  EXPECT_EQ(ScreenColor(List, 100, 2 * 16 + 8), Rgb(clWindow));
}

}  // namespace
}  // namespace VcTest
