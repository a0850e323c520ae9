#include "platform/forms/actions.h"

#include <algorithm>

#include "platform/forms/actionlist.h"
#include "platform/forms/control.h"

KORCAM_REGISTER_CLASS(TActionLink)
KORCAM_REGISTER_CLASS(TBasicAction)
KORCAM_REGISTER_CLASS(TContainedAction)
KORCAM_REGISTER_CLASS(TCustomAction)
KORCAM_REGISTER_CLASS(TAction)
KORCAM_REGISTER_CLASS(TControlActionLink)

// ---- TActionLink -----------------------------------------------------------------------------

TActionLink::~TActionLink() {
  if (FAction) FAction->UnRegisterLink(this);
}

void TActionLink::SetAction(TBasicAction* Value) {
  if (FAction == Value) return;
  if (FAction) FAction->UnRegisterLink(this);
  FAction = Value;
  if (FAction) FAction->RegisterLink(this);
}

bool TActionLink::Execute(TComponent* Target) {
  if (!FAction) return false;
  TBasicAction* Action = FAction;
  TObjectProtector Protector(Action);
  Action->SetActionComponent(Target);
  struct TClear {
    TObjectProtector& Protector;
    TBasicAction* Action;
    ~TClear() {
      if (Protector.Alive()) Action->SetActionComponent(nullptr);
    }
  } Clear{Protector, Action};
  return Action->Execute();
}

bool TActionLink::Update() {
  return FAction && FAction->Update();
}

// ---- TBasicAction ----------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  // A plain delete: the clients must still forget the action.
  while (!FLinks.empty()) {
    TActionLink* Link = FLinks.back();
    FLinks.pop_back();
    Link->FAction = nullptr;
    Link->ActionFreed();
  }
}

void TBasicAction::BeforeDestruction() {
  while (!FLinks.empty()) {
    TActionLink* Link = FLinks.back();
    FLinks.pop_back();
    Link->FAction = nullptr;
    Link->ActionFreed();
  }
  TComponent::BeforeDestruction();
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  TObjectProtector Protector(this);
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  TObjectProtector Protector(this);
  OnUpdate(this);
  return true;
}

void TBasicAction::SetActionComponent(TComponent* Value) {
  if (FActionComponent == Value) return;
  if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
  FActionComponent = Value;
  if (FActionComponent) FActionComponent->FreeNotification(this);
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

void TBasicAction::RegisterLink(TActionLink* Link) {
  if (!IsLink(Link)) FLinks.push_back(Link);
}

void TBasicAction::UnRegisterLink(TActionLink* Link) {
  auto Where = std::find(FLinks.begin(), FLinks.end(), Link);
  if (Where != FLinks.end()) FLinks.erase(Where);
}

void TBasicAction::ForEachLink(const std::function<void(TActionLink*)>& Apply) {
  const std::vector<TActionLink*> Snapshot = FLinks;
  for (TActionLink* Link : Snapshot)
    if (IsLink(Link)) Apply(Link);
}

bool TBasicAction::IsLink(const TActionLink* Link) const {
  return std::find(FLinks.begin(), FLinks.end(), Link) != FLinks.end();
}

// ---- TContainedAction ------------------------------------------------------------------------

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() {
  if (FActionList) FActionList->RemoveAction(this);
}

void TContainedAction::BeforeDestruction() {
  if (FActionList) FActionList->RemoveAction(this);
  TBasicAction::BeforeDestruction();
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (FActionList == Value) return;
  if (FActionList) FActionList->RemoveAction(this);
  if (Value) Value->AddAction(this);
}

int TContainedAction::Index() const {
  return FActionList ? FActionList->IndexOfAction(this) : -1;
}

TComponent* TContainedAction::GetParentComponent() const {
  return FActionList;
}

void TContainedAction::SetParentComponent(TComponent* Value) {
  auto* List = dynamic_cast<TCustomActionList*>(Value);
  if (Value && !List) throw EComponentError("An action can only be placed in an action list");
  SetActionList(List);
}

// ---- TCustomAction ---------------------------------------------------------------------------

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

TCustomAction::~TCustomAction() = default;

// Every writer tells the links first, while the action still holds the old value (a link
// compares its client with it), then stores.

void TCustomAction::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  ForEachLink([&](TActionLink* Link) { Link->SetCaption(Value); });
  FCaption = Value;
}

