// An outlook bar of two pages with icon lists, rendered headless after its second page slid open,
// and a button group beside it, kept as PNGs to be looked at; the picture's structure is checked.

#include <gtest/gtest.h>

#include "platform/forms/imagelist.h"
#include "tests/vcontrols/buttons/buttontest.h"
#include "vcontrols/buttons/vcbuttongroup.h"
#include "vcontrols/outlook/vcoutlookbar.h"

using namespace VcTest;

namespace {

class OutlookGalleryTest : public TButtonTest {};

// Four 32 x 32 icons: a coloured disc on the list's key colour.
void FillIcons(TImageList& Images) {
  Images.SetSize(32, 32);
  const TColor Colors[] = {TColor(0x2020D0), TColor(0x20A020), TColor(0xC06020), TColor(0x10B0E0)};
  for (TColor Color : Colors) {
    TBitmap Icon;
    Icon.SetSize(32, 32);
    TCanvas* C = Icon.Canvas();
    C->Brush()->SetColor(clFuchsia);
    C->FillRect(RECT{0, 0, 32, 32});
    C->Brush()->SetColor(Color);
    C->Pen()->SetColor(clBlack);
    C->Ellipse(2, 2, 30, 30);
    Images.AddMasked(&Icon, clFuchsia);
  }
}

TEST_F(OutlookGalleryTest, TwoPagesWithListsAndAButtonGroup) {
  FClock->SetSleepAdvances(true);
  Form->SetBounds(0, 0, 420, 320);
  Form->SetColor(clBtnFace);
  TImageList Images(Form);
  FillIcons(Images);

  auto* Bar = new TvcOutlookBar(Form);
  Bar->SetName("Bar");
  Bar->SetParent(Form);
  Bar->SetBounds(10, 10, 160, 300);
  const char* Pages[] = {"Camera", "Album"};
  const char* Captions[][3] = {{"Live", "Snapshot", "Motion"}, {"Pictures", "Movies", "Slide show"}};
  for (int Page = 0; Page < 2; ++Page) {
    auto* Item = static_cast<TvcOutlookPage*>(Bar->OutlookItems()->Add());
    Item->Button()->SetCaption(Pages[Page]);
    TvcCustomOutlookList* List = Item->OutlookList();
    ASSERT_NE(List, nullptr);
    List->SetImages(&Images);
    for (int Index = 0; Index < 3; ++Index) {
      TvcOutlookListItem* Entry = List->Items()->Add();
      Entry->SetText(Captions[Page][Index]);
      Entry->SetImageIndex((Page * 3 + Index) % 4);
    }
  }

  // More than the open page can show: its down scroll button appears.
  for (const char* Text : {"Export", "Delete"}) {
    TvcOutlookListItem* Entry = Bar->OutlookItems()->Items(1)->OutlookList()->Items()->Add();
    Entry->SetText(Text);
    Entry->SetImageIndex(Entry->Index() % 4);
  }

  auto* Group = new TvcButtonGroup(Form);
  Group->SetName("Title");
  Group->SetParent(Form);
  Group->SetBounds(180, 10, 230, 46);
  Group->SetLayout(loHorizontal);
  Group->SetControlSpacing(10);
  Group->SetMaxControlSize(70);
  const char* Titles[] = {"WebCam", "Album", "Image"};
  for (int Index = 0; Index < 3; ++Index) Group->ButtonItems()->Add();
  for (int Index = 0; Index < 3; ++Index) Group->ButtonItems()->Items(Index)->Button()->SetCaption(Titles[Index]);
  Group->SetSelected(Group->ButtonItems()->Items(0));

  Form->Show();
  Pump();
  Click(Bar->OutlookItems()->Items(1)->Button(), 20, 8);
  // The pointer rests on the second icon of the open list.
  TvcCustomOutlookList* Open = Bar->OutlookItems()->Items(1)->OutlookList();
  const RECT Hit = Open->Items()->Items(1)->HitRect();
  MouseMove(Open, (Hit.left + Hit.right) / 2, (Hit.top + Hit.bottom) / 2);
  SaveFormPng(Form, "outlook_bar", 2);

  EXPECT_EQ(Bar->Selected(), Bar->OutlookItems()->Items(1));
  EXPECT_TRUE(Open->Items()->Items(1)->Hot());
  EXPECT_EQ(Open->Parent()->Top(), 2 * 20) << "below both buttons";
  // The open list shows its colour and its first icon's disc (the fourth icon, yellow).
  const RECT First = Open->Items()->Items(0)->ItemRect();
  EXPECT_EQ(ScreenColor(Open, 3, First.bottom - 2), Rgb(clBtnShadow));
  int Disc = 0;
  for (int Y = First.top; Y < First.bottom; ++Y)
    for (int X = 0; X < Open->ClientWidth(); ++X) Disc += ScreenColor(Open, X, Y) == 0xE0B010u;
  EXPECT_GT(Disc, 200);
  EXPECT_TRUE(Group->ButtonItems()->Items(0)->Button()->Font()->Style().Contains(fsBold));
  EXPECT_TRUE(Open->CanScroll(sbDownRight));
  EXPECT_FALSE(Open->CanScroll(sbUpLeft));
}

}  // namespace
