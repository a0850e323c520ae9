// Which editor a row of the inspector gets, where it is placed, and when a value committed
// through it fires the change event.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvinspectoredit.h"
#include "platform/forms/edit.h"
#include "platform/user/input.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

class InspectorEditorTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(0, 0, 320, 300);
    Spin = new TEdit(Form);  // stands in for a spin edit: a text editor the form owns
    Spin->SetName("SpinRate");
    Inspector = new TkvDataInspector(Form);
    Inspector->SetName("Inspector");
    Inspector->SetBorderStyle(bsNone);
    Inspector->SetBounds(0, 0, 260, 240);
    Inspector->SetDefaultRowHeight(20);
    Inspector->SetCaptionWidth(100);
    Inspector->SetParent(Form);
    Text = Add("Text", "abc");
    Check = Add("Check", "True");
    Check->PickList()->Items()->Add("True");
    Check->PickList()->Items()->Add("False");
    Check->PickList()->SetDisplayAsCheckbox(true);
    Group = Add("Group", "");
    Group->SetDisableDefaultEditor(true);
    Pick = Add("Pick", "320 x 240");
    Pick->PickList()->Items()->Add("160 x 120");
    Pick->PickList()->Items()->Add("320 x 240");
    Rate = Add("Rate", "15");
    Rate->SetCustomControl(Spin);
    Inspector->RebuildRows();
    Form->Show();
    Pump();
    Inspector->SetFocus();
    Pump();
    Inspector->OnItemChanged =
        TkvInspectorItemChanged([this](TkvDataInspector*, TkvInspectorItem* Item, const std::string& Value) {
          Changes.push_back(Item->TagString() + "=" + Value);
        });
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  TkvInspectorItem* Add(const std::string& Key, const std::string& Value) {
    TkvInspectorItem* Item = Inspector->Items()->Add();
    Item->SetCaption(Key);
    Item->SetTagString(Key);
    Item->SetEditText(Value);
    return Item;
  }
  void Select(TkvInspectorItem* Item) {
    Inspector->SetActiveItem(Item);
    Pump();
  }

  TForm* Form = nullptr;
  TEdit* Spin = nullptr;
  TkvDataInspector* Inspector = nullptr;
  TkvInspectorItem *Text, *Check, *Group, *Pick, *Rate;
  std::vector<std::string> Changes;
};

TEST_F(InspectorEditorTest, EditorChoicePerRow) {
  struct TCase {
    const char* Key;
    bool InplaceEdit;
    bool CheckboxRow;
    const char* Editor;  // "inplace", "custom" or "none"
  };
  const TCase Cases[] = {
      {"Text", true, false, "inplace"},
      {"Check", false, true, "none"},   // toggled, never edited
      {"Group", false, false, "none"},  // DisableDefaultEditor
      // A pick-list row belongs to the shared combo, not to the in-place editor.
      {"Pick", false, false, "inplace-less"},
      {"Rate", false, false, "custom"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Key);
    TkvInspectorItem* Item = Inspector->FindItemByTagString(Case.Key);
    Select(Item);
    ASSERT_EQ(Inspector->GetActiveItem(), Item);
    EXPECT_EQ(Inspector->UsesInplaceEdit(), Case.InplaceEdit);
    EXPECT_EQ(Inspector->IsCheckboxRow(Inspector->Row()), Case.CheckboxRow);
    const std::string Editor = Case.Editor;
    if (Editor == "inplace") {
      EXPECT_EQ(Inspector->GetActiveEditor(), Inspector->InplaceEditor());
      ASSERT_NE(Inspector->InspectorEdit(), nullptr);
      EXPECT_TRUE(Inspector->InplaceEditor()->Visible());
      EXPECT_EQ(Inspector->InplaceEditor()->Text(), "abc");
    } else if (Editor == "custom") {
      EXPECT_EQ(Inspector->GetActiveEditor(), Spin);
    } else if (Editor == "none") {
      EXPECT_EQ(Inspector->GetActiveEditor(), nullptr);
    }
    if (Editor != "inplace" && Inspector->InplaceEditor()) EXPECT_FALSE(Inspector->InplaceEditor()->Visible());
  }
}

TEST_F(InspectorEditorTest, CustomControlIsPlacedOverTheValueCell) {
  Select(Rate);
  const RECT Place = Inspector->GetEditorRect(1, Inspector->Row());
  EXPECT_EQ(Place.left, 101);
  EXPECT_EQ(Place.right, Inspector->ClientWidth() - 1);
  EXPECT_EQ(Place.bottom - Place.top, 19);
  EXPECT_EQ(Spin->Parent(), Inspector);
  EXPECT_TRUE(Spin->Visible());
  EXPECT_EQ(Spin->Left(), Place.left);
  EXPECT_EQ(Spin->Top(), Place.top);
  EXPECT_EQ(Spin->Width(), Place.right - Place.left);
  EXPECT_FALSE(Spin->TabStop()) << "Tab moves between rows, not into the editor";
  EXPECT_FALSE(Spin->Ctl3D());
  // Leaving the row hides it again.
  Select(Text);
  EXPECT_FALSE(Spin->Visible());
  EXPECT_EQ(Inspector->ActiveEditorControl(), nullptr);
}

TEST_F(InspectorEditorTest, LeavingAChangedCustomControlCommitsItsText) {
  Select(Rate);
  ASSERT_TRUE(Spin->Focused());
  Spin->SelectAll();
  InjectText(U"25");
  Pump();
  EXPECT_TRUE(Changes.empty()) << "nothing is committed while the row is active";
  Select(Text);
  EXPECT_EQ(Rate->EditText(), "25");
  EXPECT_EQ(Changes, (std::vector<std::string>{"Rate=25"}));
  // Passing through without a change commits nothing.
  Changes.clear();
  Select(Rate);
  Select(Text);
  EXPECT_TRUE(Changes.empty());
}

TEST_F(InspectorEditorTest, TypingInTheInplaceEditorCommitsOnLeavingTheRow) {
  Select(Text);
  TInplaceEdit* Edit = Inspector->InplaceEditor();
  ASSERT_NE(Edit, nullptr);
  ASSERT_TRUE(Edit->Focused());
  Edit->SelectAll();
  InjectText(U"xyz");
  Pump();
  // The text reaches the item at once, the change event only when the row is left.
  EXPECT_EQ(Text->EditText(), "xyz");
  EXPECT_TRUE(Changes.empty());
  Select(Rate);
  EXPECT_EQ(Changes, (std::vector<std::string>{"Text=xyz"}));
}

TEST_F(InspectorEditorTest, CalcCustomEditCanRefuseTheControl) {
  Inspector->OnCalcCustomEdit =
      TkvInspectorCalcCustomEditEvent([&](TkvDataInspector*, TkvInspectorItem* Item, TWinControl* Control, bool& Allow) {
        EXPECT_EQ(Item, Rate);
        EXPECT_EQ(Control, Spin);
        Allow = false;
      });
  Select(Rate);
  EXPECT_EQ(Inspector->ActiveEditorControl(), nullptr);
  EXPECT_FALSE(Spin->Visible());
}

}  // namespace
}  // namespace FormsTest
