// The outlook list: item sizes and the shown range, the scroll buttons (when they can scroll, the
// auto-repeat while held on the manual clock, the step on release), hot tracking with the mouse
// capture, clicks in both click styles with their events and actions, drawing taken over by
// OnDrawItem, and the children it refuses.

#include "vcontrols/outlook/vcoutlooklist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/formreader.h"
#include "platform/forms/actionlist.h"
#include "platform/user/user.h"
#include "tests/vcontrols/buttons/buttontest.h"
#include "vcontrols/outlook/vcoutlookbar.h"

using namespace VcTest;

namespace {

class OutlookListTest : public TButtonTest {
 protected:
  void SetUp() override {
    TButtonTest::SetUp();
    Form->SetBounds(0, 0, 300, 300);
    List = new TvcOutlookList(Form);
    List->SetName("List");
    List->SetBorderStyle(bsNone);
    List->SetParent(Form);
    List->SetBounds(10, 10, 120, 200);
    List->OnItemClick = TvcCustomOutlookListItemEvent([this](TvcCustomOutlookList*, TvcOutlookListItem* Item) {
      Events.push_back("click " + Item->Text());
    });
    List->OnItemChange = TvcCustomOutlookListItemEvent([this](TvcCustomOutlookList*, TvcOutlookListItem* Item) {
      Events.push_back("change " + Item->Text());
    });
  }
  TvcOutlookListItem* Add(const std::string& Text) {
    TvcOutlookListItem* Item = List->Items()->Add();
    Item->SetText(Text);
    return Item;
  }
  TvcOutlookListItem* Item(int Index) { return List->Items()->Items(Index); }
  // The middle of an item's hit area, as the last painting left it.
  POINT MiddleOf(TvcOutlookListItem* Target) {
    const RECT Hit = Target->HitRect();
    return POINT{(Hit.left + Hit.right) / 2, (Hit.top + Hit.bottom) / 2};
  }
  POINT MiddleOf(TvcScrollButton Button) {
    const RECT Rect = List->ScrollButtonRect(Button);
    return POINT{(Rect.left + Rect.right) / 2, (Rect.top + Rect.bottom) / 2};
  }
  void Show() {
    Form->Show();
    Pump();
  }
  TvcOutlookList* List = nullptr;
  std::vector<std::string> Events;
};

TEST_F(OutlookListTest, ItemSizesFollowTheLayout) {
  TImageList Images(nullptr);
  Images.SetSize(32, 24);
  TvcOutlookListItem* Item = Add("Pictures");
  const SIZE Text = List->OffScreen()->Canvas()->TextExtent("Pictures");
  struct TCase {
    const char* Name;
    TvcLayout Layout;
    TButtonLayout ItemLayout;
    bool WithImages;
    int ItemsWidth;
    SIZE Expected;
  };
  // Separation 10, GlyphOffset 0, ItemSpacing 20.
  const TCase Cases[] = {
      {"vertical, no images: spacing below", loVertical, blGlyphTop, false, 0, SIZE{Text.cx, Text.cy + 20}},
      {"vertical, icon on top", loVertical, blGlyphTop, true, 0, SIZE{Text.cx, Text.cy + 20 + 24 + 10}},
      {"vertical, icon left", loVertical, blGlyphLeft, true, 0, SIZE{Text.cx + 32 + 10 + 8, Text.cy + 20}},
      {"horizontal, spacing beside", loHorizontal, blGlyphTop, false, 0, SIZE{Text.cx + 20, Text.cy}},
      {"horizontal, fixed width", loHorizontal, blGlyphRight, true, 77, SIZE{77, Text.cy}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    List->SetLayout(Case.Layout);
    List->SetItemLayout(Case.ItemLayout);
    List->SetImages(Case.WithImages ? &Images : nullptr);
    List->SetItemsWidth(Case.ItemsWidth);
    const SIZE Size = List->ItemSize(Item);
    EXPECT_EQ(Size.cx, Case.Expected.cx);
    EXPECT_EQ(Size.cy, Case.Expected.cy);
    EXPECT_EQ(Item->Extent(), Case.Layout == loVertical ? Case.Expected.cy : Case.Expected.cx);
  }
  List->SetImages(nullptr);

  // The spacing stays even.
  List->SetItemSpacing(15);
  EXPECT_EQ(List->ItemSpacing(), 16);
}

TEST_F(OutlookListTest, ScrollButtonsShowWhatDoesNotFit) {
  for (const char* Text : {"One", "Two", "Three"}) Add(Text);
  // Two and a half items high: item 2 is shown in part.
  const int Extent = Item(0)->Extent();
  List->SetBounds(10, 10, 120, 2 * Extent + Extent / 2);
  EXPECT_EQ(List->TopItem(), Item(0));
  EXPECT_EQ(List->LastVisibleItem(), Item(2));
  EXPECT_TRUE(Item(1)->IsVisible(true));
  EXPECT_TRUE(Item(2)->IsVisible(false));
  EXPECT_FALSE(Item(2)->IsVisible(true));
  EXPECT_FALSE(List->CanScroll(sbUpLeft));
  EXPECT_TRUE(List->CanScroll(sbDownRight)) << "item 1 is the last fully shown, and not the last";

  Show();
  EXPECT_EQ(List->ScrollButtonRect(sbUpLeft), (RECT{95, 10, 110, 25}));
  EXPECT_EQ(List->ScrollButtonRect(sbDownRight), (RECT{95, List->Height() - 25, 110, List->Height() - 10}));
  const POINT Down = MiddleOf(sbDownRight);
  Click(List, Down.x, Down.y);
  EXPECT_EQ(List->TopItem(), Item(1)) << "a click scrolls once, on release";
  EXPECT_TRUE(List->CanScroll(sbUpLeft));
  EXPECT_FALSE(List->CanScroll(sbDownRight)) << "the last item is shown whole";

  // Removing the top item goes back to the first.
  delete Item(1);
  EXPECT_EQ(List->TopItem(), Item(0));

  // Horizontal: the buttons lie at the top-left and top-right corners.
  List->SetLayout(loHorizontal);
  EXPECT_EQ(List->ScrollButtonRect(sbUpLeft), (RECT{10, 10, 25, 25}));
  EXPECT_EQ(List->ScrollButtonRect(sbDownRight), (RECT{95, 10, 110, 25}));
}

TEST_F(OutlookListTest, AHeldScrollButtonRepeatsWhileThePointerStaysOnIt) {
  for (int Index = 0; Index < 8; ++Index) Add("Item " + std::to_string(Index));
  const int Extent = Item(0)->Extent();
  List->SetBounds(10, 10, 120, 2 * Extent);
  List->SetScrollInterval(250);
  Show();
  const POINT Down = MiddleOf(sbDownRight);
  MouseDown(List, Down.x, Down.y);
  EXPECT_EQ(List->PressedButton(), sbDownRight);
  EXPECT_EQ(GetCapture(), List->Handle());
  EXPECT_EQ(List->TopItem(), Item(0)) << "the first step comes after one interval";
  Advance(240);
  EXPECT_EQ(List->TopItem(), Item(0));
  Advance(20);
  EXPECT_EQ(List->TopItem(), Item(1));
  Advance(500);
  EXPECT_EQ(List->TopItem(), Item(3)) << "one step per interval";
  // Off the button the repeat pauses; back on it, it goes on.
  MouseMove(List, Down.x - 40, Down.y);
  Advance(500);
  EXPECT_EQ(List->TopItem(), Item(3));
  MouseMove(List, Down.x, Down.y);
  Advance(250);
  EXPECT_EQ(List->TopItem(), Item(4));
  // The release inside scrolls once more; the item under the pointer turns hot then.
  MouseUp(List, Down.x, Down.y);
  EXPECT_EQ(List->TopItem(), Item(5));
  EXPECT_EQ(List->PressedButton(), sbNone);
  EXPECT_TRUE(Item(6)->Hot());
  Advance(1000);
  EXPECT_EQ(List->TopItem(), Item(5)) << "the timer stopped";

  // Held to the end, it stops there.
  MouseDown(List, Down.x, Down.y);
  Advance(5000);
  EXPECT_FALSE(List->CanScroll(sbDownRight));
  EXPECT_EQ(List->TopItem(), Item(6)) << "items 6 and 7 fill the list";
  MouseUp(List, Down.x, Down.y);
  EXPECT_EQ(List->TopItem(), Item(6));
}

TEST_F(OutlookListTest, ItemsUnderThePointerAreHot) {
  Add("One");
  Add("Two");
  Show();
  const POINT First = MiddleOf(Item(0));
  MouseMove(List, First.x, First.y);
  EXPECT_TRUE(Item(0)->Hot());
  EXPECT_FALSE(Item(1)->Hot());
  EXPECT_EQ(GetCapture(), List->Handle()) << "a hot item holds the mouse to notice it leave";
  const POINT Second = MiddleOf(Item(1));
  MouseMove(List, Second.x, Second.y);
  EXPECT_FALSE(Item(0)->Hot());
  EXPECT_TRUE(Item(1)->Hot());
  // Leaving the list cools every item and gives the mouse up.
  MouseMove(List, List->Width() + 30, Second.y);
  EXPECT_FALSE(Item(1)->Hot());
  EXPECT_NE(GetCapture(), List->Handle());
}

TEST_F(OutlookListTest, ClicksSelectAndReportInOrder) {
  Add("One");
  Add("Two");
  Show();
  int Executed = 0;
  TObject* ExecutedBy = nullptr;
  TAction Open(Form);
  Open.SetCaption("Two");
  Open.OnExecute = TNotifyEvent([&](TObject* Sender) {
    ++Executed;
    ExecutedBy = Sender;
  });
  Item(1)->SetAction(&Open);
  Item(1)->OnClick = TvcCustomOutlookListItemEvent([this](TvcCustomOutlookList*, TvcOutlookListItem*) {
    Events.push_back("item");
  });

  // csClick: nothing stays selected.
  POINT At = MiddleOf(Item(0));
  Click(List, At.x, At.y);
  EXPECT_EQ(Events, (std::vector<std::string>{"click One"}));
  Item(0)->SetSelected(true);
  EXPECT_FALSE(Item(0)->Selected()) << "reads false in csClick";
  Item(0)->SetSelected(false);

  List->SetClickStyle(csSelect);
  Events.clear();
  Click(List, At.x, At.y);
  At = MiddleOf(Item(1));
  Click(List, At.x, At.y);
  EXPECT_EQ(Events, (std::vector<std::string>{"change One", "click One", "change Two", "click Two", "item"}));
  EXPECT_TRUE(Item(1)->Selected());
  EXPECT_FALSE(Item(0)->Selected()) << "one item is selected at a time";
  EXPECT_EQ(Executed, 1);
  EXPECT_EQ(ExecutedBy, Item(1)) << "the action runs with the item as sender";
  Events.clear();
  Click(List, At.x, At.y);
  EXPECT_EQ(Events, (std::vector<std::string>{"click Two", "item"})) << "no change on the selected item";

  // A press that ends elsewhere clicks nothing.
  MouseDown(List, At.x, At.y);
  MouseUp(List, At.x, List->Height() - 2);
  EXPECT_EQ(Events.size(), 2u);
}

TEST_F(OutlookListTest, OnDrawItemCanTakeOverTheDrawing) {
  List->SetColor(TColor(0x204060));
  Add("Hidden");
  List->OnDrawItem = TvcOutlookListDrawItemEvent(
      [](TvcCustomOutlookList*, TvcOutlookListItem*, POINT&, POINT&, bool& DefaultDrawing) { DefaultDrawing = false; });
  Show();
  const RECT Whole = Item(0)->ItemRect();
  int Others = 0;
  for (int Y = Whole.top; Y < Whole.bottom; Y += 2)
    for (int X = Whole.left; X < Whole.right; X += 2) Others += ScreenColor(List, X, Y) != 0x604020u;
  EXPECT_EQ(Others, 0) << "the background alone";
  const POINT At = MiddleOf(Item(0));
  Click(List, At.x, At.y);
  EXPECT_EQ(Events, (std::vector<std::string>{"click Hidden"})) << "clicks still work";
}

TEST_F(OutlookListTest, AnActionGivesItsCaption) {
  TAction Open(Form);
  Open.SetCaption("Open");
  TvcOutlookListItem* Plain = Add("");
  Plain->SetAction(&Open);
  EXPECT_EQ(Plain->Text(), "Open");
  Open.SetCaption("Open file");
  EXPECT_EQ(Plain->Text(), "Open file") << "a later caption reaches the item";
  TvcOutlookListItem* Named = Add("Mine");
  Named->SetAction(&Open);
  EXPECT_EQ(Named->Text(), "Open file") << "outside form reading the action's caption wins";

  // Read from a form, the item's own text stays.
  List->Free();
  List = nullptr;
  ReadComponentText(Form, R"(object Form: TForm
  object Actions: TActionList
    object Act: TAction
      Caption = 'Act'
    end
  end
  object Read: TvcOutlookList
    Items = <
      item
        Action = Act
        Text = 'Own'
      end
      item
        Action = Act
      end>
  end
end)");
  auto* Read = dynamic_cast<TvcOutlookList*>(Form->FindComponent("Read"));
  ASSERT_NE(Read, nullptr);
  EXPECT_EQ(Read->Items()->Items(0)->Text(), "Own");
  EXPECT_EQ(Read->Items()->Items(1)->Text(), "Act");
  // A freed action is no item's action any more.
  Form->FindComponent("Act")->Free();
  EXPECT_EQ(Read->Items()->Items(0)->Action(), nullptr);
}

TEST_F(OutlookListTest, RefusesChildControls) {
  auto* Child = new FormsTest::TTestPanel(Form);
  Child->SetParent(Form);
  try {
    Child->SetParent(List);
    FAIL() << "a child was accepted";
  } catch (const EInvalidOperation& Error) {
    EXPECT_EQ(std::string(Error.what()),
              "TvcCustomOutlookList does not accept child controls.  Delete TvcCustomOutlookList and/or set the "
              "options property of the TvcControlBar, \"cboAutoCreateOutlookList\", to False");
  }
  EXPECT_EQ(List->ControlCount(), 0);

  // A freed image list is forgotten.
  auto* Images = new TImageList(Form);
  List->SetImages(Images);
  Images->Free();
  EXPECT_EQ(List->Images(), nullptr);
}

}  // namespace
