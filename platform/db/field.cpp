#include "platform/db/field.h"

#include <algorithm>

#include "platform/db/dbconsts.h"
#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TField)
KORCAM_REGISTER_CLASS(TFields)

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
  Detach();
}

void TField::BeforeDestruction() {
  Detach();
  TComponent::BeforeDestruction();
}

void TField::Detach() {
  if (!FDataSet) return;
  TDataSet* Set = FDataSet;
  // A field that goes away takes the record layout with it: the data set closes first.
  if (Set->Active() && !Set->ComponentState().Contains(csDestroying)) Set->Close();
  Set->FFields->Remove(this);
  FDataSet = nullptr;
}

void TField::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) FDataSet->CheckInactive();
  if (Value) {
    Value->CheckInactive();
    if (!FFieldName.empty() && Value->FindField(FFieldName))
      DatabaseErrorFmt(SDuplicateFieldName, {FFieldName}, Value);
  }
  if (FDataSet) FDataSet->FFields->Remove(this);
  FDataSet = Value;
  if (Value) Value->FFields->Add(this);
}

void TField::SetSize(int32_t Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FSize = Value;
}

// ---------------------------------------------------------------------------------------------
// Published properties.

void TField::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  PropertyChanged(false);
}

const std::string& TField::DisplayLabel() const {
  return FDisplayLabelText.empty() ? FFieldName : FDisplayLabelText;
}

void TField::SetDisplayLabel(const std::string& Value) {
  const std::string Label = Value == FFieldName ? std::string() : Value;
  if (FDisplayLabelText == Label) return;
  FDisplayLabelText = Label;
  PropertyChanged(true);
}

int32_t TField::DisplayWidth() const {
  return FDisplayWidthValue > 0 ? FDisplayWidthValue : GetDefaultWidth();
}

void TField::SetDisplayWidth(int32_t Value) {
  if (FDisplayWidthValue == Value) return;
  FDisplayWidthValue = Value;
  PropertyChanged(true);
}

void TField::SetEditMask(const std::string& Value) {
  if (FEditMask == Value) return;
  FEditMask = Value;
  PropertyChanged(false);
}

void TField::SetFieldKind(TFieldKind Value) {
  if (FFieldKind == Value) return;
  if (FDataSet) FDataSet->CheckInactive();
  FFieldKind = Value;
}

void TField::SetFieldName(const std::string& Value) {
  if (FFieldName == Value) return;
  if (FDataSet) {
    FDataSet->CheckInactive();
    TField* Other = FDataSet->FindField(Value);
    if (Other && Other != this) DatabaseErrorFmt(SDuplicateFieldName, {Value}, FDataSet);
  }
  FFieldName = Value;
}

void TField::SetKeyFields(const std::string& Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FKeyFields = Value;
}

void TField::SetLookupDataSet(TDataSet* Value) {
  if (Value == FLookupDataSet) return;
  if (FDataSet) FDataSet->CheckInactive();
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  FLookupDataSet = Value;
  if (Value) Value->FreeNotification(this);
}

void TField::SetLookupKeyFields(const std::string& Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FLookupKeyFields = Value;
}

void TField::SetLookupResultField(const std::string& Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FLookupResultField = Value;
}

void TField::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  PropertyChanged(true);
}

void TField::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  PropertyChanged(true);
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

TComponent* TField::GetParentComponent() const { return FDataSet; }

void TField::SetParentComponent(TComponent* Value) {
  if (auto* Set = dynamic_cast<TDataSet*>(Value)) SetDataSet(Set);
}

int TField::Index() const {
  return FDataSet ? FDataSet->FFields->IndexOf(this) : -1;
}

void TField::SetIndex(int Value) {
  const int Current = Index();
  if (Current < 0) return;
  Value = std::clamp(Value, 0, FDataSet->FFields->Count() - 1);
  if (Value == Current) return;
  FDataSet->FFields->Move(Current, Value);
  PropertyChanged(true);
}

void TField::PropertyChanged(bool LayoutAffected) {
  if (FDataSet && FDataSet->Active())
    FDataSet->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange, 0);
}

// ---------------------------------------------------------------------------------------------
// Values.

bool TField::GetData(TFieldValue& Value) const {
  if (FValidating) {
    Value = *FValidating;
    return !Value.IsNull();
  }
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  return FDataSet->GetFieldData(const_cast<TField*>(this), Value);
}

void TField::SetData(const TFieldValue& Value) {
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  FDataSet->SetFieldData(this, Value);
}

void TField::Validate(const TFieldValue& Value) {
  if (!OnValidate) return;
  FValidating = &Value;
  try {
    OnValidate(this);
  } catch (...) {
    FValidating = nullptr;
    throw;
  }
  FValidating = nullptr;
}

void TField::Change() {
  OnChange(this);
}

bool TField::IsNull() const {
  TFieldValue Value;
  return !GetData(Value);
}

void TField::Clear() {
  SetData(TFieldValue());
}

void TField::AccessError(const char* TypeName) const {
  DatabaseErrorFmt(SFieldAccessError, {DisplayName(), TypeName});
}

