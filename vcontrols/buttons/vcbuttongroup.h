#pragma once
// The button group: a panel (transparent unless told otherwise) that owns a collection of items,
// each with one owner-drawn button of a chosen class (shaped buttons by default). The group lays
// its buttons out in a grid of cells, makes them act as radio buttons, check boxes or plain
// buttons (ClickStyle), knows which item is selected, bolds the selected button (AutoBold) and
// reports a selection change before (OnChanging) and after (OnChange) it happens. The arrow keys,
// Home and End move the selection, wrapping round.
//
// Items and buttons come and go together: an item made in code makes its button; freeing an item
// frees its button, and a button freed (or taken out of the group) takes its item with it. A form
// stores the buttons as the group's children, not the items: while the group is read, every
// button that arrives gets an item, and the layout waits for Loaded.
//
// Layout (ArrangeButtons). With n items, c = Columns and s = ControlSpacing, inside the client
// area less BorderWidth on every side: loVertical makes c columns filled from the top, the first
// n mod c of them one button longer; loHorizontal makes c rows. Every cell gets the room divided
// evenly (MaxControlSize caps the button height, or width for loHorizontal), and the pixels left
// over widen the first columns and heighten the first rows, one step each, until used up. Hidden
// buttons keep their bounds and leave their cells empty at the end of the grid. A group with
// Columns 0 lays out as one column (or row).
//
// Selection: a button going down asks the group's change link first (ButtonChanging: OnChanging
// with the item selected until now and the new one); when it has gone down and the others of its
// group came up, ButtonPressed arranges, bolds and fires OnChange unless the selection ended where
// it began.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/events.h"
#include "vcontrols/buttons/vcbutton.h"
#include "vcontrols/common/changelink.h"
#include "vcontrols/common/vccollection.h"
#include "vcontrols/common/vccommon.h"
#include "vcontrols/panels/vcclearpanel.h"

class TvcButtonGroupItems;
class TvcCustomButtonGroup;

KORCAM_ENUM(TvcButtonGroupClickStyle, bcsCheckList, bcsRadioGroup, bcsClick)

class TvcButtonGroupItem;
// (ButtonGroup, OldSelected, Selected); it cannot refuse the change.
using TvcButtonGroupChangeEvent = TEvent<TvcCustomButtonGroup*, TvcButtonGroupItem*, TvcButtonGroupItem*>;

class TvcButtonGroupItem : public TvcCollectionItem {
  KORCAM_CLASS(TvcButtonGroupItem, TvcCollectionItem)

 public:
  // Makes the item's button (of the group's button class, owned by the group's owner, placed
  // below the group until the layout places it), unless the group is being read from a form.
  explicit TvcButtonGroupItem(TCollection* Collection);
  // Frees the button.
  ~TvcButtonGroupItem() override;

  TvcCustomBitBtn* Button() const { return FButton; }
  // The button's Name; the inherited text without a button.
  std::string DisplayName() const override;
  // The button moves with the item, so the buttons stay in item order among the group's children.
  void SetIndex(int Value) override;
  // The button stands for the item.
  TObject* ItemControl() override;

  virtual TvcCustomButtonGroup* ButtonGroup() const;
  virtual int32_t GroupIndex() const;
  // The button's selected state (false without a button).
  virtual bool Selected() const;
  virtual void SetGroupIndex(int32_t Value);
  // Down, then the group arranges.
  virtual void SetSelected(bool Value);
  // Run for every item when the group has been read: the button's renames reach the collection,
  // and it takes the group's ShowDownAsUp.
  virtual void AttachButton();

 protected:
  friend class TvcButtonGroupItems;
  friend class TvcCustomButtonGroup;
  // Frees the button with the group's freeing flags set (so that the button's leaving does not
  // free the item again). A descendant calls it from its own destructor, while the item is
  // still whole for whoever hears of the button going.
  void FreeButton();
  TvcCustomBitBtn* FButton = nullptr;
};

class TvcButtonGroupItems : public TvcCollection {
  KORCAM_CLASS(TvcButtonGroupItems, TvcCollection)

 public:
  TvcButtonGroupItems(TvcCustomButtonGroup* Group, const TClassInfo& ItemClass);

  TvcButtonGroupItem* Items(int Index) const { return static_cast<TvcButtonGroupItem*>(TCollection::Items(Index)); }
  // The new item (with its button): named at design time, a copy of the first item's button when
  // there is one, a group of its own in a check list; then the buttons are arranged.
  TvcCollectionItem* Add() override;

