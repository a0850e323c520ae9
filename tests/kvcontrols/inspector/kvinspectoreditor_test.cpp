// Which editor a row of the inspector gets, where it is placed, and when a value committed
// through it fires the change event.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvinspectoredit.h"
#include "kvcontrols/editors/kvinspectorcombo.h"
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
      {"Pick", false, false, "combo"},
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
    } else if (Editor == "combo") {
      ASSERT_NE(Inspector->ComboBox(), nullptr);
      EXPECT_EQ(Inspector->GetActiveEditor(), Inspector->ComboBox());
      EXPECT_TRUE(Inspector->ComboBox()->Visible());
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

TEST_F(InspectorEditorTest, PickListRowsShareOneComboFilledFromTheirList) {
  Select(Pick);
  TkvInspectorComboBox* Combo = Inspector->ComboBox();
  ASSERT_NE(Combo, nullptr);
  EXPECT_EQ(Combo->Parent(), Inspector);
  EXPECT_FALSE(Combo->TabStop());
  EXPECT_EQ(Combo->Items()->Count(), 2);
  EXPECT_EQ(Combo->Text(), "320 x 240");
  EXPECT_EQ(Combo->Style(), csDropDown);
  const RECT Place = Inspector->GetEditorRect(1, Inspector->Row());
  EXPECT_EQ(Combo->Left(), Place.left);
  EXPECT_EQ(Combo->Top(), Place.top);
  // A second pick-list row with a fixed list re-uses the same combo in that style.
  TkvInspectorItem* Level = Add("Level", "2");
  Level->PickList()->SetMapList(true);
  Level->PickList()->SetStyle(csDropDownList);
  Level->PickList()->Items()->Add("Low\t1");
  Level->PickList()->Items()->Add("High\t2");
  Inspector->RebuildRows();
  Select(Level);
  EXPECT_EQ(Inspector->ComboBox(), Combo);
  EXPECT_EQ(Combo->Style(), csDropDownList);
  EXPECT_EQ(Combo->Text(), "High") << "a map list shows the display part of the stored value";
  EXPECT_TRUE(Changes.empty());
}

// A value chosen from the list is announced once, at the close-up; leaving the row afterwards
// must not announce it again.
TEST_F(InspectorEditorTest, ChoosingFromTheComboAnnouncesOnce) {
  TkvInspectorItem* Level = Add("Level", "1");
  Level->PickList()->SetMapList(true);
  Level->PickList()->SetStyle(csDropDownList);
  Level->PickList()->Items()->Add("Low\t1");
  Level->PickList()->Items()->Add("High\t2");
  Inspector->RebuildRows();
  Select(Level);
  TkvInspectorComboBox* Combo = Inspector->ComboBox();
  ASSERT_NE(Combo, nullptr);
  ASSERT_TRUE(Combo->Focused());
  InjectKeyStroke(VK_F4);
  Pump();
  ASSERT_TRUE(Combo->IsDroppedDown());
  InjectKeyStroke(VK_DOWN);
  InjectKeyStroke(VK_RETURN);
  Pump();
  EXPECT_FALSE(Combo->IsDroppedDown());
  EXPECT_EQ(Combo->Text(), "High");
  EXPECT_EQ(Level->EditText(), "2") << "the stored value, not the shown text";
  EXPECT_EQ(Changes, (std::vector<std::string>{"Level=2"}));
  Select(Text);
  EXPECT_EQ(Changes, (std::vector<std::string>{"Level=2"}));
  // Choosing the entry already shown announces nothing.
  Changes.clear();
  Select(Level);
  EXPECT_FALSE(Combo->Modified()) << "placing";
  InjectKeyStroke(VK_F4);
  Pump();
  EXPECT_FALSE(Combo->Modified()) << "dropped";
  InjectKeyStroke(VK_F4);
  Pump();
  EXPECT_FALSE(Combo->Modified()) << "closed";
  InjectKeyStroke(VK_F4);
  Pump();
  InjectKeyStroke(VK_RETURN);
  Pump();
  EXPECT_TRUE(Changes.empty()) << Changes.front();
  Select(Text);
  EXPECT_TRUE(Changes.empty()) << Changes.front();
}

TEST_F(InspectorEditorTest, EditButtonHandlerReplacesTheList) {
  TkvInspectorItem* Folder = Add("Folder", "/tmp");
  Folder->PickList()->SetButtonStyle(cbsEllipsis);
  int Calls = 0;
  Folder->OnEditButtonClick = TkvInspectorItemNotifyEvent([&](TkvDataInspector*, TkvInspectorItem* Item) {
    ++Calls;
    Inspector->ComboBox()->SetText("/home");
  });
  Inspector->RebuildRows();
  Select(Folder);
  TkvInspectorComboBox* Combo = Inspector->ComboBox();
  ASSERT_NE(Combo, nullptr);
  InjectKeyStroke(VK_F4);
  Pump();
  EXPECT_EQ(Calls, 1);
  EXPECT_FALSE(Combo->IsDroppedDown());
  EXPECT_EQ(Folder->EditText(), "/home");
}

}  // namespace
}  // namespace FormsTest
