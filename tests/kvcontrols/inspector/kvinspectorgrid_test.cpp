// The inspector as a grid: the redraw lock, column widths and the caption-width limits, row
// heights, vertical scrolling as the program drives it, points to items, and items bound to a
// data set.

#include <gtest/gtest.h>

#include <string>

#include "kvcontrols/editors/kvinspector.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/memorydataset.h"
#include "platform/user/paint.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {
namespace {

class InspectorGridTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(0, 0, 320, 300);
    Inspector = new TkvDataInspector(Form);
    Inspector->SetName("Inspector");
    Inspector->SetBorderStyle(bsNone);
    Inspector->SetBounds(0, 0, 240, 200);
    Inspector->SetDefaultRowHeight(20);
    Inspector->SetParent(Form);
    for (int Index = 0; Index < 30; ++Index) {
      TkvInspectorItem* Item = Inspector->Items()->Add();
      Item->SetCaption("Option " + std::to_string(Index));
      Item->SetTagString("Key" + std::to_string(Index));
    }
    Inspector->RebuildRows();
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    TFormsTest::TearDown();
  }
  bool HasUpdate() {
    RECT Rect{};
    return GetUpdateRect(Inspector->Handle(), &Rect, FALSE) != 0;
  }
  void Settle() {
    Pump();
    ValidateRect(Inspector->Handle(), nullptr);
  }

  TForm* Form = nullptr;
  TkvDataInspector* Inspector = nullptr;
};

TEST_F(InspectorGridTest, RedrawLockSequences) {
  struct TCase {
    const char* Name;
    const char* Steps;  // L lock, 0 unlock, 1 unlock with repaint, H hide, S show, P paint
    const char* RedrawMessages;  // wParams of WM_SETREDRAW in order
    bool Repainted;
  };
  const TCase Cases[] = {
      {"nested pairs repaint once, at the outermost unlock", "LL01", "0 1", true},
      {"a pair without repaint request", "L0", "0 1", false},
      {"unlock without lock switches redrawing on", "1", "1", true},
      {"a lock while hidden does nothing", "HLSP1", "1", true},
      // A table hidden between a lock and its unlock must not keep the counter up: the next
      // pair still switches redrawing off and on and repaints.
      {"hidden between lock and unlock", "LH1SPL1", "0 0 1", true},
  };
  Log.Attach(Inspector, "Inspector");
  Log.Only = {WM_SETREDRAW};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Settle();
    Log.Clear();
    for (const char* Step = Case.Steps; *Step; ++Step) {
      switch (*Step) {
        case 'L': Inspector->LockRedraw(); break;
        case '0': Inspector->UnlockRedraw(false); break;
        case '1': Inspector->UnlockRedraw(true); break;
        case 'H': Inspector->Hide(); break;
        case 'S': Inspector->Show(); break;
        case 'P': Settle(); break;
      }
    }
    std::string Seen;
    for (const TLoggedControlMessage& Entry : Log.Entries())
      Seen += (Seen.empty() ? "" : " ") + std::to_string(Entry.WParamValue);
    EXPECT_EQ(Seen, Case.RedrawMessages);
    EXPECT_EQ(HasUpdate(), Case.Repainted);
    EXPECT_EQ(Inspector->RedrawLockCount(), 0);
    EXPECT_TRUE(IsWindowVisible(Inspector->Handle()));
  }
}

