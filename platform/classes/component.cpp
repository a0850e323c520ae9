#include "platform/classes/component.h"

#include <algorithm>

#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TComponent)

namespace {

void EraseFirst(std::vector<TComponent*>& List, TComponent* Item) {
  auto Where = std::find(List.begin(), List.end(), Item);
  if (Where != List.end()) List.erase(Where);
}

}  // namespace

bool IsValidIdent(const std::string& Ident) {
  if (Ident.empty()) return false;
  auto IsAlpha = [](char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_'; };
  if (!IsAlpha(Ident[0])) return false;
  return std::all_of(Ident.begin(), Ident.end(), [&](char C) { return IsAlpha(C) || (C >= '0' && C <= '9'); });
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Freed with Free(), the work was done while the object was whole; a plain delete still leaves
  // no dangling references behind.
  if (!FDestroyed) DestroyOwnedAndDetach();
}

void TComponent::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  DestroyOwnedAndDetach();
}

void TComponent::DestroyOwnedAndDetach() {
  FDestroyed = true;
  Destroying();
  RemoveFreeNotifications();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& Value) {
  if (FName == Value) return;
  if (!Value.empty() && !IsValidIdent(Value))
    throw EComponentError("'" + Value + "' is not a valid component name");
  if (FOwner)
    FOwner->ValidateRename(this, FName, Value);
  else
    ValidateRename(nullptr, FName, Value);
  FName = Value;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
  if (!AComponent || NewName.empty() || SameText(CurName, NewName)) return;
  TComponent* Existing = FindComponent(NewName);
  if (Existing && Existing != AComponent)
    throw EComponentError("A component named " + NewName + " already exists");
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  const auto& Siblings = FOwner->FComponents;
  auto Where = std::find(Siblings.begin(), Siblings.end(), this);
  return Where == Siblings.end() ? -1 : static_cast<int>(Where - Siblings.begin());
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* Component : FComponents)
    if (SameText(Component->FName, AName)) return Component;
  return nullptr;
}

void TComponent::SetDesigning(bool Value) {
  if (Value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  for (TComponent* Component : FComponents) Component->SetDesigning(Value);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  ValidateRename(AComponent, "", AComponent->FName);
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  EraseFirst(FComponents, AComponent);
  AComponent->FOwner = nullptr;
  // A published field of ours that named it must not go on pointing at it.
  for (const TFieldInfo* Field : ClassType().FieldList())
    if (Field->Get(*this) == AComponent) Field->Set(*this, nullptr);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* Instance = FComponents.back();
    if (Instance->FComponentState.Contains(csFreeNotification)) {
      RemoveComponent(Instance);
    } else {
      FComponents.pop_back();
      Instance->FOwner = nullptr;
    }
    Instance->Free();
  }
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* Component : FComponents) Component->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (!FOwner || AComponent->FOwner != FOwner) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
      FFreeNotifies.push_back(AComponent);
      AComponent->FreeNotification(this);
    }
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  auto Where = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
  if (Where == FFreeNotifies.end()) return;
  FFreeNotifies.erase(Where);
  AComponent->RemoveFreeNotification(this);
}

void TComponent::RemoveFreeNotifications() {
  while (!FFreeNotifies.empty()) {
    TComponent* Other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    EraseFirst(Other->FFreeNotifies, this);
    Other->Notification(this, opRemove);
  }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Walk from the end: a component may free others (or itself) while it hears the news.
  size_t Index = FComponents.size();
  while (Index > 0) {
    --Index;
    FComponents[Index]->Notification(AComponent, Operation);
    if (Index > FComponents.size()) Index = FComponents.size();
  }
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  if (Root != this) return;
  for (TComponent* Component : FComponents)
    if (!Component->HasParent()) Proc(Component);
}
