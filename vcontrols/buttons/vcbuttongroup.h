#pragma once
// The button group: a panel whose items each own one owner-drawn button, laid out in a grid and
// acting as radio buttons, check boxes or plain buttons.
//
// FIXME: waits for the transparent panel and button group. Until then the group stands in with
// the properties the main window's form sets and the selection that start-up and the real close
// use: the streamed buttons (the group's child buttons, in child order) are attached to the items
// when the group is loaded, the selected item is the one whose button is down, and selecting an
// item presses its button. The buttons keep the places the form gives them; there is no layout,
// no bolding and no change events yet.

#include "platform/classes/events.h"
#include "platform/forms/customcontrol.h"
#include "vcontrols/common/vccollection.h"
#include "vcontrols/common/vccommon.h"

class TvcCustomBitBtn;
class TvcCustomButtonGroup;

KORCAM_ENUM(TvcButtonGroupClickStyle, bcsCheckList, bcsRadioGroup, bcsClick)

class TvcButtonGroupItem : public TvcCollectionItem {
  KORCAM_CLASS(TvcButtonGroupItem, TvcCollectionItem)

 public:
  explicit TvcButtonGroupItem(TCollection* Collection) : TvcCollectionItem(Collection) {}

  TvcCustomBitBtn* Button() const { return FButton; }
  // Whether the item's button is down (false without a button).
  bool Selected() const;
  void AttachButton(TvcCustomBitBtn* Button) { FButton = Button; }

 private:
  TvcCustomBitBtn* FButton = nullptr;
};

class TvcButtonGroupItems : public TvcCollection {
  KORCAM_CLASS(TvcButtonGroupItems, TvcCollection)

 public:
  explicit TvcButtonGroupItems(const TClassInfo& ItemClass = TvcButtonGroupItem::StaticClass())
      : TvcCollection(ItemClass) {}
  TvcButtonGroupItem* Item(int Index) const { return static_cast<TvcButtonGroupItem*>(Items(Index)); }
};

// The selection moved (OldSelected to Selected); it cannot be vetoed.
using TvcButtonGroupChangeEvent = TEvent<TvcCustomButtonGroup*, TvcButtonGroupItem*, TvcButtonGroupItem*>;

class TvcCustomButtonGroup : public TCustomControl {
  KORCAM_CLASS(TvcCustomButtonGroup, TCustomControl)

 public:
  explicit TvcCustomButtonGroup(TComponent* AOwner, const TClassInfo& ItemClass = TvcButtonGroupItem::StaticClass());
  ~TvcCustomButtonGroup() override;

  PLAIN_PROPERTY(bool, AutoBold, true)
  PLAIN_PROPERTY(TvcButtonGroupClickStyle, ClickStyle, bcsRadioGroup)
  PLAIN_PROPERTY(int32_t, ControlSpacing, 1)
  PLAIN_PROPERTY(int32_t, Columns, 1)
  PLAIN_PROPERTY(TvcLayout, Layout, loVertical)
  PLAIN_PROPERTY(int32_t, MaxControlSize, 0)

 public:
  // The items; the published group names them ButtonItems, an outlook bar OutlookItems.
  TvcButtonGroupItems* ButtonItems() const { return FButtonItems.get(); }
  void SetButtonItems(TvcButtonGroupItems* Value);
  // The item whose button is down; nullptr when none is.
  TvcButtonGroupItem* Selected() const;
  // Presses the item's button (the grouped buttons release theirs).
  void SetSelected(TvcButtonGroupItem* Item);
  void Loaded() override;

 private:
  std::unique_ptr<TvcButtonGroupItems> FButtonItems;
};

class TvcButtonGroup : public TvcCustomButtonGroup {
  KORCAM_CLASS(TvcButtonGroup, TvcCustomButtonGroup)

 public:
  explicit TvcButtonGroup(TComponent* AOwner) : TvcCustomButtonGroup(AOwner) {}
  KORCAM_PROPERTY_ROW(ButtonItems, [] {
    auto Info = korcam_detail::MakeProperty("ButtonItems", "TvcButtonGroupItems*",
                                            &TvcCustomButtonGroup::ButtonItems, &TvcCustomButtonGroup::SetButtonItems);
    Info.Owned = true;
    return Info;
  }())
};
