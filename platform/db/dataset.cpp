#include "platform/db/dataset.h"

#include <algorithm>

#include "platform/db/blobfields.h"
#include "platform/db/datalink.h"
#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/field.h"
#include "platform/db/fieldclasses.h"
#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TDataSet)

namespace {

bool IsEditState(TDataSetState State) {
  return State == dsEdit || State == dsInsert;
}

bool IsWriteState(TDataSetState State) {
  switch (State) {
    case dsEdit:
    case dsInsert:
    case dsSetKey:
    case dsCalcFields:
    case dsFilter:
    case dsNewValue:
    case dsInternalCalc:
      return true;
    default:
      return false;
  }
}

// Restores a temporary state on every way out of a scope.
class TTempState {
 public:
  TTempState(TDataSetState& State, int& DisableCount, TDataSetState Value)
      : FState(State), FDisableCount(DisableCount), FSaved(State) {
    ++FDisableCount;
    FState = Value;
  }
  ~TTempState() {
    FState = FSaved;
    --FDisableCount;
  }
  TTempState(const TTempState&) = delete;
  TTempState& operator=(const TTempState&) = delete;

 private:
  TDataSetState& FState;
  int& FDisableCount;
  TDataSetState FSaved;
};

}  // namespace

TDataSet::TDataSet(TComponent* AOwner)
    : TComponent(AOwner),
      FFieldDefs(std::make_unique<TFieldDefs>(this)),
      FFields(std::make_unique<TFields>(this)) {}

TDataSet::~TDataSet() {
  // Reached without Free() and without a descendant's DestroyDataSet, the cursor's half of the
  // object is already gone: close what this class owns without asking it anything.
  if (FDestroyed) return;
  FDestroyed = true;
  FState = dsInactive;
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
  DestroyFields();
}

void TDataSet::BeforeDestruction() {
  DestroyDataSet();
  TComponent::BeforeDestruction();
}

void TDataSet::DestroyDataSet() {
  if (FDestroyed) return;
  FDestroyed = true;
  Destroying();
  SetActiveValue(false);
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
  DestroyFields();
}

// ---------------------------------------------------------------------------------------------
// Opening and closing.

bool TDataSet::Active() const {
  return FState != dsInactive && FState != dsOpening;
}

void TDataSet::SetActive(bool Value) {
  if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading)) {
    FStreamedActive = Value;
    return;
  }
  SetActiveValue(Value);
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (FStreamedActive) {
    FStreamedActive = false;
    SetActiveValue(true);
  }
}

void TDataSet::SetActiveValue(bool Value) {
  if (Active() == Value) return;
  const bool Destroying = ComponentState().Contains(csDestroying);
  if (Value) {
    DoBeforeOpen();
    OpenCursor(false);
    SetState(dsBrowse);
    DoAfterOpen();
    if (!IsEmpty()) DoAfterScroll();
  } else {
    if (!Destroying) DoBeforeClose();
    SetState(dsInactive);
    CloseCursor();
    if (!Destroying) DoAfterClose();
  }
}

void TDataSet::InitFieldDefs() {
  if (IsCursorOpen()) {
    InternalInitFieldDefs();
    return;
  }
  OpenCursor(true);
  CloseCursor();
}

void TDataSet::OpenCursor(bool InfoQuery) {
  if (InfoQuery) {
    InternalInitFieldDefs();
    return;
  }
  FDefaultFields = FieldCount() == 0;
  try {
    InternalOpen();
    if (FDefaultFields) CreateFields();
    BindFields(true);
    FBuffers.clear();
    FBufferCount = 0;
    int Wanted = 1;
    ForEachLink([&](TDataLink* Link) { Wanted = std::max(Wanted, Link->FBufferCount); });
    for (int Index = 0; Index <= Wanted; ++Index) FBuffers.push_back(AllocRecordBuffer());
    FBufferCount = Wanted;
    ClearBuffers();
    InternalFirst();
    GetNextRecord();
    GetNextRecords();
    FBOF = true;
  } catch (...) {
    CloseCursor();
    throw;
  }
}

void TDataSet::CloseCursor() {
  if (IsCursorOpen()) InternalClose();
  FBuffers.clear();
  FScanBuffer.reset();
  FBufferCount = 0;
  FRecordCount = 0;
  FActiveRecord = 0;
  FCurrentRecord = -1;
  FBOF = FEOF = true;
  BindFields(false);
  if (FDefaultFields) DestroyFields();
  FDefaultFields = false;
}

