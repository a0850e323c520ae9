#pragma once
// TCollection: an ordered list of items of one class that the collection creates and owns
// (status panels, button-group items, inspector columns). Forms stream a collection as its items.

#include <string>
#include <vector>

#include "platform/classes/persistent.h"

class TCollection;

KORCAM_ENUM(TCollectionNotification, cnAdded, cnExtracting, cnDeleting)

class TCollectionItem : public TPersistent {
  KORCAM_CLASS(TCollectionItem, TPersistent)

 public:
  // Adds the item to Collection (which then owns it). Create items with TCollection::Add, so the
  // collection hears of the new item once it is fully built.
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  void SetCollection(TCollection* Value);
  int Index() const;
  virtual void SetIndex(int Value);
  int ID() const { return FID; }
  virtual std::string DisplayName() const;
  virtual void SetDisplayName(const std::string& Value) {}
  std::string GetNamePath() const override;
  TPersistent* GetOwner() const override;

 protected:
  // Tells the collection that this item (or, with AllItems, every item) changed.
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
  KORCAM_CLASS(TCollection, TPersistent)

 public:
  explicit TCollection(const TClassInfo& ItemClass);
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int Index) const;
  void SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }
  TCollectionItem* FindItemID(int ID) const;
  const TClassInfo& ItemClass() const { return *FItemClass; }

  virtual void BeginUpdate() { ++FUpdateCount; }
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  void Assign(TPersistent* Source) override;
  std::string GetNamePath() const override;

 protected:
  // Called after a change while no update is open; Item is nullptr when every item may have
  // changed. The default does nothing.
  virtual void Update(TCollectionItem* Item) {}
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) {}
  virtual void SetItemName(TCollectionItem* Item) {}
  // The name of the property that publishes this collection ("Panels"), for GetNamePath.
  virtual std::string PropName() const { return FPropName; }
  void Changed();

 public:
  void SetPropName(const std::string& Value) { FPropName = Value; }

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  TCollectionItem* Created(TCollectionItem* Item);

  const TClassInfo* FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
  std::string FPropName;
};

// A collection with an owner in the form's object tree (its component).
class TOwnedCollection : public TCollection {
  KORCAM_CLASS(TOwnedCollection, TCollection)

 public:
  TOwnedCollection(TPersistent* AOwner, const TClassInfo& ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};
