// A form with the edit family as the option tables use them, written as PNG for looking at it
// ($KORCAM_TEST_IMAGES or /tmp/korcam-forms-images/kv_edits.png), with a few pixels checked.

#include <gtest/gtest.h>

#include "kvcontrols/editors/kvedit.h"
#include "kvcontrols/editors/kvspinedit.h"
#include "tests/kvcontrols/edits/kvedittest.h"

namespace FormsTest {
namespace {

class KvRenderTest : public TKvEditTest {};

TEST_F(KvRenderTest, EditsAndSpinEditsOnOneForm) {
  Form->SetColor(clBtnFace);
  auto Place = [&](TWinControl* Control, int Top) {
    Control->SetBounds(10, Top, 150, 24);
    Control->SetParent(Form);
  };
  auto* Plain = new TkvDBEdit(Form);
  Place(Plain, 8);
  Plain->SetText("Korcam");
  auto* Right = new TkvDBEdit(Form);
  Place(Right, 36);
  Right->SetUnboundAlignment(taRightJustify);
  Right->SetText("Привет, 42");
  auto* Framed = new TkvDBEdit(Form);
  Place(Framed, 64);
  Framed->Frame()->SetEnabled(true);
  Framed->Frame()->SetNonFocusColor(clInfoBk);
  Framed->SetText("framed");
  auto* Spin = new TkvDBSpinEdit(Form);
  Place(Spin, 92);
  Spin->SetValue(42);
  auto* Time = new TkvDBSpinEdit(Form);
  Time->SetUnboundDataType(kvEdtTime);
  Place(Time, 120);
  Time->SetText("9:30:00");
  Form->SetBounds(0, 0, 200, 170);
  Form->Show();
  Park();
  Form->Repaint();
  Pump();

  const std::string Path = SaveClientPng(Form, "kv_edits");
  SCOPED_TRACE(Path);
  // The right-aligned text ends near the right edge; the framed edit shows its colour.
  EXPECT_GT(InkLeft(Right), Right->ClientWidth() / 3);
  EXPECT_EQ(PixelAt(Framed, Framed->ClientWidth() - 4, 4), TColor(ColorToRGB(clInfoBk)));
  // The spin buttons draw their arrows (dark pixels inside the button).
  TkvSpinButton* Button = Spin->SpinButton();
  bool Arrow = false;
  for (int Y = 0; Y < Button->Height(); ++Y)
    for (int X = 0; X < Button->Width(); ++X)
      if ((PixelAt(Button, X, Y) & 0xFFFFFF) == 0) Arrow = true;
  EXPECT_TRUE(Arrow);
}

}  // namespace
}  // namespace FormsTest