TEST_F(InspectorGridTest, CaptionWidthIsLimitedToTheClientWidth) {
  struct TCase {
    const char* Name;
    int ControlWidth;
    int Value;
    int Expected;
  };
  const TCase Cases[] = {
      {"below the minimum", 240, 5, 10},
      {"inside the range", 240, 60, 60},
      {"up to client width - 20", 120, 150, 100},
      {"exactly the maximum", 120, 100, 100},
  };
  // Few rows: no scroll bar, so the client is as wide as the control.
  for (int Index = 29; Index >= 5; --Index) Inspector->Items()->Items(Index)->SetVisible(false);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Inspector->SetBounds(0, 0, Case.ControlWidth, 200);
    ASSERT_EQ(Inspector->ClientWidth(), Case.ControlWidth);
    Inspector->SetCaptionWidth(Case.Value);
    EXPECT_EQ(Inspector->CaptionWidth(), Case.Expected);
    EXPECT_EQ(Inspector->ColWidths(0), Case.Expected);
    EXPECT_EQ(Inspector->ColWidths(1), Case.ControlWidth - Case.Expected) << "the value column takes the rest";
  }
  // A hidden caption column stays hidden and keeps the width it would come back with.
  Inspector->SetBounds(0, 0, 240, 200);
  Inspector->SetCaptionWidth(80);
  Inspector->SetOptions(Inspector->Options() + ovHideCaptionColumn);
  EXPECT_EQ(Inspector->ColWidths(0), 0);
  Inspector->SetCaptionWidth(50);
  EXPECT_EQ(Inspector->ColWidths(0), 0);
  EXPECT_EQ(Inspector->CaptionWidth(), 80);
}

TEST_F(InspectorGridTest, SeveralDataColumnsShareTheDataWidth) {
  for (int Index = 29; Index >= 5; --Index) Inspector->Items()->Items(Index)->SetVisible(false);
  Inspector->SetBounds(0, 0, 300, 200);
  ASSERT_EQ(Inspector->ClientWidth(), 300);
  Inspector->SetCaptionWidth(100);
  Inspector->SetDataColumns(3);
  EXPECT_EQ(Inspector->ColCount(), 4);
  for (int Col = 1; Col <= 3; ++Col) EXPECT_EQ(Inspector->ColWidths(Col), 66) << Col;
  EXPECT_EQ(Inspector->ColWidths(0), 300 - 3 * 66) << "the caption column takes the remainder";
}

TEST_F(InspectorGridTest, RowHeightsFollowDefaultCellHeightAndFont) {
  Inspector->Items()->Items(2)->SetCellHeight(35);
  EXPECT_EQ(Inspector->RowHeights(0), 20);
  EXPECT_EQ(Inspector->RowHeights(2), 35);
  Inspector->Items()->Items(2)->SetCellHeight(0);
  EXPECT_EQ(Inspector->RowHeights(2), 20);

  // DefaultRowHeight 0: the rows follow the font, and a larger font gives taller rows.
  Inspector->SetDefaultRowHeight(0);
  const int Natural = Inspector->RowHeights(0);
  EXPECT_EQ(Natural, Inspector->NaturalRowHeight());
  Inspector->Font()->SetSize(Inspector->Font()->Size() * 2);
  Inspector->RebuildRows();
  EXPECT_GT(Inspector->RowHeights(0), Natural);
  // A fixed height wins over the font again.
  Inspector->SetDefaultRowHeight(20);
  EXPECT_EQ(Inspector->RowHeights(5), 20);
}

TEST_F(InspectorGridTest, LineDownScrollsOneRowAndUnlocks) {
  ASSERT_EQ(Inspector->TopRow(), 0);
  // The program scrolls the table with this very message.
  SendMessage(Inspector->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Inspector->TopRow(), 1);
  EXPECT_EQ(Inspector->RedrawLockCount(), 0);
  EXPECT_TRUE(IsWindowVisible(Inspector->Handle())) << "redrawing is on again";
  EXPECT_EQ(Inspector->ItemAtPoint(150, 5), Inspector->Items()->Items(1));
  // The wheel scrolls the same way.
  Inspector->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-120)), 0);
  EXPECT_EQ(Inspector->TopRow(), 2);
  for (int Step = 0; Step < 40; ++Step) SendMessage(Inspector->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Inspector->TopRow(), 30 - 10) << "stops with the last row at the bottom";
}

