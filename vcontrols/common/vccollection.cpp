#include "vcontrols/common/vccollection.h"

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
