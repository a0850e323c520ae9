// Data links: the notifications each link hears, in order and with their arguments, in one log
// with the data set's and the data source's own events; and the record windows a grid reads its
// rows through (BufferCount, ActiveRecord, RecordCount).

#include "db_fixture.h"

namespace {

std::string CurrentId(TDataSet& Set) {
  return "id=" + Set.FieldByName("ID")->AsString();
}

// The IDs of the rows a grid would paint: every record of the window, switching ActiveRecord
// and putting it back, as the grid does around painting.
std::vector<int> Rows(TDataLink& Link) {
  std::vector<int> Result;
  const int Saved = Link.ActiveRecord();
  for (int Row = 0; Row < Link.RecordCount(); ++Row) {
    Link.SetActiveRecord(Row);
    Result.push_back(Link.DataSet()->FieldByName("ID")->AsInteger());
  }
  Link.SetActiveRecord(Saved);
  return Result;
}

class TLinkEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    Items = MakeItems(20);
    Source.reset(new TDataSource(nullptr));
    Source->OnStateChange = TNotifyEvent([this](TObject*) {
      Log.Add("src.StateChange(" + EnumInfoOf<TDataSetState>().Name(Source->State()) + ")");
    });
    Source->SetDataSet(Items.get());
    Grid = std::make_unique<TLogLink>("grid", Log);
    Grid->Describe = [this] { return CurrentId(*Items); };
    Grid->SetBufferCount(5);
    Grid->SetDataSource(Source.get());
    Edit = std::make_unique<TFieldProbe>("edit", Log, Source.get(), "Name");
    LogDataSetEvents(*Items, Log);
    Log.Clear();
  }

  TEventLog Log;
  TOwned<TMemoryDataSet> Items;
  TOwned<TDataSource> Source;
  std::unique_ptr<TLogLink> Grid;
  std::unique_ptr<TFieldProbe> Edit;
};

TEST_F(TLinkEvents, CloseAndOpen) {
  Items->Close();
  EXPECT_LOG(Log, {"ds.BeforeClose", "grid.ActiveChanged(false)", "edit.DataChange[]",
                   "edit.ActiveChange(false)", "src.StateChange(dsInactive)", "ds.AfterClose"});
  EXPECT_EQ(Edit->Link.Field(), nullptr);
  Log.Clear();
  Items->Open();
  // Links become active first, then read the data set once.
  EXPECT_LOG(Log, {"ds.BeforeOpen", "grid.ActiveChanged(true)", "edit.DataChange[Item 001]",
                   "edit.ActiveChange(true)", "src.StateChange(dsBrowse)", "grid.DataSetChanged ar=0 id=1",
                   "edit.DataChange[Item 001]", "ds.AfterOpen", "ds.AfterScroll"});
}

TEST_F(TLinkEvents, ScrollsReportTheDistanceOfEachWindow) {
  Items->Next();
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeScroll", "grid.DataSetScrolled(0) ar=1 id=2",
                   "edit.DataChange[Item 002]", "ds.AfterScroll"});
  Items->MoveBy(3);  // to the window's last row: the grid does not scroll
  Items->Next();     // past it: the grid scrolls by one row
  Items->MoveBy(10);
  Items->MoveBy(-6);
  Log.Clear();
  Items->Prior();
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeScroll", "grid.DataSetScrolled(-1) ar=0 id=9",
                   "edit.DataChange[Item 009]", "ds.AfterScroll"});
}

TEST_F(TLinkEvents, EditTypePostInOneLog) {
  Edit->Type("Renamed");
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeEdit", "grid.EditingChanged(true)",
                   "edit.EditingChange(true)", "src.StateChange(dsEdit)", "grid.RecordChanged(nil)",
                   "edit.DataChange[Item 001]", "ds.AfterEdit"});
  EXPECT_EQ(Items->State(), dsEdit);
  EXPECT_EQ(Edit->Text, "Renamed");
  Log.Clear();
  Items->Post();
  // The edit writes its text during UpdateData and does not hear its own field change back.
  EXPECT_LOG(Log, {"grid.UpdateData", "edit.UpdateData[Renamed]", "grid.RecordChanged(Name)",
                   "grid.CheckBrowseMode", "ds.BeforePost", "grid.EditingChanged(false)",
                   "edit.EditingChange(false)", "src.StateChange(dsBrowse)", "grid.DataSetChanged ar=0 id=1",
                   "edit.DataChange[Renamed]", "ds.AfterPost"});
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "Renamed");
}

