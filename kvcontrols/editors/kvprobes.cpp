#include "kvcontrols/editors/kvprobes.h"

#include <algorithm>

#include "kvcontrols/editors/kvtextutils.h"
#include "platform/classes/component.h"
#include "platform/db/datasource.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TkvFormPosition)

namespace {

TMethod MethodProp(const TObject* Object, const char* Name) {
  if (!Object) return TMethod{};
  const TValue Value = GetPropValue(Object, Name);
  if (auto* Method = std::get_if<TMethod>(&Value)) return *Method;
  return TMethod{};
}

TStrings* StringsProp(const TObject* Object, const char* Name) {
  if (!Object) return nullptr;
  const TValue Value = GetPropValue(Object, Name);
  if (auto* Strings = std::get_if<TStrings*>(&Value)) return *Strings;
  return nullptr;
}

bool BoolProp(const TObject* Object, const char* Name, bool Absent) {
  if (!Object || !IsPublishedProp(Object, Name)) return Absent;
  const TValue Value = GetPropValue(Object, Name);
  if (auto* B = std::get_if<bool>(&Value)) return *B;
  return Absent;
}

std::string Joined(const TStrings& Tokens, int First, int Last, const char* Separator) {
  std::string Result;
  for (int Index = First; Index <= Last && Index < Tokens.Count(); ++Index) {
    if (Index > First) Result += Separator;
    Result += Tokens[Index];
  }
  return Result;
}

// The index fields of a LookupFields entry of 6 or more tokens: token 6 alone for exactly 6,
// else tokens 6 up to the second-to-last.
std::string EntryIndexFields(const TStrings& Tokens) {
  if (Tokens.Count() == 6) return Tokens[5];
  return Joined(Tokens, 5, Tokens.Count() - 2, ";");
}

std::string AsciiLower(std::string Text) {
  for (char& C : Text)
    if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
  return Text;
}

// The line number of the first LookupFields entry whose first token equals FieldName exactly.
int FindLookupEntry(TStrings* LookupFields, const std::string& FieldName, TStringList& Tokens) {
  if (!LookupFields) return -1;
  for (int Line = 0; Line < LookupFields->Count(); ++Line) {
    Tokens.Clear();
    kvSplitToList((*LookupFields)[Line], ";", Tokens);
    if (Tokens[0] == FieldName) return Line;
  }
  return -1;
}

void HideField(TDataSet* DataSet, const std::string& FieldName) {
  if (TField* Field = DataSet->FindField(FieldName)) Field->SetVisible(false);
}

// The texts of the data set's fields named by the local link tokens (1, 3, 5, ...).
std::vector<std::string> LocalLinkValues(TDataSet* DataSet, const TStrings& Links) {
  std::vector<std::string> Values;
  for (int Index = 0; Index < Links.Count(); Index += 2) {
    TField* Field = DataSet->FindField(Links[Index]);
    Values.push_back(Field ? Field->Text() : std::string());
  }
  return Values;
}

bool LocalLinksPresent(TDataSet* DataSet, const TStrings& Links) {
  for (int Index = 0; Index < Links.Count(); Index += 2)
    if (!kvDataSetHasField(DataSet, Links[Index])) return false;
  return true;
}

}  // namespace

void TkvFormPosition::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TkvFormPosition*>(Source);
  if (!Other) return TPersistent::Assign(Source);
  FLeft = Other->FLeft;
  FTop = Other->FTop;
  FWidth = Other->FWidth;
  FHeight = Other->FHeight;
}

// ---- probes --------------------------------------------------------------------------------------

TMethod kvGetOnInvalidValueProp(TDataSet* DataSet) {
  return MethodProp(DataSet, "OnInvalidValue");
}

TMethod kvGetOnCalcCellColorsProp(TComponent* Control) {
  return MethodProp(Control, "OnCalcCellColors");
}

TStrings* kvGetControlTypeProp(TComponent* Component) {
  return StringsProp(Component, "ControlType");
}

bool kvGetPictureMaskFromDataSetProp(TComponent* Control) {
  return BoolProp(Control, "PictureMaskFromDataSet", true);
}

TStrings* kvGetLookupFieldsProp(TDataSet* DataSet) {
  return StringsProp(DataSet, "LookupFields");
}

TStrings* kvGetLookupLinksProp(TDataSet* DataSet) {
  return StringsProp(DataSet, "LookupLinks");
}

std::string kvGetDatabaseNameProp(TDataSet* DataSet) {
  if (!DataSet || !IsPublishedProp(DataSet, "DatabaseName")) return std::string();
  return GetStrProp(DataSet, "DatabaseName");
}

