#include <cstdio>

#include "db_fixture.h"
#include "platform/rtl/datetime.h"

void CheckLog(const TEventLog& Log, const std::vector<std::string>& Expected, const char* File, int Line) {
  if (Log.Entries == Expected) return;
  std::string Dump = "event log differs\n";
  const size_t Rows = std::max(Log.Entries.size(), Expected.size());
  for (size_t Index = 0; Index < Rows; ++Index) {
    const std::string Want = Index < Expected.size() ? Expected[Index] : "<none>";
    const std::string Got = Index < Log.Entries.size() ? Log.Entries[Index] : "<none>";
    Dump += (Want == Got ? "   " : "!! ") + std::to_string(Index) + ": expected " + Want + " | actual " +
            Got + "\n";
  }
  ADD_FAILURE_AT(File, Line) << Dump;
}

std::string TLogLink::Suffix() const {
  std::string Result = " ar=" + std::to_string(ActiveRecord());
  if (Describe) Result += " " + Describe();
  return Result;
}

void TLogLink::ActiveChanged() {
  FLog.Add(FTag + ".ActiveChanged(" + (Active() ? "true" : "false") + ")");
}
void TLogLink::CheckBrowseMode() {
  FLog.Add(FTag + ".CheckBrowseMode");
}
void TLogLink::DataSetChanged() {
  FLog.Add(FTag + ".DataSetChanged" + Suffix());
}
void TLogLink::DataSetScrolled(int Distance) {
  FLog.Add(FTag + ".DataSetScrolled(" + std::to_string(Distance) + ")" + Suffix());
}
void TLogLink::EditingChanged() {
  FLog.Add(FTag + ".EditingChanged(" + (Editing() ? "true" : "false") + ")");
}
void TLogLink::FocusControl(TField*& Field) {
  FLog.Add(FTag + ".FocusControl(" + (Field ? Field->FieldName() : "nil") + ")");
}
void TLogLink::LayoutChanged() {
  FLog.Add(FTag + ".LayoutChanged");
}
void TLogLink::RecordChanged(TField* Field) {
  FLog.Add(FTag + ".RecordChanged(" + (Field ? Field->FieldName() : "nil") + ")");
}
void TLogLink::UpdateData() {
  FLog.Add(FTag + ".UpdateData");
}

TFieldProbe::TFieldProbe(std::string ATag, TEventLog& ALog, TDataSource* Source, const std::string& FieldName)
    : Tag(std::move(ATag)), Log(ALog) {
  Link.OnDataChange = TNotifyEvent([this](TObject*) {
    Text = Link.Field() ? Link.Field()->DisplayText() : std::string();
    Log.Add(Tag + ".DataChange[" + Text + "]");
  });
  Link.OnEditingChange = TNotifyEvent(
      [this](TObject*) { Log.Add(Tag + ".EditingChange(" + (Link.Editing() ? "true" : "false") + ")"); });
  Link.OnUpdateData = TNotifyEvent([this](TObject*) {
    Log.Add(Tag + ".UpdateData[" + Text + "]");
    Link.Field()->SetText(Text);
  });
  Link.OnActiveChange = TNotifyEvent(
      [this](TObject*) { Log.Add(Tag + ".ActiveChange(" + (Link.Active() ? "true" : "false") + ")"); });
  Link.SetFieldName(FieldName);
  Link.SetDataSource(Source);
}

void TFieldProbe::Type(const std::string& NewText) {
  // As an edit control does: start the edit (AutoEdit), take the text, mark the link modified.
  if (!Link.Edit()) return;
  Text = NewText;
  Link.Modified();
}

void LogDataSetEvents(TDataSet& DataSet, TEventLog& Log) {
  struct TBinding {
    TDataSetNotifyEvent TDataSet::*Event;
    const char* Name;
  };
  static const TBinding Bindings[] = {
      {&TDataSet::BeforeOpen, "BeforeOpen"},     {&TDataSet::AfterOpen, "AfterOpen"},
      {&TDataSet::BeforeClose, "BeforeClose"},   {&TDataSet::AfterClose, "AfterClose"},
      {&TDataSet::BeforeInsert, "BeforeInsert"}, {&TDataSet::AfterInsert, "AfterInsert"},
      {&TDataSet::BeforeEdit, "BeforeEdit"},     {&TDataSet::AfterEdit, "AfterEdit"},
      {&TDataSet::BeforePost, "BeforePost"},     {&TDataSet::AfterPost, "AfterPost"},
      {&TDataSet::BeforeCancel, "BeforeCancel"}, {&TDataSet::AfterCancel, "AfterCancel"},
      {&TDataSet::BeforeDelete, "BeforeDelete"}, {&TDataSet::AfterDelete, "AfterDelete"},
      {&TDataSet::BeforeScroll, "BeforeScroll"}, {&TDataSet::AfterScroll, "AfterScroll"},
      {&TDataSet::OnNewRecord, "OnNewRecord"},
  };
  for (const TBinding& Binding : Bindings) {
    const std::string Entry = std::string("ds.") + Binding.Name;
    DataSet.*(Binding.Event) = TDataSetNotifyEvent([&Log, Entry](TDataSet*) { Log.Add(Entry); });
  }
}

TOwned<TMemoryDataSet> MakeItems(int Count) {
  TOwned<TMemoryDataSet> Items(new TMemoryDataSet(nullptr));
  TFieldDefs& Defs = *Items->FieldDefs();
  Defs.Add("ID", ftInteger, 0, true);
  Defs.Add("Name", ftString, 20);
  Defs.Add("Price", ftFloat);
  Defs.Add("Active", ftBoolean);
  Defs.Add("Added", ftDate);
  Items->Open();
  for (int Index = 1; Index <= Count; ++Index) {
    char Name[32];
    std::snprintf(Name, sizeof Name, "Item %03d", Index);
    Items->AppendRecord({Index, Name, Index * 1.5, Index % 2 == 0, EncodeDate(2020, 1, 1) + Index});
  }
  Items->First();
  return Items;
}
