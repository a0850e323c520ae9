// Navigation: First, Last, Next, Prior and MoveBy with the distance actually moved, Bof and Eof at
// both ends, RecNo and RecordCount. Each table runs once with the data set's own single buffer and
// once with a grid-sized window of buffers, where moves inside the window and moves that scroll
// it must give the same answers.

#include "db_fixture.h"

namespace {

struct TMoveCase {
  const char* Name;
  int StartRecNo;  // 0: right after First; -1: right after Last
  int Distance;
  int Moved;
  int RecNo;
  bool Bof;
  bool Eof;
};

// Ten records.
constexpr TMoveCase MoveCases[] = {
    {"forward inside", 0, 3, 3, 4, false, false},
    {"backward inside", 8, -5, -5, 3, false, false},
    {"zero", 5, 0, 0, 5, false, false},
    {"back from First runs into the beginning", 0, -1, 0, 1, true, false},
    {"forward from Last runs past the end", -1, 1, 0, 10, false, true},
    {"forward stops at the last record", 3, 20, 7, 10, false, true},
    {"backward stops at the first record", 7, -20, -6, 1, true, false},
    {"exactly to the last record is not yet Eof", 1, 9, 9, 10, false, false},
    {"exactly to the first record is not yet Bof", 10, -9, -9, 1, false, false},
    {"away from the beginning clears Bof", 0, 2, 2, 3, false, false},
    {"away from the end clears Eof", -1, -2, -2, 8, false, false},
};

class TNavigation : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    Items = MakeItems(10);
    Source.reset(new TDataSource(nullptr));
    Source->SetDataSet(Items.get());
    Window.SetBufferCount(GetParam());
    Window.SetDataSource(Source.get());
  }

  void MoveTo(int StartRecNo) {
    if (StartRecNo == 0) {
      Items->First();
    } else if (StartRecNo < 0) {
      Items->Last();
    } else {
      Items->First();
      Items->MoveBy(StartRecNo - 1);
    }
  }

  TOwned<TMemoryDataSet> Items;
  TOwned<TDataSource> Source;
  TDataLink Window;
};

TEST_P(TNavigation, MoveByReturnsTheDistanceMovedAndStopsAtTheEnds) {
  for (const TMoveCase& Case : MoveCases) {
    SCOPED_TRACE(Case.Name);
    MoveTo(Case.StartRecNo);
    EXPECT_EQ(Items->MoveBy(Case.Distance), Case.Moved);
    EXPECT_EQ(Items->RecNo(), Case.RecNo);
    EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), Case.RecNo);
    EXPECT_EQ(Items->Bof(), Case.Bof);
    EXPECT_EQ(Items->Eof(), Case.Eof);
    // The window always holds the current record.
    EXPECT_GE(Window.ActiveRecord(), 0);
    EXPECT_LT(Window.ActiveRecord(), Window.RecordCount());
  }
}

TEST_P(TNavigation, NextVisitsEveryRecordOnceAndPriorComesBack) {
  std::vector<int> Forward;
  for (Items->First(); !Items->Eof(); Items->Next()) Forward.push_back(Items->FieldByName("ID")->AsInteger());
  EXPECT_EQ(Forward, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  std::vector<int> Backward;
  for (Items->Last(); !Items->Bof(); Items->Prior())
    Backward.push_back(Items->FieldByName("ID")->AsInteger());
  EXPECT_EQ(Backward, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST_P(TNavigation, FirstAndLastSetTheirEnd) {
  Items->Last();
  EXPECT_TRUE(Items->Eof());
  EXPECT_FALSE(Items->Bof());
  EXPECT_EQ(Items->RecNo(), 10);
  Items->First();
  EXPECT_TRUE(Items->Bof());
  EXPECT_FALSE(Items->Eof());
  EXPECT_EQ(Items->RecNo(), 1);
  EXPECT_EQ(Items->RecordCount(), 10);
}

TEST_P(TNavigation, RecNoWriteMovesToThatRecord) {
  Items->SetRecNo(7);
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "Item 007");
  Items->SetRecNo(0);  // outside the records: no move
  Items->SetRecNo(11);
  EXPECT_EQ(Items->RecNo(), 7);
  Items->SetRecNo(1);
  EXPECT_EQ(Items->RecNo(), 1);
}

INSTANTIATE_TEST_SUITE_P(Windows, TNavigation, ::testing::Values(1, 4),
                         [](const ::testing::TestParamInfo<int>& Info) {
                           return "Buffers" + std::to_string(Info.param);
                         });

TEST(Navigation, AnEmptyDataSetIsAtBothEnds) {
  auto Items = MakeItems(0);
  EXPECT_TRUE(Items->IsEmpty());
  EXPECT_TRUE(Items->Bof());
  EXPECT_TRUE(Items->Eof());
  EXPECT_EQ(Items->MoveBy(1), 0);
  EXPECT_EQ(Items->MoveBy(-1), 0);
  Items->Last();
  Items->First();
  EXPECT_TRUE(Items->Bof() && Items->Eof());
  EXPECT_TRUE(Items->FieldByName("Name")->IsNull());
  EXPECT_EQ(Items->RecordCount(), 0);
  EXPECT_TRUE(Items->GetBookmark().empty());
}

TEST(Navigation, ScrollEventsFireAroundEveryAttemptedMove) {
  auto Items = MakeItems(3);
  TEventLog Log;
  LogDataSetEvents(*Items, Log);
  Items->Next();
  Items->Last();
  Items->Next();  // nothing to move to: before, never after
  Items->MoveBy(0);
  EXPECT_LOG(Log, {"ds.BeforeScroll", "ds.AfterScroll", "ds.BeforeScroll", "ds.AfterScroll",
                   "ds.BeforeScroll", "ds.BeforeScroll"});
}

}  // namespace