TEST_F(TLinkEvents, FieldChangesReachEveryLinkButTheWriter) {
  Items->Edit();
  Log.Clear();
  Items->FieldByName("Price")->SetAsFloat(9);
  Items->FieldByName("Name")->SetAsString("Direct");
  EXPECT_LOG(Log, {"grid.RecordChanged(Price)", "grid.RecordChanged(Name)", "edit.DataChange[Direct]"});
  Log.Clear();
  Items->Cancel();
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeCancel", "grid.EditingChanged(false)",
                   "edit.EditingChange(false)", "src.StateChange(dsBrowse)", "grid.DataSetChanged ar=0 id=1",
                   "edit.DataChange[Item 001]", "ds.AfterCancel"});
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "Item 001");
}

TEST_F(TLinkEvents, InsertAndDelete) {
  Items->MoveBy(2);
  Log.Clear();
  Items->Insert();
  EXPECT_LOG(Log, {"grid.CheckBrowseMode", "ds.BeforeInsert", "ds.BeforeScroll", "grid.EditingChanged(true)",
                   "edit.EditingChange(true)", "src.StateChange(dsInsert)", "ds.OnNewRecord",
                   "grid.DataSetChanged ar=2 id=", "edit.DataChange[]", "ds.AfterInsert", "ds.AfterScroll"});
  EXPECT_EQ(Rows(*Grid), (std::vector<int>{1, 2, 0, 3, 4}));
  Log.Clear();
  Items->Delete();  // deleting a new record cancels it
  EXPECT_EQ(Items->State(), dsBrowse);
  EXPECT_EQ(Rows(*Grid), (std::vector<int>{1, 2, 3, 4, 5}));
  Log.Clear();
  Items->Delete();
  EXPECT_LOG(Log,
             {"grid.CheckBrowseMode", "ds.BeforeDelete", "ds.BeforeScroll", "grid.DataSetChanged ar=2 id=4",
              "edit.DataChange[Item 004]", "ds.AfterDelete", "ds.AfterScroll"});
  EXPECT_EQ(Rows(*Grid), (std::vector<int>{1, 2, 4, 5, 6}));
}

TEST_F(TLinkEvents, LayoutFocusAndDisabledControls) {
  Items->FieldByName("Price")->SetVisible(false);
  Items->FieldByName("Name")->FocusControl();
  EXPECT_LOG(Log, {"grid.LayoutChanged", "grid.FocusControl(Name)"});
  Log.Clear();
  Items->DisableControls();
  Items->DisableControls();
  Items->Next();
  Items->Edit();
  Items->FieldByName("Name")->SetAsString("Quiet");
  Items->Post();
  Items->EnableControls();
  EXPECT_LOG(Log, {"ds.BeforeScroll", "ds.AfterScroll", "ds.BeforeEdit", "ds.AfterEdit", "ds.BeforePost",
                   "ds.AfterPost"});
  Log.Clear();
  Items->EnableControls();  // the outermost: one data-set change for everything missed
  EXPECT_LOG(Log, {"grid.DataSetChanged ar=1 id=2", "edit.DataChange[Quiet]"});
  Log.Clear();
  Items->DisableControls();
  Items->FieldByName("Price")->SetIndex(0);  // a layout change while disabled turns the catch-up into one
  Items->EnableControls();
  EXPECT_LOG(Log, {"grid.LayoutChanged"});
  EXPECT_EQ(Items->Fields()->Fields(0)->FieldName(), "Price");
}

TEST_F(TLinkEvents, DisablingTheSourceOrTheLinkReadOnly) {
  Grid->SetReadOnly(true);
  EXPECT_FALSE(Grid->Edit());
  EXPECT_EQ(Items->State(), dsBrowse);
  Source->SetEnabled(false);
  EXPECT_LOG(Log, {"grid.ActiveChanged(false)", "edit.DataChange[]", "edit.ActiveChange(false)",
                   "src.StateChange(dsInactive)"});
  Log.Clear();
  Items->Next();  // an inactive link hears nothing
  EXPECT_LOG(Log, {"ds.BeforeScroll", "ds.AfterScroll"});
  Source->SetAutoEdit(false);
  Source->SetEnabled(true);
  Log.Clear();
  Edit->Type("Refused");  // without AutoEdit the edit cannot start editing
  EXPECT_EQ(Items->State(), dsBrowse);
  EXPECT_TRUE(Log.Entries.empty());
}

TEST_F(TLinkEvents, FreeingTheDataSourceDeactivatesItsLinks) {
  Source.reset();
  EXPECT_LOG(Log, {"grid.ActiveChanged(false)", "edit.DataChange[]", "edit.ActiveChange(false)"});
  EXPECT_EQ(Grid->DataSource(), nullptr);
  EXPECT_EQ(Edit->Link.DataSource(), nullptr);
}

