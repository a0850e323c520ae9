#pragma once
// The item store of the property inspector: one TkvInspectorItem per row, held in a tree of
// TkvInspectorCollection objects, with the walks over that tree, the lookups by key, the check
// state, the MapList translation and the change notification. The program keeps every setting in
// such items and reads them by their TagString key, so these rules are its settings store.
//
// Every collection of an inspector, at every depth, knows the inspector as its owning control,
// so an item reaches the inspector from anywhere in the tree. Adding, removing or changing items
// does not notify the inspector by itself (the collection's Update does nothing): only the
// writers of Visible, Expanded, CellHeight and CustomControl act on the grid.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "kvcontrols/editors/kvcombobox.h"
#include "platform/classes/alignment.h"
#include "platform/classes/collection.h"
#include "platform/db/datalink.h"
#include "platform/db/datasource.h"
#include "platform/forms/wincontrol.h"
#include "platform/forms/bitmap.h"
#include "platform/rtl/stringlist.h"
#include "platform/user/winuser.h"

class TDataSet;
class TDataSource;
class TField;
class TWinControl;
class TkvDataInspector;
class TkvInspectorItem;
class TkvInspectorCollection;

KORCAM_ENUM(TkvInspectorItemOption, iioAutoDateTimePicker, iioAutoLookupCombo)
using TkvInspectorItemOptions = TSet<TkvInspectorItemOption>;


using TkvInspectorItemChanged = TEvent<TkvDataInspector*, TkvInspectorItem*, const std::string&>;
using TkvInspectorItemNotifyEvent = TEvent<TkvDataInspector*, TkvInspectorItem*>;

// ---- pick list ---------------------------------------------------------------------------------

// The values a row offers. With MapList each entry is "display<TAB>value"; with
// DisplayAsCheckbox entry 0 is the checked and entry 1 the unchecked value.
class TkvInspectorPickList : public TPersistent {
  KORCAM_CLASS(TkvInspectorPickList, TPersistent)

 public:
  TkvInspectorPickList();
  ~TkvInspectorPickList() override;

  ACCESSOR_PROPERTY(TStrings*, Items)
  PLAIN_PROPERTY(bool, MapList, false)
  PLAIN_PROPERTY(TComboBoxStyle, Style, csDropDown)
  PLAIN_PROPERTY(bool, ShowMatchText, true)
  PLAIN_PROPERTY(bool, AllowClearKey, false)
  PLAIN_PROPERTY(TkvComboButtonStyle, ButtonStyle, cbsDownArrow)
  PLAIN_PROPERTY(bool, DisplayAsCheckbox, false)
  OWNED_PROPERTY(TBitmap, ButtonGlyph)
  PLAIN_PROPERTY(int32_t, ButtonWidth, 0)

 public:
  TStringList* List() const { return FList.get(); }
  int Count() const { return FList->Count(); }
  // Entry Index, or "" when there is none.
  std::string Entry(int Index) const;
  void Assign(TPersistent* Source) override;

 private:
  std::unique_ptr<TStringList> FList;
};

// ---- button options and indicator row ----------------------------------------------------------

class TkvInspectorButtonOptions : public TPersistent {
  KORCAM_CLASS(TkvInspectorButtonOptions, TPersistent)

 public:
  explicit TkvInspectorButtonOptions(TkvDataInspector* Inspector = nullptr);
  ~TkvInspectorButtonOptions() override;

  // An empty glyph means the built-in plus and minus boxes.
  OWNED_PROPERTY(TBitmap, ExpandGlyph)
  OWNED_PROPERTY(TBitmap, CollapseGlyph)
  PLAIN_PROPERTY(bool, TransparentGlyphs, false)

 private:
  TkvDataInspector* FInspector;
};

// An optional fixed caption row at the top of the inspector.
class TkvInspectorIndicatorRow : public TPersistent {
  KORCAM_CLASS(TkvInspectorIndicatorRow, TPersistent)

 public:
  explicit TkvInspectorIndicatorRow(TkvDataInspector* Inspector = nullptr);

  PROPERTY(bool, Enabled, false)
  PROPERTY(std::string, Caption, "")
  PROPERTY(int32_t, Height, 0)
  PROPERTY(TColor, Color, clBtnFace)
  PROPERTY(TAlignment, TextAlignment, taLeftJustify)

 public:
  void Assign(TPersistent* Source) override;

 private:
  TkvDataInspector* FInspector;
};

// ---- data links --------------------------------------------------------------------------------

// The link of one item to its own field; its control is the inspector.
class TkvInspectorFieldDataLink : public TFieldDataLink {
  KORCAM_CLASS(TkvInspectorFieldDataLink, TFieldDataLink)

