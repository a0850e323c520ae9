// The button group: the grid layout (cells, spare pixels, columns and rows, the size of the whole
// grid), selection with OnChanging and OnChange, the click styles, auto-bold and the keys, items
// and buttons going together, the button class, names, and a group read from its form text.

#include "vcontrols/buttons/vcbuttongroup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/formreader.h"
#include "platform/forms/messagebox.h"
#include "platform/user/user.h"
#include "tests/vcontrols/buttons/buttontest.h"

using namespace VcTest;

namespace {

class ButtonGroupTest : public TButtonTest {
 protected:
  void SetUp() override {
    TButtonTest::SetUp();
    Form->SetBounds(0, 0, 400, 300);
    Group = new TvcButtonGroup(Form);
    Group->SetName("Group1");
    Group->SetParent(Form);
    Group->OnChanging = TvcButtonGroupChangeEvent(
        [this](TvcCustomButtonGroup*, TvcButtonGroupItem* Old, TvcButtonGroupItem* New) {
          Events.push_back("changing " + Label(Old) + ">" + Label(New));
        });
    Group->OnChange = TvcButtonGroupChangeEvent(
        [this](TvcCustomButtonGroup*, TvcButtonGroupItem* Old, TvcButtonGroupItem* New) {
          Events.push_back("change " + Label(Old) + ">" + Label(New));
        });
  }
  // Items named by their index ("-" for none).
  static std::string Label(TvcButtonGroupItem* Item) { return Item ? std::to_string(Item->Index()) : "-"; }
  TvcButtonGroupItem* Add(int Count = 1) {
    TvcButtonGroupItem* Last = nullptr;
    for (int I = 0; I < Count; ++I) Last = static_cast<TvcButtonGroupItem*>(Group->ButtonItems()->Add());
    return Last;
  }
  TvcButtonGroupItem* Item(int Index) { return Group->ButtonItems()->Items(Index); }
  RECT BoundsOf(int Index) { return Item(Index)->Button()->BoundsRect(); }
  TvcButtonGroup* Group = nullptr;
  std::vector<std::string> Events;
};

TEST_F(ButtonGroupTest, LaysTheButtonsOutInAGrid) {
  struct TCase {
    const char* Name;
    TvcLayout Layout;
    int Columns, Spacing, MaxSize, Border, Count;
    SIZE Client;
    std::vector<RECT> Expected;  // every button's bounds, in item order
  };
  const TCase Cases[] = {
      // The title bar's group: cellW (291 - 50) / 3 = 80 equals MaxControlSize: no sharing.
      {"title bar: one row, capped width", loHorizontal, 1, 25, 80, 0, 3, SIZE{291, 46},
       {RECT{0, 0, 80, 46}, RECT{105, 0, 185, 46}, RECT{210, 0, 290, 46}}},
      // cellH 32 and 2 spare pixels, one each to the first two rows.
      {"one column, spare pixels to the first rows", loVertical, 1, 1, 0, 0, 3, SIZE{75, 100},
       {RECT{0, 0, 75, 33}, RECT{0, 34, 75, 67}, RECT{0, 68, 75, 100}}},
      {"one column, capped height", loVertical, 1, 1, 20, 0, 3, SIZE{75, 100},
       {RECT{0, 0, 75, 20}, RECT{0, 21, 75, 41}, RECT{0, 42, 75, 62}}},
      // Column 0 holds items 0-2, column 1 items 3-4; (100 - 1) / 2 = 49 and one spare pixel.
      {"two columns, the first one longer", loVertical, 2, 1, 0, 0, 5, SIZE{100, 62},
       {RECT{0, 0, 50, 20}, RECT{0, 21, 50, 41}, RECT{0, 42, 50, 62}, RECT{51, 0, 100, 20},
        RECT{51, 21, 100, 41}}},
      {"two rows fill a column at a time", loHorizontal, 2, 1, 0, 0, 5, SIZE{62, 41},
       {RECT{0, 0, 20, 20}, RECT{0, 21, 20, 41}, RECT{21, 0, 41, 20}, RECT{21, 21, 41, 41},
        RECT{42, 0, 62, 20}}},
      {"no columns lays out as one", loVertical, 0, 1, 0, 0, 2, SIZE{40, 41},
       {RECT{0, 0, 40, 20}, RECT{0, 21, 40, 41}}},
      {"the border is kept free", loVertical, 1, 0, 0, 3, 2, SIZE{46, 46},
       {RECT{3, 3, 43, 23}, RECT{3, 23, 43, 43}}},
      {"spare width to the first columns", loVertical, 3, 1, 0, 0, 3, SIZE{100, 10},
       {RECT{0, 0, 33, 10}, RECT{34, 0, 67, 10}, RECT{68, 0, 100, 10}}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Group->ButtonItems()->ClearItems();
    Group->SetLayout(Case.Layout);
    Group->SetColumns(Case.Columns);
    Group->SetControlSpacing(Case.Spacing);
    Group->SetMaxControlSize(Case.MaxSize);
    Group->SetBorderWidth(Case.Border);
    Group->SetBounds(0, 0, Case.Client.cx, Case.Client.cy);
    Add(Case.Count);
    ASSERT_EQ(Group->ClientWidth(), Case.Client.cx);
    for (int Index = 0; Index < Case.Count; ++Index) {
      SCOPED_TRACE(Index);
      EXPECT_EQ(BoundsOf(Index), Case.Expected[size_t(Index)]);
    }
  }
}

TEST_F(ButtonGroupTest, HiddenButtonsLeaveTheirCellsEmptyAtTheEnd) {
  Group->SetBounds(0, 0, 60, 62);
  Add(3);
  const RECT Middle = BoundsOf(1);
  Item(1)->Button()->SetVisible(false);
  Group->ButtonItems()->ArrangeButtons();
  EXPECT_EQ(Group->ButtonItems()->VisibleCount(), 2);
  EXPECT_EQ(BoundsOf(0), (RECT{0, 0, 60, 20}));
  EXPECT_EQ(BoundsOf(2), (RECT{0, 21, 60, 41})) << "moves up into the hidden button's cell";
  EXPECT_EQ(BoundsOf(1), Middle) << "the hidden button keeps its bounds";
}

TEST_F(ButtonGroupTest, GroupSizeCoversTheGridOfOneButtonSize) {
  struct TCase {
    const char* Name;
    TvcLayout Layout;
    int Columns, Count;
    SIZE Expected;
  };
  // Buttons of 30 x 20, spacing 2.
  const TCase Cases[] = {
      {"vertical, 2 columns of 5", loVertical, 2, 5, SIZE{62, 3 * 22 - 2}},
      {"horizontal, 2 rows of 5", loHorizontal, 2, 5, SIZE{3 * 32 - 2, 42}},
      {"no columns counts as one", loVertical, 0, 3, SIZE{30, 64}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Group->ButtonItems()->ClearItems();
    Group->SetLayout(Case.Layout);
    Group->SetColumns(Case.Columns);
    Group->SetControlSpacing(2);
    Add(Case.Count);
    auto Probe = std::make_unique<TvcShapeBtn>(nullptr);
    Probe->SetBounds(0, 0, 30, 20);
    SIZE Size{};
    Group->CalcGroupSize(Probe.get(), false, Size);
    EXPECT_EQ(Size.cx, Case.Expected.cx);
    EXPECT_EQ(Size.cy, Case.Expected.cy);
  }
  // A button given another size makes the group the size of the grid, then the grid is laid out
  // again in it.
  Group->ButtonItems()->ClearItems();
  Group->SetLayout(loVertical);
  Group->SetColumns(1);
  Add(3);
  Item(0)->Button()->SetBounds(0, 0, 50, 30);
  EXPECT_EQ(Group->Width(), 50);
  EXPECT_EQ(Group->Height(), 3 * 32 - 2);
  EXPECT_EQ(BoundsOf(2), (RECT{0, 64, 50, 94}));
}

TEST_F(ButtonGroupTest, SelectionReportsTheOldAndTheNewItem) {
  Group->SetBounds(0, 0, 80, 90);
  Add(3);
  EXPECT_EQ(Group->Selected(), nullptr) << "no button is down yet";
  Group->SetSelected(Item(1));
  EXPECT_EQ(Events, (std::vector<std::string>{"changing ->1", "change ->1"}));
  Events.clear();
  Group->SetSelected(Item(2));
  EXPECT_EQ(Group->Selected(), Item(2));
  EXPECT_FALSE(Item(1)->Button()->Down()) << "radio group: the old one came up";
  EXPECT_EQ(Events, (std::vector<std::string>{"changing 1>2", "change 1>2"}));
  Events.clear();
  Group->SetSelected(nullptr);
  Group->SetSelected(Item(2));
  EXPECT_TRUE(Events.empty()) << "nil and the selected item change nothing";

  // A click goes the same way; the group bolds the selected button only.
  Form->Show();
  Pump();
  Click(Item(0)->Button(), 10, 10);
  EXPECT_EQ(Events, (std::vector<std::string>{"changing 2>0", "change 2>0"}));
  EXPECT_TRUE(Item(0)->Button()->Font()->Style().Contains(fsBold));
  EXPECT_FALSE(Item(2)->Button()->Font()->Style().Contains(fsBold));
  Group->SetAutoBold(false);
  EXPECT_FALSE(Item(0)->Button()->Font()->Style().Contains(fsBold));
}

TEST_F(ButtonGroupTest, ClickStylesDecideHowButtonsToggle) {
  Group->SetBounds(0, 0, 80, 90);
  Add(3);
  auto Indexes = [this] {
    std::vector<std::string> Result;
    for (int I = 0; I < 3; ++I)
      Result.push_back(std::to_string(Item(I)->GroupIndex()) + (Item(I)->Button()->AllowAllUp() ? "+" : ""));
    return Result;
  };
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"1", "1", "1"}));
  Group->SetClickStyle(bcsCheckList);
  EXPECT_EQ(Indexes(), (std::vector<std::string>{"1+", "2+", "3+"}));
  Item(0)->SetSelected(true);
  Item(2)->SetSelected(true);
  EXPECT_TRUE(Item(0)->Button()->Down()) << "check boxes toggle by themselves";
  EXPECT_FALSE(Item(0)->Button()->Font()->Style().Contains(fsBold)) << "no bold in a check list";
  auto* Added = Add();
  EXPECT_EQ(Added->GroupIndex(), 4) << "a new check box gets a group of its own";
  EXPECT_TRUE(Added->Button()->AllowAllUp());