TEST(DataSource, RemovalNotificationClearsTheDataSet) {
  TOwned<TComponent> Form(new TComponent(nullptr));
  auto* Items = new TMemoryDataSet(Form.get());
  Items->FieldDefs()->Add("ID", ftInteger);
  Items->Open();
  auto* Source = new TDataSource(Form.get());
  Source->SetDataSet(Items);
  TEventLog Log;
  TLogLink Link("link", Log);
  Link.SetDataSource(Source);
  EXPECT_TRUE(Link.Active());
  Items->Free();
  EXPECT_EQ(Source->DataSet(), nullptr);
  EXPECT_EQ(Source->State(), dsInactive);
  EXPECT_FALSE(Link.Active());
  EXPECT_LOG(Log, {"link.ActiveChanged(true)", "link.ActiveChanged(false)"});
}

TEST(DataSource, ADataSetDeletedOutrightStillLetsGo) {
  auto* Items = new TMemoryDataSet(nullptr);
  Items->FieldDefs()->Add("ID", ftInteger);
  Items->Open();
  TOwned<TDataSource> Source(new TDataSource(nullptr));
  Source->SetDataSet(Items);
  TDataLink Link;
  Link.SetDataSource(Source.get());
  delete Items;  // not Free(): the destructors alone must detach everything
  EXPECT_EQ(Source->DataSet(), nullptr);
  EXPECT_FALSE(Link.Active());
}

// ---------------------------------------------------------------------------------------------
// Windows as a grid uses them.

struct TWindowStep {
  const char* Name;
  int Move;       // MoveBy distance; 100 = First, -100 = Last
  int Scrolled;   // the grid's DataSetScrolled distance (or -99 for DataSetChanged)
  int EditMoved;  // the one-record link's distance
  int ActiveRecord;
  std::vector<int> Rows;
};

TEST(DataLinkWindow, AGridWindowScrollsOnlyWhenTheCurrentRecordLeavesIt) {
  const TWindowStep Steps[] = {
      {"down inside the window", 4, 0, 4, 4, {1, 2, 3, 4, 5}},
      {"one past the bottom", 1, 1, 1, 4, {2, 3, 4, 5, 6}},
      {"far down", 10, 10, 10, 4, {12, 13, 14, 15, 16}},
      {"up inside", -2, 0, -2, 2, {12, 13, 14, 15, 16}},
      {"up past the top", -5, -3, -5, 0, {9, 10, 11, 12, 13}},
      {"Last", -100, -99, -99, 4, {16, 17, 18, 19, 20}},
      {"up from the end", -1, 0, -1, 3, {16, 17, 18, 19, 20}},
      {"First", 100, -99, -99, 0, {1, 2, 3, 4, 5}},
  };
  auto Items = MakeItems(20);
  TOwned<TDataSource> Source(new TDataSource(nullptr));
  Source->SetDataSet(Items.get());
  TEventLog Log;
  TLogLink Grid("grid", Log);
  Grid.SetBufferCount(5);
  Grid.SetDataSource(Source.get());
  TLogLink Edit("edit", Log);
  Edit.SetDataSource(Source.get());
  EXPECT_EQ(Items->BufferCount(), 5);
  EXPECT_EQ(Grid.RecordCount(), 5);
  EXPECT_EQ(Edit.RecordCount(), 1);
  for (const TWindowStep& Step : Steps) {
    SCOPED_TRACE(Step.Name);
    Log.Clear();
    if (Step.Move == 100)
      Items->First();
    else if (Step.Move == -100)
      Items->Last();
    else
      Items->MoveBy(Step.Move);
    auto Heard = [](const char* Tag, int Distance, int ActiveRecord) {
      return Distance == -99 ? std::string(Tag) + ".DataSetChanged ar=" + std::to_string(ActiveRecord)
                             : std::string(Tag) + ".DataSetScrolled(" + std::to_string(Distance) +
                                   ") ar=" + std::to_string(ActiveRecord);
    };
    std::vector<std::string> Expected = {"grid.CheckBrowseMode", "edit.CheckBrowseMode",
                                         Heard("grid", Step.Scrolled, Step.ActiveRecord),
                                         Heard("edit", Step.EditMoved, 0)};
    CheckLog(Log, Expected, __FILE__, __LINE__);
    EXPECT_EQ(Grid.ActiveRecord(), Step.ActiveRecord);
    EXPECT_EQ(Rows(Grid), Step.Rows);
    EXPECT_EQ(Rows(Edit), std::vector<int>{Items->FieldByName("ID")->AsInteger()});
  }
}