void TField::RangeError(const std::string& Value, const std::string& Min, const std::string& Max) const {
  DatabaseErrorFmt(SFieldRangeError, {Value, DisplayName(), Min, Max});
}

std::string TField::GetAsString() const {
  return ClassDesc();
}
void TField::SetAsStringValue(const std::string&) {
  AccessError("String");
}
int32_t TField::GetAsInteger() const {
  AccessError("Integer");
}
void TField::SetAsIntegerValue(int32_t) {
  AccessError("Integer");
}
void TField::SetAsLargeIntValue(int64_t Value) {
  if (Value < INT32_MIN || Value > INT32_MAX) AccessError("LargeInt");
  SetAsIntegerValue(static_cast<int32_t>(Value));
}
double TField::GetAsFloat() const {
  AccessError("Float");
}
void TField::SetAsFloatValue(double) {
  AccessError("Float");
}
bool TField::GetAsBoolean() const {
  AccessError("Boolean");
}
void TField::SetAsBooleanValue(bool) {
  AccessError("Boolean");
}
TDateTime TField::GetAsDateTime() const {
  AccessError("DateTime");
}
void TField::SetAsDateTimeValue(TDateTime) {
  AccessError("DateTime");
}

TFieldValue TField::GetAsVariant() const {
  TFieldValue Value;
  GetData(Value);
  return Value;
}

void TField::SetAsVariant(const TFieldValue& Value) {
  if (Value.IsNull())
    Clear();
  else if (Value.IsString())
    SetAsStringValue(Value.String());
  else if (Value.IsInteger())
    SetAsLargeIntValue(Value.Integer());
  else if (Value.IsFloat())
    SetAsFloatValue(Value.Float());
  else
    SetAsBooleanValue(Value.Boolean());
}

void TField::GetText(std::string& Text, bool) const {
  Text = GetAsString();
}

std::string TField::Text() const {
  std::string Result;
  if (OnGetText)
    OnGetText(const_cast<TField*>(this), Result, false);
  else
    GetText(Result, false);
  return Result;
}

void TField::SetText(const std::string& Value) {
  if (OnSetText)
    OnSetText(this, Value);
  else
    InternalSetText(Value);
}

std::string TField::DisplayText() const {
  std::string Result;
  if (OnGetText)
    OnGetText(const_cast<TField*>(this), Result, true);
  else
    GetText(Result, true);
  return Result;
}

bool TField::CanModify() const {
  if (FFieldNo <= 0 || FReadOnly || !FDataSet) return false;
  return FDataSet->CanModify();
}

void TField::FocusControl() {
  if (!FDataSet || !FDataSet->Active()) return;
  TField* Field = this;
  FDataSet->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(&Field));
}

void TField::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    return;
  }
  if (auto* Other = dynamic_cast<TField*>(Source)) {
    SetAsVariant(Other->GetAsVariant());
    return;
  }
  TComponent::Assign(Source);
}

std::string TField::ClassDesc() const {
  // "TMemoField" gives "(MEMO)" for a value and "(memo)" for null.
  std::string Name = ClassName();
  if (!Name.empty() && (Name[0] == 'T' || Name[0] == 't')) Name.erase(0, 1);
  if (Name.size() > 5 && SameText(Name.substr(Name.size() - 5), "Field")) Name.erase(Name.size() - 5);
  return "(" + (IsNull() ? LowerCase(Name) : UpperCase(Name)) + ")";
}

// ---------------------------------------------------------------------------------------------

TFields::~TFields() {
  for (TField* Field : FList) Field->FDataSet = nullptr;
}

TField* TFields::Fields(int Index) const {
  if (Index < 0 || Index >= Count()) DatabaseError(SFieldIndexError);
  return FList[static_cast<size_t>(Index)];
}

int TFields::IndexOf(const TField* Field) const {
  auto Where = std::find(FList.begin(), FList.end(), Field);
  return Where == FList.end() ? -1 : static_cast<int>(Where - FList.begin());
}

TField* TFields::FindField(const std::string& FieldName) const {
  for (TField* Field : FList)
    if (AnsiSameText(Field->FieldName(), FieldName)) return Field;
  return nullptr;
}

TField* TFields::FieldByName(const std::string& FieldName) const {
  TField* Field = FindField(FieldName);
  if (!Field) DatabaseErrorFmt(SFieldNotFound, {FieldName}, FDataSet);
  return Field;
}

TField* TFields::FieldByNumber(int FieldNo) const {
  for (TField* Field : FList)
    if (Field->FieldNo() == FieldNo) return Field;
  return nullptr;
}

void TFields::Clear() {
  while (!FList.empty()) {
    TField* Field = FList.back();
    FList.pop_back();
    Field->FDataSet = nullptr;
    Field->Free();
  }
}

void TFields::Add(TField* Field) {
  FList.push_back(Field);
}

void TFields::Remove(TField* Field) {
  auto Where = std::find(FList.begin(), FList.end(), Field);
  if (Where != FList.end()) FList.erase(Where);
}

void TFields::Move(int CurIndex, int NewIndex) {
  TField* Field = FList[static_cast<size_t>(CurIndex)];
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, Field);
}
