// The label: it sizes itself to its rendered caption, paints or leaves its background, shows the
// disabled look, hands the focus on at its accelerator, reports the pointer once, and shows a
// field's text when bound; the tool tip measures in the shared font.

#include <gtest/gtest.h>

#include "platform/classes/formreader.h"
#include "platform/db/db.h"
#include "platform/forms/edit.h"
#include "tests/vcontrols/text/vctexttest.h"
#include "vcontrols/text/vclabel.h"
#include "vcontrols/text/vctooltip.h"

using namespace VcTest;

namespace {

class LabelTest : public TVcFormTest {
 protected:
  TvcLabel* AddLabel(const std::string& Caption, int X = 20, int Y = 20) {
    auto* Label = new TvcLabel(Form);
    Label->SetParent(Form);
    Label->SetLeft(X);
    Label->SetTop(Y);
    Label->Font()->SetName("DejaVu Sans");
    Label->Font()->SetHeight(-14);
    Label->SetCaption(Caption);
    return Label;
  }
  // The rendered caption's size, measured as the label measures it.
  SIZE Rendered(TvcLabel* Label) {
    RECT R{};
    TBitmap Scratch;
    Scratch.SetSize(1, 1);
    Label->TextOptions()->SetCanvas(Scratch.Canvas());
    Label->TextOptions()->CalcRect(true, R);
    Label->TextOptions()->SetCanvas(Label->Canvas());
    return SIZE{R.right - R.left, R.bottom - R.top};
  }
};

TEST_F(LabelTest, AutoSizeTakesTheRenderedCaptionsSize) {
  TvcLabel* Label = AddLabel("Sized");
  const SIZE Plain = Rendered(Label);
  EXPECT_EQ(Label->Width(), Plain.cx);
  EXPECT_EQ(Label->Height(), Plain.cy);
  // Anything that changes the rendered size sizes the label again.
  Label->TextOptions()->SetStyle(vclsOutline);
  EXPECT_EQ(Label->Width(), Plain.cx + 2);
  Label->TextOptions()->SetStyle(vclsDefault);
  Label->TextOptions()->SetRotation(90);
  EXPECT_EQ(Label->Width(), Plain.cy) << "a turned caption: narrow and tall";
  EXPECT_EQ(Label->Height(), Plain.cx);
  Label->TextOptions()->SetRotation(0);
  Label->Font()->SetHeight(-28);
  EXPECT_GT(Label->Height(), Plain.cy);
  // Without AutoSize the label keeps its size.
  Label->SetAutoSize(false);
  Label->SetBounds(20, 20, 300, 40);
  Label->SetCaption("Much longer than before");
  EXPECT_EQ(Label->Width(), 300);
}

TEST_F(LabelTest, ARightAlignedLabelKeepsItsRightEdge) {
  TvcLabel* Label = AddLabel("Short", 100);
  Label->TextOptions()->SetAlignment(taRightJustify);
  const int32_t Right = Label->Left() + Label->Width();
  Label->SetCaption("A much longer caption");
  EXPECT_EQ(Label->Left() + Label->Width(), Right);
  EXPECT_LT(Label->Left(), 100);
  Label->SetCaption("S");
  EXPECT_EQ(Label->Left() + Label->Width(), Right);
}

TEST_F(LabelTest, ALabelReadFromAFormSizesItselfOnceLoaded) {
  const char* Text =
      "object Form: TForm\n"
      "  object Sized: TvcLabel\n"
      "    Left = 10\n"
      "    Width = 300\n"
      "    Height = 50\n"
      "    Caption = 'Loaded'\n"
      "    TextOptions.Rotation = 90\n"
      "  end\n"
      "  object Fixed: TvcLabel\n"
      "    Left = 10\n"
      "    Width = 300\n"
      "    Height = 50\n"
      "    AutoSize = False\n"
      "    Caption = 'Loaded'\n"
      "  end\n"
      "end\n";
  ReadComponentText(Form, Text);
  auto* Sized = dynamic_cast<TvcLabel*>(Form->FindComponent("Sized"));
  auto* Fixed = dynamic_cast<TvcLabel*>(Form->FindComponent("Fixed"));
  ASSERT_TRUE(Sized && Fixed);
  EXPECT_LT(Sized->Width(), Sized->Height()) << "sized to the turned caption after loading";
  EXPECT_EQ(Fixed->Width(), 300);
  EXPECT_EQ(Fixed->Height(), 50);
  // Writing the form back stores the settings of the caption renderer.
  const std::string Written = WriteComponentText(Form);
  EXPECT_NE(Written.find("TextOptions.Rotation = 90"), std::string::npos) << Written;
  EXPECT_EQ(Written.find("TextOptions.LineSpacing"), std::string::npos) << "defaults are not written";
}

TEST_F(LabelTest, PaintsItsBackgroundUnlessTransparentAndShowsTheDisabledLook) {
  Form->SetColor(clYellow);
  TvcLabel* Opaque = AddLabel("Opaque", 10, 10);
  Opaque->SetColor(clWhite);
  Opaque->Font()->SetColor(clBlack);
  TvcLabel* Clear = AddLabel("Clear", 10, 50);
  Clear->SetTransparent(true);
  Clear->Font()->SetColor(clBlack);
  TvcLabel* Disabled = AddLabel("Disabled", 10, 90);
  Disabled->SetColor(clWhite);
  Disabled->SetEnabled(false);
  Form->Show();
  Pump();
  SaveFormPng(Form, "label_looks", 3);
  auto Count = [&](TvcLabel* Label, uint32_t Color) {
    return CountFormPixels(Form, Label->BoundsRect(), [Color](uint32_t C) { return C == Color; }).Count;
  };
  EXPECT_EQ(Count(Opaque, 0xFFFF00), 0) << "an opaque label covers the parent";
  EXPECT_GT(Count(Clear, 0xFFFF00), Clear->Width() * Clear->Height() / 2) << "a transparent one shows it";
  EXPECT_GT(Count(Clear, 0x000000), 0);
  // The disabled look: the body in the shadow colour, a highlight copy down and right, no black.
  const TColor Shade = ColorToRGB(clBtnShadow);
  const uint32_t ShadeRgb = uint32_t(Shade & 0xFF) << 16 | uint32_t(Shade & 0xFF00) | uint32_t(Shade >> 16 & 0xFF);
  EXPECT_GT(Count(Disabled, ShadeRgb), 0);
  EXPECT_EQ(Count(Disabled, 0x000000), 0);
}

TEST_F(LabelTest, TheAcceleratorFocusesTheFocusControl) {
  auto* Edit = new TEdit(Form);
  Edit->SetParent(Form);
  Edit->SetBounds(100, 100, 80, 22);
  auto* Other = new TEdit(Form);
  Other->SetParent(Form);
  Other->SetBounds(100, 130, 80, 22);
  TvcLabel* Label = AddLabel("&Name");
  Label->SetFocusControl(Edit);
  Form->Show();
  Pump();
  Other->SetFocus();
  EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'n', 0), 1);
  EXPECT_TRUE(Edit->Focused());
  // Not without accelerators shown, not while disabled, and not for another letter.
  Other->SetFocus();
  EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  Label->TextOptions()->SetOptions(TvcTextOptions{});
  EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'n', 0), 0);
  Label->TextOptions()->SetOptions(TvcTextOptions{toShowAccel});
  Label->SetEnabled(false);
  EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'n', 0), 0);
  EXPECT_TRUE(Other->Focused());
  // A freed focus control is forgotten.
  Edit->Free();
  EXPECT_EQ(Label->FocusControl(), nullptr);
}

