// The owner-drawn button base: glyph and caption layout, stock kinds, the press / drag / release
// machine driven by real mouse input, groups, Enter / Escape / Space / accelerators, the
// draw-item protocol, glyph cells, and the streamed region bytes.

#include <gtest/gtest.h>

#include "platform/classes/formreader.h"
#include "platform/forms/actionlist.h"
#include "platform/forms/actions.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/edit.h"
#include "platform/rtl/streams.h"
#include "platform/user/user.h"
#include "tests/vcontrols/buttons/buttontest.h"

using namespace VcTest;
using namespace FormsTest;

namespace {

class ButtonTest : public TButtonTest {
 protected:
  std::vector<std::string> Events;
  void Watch(TvcCustomBitBtn* Button) {
    Button->OnClick = TNotifyEvent([this, Button](TObject*) { Events.push_back(Button->Name() + " click"); });
    Button->OnSelChange = TNotifyEvent([this, Button](TObject*) { Events.push_back(Button->Name() + " sel"); });
  }
};

// --- layout -------------------------------------------------------------------------------------

TEST_F(ButtonTest, LaysGlyphAndCaptionOut) {
  TvcShapeBtn* Button = AddButton("Button", RECT{0, 0, 75, 25});
  Button->SetCaption("Caption");
  TBitmap Glyph16;
  Glyph16.SetSize(32, 16);  // two cells of 16
  // Each row: the measured caption is 30 x 13 on a 75 x 25 button, Spacing 4.
  const struct {
    const char* Name;
    bool Glyph;
    TButtonLayout Layout;
    TAlignment Alignment;
    int32_t Margin;
    RECT Text, GlyphRect;
  } Cases[] = {
      {"caption alone, centred", false, blGlyphLeft, taCenter, -1, {21, 6, 51, 19}, {21, 6, 21, 6}},
      {"glyph left", true, blGlyphLeft, taCenter, -1, {32, 6, 62, 19}, {12, 4, 28, 20}},
      {"glyph right", true, blGlyphRight, taCenter, -1, {12, 6, 42, 19}, {46, 4, 62, 20}},
      {"glyph above", true, blGlyphTop, taCenter, -1, {22, 15, 52, 28}, {29, -5, 45, 11}},
      {"glyph below", true, blGlyphBottom, taCenter, -1, {22, -5, 52, 8}, {29, 12, 45, 28}},
      {"left aligned, automatic margin", true, blGlyphLeft, taLeftJustify, -1, {24, 6, 54, 19}, {4, 4, 20, 20}},
      {"left aligned, no margin", true, blGlyphLeft, taLeftJustify, 0, {20, 6, 50, 19}, {0, 4, 16, 20}},
      {"right aligned", true, blGlyphLeft, taRightJustify, -1, {41, 6, 71, 19}, {21, 4, 37, 20}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Button->SetGlyph(Case.Glyph ? &Glyph16 : nullptr);
    Button->SetNumGlyphs(2);
    Button->SetLayout(Case.Layout);
    Button->TextOptions()->SetAlignment(Case.Alignment);
    Button->SetMargin(Case.Margin);
    RECT Text{}, GlyphRect{}, Area{};
    Button->CalcLayout(nullptr, RECT{2, 2, 73, 23}, Text, GlyphRect, SIZE{30, 13}, Area);
    EXPECT_EQ(Text, Case.Text);
    if (Case.Glyph) { EXPECT_EQ(GlyphRect, Case.GlyphRect); }
  }
  // Without a glyph the spacing is -3: an even caption starts at 3, an odd one at 2.
  Button->SetGlyph(nullptr);
  Button->TextOptions()->SetAlignment(taLeftJustify);
  Button->SetMargin(-1);
  RECT Text{}, GlyphRect{}, Area{};
  Button->CalcLayout(nullptr, RECT{}, Text, GlyphRect, SIZE{30, 13}, Area);
  EXPECT_EQ(Text.left, 3);
  Button->CalcLayout(nullptr, RECT{}, Text, GlyphRect, SIZE{31, 13}, Area);
  EXPECT_EQ(Text.left, 2);
  // Offsets move both; the down offsets too while the button is drawn down.
  Button->Offsets()->SetTextX(3);
  Button->Offsets()->SetGlyphY(2);
  Button->SetGroupIndex(1);
  Button->SetDown(true);
  Button->SetGlyph(&Glyph16);
  Button->TextOptions()->SetAlignment(taCenter);
  Button->CalcLayout(nullptr, RECT{}, Text, GlyphRect, SIZE{30, 13}, Area);
  EXPECT_EQ(Text, (RECT{36, 7, 66, 20}));
  EXPECT_EQ(GlyphRect, (RECT{13, 7, 29, 23}));
  // Margins below -1 are ignored; the glyph count is kept in 1..4.
  Button->SetMargin(-5);
  EXPECT_EQ(Button->Margin(), -1);
  Button->SetNumGlyphs(9);
  EXPECT_EQ(Button->NumGlyphs(), 4);
  Button->SetNumGlyphs(0);
  EXPECT_EQ(Button->NumGlyphs(), 1);
}

// --- kinds ----------------------------------------------------------------------------------------

TEST_F(ButtonTest, KindsSetCaptionRolesResultAndTheSharedGlyph) {
  const struct {
    TBitBtnKind Kind;
    const char* Caption;
    bool Default, Cancel;
    TModalResult Result;
    int GlyphHeight;
  } Cases[] = {
      {bkOK, "OK", true, false, mrOk, 18},        {bkCancel, "Cancel", false, true, mrCancel, 18},
      {bkHelp, "&Help", false, false, mrNone, 18}, {bkYes, "&Yes", true, false, mrYes, 18},
      {bkNo, "&No", false, true, mrNo, 18},       {bkClose, "&Close", false, false, mrNone, 18},
      {bkAbort, "Abort", false, false, mrAbort, 18}, {bkRetry, "&Retry", false, false, mrRetry, 18},
      {bkIgnore, "&Ignore", false, false, mrIgnore, 18}, {bkAll, "&All", false, false, mrAll, 19},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Caption);
    TvcShapeBtn* Button = AddButton("", RECT{0, 0, 75, 25});
    Button->SetKind(Case.Kind);
    EXPECT_EQ(Button->Kind(), Case.Kind);
    EXPECT_EQ(Button->Caption(), Case.Caption);
    EXPECT_EQ(Button->Default(), Case.Default);
    EXPECT_EQ(Button->Cancel(), Case.Cancel);
    EXPECT_EQ(Button->ModalResult(), Case.Result);
    EXPECT_EQ(Button->Glyph()->Width(), 36);
    EXPECT_EQ(Button->Glyph()->Height(), Case.GlyphHeight);
    EXPECT_EQ(Button->NumGlyphs(), 2);
    EXPECT_FALSE(Button->IsCaptionStored());
    EXPECT_FALSE(Button->IsGlyphStored());
  }
  // A kind whose roles no longer match reads as custom.
  TvcShapeBtn* Button = AddButton("Changed", RECT{0, 0, 75, 25});
  Button->SetKind(bkOK);
  Button->SetModalResult(mrNone);
  EXPECT_EQ(Button->Kind(), bkCustom);
  EXPECT_TRUE(Button->IsGlyphStored());
}

// A button given an action takes its caption and, while it has no glyph of its own, the image the
// action shows in its list: a copy on fuchsia, of the list's size. An image outside the list or a
// glyph already there leaves the glyph as it is.
TEST_F(ButtonTest, AnActionGivesItsImageToAButtonWithoutGlyph) {
  TImageList* Images = new TImageList(Form);
  Images->SetSize(12, 10);
  TBitmap Red;
  Red.SetSize(12, 10);
  Red.Canvas()->Brush()->SetColor(clRed);
  Red.Canvas()->FillRect(RECT{2, 2, 12, 10});  // the top-left corner stays black
  ASSERT_EQ(Images->Add(&Red, nullptr), 0);
  TActionList* Actions = new TActionList(Form);
  Actions->SetImages(Images);
  auto MakeAction = [&](const std::string& Caption, int32_t ImageIndex) {
    TAction* Action = new TAction(Form);
    Action->SetActionList(Actions);
    Action->SetCaption(Caption);
    Action->SetImageIndex(ImageIndex);
    return Action;
  };

  TvcShapeBtn* Plain = AddButton("Plain", RECT{0, 0, 75, 25});
  Plain->SetAction(MakeAction("Capture", 0));
  EXPECT_EQ(Plain->Caption(), "Capture");
  ASSERT_EQ(Plain->Glyph()->Width(), 12);
  ASSERT_EQ(Plain->Glyph()->Height(), 10);
  EXPECT_EQ(Rgb(Plain->Glyph()->Canvas()->Pixels(5, 5)), 0xFF0000u);

  TvcShapeBtn* Outside = AddButton("Outside", RECT{0, 30, 75, 55});
  Outside->SetAction(MakeAction("Movie", 3));
  EXPECT_TRUE(Outside->Glyph()->Empty());

  TvcShapeBtn* Own = AddButton("Own", RECT{0, 60, 75, 85});
  TBitmap Blue;
  Blue.SetSize(8, 8);
  Own->SetGlyph(&Blue);
  Own->SetAction(MakeAction("Effects", 0));
  EXPECT_EQ(Own->Glyph()->Width(), 8);
}

TEST_F(ButtonTest, AFormKeepsTheCaptionItGaveAKindButton) {
  ReadComponentText(Form,
                    "object Form: TForm\n"
                    "  object Go: TvcShapeBtn\n"
                    "    Caption = 'Go'\n"
                    "    Kind = bkOK\n"
                    "  end\n"
                    "  object Plain: TvcShapeBtn\n"
                    "    Kind = bkCancel\n"
                    "  end\n"
                    "end\n");
  auto* Go = dynamic_cast<TvcShapeBtn*>(Form->FindComponent("Go"));
  auto* Plain = dynamic_cast<TvcShapeBtn*>(Form->FindComponent("Plain"));
  ASSERT_TRUE(Go && Plain);
  EXPECT_EQ(Go->Caption(), "Go");
  EXPECT_EQ(Go->Kind(), bkOK);
  EXPECT_EQ(Plain->Caption(), "Cancel");
  // Written back: the kind, the caption only where it differs from the kind's, no glyph.
  const std::string Text = WriteComponentText(Form);
  EXPECT_NE(Text.find("Caption = 'Go'"), std::string::npos) << Text;
  EXPECT_EQ(Text.find("Caption = 'Cancel'"), std::string::npos) << Text;
  EXPECT_EQ(Text.find("Glyph.Data"), std::string::npos) << Text;
}

// --- press, drag, release -------------------------------------------------------------------------

TEST_F(ButtonTest, AClickCountsOnlyWhenReleasedOverTheButton) {
  auto* Edit = new TEdit(Form);
  Edit->SetParent(Form);
  Edit->SetBounds(10, 120, 80, 22);
  TvcShapeBtn* Button = AddButton("Push", RECT{10, 10, 80, 30});
  Watch(Button);
  Form->Show();
  Pump();
  Edit->SetFocus();
  MouseDown(Button, 10, 10);
  EXPECT_TRUE(Button->Down()) << "down while held";
  EXPECT_TRUE(Button->Pressing());
  MouseMove(Button, 200, 100);
  EXPECT_FALSE(Button->Down()) << "dragged off: up again";
  MouseMove(Button, 20, 10);
  EXPECT_TRUE(Button->Down()) << "dragged back: down again";
  MouseMove(Button, 200, 100);
  MouseUp(Button, 200, 100);
  EXPECT_FALSE(Button->Down());
  EXPECT_FALSE(Button->Pressing());
  EXPECT_TRUE(Events.empty()) << "released outside: no click";
  Click(Button, 15, 12);
  EXPECT_EQ(Events, (std::vector<std::string>{"Push click"}));
  EXPECT_FALSE(Button->Down());
  EXPECT_TRUE(Edit->Focused()) << "a button that is not focusable leaves the focus where it was";
  Button->SetOptions(TvcButtonOptions{boFocusable});
  Click(Button, 15, 12);
  EXPECT_TRUE(Button->Focused());
}

TEST_F(ButtonTest, GroupedButtonsActAsRadioButtons) {
  TvcShapeBtn* First = AddButton("First", RECT{10, 10, 60, 30});
  TvcShapeBtn* Second = AddButton("Second", RECT{70, 10, 120, 30});
  TvcShapeBtn* Third = AddButton("Third", RECT{130, 10, 180, 30});
  for (TvcShapeBtn* Button : {First, Second, Third}) {
    Button->SetGroupIndex(1);
    Watch(Button);
  }
  // Down is taken only by a grouped button.
  TvcShapeBtn* Loose = AddButton("Loose", RECT{10, 40, 60, 60});
  Loose->SetDown(true);
  EXPECT_FALSE(Loose->Down());
  First->SetDown(true);
  EXPECT_EQ(Events, (std::vector<std::string>{"Second sel", "Third sel", "First sel"}));
  Form->Show();
  Pump();
  // Pressing the second: the others hear of it from the group, then the second from its release.
  Events.clear();
  Click(Second, 10, 10);
  EXPECT_FALSE(First->Down());
  EXPECT_TRUE(Second->Down());
  EXPECT_FALSE(Third->Down());
  EXPECT_EQ(Events, (std::vector<std::string>{"First sel", "Third sel", "Second sel", "Second click"}));
  // Clicked again without AllowAllUp: it stays down, fires no change of its own.
  Events.clear();
  Click(Second, 10, 10);
  EXPECT_TRUE(Second->Down());
  EXPECT_EQ(Events, (std::vector<std::string>{"First sel", "Third sel", "Second click"}));
  // With AllowAllUp it pops up (the group hears of the release first, while it is still down).
  Second->SetAllowAllUp(true);
  Events.clear();
  Click(Second, 10, 10);
  EXPECT_FALSE(Second->Down());
  EXPECT_EQ(Events, (std::vector<std::string>{"First sel", "Third sel", "Second sel", "Second click"}));
}

TEST_F(ButtonTest, AToggleOnUpButtonTogglesOnAnyRelease) {
  TvcShapeBtn* Toggle = AddButton("Toggle", RECT{10, 10, 60, 30});
  Toggle->SetGroupIndex(3);
  Toggle->SetAllowAllUp(true);
  Toggle->SetOptions(TvcButtonOptions{boToggleOnUp});
  Watch(Toggle);
  Form->Show();
  Pump();
  MouseDown(Toggle, 10, 10);
  EXPECT_FALSE(Toggle->Down()) << "not down on the press";
  MouseMove(Toggle, 150, 100);
  MouseUp(Toggle, 150, 100);
  EXPECT_TRUE(Toggle->Down()) << "toggled on release, even outside";
  EXPECT_EQ(Events, (std::vector<std::string>{"Toggle sel", "Toggle click"}));
  Click(Toggle, 10, 10);
  EXPECT_FALSE(Toggle->Down());
}

// --- keys -----------------------------------------------------------------------------------------

TEST_F(ButtonTest, EnterClicksTheActiveDefaultEscapeTheCancelAndSpaceTheFocused) {
  auto* Edit = new TEdit(Form);
  Edit->SetParent(Form);
  Edit->SetBounds(10, 120, 80, 22);
  TvcShapeBtn* Ok = AddButton("Ok", RECT{10, 10, 80, 30});
  Ok->SetKind(bkOK);
  TvcShapeBtn* Cancel = AddButton("Cancel", RECT{90, 10, 160, 30});
  Cancel->SetKind(bkCancel);
  TvcShapeBtn* Other = AddButton("Other", RECT{170, 10, 240, 30});
  Other->SetOptions(TvcButtonOptions{boFocusable});
  for (TvcShapeBtn* Button : {Ok, Cancel, Other}) Watch(Button);
  Form->Show();
  Pump();
  Edit->SetFocus();
  Keys({VK_RETURN});
  Keys({VK_ESCAPE});
  EXPECT_EQ(Events, (std::vector<std::string>{"Ok click", "Cancel click"}));
  EXPECT_EQ(Form->ModalResult(), mrCancel);
  // Another owner-drawn button with the focus answers Enter instead of the default one.
  Events.clear();
  Other->SetFocus();
  EXPECT_FALSE(Ok->ActiveDefault());
  EXPECT_TRUE(Other->ActiveDefault());
  Keys({VK_RETURN});
  Keys({VK_SPACE});
  EXPECT_EQ(Events, (std::vector<std::string>{"Other click", "Other click"}));
  // Enter with Shift held is no dialog key.
  Edit->SetFocus();
  Events.clear();
  InjectKey(VK_SHIFT, true);
  Keys({VK_RETURN});
  InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_TRUE(Events.empty());
}

TEST_F(ButtonTest, TheAcceleratorPressesAndClicks) {
  TvcShapeBtn* Page = AddButton("Page", RECT{10, 10, 80, 30});
  Page->SetCaption("&Album");
  Page->SetGroupIndex(2);
  TvcShapeBtn* Other = AddButton("Other", RECT{90, 10, 160, 30});
  Other->SetCaption("&Image");
  Other->SetGroupIndex(2);
  Other->SetDown(true);
  Watch(Page);
  Form->Show();
  Pump();
  EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'a', 0), 1);
  EXPECT_TRUE(Page->Down());
  EXPECT_FALSE(Other->Down());
  EXPECT_EQ(Events.back(), "Page click");
  EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'q', 0), 0);
}