void TDataSet::CreateFields() {
  for (int Index = 0; Index < FFieldDefs->Count(); ++Index) {
    const TFieldDef* Def = FFieldDefs->Items(Index);
    TField* Field = CreateFieldForType(Def->DataType(), this);
    if (!Field) continue;
    Field->SetFieldName(Def->Name());
    if (Def->DataType() == ftString || Def->DataType() == ftFixedChar || Def->DataType() == ftWideString ||
        Def->DataType() == ftBCD || Def->DataType() == ftFMTBcd)
      Field->SetSize(Def->Size());
    Field->SetRequired(Def->Required());
    Field->SetDataSet(this);
  }
}

void TDataSet::DestroyFields() {
  while (FFields->Count() > 0) {
    TField* Field = FFields->FList.back();
    FFields->FList.pop_back();
    Field->FDataSet = nullptr;
    Field->Free();
  }
}

void TDataSet::BindFields(bool Binding) {
  FCalcFieldCount = 0;
  FDataSlotCount = Binding ? FFieldDefs->Count() : 0;
  int NextCalcSlot = FDataSlotCount;
  for (TField* Field : *FFields) {
    if (!Binding) {
      Field->FFieldSlot = -1;
      continue;
    }
    if (Field->FieldKind() == fkData) {
      TFieldDef* Def = FFieldDefs->FindDef(Field->FieldName());
      if (!Def) DatabaseErrorFmt(SFieldNotFound, {Field->DisplayName()}, this);
      if (!FieldTypesCompatible(Field->DataType(), Def->DataType()))
        DatabaseErrorFmt(
            SFieldTypeMismatch,
            {Field->DisplayName(), FieldTypeName(Field->DataType()), FieldTypeName(Def->DataType())}, this);
      Field->FFieldNo = Def->FieldNo();
      Field->FFieldSlot = Def->FieldNo() - 1;
      if (Field->Size() == 0 && Def->Size() != 0) Field->SetSize(Def->Size());
    } else {
      if (Field->FieldKind() == fkLookup &&
          (!Field->LookupDataSet() || Field->KeyFields().empty() || Field->LookupKeyFields().empty() ||
           Field->LookupResultField().empty()))
        DatabaseErrorFmt(SLookupInfoError, {Field->DisplayName()}, this);
      Field->FFieldNo = 0;
      Field->FFieldSlot = NextCalcSlot++;
      ++FCalcFieldCount;
    }
  }
  FRecordSlotCount = NextCalcSlot;
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError(SDataSetClosed, this);
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(SDataSetOpen, this);
}

void TDataSet::CheckCanModify() const {
  if (!CanModify()) DatabaseError(SDataSetReadOnly, this);
}

// ---------------------------------------------------------------------------------------------
// State and events.

void TDataSet::SetState(TDataSetState Value) {
  if (FState == Value) return;
  FState = Value;
  FModified = false;
  DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
  const TDataSetState Saved = FState;
  ++FDisableCount;
  FState = Value;
  return Saved;
}

void TDataSet::RestoreState(TDataSetState Value) {
  FState = Value;
  --FDisableCount;
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info) {
  std::vector<TField*> Recalculated;
  if (Event == deFieldChange) {
    auto* Field = reinterpret_cast<TField*>(Info);
    if (Field->FieldKind() == fkData || Field->FieldKind() == fkInternalCalc) SetModified(true);
    // Calculated fields follow the data fields they are made of while the record is edited. The
    // controls that show a calculated field whose value moved hear a change of that field (never
    // a change of the whole record, which would reload controls the user is typing in).
    TRecordBuffer* Buffer = ActiveBuffer();
    if (FState != dsSetKey && FAutoCalcFields && FCalcFieldCount > 0 && Field->FieldKind() == fkData &&
        Buffer) {
      const std::vector<TFieldValue> Before = Buffer->Values;
      CalculateFields(Buffer);
      for (TField* Other : *FFields) {
        const auto Slot = static_cast<size_t>(Other->FFieldSlot);
        if (Other->FieldKind() != fkData && Other->FFieldSlot >= 0 && Slot < Before.size() &&
            !(Before[Slot] == Buffer->Values[Slot]))
          Recalculated.push_back(Other);
      }
    }
  }
  if (!ControlsDisabled() && FState != dsBlockRead) {
    for (size_t Index = 0; Index < FDataSources.size(); ++Index) {
      TDataSource* Source = FDataSources[Index];
      Source->DataEvent(Event, Info);
      if (Index < FDataSources.size() && FDataSources[Index] != Source) --Index;
    }
  } else if ((Event == deUpdateState && FState == dsInactive) || Event == deLayoutChange) {
    FEnableEvent = deLayoutChange;
  }
  for (TField* Field : Recalculated) DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
}

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    FEnableEvent = deDataSetChange;
  }
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount != 0) return;
  if (FDisableState != FState) DataEvent(deUpdateState, 0);
  if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
}

