#include "kvcontrols/editors/kvinspectoritems.h"

#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvtextutils.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/forms/form.h"
#include "platform/forms/wincontrol.h"
#include "platform/rtl/sysutils.h"

KORCAM_REGISTER_CLASS(TkvInspectorPickList)
KORCAM_REGISTER_CLASS(TkvInspectorButtonOptions)
KORCAM_REGISTER_CLASS(TkvInspectorIndicatorRow)
KORCAM_REGISTER_CLASS(TkvInspectorFieldDataLink)
KORCAM_REGISTER_CLASS(TkvDataInspectorDataLink)
KORCAM_REGISTER_CLASS(TkvInspectorItem)
KORCAM_REGISTER_CLASS(TkvInspectorCollection)

// ---- pick list ---------------------------------------------------------------------------------

TkvInspectorPickList::TkvInspectorPickList()
    : FButtonGlyph(std::make_unique<TBitmap>()), FList(std::make_unique<TStringList>()) {}

TkvInspectorPickList::~TkvInspectorPickList() = default;

TStrings* TkvInspectorPickList::Items() const { return FList.get(); }

void TkvInspectorPickList::SetItems(TStrings* Value) {
  if (Value && Value != FList.get()) FList->Assign(*Value);
}

void TkvInspectorPickList::SetButtonGlyph(TBitmap* Value) { FButtonGlyph->Assign(Value); }

std::string TkvInspectorPickList::Entry(int Index) const {
  return Index >= 0 && Index < FList->Count() ? FList->Strings(Index) : std::string();
}

void TkvInspectorPickList::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TkvInspectorPickList*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  FList->Assign(*Other->FList);
  FMapList = Other->FMapList;
  FStyle = Other->FStyle;
  FShowMatchText = Other->FShowMatchText;
  FAllowClearKey = Other->FAllowClearKey;
  FButtonStyle = Other->FButtonStyle;
  FDisplayAsCheckbox = Other->FDisplayAsCheckbox;
  FButtonGlyph->Assign(Other->FButtonGlyph.get());
  FButtonWidth = Other->FButtonWidth;
}

// ---- button options and indicator row ----------------------------------------------------------

TkvInspectorButtonOptions::TkvInspectorButtonOptions(TkvDataInspector* Inspector)
    : FExpandGlyph(std::make_unique<TBitmap>()), FCollapseGlyph(std::make_unique<TBitmap>()), FInspector(Inspector) {}

TkvInspectorButtonOptions::~TkvInspectorButtonOptions() = default;

void TkvInspectorButtonOptions::SetExpandGlyph(TBitmap* Value) {
  FExpandGlyph->Assign(Value);
  if (FInspector) FInspector->Invalidate();
}

void TkvInspectorButtonOptions::SetCollapseGlyph(TBitmap* Value) {
  FCollapseGlyph->Assign(Value);
  if (FInspector) FInspector->Invalidate();
}

TkvInspectorIndicatorRow::TkvInspectorIndicatorRow(TkvDataInspector* Inspector) : FInspector(Inspector) {}

void TkvInspectorIndicatorRow::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  if (FInspector) FInspector->RebuildRows();
}

void TkvInspectorIndicatorRow::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  if (FInspector && FEnabled) FInspector->InvalidateCell(0, 0);
}

void TkvInspectorIndicatorRow::SetHeight(int32_t Value) {
  if (FHeight == Value) return;
  FHeight = Value;
  if (FInspector && FEnabled && FInspector->RowCount() > 0)
    FInspector->SetRowHeights(0, FHeight > 0 ? FHeight : FInspector->DefaultRowHeightOfGrid());
}

void TkvInspectorIndicatorRow::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  if (!FInspector) return;
  FInspector->IndicatorColorChanged();
}

void TkvInspectorIndicatorRow::SetTextAlignment(TAlignment Value) {
  if (FTextAlignment == Value) return;
  FTextAlignment = Value;
  if (FInspector && FEnabled) FInspector->InvalidateCell(0, 0);
}

void TkvInspectorIndicatorRow::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TkvInspectorIndicatorRow*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  SetEnabled(Other->FEnabled);
  SetCaption(Other->FCaption);
  SetHeight(Other->FHeight);
  SetColor(Other->FColor);
  SetTextAlignment(Other->FTextAlignment);
}

// ---- items: construction -----------------------------------------------------------------------