// --- drawing --------------------------------------------------------------------------------------

TEST_F(ButtonTest, TheSystemButtonAsksTheButtonToDrawItself) {
  TvcShapeBtn* Button = AddButton("Button", RECT{10, 10, 80, 30});
  Button->SetOptions(TvcButtonOptions{boFocusable});
  auto* Edit = new TEdit(Form);
  Edit->SetParent(Form);
  Edit->SetBounds(10, 120, 80, 22);
  Log.Attach(Button, "Button");
  Log.Only = {WM_PAINT, WM_ERASEBKGND, CN_DRAWITEM, WM_SETFOCUS, Separator};
  Form->Show();
  Edit->SetFocus();
  Pump();
  // Painting: WM_PAINT goes to the system button, which asks its parent, which hands the
  // request back to the button (CN_DRAWITEM).
  Log.Clear();
  Button->Invalidate();
  Pump();
  static const TExpectedControlMessage Paint[] = {
      {"Button", WM_PAINT},
      {"Button", WM_ERASEBKGND, Optional},
      {"Button", CN_DRAWITEM},
  };
  ExpectControlMessages(Log, Paint, "Invalidate");
  // Taking the focus redraws it at once (the focus changed).
  Log.Clear();
  Button->SetFocus();
  Button->Perform(Separator, 0, 0);
  static const TExpectedControlMessage Focus[] = {
      {"Button", WM_SETFOCUS},
      {"Button", CN_DRAWITEM},
      {"Button", Separator},
  };
  ExpectControlMessages(Log, Focus, "SetFocus");
}

