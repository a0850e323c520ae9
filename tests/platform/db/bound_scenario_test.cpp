// Two field data links (an edit for Name and one for Price) and a grid-like data link of ten rows
// on an in-memory data set of three hundred records: moves, edits, posts, cancels, deletes and a
// refused post, with every notification in one log and every value checked.

#include "db_fixture.h"

namespace {

class TBoundScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    Items = MakeItems(300);
    Source.reset(new TDataSource(nullptr));
    Source->SetDataSet(Items.get());
    Grid = std::make_unique<TLogLink>("grid", Log);
    Grid->Describe = [this] { return "id=" + Items->FieldByName("ID")->AsString(); };
    Grid->SetBufferCount(10);
    Grid->SetDataSource(Source.get());
    Name = std::make_unique<TFieldProbe>("name", Log, Source.get(), "Name");
    Price = std::make_unique<TFieldProbe>("price", Log, Source.get(), "Price");
    LogDataSetEvents(*Items, Log);
    Log.Clear();
  }

  std::vector<int> GridRows() {
    std::vector<int> Result;
    const int Saved = Grid->ActiveRecord();
    for (int Row = 0; Row < Grid->RecordCount(); ++Row) {
      Grid->SetActiveRecord(Row);
      Result.push_back(Items->FieldByName("ID")->AsInteger());
    }
    Grid->SetActiveRecord(Saved);
    return Result;
  }

  // The controls show what the current record holds.
  void ExpectControlsShowCurrentRecord() {
    EXPECT_EQ(Name->Text, Items->FieldByName("Name")->DisplayText());
    EXPECT_EQ(Price->Text, Items->FieldByName("Price")->DisplayText());
  }

  TEventLog Log;
  TOwned<TMemoryDataSet> Items;
  TOwned<TDataSource> Source;
  std::unique_ptr<TLogLink> Grid;
  std::unique_ptr<TFieldProbe> Name;
  std::unique_ptr<TFieldProbe> Price;
};