TkvInspectorItem::TkvInspectorItem(TCollection* Collection) : TCollectionItem(Collection) {
  auto* Owner = dynamic_cast<TkvInspectorCollection*>(Collection);
  TComponent* Control = Owner ? Owner->Control() : nullptr;
  FParentItem = Owner ? Owner->ParentItem() : nullptr;
  FWordWrap = false;
  FItems = std::make_unique<TkvInspectorCollection>(Control, this);
  FItems->SetPropName("Items");
  FPickList = std::make_unique<TkvInspectorPickList>();
  // No owner edit: the item's picture always keeps its own mask, never a data set's.
  FPicture = std::make_unique<TkvDBPicture>();
  FFieldLink = std::make_unique<TkvInspectorFieldDataLink>(this);
  FFieldLink->SetControl(Control);
  if (auto* Inspector = dynamic_cast<TkvDataInspector*>(Control)) {
    // A bound item repaints the table when its field changes, and posts through the
    // inspector's link so that one UpdateData writes whatever is pending.
    FFieldLink->OnDataChange = TNotifyEvent(Inspector, [Inspector](TObject*) { Inspector->Invalidate(); });
    FFieldLink->OnUpdateData = TNotifyEvent(Inspector, [Inspector](TObject*) { Inspector->DataLink()->UpdateData(); });
    Inspector->SetRowRecountNeeded();
  }
}

TkvInspectorItem::~TkvInspectorItem() {
  TkvDataInspector* Inspector = GetInspector();
  const bool InspectorGoing = !Inspector || Inspector->ComponentState().Contains(csDestroying);
  if (!InspectorGoing && Inspector->ComponentState().Contains(csDesigning) && FCustomControl)
    SetCustomControl(nullptr);
  FItems.reset();
  FPickList.reset();
  FPicture.reset();
  if (!InspectorGoing) {
    Inspector->SetRowRecountNeeded();
    Inspector->Invalidate();
  }
  FFieldLink.reset();
}

// ---- items: published writers ------------------------------------------------------------------

TDataSource* TkvInspectorItem::DataSource() const {
  if (TDataSource* Own = FFieldLink->DataSource()) return Own;
  TkvDataInspector* Inspector = GetInspector();
  return Inspector ? Inspector->DataSource() : nullptr;
}

bool TkvInspectorItem::HasOwnDataSource() const { return FFieldLink->DataSource() != nullptr; }

void TkvInspectorItem::SetDataSource(TDataSource* Value) {
  // An item handed the inspector's own source takes it over rather than holding a copy, so it
  // follows a later change of the inspector's source.
  TkvDataInspector* Inspector = GetInspector();
  if (Inspector && Value == Inspector->DataSource()) Value = nullptr;
  FFieldLink->SetDataSource(Value);
}

std::string TkvInspectorItem::DataField() const {
  return FFieldLink->DataSource() ? FFieldLink->FieldName() : FDataFieldCopy;
}

void TkvInspectorItem::SetDataField(const std::string& Value) {
  FFieldLink->SetFieldName(Value);
  FDataFieldCopy = Value;
}

void TkvInspectorItem::SetCaption(const std::string& Value) {
  FCaption = Value;
  TkvDataInspector* Inspector = GetInspector();
  if (Inspector && Inspector->AttachedWindow()) Inspector->AttachedWindowChanged();
}

void TkvInspectorItem::SetCellHeight(int32_t Value) {
  if (FCellHeight == Value) return;
  FCellHeight = Value;
  if (TkvDataInspector* Inspector = GetInspector()) Inspector->UpdateItemRowHeight(this);
}

void TkvInspectorItem::SetEditText(const std::string& Value) {
  // Only stores: the program writes values in batches and repaints the table itself.
  if (FEditText != Value) FEditText = Value;
}

void TkvInspectorItem::SetExpanded(bool Value) {
  if (FExpanded == Value) return;
  FExpanded = Value;
  if (TkvDataInspector* Inspector = GetInspector()) Inspector->RebuildRows();
}

void TkvInspectorItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  if (TkvDataInspector* Inspector = GetInspector()) Inspector->RebuildRows();
}

void TkvInspectorItem::SetWordWrap(bool Value) { FWordWrap = Value; }

void TkvInspectorItem::SetPickList(TkvInspectorPickList* Value) { FPickList->Assign(Value); }

void TkvInspectorItem::SetPicture(TkvDBPicture* Value) {
  if (Value && Value != FPicture.get()) FPicture->Assign(Value);
}