bool kvGetTransparentProp(TComponent* Control) {
  if (Control && IsPublishedProp(Control, "AlwaysTransparent")) return BoolProp(Control, "AlwaysTransparent", false);
  return BoolProp(Control, "Transparent", false);
}

TComponent* kvGetPictureMaskSource(TComponent* Control, TDataSet* DataSet) {
  if (!DataSet) {
    TDataSource* Source = kvGetDataSourceProp(Control);
    DataSet = Source ? Source->DataSet() : nullptr;
  }
  if (DataSet && kvGetPictureMaskFromDataSetProp(Control) && kvGetPictureMasksProp(DataSet)) return DataSet;
  return Control;
}

// ---- fields --------------------------------------------------------------------------------------

bool kvIsCompatibleDataSet(TDataSet* DataSet) {
  return DataSet != nullptr;
}

bool kvDataSetHasField(TObject* DataSet, const std::string& FieldName) {
  auto* Typed = dynamic_cast<TDataSet*>(DataSet);
  if (!Typed) return false;
  for (TField* Field : *Typed->Fields())
    if (kvEqualsIgnoreCase(Field->FieldName(), FieldName)) return true;
  return false;
}

bool kvIsCalcOrLookupField(TField* Field) {
  return Field && (Field->Calculated() || Field->Lookup());
}

bool kvFieldNeedsRecordScan(TField* Field) {
  if (!Field || !Field->DataSet()) return false;
  if (kvIsCalcOrLookupField(Field)) return true;
  // Tables, queries and stored procedures of the database engine all descend from TDBDataSet;
  // any other data set (in memory, for one) has no engine to search with.
  return !kvInheritsFromClassName(&Field->DataSet()->ClassType(), "TDBDataSet");
}

// ---- LookupFields and LookupLinks ----------------------------------------------------------------

std::string kvTableBaseName(const std::string& TableName) {
  const size_t Dot = TableName.find('.');
  return Dot == std::string::npos ? TableName : TableName.substr(0, Dot);
}

bool kvEntryUsesBaseName(const TStrings& Tokens) {
  return Tokens.Count() >= 6 && Tokens[Tokens.Count() - 1] == "N";
}

std::string kvGetLookupLinkOfField(TDataSet* DataSet, const std::string& FieldName) {
  TStrings* Links = kvGetLookupLinksProp(DataSet);
  if (!Links) return std::string();
  TStringList Tokens;
  const int Line = FindLookupEntry(kvGetLookupFieldsProp(DataSet), FieldName, Tokens);
  if (Line < 0) return std::string();
  return Links->Strings(Line);  // a short LookupLinks list raises the list-index error
}

std::string kvGetLookupResultFieldName(TDataSet* DataSet, const std::string& FieldName) {
  TStringList Tokens;
  if (FindLookupEntry(kvGetLookupFieldsProp(DataSet), FieldName, Tokens) < 0 || Tokens.Count() < 4)
    return std::string();
  return Tokens[3];
}

void kvGetLookupEntryParts(TField* Field, std::string& DatabaseName, std::string& TableName,
                           std::string& LinkText, std::string& ResultField) {
  if (!Field || !Field->DataSet()) return;
  TDataSet* DataSet = Field->DataSet();
  TStrings* Fields = kvGetLookupFieldsProp(DataSet);
  TStrings* Links = kvGetLookupLinksProp(DataSet);
  if (Fields) {
    for (int Line = 0; Line < Fields->Count(); ++Line) {
      TStringList Tokens;
      kvSplitToList((*Fields)[Line], ";", Tokens);
      if (Tokens[0] != Field->FieldName() || Tokens.Count() < 5) continue;
      DatabaseName = Tokens[1];
      TableName = Tokens[2];
      ResultField = Tokens[3];
      LinkText = Links && Line < Links->Count() ? (*Links)[Line] : std::string();
      return;
    }
  }
  DatabaseName = kvGetDatabaseNameProp(DataSet);
  TableName.clear();
  LinkText.clear();
  ResultField.clear();
}

std::vector<TkvLookupTable*>* kvGetLookupTableList(TDataSet* DataSet) {
  auto* Owner = dynamic_cast<TkvLookupCacheOwner*>(DataSet);
  return Owner ? &Owner->LookupTables() : nullptr;
}

bool kvLookupTableMatchesEntry(const TkvLookupTable& Table, const TStrings& Tokens) {
  if (Tokens.Count() < 3) return false;
  const std::string Name = kvEntryUsesBaseName(Tokens) ? kvTableBaseName(Tokens[2]) : Tokens[2];
  return Table.DatabaseName() == Tokens[1] && Table.TableName() == Name;
}

