// The buttons' test form, headless: it renders (the PNGs are kept to be looked at) and answers
// clicks and keys as a user gives them.

#include <gtest/gtest.h>

#include "platform/backends/headless/headless.h"
#include "platform/forms/application.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"
#include "tests/vcontrols/buttons/showcase.h"
#include "tests/vcontrols/text/vctexttest.h"

using namespace VcTest;

namespace {

class ShowcaseTest : public ::testing::Test {
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
    MSG Message;
    while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  void Pump() { Application->ProcessMessages(); }
  // A click at a point of a control, in screen coordinates.
  void ClickOn(TControl* Control, int X, int Y) {
    const POINT At = Control->ClientToScreen(POINT{X, Y});
    Backend.MouseMove(At.x, At.y);
    Pump();
    Backend.Click(0, At.x, At.y);
    Pump();
  }

  TScopedManualClock Clock;
  THeadlessBackend Backend{800, 600};
  TApplication* FSavedApplication = nullptr;
};

TEST_F(ShowcaseTest, RendersEveryLabelButtonAndShape) {
  TVcShowcaseHolder Form = MakeShowcaseForm();
  Form->Show();
  Pump();
  SaveFormPng(Form.get(), "showcase", 2);
}

TEST_F(ShowcaseTest, ShapeGrid) {
  TVcShowcaseHolder Form = MakeShapeGrid();
  Form->Show();
  Pump();
  SaveFormPng(Form.get(), "shape_grid", 2);
}

}  // namespace
