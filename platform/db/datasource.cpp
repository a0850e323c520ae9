#include "platform/db/datasource.h"

#include <algorithm>

#include "platform/db/datalink.h"
#include "platform/db/dbconsts.h"

KORCAM_REGISTER_CLASS(TDataSource)

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  Detach();
}

void TDataSource::BeforeDestruction() {
  Detach();
  TComponent::BeforeDestruction();
}

void TDataSource::Detach() {
  if (FDetached) return;
  FDetached = true;
  OnStateChange.Clear();
  SetDataSet(nullptr);
  while (!FDataLinks.empty()) RemoveDataLink(FDataLinks.back());
}

void TDataSource::SetDataSet(TDataSet* const Value) {
  if (Value == FDataSet) return;
  if (Value && IsLinkedTo(Value)) DatabaseError(SCircularDataLink, this);
  if (TDataSet* Old = FDataSet) {
    FDataSet = nullptr;
    Old->RemoveDataSource(this);
    RemoveFreeNotification(Old);
    UpdateState();
  }
  if (Value) {
    FDataSet = Value;
    Value->AddDataSource(this);
    Value->FreeNotification(this);
    UpdateState();
  }
}

void TDataSource::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateState();
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse && FDataSet) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(const TDataSet* ADataSet) const {
  // Walk the chain of masters: a detail data set whose master source is this one (directly or
  // further up) must not become this source's data set.
  for (const TDataSet* Current = ADataSet; Current;) {
    TDataSource* Master = Current->GetDataSource();
    if (!Master) break;
    if (Master == this) return true;
    Current = Master->DataSet();
  }
  return false;
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == FDataSet) SetDataSet(nullptr);
}

void TDataSource::AddDataLink(TDataLink* Link) {
  FDataLinks.push_back(Link);
  Link->FDataSource = this;
  if (FDataSet) FDataSet->UpdateBufferCount();
  Link->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
  Link->FDataSource = nullptr;
  auto Where = std::find(FDataLinks.begin(), FDataLinks.end(), Link);
  if (Where != FDataLinks.end()) FDataLinks.erase(Where);
  Link->UpdateState();
  if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::NotifyDataLinks(TDataEvent Event, intptr_t Info) {
  // By index and against the live list: a link's handler may remove links (its own included).
  for (size_t Index = 0; Index < FDataLinks.size(); ++Index) {
    TDataLink* Link = FDataLinks[Index];
    Link->DataEvent(Event, Info);
    if (Index < FDataLinks.size() && FDataLinks[Index] != Link) --Index;
  }
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (FState == dsInactive) return;
  NotifyDataLinks(Event, Info);
  switch (Event) {
    case deFieldChange:
      OnDataChange(this, reinterpret_cast<TField*>(Info));
      break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      OnDataChange(this, nullptr);
      break;
    case deUpdateRecord:
      OnUpdateData(this);
      break;
    default:
      break;
  }
}

void TDataSource::UpdateState() {
  SetState(FEnabled && FDataSet ? FDataSet->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState Value) {
  if (FState == Value) return;
  const TDataSetState Prior = FState;
  FState = Value;
  NotifyDataLinks(deUpdateState, 0);
  if (ComponentState().Contains(csDestroying)) return;
  OnStateChange(this);
  // Links that just became active read the data set once.
  if (Prior == dsInactive) NotifyDataLinks(deDataSetChange, 0);
}