void TDataSet::SetFiltered(bool Value) {
  if (FFiltered == Value) return;
  if (Active()) CheckBrowseMode();
  FFiltered = Value;
  if (Active()) FilterChanged();
}

void TDataSet::AddDataSource(TDataSource* DataSource) {
  FDataSources.push_back(DataSource);
  UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* DataSource) {
  auto Where = std::find(FDataSources.begin(), FDataSources.end(), DataSource);
  if (Where != FDataSources.end()) FDataSources.erase(Where);
  UpdateBufferCount();
}

bool TDataSet::IsLinkedTo(const TDataSource* DataSource) const {
  return std::find(FDataSources.begin(), FDataSources.end(), DataSource) != FDataSources.end();
}

void TDataSet::ForEachLink(const std::function<void(TDataLink*)>& Visit) const {
  for (TDataSource* Source : FDataSources)
    for (TDataLink* Link : Source->FDataLinks) Visit(Link);
}

void TDataSet::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TField* Field : *FFields)
    if (Field->Owner() == Root) Proc(Field);
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (TField* Field : *FFields)
    if (Field->LookupDataSet() == AComponent) Field->FLookupDataSet = nullptr;
}

// ---------------------------------------------------------------------------------------------
// The edit cycle.

template <class TProcedure>
void TDataSet::CheckOperation(TProcedure Operation, const TDataSetErrorEvent& ErrorEvent) {
  for (;;) {
    try {
      Operation();
      return;
    } catch (EDatabaseError& Error) {
      TDataAction Action = daFail;
      ErrorEvent(this, &Error, Action);
      if (Action == daFail) throw;
      if (Action == daAbort) throw EAbort(SOperationAborted);
    }
  }
}

void TDataSet::Edit() {
  if (IsEditState(FState)) return;
  if (FRecordCount == 0) {
    Insert();
    return;
  }
  CheckBrowseMode();
  CheckCanModify();
  DoBeforeEdit();
  UpdateCursorPos();
  CheckOperation([this] { InternalEdit(); }, OnEditError);
  GetCalcFields(ActiveBuffer());
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  DoAfterEdit();
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  CheckCanModify();
  DoBeforeInsert();
  DoBeforeScroll();
}

