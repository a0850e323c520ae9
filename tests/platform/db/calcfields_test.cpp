// Calculated and lookup fields, Locate and Lookup.

#include "db_fixture.h"

namespace {

// Orders: ID, Qty, Price, CatID as persistent data fields; Total = Qty * Price (calculated);
// Category = the Title of the Categories record with the same CatID (lookup).
class TCalculated : public ::testing::Test {
 protected:
  void SetUp() override {
    Form.reset(new TComponent(nullptr));
    Categories = new TMemoryDataSet(Form.get());
    Categories->SetName("Categories");
    Categories->FieldDefs()->Add("CatID", ftInteger);
    Categories->FieldDefs()->Add("Title", ftString, 20);
    Categories->Open();
    Categories->AppendRecord({1, "Tools"});
    Categories->AppendRecord({2, "Toys"});

    Orders = new TMemoryDataSet(Form.get());
    for (const char* Name : {"ID", "Qty", "CatID"}) AddField(new TIntegerField(Form.get()), Name);
    AddField(new TFloatField(Form.get()), "Price");
    Total = AddField(new TFloatField(Form.get()), "Total", fkCalculated);
    Category = AddField(new TStringField(Form.get()), "Category", fkLookup);
    Category->SetKeyFields("CatID");
    Category->SetLookupDataSet(Categories);
    Category->SetLookupKeyFields("CatID");
    Category->SetLookupResultField("Title");
    Orders->OnCalcFields = TDataSetNotifyEvent([this](TDataSet* Set) {
      ++Calculations;
      StateSeen = Set->State();
      const TField* Qty = Set->FieldByName("Qty");
      if (!Qty->IsNull()) Total->SetAsFloat(Qty->AsInteger() * Set->FieldByName("Price")->AsFloat());
    });
    Orders->Open();
    Orders->AppendRecord({1, 2, 1, 2.5});
    Orders->AppendRecord({2, 4, 2, 1.25});
    Orders->AppendRecord({3, 1, 9, 10.0});
    Orders->First();
  }

  TField* AddField(TField* Field, const char* Name, TFieldKind Kind = fkData) {
    Field->SetFieldName(Name);
    Field->SetFieldKind(Kind);
    Field->SetDataSet(Orders);
    return Field;
  }

