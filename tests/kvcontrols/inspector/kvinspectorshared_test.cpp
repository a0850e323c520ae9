// The editors an inspector shares between its rows: the pick-list combo and the date/time picker
// of bound date and time rows, each made on first use and announced once to the program.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvcontrols/editors/kvdatetimepicker.h"
#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvinspectorcombo.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/memorydataset.h"
#include "tests/kvcontrols/inspector/inspectortest.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

class InspectorSharedEditorsTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(0, 0, 320, 300);
    Inspector = new TkvDataInspector(Form);
    Inspector->SetBorderStyle(bsNone);
    Inspector->SetBounds(0, 0, 260, 240);
    Inspector->SetDefaultRowHeight(20);
    Inspector->SetParent(Form);
    Inspector->OnCreateDefaultCombo = TkvInspectorCreateComboEvent([this](TkvDataInspector* Sender, TkvDBComboBox* Combo) {
      EXPECT_EQ(Sender, Inspector);
      Announced.push_back(Combo);
    });
    Inspector->OnCreateDateTimePicker =
        TkvInspectorCreateDTPEvent([this](TkvDataInspector* Sender, TkvDBCustomDateTimePicker* Picker) {
          EXPECT_EQ(Sender, Inspector);
          EXPECT_FALSE(Picker->TabStop()) << "set up before it is announced";
          Announced.push_back(Picker);
        });
    Text = Add("Text", "abc");
    Size = Add("Size", "320 x 240");
    Size->PickList()->Items()->Add("160 x 120");
    Size->PickList()->Items()->Add("320 x 240");
    Quality = Add("Quality", "High");
    Quality->PickList()->Items()->Add("Low");
    Quality->PickList()->Items()->Add("High");
    Day = Add("Day", "");
    Start = Add("Start", "");
    Inspector->RebuildRows();
    Form->Show();
    Pump();
    Inspector->SetFocus();
    Pump();
  }
  void TearDown() override {
    Inspector->SetDataSource(nullptr);
    Form->Free();
    TFormsTest::TearDown();
  }
  TkvInspectorItem* Add(const std::string& Key, const std::string& Value) { return AddOption(Inspector, Key, Value); }
  void Select(TkvInspectorItem* Item) {
    Inspector->SetActiveItem(Item);
    Pump();
  }
  void Bind() {
    Set = new TMemoryDataSet(Form);
    Set->FieldDefs()->Add("DAY", ftDate);
    Set->FieldDefs()->Add("START", ftTime);
    Set->Open();
    Set->AppendRecord({"", ""});
    Source = new TDataSource(Form);
    Source->SetDataSet(Set);
    Inspector->SetDataSource(Source);
    Day->SetDataField("DAY");
    Start->SetDataField("START");
  }

  TForm* Form = nullptr;
  TkvDataInspector* Inspector = nullptr;
  TMemoryDataSet* Set = nullptr;
  TDataSource* Source = nullptr;
  TkvInspectorItem *Text, *Size, *Quality, *Day, *Start;
  std::vector<TObject*> Announced;
};

TEST_F(InspectorSharedEditorsTest, ComboIsAnnouncedOnceForAllPickListRows) {
  Select(Text);
  EXPECT_TRUE(Announced.empty()) << "nothing made for a text row";
  Select(Size);
  ASSERT_NE(Inspector->ComboBox(), nullptr);
  ASSERT_EQ(Announced.size(), 1u);
  EXPECT_EQ(Announced[0], Inspector->ComboBox());
  EXPECT_EQ(Inspector->ActiveEditorControl(), Inspector->ComboBox());
  Select(Quality);
  Select(Text);
  Select(Size);
  EXPECT_EQ(Announced.size(), 1u) << "the same combo serves every pick-list row";
  EXPECT_EQ(Inspector->ComboBox()->Items()->Count(), 2);
}

TEST_F(InspectorSharedEditorsTest, BoundDateAndTimeRowsShareOnePicker) {
  Select(Day);
  EXPECT_EQ(Inspector->DateTimePicker(), nullptr) << "an unbound row keeps the in-place editor";
  Bind();
  // Activating the data set binds the shared picker afresh; that makes it, once.
  TkvDBDateTimePicker* Picker = Inspector->DateTimePicker();
  ASSERT_NE(Picker, nullptr);
  ASSERT_EQ(Announced.size(), 1u);
  EXPECT_EQ(Announced[0], Picker);
  EXPECT_EQ(Picker->Owner(), Inspector);

  struct TCase {
    const char* Name;
    TkvInspectorItem* Item;
    bool Button;  // a time field has no calendar to drop down
  };
  const TCase Cases[] = {
      {"date field", Day, true},
      {"time field", Start, false},
      {"date field again", Day, true},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Select(Text);
    Select(Case.Item);
    EXPECT_EQ(Inspector->ActiveEditorControl(), Picker);
    EXPECT_EQ(Picker->ShowButton(), Case.Button);
    EXPECT_FALSE(Inspector->UsesInplaceEdit());
  }
  EXPECT_EQ(Announced.size(), 1u);
  EXPECT_EQ(Inspector->GetDateTimePicker(), Picker);

  // Switching the automatic picker off puts the row back on the in-place editor.
  Day->SetOptions(TkvInspectorItemOptions{});
  Select(Text);
  Select(Day);
  EXPECT_NE(Inspector->ActiveEditorControl(), Picker);
}

}  // namespace
}  // namespace FormsTest