void TDataSet::Insert() {
  BeginInsertAppend();
  const TBookmark Following = FRecordCount > 0 ? ActiveBuffer()->Bookmark : TBookmark();
  // The spare buffer takes the current record's place; the records from there move one down
  // (the last one drops out of a full window).
  MoveBuffer(FRecordCount, FActiveRecord);
  CursorPosChanged();
  TRecordBuffer* Buffer = ActiveBuffer();
  Buffer->Values.assign(static_cast<size_t>(FRecordSlotCount), TFieldValue());
  Buffer->Bookmark = Following;
  Buffer->BookmarkFlag = FRecordCount == 0 ? bfBOF : bfInserted;
  InternalInitRecord(Buffer);
  if (FRecordCount < FBufferCount) ++FRecordCount;
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::Append() {
  BeginInsertAppend();
  ClearBuffers();
  TRecordBuffer* Buffer = FBuffers[0].get();
  Buffer->Values.assign(static_cast<size_t>(FRecordSlotCount), TFieldValue());
  Buffer->Bookmark.clear();
  Buffer->BookmarkFlag = bfEOF;
  InternalInitRecord(Buffer);
  FRecordCount = 1;
  FBOF = false;
  // The records before the end fill the window above the new one.
  GetPriorRecords();
  InternalInsert();
  EndInsertAppend();
}

void TDataSet::EndInsertAppend() {
  SetState(dsInsert);
  try {
    DoOnNewRecord();
  } catch (...) {
    UpdateCursorPos();
    SetState(dsBrowse);
    Resync({});
    throw;
  }
  FModified = false;
  DataEvent(deDataSetChange, 0);
  DoAfterInsert();
  DoAfterScroll();
}

void TDataSet::Post() {
  UpdateRecord();
  if (!IsEditState(FState)) return;
  DataEvent(deCheckBrowseMode, 0);
  // Until InternalPost succeeds nothing changes: a handler or check that raises leaves the data
  // set editing with every value the user entered.
  DoBeforePost();
  CheckRequiredFields();
  CheckOperation([this] { InternalPost(); }, OnPostError);
  SetState(dsBrowse);
  Resync({});
  DoAfterPost();
}

void TDataSet::Cancel() {
  if (!IsEditState(FState)) return;
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeCancel();
  const bool ScrollEvents = FState == dsInsert;
  if (ScrollEvents) DoBeforeScroll();
  UpdateCursorPos();
  InternalCancel();
  SetState(dsBrowse);
  Resync({});
  DoAfterCancel();
  if (ScrollEvents) DoAfterScroll();
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert || FState == dsSetKey) {
    Cancel();
    return;
  }
  if (FRecordCount == 0) DatabaseError(SDataSetEmpty, this);
  DataEvent(deCheckBrowseMode, 0);
  DoBeforeDelete();
  DoBeforeScroll();
  UpdateCursorPos();
  CheckOperation([this] { InternalDelete(); }, OnDeleteError);
  SetState(dsBrowse);
  Resync({});
  DoAfterDelete();
  DoAfterScroll();
}

void TDataSet::InternalPost() {
  DatabaseError(SDataSetReadOnly, this);
}

void TDataSet::InternalDelete() {
  DatabaseError(SDataSetReadOnly, this);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  switch (FState) {
    case dsEdit:
    case dsInsert:
      UpdateRecord();
      if (FModified)
        Post();
      else
        Cancel();
      break;
    case dsSetKey:
      Post();
      break;
    default:
      break;
  }
}