void TkvInspectorItem::SetItems(TkvInspectorCollection* Value) {
  if (Value && Value != FItems.get()) FItems->Assign(Value);
}

void TkvInspectorItem::SetCustomControl(TWinControl* Value) {
  TkvDataInspector* Inspector = GetInspector();
  if (Inspector && Value == Inspector) return;
  if (Value != FCustomControl) {
    if (Value) {
      Value->SetControlStyle(Value->ControlStyle() + csNoDesignVisible);
      Value->SetVisible(false);
      if (Inspector) {
        Value->FreeNotification(Inspector);
        if (GetDataSource()) Inspector->AttachCustomControl(Value, this);
      }
    } else if (FCustomControl) {
      // The released control goes back to the form that holds the inspector.
      FCustomControl->SetControlStyle(FCustomControl->ControlStyle() - csNoDesignVisible);
      FCustomControl->SetParent(Inspector ? static_cast<TWinControl*>(GetParentForm(Inspector)) : nullptr);
    }
    FCustomControl = Value;
  }
  auto* Collection = ItemCollection();
  if (Inspector && Collection && Collection->UpdateCount() == 0) {
    Inspector->Update();
    Inspector->Invalidate();
    Inspector->Update();
  }
}

// ---- items: tree -------------------------------------------------------------------------------

TkvInspectorCollection* TkvInspectorItem::ItemCollection() const {
  return dynamic_cast<TkvInspectorCollection*>(Collection());
}

TkvDataInspector* TkvInspectorItem::GetInspector() const {
  TkvInspectorCollection* Owner = ItemCollection();
  return Owner ? dynamic_cast<TkvDataInspector*>(Owner->Control()) : nullptr;
}

int TkvInspectorItem::Level() const {
  int Result = 0;
  for (TkvInspectorItem* Parent = FParentItem; Parent; Parent = Parent->FParentItem) ++Result;
  return Result;
}

TkvInspectorItem* TkvInspectorItem::FirstChild(bool VisibleOnly, bool ExpandedOnly) const {
  if (ExpandedOnly && !FExpanded) return nullptr;
  for (int Index = 0; Index < FItems->Count(); ++Index) {
    TkvInspectorItem* Child = FItems->Items(Index);
    if (!VisibleOnly || Child->Visible()) return Child;
  }
  return nullptr;
}

TkvInspectorItem* TkvInspectorItem::LastChild(bool VisibleOnly, bool ExpandedOnly) const {
  if (ExpandedOnly && !FExpanded) return nullptr;
  for (int Index = FItems->Count() - 1; Index >= 0; --Index) {
    TkvInspectorItem* Child = FItems->Items(Index);
    if (!VisibleOnly || Child->Visible()) return Child;
  }
  return nullptr;
}

TkvInspectorItem* TkvInspectorItem::NextSibling(bool VisibleOnly) const {
  TkvInspectorCollection* Owner = ItemCollection();
  if (!Owner) return nullptr;
  for (int Index = this->Index() + 1; Index < Owner->Count(); ++Index) {
    TkvInspectorItem* Sibling = Owner->Items(Index);
    if (!VisibleOnly || Sibling->Visible()) return Sibling;
  }
  return nullptr;
}

TkvInspectorItem* TkvInspectorItem::PreviousSibling(bool VisibleOnly) const {
  TkvInspectorCollection* Owner = ItemCollection();
  if (!Owner) return nullptr;
  for (int Index = this->Index() - 1; Index >= 0; --Index) {
    TkvInspectorItem* Sibling = Owner->Items(Index);
    if (!VisibleOnly || Sibling->Visible()) return Sibling;
  }
  return nullptr;
}

TkvInspectorItem* TkvInspectorItem::NextItem(bool VisibleOnly, bool ExpandedOnly) const {
  if (TkvInspectorItem* Child = FirstChild(VisibleOnly, ExpandedOnly)) return Child;
  if (TkvInspectorItem* Sibling = NextSibling(VisibleOnly)) return Sibling;
  for (TkvInspectorItem* Parent = FParentItem; Parent; Parent = Parent->FParentItem)
    if (TkvInspectorItem* Sibling = Parent->NextSibling(VisibleOnly)) return Sibling;
  return nullptr;
}

