#include "platform/db/datalink.h"

#include <algorithm>

#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/field.h"

KORCAM_REGISTER_CLASS(TDataLink)
KORCAM_REGISTER_CLASS(TFieldDataLink)

namespace {

TFieldFocusHandler FieldFocusHandler = nullptr;

}  // namespace

void SetFieldFocusHandler(TFieldFocusHandler Handler) {
  FieldFocusHandler = Handler;
}

TDataLink::~TDataLink() {
  FDataSourceFixed = false;
  if (FDataSource) FDataSource->RemoveDataLink(this);
}

TDataSet* TDataLink::DataSet() const {
  return FDataSource ? FDataSource->DataSet() : nullptr;
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSourceFixed) DatabaseError(SDataSourceChange);
  if (FDataSource) FDataSource->RemoveDataLink(this);
  if (Value) Value->AddDataLink(this);
}

void TDataLink::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  UpdateState();
}

int TDataLink::ActiveRecord() const {
  if (!FActive) return 0;
  if (FDataSource->State() == dsSetKey) return 0;
  return DataSet()->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
  if (!FActive || FDataSource->State() == dsSetKey) return;
  DataSet()->FActiveRecord = Value + FFirstRecord;
}

bool TDataLink::Bof() const {
  return DataSet() ? DataSet()->Bof() : true;
}

bool TDataLink::Eof() const {
  return DataSet() ? DataSet()->Eof() : true;
}

int TDataLink::RecordCount() const {
  if (!FActive) return 0;
  if (FDataSource->State() == dsSetKey) return 1;
  const int Count = DataSet()->FRecordCount - FFirstRecord;
  return std::clamp(Count, 0, FBufferCount);
}

void TDataLink::SetBufferCount(int Value) {
  if (Value < 1) Value = 1;
  if (FBufferCount == Value) return;
  FBufferCount = Value;
  if (FActive) {
    UpdateRange();
    DataSet()->UpdateBufferCount();
    UpdateRange();
  }
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource) FDataSource->Edit();
  return Editing();
}

void TDataLink::UpdateRecord() {
  FUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

int TDataLink::MoveBy(int Distance) {
  return DataSet() ? DataSet()->MoveBy(Distance) : 0;
}

void TDataLink::UpdateState() {
  SetActive(FDataSource && FDataSource->State() != dsInactive);
  const TDataSetState State = FDataSource ? FDataSource->State() : dsInactive;
  SetEditing((State == dsEdit || State == dsInsert || State == dsSetKey) && !FReadOnly);
}

void TDataLink::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (Value)
    UpdateRange();
  else
    FFirstRecord = 0;
  ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
  if (FEditing == Value) return;
  FEditing = Value;
  EditingChanged();
}

void TDataLink::UpdateRange() {
  // Keep the window inside the data set's buffers and the current record inside the window.
  const TDataSet* Set = DataSet();
  const int ActiveIndex = Set->FActiveRecord;
  const int Min = std::max(0, ActiveIndex - FBufferCount + 1);
  const int Max = std::max(Min, std::min(ActiveIndex, Set->FBufferCount - FBufferCount));
  FFirstRecord = std::clamp(FFirstRecord, Min, Max);
}

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!FActive) return;
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
      if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(Info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
      // Info is how far the data set's buffers shifted; follow the records, then move the window
      // just enough to keep the current record in it. That move is the scroll distance.
      int Count = 0;
      if (FDataSource->State() != dsSetKey) {
        const int ActiveIndex = DataSet()->FActiveRecord;
        const int First = FFirstRecord + static_cast<int>(Info);
        const int Last = First + FBufferCount - 1;
        if (ActiveIndex > Last)
          Count = ActiveIndex - Last;
        else if (ActiveIndex < First)
          Count = ActiveIndex - First;
        FFirstRecord = First + Count;
      }
      if (Event == deDataSetChange)
        DataSetChanged();
      else if (Event == deDataSetScroll)
        DataSetScrolled(Count);
      else
        LayoutChanged();
      break;
    }
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    case deFocusControl:
      FocusControl(*reinterpret_cast<TField**>(Info));
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------

void TFieldDataLink::SetFieldName(const std::string& Value) {
  if (FFieldName == Value) return;
  FFieldName = Value;
  UpdateField();
}

bool TFieldDataLink::Edit() {
  if (CanModify()) TDataLink::Edit();
  return FFieldEditing;
}

bool TFieldDataLink::CanModify() const {
  return !ReadOnly() && FField && FField->CanModify();
}

void TFieldDataLink::UpdateField() {
  // A name that the data set does not know leaves the link without a field (the control then
  // shows nothing and refuses input) rather than failing the open.
  if (Active() && !FFieldName.empty())
    SetField(DataSet()->FindField(FFieldName));
  else
    SetField(nullptr);
}

void TFieldDataLink::SetField(TField* Value) {
  if (FField == Value) return;
  FField = Value;
  EditingChanged();
  RecordChanged(nullptr);
}

void TFieldDataLink::SetFieldEditing(bool Value) {
  if (FFieldEditing == Value) return;
  FFieldEditing = Value;
  FModified = false;
  OnEditingChange(this);
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() {
  SetFieldEditing(TDataLink::Editing() && CanModify());
}

void TFieldDataLink::FocusControl(TField*& Field) {
  if (Field && Field == FField && FControl && FieldFocusHandler && FieldFocusHandler(FControl))
    Field = nullptr;
}

void TFieldDataLink::LayoutChanged() {
  UpdateField();
}

void TFieldDataLink::RecordChanged(TField* Field) {
  if (Field && Field != FField) return;
  OnDataChange(this);
  FModified = false;
}

void TFieldDataLink::UpdateData() {
  if (!FModified) return;
  if (FField) OnUpdateData(this);
  FModified = false;
}
