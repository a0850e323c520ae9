// The data set's state machine: each operation from each state, with the before/after events it
// fires and the errors it raises; failures that must leave the record as it was.

#include <functional>

#include "db_fixture.h"

namespace {

struct TStateCase {
  const char* Name;
  std::function<void(TMemoryDataSet&)> Prepare;
  std::function<void(TMemoryDataSet&)> Action;
  TDataSetState After;
  std::vector<std::string> Events;
  const char* Error;  // the EDatabaseError text, or nullptr
};

void Nothing(TMemoryDataSet&) {}
void Editing(TMemoryDataSet& Set) {
  Set.Edit();
}
void Inserting(TMemoryDataSet& Set) {
  Set.Insert();
}
void Changed(TMemoryDataSet& Set) {
  Set.Edit();
  Set.FieldByName("Name")->SetAsString("Changed");
}

TEST(DataSetStates, Transitions) {
  const TStateCase Cases[] = {
      {"Edit from browse", Nothing, [](auto& S) { S.Edit(); }, dsEdit, {"BeforeEdit", "AfterEdit"}, nullptr},
      {"Edit while editing does nothing", Editing, [](auto& S) { S.Edit(); }, dsEdit, {}, nullptr},
      {"Insert from browse",
       Nothing,
       [](auto& S) { S.Insert(); },
       dsInsert,
       {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"},
       nullptr},
      {"Append from browse",
       Nothing,
       [](auto& S) { S.Append(); },
       dsInsert,
       {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"},
       nullptr},
      {"Edit of an empty data set inserts",
       [](auto& S) { S.EmptyDataSet(); },
       [](auto& S) { S.Edit(); },
       dsInsert,
       {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"},
       nullptr},
      {"Post of an unchanged edit",
       Editing,
       [](auto& S) { S.Post(); },
       dsBrowse,
       {"BeforePost", "AfterPost"},
       nullptr},
      {"Post from browse",
       Nothing,
       [](auto& S) { S.Post(); },
       dsBrowse,
       {},
       "Dataset not in edit or insert mode"},
      {"Cancel of an edit",
       Changed,
       [](auto& S) { S.Cancel(); },
       dsBrowse,
       {"BeforeCancel", "AfterCancel"},
       nullptr},
      {"Cancel of an insert scrolls back",
       Inserting,
       [](auto& S) { S.Cancel(); },
       dsBrowse,
       {"BeforeCancel", "BeforeScroll", "AfterCancel", "AfterScroll"},
       nullptr},
      {"Cancel from browse does nothing", Nothing, [](auto& S) { S.Cancel(); }, dsBrowse, {}, nullptr},
      {"Delete from browse",
       Nothing,
       [](auto& S) { S.Delete(); },
       dsBrowse,
       {"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"},
       nullptr},
      {"Delete of a new record cancels it",
       Inserting,
       [](auto& S) { S.Delete(); },
       dsBrowse,
       {"BeforeCancel", "BeforeScroll", "AfterCancel", "AfterScroll"},
       nullptr},
      {"Delete from an empty data set",
       [](auto& S) { S.EmptyDataSet(); },
       [](auto& S) { S.Delete(); },
       dsBrowse,
       {},
       "Cannot perform this operation on an empty dataset"},
      {"Edit of a read-only data set",
       [](auto& S) { S.SetReadOnly(true); },
       [](auto& S) { S.Edit(); },
       dsBrowse,
       {},
       "Cannot modify a read-only dataset"},
      {"Insert into a read-only data set",
       [](auto& S) { S.SetReadOnly(true); },
       [](auto& S) { S.Insert(); },
       dsBrowse,
       {},
       "Cannot modify a read-only dataset"},
      {"Next posts a changed record",
       Changed,
       [](auto& S) { S.Next(); },
       dsBrowse,
       {"BeforePost", "AfterPost", "BeforeScroll", "AfterScroll"},
       nullptr},
      {"Next cancels an unchanged insert",
       Inserting,
       [](auto& S) { S.Next(); },
       dsBrowse,
       {"BeforeCancel", "BeforeScroll", "AfterCancel", "AfterScroll", "BeforeScroll", "AfterScroll"},
       nullptr},
      {"Close while editing drops the edit",
       Changed,
       [](auto& S) { S.Close(); },
       dsInactive,
       {"BeforeClose", "AfterClose"},
       nullptr},
      {"Open",
       [](auto& S) { S.Close(); },
       [](auto& S) { S.Open(); },
       dsBrowse,
       {"BeforeOpen", "AfterOpen", "AfterScroll"},
       nullptr},
      {"Next on a closed data set",
       [](auto& S) { S.Close(); },
       [](auto& S) { S.Next(); },
       dsInactive,
       {},
       "Cannot perform this operation on a closed dataset"},
      {"A field write while browsing",
       Nothing,
       [](auto& S) { S.FieldByName("Name")->SetAsString("x"); },
       dsBrowse,
       {},
       "Dataset not in edit or insert mode"},
  };
  for (const TStateCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    auto Items = MakeItems(3);
    Case.Prepare(*Items);
    TEventLog Log;
    LogDataSetEvents(*Items, Log);
    std::string Error;
    try {
      Case.Action(*Items);
    } catch (const EDatabaseError& E) {
      Error = E.Message();
    }
    EXPECT_EQ(Error, Case.Error ? Case.Error : "");
    EXPECT_EQ(Items->State(), Case.After);
    std::vector<std::string> Expected;
    for (const std::string& Event : Case.Events) Expected.push_back("ds." + Event);
    CheckLog(Log, Expected, __FILE__, __LINE__);
  }
}

TEST(DataSetStates, StatesAreOrdered) {
  // Controls compare states: "below dsInsert" is inactive, browse or edit.
  EXPECT_LT(dsInactive, dsBrowse);
  EXPECT_LT(dsBrowse, dsEdit);
  EXPECT_LT(dsEdit, dsInsert);
  EXPECT_LT(dsInsert, dsSetKey);
  EXPECT_LT(dsSetKey, dsCalcFields);
  EXPECT_EQ(EnumInfoOf<TDataSetState>().Name(dsCalcFields), "dsCalcFields");
}

TEST(DataSetStates, ErrorsNameTheDataSet) {
  auto Items = MakeItems(1);
  Items->SetName("Items");
  try {
    Items->FieldByName("Missing");
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Items: Field 'Missing' not found");
  }
  EXPECT_EQ(Items->FindField("Missing"), nullptr);
  EXPECT_EQ(Items->FindField("name"), Items->FieldByName("NAME"));
}

// ---------------------------------------------------------------------------------------------
// A post that fails leaves the data set editing with every value kept.

class TFailedPost : public ::testing::Test {
 protected:
  void SetUp() override {
    Items = MakeItems(3);
    Items->Next();
  }
  void ExpectStillEditing(TDataSetState State, const std::string& Name) {
    EXPECT_EQ(Items->State(), State);
    EXPECT_TRUE(Items->Modified());
    EXPECT_EQ(Items->FieldByName("Name")->AsString(), Name);
  }
  TOwned<TMemoryDataSet> Items;
};

TEST_F(TFailedPost, RequiredFieldLeftEmpty) {
  Items->Append();
  Items->FieldByName("Name")->SetAsString("New");
  try {
    Items->Post();
    FAIL();
  } catch (const EDatabaseError& E) {
    EXPECT_EQ(E.Message(), "Field 'ID' must have a value");
  }
  ExpectStillEditing(dsInsert, "New");
  Items->FieldByName("ID")->SetAsInteger(4);
  Items->Post();
  EXPECT_EQ(Items->RecordCount(), 4);
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "New");
}

TEST_F(TFailedPost, BeforePostRaises) {
  Items->BeforePost = TDataSetNotifyEvent([](TDataSet*) { throw EDatabaseError("refused"); });
  Items->Edit();
  Items->FieldByName("Name")->SetAsString("Kept");
  EXPECT_THROW(Items->Post(), EDatabaseError);
  ExpectStillEditing(dsEdit, "Kept");
  Items->BeforePost.Clear();
  Items->Post();
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "Kept");
}

TEST_F(TFailedPost, ALinkThatCannotWriteItsText) {
  // The control holds a text its field refuses: the conversion error stops the post.
  TOwned<TDataSource> Source(new TDataSource(nullptr));
  Source->SetDataSet(Items.get());
  TEventLog Log;
  TFieldProbe Price("price", Log, Source.get(), "Price");
  Items->Edit();
  Items->FieldByName("Name")->SetAsString("Kept");
  Price.Type("12,5.3");
  EXPECT_THROW(Items->Post(), EDatabaseError);
  ExpectStillEditing(dsEdit, "Kept");
  EXPECT_EQ(Items->FieldByName("Price")->AsFloat(), 3.0);
  Price.Type("7.25");
  Items->Post();
  EXPECT_EQ(Items->FieldByName("Price")->AsFloat(), 7.25);
}

// A store that is busy for the next few posts.
class TBusyDataSet : public TMemoryDataSet {
 public:
  using TMemoryDataSet::TMemoryDataSet;
  int Refusals = 0;

 protected:
  void InternalPost() override {
    if (Refusals > 0) {
      --Refusals;
      throw EDatabaseError("busy");
    }
    TMemoryDataSet::InternalPost();
  }
};

TEST(DataSetErrors, PostErrorHandlerRetriesAbortsOrFails) {
  TOwned<TBusyDataSet> Items(new TBusyDataSet(nullptr));
  Items->FieldDefs()->Add("Name", ftString, 10);
  Items->Open();
  std::vector<TDataAction> Answers;
  std::vector<std::string> Seen;
  Items->OnPostError = TDataSetErrorEvent([&](TDataSet*, EDatabaseError* E, TDataAction& Action) {
    Seen.push_back(E->Message());
    Action = Answers.at(Seen.size() - 1);
  });
  Items->Append();
  Items->FieldByName("Name")->SetAsString("a");
  Items->Refusals = 2;
  Answers = {daRetry, daRetry};
  Items->Post();
  EXPECT_EQ(Seen, (std::vector<std::string>{"busy", "busy"}));
  EXPECT_EQ(Items->State(), dsBrowse);
  EXPECT_EQ(Items->RecordCount(), 1);

  Items->Edit();
  Items->FieldByName("Name")->SetAsString("b");
  Items->Refusals = 1;
  Answers.push_back(daAbort);
  EXPECT_THROW(Items->Post(), EAbort);
  EXPECT_EQ(Items->State(), dsEdit);
  Items->OnPostError.Clear();
  Items->Refusals = 1;
  EXPECT_THROW(Items->Post(), EDatabaseError);
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "b");
  Items->Post();
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "b");
}

