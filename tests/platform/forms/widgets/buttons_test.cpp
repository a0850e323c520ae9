// Buttons: the speed button's press, drag and release through injected mouse input, groups,
// the disabled state and what descendants see; push buttons answering a modal form through the
// mouse, Space, Enter and Escape; the stock kinds of the glyph button; and a picture of them all.

#include "platform/forms/buttons.h"

#include <gtest/gtest.h>

#include "platform/forms/edit.h"
#include "platform/user/input.h"
#include "platform/gdi/colors.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/forms_fixture.h"
#include "tests/platform/forms/widgets/widgettest.h"

namespace FormsTest {
namespace {

// A button that, like a repeating button, looks at the pressed state its base keeps.
class TWatchingButton : public TSpeedButton {
  KORCAM_CLASS(TWatchingButton, TSpeedButton)

 public:
  explicit TWatchingButton(TComponent* AOwner) : TSpeedButton(AOwner) {}
  std::vector<TButtonState> Seen;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    Seen.push_back(FState);
  }
  void MouseMove(TShiftState Shift, int X, int Y) override {
    TSpeedButton::MouseMove(Shift, X, Y);
    if (FDragging && (Seen.empty() || Seen.back() != FState)) Seen.push_back(FState);
  }
};
KORCAM_REGISTER_CLASS(TWatchingButton)

class ButtonsTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = NewForm<TForm>(nullptr);
    Form->SetBounds(100, 100, 320, 200);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TWatchingButton* NewSpeedButton(int Left, int Top, int GroupIndex = 0) {
    auto* Button = new TWatchingButton(Form);
    Button->SetBounds(Left, Top, 23, 22);
    Button->SetGroupIndex(GroupIndex);
    Button->SetParent(Form);
    Button->OnMouseDown = TMouseEvent([this](TObject*, TMouseButton, TShiftState, int, int) { Events += "down "; });
    Button->OnMouseUp = TMouseEvent([this](TObject*, TMouseButton, TShiftState, int, int) { Events += "up "; });
    Button->OnClick = TNotifyEvent([this](TObject*) { Events += "click "; });
    return Button;
  }
  TForm* Form;
  std::string Events;
};

TEST_F(ButtonsTest, SpeedButtonClicksOnlyWhenReleasedOverIt) {
  TWatchingButton* Button = NewSpeedButton(10, 10);
  Pump();
  struct TCase {
    const char* Name;
    POINT Release;  // client point of the button where the left button comes up
    const char* Events;
    std::vector<TButtonState> Seen;  // press, then the move off and the move back when made
    bool DragOff;
  };
  const TCase Cases[] = {
      {"press and release inside", {5, 5}, "down up click ", {bsDown}, false},
      {"release outside", {40, 5}, "down up ", {bsDown, bsUp}, false},
      {"drag off and back", {5, 5}, "down up click ", {bsDown, bsUp, bsDown}, true},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Events.clear();
    Button->Seen.clear();
    PressAt(Button, 5, 5);
    Pump();
    EXPECT_EQ(Button->State(), bsDown);
    EXPECT_TRUE(Button->MouseCapture());  // the press holds the mouse
    if (Case.DragOff) {
      MoveTo(Button, 60, 5);
      Pump();
      EXPECT_EQ(Button->State(), bsUp);
      MoveTo(Button, 6, 6);
      Pump();
    }
    ReleaseAt(Button, Case.Release.x, Case.Release.y);
    Pump();
    EXPECT_EQ(Events, Case.Events);
    EXPECT_EQ(Button->Seen, Case.Seen);
    EXPECT_EQ(Button->State(), bsUp);
    EXPECT_FALSE(Button->MouseCapture());
  }
}

