// The buttons' test form, headless: it renders (the PNGs are kept to be looked at) and answers
// clicks and keys as a user gives them; and every shape in every orientation, rendered.

#include <gtest/gtest.h>

#include "platform/backends/headless/headless.h"
#include "platform/forms/application.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"
#include "tests/vcontrols/buttons/showcase.h"
#include "tests/vcontrols/text/vctexttest.h"

using namespace VcTest;

namespace {

// Pixels of an image for which Test holds, inside Area.
int Count(const TScreenImage& Image, RECT Area, uint32_t Color) {
  int Result = 0;
  for (int Y = Area.top; Y < Area.bottom; ++Y)
    for (int X = Area.left; X < Area.right; ++X) Result += Image.At(X, Y) == Color;
  return Result;
}

std::string Folder() {
  const char* Setting = std::getenv("KORCAM_TEST_IMAGES");
  return Setting && *Setting ? Setting : "/tmp/korcam-vc-images";
}

TEST(Showcase, RendersAndAnswersClicksAndKeys) {
  const TShowcaseRun Run = RunShowcaseHeadless();
  SaveScreenImagePng(Run.Before, Folder() + "/showcase.png");
  SaveScreenImagePng(Run.After, Folder() + "/showcase-after.png");
  EXPECT_EQ(Run.Clicks, ShowcaseClicks);
  EXPECT_EQ(Run.FocusedName, "ButtonYes");
  // The pages act as one group: the second went down, the others heard of it.
  EXPECT_EQ(Run.SelectionChanges, (std::vector<std::string>{"PageOne", "PageThree", "PageTwo", "ImageStrip"}));
  // Structure of the picture: the star's key colour never shows (the region cuts it away), the
  // shapes' faces show their colours, and the strip changed its picture.
  const uint32_t Face = 0xD4D0C8;  // the form's colour (clBtnFace)
  EXPECT_EQ(Count(Run.Before, RECT{0, 240, Run.Before.Width, 380}, 0xFF0000), 0)
      << "no outside key colour left around the shapes";
  EXPECT_EQ(Run.Before.At(398 + 28, 244 + 30), 0xFFFF40u) << "the star's face";
  EXPECT_EQ(Run.Before.At(398 + 1, 244 + 1), Face) << "outside the star: the form";
  EXPECT_NE(Run.Before.At(482, 190), Run.After.At(482, 190)) << "the strip shows its down picture";
}

class ShapeGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BYTE Keys[256] = {};
    SetKeyboardState(Keys);
    SetCursorPos(799, 599);
    FSavedApplication = Application;
    Application = new TApplication(nullptr);
  }
  void TearDown() override {
    Application->Free();
    Application = FSavedApplication;
  }
  TScopedManualClock Clock;
  THeadlessBackend Backend{800, 600};
  TApplication* FSavedApplication = nullptr;
};

TEST_F(ShapeGridTest, EveryShapeInEveryOrientation) {
  TVcShowcaseHolder Form = MakeShapeGrid();
  Form->Show();
  Application->ProcessMessages();
  SaveFormPng(Form.get(), "shape_grid", 2);
  // Every button was cut to its shape; a rectangle's shape is its whole box.
  for (int Index = 0; Index < Form->ControlCount(); ++Index) {
    auto* Button = dynamic_cast<TvcShapeBtn*>(Form->Controls(Index));
    ASSERT_NE(Button, nullptr);
    SCOPED_TRACE(Button->Name());
    HRGN Region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(Button->Handle(), Region), ERROR);
    const bool WholeBox = *GdiGetRegion(Region) == TRegion(0, 0, Button->Width(), Button->Height());
    DeleteObject(Region);
    EXPECT_EQ(WholeBox, Button->Shape() == bsRect);
  }
}

}  // namespace