TkvInspectorItem* TkvInspectorItem::PreviousItem(bool VisibleOnly, bool ExpandedOnly) const {
  TkvInspectorItem* Previous = PreviousSibling(VisibleOnly);
  if (!Previous) return FParentItem;
  if (TkvInspectorItem* Child = Previous->LastChild(VisibleOnly, ExpandedOnly)) return Child;
  return Previous;
}

bool TkvInspectorItem::HasVisibleChildren() const { return FirstChild(true, false) != nullptr; }

bool TkvInspectorItem::IsItemsStored() const { return FItems->Count() > 0; }

// ---- items: value ------------------------------------------------------------------------------

std::string TkvInspectorItem::CurrentValue() const {
  if (TField* Field = GetField()) return Field->EditText();
  return FEditText;
}

bool TkvInspectorItem::IsChecked() const {
  // Exact comparison: "true" in another letter case reads as unchecked, as stored values are
  // always written from the pick list itself.
  return FPickList->Count() > 0 && CurrentValue() == FPickList->Entry(0);
}

void TkvInspectorItem::SetChecked(bool Checked) {
  if (FPickList->Count() < 2) return;
  const std::string Value = FPickList->Entry(Checked ? 0 : 1);
  TField* Field = GetField();
  if (!Field) {
    SetEditText(Value);
    return;
  }
  TkvDataInspector* Inspector = GetInspector();
  if (!Inspector || !Inspector->CanEditModifyItem(this)) return;
  Field->SetEditText(Value);
  SetEditText(Field->EditText());
}

void TkvInspectorItem::MapValueToDisplay(const std::string& Value, std::string& DisplayText) const {
  if (!FPickList->MapList()) {
    DisplayText = Value;
    return;
  }
  DisplayText.clear();
  for (int Index = 0; Index < FPickList->Count(); ++Index) {
    const std::string Entry = FPickList->Entry(Index);
    int Position = 1;
    std::string Display, Stored;
    kvNextToken(Entry, "\t", Position, Display);
    kvNextToken(Entry, "\t", Position, Stored);
    if (Stored == Value) {
      DisplayText = Display;
      return;
    }
  }
}

void TkvInspectorItem::DoItemChanged() {
  TkvInspectorCollection* Owner = ItemCollection();
  auto* Inspector = As<TkvDataInspector>(Owner ? Owner->Control() : nullptr);
  if (!Inspector) throw EInvalidCast("Invalid class typecast");
  // The item's handler may free neither the item nor the table, but it may move rows; the
  // inspector's own handler gets the text as it is once the item's handler returned.
  const std::string Value = FEditText;
  if (OnItemChanged) OnItemChanged(Inspector, this, Value);
  Inspector->ItemChanged(this, FEditText);
}

bool TkvInspectorItem::UsesPickListCombo() const {
  return (!FPickList->DisplayAsCheckbox() && FPickList->Count() > 0) || OnEditButtonClick.Assigned();
}

// ---- items: data -------------------------------------------------------------------------------

TField* TkvInspectorItem::GetField() const {
  TDataSource* Source = DataSource();
  if (!Source || !Source->DataSet()) return nullptr;
  const std::string Name = DataField();
  if (Name.empty()) return nullptr;
  return Source->DataSet()->FindField(Name);
}

TDataLink* TkvInspectorItem::GetEditDataLink() const {
  TkvDataInspector* Inspector = GetInspector();
  if (!FFieldLink->DataSource() && Inspector) return Inspector->DataLink();
  return FFieldLink.get();
}

TObject* TkvInspectorItem::GetAttachedWindow() const {
  TkvDataInspector* Inspector = GetInspector();
  return Inspector ? Inspector->AttachedWindow() : nullptr;
}

// ---- items: copying and names ------------------------------------------------------------------

void TkvInspectorItem::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TkvInspectorItem*>(Source);
  if (!Other) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetEditText(Other->FEditText);
  SetCaption(Other->FCaption);
  SetCellHeight(Other->FCellHeight);
  FReadOnly = Other->FReadOnly;
  SetCustomControl(Other->FCustomControl);
  SetDataField(Other->DataField());
  FResizeable = Other->FResizeable;
  SetVisible(Other->FVisible);
  FTag = Other->FTag;
  FTagString = Other->FTagString;
  SetExpanded(Other->FExpanded);
  if (Other->FItems->Count() > 0) FItems->Assign(Other->FItems.get());
  FPickList->Assign(Other->FPickList.get());
}