bool kvFindLookupByLinks(TkvLookupTable& LookupTable, TDataSet* DataSet, const TStrings& Links) {
  if (LookupTable.IndexFieldCount() == 0) {
    if (Links.Count() < 2) return false;
    TField* Local = DataSet->FindField(Links[0]);
    return LookupTable.LocateValue(Links[1], Local ? Local->Text() : std::string());
  }
  const int Count = Links.Count();
  if (Count < 2 || Count > 12 || Count % 2 != 0) return false;
  return LookupTable.FindRecordByKey(LocalLinkValues(DataSet, Links));
}

bool kvFindLookupRecord(TField* Field, std::string& KeyValue, TField*& ResultField) {
  ResultField = Field;
  if (!Field || !Field->DataSet()) return false;
  std::vector<TkvLookupTable*>* Tables = kvGetLookupTableList(Field->DataSet());
  if (!Tables) return false;
  std::string DatabaseName, TableName, LinkText, ResultName;
  kvGetLookupEntryParts(Field, DatabaseName, TableName, LinkText, ResultName);
  for (TkvLookupTable* Table : *Tables) {
    if (Table->DatabaseName() != DatabaseName || Table->TableName() != TableName ||
        AsciiLower(Table->LinkText) != AsciiLower(LinkText))
      continue;
    if (TField* Result = Table->FindField(ResultName)) ResultField = Result;
    TStringList Links;
    kvSplitToList(LinkText, ";", Links);
    TField* Local = Field->DataSet()->FindField(Links[0]);
    KeyValue = Local ? Local->Text() : std::string();
    return Table->FindRecordByKey({KeyValue});
  }
  return false;
}

void kvCalcLookupFields(TDataSet* DataSet, TStrings* LookupFields, TStrings* LookupLinks,
                        std::vector<TkvLookupTable*>& TableList) {
  if (!DataSet || !LookupFields) return;
  for (TkvLookupTable* Table : TableList) Table->Searched = false;
  auto* Owner = dynamic_cast<TkvLookupCacheOwner*>(DataSet);
  for (int Line = 0; Line < LookupFields->Count(); ++Line) {
    TStringList Tokens;
    kvSplitToList((*LookupFields)[Line], ";", Tokens);
    if (Tokens.Count() < 5) continue;
    const std::string LinkText = LookupLinks && Line < LookupLinks->Count() ? (*LookupLinks)[Line] : std::string();
    TkvLookupTable* Table = nullptr;
    for (TkvLookupTable* Cached : TableList)
      if (kvLookupTableMatchesEntry(*Cached, Tokens) && AsciiLower(Cached->LinkText) == AsciiLower(LinkText)) {
        Table = Cached;
        break;
      }
    try {
      if (!Table) {
        if (!Owner) continue;
        // The table belongs to the data set from here on, even when it fails to open.
        TkvLookupTable* Created = Owner->CreateLookupTable();
        if (!Created) continue;
        Created->SetIndexName(Tokens.Count() < 6 ? Tokens[4] : Created->FindIndexForFields(EntryIndexFields(Tokens)));
        Created->Open();
        Created->LinkText = LinkText;
        Created->Searched = false;
        TableList.push_back(Created);
        Table = Created;
      } else if (!Table->Active()) {
        Table->Open();
      }
    } catch (const Exception&) {
      continue;  // an entry whose table cannot be opened is skipped quietly
    }
    TStringList Links;
    kvSplitToList(LinkText, ";", Links);
    if (!LocalLinksPresent(DataSet, Links)) {
      HideField(DataSet, Tokens[0]);
      return;
    }
    if (!Table->Searched) {
      Table->Busy = true;
      try {
        Table->Found = kvFindLookupByLinks(*Table, DataSet, Links);
      } catch (...) {
        Table->Busy = false;
        throw;
      }
      Table->Busy = false;
    }
    if (TField* Target = DataSet->FindField(Tokens[0])) {
      std::string Text;
      if (Table->Found && Table->FieldText(Tokens[3], Text))
        Target->SetAsString(Text);
      else
        Target->SetAsString("");
    }
    Table->Searched = true;
  }
}

