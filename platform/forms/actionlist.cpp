#include "platform/forms/actionlist.h"

#include <algorithm>

#include "platform/forms/imagelist.h"

KORCAM_REGISTER_CLASS(TCustomActionList)
KORCAM_REGISTER_CLASS(TActionList)

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList() {
  while (!FActions.empty()) FActions.back()->SetActionList(nullptr);
}

void TCustomActionList::BeforeDestruction() {
  // The actions stay with their owner; they only leave the list.
  while (!FActions.empty()) FActions.back()->SetActionList(nullptr);
  TComponent::BeforeDestruction();
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
  Change();
}

int TCustomActionList::IndexOfAction(const TContainedAction* Action) const {
  auto Where = std::find(FActions.begin(), FActions.end(), Action);
  return Where == FActions.end() ? -1 : int(Where - FActions.begin());
}

void TCustomActionList::AddAction(TContainedAction* Action) {
  if (IndexOfAction(Action) >= 0) return;
  FActions.push_back(Action);
  Action->FActionList = this;
  Action->FreeNotification(this);
  Change();
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  auto Where = std::find(FActions.begin(), FActions.end(), Action);
  if (Where == FActions.end()) return;
  FActions.erase(Where);
  Action->FActionList = nullptr;
  if (!ComponentState().Contains(csDestroying)) Change();
}

bool TCustomActionList::IsShortCut(TShortCut Value) {
  if (Value == scNone) return false;
  for (TContainedAction* Contained : std::vector<TContainedAction*>(FActions)) {
    auto* Action = dynamic_cast<TCustomAction*>(Contained);
    if (!Action || Action->ShortCut() != Value || IndexOfAction(Action) < 0) continue;
    // The first action with that shortcut answers the key, whether or not it can run now.
    return Action->HandleShortCut();
  }
  return false;
}

void TCustomActionList::IdleUpdate() {
  // A handler may add or free actions; each action still in the list is updated once.
  const std::vector<TContainedAction*> Snapshot = FActions;
  for (TContainedAction* Action : Snapshot)
    if (IndexOfAction(Action) >= 0) Action->Update();
}

void TCustomActionList::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TContainedAction* Action : FActions)
    if (Action->Owner() == Root) Proc(Action);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) {
    FImages = nullptr;
    if (!ComponentState().Contains(csDestroying)) Change();
  }
  if (auto* Action = dynamic_cast<TContainedAction*>(AComponent)) RemoveAction(Action);
}

void TCustomActionList::Change() {
  if (OnChange) OnChange(this);
}