std::string TkvInspectorItem::DisplayName() const {
  return std::to_string(Index()) + " - " + (FCaption.empty() ? std::string("<InspectorItem>") : FCaption);
}

std::string TkvInspectorItem::GetNamePath() const {
  std::string Path;
  for (const TkvInspectorItem* Item = this; Item; Item = Item->FParentItem)
    Path = "Items[" + std::to_string(Item->Index()) + "]" + Path;
  TkvInspectorCollection* Owner = ItemCollection();
  const std::string Name = Owner && Owner->Control() ? Owner->Control()->Name() : std::string();
  return Name + "." + Path;
}

// ---- collections -------------------------------------------------------------------------------

TkvInspectorCollection::TkvInspectorCollection(TComponent* Control, TkvInspectorItem* ParentItem)
    : TCollection(TkvInspectorItem::StaticClass()), FControl(Control), FParentItem(ParentItem) {}

TkvInspectorItem* TkvInspectorCollection::Items(int Index) const {
  return static_cast<TkvInspectorItem*>(TCollection::Items(Index));
}

TPersistent* TkvInspectorCollection::GetOwner() const { return FControl; }

TkvDataInspector* TkvInspectorCollection::Inspector() const { return dynamic_cast<TkvDataInspector*>(FControl); }

TkvInspectorItem* TkvInspectorCollection::FirstItem(bool VisibleOnly) const {
  for (int Index = 0; Index < Count(); ++Index)
    if (!VisibleOnly || Items(Index)->Visible()) return Items(Index);
  return nullptr;
}

bool TkvInspectorCollection::HasVisibleItems() const { return FirstItem(true) != nullptr; }

TkvInspectorItem* TkvInspectorCollection::FindItemByTagString(const std::string& Key) const {
  // Keys are compared through the one fixed case map, never the machine's locale, so a
  // settings file reads the same everywhere.
  const std::string Wanted = AnsiUpperCase(Key);
  for (TkvInspectorItem* Item = FirstItem(false); Item; Item = Item->NextItem(false, false))
    if (AnsiUpperCase(Item->TagString()) == Wanted) return Item;
  return nullptr;
}

TkvInspectorItem* TkvInspectorCollection::FindItemByDataField(const std::string& FieldName) const {
  const std::string Wanted = AnsiUpperCase(FieldName);
  for (TkvInspectorItem* Item = FirstItem(false); Item; Item = Item->NextItem(false, false))
    if (AnsiUpperCase(Item->DataField()) == Wanted) return Item;
  return nullptr;
}

int TkvInspectorCollection::CountDisplayed() const {
  int Result = 0;
  for (TkvInspectorItem* Item = FirstItem(true); Item; Item = Item->NextItem(true, true)) ++Result;
  return Result;
}

TkvInspectorItem* TkvInspectorCollection::DisplayedItem(int Position) const {
  if (Position < 0) return nullptr;
  int Count = 0;
  for (TkvInspectorItem* Item = FirstItem(true); Item; Item = Item->NextItem(true, true))
    if (Count++ == Position) return Item;
  return nullptr;
}

int TkvInspectorCollection::DisplayPosition(const TkvInspectorItem* Item) const {
  int Count = 0;
  for (TkvInspectorItem* Walk = FirstItem(true); Walk; Walk = Walk->NextItem(true, true), ++Count)
    if (Walk == Item) return Count;
  return -1;
}

namespace {

// Visits Item and, unless the walk stopped or the item is not displayed, its children.
bool WalkItem(TkvDataInspector* Inspector, TkvInspectorItem* Item, bool DisplayedOnly, void* Data,
              const TkvInspectorWalkProc& Callback) {
  bool Continue = true;
  Callback(Inspector, Item, Data, Continue);
  if (!Continue) return false;
  if (DisplayedOnly && (!Item->Expanded() || !Item->Visible())) return true;
  TkvInspectorCollection* Children = Item->Items();
  for (int Index = 0; Index < Children->Count(); ++Index)
    if (!WalkItem(Inspector, Children->Items(Index), DisplayedOnly, Data, Callback)) return false;
  return true;
}

}  // namespace

void TkvInspectorCollection::WalkItems(TkvDataInspector* Inspector, bool DisplayedOnly, void* Data,
                                       const TkvInspectorWalkProc& Callback) const {
  for (int Index = 0; Index < Count(); ++Index)
    if (!WalkItem(Inspector, Items(Index), DisplayedOnly, Data, Callback)) return;
}
