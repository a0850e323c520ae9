// The library's panel and group box on a white form: the frame in place of the bevels and its
// colours per focus state, transparency (the form shows through, and invalidation reaches the
// parents), and the group box's caption and frame.

#include "vcontrols/panels/vcpanel.h"

#include <gtest/gtest.h>

#include "platform/forms/edit.h"
#include "platform/forms/grids.h"
#include "platform/gdi/rect.h"
#include "platform/user/user.h"
#include "tests/vcontrols/text/vctexttest.h"

namespace VcTest {
namespace {

using namespace vcframe;

uint32_t Rgb(TColor Color) {
  const uint32_t Value = uint32_t(ColorToRGB(Color));
  return (Value & 0xFF) << 16 | (Value & 0xFF00) | (Value >> 16 & 0xFF);
}

class TVcPanelTest : public TVcFormTest {
 protected:
  void SetUp() override {
    TVcFormTest::SetUp();
    Form->SetBounds(0, 0, 320, 200);
    Form->Font()->SetName("DejaVu Sans");
    Form->Font()->SetHeight(-12);
  }
  TvcPanel* AddPanel(TWinControl* Parent, RECT Bounds) {
    auto* Panel = new TvcPanel(Form);
    Panel->SetBoundsRect(Bounds);
    Panel->SetParent(Parent);
    return Panel;
  }
  TvcGroupBox* AddGroupBox(TWinControl* Parent, RECT Bounds, const std::string& Caption) {
    auto* Box = new TvcGroupBox(Form);
    Box->SetBoundsRect(Bounds);
    Box->SetCaption(Caption);
    Box->SetParent(Parent);
    return Box;
  }
  TEdit* AddEdit(TWinControl* Parent, RECT Bounds) {
    auto* Edit = new TEdit(Form);
    Edit->SetBoundsRect(Bounds);
    Edit->SetParent(Parent);
    return Edit;
  }
  // Shows the form with its messages handled.
  void ShowForm() {
    Form->Show();
    Pump();
  }
};

TEST_F(TVcPanelTest, AFramedPanelPaintsItsUnfocusedColourUntilItHasTheFocus) {
  TvcPanel* Panel = AddPanel(Form, RECT{10, 10, 150, 70});
  Panel->SetColor(clWhite);
  Panel->Frame()->SetEnabled(true);
  Panel->Frame()->SetNonFocusColor(clYellow);
  TEdit* Inside = AddEdit(Panel, RECT{10, 30, 60, 50});
  TEdit* Outside = AddEdit(Form, RECT{10, 150, 60, 170});
  ShowForm();
  Outside->SetFocus();
  Pump();
  EXPECT_FALSE(Panel->HasFocus());
  EXPECT_TRUE(Panel->HasNonFocusColors());
  EXPECT_EQ(ScreenColor(Panel, 100, 10), Rgb(clYellow));
  // Unfocused, the frame is the bottom side alone: no line along the top.
  EXPECT_EQ(ScreenColor(Panel, 70, 0), Rgb(clYellow));
  EXPECT_NE(ScreenColor(Panel, 70, Panel->Height() - 1), Rgb(clYellow));
  SaveFormPng(Form, "vcpanel_unfocused");

  Inside->SetFocus();
  Pump();
  EXPECT_TRUE(Panel->HasFocus());
  EXPECT_EQ(ScreenColor(Panel, 100, 10), Rgb(clWhite));
  // The panel paints over its children (it does not clip them): the edit's border is back.
  EXPECT_EQ(ScreenColor(Panel, 10, 30), Rgb(clBtnShadow));
  // Focused: all four sides.
  EXPECT_NE(ScreenColor(Panel, 70, 0), Rgb(clWhite));
  EXPECT_NE(ScreenColor(Panel, 0, 20), Rgb(clWhite));
  SaveFormPng(Form, "vcpanel_focused");

  Outside->SetFocus();
  Pump();
  EXPECT_FALSE(Panel->HasFocus());
  EXPECT_EQ(ScreenColor(Panel, 100, 10), Rgb(clYellow));
}

TEST_F(TVcPanelTest, NonFocusColoursCountOnlyWhereTheyDifferOnAnEnabledFrame) {
  struct TCase {
    const char* Name;
    bool Enabled;
    TColor NonFocusColor, NonFocusFontColor;
    bool Expected;
  };
  const TCase Cases[] = {
      {"frame off", false, clYellow, clRed, false},
      {"no colours", true, clNone, clNone, false},
      {"background differs", true, clYellow, clNone, true},
      {"background same as Color", true, clWhite, clRed, false},  // the font colour is not asked then
      {"font colour differs", true, clNone, clRed, true},
      {"font colour same", true, clNone, clWindowText, false},
  };
  TvcPanel* Panel = AddPanel(Form, RECT{10, 10, 150, 70});
  Panel->SetColor(clWhite);
  Panel->Font()->SetColor(clWindowText);
  TvcGroupBox* Box = AddGroupBox(Form, RECT{10, 80, 150, 140}, "Box");
  Box->SetColor(clWhite);
  Box->Font()->SetColor(clWindowText);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    for (TvcEditFrame* Frame : {Panel->Frame(), Box->Frame()}) {
      Frame->SetEnabled(Case.Enabled);
      Frame->SetNonFocusColor(Case.NonFocusColor);
      Frame->SetNonFocusFontColor(Case.NonFocusFontColor);
    }
    EXPECT_EQ(Panel->HasNonFocusColors(), Case.Expected);
    EXPECT_EQ(Box->HasNonFocusColors(), Case.Expected);
  }
}

TEST_F(TVcPanelTest, WithoutAnEffectiveFrameThePanelHasItsBevels) {
  // The same framed panel on the form and inside a grid: in the grid its frame is not effective.
  auto* Grid = new TCustomGrid(Form);
  Grid->SetBoundsRect(RECT{160, 10, 310, 90});
  Grid->SetParent(Form);
  for (TWinControl* Parent : {static_cast<TWinControl*>(Form), static_cast<TWinControl*>(Grid)}) {
    SCOPED_TRACE(Parent == Form ? "on the form" : "in a grid");
    TvcPanel* Panel = AddPanel(Parent, Parent == Form ? RECT{10, 10, 110, 60} : RECT{5, 5, 105, 55});
    Panel->Frame()->SetEnabled(true);
    Panel->Frame()->SetNonFocusColor(clYellow);
    ShowForm();
    if (Parent == Form) {
      EXPECT_EQ(ScreenColor(Panel, 50, 20), Rgb(clYellow));
    } else {
      // Raised outer bevel: lit top and left, shaded bottom and right, the face in Color.
      EXPECT_EQ(ScreenColor(Panel, 50, 0), Rgb(clBtnHighlight));
      EXPECT_EQ(ScreenColor(Panel, 0, 20), Rgb(clBtnHighlight));
      EXPECT_EQ(ScreenColor(Panel, 50, Panel->Height() - 1), Rgb(clBtnShadow));
      EXPECT_EQ(ScreenColor(Panel, Panel->Width() - 1, 20), Rgb(clBtnShadow));
      EXPECT_EQ(ScreenColor(Panel, 50, 20), Rgb(clBtnFace));
    }
  }
}

TEST_F(TVcPanelTest, ATransparentPanelShowsItsParentAndPassesInvalidationUp) {
  TvcPanel* Outer = AddPanel(Form, RECT{10, 10, 210, 110});
  Outer->SetColor(clAqua);
  Outer->SetBevelOuter(bvNone);
  TvcPanel* Inner = AddPanel(Outer, RECT{20, 20, 120, 80});
  Inner->SetColor(clRed);
  Inner->SetBevelOuter(bvNone);
  Inner->SetCaption("");
  ShowForm();
  EXPECT_EQ(ScreenColor(Inner, 50, 30), Rgb(clRed));
  Inner->SetTransparent(true);
  Pump();
  EXPECT_TRUE(Inner->IsTransparent());
  EXPECT_TRUE(GetWindowLongA(Inner->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_FALSE(GetWindowLongA(Outer->Handle(), GWL_STYLE) & WS_CLIPCHILDREN);
  EXPECT_FALSE(Inner->ControlStyle().Contains(csOpaque));
  // The aqua parent shows through.
  EXPECT_EQ(ScreenColor(Inner, 50, 30), Rgb(clAqua));

  // A control inside the transparent panel: its area (from its client origin) is invalidated in
  // the panel and, the panel being transparent, in the panel's parent too; the form, behind an
  // opaque panel, is left alone.
  TEdit* Edit = AddEdit(Inner, RECT{10, 10, 60, 30});
  Pump();
  EXPECT_TRUE(IsParentTransparent(Edit));
  EXPECT_FALSE(IsParentTransparent(Inner));
  InvalidateTransparentArea(Edit, false);
  const POINT Origin = Edit->ClientToScreen(POINT{0, 0});
  for (TWinControl* Parent : {static_cast<TWinControl*>(Inner), static_cast<TWinControl*>(Outer)}) {
    SCOPED_TRACE(Parent == Inner ? "inner" : "outer");
    const POINT Local = Parent->ScreenToClient(Origin);
    RECT Pending{};
    ASSERT_TRUE(GetUpdateRect(Parent->Handle(), &Pending, FALSE));
    EXPECT_EQ(Pending.left, Local.x);
    EXPECT_EQ(Pending.top, Local.y);
    EXPECT_EQ(Pending.right, Local.x + Edit->Width());
    EXPECT_EQ(Pending.bottom, Local.y + Edit->Height());
  }
  RECT Pending{};
  EXPECT_FALSE(GetUpdateRect(Form->Handle(), &Pending, FALSE));
  Pump();

  // Back to opaque: its own colour again.
  Inner->SetTransparent(false);
  Pump();
  EXPECT_FALSE(GetWindowLongA(Inner->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_EQ(ScreenColor(Inner, 80, 50), Rgb(clRed));
}

TEST_F(TVcPanelTest, TransparencyWaitsForRunTime) {
  TvcPanel* Panel = AddPanel(Form, RECT{10, 10, 110, 60});
  Panel->SetColor(clRed);
  Panel->SetBevelOuter(bvNone);
  ShowForm();
  const HWND Window = Panel->Handle();
  Form->SetDesigning(true);
  Panel->SetTransparent(true);
  Pump();
  EXPECT_TRUE(Panel->Transparent());
  EXPECT_FALSE(Panel->IsTransparent());
  EXPECT_EQ(Panel->HandleIfAllocated(), Window);
  EXPECT_EQ(ScreenColor(Panel, 50, 20), Rgb(clRed));
  Form->SetDesigning(false);
}

TEST_F(TVcPanelTest, CaptionIndentIsAtLeastThree) {
  TvcGroupBox* Box = AddGroupBox(Form, RECT{10, 10, 150, 80}, "Box");
  EXPECT_EQ(Box->CaptionIndent(), 8);
  for (const auto& [Value, Stored] : {std::pair{0, 3}, std::pair{2, 3}, std::pair{3, 3}, std::pair{12, 12}}) {
    Box->SetCaptionIndent(Value);
    EXPECT_EQ(Box->CaptionIndent(), Stored) << Value;
  }
}

TEST_F(TVcPanelTest, AGroupBoxDrawsItsFrameWithAGapForTheCaption) {
  TvcGroupBox* Empty = AddGroupBox(Form, RECT{10, 10, 150, 80}, "");
  TvcGroupBox* Box = AddGroupBox(Form, RECT{160, 10, 300, 80}, "Motion");
  Empty->SetColor(clWhite);
  Box->SetColor(clWhite);
  ShowForm();
  SaveFormPng(Form, "vcgroupbox_plain");
  // Without a caption only the background is there.
  EXPECT_EQ(CountFormPixels(Empty, Empty->ClientRect(), [](uint32_t C) { return C != 0xFFFFFF; }).Count, 0);

  Box->Canvas()->SetFont(Box->Font());
  const int Half = Box->Canvas()->TextHeight("0") / 2 - 1;
  const int Left = Box->CaptionIndent(), Right = Left + Box->Canvas()->TextWidth("Motion");
  const uint32_t Shadow = Rgb(clBtnShadow), Light = Rgb(clBtnHighlight);
  // The 3-D frame: shaded line on the top edge's row, lit line one below, and the same around.
  EXPECT_EQ(ScreenColor(Box, 1, Half), Shadow);
  EXPECT_EQ(ScreenColor(Box, Left - 3, Half), Shadow);
  EXPECT_EQ(ScreenColor(Box, Right + 2, Half), Shadow);
  EXPECT_EQ(ScreenColor(Box, Box->Width() - 2, Half), Shadow);
  EXPECT_EQ(ScreenColor(Box, 1, Half + 1), Light);
  EXPECT_EQ(ScreenColor(Box, 0, 40), Shadow);
  EXPECT_EQ(ScreenColor(Box, 1, 40), Light);
  EXPECT_EQ(ScreenColor(Box, 60, Box->Height() - 2), Shadow);
  EXPECT_EQ(ScreenColor(Box, 60, Box->Height() - 1), Light);
  // The gap: neither line runs under the caption.
  for (int X = Left - 2; X <= Right + 1; ++X) {
    SCOPED_TRACE(X);
    EXPECT_NE(ScreenColor(Box, X, Half), Shadow);
  }
  // The caption itself lies in the gap, from the top.
  const TPixelCount Ink = CountFormPixels(Box, RECT{0, 0, Box->Width(), Half + 4},
                                          [&](uint32_t C) { return C == Rgb(clWindowText); });
  EXPECT_GT(Ink.Count, 0);
  EXPECT_GE(Ink.Bounds.left, Left);
  EXPECT_LE(Ink.Bounds.right, Right + 1);
}

TEST_F(TVcPanelTest, GroupBoxLooks) {
  // A sheet of group boxes and panels to look at: the default, a border round the caption, a full
  // top border, a framed and coloured one, a transparent one over a coloured panel.
  Form->SetBounds(0, 0, 420, 260);
  Form->SetColor(clBtnFace);
  TvcGroupBox* Plain = AddGroupBox(Form, RECT{8, 8, 136, 80}, "Default");
  TvcGroupBox* Around = AddGroupBox(Form, RECT{144, 8, 272, 80}, "Around label");
  Around->SetBorderAroundLabel(true);
  TvcGroupBox* Full = AddGroupBox(Form, RECT{280, 8, 408, 80}, "Full border");
  Full->SetFullBorder(true);
  TvcGroupBox* Framed = AddGroupBox(Form, RECT{8, 90, 136, 160}, "Framed");
  Framed->Frame()->SetEnabled(true);
  Framed->Frame()->SetNonFocusColor(clInfoBk);
  Framed->Frame()->SetNonFocusFontColor(clNavy);
  TvcPanel* Backing = AddPanel(Form, RECT{144, 90, 408, 160});
  Backing->SetColor(clSkyBlue);
  Backing->SetCaption("");
  TvcGroupBox* Clear = AddGroupBox(Backing, RECT{8, 8, 128, 62}, "Transparent");
  Clear->SetTransparent(true);
  TvcPanel* Panel = AddPanel(Form, RECT{8, 170, 200, 250});
  Panel->SetCaption("Framed panel");
  Panel->Frame()->SetEnabled(true);
  Panel->Frame()->SetNonFocusBorders({efLeftBorder, efTopBorder, efRightBorder, efBottomBorder});
  Panel->Frame()->SetNonFocusStyle(efsFrameEtched);
  TvcPanel* Lowered = AddPanel(Form, RECT{208, 170, 408, 250});
  Lowered->SetCaption("Bevelled panel");
  Lowered->SetBevelOuter(bvLowered);
  Lowered->SetBevelInner(bvRaised);
  Lowered->SetBorderWidth(3);
  ShowForm();
  SaveFormPng(Form, "vcgroupbox_looks", 2);
  (void)Plain;
  (void)Full;
  // The framed box's unfocused colours.
  EXPECT_EQ(ScreenColor(Framed, 60, 40), Rgb(clInfoBk));
  // The transparent box shows the panel behind it.
  EXPECT_EQ(ScreenColor(Clear, 60, 35), Rgb(clSkyBlue));
  // The etched frame: a two-colour line all round.
  EXPECT_EQ(ScreenColor(Panel, 60, 0), Rgb(clBtnShadow));
  EXPECT_EQ(ScreenColor(Panel, 60, 1), Rgb(clBtnHighlight));
}

}  // namespace
}  // namespace VcTest