TEST_F(LabelTest, ThePointerEnteringAndLeavingIsReportedOnce) {
  TvcLabel* Label = AddLabel("Hover");
  std::vector<std::string> Events;
  Label->OnMouseEnter = TNotifyEvent([&](TObject*) { Events.push_back("enter"); });
  Label->OnMouseLeave = TNotifyEvent([&](TObject*) { Events.push_back("leave"); });
  Label->Perform(CM_MOUSEENTER, 0, 0);
  Label->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Events, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(LabelTest, ADataAwareLabelShowsItsFieldOrItsCaption) {
  TMemoryDataSet Set(nullptr);
  Set.FieldDefs()->Add("Name", ftString, 20);
  Set.FieldDefs()->Add("Notes", ftMemo);
  Set.Open();
  Set.AppendRecord({"Ada", "First line\r\nSecond line, all of it"});
  TDataSource Source(nullptr);
  Source.SetDataSet(&Set);
  TvcLabel* Label = AddLabel("Unbound");
  Label->SetDataSource(&Source);
  EXPECT_EQ(Label->Caption(), "Unbound") << "without a field: the caption";
  Label->SetDataField("Name");
  EXPECT_EQ(Label->Caption(), "Ada");
  Label->SetDataField("Notes");
  EXPECT_EQ(Label->Caption(), "First line\r\nSecond line, all of it") << "a memo's whole text";
  // AutoSize inside a data-aware control grid (a fixed data source) is refused.
  Label->SetAutoSize(false);
  Label->DataLink()->SetDataSourceFixed(true);
  try {
    Label->SetAutoSize(true);
    ADD_FAILURE() << "switched on";
  } catch (const EDatabaseError& Error) {
    EXPECT_EQ(std::string(Error.Message()), "Operation not allowed in a DBCtrlGrid");
  }
  Label->DataLink()->SetDataSourceFixed(false);
  Label->SetDataSource(nullptr);
}

TEST_F(LabelTest, ToolTipsMeasureInTheSharedFont) {
  TvcToolTip Tip(nullptr);
  const int32_t Saved = vcToolTipFont()->Height();
  vcToolTipFont()->SetHeight(-10);
  const RECT Small = Tip.CalcHintRect(400, "A font name", nullptr);
  vcToolTipFont()->SetHeight(-24);
  const RECT Large = Tip.CalcHintRect(400, "A font name", nullptr);
  vcToolTipFont()->SetHeight(Saved);
  EXPECT_GT(Large.right - Large.left, Small.right - Small.left);
  EXPECT_GT(Large.bottom - Large.top, Small.bottom - Small.top);
}

}  // namespace
