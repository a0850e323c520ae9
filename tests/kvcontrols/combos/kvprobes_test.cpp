#include "kvcontrols/editors/kvprobes.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kvcontrols/editors/kvtextutils.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/memorydataset.h"
#include "platform/rtl/stringlist.h"

namespace {

// A lookup table over a small in-memory key/value table: key field "ID", result "NAME".
class TFakeLookupTable : public TkvLookupTable {
 public:
  std::string Database, Table, Index;
  int IndexFields = 1;
  std::map<std::string, std::string> Rows;  // ID -> NAME
  std::string Current;
  int Searches = 0;
  bool FailOpen = false;
  bool Opened = false;
  std::string UsedIndexFields;

  std::string DatabaseName() const override { return Database; }
  std::string TableName() const override { return Table; }
  int IndexFieldCount() const override { return IndexFields; }
  std::string IndexName() const override { return Index; }
  void SetIndexName(const std::string& Value) override { Index = Value; }
  std::string FindIndexForFields(const std::string& Fields) override { return "by " + Fields; }
  void UseIndexForFields(const std::string& Fields) override { UsedIndexFields = Fields; }
  bool Active() const override { return Opened; }
  void Open() override {
    if (FailOpen) throw EDatabaseError("Table does not exist");
    Opened = true;
  }
  bool FindRecordByKey(const std::vector<std::string>& Values) override {
    ++Searches;
    auto Found = Rows.find(Values.empty() ? std::string() : Values[0]);
    Current = Found == Rows.end() ? std::string() : Found->first;
    return Found != Rows.end();
  }
  bool LocateValue(const std::string& FieldName, const std::string& Value) override {
    ++Searches;
    return FindRecordByKey({Value});
  }
  bool FieldText(const std::string& FieldName, std::string& Text) const override {
    if (FieldName != "NAME" || Current.empty()) return false;
    Text = Rows.at(Current);
    return true;
  }
  TField* FindField(const std::string&) const override { return nullptr; }
};

// A data set that publishes the library's lists and keeps a lookup-table cache.
class TLookupDataSet : public TMemoryDataSet, public TkvLookupCacheOwner {
  KORCAM_CLASS(TLookupDataSet, TMemoryDataSet)

 public:
  explicit TLookupDataSet(TComponent* AOwner) : TMemoryDataSet(AOwner) {}
  ACCESSOR_PROPERTY(TStrings*, LookupFields, nullptr)
  ACCESSOR_PROPERTY(TStrings*, LookupLinks, nullptr)
  ACCESSOR_PROPERTY(TStrings*, ControlType, nullptr)
  ACCESSOR_PROPERTY(TStrings*, PictureMasks, nullptr)
  PLAIN_PROPERTY(std::string, DatabaseName, "")
  EVENT(TNotifyEvent, OnInvalidValue)

 public:
  std::vector<TkvLookupTable*>& LookupTables() override { return FCache; }
  TkvLookupTable* CreateLookupTable() override {
    FCreated.push_back(std::make_unique<TFakeLookupTable>(Template));
    return FCreated.back().get();
  }
  TFakeLookupTable Template;
  TStringList FLookupFields, FLookupLinks, FControlType, FMasks;
  std::vector<std::unique_ptr<TFakeLookupTable>> FCreated;

 private:
  std::vector<TkvLookupTable*> FCache;
};
KORCAM_REGISTER_CLASS(TLookupDataSet)

TStrings* TLookupDataSet::LookupFields() const { return const_cast<TStringList*>(&FLookupFields); }
void TLookupDataSet::SetLookupFields(TStrings* Value) { FLookupFields.Assign(*Value); }
TStrings* TLookupDataSet::LookupLinks() const { return const_cast<TStringList*>(&FLookupLinks); }
void TLookupDataSet::SetLookupLinks(TStrings* Value) { FLookupLinks.Assign(*Value); }
TStrings* TLookupDataSet::ControlType() const { return const_cast<TStringList*>(&FControlType); }
void TLookupDataSet::SetControlType(TStrings* Value) { FControlType.Assign(*Value); }
TStrings* TLookupDataSet::PictureMasks() const { return const_cast<TStringList*>(&FMasks); }
void TLookupDataSet::SetPictureMasks(TStrings* Value) { FMasks.Assign(*Value); }

// A control with the probed Booleans.
class TProbedControl : public TComponent {
  KORCAM_CLASS(TProbedControl, TComponent)