 public:
  explicit TkvInspectorFieldDataLink(TkvInspectorItem* Item = nullptr) : FItem(Item) {}
  TkvInspectorItem* Item() const { return FItem; }
  // The inspector hears of a changed data set of an item with its own source through this.
  void DataSetChanged() override;

 private:
  TkvInspectorItem* FItem;
};

// The link of the inspector to its DataSource: turns the data set's notifications into the
// inspector's reactions.
class TkvDataInspectorDataLink : public TDataLink {
  KORCAM_CLASS(TkvDataInspectorDataLink, TDataLink)

 public:
  explicit TkvDataInspectorDataLink(TkvDataInspector* Inspector = nullptr);

  void Modified() { FModified = true; }
  bool IsModified() const { return FModified; }
  // Re-reads the record and refreshes the editor when the link holds an unposted change.
  void Reset();
  bool InUpdateData() const { return FInUpdate; }

  // Public so the items' field links and the inspector can run them.
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void EditingChanged() override;
  void FocusControl(TField*& Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  TkvDataInspector* FInspector;
  bool FModified = false;
  bool FInUpdate = false;
};

// ---- items -------------------------------------------------------------------------------------

class TkvInspectorItem : public TCollectionItem {
  KORCAM_CLASS(TkvInspectorItem, TCollectionItem)

 public:
  explicit TkvInspectorItem(TCollection* Collection);
  ~TkvInspectorItem() override;

  // ---- published, in this order ----------------------------------------------------------
  // DataSource reads through to the inspector's source; stored only when the item has its own.
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  std::string DataField() const;
  void SetDataField(const std::string& Value);
  KORCAM_PROPERTY_ROW(DataSource, [] {
    auto Info = korcam_detail::MakeProperty("DataSource", "TDataSource*", &ThisClass::DataSource,
                                            &ThisClass::SetDataSource);
    Info.Stored = [](const TObject& Object) { return static_cast<const ThisClass&>(Object).HasOwnDataSource(); };
    return Info;
  }())
  KORCAM_PROPERTY_ROW(DataField, [] {
    auto Info = korcam_detail::MakeProperty("DataField", "string", &ThisClass::DataField,
                                            &ThisClass::SetDataField);
    korcam_detail::SetDefault<std::string>(Info, "");
    return Info;
  }())
 public:
  PROPERTY(std::string, Caption, "")
  PROPERTY(int32_t, CellHeight, 0)
  PROPERTY(std::string, EditText, "")
  PLAIN_PROPERTY(TAlignment, Alignment, taLeftJustify)
  PLAIN_PROPERTY(bool, ReadOnly, false)
  PROPERTY(TWinControl*, CustomControl, nullptr)
  PLAIN_PROPERTY(bool, CustomControlAlwaysPaints, true)
  PLAIN_PROPERTY(bool, CustomControlHighlight, false)
  PROPERTY(bool, Expanded, false)
  OWNED_PROPERTY(TkvInspectorPickList, PickList)
  // The value's picture mask; the in-place editor takes a copy when it gets the focus, and an
  // edit control placed for the row takes one when it is attached.
  OWNED_PROPERTY(TkvDBPicture, Picture)
  PLAIN_PROPERTY(bool, Resizeable, false)
  OWNED_PROPERTY(TkvInspectorCollection, Items)
  PROPERTY(bool, Visible, true)
  PLAIN_PROPERTY(int32_t, Tag, 0)
  PLAIN_PROPERTY(std::string, TagString, "")
  PLAIN_PROPERTY(bool, TabStop, true)
  PLAIN_PROPERTY(TkvInspectorItemOptions, Options, iioAutoDateTimePicker)
  NODEFAULT_PROPERTY(bool, WordWrap, false)
  PLAIN_PROPERTY(bool, DisableDefaultEditor, false)
  EVENT(TkvInspectorItemChanged, OnItemChanged)
  EVENT(TkvInspectorItemNotifyEvent, OnEditButtonClick)

 public:
  // ---- tree ------------------------------------------------------------------------------
  TkvInspectorCollection* ItemCollection() const;
  // The item whose Items hold this one; nullptr at the top level.
  TkvInspectorItem* ParentItem() const { return FParentItem; }
  // The inspector of the tree, or nullptr when the owning control is not an inspector.
  TkvDataInspector* GetInspector() const;
  // Parent items above this one: 0 at the top level.
  int Level() const;

