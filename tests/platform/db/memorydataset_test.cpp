// The in-memory data set: the order records are kept and shown in, the sort order, the record
// filter, numbering of auto-increment fields, and what survives closing.

#include "db_fixture.h"

namespace {

std::vector<std::string> Names(TDataSet& Set) {
  std::vector<std::string> Result;
  TBookmark Saved = Set.GetBookmark();
  for (Set.First(); !Set.Eof(); Set.Next()) Result.push_back(Set.FieldByName("Name")->AsString());
  if (!Saved.empty() && Set.BookmarkValid(Saved)) Set.GotoBookmark(Saved);
  return Result;
}

TOwned<TMemoryDataSet> MakePeople() {
  TOwned<TMemoryDataSet> Set(new TMemoryDataSet(nullptr));
  Set->FieldDefs()->Add("No", ftAutoInc);
  Set->FieldDefs()->Add("Name", ftString, 20);
  Set->FieldDefs()->Add("Age", ftInteger);
  Set->Open();
  Set->AppendRecord({TFieldValue(), "carol", 35});
  Set->AppendRecord({TFieldValue(), "Alice", 30});
  Set->AppendRecord({TFieldValue(), "bob", 25});
  Set->AppendRecord({TFieldValue(), "Dave", 30});
  Set->First();
  return Set;
}

TEST(MemoryDataSet, InsertGoesBeforeTheCurrentRecordAppendToTheEnd) {
  auto Set = MakePeople();
  Set->Next();
  Set->InsertRecord({TFieldValue(), "Eve", 40});
  EXPECT_EQ(Set->FieldByName("Name")->AsString(), "Eve");
  EXPECT_EQ(Set->RecNo(), 2);
  Set->AppendRecord({TFieldValue(), "Zed", 1});
  EXPECT_EQ(Names(*Set), (std::vector<std::string>{"carol", "Eve", "Alice", "bob", "Dave", "Zed"}));
  // Auto-increment fields are numbered on post.
  EXPECT_EQ(Set->FieldByName("No")->AsInteger(), 6);
  Set->Locate("Name", TFieldValue("Eve"), {});
  EXPECT_EQ(Set->FieldByName("No")->AsInteger(), 5);
}

TEST(MemoryDataSet, SortOrders) {
  auto Set = MakePeople();
  struct TSortCase {
    const char* Name;
    const char* Fields;
    TMemorySortOptions Options;
    std::vector<std::string> Expected;
  } Cases[] = {
      {"as added", "", {}, {"carol", "Alice", "bob", "Dave"}},
      {"by name, byte order", "Name", {}, {"Alice", "Dave", "bob", "carol"}},
      {"by name, ignoring case", "Name", {msoCaseInsensitive}, {"Alice", "bob", "carol", "Dave"}},
      {"descending", "Name", {msoCaseInsensitive, msoDescending}, {"Dave", "carol", "bob", "Alice"}},
      {"two keys, ties keep their order", "Age", {}, {"bob", "Alice", "Dave", "carol"}},
      {"two keys", "Age;Name", {msoDescending}, {"carol", "Dave", "Alice", "bob"}},
  };
  for (const TSortCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Set->SetSortOptions(Case.Options);
    Set->SetSortFields(Case.Fields);
    EXPECT_EQ(Names(*Set), Case.Expected);
  }
  EXPECT_THROW(Set->SetSortFields("Nope"), EDatabaseError);
  EXPECT_EQ(Set->SortFields(), "Age;Name");  // refused, and the data set still works
  EXPECT_EQ(Names(*Set).size(), 4u);
  Set->Close();
  Set->SetSortFields("Nope");
  EXPECT_THROW(Set->Open(), EDatabaseError);
  EXPECT_FALSE(Set->Active());
}

TEST(MemoryDataSet, ChangingTheSortKeepsTheCurrentRecord) {
  auto Set = MakePeople();
  Set->SetRecNo(3);  // bob
  Set->SetSortFields("Name");
  EXPECT_EQ(Set->FieldByName("Name")->AsString(), "bob");
  EXPECT_EQ(Set->RecNo(), 3);
  // A post that changes the key moves the record; the cursor goes with it.
  Set->Edit();
  Set->FieldByName("Name")->SetAsString("Aaron");
  Set->Post();
  EXPECT_EQ(Set->RecNo(), 1);
  EXPECT_EQ(Set->FieldByName("Name")->AsString(), "Aaron");
}

TEST(MemoryDataSet, FilterCallback) {
  auto Set = MakePeople();
  int Calls = 0;
  Set->OnFilterRecord = TFilterRecordEvent([&](TDataSet* Data, bool& Accept) {
    ++Calls;
    EXPECT_EQ(Data->State(), dsFilter);
    Accept = Data->FieldByName("Age")->AsInteger() >= 30;
  });
  EXPECT_EQ(Set->RecordCount(), 4);  // not filtered until Filtered is set
  Set->Last();
  TEventLog Log;
  LogDataSetEvents(*Set, Log);
  Set->SetFiltered(true);
  EXPECT_GT(Calls, 0);
  EXPECT_LOG(Log, {"ds.BeforeScroll", "ds.AfterScroll"});  // a new filter starts at the first record
  EXPECT_TRUE(Set->Bof());
  EXPECT_EQ(Names(*Set), (std::vector<std::string>{"carol", "Alice", "Dave"}));
  EXPECT_EQ(Set->RecordCount(), 3);
  EXPECT_EQ(Set->StoredRecordCount(), 4);
  // A posted record the filter refuses leaves the view; the record that followed is current.
  Set->Next();
  Set->Edit();
  Set->FieldByName("Age")->SetAsInteger(10);
  Set->Post();
  EXPECT_EQ(Set->FieldByName("Name")->AsString(), "Dave");
  EXPECT_EQ(Names(*Set), (std::vector<std::string>{"carol", "Dave"}));
  // A new record the filter refuses is stored all the same.
  Set->AppendRecord({TFieldValue(), "young", 5});
  EXPECT_EQ(Set->RecordCount(), 2);
  EXPECT_EQ(Set->StoredRecordCount(), 5);
  Set->SetFiltered(false);
  EXPECT_EQ(Names(*Set), (std::vector<std::string>{"carol", "Alice", "bob", "Dave", "young"}));
}

TEST(MemoryDataSet, AFilterSeesCalculatedFields) {
  TOwned<TComponent> Form(new TComponent(nullptr));
  auto* Set = new TMemoryDataSet(Form.get());
  auto* Value = new TIntegerField(Form.get());
  Value->SetFieldName("Value");
  Value->SetDataSet(Set);
  auto* Square = new TIntegerField(Form.get());
  Square->SetFieldName("Square");
  Square->SetFieldKind(fkCalculated);
  Square->SetDataSet(Set);
  Set->OnCalcFields =
      TDataSetNotifyEvent([&](TDataSet*) { Square->SetAsInteger(Value->AsInteger() * Value->AsInteger()); });
  Set->OnFilterRecord =
      TFilterRecordEvent([&](TDataSet*, bool& Accept) { Accept = Square->AsInteger() > 10; });
  Set->Open();  // the columns come from the persistent data fields
  EXPECT_EQ(Set->FieldDefs()->Count(), 1);
  for (int Index = 1; Index <= 5; ++Index) Set->AppendRecord({Index});
  Set->SetFiltered(true);
  std::vector<int> Seen;
  for (Set->First(); !Set->Eof(); Set->Next()) Seen.push_back(Square->AsInteger());
  EXPECT_EQ(Seen, (std::vector<int>{16, 25}));
}

TEST(MemoryDataSet, RecordsSurviveClosingButNotANewStructure) {
  auto Set = MakePeople();
  Set->Close();
  Set->Open();
  EXPECT_EQ(Set->RecordCount(), 4);
  Set->Close();
  Set->FieldDefs()->Add("Extra", ftString, 5);
  Set->Open();
  EXPECT_EQ(Set->RecordCount(), 0);
  EXPECT_EQ(Set->FieldCount(), 4);
  Set->AppendRecord({TFieldValue(), "x", 1, "y"});
  Set->EmptyDataSet();
  EXPECT_TRUE(Set->IsEmpty());
  EXPECT_EQ(Set->StoredRecordCount(), 0);
}

TEST(MemoryDataSet, WithoutColumnsItDoesNotOpen) {
  TOwned<TMemoryDataSet> Set(new TMemoryDataSet(nullptr));
  EXPECT_THROW(Set->Open(), EDatabaseError);
  EXPECT_FALSE(Set->Active());
  EXPECT_EQ(Set->State(), dsInactive);
}

TEST(MemoryDataSet, ClassAndPublishedProperties) {
  TOwned<TMemoryDataSet> Set(new TMemoryDataSet(nullptr));
  EXPECT_TRUE(Set->InheritsFrom("TDataSet"));
  EXPECT_NE(FindClass("TMemoryDataSet"), nullptr);
  SetStrProp(Set.get(), "SortFields", "Name");
  EXPECT_EQ(Set->SortFields(), "Name");
  EXPECT_EQ(GetOrdProp(Set.get(), "Filtered"), 0);
  EXPECT_TRUE(IsPublishedProp(Set.get(), "OnFilterRecord"));
  EXPECT_TRUE(IsPublishedProp(Set.get(), "Active"));
}

}  // namespace