TEST_F(ButtonsTest, SpeedButtonGroupsKeepOneDown) {
  TWatchingButton* A = NewSpeedButton(10, 10, 1);
  TWatchingButton* B = NewSpeedButton(40, 10, 1);
  TWatchingButton* Alone = NewSpeedButton(70, 10, 0);
  Pump();
  ClickAt(A, 5, 5);
  Pump();
  EXPECT_TRUE(A->Down());
  EXPECT_EQ(A->State(), bsExclusive);
  ClickAt(B, 5, 5);
  Pump();
  EXPECT_FALSE(A->Down());
  EXPECT_EQ(A->State(), bsUp);
  EXPECT_TRUE(B->Down());
  // The last one down stays down, and still clicks.
  Events.clear();
  ClickAt(B, 5, 5);
  Pump();
  EXPECT_TRUE(B->Down());
  EXPECT_EQ(Events, "down up click ");
  // AllowAllUp goes to the whole group; then it comes up.
  A->SetAllowAllUp(true);
  EXPECT_TRUE(B->AllowAllUp());
  ClickAt(B, 5, 5);
  Pump();
  EXPECT_FALSE(B->Down());
  // A button without a group never stays down.
  Alone->SetDown(true);
  EXPECT_FALSE(Alone->Down());
}

TEST_F(ButtonsTest, DisabledSpeedButtonIgnoresTheMouseAndResetsOnEnable) {
  TWatchingButton* Button = NewSpeedButton(10, 10);
  Pump();
  PressAt(Button, 5, 5);
  Pump();
  ASSERT_EQ(Button->State(), bsDown);
  // Disabled in the middle of a press: the press is forgotten.
  Button->SetEnabled(false);
  Form->Repaint();
  EXPECT_EQ(Button->State(), bsDisabled);
  ReleaseAt(Button, 5, 5);
  Pump();
  Events.clear();
  ClickAt(Button, 5, 5);
  Pump();
  EXPECT_EQ(Events, "");
  Button->SetEnabled(true);
  EXPECT_EQ(Button->State(), bsUp);
  ClickAt(Button, 5, 5);
  Pump();
  EXPECT_EQ(Events, "down up click ");
}

TEST_F(ButtonsTest, FlatSpeedButtonKnowsTheMouseIsOverIt) {
  TWatchingButton* Button = NewSpeedButton(10, 10);
  Button->SetFlat(true);
  Pump();
  MoveTo(Button, 5, 5);
  Pump();
  Application->Idle();
  EXPECT_TRUE(Button->MouseInControl());
  MoveTo(Button, 100, 100);
  Pump();
  Application->Idle();
  EXPECT_FALSE(Button->MouseInControl());
}

TEST_F(ButtonsTest, PushButtonsAnswerTheModalForm) {
  TForm* Dialog = NewForm<TForm>(nullptr);
  Dialog->SetBounds(150, 150, 250, 120);
  auto* Edit = new TEdit(Dialog);
  Edit->SetBounds(10, 10, 100, 22);
  Edit->SetParent(Dialog);
  auto* Ok = new TButton(Dialog);
  Ok->SetBounds(10, 60, 75, 25);
  Ok->SetCaption("OK");
  Ok->SetModalResult(mrOk);
  Ok->SetDefault(true);
  Ok->SetParent(Dialog);
  auto* Cancel = new TButton(Dialog);
  Cancel->SetBounds(100, 60, 75, 25);
  Cancel->SetCaption("&Cancel");
  Cancel->SetModalResult(mrCancel);
  Cancel->SetCancel(true);
  Cancel->SetParent(Dialog);
  int OkClicks = 0;
  Ok->OnClick = TNotifyEvent([&](TObject*) {
    // The answer is already set when the handler runs.
    EXPECT_EQ(Dialog->ModalResult(), mrOk);
    ++OkClicks;
  });
  Dialog->SetActiveControl(Edit);

  struct TCase {
    const char* Name;
    std::function<void()> Act;
    TModalResult Expected;
  };
  const TCase Cases[] = {
      {"click OK", [&] { ClickAt(Ok, 10, 10); }, mrOk},
      {"Enter in the edit clicks the default button", [&] { InjectKeyStroke(VK_RETURN); }, mrOk},
      {"Escape clicks the cancel button", [&] { InjectKeyStroke(VK_ESCAPE); }, mrCancel},
      {"Space on the focused button",
       [&] {
         Cancel->SetFocus();
         InjectKeyStroke(VK_SPACE);
       },
       mrCancel},
      {"the accelerator letter typed on a button",
       [&] {
         Ok->SetFocus();
         InjectKeyStroke('C');
       },
       mrCancel},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    OkClicks = 0;
    Dialog->SetActiveControl(Edit);
    TIdleScript Script(FClock.Get(), {Case.Act}, [&] { Dialog->SetModalResult(mrAbort); });
    EXPECT_EQ(Dialog->ShowModal(), Case.Expected);
    EXPECT_EQ(OkClicks, Case.Expected == mrOk ? 1 : 0);
  }
  // Released off the button: no answer.
  {
    TIdleScript Script(FClock.Get(),
                       {[&] { PressAt(Ok, 10, 10); }, [&] { ReleaseAt(Ok, 200, 10); }, [&] { ClickAt(Cancel, 5, 5); }},
                       [&] { Dialog->SetModalResult(mrAbort); });
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
  }
  Dialog->Free();
}