  // Pre-order walks. VisibleOnly skips hidden items (and their subtrees); ExpandedOnly does not
  // descend into collapsed items.
  TkvInspectorItem* NextItem(bool VisibleOnly, bool ExpandedOnly) const;
  // One level deep only: the previous sibling's last child, never that child's descendants.
  TkvInspectorItem* PreviousItem(bool VisibleOnly, bool ExpandedOnly) const;
  TkvInspectorItem* FirstChild(bool VisibleOnly, bool ExpandedOnly) const;
  TkvInspectorItem* LastChild(bool VisibleOnly, bool ExpandedOnly) const;
  TkvInspectorItem* NextSibling(bool VisibleOnly) const;
  TkvInspectorItem* PreviousSibling(bool VisibleOnly) const;
  bool HasVisibleChildren() const;

  // ---- value -----------------------------------------------------------------------------
  // Checked exactly when the value equals pick-list entry 0 (case-sensitive).
  bool IsChecked() const;
  // Writes pick-list entry 0 or 1; no repaint and no change event.
  void SetChecked(bool Checked);
  virtual void MapValueToDisplay(const std::string& Value, std::string& DisplayText) const;
  // Fires OnItemChanged of the item and then of the inspector; raises EInvalidCast when the
  // owning control is not an inspector.
  virtual void DoItemChanged();
  // The row is edited with the inspector's shared combo.
  bool UsesPickListCombo() const;
  // The current value: the bound field's edit text, else EditText.
  std::string CurrentValue() const;

  // ---- data ------------------------------------------------------------------------------
  TDataSource* GetDataSource() const { return DataSource(); }
  bool HasOwnDataSource() const;
  TField* GetField() const;
  TDataLink* GetEditDataLink() const;
  TkvInspectorFieldDataLink* FieldLink() const { return FFieldLink.get(); }

  // ---- the rest --------------------------------------------------------------------------
  virtual bool IsItemsStored() const;
  POINT ButtonPoint() const { return FButtonPoint; }
  void SetButtonPoint(POINT Value) { FButtonPoint = Value; }
  TObject* GetAttachedWindow() const;
  // Drops the reference to a control that is being freed, without handing it back to its form
  // as the CustomControl writer does for a control that lives on.
  void ForgetCustomControl() { FCustomControl = nullptr; }

  void Assign(TPersistent* Source) override;
  std::string DisplayName() const override;
  std::string GetNamePath() const override;

 private:
  TkvInspectorItem* FParentItem = nullptr;
  std::string FDataFieldCopy;
  std::unique_ptr<TkvInspectorFieldDataLink> FFieldLink;
  POINT FButtonPoint{0, 0};
};

// Called for each item a walk visits; clearing Continue stops the whole walk.
using TkvInspectorWalkProc =
    std::function<void(TkvDataInspector* Inspector, TkvInspectorItem* Item, void* Data, bool& Continue)>;

class TkvInspectorCollection : public TCollection {
  KORCAM_CLASS(TkvInspectorCollection, TCollection)

 public:
  // Control: the owning control (the inspector, at every level); ParentItem: the item whose
  // children these are, nullptr for the top level.
  explicit TkvInspectorCollection(TComponent* Control = nullptr, TkvInspectorItem* ParentItem = nullptr);

  TkvInspectorItem* Items(int Index) const;
  TkvInspectorItem* Add() { return static_cast<TkvInspectorItem*>(TCollection::Add()); }
  TComponent* Control() const { return FControl; }
  TkvInspectorItem* ParentItem() const { return FParentItem; }
  TPersistent* GetOwner() const override;
  TkvDataInspector* Inspector() const;

  // ---- walks over the tree of which this is the top ---------------------------------------
  TkvInspectorItem* FirstItem(bool VisibleOnly) const;
  bool HasVisibleItems() const;
  // The first item in pre-order over every item (hidden and collapsed ones too) whose TagString
  // equals Key after both are upper-cased; nullptr when none.
  TkvInspectorItem* FindItemByTagString(const std::string& Key) const;
  TkvInspectorItem* FindItemByDataField(const std::string& FieldName) const;
  // Displayed items: visible, with every ancestor visible and expanded, in pre-order.
  int CountDisplayed() const;
  // The displayed item at a 0-based display position; nullptr outside.
  TkvInspectorItem* DisplayedItem(int Position) const;
  // The 0-based display position of Item; -1 when it is not displayed here.
  int DisplayPosition(const TkvInspectorItem* Item) const;
  void WalkItems(TkvDataInspector* Inspector, bool DisplayedOnly, void* Data, const TkvInspectorWalkProc& Callback) const;

 protected:
  // Changes of items do not reach the inspector through the collection.
  void Update(TCollectionItem* Item) override {}

 private:
  TComponent* FControl;
  TkvInspectorItem* FParentItem;
};