  TOwned<TComponent> Form;
  TMemoryDataSet* Categories = nullptr;
  TMemoryDataSet* Orders = nullptr;
  TField* Total = nullptr;
  TField* Category = nullptr;
  int Calculations = 0;
  TDataSetState StateSeen = dsInactive;
};

TEST_F(TCalculated, EveryRecordIsCalculatedWhenRead) {
  std::vector<std::string> Seen;
  for (Orders->First(); !Orders->Eof(); Orders->Next())
    Seen.push_back(Total->DisplayText() + "/" + Category->DisplayText());
  EXPECT_EQ(Seen, (std::vector<std::string>{"5/Tools", "5/Toys", "10/"}));
  EXPECT_EQ(StateSeen, dsCalcFields);
  EXPECT_EQ(Orders->State(), dsBrowse);
  EXPECT_FALSE(Total->CanModify());
  EXPECT_FALSE(Category->CanModify());
  EXPECT_EQ(Total->FieldNo(), 0);
}

TEST_F(TCalculated, EditsRecalculateAtOnceWhileAutoCalcFields) {
  TOwned<TDataSource> Source(new TDataSource(nullptr));
  Source->SetDataSet(Orders);
  TEventLog Log;
  TFieldProbe Shown("total", Log, Source.get(), "Total");
  TFieldProbe Looked("category", Log, Source.get(), "Category");
  Orders->Edit();
  Log.Clear();
  Orders->FieldByName("Qty")->SetAsInteger(10);
  Orders->FieldByName("CatID")->SetAsInteger(2);
  EXPECT_EQ(Total->AsFloat(), 25.0);
  EXPECT_EQ(Category->AsString(), "Toys");
  // Controls of calculated fields hear their own fields change, only when the value moved.
  EXPECT_LOG(Log, {"total.DataChange[25]", "category.DataChange[Toys]"});
  Orders->Cancel();
  EXPECT_EQ(Total->AsFloat(), 5.0);
  EXPECT_EQ(Shown.Text, "5");
  EXPECT_EQ(Looked.Text, "Tools");

  Orders->SetAutoCalcFields(false);
  Orders->Edit();
  Orders->FieldByName("Qty")->SetAsInteger(3);
  EXPECT_EQ(Total->AsFloat(), 5.0);  // stays until the record is read again
  Orders->Post();
  EXPECT_EQ(Total->AsFloat(), 7.5);
}

TEST_F(TCalculated, LookupsFollowTheirDataSet) {
  Orders->Next();
  EXPECT_EQ(Category->AsString(), "Toys");
  Categories->Close();
  Orders->Refresh();
  EXPECT_TRUE(Category->IsNull());  // a closed lookup data set looks nothing up
  Categories->Open();
  Orders->Refresh();
  EXPECT_EQ(Category->AsString(), "Toys");
  EXPECT_EQ(Categories->RecNo(), 1);  // the lookup did not move it
  Categories->Free();
  EXPECT_EQ(Category->LookupDataSet(), nullptr);  // free notification
  Orders->Close();
  EXPECT_THROW(Orders->Open(), EDatabaseError);  // lookup information now incomplete
}

TEST_F(TCalculated, FieldOrderIsWritable) {
  EXPECT_EQ(Total->Index(), 4);
  Total->SetIndex(0);
  EXPECT_EQ(Orders->Fields()->Fields(0), Total);
  Total->SetIndex(99);
  EXPECT_EQ(Total->Index(), Orders->FieldCount() - 1);
  EXPECT_EQ(Total->AsFloat(), 5.0);  // values follow the field, not its place
}

// ---------------------------------------------------------------------------------------------

class TLocate : public ::testing::Test {
 protected:
  void SetUp() override {
    Names.reset(new TMemoryDataSet(nullptr));
    Names->FieldDefs()->Add("ID", ftInteger);
    Names->FieldDefs()->Add("Name", ftString, 20);
    Names->FieldDefs()->Add("Qty", ftInteger);
    Names->Open();
    Names->AppendRecord({1, "Alpha", 3});
    Names->AppendRecord({2, "alpine", 5});
    Names->AppendRecord({3, "Beta", 3});
    Names->AppendRecord({4, "Beta", 7});
    Names->AppendRecord({5, "\xC3\x84RGER", 1});  // "ÄRGER"
    Names->AppendRecord({6, "Gamma", TFieldValue()});
    Names->First();
  }
  TOwned<TMemoryDataSet> Names;
};

TEST_F(TLocate, Table) {
  struct TLocateCase {
    const char* Name;
    const char* Fields;
    std::vector<TFieldValue> Values;
    TLocateOptions Options;
    int Found;  // ID, or 0 for none
  } Cases[] = {
      {"exact", "Name", {"Beta"}, {}, 3},
      {"case matters by default", "Name", {"beta"}, {}, 0},
      {"case-insensitive", "Name", {"BETA"}, {loCaseInsensitive}, 3},
      {"partial key", "Name", {"alp"}, {loPartialKey}, 2},
      {"partial and case-insensitive", "Name", {"alp"}, {loPartialKey, loCaseInsensitive}, 1},
      {"partial needs the whole key", "Name", {"Alphabet"}, {loPartialKey}, 0},
      {"upper-casing beyond ASCII", "Name", {"\xC3\xA4rger"}, {loCaseInsensitive}, 5},
      {"two fields", "Name;Qty", {"Beta", 7}, {}, 4},
      {"a number as text", "Qty", {"5"}, {}, 2},
      {"a null key finds a null value", "Qty", {TFieldValue()}, {}, 6},
      {"no such value", "Qty", {42}, {}, 0},
  };
  TEventLog Log;
  LogDataSetEvents(*Names, Log);
  for (const TLocateCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Names->SetRecNo(6);
    Log.Clear();
    const bool Found = Names->Locate(Case.Fields, Case.Values, Case.Options);
    EXPECT_EQ(Found, Case.Found != 0);
    EXPECT_EQ(Names->FieldByName("ID")->AsInteger(), Found ? Case.Found : 6);
    if (Found)
      EXPECT_LOG(Log, {"ds.BeforeScroll", "ds.AfterScroll"});
    else
      EXPECT_LOG(Log, {});
  }
}

TEST_F(TLocate, LookupReadsWithoutMoving) {
  Names->SetRecNo(2);
  EXPECT_EQ(Names->Lookup("Name;Qty", {"Beta", 7}, "ID"), TFieldValue(4));
  EXPECT_TRUE(Names->Lookup("Name", {"nobody"}, "ID").IsNull());
  EXPECT_EQ(Names->RecNo(), 2);
  EXPECT_THROW(Names->Locate("Missing", TFieldValue(1), {}), EDatabaseError);
}

TEST_F(TLocate, PostsAPendingEditFirst) {
  Names->Edit();
  Names->FieldByName("Name")->SetAsString("Delta");
  EXPECT_TRUE(Names->Locate("Name", TFieldValue("Delta"), {}));
  EXPECT_EQ(Names->State(), dsBrowse);
  EXPECT_EQ(Names->FieldByName("ID")->AsInteger(), 1);
}

}  // namespace