TEST(DataLinkWindow, BufferCountChangesKeepTheCurrentRecordInView) {
  auto Items = MakeItems(20);
  TOwned<TDataSource> Source(new TDataSource(nullptr));
  Source->SetDataSet(Items.get());
  TDataLink Grid;
  Grid.SetBufferCount(5);
  Grid.SetDataSource(Source.get());
  Items->MoveBy(15);  // record 16 on the bottom row of 12..16
  EXPECT_EQ(Rows(Grid), (std::vector<int>{12, 13, 14, 15, 16}));
  Grid.SetBufferCount(3);  // fewer visible rows: the top ones go
  EXPECT_EQ(Items->BufferCount(), 3);
  EXPECT_EQ(Rows(Grid), (std::vector<int>{14, 15, 16}));
  EXPECT_EQ(Grid.ActiveRecord(), 2);
  Grid.SetBufferCount(6);  // more rows: filled below first
  EXPECT_EQ(Rows(Grid), (std::vector<int>{14, 15, 16, 17, 18, 19}));
  EXPECT_EQ(Grid.ActiveRecord(), 2);
  Items->Last();
  Grid.SetBufferCount(8);  // nothing below the end: filled above
  EXPECT_EQ(Rows(Grid), (std::vector<int>{13, 14, 15, 16, 17, 18, 19, 20}));
  EXPECT_EQ(Grid.ActiveRecord(), 7);
  EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), 20);
  // A data set with fewer records than rows.
  auto Few = MakeItems(3);
  Source->SetDataSet(Few.get());
  EXPECT_EQ(Grid.RecordCount(), 3);
  EXPECT_EQ(Rows(Grid), (std::vector<int>{1, 2, 3}));
}

TEST(DataLinkWindow, TwoWindowsOfDifferentSizesShareTheBuffers) {
  auto Items = MakeItems(30);
  TOwned<TDataSource> Source(new TDataSource(nullptr));
  Source->SetDataSet(Items.get());
  TDataLink Big;
  Big.SetBufferCount(8);
  Big.SetDataSource(Source.get());
  TDataLink Small;
  Small.SetBufferCount(3);
  Small.SetDataSource(Source.get());
  for (int Step : {2, 5, 3, -4, 9, -1, -7, 12}) {
    SCOPED_TRACE(Step);
    Items->MoveBy(Step);
    const int Current = Items->FieldByName("ID")->AsInteger();
    for (TDataLink* Link : {&Big, &Small}) {
      const std::vector<int> Shown = Rows(*Link);
      ASSERT_FALSE(Shown.empty());
      EXPECT_EQ(Shown[static_cast<size_t>(Link->ActiveRecord())], Current);
      for (size_t Row = 1; Row < Shown.size(); ++Row) EXPECT_EQ(Shown[Row], Shown[Row - 1] + 1);
    }
  }
}

}  // namespace

namespace {

TEST(DataLinkWindow, EditsAtTheEdgesOfAFullWindow) {
  auto Items = MakeItems(6);
  TOwned<TDataSource> Source(new TDataSource(nullptr));
  Source->SetDataSet(Items.get());
  TDataLink Grid;
  Grid.SetBufferCount(4);
  Grid.SetDataSource(Source.get());
  auto Expect = [&](std::vector<int> ExpectedRows, int ActiveRecord, int Line) {
    SCOPED_TRACE("line " + std::to_string(Line));
    EXPECT_EQ(Rows(Grid), ExpectedRows);
    EXPECT_EQ(Grid.ActiveRecord(), ActiveRecord);
  };
  Items->MoveBy(3);
  Expect({1, 2, 3, 4}, 3, __LINE__);
  Items->Insert();  // on the bottom row: the record there drops out of the window
  Expect({1, 2, 3, 0}, 3, __LINE__);
  Items->Cancel();
  Expect({1, 2, 3, 4}, 3, __LINE__);
  Items->InsertRecord({100, "New"});
  Expect({1, 2, 3, 100}, 3, __LINE__);
  Items->Next();
  Expect({2, 3, 100, 4}, 3, __LINE__);
  Items->Append();  // the records before the end fill the window above the new one
  Expect({4, 5, 6, 0}, 3, __LINE__);
  Items->Cancel();  // back to the last record
  EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), 6);
  Expect({100, 4, 5, 6}, 3, __LINE__);
  Items->Delete();  // the last record: its predecessor becomes current
  Expect({3, 100, 4, 5}, 3, __LINE__);
  EXPECT_EQ(Items->RecordCount(), 6);
  Items->First();
  while (!Items->IsEmpty()) Items->Delete();
  EXPECT_TRUE(Items->Bof() && Items->Eof());
  EXPECT_EQ(Grid.RecordCount(), 0);
  Items->Insert();
  Expect({0}, 0, __LINE__);
  Items->Cancel();
  EXPECT_TRUE(Items->IsEmpty());
  Items->InsertRecord({7, "Only"});
  Expect({7}, 0, __LINE__);
  EXPECT_EQ(Items->RecNo(), 1);
}

}  // namespace