bool kvSyncLookupTable(TDataSet* DataSet, TkvLookupTable& LookupTable, const std::string& FieldName,
                       std::string& LinkField) {
  TStrings* Fields = kvGetLookupFieldsProp(DataSet);
  TStrings* LinkLines = kvGetLookupLinksProp(DataSet);
  kvPruneFieldEntries(DataSet, Fields, LinkLines, kvGetControlTypeProp(DataSet));
  if (!Fields) return false;
  int Line = -1;
  TStringList Tokens;
  for (int Index = 0; Index < Fields->Count() && Line < 0; ++Index) {
    Tokens.Clear();
    kvSplitToList((*Fields)[Index], ";", Tokens);
    if (kvEqualsIgnoreCase(Tokens[0], FieldName)) Line = Index;
  }
  if (Line < 0 || Tokens.Count() < 3) return false;
  if (kvEqualsIgnoreCase(kvTableBaseName(LookupTable.TableName()), kvTableBaseName(Tokens[2]))) {
    if (Tokens.Count() < 6) {
      if (Tokens.Count() >= 5 && LookupTable.IndexName() != Tokens[4]) LookupTable.SetIndexName(Tokens[4]);
    } else {
      LookupTable.UseIndexForFields(EntryIndexFields(Tokens));
    }
  }
  TStringList Links;
  kvSplitToList(LinkLines && Line < LinkLines->Count() ? (*LinkLines)[Line] : std::string(), ";", Links);
  if (!LocalLinksPresent(DataSet, Links)) {
    HideField(DataSet, Tokens[0]);
    return false;
  }
  const bool Result = kvFindLookupByLinks(LookupTable, DataSet, Links);
  LinkField = Links[0];
  return Result;
}

// ---- ControlType, pruning, Selected -------------------------------------------------------------

void kvGetFieldControlType(TComponent* Component, const std::string& FieldName, std::string& Kind,
                           std::string& Parameters) {
  Kind.clear();
  Parameters.clear();
  TStrings* List = kvGetControlTypeProp(Component);
  if (!List) return;
  for (int Line = 0; Line < List->Count(); ++Line) {
    const std::string Entry = (*List)[Line];
    const size_t First = Entry.find(';');
    if (Entry.substr(0, First) != FieldName) continue;
    if (First == std::string::npos) {
      Kind.clear();
      Parameters.clear();
      continue;
    }
    const size_t Second = Entry.find(';', First + 1);
    Kind = Entry.substr(First + 1, Second == std::string::npos ? std::string::npos : Second - First - 1);
    Parameters = Second == std::string::npos ? std::string() : Entry.substr(Second + 1);
    // At most 255 characters, cut on a character boundary.
    size_t Cut = 0;
    int Characters = 0;
    while (Cut < Parameters.size() && Characters < 255) {
      ++Cut;
      while (Cut < Parameters.size() && (static_cast<unsigned char>(Parameters[Cut]) & 0xC0) == 0x80) ++Cut;
      ++Characters;
    }
    Parameters.resize(Cut);
  }
}

void kvPruneFieldEntries(TDataSet* DataSet, TStrings* LookupFields, TStrings* LookupLinks, TStrings* ControlType) {
  auto FirstToken = [](const std::string& Entry) { return Entry.substr(0, Entry.find(';')); };
  if (LookupFields) {
    for (int Line = LookupFields->Count() - 1; Line >= 0; --Line) {
      if (kvDataSetHasField(DataSet, FirstToken((*LookupFields)[Line]))) continue;
      LookupFields->Delete(Line);
      if (LookupLinks && Line < LookupLinks->Count()) LookupLinks->Delete(Line);
    }
  }
  if (ControlType) {
    for (int Line = ControlType->Count() - 1; Line >= 0; --Line)
      if (!kvDataSetHasField(DataSet, FirstToken((*ControlType)[Line]))) ControlType->Delete(Line);
  }
}

void kvApplySelectedFields(TDataSet* DataSet, const TStrings& Selected) {
  if (!DataSet) return;
  DataSet->DisableControls();
  struct TEnable {
    TDataSet* DataSet;
    ~TEnable() { DataSet->EnableControls(); }
  } Enable{DataSet};
  for (TField* Field : *DataSet->Fields()) Field->SetVisible(false);
  for (int Line = 0; Line < Selected.Count(); ++Line) {
    TStringList Tokens;
    kvSplitToList(Selected[Line], "\t", Tokens);
    if (!kvDataSetHasField(DataSet, Tokens[0])) continue;
    TField* Field = DataSet->FindField(Tokens[0]);
    Field->SetDisplayWidth(StrToInt(Tokens.Count() > 1 ? Tokens[1] : std::string()));
    Field->SetDisplayLabel(Tokens.Count() > 2 ? Tokens[2] : std::string());
    Field->SetIndex(Line);
    Field->SetVisible(true);
  }
}
