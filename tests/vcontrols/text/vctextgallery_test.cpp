// A form of labels in every caption style, rendered and saved as PNG to be looked at: every
// style, the shadow, both extrusions, six angles, the disabled look and a justified paragraph.

#include <gtest/gtest.h>

#include "tests/vcontrols/text/vctexttest.h"
#include "vcontrols/text/vclabel.h"

using namespace VcTest;

namespace {

class TextGalleryTest : public TVcFormTest {
 protected:
  TvcLabel* AddLabel(const char* Caption, int X, int Y) {
    auto* Label = new TvcLabel(Form);
    Label->SetParent(Form);
    Label->SetLeft(X);
    Label->SetTop(Y);
    Label->Font()->SetHeight(-16);
    Label->Font()->SetColor(clNavy);
    Label->SetCaption(Caption);
    return Label;
  }
};

TEST_F(TextGalleryTest, EveryStyle) {
  Form->SetBounds(0, 0, 520, 360);
  AddLabel("Plain", 10, 10);
  AddLabel("Lowered", 10, 40)->TextOptions()->SetStyle(vclsLowered);
  AddLabel("Raised", 10, 70)->TextOptions()->SetStyle(vclsRaised);
  TvcLabel* Outline = AddLabel("Outline", 10, 100);
  Outline->TextOptions()->SetStyle(vclsOutline);
  Outline->Font()->SetColor(clYellow);
  TvcLabel* Shadow = AddLabel("Shadow", 10, 130);
  Shadow->TextOptions()->Shadow()->SetEnabled(true);
  Shadow->TextOptions()->Shadow()->SetXOffset(3);
  Shadow->TextOptions()->Shadow()->SetYOffset(3);
  TvcLabel* Extrude = AddLabel("Extrude", 10, 170);
  Extrude->TextOptions()->ExtrudeEffects()->SetEnabled(true);
  Extrude->TextOptions()->ExtrudeEffects()->SetNearColor(clWhite);
  Extrude->Font()->SetColor(clRed);
  TvcLabel* Striated = AddLabel("Striated", 10, 210);
  Striated->TextOptions()->ExtrudeEffects()->SetEnabled(true);
  Striated->TextOptions()->ExtrudeEffects()->SetStriated(true);
  Striated->TextOptions()->ExtrudeEffects()->SetNearColor(clWhite);
  Striated->TextOptions()->ExtrudeEffects()->SetOrientation(vcTopLeft);
  AddLabel("&Disabled", 10, 260)->SetEnabled(false);
  const struct {
    int Angle, X, Y;
  } Turns[] = {{90, 170, 10}, {45, 210, 10}, {180, 330, 10}, {270, 440, 10}, {30, 330, 80}, {315, 200, 110}};
  for (const auto& Turn : Turns) {
    TvcLabel* Turned = AddLabel("Turned", Turn.X, Turn.Y);
    Turned->TextOptions()->SetRotation(Turn.Angle);
    Turned->SetColor(clSilver);
  }
  TvcLabel* Justified = AddLabel("The quick brown fox jumps over the lazy dog and runs far away.", 200, 200);
  Justified->SetAutoSize(false);
  Justified->SetBounds(200, 200, 150, 120);
  Justified->TextOptions()->SetWordWrap(true);
  Justified->TextOptions()->SetOptions(TvcTextOptions{toShowAccel, toFullJustify});
  Justified->SetColor(clSilver);
  Form->Show();
  Pump();
  SaveFormPng(Form, "text_gallery", 2);
  // Every label shows ink of its caption inside its own bounds (sized to it).
  for (int Index = 0; Index < Form->ControlCount(); ++Index) {
    auto* Label = dynamic_cast<TvcLabel*>(Form->Controls(Index));
    ASSERT_NE(Label, nullptr);
    SCOPED_TRACE(Label->Caption());
    const uint32_t Background = Label->Color() == clSilver ? 0xC0C0C0u : 0xFFFFFFu;
    EXPECT_GT(CountFormPixels(Form, Label->BoundsRect(), [&](uint32_t C) { return C != Background; }).Count, 20);
  }
}

}  // namespace