  virtual TvcCustomButtonGroup* ButtonGroup() const { return FGroup; }
  // See the layout above. Nothing while the collection is empty, arranging or adding.
  virtual void ArrangeButtons();
  // The first item whose button is Control; nullptr when none.
  virtual TvcButtonGroupItem* FindButton(const TControl* Control) const;
  // The first item with that collection ID; nullptr when none.
  virtual TvcButtonGroupItem* FindItem(int32_t ID) const;
  // Frees every item, the last first (each takes its button).
  virtual void ClearItems();

  // Items whose button is visible (every item while designed), and the n-th of them from 0.
  int32_t VisibleCount() const;
  TvcButtonGroupItem* VisibleItems(int32_t Index) const;

  // Layout is held back while set (construction, form reading, an arrangement under way).
  bool Arranging() const { return FArranging; }
  void SetArranging(bool Value) { FArranging = Value; }
  bool Adding() const { return FAdding; }
  void SetAdding(bool Value) { FAdding = Value; }
  bool Deleting() const { return FDeleting; }
  void SetDeleting(bool Value) { FDeleting = Value; }

 protected:
  void Update(TCollectionItem* Item) override;

  TvcCustomButtonGroup* FGroup;
  bool FArranging = false;
  bool FAdding = false;
  bool FDeleting = false;
};

class TvcCustomButtonGroup : public TvcCustomTransparentPanel {
  KORCAM_CLASS(TvcCustomButtonGroup, TvcCustomTransparentPanel)

 public:
  explicit TvcCustomButtonGroup(TComponent* AOwner);
  ~TvcCustomButtonGroup() override;
  void BeforeDestruction() override;

  // --- settings ---
  bool AutoBold() const { return FAutoBold; }
  void SetAutoBold(bool Value);
  TvcButtonGroupClickStyle ClickStyle() const { return FClickStyle; }
  // Sets every button's GroupIndex and AllowAllUp for the style.
  void SetClickStyle(TvcButtonGroupClickStyle Value);
  int32_t ControlSpacing() const { return FControlSpacing; }
  void SetControlSpacing(int32_t Value);
  int32_t Columns() const { return FColumns; }
  // Negative values are ignored.
  void SetColumns(int32_t Value);
  TvcLayout Layout() const { return FLayout; }
  void SetLayout(TvcLayout Value);
  int32_t MaxControlSize() const { return FMaxControlSize; }
  virtual void SetMaxControlSize(int32_t Value);
  bool ShowDownAsUp() const { return FShowDownAsUp; }
  void SetShowDownAsUp(bool Value);
  TvcButtonGroupItems* ButtonItems() const { return FButtonItems.get(); }
  void SetButtonItems(TvcButtonGroupItems* Value);
  const TClassInfo& ButtonClass() const { return *FButtonClass; }
  virtual std::string ButtonClassName() const;
  // Any registered class of owner-drawn buttons. At run time, and with the user's consent while
  // designed, every item and button goes; an unknown name raises EClassNotFound and changes
  // nothing.
  virtual void SetButtonClassName(const std::string& Value);
  // Renames, while designed, the buttons whose names begin with the group's name.
  void SetName(const std::string& Value);

  EVENT(TvcButtonGroupChangeEvent, OnChange)
  EVENT(TvcButtonGroupChangeEvent, OnChanging)

 public:
  // --- selection ---
  // The first item whose button is selected; nullptr when none.
  virtual TvcButtonGroupItem* Selected() const;
  // The item's Selected; nullptr does nothing.
  void SetSelected(TvcButtonGroupItem* Value);
  // The item that was selected when the last change began.
  TvcButtonGroupItem* PreviousSelection() const { return FPreviousSelection; }

  // --- operations ---
  virtual const TClassInfo& GetCollectionClass() const;
  // The size of the whole grid of buttons of Control's size (the first item's button for
  // nullptr); with Resize the group takes it. Nothing without items.
  virtual void CalcGroupSize(TControl* Control, bool Resize, SIZE& Size);
  virtual void ButtonPressed(TObject* Sender);
  virtual void ButtonChanging(TObject* Sender);
  // Every other item's button hears that the mouse left.
  virtual void NotifyMouseLeave(TControl* Control);
  virtual void DoChanging(TvcButtonGroupItem* OldSelected, TvcButtonGroupItem* NewSelected);
  virtual void DoChange(TvcButtonGroupItem* OldSelected, TvcButtonGroupItem* NewSelected);
  // Nothing while the group is read; otherwise every item and button goes.
  virtual void SetButtonClass(const TClassInfo& Value);
  virtual void ApplyAutoBold(bool Apply);
  // Opaque while designed, so that the empty group can be seen.
  bool IsTransparent() const override;