TEST_F(ButtonTest, APaintedCopyDrawsStraightOntoTheGivenContextAndShowsDownAsUp) {
  TvcShapeBtn* Button = AddButton("Copy", RECT{10, 10, 60, 40});
  Button->SetColor(clLime);
  Button->SetGroupIndex(1);
  Button->SetDitherColor(clWhite);
  Button->SetDown(true);
  Form->Show();
  Pump();
  // A copy (a grid cell, PaintTo) draws the face in the up state: no dither of the down state.
  auto Copy = WhiteBitmap(50, 30);
  Button->PaintTo(Copy->Canvas(), 0, 0);
  EXPECT_EQ(BitmapColor(*Copy, 25, 15), 0x00FF00u);
  EXPECT_EQ(BitmapColor(*Copy, 26, 15), 0x00FF00u);
  EXPECT_FALSE(Button->ControlState().Contains(csPaintCopy));
  // On the screen it is down: the checkerboard of the button's and the dither colour.
  EXPECT_NE(ScreenColor(Button, 25, 15), ScreenColor(Button, 26, 15));
}

TEST_F(ButtonTest, TheGlyphCellFollowsTheState) {
  // Four cells of solid colours, each with an olive key in the bottom-left pixel.
  const uint32_t Cells[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
  TvcBitmap Strip;
  PaintPicture(Strip, 64, 16, [&](int X, int Y) { return Y == 15 && X % 16 == 0 ? 0x808000u : Cells[X / 16]; });
  TBitmap Glyph;
  Glyph.Assign(&Strip);
  TvcShapeBtn* Button = AddButton("Button", RECT{10, 10, 70, 40});
  Button->SetGlyph(&Glyph);
  Button->SetNumGlyphs(4);
  Button->SetGroupIndex(5);
  Form->Show();
  Pump();
  auto GlyphColor = [&] {
    Button->Repaint();
    Pump();
    const RECT G = Button->GlyphRect();
    return ScreenColor(Button, G.left + 8, G.top + 8);
  };
  EXPECT_EQ(GlyphColor(), Cells[0]) << "up";
  Button->SetDown(true);
  EXPECT_EQ(GlyphColor(), Cells[2]) << "down";
  Button->SetDown(false);
  MouseMove(Button, 5, 5);
  EXPECT_EQ(GlyphColor(), Cells[3]) << "hot";
  MouseMove(Form, 200, 150);
  Button->SetEnabled(false);
  EXPECT_EQ(GlyphColor(), Cells[1]) << "disabled";
  // One cell: disabled draws the embossed shape, not the cell.
  Button->SetNumGlyphs(1);
  EXPECT_NE(GlyphColor(), Cells[0]);
  SaveFormPng(Form, "button_glyph_disabled", 4);
}

TEST_F(ButtonTest, MouseEnterAndLeaveFireOnceAndRepaintAFlatButton) {
  TvcShapeBtn* Button = AddButton("Flat", RECT{10, 10, 80, 30});
  Button->SetShadeStyle(fbsFlat);
  std::vector<std::string> Seen;
  Button->OnMouseEnter = TNotifyEvent([&](TObject*) { Seen.push_back("enter"); });
  Button->OnMouseLeave = TNotifyEvent([&](TObject*) { Seen.push_back("leave"); });
  Form->Show();
  Pump();
  // Without the pointer a flat button shows no bevel; under it, it does.
  const uint32_t Face = Rgb(clBtnFace);
  const uint32_t Idle = ScreenColor(Button, 1, 1);
  MouseMove(Button, 20, 10);
  Application->Idle();
  Pump();
  const uint32_t Hot = ScreenColor(Button, 1, 1);
  MouseMove(Form, 200, 150);
  Application->Idle();
  Pump();
  EXPECT_EQ(Seen, (std::vector<std::string>{"enter", "leave"}));
  EXPECT_EQ(Idle, Face);
  EXPECT_NE(Hot, Face);
  EXPECT_EQ(ScreenColor(Button, 1, 1), Face);
}

// --- region bytes ---------------------------------------------------------------------------------

TEST_F(ButtonTest, RegionBytesStreamAsACountAndTheBlock) {
  TvcImageBtn* Button = AddImageButton("Image", RECT{0, 0, 20, 20});
  // No bytes: exactly four zero bytes.
  TMemoryStream Empty;
  Button->WriteRegionData(Empty);
  ASSERT_EQ(Empty.Size(), 4);
  EXPECT_EQ(std::string(static_cast<const char*>(Empty.Memory()), 4), std::string(4, '\0'));
  // A count of 0 reads as no region; a block round-trips.
  Empty.SetPosition(0);
  Button->ReadRegionData(Empty);
  EXPECT_TRUE(Button->RegionBytes().empty());
  EXPECT_EQ(Button->CreateRegion(false, false), nullptr);
  HRGN Shape = CreateRectRgn(2, 3, 7, 9);
  Button->CaptureRegion(Shape, false);
  DeleteObject(Shape);
  ASSERT_EQ(Button->RegionBytes().size(), 48u);  // header and one rectangle
  TMemoryStream Stream;
  Button->WriteRegionData(Stream);
  EXPECT_EQ(Stream.Size(), 52);
  TvcImageBtn* Copy = AddImageButton("Copy", RECT{0, 0, 20, 20});
  Stream.SetPosition(0);
  Copy->ReadRegionData(Stream);
  EXPECT_EQ(Copy->RegionBytes(), Button->RegionBytes());
  HRGN Read = Copy->CreateRegion(false, false);
  ASSERT_NE(Read, nullptr);
  EXPECT_TRUE(*GdiGetRegion(Read) == TRegion(2, 3, 7, 9));
  DeleteObject(Read);
}

}  // namespace