void TDataSet::UpdateRecord() {
  if (!IsEditState(FState) && FState != dsSetKey) DatabaseError(SNotEditing, this);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::SetFields(const std::vector<TFieldValue>& Values) {
  if (!IsEditState(FState) && FState != dsSetKey) DatabaseError(SNotEditing, this);
  const int Count = std::min(static_cast<int>(Values.size()), FFields->Count());
  for (int Index = 0; Index < Count; ++Index)
    FFields->Fields(Index)->SetValue(Values[static_cast<size_t>(Index)]);
}

void TDataSet::AppendRecord(const std::vector<TFieldValue>& Values) {
  Append();
  SetFields(Values);
  Post();
}

void TDataSet::InsertRecord(const std::vector<TFieldValue>& Values) {
  Insert();
  SetFields(Values);
  Post();
}

void TDataSet::CheckRequiredFields() {
  for (TField* Field : *FFields) {
    if (Field->Required() && !Field->ReadOnly() && Field->FieldKind() == fkData && Field->IsNull()) {
      Field->FocusControl();
      DatabaseErrorFmt(SFieldRequired, {Field->DisplayName()}, this);
    }
  }
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  UpdateCursorPos();
  InternalRefresh();
  Resync({});
}

// ---------------------------------------------------------------------------------------------
// Fields and their values.

int TDataSet::FieldCount() const {
  return FFields->Count();
}

TField* TDataSet::FindField(const std::string& FieldName) const {
  return FFields->FindField(FieldName);
}

TField* TDataSet::FieldByName(const std::string& FieldName) const {
  TField* Field = FindField(FieldName);
  if (!Field) DatabaseErrorFmt(SFieldNotFound, {FieldName}, this);
  return Field;
}

void TDataSet::GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const {
  size_t Start = 0;
  while (Start <= FieldNames.size()) {
    size_t End = FieldNames.find(';', Start);
    if (End == std::string::npos) End = FieldNames.size();
    const std::string Name = Trim(FieldNames.substr(Start, End - Start));
    if (!Name.empty()) List.push_back(FieldByName(Name));
    Start = End + 1;
  }
}

TRecordBuffer* TDataSet::ActiveBuffer() const {
  if (FActiveRecord < 0 || FActiveRecord >= static_cast<int>(FBuffers.size())) return nullptr;
  return FBuffers[static_cast<size_t>(FActiveRecord)].get();
}

TRecordBuffer* TDataSet::GetActiveRecordBuffer() const {
  switch (FState) {
    case dsBrowse:
      return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
      return ActiveBuffer();
    case dsCalcFields:
    case dsInternalCalc:
      return FCalcBuffer;
    case dsFilter:
      return FFilterBuffer;
    default:
      return nullptr;
  }
}

bool TDataSet::GetFieldData(TField* Field, TFieldValue& Value) {
  const TRecordBuffer* Buffer = GetActiveRecordBuffer();
  const int Slot = Field->FFieldSlot;
  if (!Buffer || Slot < 0 || Slot >= static_cast<int>(Buffer->Values.size())) {
    Value = TFieldValue();
    return false;
  }
  Value = Buffer->Values[static_cast<size_t>(Slot)];
  return !Value.IsNull();
}

void TDataSet::SetFieldData(TField* Field, const TFieldValue& Value) {
  if (!IsWriteState(FState)) DatabaseError(SNotEditing, this);
  TRecordBuffer* Buffer = GetActiveRecordBuffer();
  const int Slot = Field->FFieldSlot;
  if (!Buffer || Slot < 0) DatabaseError(SNotEditing, this);
  if (FState == dsCalcFields && (Field->FieldKind() == fkData || Field->FieldKind() == fkInternalCalc))
    DatabaseError(SNotEditing, this);
  if (Field->ReadOnly() && FState != dsSetKey && FState != dsFilter && FState != dsCalcFields)
    DatabaseErrorFmt(SFieldReadOnly, {Field->DisplayName()}, this);
  Field->Validate(Value);
  if (Slot >= static_cast<int>(Buffer->Values.size()))
    Buffer->Values.resize(static_cast<size_t>(FRecordSlotCount));
  Buffer->Values[static_cast<size_t>(Slot)] = Value;
  if (FState == dsCalcFields || FState == dsFilter || FState == dsNewValue) return;
  DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
  Field->Change();
}

void TDataSet::GetCalcFields(TRecordBuffer* Buffer) {
  if (FCalcFieldCount > 0 && Buffer) CalculateFields(Buffer);
}

void TDataSet::CalculateFields(TRecordBuffer* Buffer) {
  TRecordBuffer* SavedBuffer = FCalcBuffer;
  FCalcBuffer = Buffer;
  TTempState Temp(FState, FDisableCount, dsCalcFields);
  try {
    Buffer->Values.resize(static_cast<size_t>(FRecordSlotCount));
    for (TField* Field : *FFields) {
      if (Field->FieldKind() == fkData || Field->FFieldSlot < 0) continue;
      Buffer->Values[static_cast<size_t>(Field->FFieldSlot)] = TFieldValue();
    }
    for (TField* Field : *FFields) {
      if (Field->FieldKind() != fkLookup) continue;
      TDataSet* Other = Field->LookupDataSet();
      if (!Other || !Other->Active()) continue;
      std::vector<TField*> Keys;
      GetFieldList(Keys, Field->KeyFields());
      std::vector<TFieldValue> KeyValues;
      bool AnyNull = false;
      for (TField* Key : Keys) {
        KeyValues.push_back(Key->Value());
        AnyNull = AnyNull || KeyValues.back().IsNull();
      }
      if (AnyNull) continue;
      Field->SetValue(Other->Lookup(Field->LookupKeyFields(), KeyValues, Field->LookupResultField()));
    }
    DoOnCalcFields();
  } catch (...) {
    FCalcBuffer = SavedBuffer;
    throw;
  }
  FCalcBuffer = SavedBuffer;
}

bool TDataSet::RecordAccepted(TRecordBuffer* Buffer) {
  if (!FFiltered || !OnFilterRecord) return true;
  TRecordBuffer* SavedBuffer = FFilterBuffer;
  FFilterBuffer = Buffer;
  bool Accept = true;
  TTempState Temp(FState, FDisableCount, dsFilter);
  try {
    OnFilterRecord(this, Accept);
  } catch (...) {
    FFilterBuffer = SavedBuffer;
    throw;
  }
  FFilterBuffer = SavedBuffer;
  return Accept;
}

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
  return std::make_unique<TBlobStream>(Field, Mode);
}