  void Loaded() override;
  void Dispatch(TMessage& Message) override;
  // The buttons in item order, then the other children, so that a form keeps the item order.
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  bool ItemFreeing() const { return FItemFreeing; }
  void SetItemFreeing(bool Value) { FItemFreeing = Value; }
  bool Reading() const { return ComponentState().Contains(csReading); }
  // Stores Transparent without its writer and answers the old value (the layout holds it off).
  bool ExchangeTransparentField(bool Value);
  bool Designing() const { return ComponentState().Contains(csDesigning); }

 protected:
  friend class TvcButtonGroupItem;
  // For descendants whose items are of another collection class.
  using TItemsMaker = std::unique_ptr<TvcButtonGroupItems> (*)(TvcCustomButtonGroup* Group);
  TvcCustomButtonGroup(TComponent* AOwner, TItemsMaker MakeItems);

  void AlignControls(TControl* AControl, RECT& Rect) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void Paint() override;
  void Resize() override;
  // The target of a navigation key; nullptr for any other key or an empty group.
  TvcButtonGroupItem* NavigationTarget(WORD Key) const;
  // The buttons go with their items, before the group itself goes.
  void FreeItems();

  bool FAutoBold = true;
  TvcButtonGroupClickStyle FClickStyle = bcsRadioGroup;
  int32_t FControlSpacing = 1;
  int32_t FColumns = 1;
  TvcLayout FLayout = loVertical;
  int32_t FMaxControlSize = 0;
  TvcButtonGroupItem* FPreviousSelection = nullptr;
  const TClassInfo* FButtonClass = nullptr;
  std::unique_ptr<TvcChangeLink> FChangeLink;
  bool FShowDownAsUp = false;
  bool FItemFreeing = false;
  std::unique_ptr<TvcButtonGroupItems> FButtonItems;

 private:
  void CMControlListChange(TMessage& Message);
  void CMControlChange(TMessage& Message);
};

class TvcButtonGroup : public TvcCustomButtonGroup {
  KORCAM_CLASS(TvcButtonGroup, TvcCustomButtonGroup)

 public:
  explicit TvcButtonGroup(TComponent* AOwner) : TvcCustomButtonGroup(AOwner) {}

  PUBLISH_PROPERTY(TvcCustomButtonGroup, bool, AutoBold, true)
  PUBLISH_PROPERTY(TCustomPanel, TBevelCut, BevelInner, bvNone)
  PUBLISH_PROPERTY(TCustomPanel, TBevelCut, BevelOuter, bvNone)
  PUBLISH_PROPERTY(TCustomPanel, TBorderStyle, BorderStyle, bsNone)
  PUBLISH_PROPERTY(TCustomPanel, TBorderWidth, BorderWidth, 0)
  KORCAM_PROPERTY_ROW(ButtonClassName, [] {
    auto Info = korcam_detail::MakeProperty("ButtonClassName", "std::string", &TvcCustomButtonGroup::ButtonClassName,
                                            &TvcCustomButtonGroup::SetButtonClassName);
    korcam_detail::SetDefault<std::string>(Info, "TvcShapeBtn");
    return Info;
  }())
  PUBLISH_PROPERTY(TvcCustomButtonGroup, TvcButtonGroupClickStyle, ClickStyle, bcsRadioGroup)
  PUBLISH_PROPERTY(TvcCustomButtonGroup, int32_t, ControlSpacing, 1)
  PUBLISH_PROPERTY(TvcCustomButtonGroup, int32_t, Columns, 1)
  KORCAM_PROPERTY_ROW(ButtonItems, [] {
    auto Info = korcam_detail::MakeProperty("ButtonItems", "TvcButtonGroupItems*",
                                            &TvcCustomButtonGroup::ButtonItems, &TvcCustomButtonGroup::SetButtonItems);
    Info.Owned = true;
    // The buttons are the group's children in the form; every one brings its item back.
    Info.Stored = [](const TObject&) { return false; };
    return Info;
  }())
  PUBLISH_PROPERTY(TvcCustomButtonGroup, TvcLayout, Layout, loVertical)
  PUBLISH_PROPERTY(TvcCustomButtonGroup, int32_t, MaxControlSize, 0)
  PUBLISH_PROPERTY(TvcCustomButtonGroup, bool, ShowDownAsUp, false)
  PUBLISH_PROPERTY(TWinControl, bool, TabStop, true)
  PUBLISH_PROPERTY(TvcCustomTransparentPanel, bool, Transparent, false)
};
