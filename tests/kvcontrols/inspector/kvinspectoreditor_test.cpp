// Which editor a row of the inspector gets, where it is placed, and when a value committed
// through it fires the change event.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvcontrols/editors/kvedit.h"
#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvinspectoredit.h"
#include "kvcontrols/editors/kvinspectorcombo.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/memorydataset.h"
#include "platform/db/numericfields.h"
#include "platform/forms/edit.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/numberformat.h"
#include "platform/user/input.h"
#include "tests/kvcontrols/inspector/inspectortest.h"
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
  TkvInspectorItem* Add(const std::string& Key, const std::string& Value) { return AddOption(Inspector, Key, Value); }
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
    if (Editor != "inplace" && Inspector->InplaceEditor()) { EXPECT_FALSE(Inspector->InplaceEditor()->Visible()); }
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

// ---- picture masks -----------------------------------------------------------------------------

TEST_F(InspectorEditorTest, ItemPictureIsOwnedAndCopiedOnlyByItsWriter) {
  EXPECT_TRUE(Text->Picture()->PictureMask().empty());
  TkvDBPicture Source;
  Source.SetPictureMask("##:##");
  Source.SetAutoFill(false);
  Text->SetPicture(&Source);
  EXPECT_NE(Text->Picture(), &Source);
  EXPECT_EQ(Text->Picture()->PictureMask(), "##:##");
  EXPECT_FALSE(Text->Picture()->AutoFill());
  // Copying a whole item leaves the picture of the copy alone.
  TkvInspectorItem* Copy = Inspector->Items()->Add();
  Copy->Assign(Text);
  EXPECT_EQ(Copy->EditText(), "abc");
  EXPECT_TRUE(Copy->Picture()->PictureMask().empty());
}

// Typing into the in-place editor of a row with the mask ##:## (auto-fill on).
TEST_F(InspectorEditorTest, PictureMaskTypingInTheInplaceEditor) {
  struct TCase {
    const char* Name;
    const char* Start;
    int SelStart, SelLength;  // SelStart -1: the end of the text
    const char32_t* Typed;
    const char* Expected;
    int Caret;
    int Beeps;
    std::vector<bool> Checks;  // what the check-value handler heard, in order
  };
  const std::vector<TCase> Cases = {
      {"whole text replaced, incomplete", "abc", 0, 3, U"1", "1", 1, 0, {false}},
      {"literal filled in", "", 0, 0, U"12", "12:", 3, 0, {false, false}},
      {"completed", "12:", -1, 0, U"34", "12:34", 5, 0, {false, true}},
      {"error at the end beeps", "12:", -1, 0, U"x", "12:", 3, 1, {}},
      {"full text refuses more", "12:34", -1, 0, U"5", "12:34", 5, 1, {}},
      {"inside the text: left to the window", "12:34", 1, 0, U"x", "1x2:34", 2, 0, {false}},
      {"selection at the end replaced", "12:34", 3, 2, U"5", "12:5", 4, 0, {false}},
  };
  Select(Pick);
  TkvDBPicture Mask;
  Mask.SetPictureMask("##:##");
  Text->SetPicture(&Mask);
  std::vector<bool> Heard;
  Inspector->OnCheckValue = TkvValidateEvent([&](TObject* Sender, bool Passes) {
    EXPECT_EQ(Sender, Inspector->InspectorEdit());
    Heard.push_back(Passes);
  });
  Select(Text);
  TkvDataInspectorEdit* Edit = Inspector->InspectorEdit();
  ASSERT_NE(Edit, nullptr);
  ASSERT_TRUE(Edit->Focused());
  EXPECT_EQ(Edit->Picture()->PictureMask(), "##:##") << "taken from the row on focus";
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Edit->SetText(Case.Start);
    const int End = static_cast<int>(std::string(Case.Start).size());
    Edit->SetSelStart(Case.SelStart < 0 ? End : Case.SelStart);
    Edit->SetSelLength(Case.SelLength);
    Heard.clear();
    Beeps = 0;
    InjectText(Case.Typed);
    Pump();
    EXPECT_EQ(Edit->Text(), Case.Expected);
    EXPECT_EQ(Edit->SelStart(), Case.Caret);
    EXPECT_EQ(Edit->SelLength(), 0);
    EXPECT_EQ(Beeps, Case.Beeps);
    EXPECT_EQ(Heard, Case.Checks);
    EXPECT_EQ(Inspector->LastEditText(), Case.Expected);
    EXPECT_EQ(Text->EditText(), Case.Expected);
  }
}