TEST_F(ButtonsTest, BitBtnKindsGiveCaptionAnswerAndRole) {
  struct TCase {
    TBitBtnKind Kind;
    const char* Caption;
    TModalResult Result;
    bool Default, Cancel;
  };
  const TCase Cases[] = {
      {bkOK, "OK", mrOk, true, false},          {bkCancel, "Cancel", mrCancel, false, true},
      {bkHelp, "&Help", mrNone, false, false},  {bkYes, "&Yes", mrYes, true, false},
      {bkNo, "&No", mrNo, false, true},         {bkClose, "&Close", mrNone, false, false},
      {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
      {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Caption);
    TBitBtn Button(nullptr);
    Button.SetKind(Case.Kind);
    EXPECT_EQ(Button.Kind(), Case.Kind);
    EXPECT_EQ(Button.Caption(), Case.Caption);
    EXPECT_EQ(Button.ModalResult(), Case.Result);
    EXPECT_EQ(Button.Default(), Case.Default);
    EXPECT_EQ(Button.Cancel(), Case.Cancel);
    EXPECT_EQ(Button.NumGlyphs(), 2);
    EXPECT_EQ(Button.Glyph()->Width(), 36);
    // A caption of one's own keeps the kind.
    Button.SetCaption("Mine");
    EXPECT_EQ(Button.Kind(), Case.Kind);
  }
  // What no longer matches the kind reads as custom.
  TBitBtn Button(nullptr);
  Button.SetKind(bkOK);
  Button.SetModalResult(mrYes);
  EXPECT_EQ(Button.Kind(), bkCustom);
  Button.SetKind(bkCancel);
  EXPECT_EQ(Button.Kind(), bkCancel);
  auto Own = std::make_unique<TBitmap>();
  Own->SetSize(16, 16);
  Button.SetGlyph(Own.get());
  EXPECT_EQ(Button.Kind(), bkCustom);
  EXPECT_EQ(GetOrdProp(&Button, "Kind"), int64_t(bkCustom));
}

TEST_F(ButtonsTest, DialogButtonSetupKeepsTheKind) {
  // The set-up a library dialog gives its OK button, in its order.
  auto* Button = new TBitBtn(Form);
  Button->SetParent(Form);
  Button->SetVisible(false);
  Button->SetMargin(2);
  Button->SetKind(bkOK);
  Button->SetLayout(blGlyphLeft);
  Button->SetNumGlyphs(2);
  Button->SetSpacing(-1);
  Button->SetCaption("OK");
  Button->SetModalResult(mrOk);
  EXPECT_EQ(Button->Kind(), bkOK);
  EXPECT_TRUE(Button->Default());
}

TEST_F(ButtonsTest, CloseKindClosesItsForm) {
  auto* Button = new TBitBtn(Form);
  Button->SetKind(bkClose);
  Button->SetBounds(10, 10, 75, 25);
  Button->SetParent(Form);
  Pump();
  ClickAt(Button, 10, 10);
  Pump();
  EXPECT_FALSE(Form->Visible());
}

TEST_F(ButtonsTest, GlyphLayoutPlacesTheGlyph) {
  // A 4 x 4 glyph, red but for its bottom-left pixel, which gives the transparent colour.
  auto Glyph = MakeBitmap(4, 4, pf24bit, clRed);
  Glyph->Canvas()->SetPixels(0, 3, clLime);
  struct TCase {
    const char* Name;
    TButtonLayout Layout;
    int Margin;
    POINT TopLeft;  // of the glyph in a 20 x 12 area, no caption
  };
  const TCase Cases[] = {
      {"left, margin 2", blGlyphLeft, 2, {2, 4}},
      {"right, margin 2", blGlyphRight, 2, {14, 4}},
      {"top, margin 3", blGlyphTop, 3, {8, 3}},
      {"bottom, margin 1", blGlyphBottom, 1, {8, 7}},
      {"centred", blGlyphLeft, -1, {8, 4}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    auto Target = MakeBitmap(20, 12, pf24bit, clWhite);
    DrawButtonContent(Target->Canvas()->Handle(), RECT{0, 0, 20, 12}, Glyph.get(), 1, "", Case.Layout, Case.Margin, 4,
                      bsUp, POINT{0, 0});
    const int X = Case.TopLeft.x, Y = Case.TopLeft.y;
    EXPECT_EQ(PixelOf(*Target, X + 1, Y), clRed);      // top row
    EXPECT_EQ(PixelOf(*Target, X + 3, Y + 3), clRed);  // bottom-right corner
    EXPECT_EQ(PixelOf(*Target, X, Y + 3), clWhite);    // the transparent corner
    EXPECT_EQ(PixelOf(*Target, X - 1, Y + 1), clWhite);
    EXPECT_EQ(PixelOf(*Target, X + 4, Y + 1), clWhite);
  }
  // Pressed content moves by the offset; the disabled state of a one-image glyph is embossed grey.
  auto Target = MakeBitmap(20, 12, pf24bit, clWhite);
  DrawButtonContent(Target->Canvas()->Handle(), RECT{0, 0, 20, 12}, Glyph.get(), 1, "", blGlyphLeft, 2, 4, bsDisabled,
                    POINT{1, 1});
  EXPECT_EQ(PixelOf(*Target, 4, 5), TColor(ColorToRGB(clBtnShadow)));
}

// Reading a glyph's canvas while painting must not count as a change of the glyph: the button
// would invalidate itself from its own paint and repaint for ever.
TEST_F(ButtonsTest, PaintingAGlyphLeavesNothingToRepaint) {
  auto Glyph = MakeBitmap(8, 8, pf24bit, clRed);
  auto* Speed = NewSpeedButton(8, 8);
  Speed->SetGlyph(Glyph.get());
  auto* Bit = new TBitBtn(Form);
  Bit->SetBounds(40, 8, 75, 25);
  Bit->SetGlyph(Glyph.get());
  Bit->SetParent(Form);
  for (int Round = 0; Round < 2; ++Round) {
    SCOPED_TRACE(Round);
    Form->Repaint();
    Pump();
    EXPECT_FALSE(GetUpdateRect(Form->Handle(), nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(Bit->Handle(), nullptr, FALSE));
    // A fresh glyph makes the canvas handle new again on the next paint.
    Speed->SetGlyph(Glyph.get());
    Bit->SetGlyph(Glyph.get());
  }
}

TEST_F(ButtonsTest, PictureOfTheButtons) {
  Form->SetColor(clBtnFace);
  int Left = 8;
  const TBitBtnKind Kinds[] = {bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll};
  for (size_t Index = 0; Index < std::size(Kinds); ++Index) {
    auto* Button = new TBitBtn(Form);
    Button->SetKind(Kinds[Index]);
    Button->SetBounds(8 + int(Index % 4) * 78, 8 + int(Index / 4) * 30, 75, 27);
    Button->SetEnabled(Index != 9);
    Button->SetParent(Form);
  }
  auto* Plain = new TButton(Form);
  Plain->SetBounds(164, 68, 75, 25);
  Plain->SetCaption("Plain");
  Plain->SetParent(Form);
  const char* Names[] = {"up", "flat", "down", "off"};
  for (int Index = 0; Index < 4; ++Index) {
    TWatchingButton* Speed = NewSpeedButton(Left, 110, Index == 2 ? 3 : 0);
    Speed->SetCaption(Names[Index]);
    Speed->SetBounds(Left, 110, 40, 24);
    Speed->SetFlat(Index == 1);
    Speed->SetDown(Index == 2);
    Speed->SetEnabled(Index != 3);
    Left += 44;
  }
  Pump();
  Form->Repaint();
  const std::string Path = SaveWindowPng(Form, "buttons");
  EXPECT_FALSE(Path.empty());
  // The OK glyph's check mark is green somewhere left of the caption.
  bool Green = false;
  for (int X = 10; X < 40 && !Green; ++X)
    for (int Y = 10; Y < 33 && !Green; ++Y) Green = PixelAt(Form, X, Y) == clGreen;
  EXPECT_TRUE(Green);
}

}  // namespace
}  // namespace FormsTest