TEST_F(InspectorGridTest, ItemAtPoint) {
  Inspector->SetCaptionWidth(100);
  TkvInspectorItem* Third = Inspector->Items()->Items(2);
  EXPECT_EQ(Inspector->ItemAtPoint(10, 45), Third) << "over the caption";
  EXPECT_EQ(Inspector->ItemAtPoint(150, 45), Third) << "over the value of the same row";
  // Only three rows: the space below them holds no item.
  for (int Index = 29; Index >= 3; --Index) Inspector->Items()->Items(Index)->SetVisible(false);
  EXPECT_EQ(Inspector->ItemAtPoint(150, 70), nullptr);
  Inspector->IndicatorRow()->SetEnabled(true);
  EXPECT_EQ(Inspector->ItemAtPoint(150, 5), nullptr) << "the indicator row";
  EXPECT_EQ(Inspector->ItemAtPoint(150, 25), Inspector->Items()->Items(0));
}

TEST_F(InspectorGridTest, BoundItemFollowsItsRecord) {
  auto* Set = new TMemoryDataSet(Form);
  Set->FieldDefs()->Add("Name", ftString, 20);
  Set->FieldDefs()->Add("Enabled", ftString, 5);
  Set->Open();
  Set->AppendRecord({"first", "True"});
  Set->AppendRecord({"second", "False"});
  auto* Source = new TDataSource(Form);
  Source->SetDataSet(Set);

  TkvInspectorItem* Name = Inspector->Items()->Items(0);
  TkvInspectorItem* Flag = Inspector->Items()->Items(1);
  Flag->PickList()->Items()->Add("True");
  Flag->PickList()->Items()->Add("False");
  Inspector->SetDataSource(Source);
  Name->SetDataField("Name");
  Flag->SetDataField("enabled");  // field names ignore case
  // An item takes over the inspector's source rather than keeping its own copy.
  Name->SetDataSource(Source);
  EXPECT_FALSE(Name->HasOwnDataSource());
  EXPECT_EQ(Name->DataSource(), Source);

  Set->First();
  EXPECT_EQ(Name->CurrentValue(), "first");
  EXPECT_TRUE(Flag->IsChecked());
  Set->Next();
  EXPECT_EQ(Name->CurrentValue(), "second");
  EXPECT_FALSE(Flag->IsChecked());
  EXPECT_EQ(Inspector->FindItemByDataField("NAME"), Name);

  // Writing the check state goes into the record, and the item's text follows the field.
  Flag->SetChecked(true);
  EXPECT_EQ(Set->FieldByName("Enabled")->AsString(), "True");
  EXPECT_EQ(Flag->EditText(), "True");
  Set->Post();
  Set->First();
  EXPECT_EQ(Name->CurrentValue(), "first");
  Set->Last();
  EXPECT_EQ(Set->FieldByName("Enabled")->AsString(), "True");

  // A read-only inspector refuses the write.
  Inspector->SetReadOnly(true);
  Flag->SetChecked(false);
  EXPECT_EQ(Set->FieldByName("Enabled")->AsString(), "True");
  Inspector->SetDataSource(nullptr);
}

TEST_F(InspectorGridTest, UnboundInspectorWithoutItemsShowsTheFields) {
  auto* Set = new TMemoryDataSet(Form);
  Set->FieldDefs()->Add("Name", ftString, 20);
  Set->FieldDefs()->Add("Count", ftInteger);
  Set->Open();
  Set->AppendRecord({"only", 3});
  auto* Source = new TDataSource(Form);
  Source->SetDataSet(Set);
  Inspector->Items()->Clear();
  Inspector->SetDataSource(Source);
  ASSERT_EQ(Inspector->Items()->Count(), 2) << "one row per field, made when the data set became active";
  EXPECT_EQ(Inspector->Items()->Items(1)->Caption(), "Count");
  EXPECT_EQ(Inspector->Items()->Items(1)->DataField(), "Count");
  EXPECT_EQ(Inspector->Items()->Items(1)->CurrentValue(), "3");
  Inspector->SetDataSource(nullptr);
}

}  // namespace
}  // namespace FormsTest
