// The transparent panel: what shows through it, its bevels alone, the erase request, its window
// style, and its place on the parent repainted when it repaints.

#include "vcontrols/panels/vcclearpanel.h"

#include <gtest/gtest.h>

#include "platform/user/user.h"
#include "tests/vcontrols/text/vctexttest.h"

using namespace VcTest;

namespace {

uint32_t Rgb(TColor Color) {
  const TColor Value = ColorToRGB(Color);
  return uint32_t(Value & 0xFF) << 16 | uint32_t(Value & 0xFF00) | uint32_t(Value >> 16 & 0xFF);
}

class ClearPanelTest : public TVcFormTest {
 protected:
  void SetUp() override {
    TVcFormTest::SetUp();
    Form->SetColor(TColor(0x3080F0));  // orange
    Panel = new TvcTransparentPanel(Form);
    Panel->SetParent(Form);
    Panel->SetBounds(20, 20, 100, 60);
    Panel->SetColor(TColor(0x00FF00));
    Form->Show();
    Pump();
  }
  TvcTransparentPanel* Panel = nullptr;
};

TEST_F(ClearPanelTest, ShowsTheParentThroughItsFace) {
  EXPECT_TRUE(GetWindowLongA(Panel->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_EQ(ScreenColor(Panel, 50, 30), 0xF08030u) << "the form beneath";
  EXPECT_EQ(ScreenColor(Panel, 0, 0), Rgb(clBtnHighlight)) << "the raised outer bevel";
  EXPECT_EQ(ScreenColor(Panel, 99, 59), Rgb(clBtnShadow));
  Panel->SetBorderWidth(2);
  Pump();
  EXPECT_EQ(ScreenColor(Panel, 2, 2), 0x00FF00u) << "the border in the panel's colour";
  EXPECT_EQ(ScreenColor(Panel, 3, 3), 0xF08030u) << "and the parent inside it";

  // Opaque: the class library's panel with its face (the window style stays as it was made).
  Panel->SetTransparent(false);
  Pump();
  EXPECT_EQ(ScreenColor(Panel, 50, 30), 0x00FF00u);
}

TEST_F(ClearPanelTest, EraseIsAnsweredOnlyWhileTransparent) {
  HDC DC = GetDC(Panel->Handle());
  EXPECT_EQ(Panel->Perform(WM_ERASEBKGND, WPARAM(DC), 0), 1) << "counts as erased";
  Panel->SetTransparent(false);
  EXPECT_EQ(Panel->Perform(WM_ERASEBKGND, WPARAM(DC), 0), 0) << "left to Paint";
  ReleaseDC(Panel->Handle(), DC);
}

TEST_F(ClearPanelTest, RepaintingRepaintsItsPlaceOnTheParent) {
  ValidateRect(Form->Handle(), nullptr);
  Panel->Invalidate();
  RECT Update{};
  ASSERT_TRUE(GetUpdateRect(Form->Handle(), &Update, FALSE));
  EXPECT_EQ(Update, (RECT{20, 20, 120, 80}));
  // Moved, it repaints at its new place (the old one is the window system's business).
  Pump();
  Panel->SetBounds(40, 30, 100, 60);
  Pump();
  EXPECT_EQ(ScreenColor(Panel, 50, 30), 0xF08030u);
  EXPECT_EQ(ScreenColor(Form, 25, 25), 0xF08030u);
}

}  // namespace
