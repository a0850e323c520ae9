// Bookmarks: a bookmark keeps naming its record across edits (also when the edit moves the record
// in a sorted data set), inserts and deletes of other records; it goes invalid when its own
// record is deleted; comparisons follow the order shown.

#include "db_fixture.h"

namespace {

int Id(TDataSet& Set) {
  return Set.FieldByName("ID")->AsInteger();
}

TEST(Bookmarks, SurviveInsertsAndDeletesOfOtherRecords) {
  auto Items = MakeItems(10);
  TOwned<TDataSource> Source(new TDataSource(nullptr));
  Source->SetDataSet(Items.get());
  TDataLink Grid;
  Grid.SetBufferCount(4);
  Grid.SetDataSource(Source.get());

  Items->MoveBy(5);
  const TBookmark Six = Items->GetBookmark();
  ASSERT_FALSE(Six.empty());
  Items->First();
  Items->InsertRecord({100, "Before all"});
  Items->Last();
  Items->Delete();  // record 10
  Items->SetRecNo(3);
  Items->Delete();  // record 2 (the inserted record is now first)
  Items->GotoBookmark(Six);
  EXPECT_EQ(Id(*Items), 6);
  EXPECT_EQ(Items->RecNo(), 6);  // 100, 1, 3, 4, 5, 6
  EXPECT_TRUE(Items->BookmarkValid(Six));
}

TEST(Bookmarks, FollowTheirRecordWhenAnEditMovesIt) {
  auto Items = MakeItems(10);
  Items->SetSortFields("Name");
  Items->SetRecNo(3);
  const TBookmark Third = Items->GetBookmark();
  Items->Edit();
  Items->FieldByName("Name")->SetAsString("Zulu");
  Items->Post();
  EXPECT_EQ(Id(*Items), 3);  // the current record moved with its edit
  EXPECT_EQ(Items->RecNo(), 10);
  Items->First();
  Items->GotoBookmark(Third);
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "Zulu");
}

TEST(Bookmarks, OfADeletedRecordAreInvalid) {
  auto Items = MakeItems(5);
  Items->MoveBy(2);
  const TBookmark Three = Items->GetBookmark();
  Items->Delete();
  EXPECT_EQ(Id(*Items), 4);
  EXPECT_FALSE(Items->BookmarkValid(Three));
  Items->First();
  try {
    Items->GotoBookmark(Three);
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Record not found");
  }
  EXPECT_EQ(Id(*Items), 1);  // the position stays
}

TEST(Bookmarks, NoneWhileInsertingOrEmpty) {
  auto Items = MakeItems(3);
  Items->Insert();
  EXPECT_TRUE(Items->GetBookmark().empty());
  EXPECT_FALSE(Items->BookmarkAvailable());
  Items->Cancel();
  EXPECT_FALSE(Items->GetBookmark().empty());
  Items->Edit();
  EXPECT_FALSE(Items->GetBookmark().empty());  // an edited record keeps its bookmark
  Items->Cancel();
  Items->EmptyDataSet();
  EXPECT_TRUE(Items->GetBookmark().empty());
  Items->GotoBookmark(TBookmark());  // no bookmark: no move, no error
}

TEST(Bookmarks, CompareByPositionAndFree) {
  auto Items = MakeItems(6);
  Items->SetSortFields("ID");
  Items->SetSortOptions({msoDescending});
  Items->First();
  TBookmark Six = Items->GetBookmark();
  Items->Last();
  const TBookmark One = Items->GetBookmark();
  struct TCompareCase {
    const char* Name;
    TBookmark A, B;
    int Expected;
  } Cases[] = {
      {"shown earlier", Six, One, -1},    {"shown later", One, Six, 1},
      {"same record", One, One, 0},       {"none first", TBookmark(), One, -1},
      {"none last", One, TBookmark(), 1}, {"none and none", TBookmark(), TBookmark(), 0},
  };
  for (const TCompareCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(Items->CompareBookmarks(Case.A, Case.B), Case.Expected);
  }
  Items->FreeBookmark(Six);
  EXPECT_TRUE(Six.empty());
}

}  // namespace