void TCustomAction::SetChecked(bool Value) {
  if (FChecked == Value || FChecking) return;
  FChecking = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } Reset{FChecking};
  ForEachLink([&](TActionLink* Link) { Link->SetChecked(Value); });
  FChecked = Value;
  if (Value && FGroupIndex > 0 && ActionList()) {
    TCustomActionList* List = ActionList();
    for (int Index = 0; Index < List->ActionCount(); ++Index) {
      auto* Other = dynamic_cast<TCustomAction*>(List->Actions(Index));
      if (Other && Other != this && Other->FGroupIndex == FGroupIndex) Other->SetChecked(false);
    }
  }
}

void TCustomAction::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  ForEachLink([&](TActionLink* Link) { Link->SetEnabled(Value); });
  FEnabled = Value;
}

void TCustomAction::SetGroupIndex(int32_t Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  // A checked action that joins a group leaves it with only one member checked.
  if (FChecked && Value > 0 && ActionList()) {
    TCustomActionList* List = ActionList();
    for (int Index = 0; Index < List->ActionCount(); ++Index) {
      auto* Other = dynamic_cast<TCustomAction*>(List->Actions(Index));
      if (Other && Other != this && Other->FGroupIndex == Value) Other->SetChecked(false);
    }
  }
}

void TCustomAction::SetHint(const std::string& Value) {
  if (FHint == Value) return;
  ForEachLink([&](TActionLink* Link) { Link->SetHint(Value); });
  FHint = Value;
}

void TCustomAction::SetImageIndex(int32_t Value) {
  if (FImageIndex == Value) return;
  ForEachLink([&](TActionLink* Link) { Link->SetImageIndex(Value); });
  FImageIndex = Value;
}

void TCustomAction::SetShortCut(TShortCut Value) {
  if (FShortCut == Value) return;
  ForEachLink([&](TActionLink* Link) { Link->SetShortCut(Value); });
  FShortCut = Value;
}

void TCustomAction::SetVisible(bool Value) {
  if (FVisible == Value) return;
  ForEachLink([&](TActionLink* Link) { Link->SetVisible(Value); });
  FVisible = Value;
}

bool TCustomAction::Execute() {
  TObjectProtector Protector(this);
  Update();
  if (!Protector.Alive() || !FEnabled) return false;
  if (FAutoCheck && (!FChecked || FGroupIndex == 0)) SetChecked(!FChecked);
  return TContainedAction::Execute();
}

bool TCustomAction::HandleShortCut() {
  return Execute();
}

// ---- TControlActionLink ----------------------------------------------------------------------

void TControlActionLink::SetCaption(const std::string& Value) {
  auto* Action = dynamic_cast<TCustomAction*>(this->Action());
  if (Action && FClient->Caption() == Action->Caption()) FClient->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
  auto* Action = dynamic_cast<TCustomAction*>(this->Action());
  if (Action && FClient->Enabled() == Action->Enabled()) FClient->SetEnabled(Value);
}

void TControlActionLink::SetHint(const std::string& Value) {
  auto* Action = dynamic_cast<TCustomAction*>(this->Action());
  if (Action && FClient->Hint() == Action->Hint()) FClient->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value) {
  auto* Action = dynamic_cast<TCustomAction*>(this->Action());
  if (Action && FClient->Visible() == Action->Visible()) FClient->SetVisible(Value);
}

void TControlActionLink::ActionFreed() {
  FClient->ActionLinkBroken();
}