 public:
  explicit TProbedControl(TComponent* AOwner) : TComponent(AOwner) {}
  PLAIN_PROPERTY(bool, Transparent, true)
  PLAIN_PROPERTY(bool, AlwaysTransparent, false)
  PLAIN_PROPERTY(bool, PictureMaskFromDataSet, false)
};
KORCAM_REGISTER_CLASS(TProbedControl)

struct TFreeDataSet {
  void operator()(TDataSet* DataSet) const { DataSet->Free(); }
};
using TDataSetPtr = std::unique_ptr<TLookupDataSet, TFreeDataSet>;

// Orders: CUST and ITEM link to lookup tables; CUSTNAME and ITEMNAME receive the text.
TDataSetPtr MakeOrders() {
  TDataSetPtr Set(new TLookupDataSet(nullptr));
  for (const char* Name : {"CUST", "ITEM", "CUSTNAME", "ITEMNAME"}) Set->FieldDefs()->Add(Name, ftString, 20);
  Set->Open();
  Set->AppendRecord({"7", "2", "", ""});
  Set->First();
  Set->SetDatabaseName("Shop");
  Set->Template.Database = "Shop";
  Set->Template.Table = "customer.db";
  Set->Template.Rows = {{"7", "Иванов"}, {"2", "Widget"}};
  return Set;
}

void SetLines(TStrings& List, const std::vector<std::string>& Lines) {
  List.Clear();
  for (const auto& Line : Lines) List.Add(Line);
}

TEST(KvProbes, PresentAndAbsentProperties) {
  TDataSetPtr Orders = MakeOrders();
  TMemoryDataSet Plain(nullptr);
  TProbedControl Control(nullptr);
  EXPECT_EQ(kvGetLookupFieldsProp(Orders.get()), &Orders->FLookupFields);
  EXPECT_EQ(kvGetLookupLinksProp(Orders.get()), &Orders->FLookupLinks);
  EXPECT_EQ(kvGetControlTypeProp(Orders.get()), &Orders->FControlType);
  EXPECT_EQ(kvGetDatabaseNameProp(Orders.get()), "Shop");
  EXPECT_EQ(kvGetLookupFieldsProp(&Plain), nullptr);
  EXPECT_EQ(kvGetLookupLinksProp(nullptr), nullptr);
  EXPECT_EQ(kvGetControlTypeProp(&Control), nullptr);
  EXPECT_EQ(kvGetDatabaseNameProp(&Plain), "");
  EXPECT_EQ(kvGetOnInvalidValueProp(&Plain).Data, nullptr);
  EXPECT_EQ(kvGetOnCalcCellColorsProp(&Control).Data, nullptr);
  // AlwaysTransparent wins over Transparent when the control has it.
  EXPECT_FALSE(kvGetTransparentProp(&Control));
  Control.SetAlwaysTransparent(true);
  EXPECT_TRUE(kvGetTransparentProp(&Control));
  EXPECT_FALSE(kvGetTransparentProp(&Plain));
  EXPECT_TRUE(kvGetPictureMaskFromDataSetProp(&Plain)) << "absent reads True";
  EXPECT_FALSE(kvGetPictureMaskFromDataSetProp(&Control));
  // The picture-mask source: the data set only when the control takes masks from it.
  EXPECT_EQ(kvGetPictureMaskSource(&Control, Orders.get()), &Control);
  Control.SetPictureMaskFromDataSet(true);
  EXPECT_EQ(kvGetPictureMaskSource(&Control, Orders.get()), Orders.get());
  EXPECT_EQ(kvGetPictureMaskSource(&Control, &Plain), &Control);

  EXPECT_TRUE(kvDataSetHasField(Orders.get(), "custname"));
  EXPECT_FALSE(kvDataSetHasField(Orders.get(), "CUSTOMER"));
  EXPECT_FALSE(kvDataSetHasField(&Control, "CUST"));
  EXPECT_TRUE(kvFieldNeedsRecordScan(Orders->FindField("CUST"))) << "a memory data set is not engine-backed";
  EXPECT_FALSE(kvIsCalcOrLookupField(Orders->FindField("CUST")));
  EXPECT_EQ(kvGetLookupTableList(Orders.get()), &Orders->LookupTables());
  EXPECT_EQ(kvGetLookupTableList(&Plain), nullptr);
}

TEST(KvProbes, EntryTokens) {
  struct TCase {
    const char* Entry;
    bool UsesBaseName;
  };
  const TCase Cases[] = {
      {"F;Shop;customer.db;NAME;ByName", false},
      {"F;Shop;customer.db;NAME;;ID", false},
      {"F;Shop;customer.db;NAME;;ID;N", true},
      {"F;Shop;customer.db;NAME;;ID;NO;N", true},
      {"F;Shop;customer.db;NAME;;ID;n", false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Entry);
    TStringList Tokens;
    kvSplitToList(Case.Entry, ";", Tokens);
    EXPECT_EQ(kvEntryUsesBaseName(Tokens), Case.UsesBaseName);
  }
  EXPECT_EQ(kvTableBaseName("customer.db.bak"), "customer");
  EXPECT_EQ(kvTableBaseName("customer"), "customer");

  TDataSetPtr Orders = MakeOrders();
  SetLines(Orders->FLookupFields, {"ITEMNAME;Shop;items;NAME;ByItem", "CUSTNAME;Shop;customer.db;NAME;ByCust"});
  SetLines(Orders->FLookupLinks, {"ITEM;ID"});
  EXPECT_EQ(kvGetLookupResultFieldName(Orders.get(), "CUSTNAME"), "NAME");
  EXPECT_EQ(kvGetLookupResultFieldName(Orders.get(), "custname"), "") << "the name matches exactly";
  EXPECT_EQ(kvGetLookupLinkOfField(Orders.get(), "ITEMNAME"), "ITEM;ID");
  EXPECT_THROW(kvGetLookupLinkOfField(Orders.get(), "CUSTNAME"), Exception) << "LookupLinks is one line short";
  std::string Database, Table, Link, Result;
  kvGetLookupEntryParts(Orders->FindField("CUST"), Database, Table, Link, Result);
  EXPECT_EQ(Database, "Shop") << "no entry: the data set's database";
  EXPECT_EQ(Table, "");
}

TEST(KvProbes, LookupFieldsFillFromOneSharedTablePerRecord) {
  TDataSetPtr Orders = MakeOrders();
  // Both lookup fields name the same table and link text: one cached table, searched once.
  SetLines(Orders->FLookupFields,
           {"CUSTNAME;Shop;customer.db;NAME;ByID", "ITEMNAME;Shop;customer.db;NAME;ByID"});
  SetLines(Orders->FLookupLinks, {"CUST;ID", "cust;id"});
  Orders->Edit();
  kvCalcLookupFields(Orders.get(), &Orders->FLookupFields, &Orders->FLookupLinks, Orders->LookupTables());
  ASSERT_EQ(Orders->LookupTables().size(), 1u);
  auto* Table = static_cast<TFakeLookupTable*>(Orders->LookupTables()[0]);
  EXPECT_EQ(Table->Searches, 1);
  EXPECT_EQ(Table->Index, "ByID");
  EXPECT_EQ(Orders->FindField("CUSTNAME")->AsString(), "Иванов");
  EXPECT_EQ(Orders->FindField("ITEMNAME")->AsString(), "Иванов");
  // A second record step searches again; a key without a row clears the text.
  Orders->FindField("CUST")->SetAsString("99");
  kvCalcLookupFields(Orders.get(), &Orders->FLookupFields, &Orders->FLookupLinks, Orders->LookupTables());
  EXPECT_EQ(Table->Searches, 2);
  EXPECT_EQ(Orders->FindField("CUSTNAME")->AsString(), "");
  Orders->Cancel();
}

TEST(KvProbes, LookupEntryVariants) {
  struct TCase {
    const char* Name;
    std::string Entry;
    std::string Links;
    int IndexFields;
    std::string ExpectedText;
    std::string ExpectedIndex;
    bool Hidden;
  };
  const TCase Cases[] = {
      // 7 tokens: token 6 is the single index field, token 7 the name flag (base name "customer").
      {"7 tokens", "CUSTNAME;Shop;customer.db;NAME;;ID;N", "CUST;ID", 1, "Иванов", "by ID", false},
      // 8 tokens join tokens 6 and 7.
      {"8 tokens", "CUSTNAME;Shop;customer.db;NAME;;ID;REGION;X", "CUST;ID", 1, "Иванов", "by ID;REGION", false},
      // Three link tokens: odd counts give no lookup with an index; the field is cleared.
      {"3 link tokens", "CUSTNAME;Shop;customer.db;NAME;ByID", "CUST;ID;ITEM", 1, "", "ByID", false},
      // Without index fields only the first pair is used, through a locate.
      {"no index fields", "CUSTNAME;Shop;customer.db;NAME;ByID", "CUST;ID;ITEM", 0, "Иванов", "ByID", false},
      // A local link field the data set lacks hides the lookup field.
      {"missing local field", "CUSTNAME;Shop;customer.db;NAME;ByID", "CUSTOMER;ID", 1, "old", "ByID", true},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TDataSetPtr Orders = MakeOrders();
    Orders->Template.IndexFields = Case.IndexFields;
    if (Case.Entry.ends_with(";N")) Orders->Template.Table = "customer";
    SetLines(Orders->FLookupFields, {Case.Entry});
    SetLines(Orders->FLookupLinks, {Case.Links});
    Orders->Edit();
    Orders->FindField("CUSTNAME")->SetAsString("old");
    kvCalcLookupFields(Orders.get(), &Orders->FLookupFields, &Orders->FLookupLinks, Orders->LookupTables());
    ASSERT_EQ(Orders->LookupTables().size(), 1u);
    EXPECT_EQ(static_cast<TFakeLookupTable*>(Orders->LookupTables()[0])->Index, Case.ExpectedIndex);
    EXPECT_EQ(Orders->FindField("CUSTNAME")->AsString(), Case.ExpectedText);
    EXPECT_EQ(!Orders->FindField("CUSTNAME")->Visible(), Case.Hidden);
    Orders->Cancel();
  }
  // A table that fails to open is skipped and the field keeps its text.
  TDataSetPtr Orders = MakeOrders();
  Orders->Template.FailOpen = true;
  SetLines(Orders->FLookupFields, {"CUSTNAME;Shop;customer.db;NAME;ByID"});
  SetLines(Orders->FLookupLinks, {"CUST;ID"});
  Orders->Edit();
  Orders->FindField("CUSTNAME")->SetAsString("kept");
  kvCalcLookupFields(Orders.get(), &Orders->FLookupFields, &Orders->FLookupLinks, Orders->LookupTables());
  EXPECT_TRUE(Orders->LookupTables().empty());
  EXPECT_EQ(Orders->FindField("CUSTNAME")->AsString(), "kept");
  Orders->Cancel();
}

TEST(KvProbes, SyncPositionsALookupListTable) {
  TDataSetPtr Orders = MakeOrders();
  SetLines(Orders->FLookupFields, {"GONE;Shop;x;NAME;I", "CUSTNAME;Shop;customer.db;NAME;;ID;REGION;N"});
  SetLines(Orders->FLookupLinks, {"GONE;ID", "CUST;ID"});
  TFakeLookupTable Table = Orders->Template;
  std::string LinkField;
  EXPECT_TRUE(kvSyncLookupTable(Orders.get(), Table, "custname", LinkField));
  EXPECT_EQ(LinkField, "CUST");
  EXPECT_EQ(Table.UsedIndexFields, "ID;REGION");
  EXPECT_EQ(Orders->FLookupFields.Count(), 1) << "the entry of a field that is gone was pruned";
  EXPECT_EQ(Orders->FLookupLinks.Count(), 1);
  EXPECT_FALSE(kvSyncLookupTable(Orders.get(), Table, "NOSUCH", LinkField));
}

TEST(KvProbes, ControlTypePruningAndSelected) {
  TDataSetPtr Orders = MakeOrders();
  const std::string Long(300, 'p');
  SetLines(Orders->FControlType,
           {"CUST;Combo;a;b", "ITEM;CheckBox", "CUST;LookupCombo;x", "GONE;Combo;z", "ITEMNAME;Memo;" + Long});
  std::string Kind, Parameters;
  kvGetFieldControlType(Orders.get(), "CUST", Kind, Parameters);
  EXPECT_EQ(Kind, "LookupCombo") << "the later entry wins";
  EXPECT_EQ(Parameters, "x");
  kvGetFieldControlType(Orders.get(), "ITEM", Kind, Parameters);
  EXPECT_EQ(Kind, "CheckBox");
  EXPECT_EQ(Parameters, "");
  kvGetFieldControlType(Orders.get(), "ITEMNAME", Kind, Parameters);
  EXPECT_EQ(Parameters.size(), 255u);
  kvGetFieldControlType(Orders.get(), "cust", Kind, Parameters);
  EXPECT_EQ(Kind, "") << "field names match exactly";

  kvPruneFieldEntries(Orders.get(), nullptr, nullptr, &Orders->FControlType);
  EXPECT_EQ(Orders->FControlType.Count(), 4);
  EXPECT_EQ(Orders->FControlType.IndexOf("GONE;Combo;z"), -1);

  // Every Selected line counts for the field's index, also one naming no field.
  TStringList Selected;
  SetLines(Selected, {"ITEM\t5\tItem", "NOSUCH\t1\tx", "CUST\t8\tCustomer"});
  kvApplySelectedFields(Orders.get(), Selected);
  EXPECT_FALSE(Orders->FindField("CUSTNAME")->Visible());
  EXPECT_TRUE(Orders->FindField("CUST")->Visible());
  EXPECT_EQ(Orders->FindField("CUST")->DisplayLabel(), "Customer");
  EXPECT_EQ(Orders->FindField("CUST")->DisplayWidth(), 8);
  EXPECT_EQ(Orders->FindField("ITEM")->Index(), 0);
  EXPECT_EQ(Orders->FindField("CUST")->Index(), 2);
  // A width that is not a number raises; the lines before it stay applied.
  SetLines(Selected, {"ITEMNAME\t3\tName", "CUST\twide\tCustomer"});
  EXPECT_THROW(kvApplySelectedFields(Orders.get(), Selected), EConvertError);
  EXPECT_TRUE(Orders->FindField("ITEMNAME")->Visible());
  EXPECT_FALSE(Orders->FindField("CUST")->Visible());
}

}  // namespace