TEST(DataSetEvents, NewRecordHandlerRaisingUndoesTheInsert) {
  auto Items = MakeItems(3);
  Items->Next();
  Items->OnNewRecord = TDataSetNotifyEvent([](TDataSet*) { throw EDatabaseError("no"); });
  EXPECT_THROW(Items->Insert(), EDatabaseError);
  EXPECT_EQ(Items->State(), dsBrowse);
  EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), 2);
  EXPECT_EQ(Items->RecordCount(), 3);
}

TEST(DataSetEvents, NewRecordHandlerFillsDefaults) {
  auto Items = MakeItems(3);
  Items->OnNewRecord =
      TDataSetNotifyEvent([](TDataSet* Set) { Set->FieldByName("Name")->SetAsString("(new)"); });
  Items->Append();
  EXPECT_EQ(Items->FieldByName("Name")->AsString(), "(new)");
  EXPECT_FALSE(Items->Modified());  // defaults do not count as the user's change
  Items->Next();                    // so moving away cancels the new record
  EXPECT_EQ(Items->RecordCount(), 3);
}

TEST(DataSetEvents, StreamedActiveOpensAfterLoading) {
  TOwned<TMemoryDataSet> Items(new TMemoryDataSet(nullptr));
  Items->FieldDefs()->Add("ID", ftInteger);
  Items->SetComponentState({csLoading});
  Items->SetActive(true);
  EXPECT_FALSE(Items->Active());
  Items->Loaded();
  EXPECT_TRUE(Items->Active());
}

}  // namespace
