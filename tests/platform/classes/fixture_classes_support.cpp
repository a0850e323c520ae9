#include "fixture_classes.h"

#include <algorithm>

#include "platform/classes/formreader.h"

KORCAM_REGISTER_CLASS(TFixtureFont)
KORCAM_REGISTER_CLASS(TFixtureItem)
KORCAM_REGISTER_CLASS(TFixtureItems)
KORCAM_REGISTER_CLASS(TFixturePanel)
KORCAM_REGISTER_CLASS(TFixtureForm)

void TFixtureFont::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TFixtureFont*>(Source)) {
    FName = Other->FName;
    FSize = Other->FSize;
    FStyle = Other->FStyle;
    FColor = Other->FColor;
    return;
  }
  TPersistent::Assign(Source);
}

void TFixtureItem::Assign(TPersistent* Source) {
  if (auto* Other = dynamic_cast<TFixtureItem*>(Source)) {
    FText = Other->FText;
    FWidth = Other->FWidth;
    return;
  }
  TCollectionItem::Assign(Source);
}

TFixturePanel::TFixturePanel(TComponent* AOwner) : TComponent(AOwner) {
  FFont = std::make_unique<TFixtureFont>();
  FItems = std::make_unique<TFixtureItems>(this);
  FLines = std::make_unique<TStringList>();
}

TFixturePanel::~TFixturePanel() {
  if (ParentPanel) SetParentComponent(nullptr);
  for (TFixturePanel* Child : Children) Child->ParentPanel = nullptr;
}

void TFixturePanel::SetCaption(const std::string& Value) { FCaption = Value; }
void TFixturePanel::SetFont(TFixtureFont* Value) { FFont->Assign(Value); }
void TFixturePanel::SetItems(TFixtureItems* Value) { FItems->Assign(Value); }
void TFixturePanel::SetLines(TStringList* Value) { FLines->Assign(*Value); }

void TFixturePanel::SetBuddy(TFixturePanel* Value) {
  if (FBuddy == Value) return;
  FBuddy = Value;
  if (Value) Value->FreeNotification(this);
}

void TFixturePanel::SetParentComponent(TComponent* Value) {
  if (ParentPanel) {
    auto& Siblings = ParentPanel->Children;
    Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), this), Siblings.end());
  }
  ParentPanel = dynamic_cast<TFixturePanel*>(Value);
  if (ParentPanel) ParentPanel->Children.push_back(this);
}

void TFixturePanel::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TFixturePanel* Child : Children)
    if (Child->Owner() == Root) Proc(Child);
}

void TFixtureForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  TComponent::GetChildren(Proc, Root);  // components without a parent
  TFixturePanel::GetChildren(Proc, Root);
}

void TFixturePanel::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "RegionData",
      [this](TStream& Stream) {
        Region.resize(static_cast<size_t>(Stream.Size()));
        if (!Region.empty()) Stream.ReadBuffer(Region.data(), static_cast<int32_t>(Region.size()));
      },
      [this](TStream& Stream) { Stream.WriteBuffer(Region.data(), static_cast<int32_t>(Region.size())); },
      !Region.empty());
}

void TFixturePanel::Loaded() {
  Log.push_back("Loaded " + Name() + (ComponentState().Contains(csLoading) ? " loading" : ""));
  TComponent::Loaded();
}

void TFixturePanel::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
  Log.push_back(std::string(Operation == opRemove ? "remove " : "insert ") + AComponent->Name());
}

void TFixtureForm::ButtonClick(TObject* Sender) {
  Clicks.push_back(dynamic_cast<TComponent*>(Sender) ? dynamic_cast<TComponent*>(Sender)->Name() : "?");
}

void TFixtureForm::Unrelated(int) {}