// An incomplete masked text is a change as well: leaving the row announces it, although setting
// the text through the mask clears the window's own modified flag.
TEST_F(InspectorEditorTest, IncompleteMaskedTextIsAnnouncedOnLeavingTheRow) {
  TkvDBPicture Mask;
  Mask.SetPictureMask("##:##");
  Text->SetPicture(&Mask);
  Select(Pick);
  Select(Text);
  TkvDataInspectorEdit* Edit = Inspector->InspectorEdit();
  ASSERT_TRUE(Edit && Edit->Focused());
  Edit->SelectAll();
  InjectText(U"1");
  Pump();
  EXPECT_TRUE(Edit->Modified());
  Select(Pick);
  EXPECT_EQ(Changes, (std::vector<std::string>{"Text=1"}));
}

// The editor can keep the focus while the current row changes; each row is typed against its
// own mask.
TEST_F(InspectorEditorTest, EditorFollowsTheMaskOfEachRow) {
  TkvInspectorItem* Plain = Add("Plain", "free");
  Inspector->RebuildRows();
  TkvDBPicture Mask;
  Mask.SetPictureMask("##:##");
  Text->SetPicture(&Mask);
  Select(Pick);
  Select(Text);
  TkvDataInspectorEdit* Edit = Inspector->InspectorEdit();
  ASSERT_TRUE(Edit && Edit->Focused());
  EXPECT_EQ(Edit->Picture()->PictureMask(), "##:##");
  Inspector->SetActiveItem(Plain);
  Pump();
  ASSERT_TRUE(Edit->Focused());
  EXPECT_EQ(Edit->Picture()->PictureMask(), "");
  Edit->SelectAll();
  InjectText(U"x");
  Pump();
  EXPECT_EQ(Plain->EditText(), "x") << "no mask refuses the letter";
}

TEST_F(InspectorEditorTest, CheckPictureTable) {
  struct TCase {
    const char* Mask;
    const char* Text;
    bool Passes;
  };
  const TCase Cases[] = {
      {"##:##", "", true},     {"##:##", "12:34", true}, {"##:##", "12:3", false},
      {"##:##", "12:", false}, {"##:##", "ab", false},   {"", "anything", true},
  };
  TkvDataInspectorEdit* Edit = Inspector->InspectorEdit();
  if (!Edit) {
    Select(Text);
    Edit = Inspector->InspectorEdit();
  }
  ASSERT_NE(Edit, nullptr);
  std::vector<bool> Heard;
  Inspector->OnCheckValue = TkvValidateEvent([&](TObject*, bool Passes) { Heard.push_back(Passes); });
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Mask) + " / " + Case.Text);
    Edit->Picture()->SetPictureMask(Case.Mask);
    Heard.clear();
    EXPECT_EQ(Edit->CheckPicture(Case.Text), Case.Passes);
    EXPECT_EQ(Heard, std::vector<bool>{Case.Passes});
  }
}

// An edit of the library placed in a row takes the row's mask, and from then on keeps its own
// copy rather than one read from a data set.
TEST_F(InspectorEditorTest, AttachedLibraryEditTakesTheRowPicture) {
  auto* Edit = new TkvDBEdit(Form);
  Edit->Picture()->SetPictureMask("###");
  ASSERT_TRUE(Edit->Picture()->PictureMaskFromDataSet());
  TkvInspectorItem* Code = Add("Code", "12:00");
  TkvDBPicture Mask;
  Mask.SetPictureMask("##:##");
  Mask.SetAutoFill(false);
  Code->SetPicture(&Mask);
  Code->SetCustomControl(Edit);
  Inspector->RebuildRows();
  Select(Code);
  ASSERT_EQ(Inspector->ActiveEditorControl(), Edit);
  EXPECT_EQ(Edit->Picture()->PictureMask(), "##:##");
  EXPECT_FALSE(Edit->Picture()->AutoFill());
  EXPECT_FALSE(Edit->Picture()->PictureMaskFromDataSet());
  // A plain edit has no picture to take.
  Select(Rate);
  EXPECT_EQ(Inspector->ActiveEditorControl(), Spin);
}

// ---- posting to a bound field ------------------------------------------------------------------

class InspectorPostTest : public InspectorEditorTest {
 protected:
  void SetUp() override {
    InspectorEditorTest::SetUp();
    Set = new TMemoryDataSet(Form);
    Set->FieldDefs()->Add("Code", ftString, 10);
    Set->FieldDefs()->Add("Stamp", ftDateTime);
    Set->FieldDefs()->Add("Count", ftInteger);
    Set->FieldDefs()->Add("Price", ftFloat);
    Set->Open();
    Set->Append();
    Set->FieldByName("Code")->SetAsString("00:00");
    Set->FieldByName("Count")->SetAsInteger(1);
    Set->FieldByName("Price")->SetAsFloat(1);
    Set->Post();
    Source = new TDataSource(Form);
    Source->SetDataSet(Set);
    Inspector->SetDataSource(Source);
    Code = Bound("Code");
    Stamp = Bound("Stamp");
    Count = Bound("Count");
    Price = Bound("Price");
    Inspector->RebuildRows();
    Pump();
  }
  void TearDown() override {
    Inspector->SetDataSource(nullptr);
    InspectorEditorTest::TearDown();
  }
  TkvInspectorItem* Bound(const std::string& FieldName) {
    TkvInspectorItem* Item = Add(FieldName, "");
    Item->SetDataField(FieldName);
    Item->SetOptions(TkvInspectorItemOptions{});  // the in-place editor for every row
    return Item;
  }
  // What the editor of the active row holds, posted as leaving it would.
  void Post(const std::string& Value) {
    Set->Edit();
    Inspector->SetLastEditText(Value);
    Inspector->DataLink()->Modified();
    Inspector->DataLink()->UpdateData();
  }