TEST_F(TBoundScenario, MoveEditPostCancelDelete) {
  EXPECT_EQ(Items->BufferCount(), 10);
  EXPECT_EQ(Name->Text, "Item 001");
  EXPECT_EQ(Price->Text, "1.5");

  // Last: the whole window is read again.
  Items->Last();
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeScroll", "grid.DataSetChanged ar=9 id=300",
                   "name.DataChange[Item 300]", "price.DataChange[450]", "ds.AfterScroll"});
  EXPECT_EQ(GridRows(), (std::vector<int>{291, 292, 293, 294, 295, 296, 297, 298, 299, 300}));
  Log.Clear();

  // A long move up: each link hears how far its own window moved.
  EXPECT_EQ(Items->MoveBy(-150), -150);
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeScroll", "grid.DataSetScrolled(-141) ar=0 id=150",
                   "name.DataChange[Item 150]", "price.DataChange[225]", "ds.AfterScroll"});
  EXPECT_EQ(Items->RecNo(), 150);
  EXPECT_EQ(GridRows(), (std::vector<int>{150, 151, 152, 153, 154, 155, 156, 157, 158, 159}));
  ExpectControlsShowCurrentRecord();
  Log.Clear();

  // Typing into the name edit starts the edit.
  Name->Type("Renamed 150");
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeEdit", "grid.EditingChanged(true)",
                   "name.EditingChange(true)", "price.EditingChange(true)", "grid.RecordChanged(nil)",
                   "name.DataChange[Item 150]", "price.DataChange[225]", "ds.AfterEdit"});
  Log.Clear();
  Price->Type("99.5");  // already editing: nothing to hear
  EXPECT_LOG(Log, {});

  // Post: each edit writes its text; the others hear the field change.
  Items->Post();
  EXPECT_LOG(Log, {"grid.UpdateData", "name.UpdateData[Renamed 150]", "grid.RecordChanged(Name)",
                   "price.UpdateData[99.5]", "grid.RecordChanged(Price)", "grid.CheckBrowseMode",
                   "ds.BeforePost", "grid.EditingChanged(false)", "name.EditingChange(false)",
                   "price.EditingChange(false)", "grid.DataSetChanged ar=0 id=150",
                   "name.DataChange[Renamed 150]", "price.DataChange[99.5]", "ds.AfterPost"});
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "Renamed 150");
  EXPECT_EQ(Items->FieldByName("Price")->AsFloat(), 99.5);
  EXPECT_EQ(Items->RecNo(), 150);
  Log.Clear();

  // A move inside the grid's window.
  EXPECT_EQ(Items->MoveBy(3), 3);
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeScroll", "grid.DataSetScrolled(0) ar=3 id=153",
                   "name.DataChange[Item 153]", "price.DataChange[229.5]", "ds.AfterScroll"});
  Log.Clear();

  // Edit, then cancel: the record and the controls come back.
  Name->Type("Oops");
  Log.Clear();
  Items->Cancel();
  EXPECT_LOG(Log,
             {"grid.CheckBrowseMode", "ds.BeforeCancel", "grid.EditingChanged(false)",
              "name.EditingChange(false)", "price.EditingChange(false)", "grid.DataSetChanged ar=3 id=153",
              "name.DataChange[Item 153]", "price.DataChange[229.5]", "ds.AfterCancel"});
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "Item 153");
  ExpectControlsShowCurrentRecord();
  Log.Clear();

  // Delete: the next record takes the row.
  Items->Delete();
  EXPECT_LOG(Log,
             {"grid.CheckBrowseMode", "ds.BeforeDelete", "ds.BeforeScroll", "grid.DataSetChanged ar=3 id=154",
              "name.DataChange[Item 154]", "price.DataChange[231]", "ds.AfterDelete", "ds.AfterScroll"});
  EXPECT_EQ(Items->RecordCount(), 299);
  EXPECT_EQ(GridRows(), (std::vector<int>{150, 151, 152, 154, 155, 156, 157, 158, 159, 160}));
  ExpectControlsShowCurrentRecord();
  Log.Clear();

  // Insert before 154, filled through the field and the edits, posted.
  Items->Insert();
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeInsert", "ds.BeforeScroll", "grid.EditingChanged(true)",
                   "name.EditingChange(true)", "price.EditingChange(true)", "ds.OnNewRecord",
                   "grid.DataSetChanged ar=3 id=", "name.DataChange[]", "price.DataChange[]",
                   "ds.AfterInsert", "ds.AfterScroll"});
  EXPECT_EQ(GridRows(), (std::vector<int>{150, 151, 152, 0, 154, 155, 156, 157, 158, 159}));
  Items->FieldByName("ID")->SetAsInteger(1000);
  Name->Type("Inserted");
  Price->Type("1,000");  // refused when posted: the record stays as typed
  Log.Clear();
  try {
    Items->Post();
    FAIL() << "the price text must be refused";
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "'1,000' is not a valid floating point value for field 'Price'");
  }
  EXPECT_LOG(Log, {"grid.UpdateData", "name.UpdateData[Inserted]", "grid.RecordChanged(Name)",
                   "price.UpdateData[1,000]"});
  EXPECT_EQ(Items->State(), dsInsert);
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "Inserted");
  EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), 1000);
  EXPECT_TRUE(Items->FieldByName("Price")->IsNull());
  Price->Type("1000");
  Items->Post();
  EXPECT_EQ(Items->State(), dsBrowse);
  EXPECT_EQ(Items->RecNo(), 153);
  EXPECT_EQ(Items->RecordCount(), 300);
  EXPECT_EQ(GridRows(), (std::vector<int>{150, 151, 152, 1000, 154, 155, 156, 157, 158, 159}));
  EXPECT_EQ(Name->Text, "Inserted");
  EXPECT_EQ(Price->Text, "1000");
  Log.Clear();

  // Bookmarks across all of it, and the way back to the top.
  const TBookmark Inserted = Items->GetBookmark();
  Items->First();
  EXPECT_EQ(GridRows(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  Log.Clear();
  Items->GotoBookmark(Inserted);
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeScroll", "grid.DataSetChanged ar=4 id=1000",
                   "name.DataChange[Inserted]", "price.DataChange[1000]", "ds.AfterScroll"});
  EXPECT_EQ(GridRows(), (std::vector<int>{149, 150, 151, 152, 1000, 154, 155, 156, 157, 158}));
  ExpectControlsShowCurrentRecord();

  // Walking every record shows each one in both edits.
  int Visited = 0;
  for (Items->First(); !Items->Eof(); Items->Next()) {
    ++Visited;
    ASSERT_EQ(Name->Text, Items->FieldByName("Name")->DisplayText());
    ASSERT_EQ(Price->Text, Items->FieldByName("Price")->DisplayText());
  }
  EXPECT_EQ(Visited, 300);
  Log.Clear();
  Items->Close();
  EXPECT_LOG(Log,
             {"ds.BeforeClose", "grid.ActiveChanged(false)", "name.DataChange[]", "name.ActiveChange(false)",
              "price.DataChange[]", "price.ActiveChange(false)", "ds.AfterClose"});
}

}  // namespace