  Group->ButtonItems()->ClearItems();
  Add(2);
  Group->SetClickStyle(bcsClick);
  EXPECT_EQ(Item(0)->GroupIndex(), 0);
  // A button added to a click group is a plain button too (it would otherwise stay down as a
  // radio button).
  EXPECT_EQ(Add()->GroupIndex(), 0);
  Item(2)->SetSelected(true);
  EXPECT_FALSE(Item(2)->Button()->Down());
}

TEST_F(ButtonGroupTest, KeysMoveTheSelectionAndWrap) {
  Group->SetBounds(0, 0, 80, 120);
  Form->Show();
  Group->SetFocus();
  Pump();
  Keys({VK_DOWN});
  EXPECT_TRUE(Events.empty()) << "an empty group has nowhere to go";
  Add(4);
  struct TCase {
    const char* Name;
    int Key;
    int Expected;
  };
  const TCase Cases[] = {
      {"nothing selected: an arrow takes the first", VK_UP, 0},
      {"up from the first wraps to the last", VK_LEFT, 3},
      {"down from the last wraps to the first", VK_RIGHT, 0},
      {"down", VK_DOWN, 1},
      {"end", VK_END, 3},
      {"home", VK_HOME, 0},
      {"other keys do nothing", 'A', 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Keys({Case.Key});
    ASSERT_NE(Group->Selected(), nullptr);
    EXPECT_EQ(Group->Selected()->Index(), Case.Expected);
  }
  EXPECT_EQ(Group->Perform(WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}

TEST_F(ButtonGroupTest, ItemsAndButtonsGoTogether) {
  Group->SetBounds(0, 0, 80, 90);
  Add(3);
  TvcCustomBitBtn* Second = Item(1)->Button();
  EXPECT_EQ(Second->Owner(), Form) << "the form owns the buttons";
  EXPECT_EQ(Second->Parent(), Group);
  Group->SetSelected(Item(1));
  Second->Free();
  ASSERT_EQ(Group->ButtonItems()->Count(), 2) << "the freed button took its item";
  EXPECT_EQ(Item(1)->Button()->Top(), 46) << "and the rest were laid out again: 45 + 1";
  // An event after the change still names no freed item.
  Group->SetSelected(Item(0));
  EXPECT_EQ(Events.back(), "change ->0");

  TvcCustomBitBtn* Last = Item(1)->Button();
  const int ComponentsBefore = Form->ComponentCount();
  delete Item(1);
  EXPECT_EQ(Form->ComponentCount(), ComponentsBefore - 1) << "the freed item took its button";
  EXPECT_EQ(Group->ButtonItems()->FindButton(Last), nullptr);

  // A button given to another parent leaves its item too.
  Item(0)->Button()->SetParent(Form);
  EXPECT_EQ(Group->ButtonItems()->Count(), 0);
}

TEST_F(ButtonGroupTest, ButtonClassDecidesWhatNewItemsMake) {
  Group->SetBounds(0, 0, 80, 90);
  Add(2);
  EXPECT_EQ(Group->ButtonClassName(), "TvcShapeBtn");
  EXPECT_THROW(Group->SetButtonClassName("TNoSuchButton"), EClassNotFound);
  EXPECT_THROW(Group->SetButtonClassName("TvcLabel"), EInvalidCast) << "not a button";
  EXPECT_EQ(Group->ButtonItems()->Count(), 2) << "a refused class keeps the items";
  Group->SetButtonClassName("TvcImageBtn");
  EXPECT_EQ(Group->ButtonItems()->Count(), 0) << "at run time the items go without asking";
  EXPECT_TRUE(Boxes.empty());
  EXPECT_NE(dynamic_cast<TvcImageBtn*>(Add()->Button()), nullptr);

  // Designed: new buttons are named after the group, the user is asked before the items go,
  // and renaming the group renames its buttons.
  Group->SetDesigning(true);
  Group->ButtonItems()->ClearItems();
  Group->SetButtonClassName("TvcShapeBtn");
  Add(2);
  EXPECT_EQ(Item(0)->Button()->Name(), "Group1vcShapeBtn1");
  EXPECT_EQ(Item(1)->Button()->Name(), "Group1vcShapeBtn2");
  Item(1)->Button()->SetName("Other");
  Answers = {mrNo};
  Group->SetButtonClassName("TvcImageBtn");
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text, "Setting this property will clear your items. Continue?");
  EXPECT_EQ(Group->ButtonItems()->Count(), 2) << "No keeps class and items";
  EXPECT_EQ(Group->ButtonClassName(), "TvcShapeBtn");
  Group->SetName("Bar");
  EXPECT_EQ(Item(0)->Button()->Name(), "BarvcShapeBtn1");
  EXPECT_EQ(Item(1)->Button()->Name(), "Other");
  Group->SetDesigning(false);
}

TEST_F(ButtonGroupTest, ReadFromAFormEveryButtonGetsAnItem) {
  Group->Free();
  Group = nullptr;
  ReadComponentText(Form, R"(object Form: TForm
  object Title: TvcButtonGroup
    Left = 0
    Top = 0
    Width = 291
    Height = 46
    Columns = 1
    ControlSpacing = 25
    Layout = loHorizontal
    MaxControlSize = 80
    ButtonItems = <
      item
      end>
    object TitleWebCam: TvcShapeBtn
      Caption = 'WebCam'
      GroupIndex = 1
      Down = True
    end
    object TitleAlbum: TvcShapeBtn
      Caption = 'Album'
      GroupIndex = 1
    end
    object TitleImage: TvcShapeBtn
      Caption = 'Image'
      GroupIndex = 1
    end
  end
end)");
  auto* Title = dynamic_cast<TvcButtonGroup*>(Form->FindComponent("Title"));
  ASSERT_NE(Title, nullptr);
  TvcButtonGroupItems* Items = Title->ButtonItems();
  ASSERT_EQ(Items->Count(), 3) << "the listed item took the first button";
  const char* Names[] = {"TitleWebCam", "TitleAlbum", "TitleImage"};
  for (int Index = 0; Index < 3; ++Index) {
    SCOPED_TRACE(Names[Index]);
    EXPECT_EQ(Items->Items(Index)->Button()->Name(), Names[Index]);
    EXPECT_EQ(Items->Items(Index)->Button()->Left(), Index * 105) << "laid out once read";
  }
  EXPECT_EQ(Title->Selected(), Items->Items(0));
  // The program selects a page by the item's collection ID.
  Title->SetSelected(static_cast<TvcButtonGroupItem*>(Items->FindItemID(Items->Items(2)->ID())));
  EXPECT_EQ(Title->Selected(), Items->Items(2));

  // Written back, the buttons come in item order and the items are not listed.
  Items->Items(0)->SetIndex(2);
  const std::string Text = WriteComponentText(Form);
  EXPECT_EQ(Text.find("ButtonItems"), std::string::npos);
  EXPECT_LT(Text.find("TitleAlbum"), Text.find("TitleImage"));
  EXPECT_LT(Text.find("TitleImage"), Text.find("TitleWebCam"));
}

}  // namespace
