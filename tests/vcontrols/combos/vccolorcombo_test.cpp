// The colour combo: the selected colour with its name and swatch, typed names, the drop-down's
// mouse and keys, clearing, the colour dialog, binding to a field by name or integer value, the
// frame per focus state, and how it looks closed and dropped down.

#include "vcontrols/combos/vccolorcombo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/memorydataset.h"
#include "platform/user/user.h"
#include "tests/vcontrols/combos/combotest.h"
#include "vcontrols/common/vccommon.h"

namespace VcTest {
namespace {

uint32_t Rgb(TColor Colour) {
  const uint32_t Value = uint32_t(ColorToRGB(Colour));
  return (Value & 0xFF) << 16 | (Value & 0xFF00) | (Value >> 16 & 0xFF);
}

using TColorComboTest = TComboTest;

// Where the swatch's middle lies in a combo 22 high with the default options: 2 in, 12 square.
constexpr POINT SwatchMiddle{8, 8};

TEST_F(TColorComboTest, TheSelectedColourShowsItsNameAndSwatch) {
  EXPECT_EQ(Combo->SelectedColor(), vcNoColor);
  EXPECT_EQ(Combo->Text(), "");
  EXPECT_EQ(Combo->ItemIndex(), -1);
  // No swatch at all for the marker: the face is the window colour there.
  EXPECT_EQ(ScreenColor(Combo, SwatchMiddle.x, SwatchMiddle.y), Rgb(clWindow));

  Combo->SetSelectedColor(clAqua);
  Pump();
  EXPECT_EQ(Combo->Text(), "Aqua");
  EXPECT_EQ(Combo->SelectedColor(), clAqua);
  EXPECT_EQ(ScreenColor(Combo, SwatchMiddle.x, SwatchMiddle.y), Rgb(clAqua));

  // An unlisted colour joins the list under its RGB text, which the combo shows.
  Combo->SetSelectedColor(0x123456);
  Pump();
  EXPECT_EQ(Combo->Text(), "RGB: 86, 52, 18");
  EXPECT_EQ(Combo->SelectedColor(), 0x123456);
  EXPECT_EQ(ScreenColor(Combo, SwatchMiddle.x, SwatchMiddle.y), 0x563412u);
  EXPECT_EQ(Combo->ColorName(0x123456), "RGB: 86, 52, 18");
  EXPECT_EQ(Combo->ColorName(clRed), "Red");

  // The marker clears the text and the swatch.
  Combo->SetSelectedColor(vcNoColor);
  Pump();
  EXPECT_EQ(Combo->Text(), "");
  EXPECT_EQ(ScreenColor(Combo, SwatchMiddle.x, SwatchMiddle.y), Rgb(clWindow));

  // With the none entry, clNone is a colour of its own, named "None".
  TvcColorCombo* Shadow = AddColorCombo("Shadow", RECT{10, 40, 170, 62});
  Shadow->ColorListOptions()->SetOptions({ccoShowStandardColors, ccoShowColorNames, ccoShowColorNone});
  Shadow->SetSelectedColor(clNone);
  Pump();
  EXPECT_EQ(Shadow->Text(), "None");
  EXPECT_EQ(Shadow->SelectedColor(), clNone);
  // Crossed: the middle of the swatch is on the cross.
  EXPECT_EQ(ScreenColor(Shadow, SwatchMiddle.x, SwatchMiddle.y), 0x000000u);
}

TEST_F(TColorComboTest, TypedLettersCompleteAColourName) {
  Combo->SetFocus();
  Pump();
  Type(U"b");
  EXPECT_EQ(Combo->Text(), "Black");
  Type(U"l");
  EXPECT_EQ(Combo->Text(), "Black");
  EXPECT_EQ(Combo->SelectedColor(), clBlack);
  EXPECT_EQ(Combo->SelStart(), 2);
  EXPECT_EQ(Combo->SelLength(), 3);
  Type(U"u");
  EXPECT_EQ(Combo->Text(), "Blue");
  EXPECT_EQ(Combo->SelectedColor(), clBlue);
  EXPECT_EQ(Combo->SelStart(), 3);
  EXPECT_EQ(Combo->SelLength(), 1);
  // A letter no name goes on with is swallowed.
  Type(U"x");
  EXPECT_EQ(Combo->Text(), "Blue");
  EXPECT_EQ(Combo->SelectedColor(), clBlue);
  // Matching is without regard to case and starts again at the current item.
  Combo->SelectAll();
  Type(U"T");
  EXPECT_EQ(Combo->Text(), "Teal");
  EXPECT_TRUE(Combo->Modified());
  // With AutoDropDown a typed letter opens the list as well (the search goes on from Teal).
  Combo->SetAutoDropDown(true);
  Combo->SelectAll();
  Type(U"g");
  EXPECT_TRUE(Combo->GetDroppedDown());
  EXPECT_EQ(Combo->Text(), "Gray");
  Stroke(VK_RETURN);
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_EQ(Combo->SelectedColor(), clGray);
}

TEST_F(TColorComboTest, WithoutMatchingTheListComboTakesNoTyping) {
  Combo->SetShowMatchText(false);
  Combo->SetSelectedColor(clRed);
  Combo->SetFocus();
  Pump();
  Type(U"bl");
  EXPECT_EQ(Combo->Text(), "Red");
  EXPECT_EQ(Combo->SelectedColor(), clRed);
}

TEST_F(TColorComboTest, TheClearKeyClearsTheColourUnlessTheComboIsReadOnly) {
  Combo->SetAllowClearKey(true);
  Combo->SetSelectedColor(clRed);
  Combo->SetFocus();
  Pump();
  Stroke(VK_DELETE);
  EXPECT_EQ(Combo->SelectedColor(), vcNoColor);
  EXPECT_EQ(Combo->Text(), "");
  EXPECT_EQ(Combo->ItemIndex(), -1);
  // Read-only: nothing is cleared.
  Combo->SetSelectedColor(clRed);
  Combo->SetReadOnly(true);
  Combo->SelectAll();
  Stroke(VK_DELETE);
  EXPECT_EQ(Combo->SelectedColor(), clRed);
  EXPECT_EQ(Combo->Text(), "Red");
}

TEST_F(TColorComboTest, TheDropDownTakesTheHighlightedColourOrGoesBack) {
  std::vector<bool> CloseUps;
  Combo->OnCloseUp = TvcComboCloseUpEvent([&](TObject*, bool Select) { CloseUps.push_back(Select); });
  Combo->SetSelectedColor(clRed);
  Combo->SetFocus();
  Pump();
  Stroke(VK_F4);
  ASSERT_TRUE(Combo->GetDroppedDown());
  TvcColorList* List = Combo->ColorList();
  // The list is a window of its own, above the form, beside the combo.
  EXPECT_EQ(GetParent(List->Handle()), nullptr);
  EXPECT_EQ(GetNameAt(*List->Items(), List->ItemIndex()), "Red");
  SaveScreen("vccolorcombo_open", RECT{0, 0, 320, 240});

  // The mouse over an item highlights it; Escape goes back.
  const int Row = (10 - List->TopIndex()) * List->ItemHeight() + 8;
  MoveTo(List, 40, Row);
  EXPECT_EQ(GetNameAt(*List->Items(), List->ItemIndex()), "Lime");
  Stroke(VK_ESCAPE);
  EXPECT_EQ(Combo->SelectedColor(), clRed);
  EXPECT_EQ(Combo->Text(), "Red");

  // Enter takes the item the keys highlighted.
  Stroke(VK_F4);
  Stroke(VK_DOWN);
  Stroke(VK_RETURN);
  EXPECT_EQ(Combo->SelectedColor(), clLime);
  EXPECT_EQ(Combo->Text(), "Lime");
  EXPECT_EQ(CloseUps, (std::vector<bool>{false, true}));

  // A press in the list dragged out of it and let go there: the press is taken back and the
  // drop-down closes with the colour it opened with, whether the press landed on the item the
  // mouse had highlighted already or on another.
  for (const int Hover : {11, 12}) {
    Stroke(VK_F4);
    const int Yellow = (11 - List->TopIndex()) * List->ItemHeight() + 8;
    MoveTo(List, 40, (Hover - List->TopIndex()) * List->ItemHeight() + 8);
    PressAt(List, 40, Yellow);
    MoveTo(List, 40, List->ClientHeight() + 30);
    ReleaseAt(List, 40, List->ClientHeight() + 30);
    EXPECT_FALSE(Combo->GetDroppedDown());
    EXPECT_EQ(Combo->SelectedColor(), clLime);
    EXPECT_EQ(Combo->Text(), "Lime");
    EXPECT_EQ(TvcCustomCombo::MouseHook(), nullptr);
  }
  SaveScreen("vccolorcombo_closed", RECT{0, 0, 320, 240});
}

TEST_F(TColorComboTest, TheListsEventsReachTheComboWithTheListAsSender) {
  std::vector<TObject*> Added, Filtered;
  Combo->OnAddNewColor = TvcAddNewColorEvent([&](TObject* Sender, TColor, std::string& Name, bool&) {
    Added.push_back(Sender);
    Name = "Mine";
  });
  Combo->OnFilterColor =
      TvcOnFilterColorEvent([&](TObject* Sender, TColor Colour, const std::string&, bool& Accept) {
        Filtered.push_back(Sender);
        Accept = Colour != clMaroon;
      });
  Combo->RebuildList();
  Combo->SetSelectedColor(0x123456);
  EXPECT_EQ(Combo->Text(), "Mine");
  ASSERT_FALSE(Added.empty());
  ASSERT_FALSE(Filtered.empty());
  EXPECT_EQ(Added.front(), Combo->ColorList());
  EXPECT_EQ(Filtered.front(), Combo->ColorList());
  EXPECT_EQ(IndexOfName("Maroon", *Combo->ColorList()->Items()), -1);
  // A refused colour changes neither the text nor the item.
  Combo->OnAddNewColor =
      TvcAddNewColorEvent([](TObject*, TColor, std::string&, bool& Accept) { Accept = false; });
  Combo->SetSelectedColor(0x010203);
  EXPECT_EQ(Combo->Text(), "Mine");
}

TEST_F(TColorComboTest, TheEllipsisButtonOpensTheColourDialog) {
  struct TCase {
    const char* Name;
    bool Confirm;
    TColor Expected;
    const char* Text;
  };
  const TCase Cases[] = {
      {"confirmed: an unlisted colour joins under its RGB text", true, 0x123456, "RGB: 86, 52, 18"},
      {"cancelled: nothing changes", false, clRed, "Red"},
  };
  Combo->SetButtonStyle(vccombo::cbsEllipsis);
  TStringList Custom;
  Custom.Add("Mine=00FF80");
  Combo->SetCustomColors(&Custom);
  Pump();
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Combo->SetSelectedColor(clRed);
    TColor Shown = 0, FirstCustom = 0;
    std::vector<std::string> Events;
    Combo->OnInitColorDialog =
        TvcColorDialogEvent([&](TObject*, TColorDialog*) { Events.push_back("init"); });
    Combo->OnCloseColorDialog =
        TvcCloseColorDialogEvent([&](TObject*, TColorDialog*, TModalResult Result, bool& Accept) {
          Events.push_back(Result == mrOk ? "close ok" : "close cancel");
          EXPECT_EQ(Accept, Result == mrOk);
        });
    const TColorDialogScript Previous = SetColorDialogScript([&](TColorDialogSession& Session) {
      Shown = Session.Color();
      FirstCustom = Session.CustomColors()[0];
      Session.SetColor(0x123456);
      if (Case.Confirm) Session.Accept();
    });
    const POINT Button = ButtonCentre(Combo);
    ClickAt(Combo, Button.x, Button.y);
    SetColorDialogScript(Previous);
    EXPECT_EQ(Shown, clRed);
    EXPECT_EQ(FirstCustom, 0x00FF80);
    EXPECT_EQ(Events, (std::vector<std::string>{"init", Case.Confirm ? "close ok" : "close cancel"}));
    EXPECT_EQ(Combo->SelectedColor(), Case.Expected);
    EXPECT_EQ(Combo->Text(), Case.Text);
    EXPECT_FALSE(Combo->GetDroppedDown());
  }
}

TEST_F(TColorComboTest, BoundToAFieldItShowsTheColourByNameOrValue) {
  TMemoryDataSet* Data = new TMemoryDataSet(Form);
  Data->FieldDefs()->Add("Colour", ftInteger);
  Data->FieldDefs()->Add("Name", ftString, 30);
  Data->Open();
  Data->AppendRecord({TFieldValue(int32_t(255)), TFieldValue("Aqua")});
  Data->AppendRecord({TFieldValue(int32_t(0x123456)), TFieldValue("RGB: 1, 2, 3")});
  Data->AppendRecord({TFieldValue(), TFieldValue()});
  Data->First();
  auto* Source = new TDataSource(Form);
  Source->SetDataSet(Data);
  TvcColorCombo* ByName = AddColorCombo("ByName", RECT{10, 40, 170, 62});
  Pump();
  Combo->SetDataSource(Source);
  Combo->SetDataField("Colour");
  ByName->SetDataSource(Source);
  ByName->SetDataField("Name");
  Pump();
  EXPECT_TRUE(Combo->IsIntegerField());
  EXPECT_FALSE(ByName->IsIntegerField());
  struct TRow {
    const char* Name;
    const char* Integer;
    const char* Text;
  };
  const TRow Rows[] = {
      {"255 is Red; Aqua by name", "Red", "Aqua"},
      {"an unlisted value shows its RGB text", "RGB: 86, 52, 18", "RGB: 1, 2, 3"},
      {"null fields show nothing", "", ""},
  };
  for (const TRow& Row : Rows) {
    SCOPED_TRACE(Row.Name);
    EXPECT_EQ(Combo->Text(), Row.Integer);
    EXPECT_EQ(ByName->Text(), Row.Text);
    Data->Next();
    Pump();
  }

  // Choosing a colour writes it into the field when the focus leaves: the integer as the colour's
  // value.
  Data->First();
  Combo->SetFocus();
  Pump();
  Stroke(VK_F4);
  Stroke(VK_DOWN);
  Stroke(VK_RETURN);
  EXPECT_EQ(Combo->Text(), "Lime");
  Other->SetFocus();
  Pump();
  EXPECT_EQ(Data->FieldByName("Colour")->AsInteger(), clLime);
  Data->Post();
  EXPECT_EQ(Combo->Text(), "Lime");
  Combo->SetDataSource(nullptr);
  ByName->SetDataSource(nullptr);
}

TEST_F(TColorComboTest, TheFrameDrawsTheSidesOfTheFocusState) {
  Combo->SetSelectedColor(clYellow);
  Combo->Frame()->SetEnabled(true);
  Combo->Frame()->SetNonFocusColor(clInfoBk);
  Pump();
  EXPECT_EQ(Combo->BorderStyle(), bsNone);
  // Unfocused: the bottom side only, over the unfocused colour.
  const int Bottom = Combo->ClientHeight() - 1, Middle = Combo->ClientHeight() / 2;
  EXPECT_EQ(ScreenColor(Combo, 100, 0), Rgb(clInfoBk));
  EXPECT_EQ(ScreenColor(Combo, 0, Middle), Rgb(clInfoBk));
  EXPECT_EQ(ScreenColor(Combo, 100, Bottom), Rgb(clWindowFrame));
  SaveFormPng(Form, "vccolorcombo_frame_unfocused", 2);
  // Focused: all four, over the window colour.
  Combo->SetFocus();
  Pump();
  EXPECT_EQ(ScreenColor(Combo, 100, 0), Rgb(clWindowFrame));
  EXPECT_EQ(ScreenColor(Combo, 0, Middle), Rgb(clWindowFrame));
  EXPECT_EQ(ScreenColor(Combo, 100, Bottom), Rgb(clWindowFrame));
  SaveFormPng(Form, "vccolorcombo_frame_focused", 2);
  Other->SetFocus();
  Pump();
  EXPECT_EQ(ScreenColor(Combo, 100, 0), Rgb(clInfoBk));
}

}  // namespace
}  // namespace VcTest
