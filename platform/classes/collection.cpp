#include "platform/classes/collection.h"

#include <algorithm>

KORCAM_REGISTER_CLASS(TCollectionItem)
KORCAM_REGISTER_CLASS(TCollection)
KORCAM_REGISTER_CLASS(TOwnedCollection)

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() {
  if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  const auto& Items = FCollection->FItems;
  auto Where = std::find(Items.begin(), Items.end(), this);
  return Where == Items.end() ? -1 : static_cast<int>(Where - Items.begin());
}

void TCollectionItem::SetIndex(int Value) {
  const int Current = Index();
  if (Current < 0 || Value < 0 || Value == Current) return;
  auto& Items = FCollection->FItems;
  const int Last = static_cast<int>(Items.size()) - 1;
  if (Value > Last) Value = Last;
  Items.erase(Items.begin() + Current);
  Items.insert(Items.begin() + Value, this);
  Changed(true);
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

std::string TCollectionItem::GetNamePath() const {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// ---------------------------------------------------------------------------------------------

TCollection::TCollection(const TClassInfo& ItemClass) : FItemClass(&ItemClass) {}

TCollection::~TCollection() {
  FUpdateCount = 1;
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Created(TCollectionItem* Item) {
  Notify(Item, cnAdded);
  Changed();
  return Item;
}

TCollectionItem* TCollection::Add() {
  if (!FItemClass->CreateItem)
    throw EInvalidOperation("Cannot create an item of class " + FItemClass->Name);
  return Created(FItemClass->CreateItem(this));
}

TCollectionItem* TCollection::Insert(int Index) {
  BeginUpdate();
  TCollectionItem* Item = nullptr;
  try {
    Item = Add();
    Item->SetIndex(Index);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return Item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* Item = Items(Index);
  Notify(Item, cnDeleting);
  delete Item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) Delete(Count() - 1);
  EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FItems[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* Item : FItems)
    if (Item->FID == ID) return Item;
  return nullptr;
}

void TCollection::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TCollection::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TCollection*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  if (Other == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* Item : Other->FItems) Add()->Assign(Item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TCollection::GetNamePath() const {
  const TPersistent* Owner = GetOwner();
  if (!Owner) return ClassName();
  const std::string OwnerPath = Owner->GetNamePath();
  if (OwnerPath.empty() || PropName().empty()) return ClassName();
  return OwnerPath + "." + PropName();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  SetItemName(Item);
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  auto Where = std::find(FItems.begin(), FItems.end(), Item);
  if (Where != FItems.end()) FItems.erase(Where);
  Item->FCollection = nullptr;
  Changed();
}
