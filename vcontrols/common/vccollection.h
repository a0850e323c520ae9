#pragma once
// The base of the visual library's item collections (button-group items, outlook-list items,
// status panels): an item event and hooks that the item classes fill in.
//
// The collection has no attached control: nothing in the program attaches one, so the rename
// handler of the items (ItemNameChanged) has nothing to repaint and only exists for the items to
// bind to.

#include <cstdint>

#include "platform/classes/collection.h"
#include "platform/classes/events.h"

class TvcCollectionItem : public TCollectionItem {
  KORCAM_CLASS(TvcCollectionItem, TCollectionItem)

 public:
  explicit TvcCollectionItem(TCollection* Collection) : TCollectionItem(Collection) {}

  TNotifyEvent OnItemNotify;

  // A hook for item classes; does nothing here.
  virtual void ItemHook(TObject* Sender, int32_t Data) {}
  // Fires OnItemNotify with the item as sender.
  virtual void DoItemNotify();
  // The control the item stands for: the item itself here, a button group item's button there.
  virtual TObject* ItemControl();
  virtual void ItemRefresh() {}

  // The handler items bind to a rename notification (of their button or their own).
  void ItemNameChanged(TObject* Sender) {}
};

class TvcCollection : public TCollection {
  KORCAM_CLASS(TvcCollection, TCollection)

 public:
  explicit TvcCollection(const TClassInfo& ItemClass) : TCollection(ItemClass) {}

  // The inherited add, as the library's item class.
  virtual TvcCollectionItem* Add();
  TvcCollectionItem* GetItem(int32_t Index) const;
};