  TMemoryDataSet* Set = nullptr;
  TDataSource* Source = nullptr;
  TkvInspectorItem *Code, *Stamp, *Count, *Price;
};

TEST_F(InspectorPostTest, DateTextsAndFormattedNumbersAreReadAsValues) {
  auto* CountField = static_cast<TNumericField*>(Set->FieldByName("Count"));
  auto* PriceField = static_cast<TNumericField*>(Set->FieldByName("Price"));
  CountField->SetEditFormat("#,##0.00");
  PriceField->SetEditFormat("#,##0.00");
  const TDateTime Day = EncodeDate(2024, 3, 5);

  Select(Stamp);
  Post(DateToStr(Day));
  EXPECT_EQ(Set->FieldByName("Stamp")->AsDateTime(), Day);

  Select(Count);
  Post(FormatFloat("#,##0.00", 1234.6L));
  EXPECT_EQ(Set->FieldByName("Count")->AsInteger(), 1235) << "rounded to the nearest";
  Post("17");
  EXPECT_EQ(Set->FieldByName("Count")->AsInteger(), 17);

  Select(Price);
  Post(FormatFloat("#,##0.00", 4321.25L));
  EXPECT_DOUBLE_EQ(Set->FieldByName("Price")->AsFloat(), 4321.25);

  // Without an edit format the text goes to the field as its edit text.
  PriceField->SetEditFormat("");
  Post("2.5");
  EXPECT_DOUBLE_EQ(Set->FieldByName("Price")->AsFloat(), 2.5);
}

TEST_F(InspectorPostTest, TextFailingTheMaskIsNotPosted) {
  TkvDBPicture Mask;
  Mask.SetPictureMask("##:##");
  Code->SetPicture(&Mask);
  Select(Price);
  Select(Code);
  TkvDataInspectorEdit* Edit = Inspector->InspectorEdit();
  ASSERT_TRUE(Edit && Edit->Focused());
  ASSERT_EQ(Edit->Picture()->PictureMask(), "##:##");
  Set->Edit();
  Edit->SetText("12:3");
  Inspector->DataLink()->Modified();
  std::vector<std::string> Errors;
  Inspector->OnValidationErrorUsingMask = TkvInspectorValidationError(
      [&](TkvDataInspector*, TkvInspectorItem* Item, std::string& Message, bool&) {
        Errors.push_back(Item->TagString() + ": " + Message);
      });
  Beeps = 0;
  EXPECT_THROW(Inspector->DataLink()->UpdateData(), EInvalidOperation);
  EXPECT_EQ(Beeps, 1);
  EXPECT_EQ(Errors, (std::vector<std::string>{"Code: Invalid input value.  Use escape key to abandon changes"}));
  EXPECT_EQ(Set->FieldByName("Code")->AsString(), "00:00");

  // A handler that takes the error over: no beep, no exception, still not posted.
  Inspector->OnValidationErrorUsingMask =
      TkvInspectorValidationError([](TkvDataInspector*, TkvInspectorItem*, std::string&, bool& DoDefault) {
        DoDefault = false;
      });
  Beeps = 0;
  Inspector->DataLink()->Modified();
  EXPECT_NO_THROW(Inspector->DataLink()->UpdateData());
  EXPECT_EQ(Beeps, 0);
  EXPECT_EQ(Set->FieldByName("Code")->AsString(), "00:00");

  // A complete text is posted.
  Edit->SetText("12:34");
  Inspector->DataLink()->Modified();
  Inspector->DataLink()->UpdateData();
  EXPECT_EQ(Set->FieldByName("Code")->AsString(), "12:34");
}

TEST_F(InspectorPostTest, PictureThatAllowsInvalidExitPostsAnyText) {
  TkvDBPicture Mask;
  Mask.SetPictureMask("##:##");
  Code->SetPicture(&Mask);
  Code->Picture()->SetAllowInvalidExit(true);
  Select(Price);
  Select(Code);
  TkvDataInspectorEdit* Edit = Inspector->InspectorEdit();
  ASSERT_TRUE(Edit && Edit->Focused());
  Set->Edit();
  Edit->SetText("12:3");
  Inspector->DataLink()->Modified();
  EXPECT_NO_THROW(Inspector->DataLink()->UpdateData());
  EXPECT_EQ(Set->FieldByName("Code")->AsString(), "12:3");
}

}  // namespace
}  // namespace FormsTest
