#include "vcontrols/common/vccollection.h"

KORCAM_REGISTER_CLASS(TvcCollectionItem)
KORCAM_REGISTER_CLASS(TvcCollection)

void TvcCollectionItem::DoItemNotify() {
  if (OnItemNotify) OnItemNotify(this);
}

TObject* TvcCollectionItem::ItemControl() {
  return this;
}

TvcCollectionItem* TvcCollection::Add() {
  return static_cast<TvcCollectionItem*>(TCollection::Add());
}

TvcCollectionItem* TvcCollection::GetItem(int32_t Index) const {
  return static_cast<TvcCollectionItem*>(Items(Index));
}