namespace {

TEST(KvProbes, RichTextFields) {
  TDataSetPtr Notes(new TLookupDataSet(nullptr));
  Notes->FieldDefs()->Add("NAME", ftString, 20);
  Notes->FieldDefs()->Add("MEMO", ftMemo);
  Notes->FieldDefs()->Add("DOC", ftBlob);
  Notes->Open();
  Notes->AppendRecord({"note", "", ""});
  Notes->First();
  struct TCase {
    const char* Name;
    std::vector<std::string> ControlType;
    const char* Field;
    const char* Value;  // the record's value of that field
    bool ReadBlob;
    bool Expected;
  };
  const TCase Cases[] = {
      {"a string field is never rich text", {}, "NAME", "{\\rtf1 x}", true, false},
      {"memo beginning with the signature", {}, "MEMO", "{\\rtf1\\ansi hello}", true, true},
      {"the signature is not read unless asked", {}, "MEMO", "{\\rtf1\\ansi hello}", false, false},
      {"plain blob", {}, "DOC", "plain text", true, false},
      {"blob shorter than the signature", {}, "DOC", "{\\rt", true, false},
      {"upper-case signature", {}, "DOC", "{\\RTF1}", true, false},
      {"marked in ControlType, blob not read", {"NAME;Combo", "DOC;RichEdit;x"}, "DOC", "plain", false, true},
      {"ControlType names are case-sensitive", {"doc;RichEdit"}, "DOC", "plain", false, false},
      {"the name must come first", {" DOC;RichEdit"}, "DOC", "plain", false, false},
      {"another kind", {"DOC;Memo"}, "DOC", "plain", false, false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    SetLines(Notes->FControlType, Case.ControlType);
    Notes->Edit();
    Notes->FieldByName(Case.Field)->SetAsString(Case.Value);
    Notes->Post();
    EXPECT_EQ(kvIsRichTextField(Notes->FieldByName(Case.Field), Case.ReadBlob), Case.Expected);
  }
  EXPECT_FALSE(kvIsRichTextField(nullptr, true));
}

}  // namespace
