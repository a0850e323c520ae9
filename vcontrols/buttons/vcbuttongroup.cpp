// The button group: items and their buttons, the grid layout, selection and keys.

#include "vcontrols/buttons/vcbuttongroup.h"

#include <algorithm>
#include <vector>

#include "platform/forms/messagebox.h"
#include "platform/rtl/scopeexit.h"
#include "platform/user/user.h"
#include "vcontrols/buttons/vcshapebtn.h"
#include "vcontrols/common/vchosts.h"

KORCAM_REGISTER_CLASS(TvcButtonGroupItem)
KORCAM_REGISTER_CLASS(TvcButtonGroupItems)
KORCAM_REGISTER_CLASS(TvcCustomButtonGroup)
KORCAM_REGISTER_CLASS(TvcButtonGroup)

namespace {

// Restores a flag to what it was when the scope ends.
class TFlagHold {
 public:
  TFlagHold(bool (TvcButtonGroupItems::*Get)() const, void (TvcButtonGroupItems::*Set)(bool),
            TvcButtonGroupItems* Items)
      : FItems(Items), FSet(Set), FOld((Items->*Get)()) {
    (FItems->*FSet)(true);
  }
  ~TFlagHold() { (FItems->*FSet)(FOld); }
  TFlagHold(const TFlagHold&) = delete;
  TFlagHold& operator=(const TFlagHold&) = delete;

 private:
  TvcButtonGroupItems* FItems;
  void (TvcButtonGroupItems::*FSet)(bool);
  bool FOld;
};

int CeilDiv(int Numerator, int Denominator) {
  // Denominator > 0; C++ division truncates, which is the ceiling for a negative numerator.
  return Numerator / Denominator + (Numerator % Denominator > 0 ? 1 : 0);
}

}  // namespace

// --- TvcButtonGroupItem ---------------------------------------------------------------------------

TvcButtonGroupItem::TvcButtonGroupItem(TCollection* Collection) : TvcCollectionItem(Collection) {
  auto* Items = dynamic_cast<TvcButtonGroupItems*>(Collection);
  TvcCustomButtonGroup* Group = Items ? Items->ButtonGroup() : nullptr;
  // Read from a form, the button arrives as a child of the group and is attached then.
  if (!Group || Group->Reading()) return;
  // The first item made in code ends the hold the group was created with.
  Items->SetArranging(true);
  TScopeExit Release([Items] { Items->SetArranging(false); });
  TComponent* Made = Group->ButtonClass().CreateComponent(Group->Owner());
  FButton = dynamic_cast<TvcCustomBitBtn*>(Made);
  if (!FButton) {
    if (Made) Made->Free();
    throw EInvalidCast("Invalid class typecast");
  }
  try {
    FButton->SetTop(Group->Height());
    FButton->SetParent(Group);
    FButton->SetShowDownAsUp(Group->ShowDownAsUp());
    SetGroupIndex(1);
  } catch (...) {
    TvcCustomBitBtn* Button = FButton;
    FButton = nullptr;
    Button->Free();
    throw;
  }
}

TvcButtonGroupItem::~TvcButtonGroupItem() { FreeButton(); }

void TvcButtonGroupItem::FreeButton() {
  auto* Items = dynamic_cast<TvcButtonGroupItems*>(Collection());
  TvcCustomButtonGroup* Group = Items ? Items->ButtonGroup() : nullptr;
  if (Group && Group->PreviousSelection() == this) Group->FPreviousSelection = nullptr;
  TvcCustomBitBtn* Button = FButton;
  FButton = nullptr;
  if (!Button) return;
  if (!Group) {
    Button->Free();
    return;
  }
  const bool WasFreeing = Group->ItemFreeing();
  Group->SetItemFreeing(true);
  TFlagHold Deleting(&TvcButtonGroupItems::Deleting, &TvcButtonGroupItems::SetDeleting, Items);
  TScopeExit Done([Group, WasFreeing] { Group->SetItemFreeing(WasFreeing); });
  Button->Free();
}

std::string TvcButtonGroupItem::DisplayName() const {
  return FButton ? FButton->Name() : TvcCollectionItem::DisplayName();
}

void TvcButtonGroupItem::SetIndex(int Value) {
  // The form writes the buttons in item order (GetChildren), so moving the item is enough.
  TvcCollectionItem::SetIndex(Value);
}

TObject* TvcButtonGroupItem::ItemControl() { return FButton; }

TvcCustomButtonGroup* TvcButtonGroupItem::ButtonGroup() const {
  auto* Items = dynamic_cast<TvcButtonGroupItems*>(Collection());
  return Items ? Items->ButtonGroup() : nullptr;
}

int32_t TvcButtonGroupItem::GroupIndex() const { return FButton ? FButton->GroupIndex() : 0; }

bool TvcButtonGroupItem::Selected() const { return FButton && FButton->SelectedState(); }

void TvcButtonGroupItem::SetGroupIndex(int32_t Value) {
  if (FButton) FButton->SetGroupIndex(Value);
}

void TvcButtonGroupItem::SetSelected(bool Value) {
  if (FButton) FButton->SetDown(Value);
  if (auto* Items = dynamic_cast<TvcButtonGroupItems*>(Collection())) Items->ArrangeButtons();
}

void TvcButtonGroupItem::AttachButton() {
  if (!FButton) return;
  FButton->OnNameChanged = [this](TvcCustomBitBtn* Sender) { ItemNameChanged(Sender); };
  if (TvcCustomButtonGroup* Group = ButtonGroup()) FButton->SetShowDownAsUp(Group->ShowDownAsUp());
}

// --- TvcButtonGroupItems --------------------------------------------------------------------------

TvcButtonGroupItems::TvcButtonGroupItems(TvcCustomButtonGroup* Group, const TClassInfo& ItemClass)
    : TvcCollection(ItemClass), FGroup(Group) {}

TvcCollectionItem* TvcButtonGroupItems::Add() {
  TvcButtonGroupItem* Item = nullptr;
  {
    TFlagHold Hold(&TvcButtonGroupItems::Adding, &TvcButtonGroupItems::SetAdding, this);
    Item = static_cast<TvcButtonGroupItem*>(TvcCollection::Add());
    if (TvcCustomBitBtn* Button = Item->Button()) {
      if (FGroup->Designing()) {
        const std::string ClassName = Button->ClassName();
        Button->SetName(UniqueComponentName(Button->Owner(), FGroup->Name() + ClassName.substr(1)));
      }
      if (Count() > 1)
        if (TvcCustomBitBtn* First = Items(0)->Button(); First && First != Button) Button->Assign(First);
      switch (FGroup->ClickStyle()) {
        case bcsCheckList: {
          int32_t Largest = 0;
          for (int Index = 0; Index < Count(); ++Index) Largest = std::max(Largest, Items(Index)->GroupIndex());
          Button->SetGroupIndex(Largest + 1);
          Button->SetAllowAllUp(true);
          break;
        }
        case bcsClick:
          // A plain button never stays down, like the others of a click group.
          Button->SetGroupIndex(0);
          Button->SetAllowAllUp(false);
          break;
        case bcsRadioGroup:
          break;
      }
    }
  }
  ArrangeButtons();
  return Item;
}

void TvcButtonGroupItems::Update(TCollectionItem* Item) {
  TvcCollection::Update(Item);
  ArrangeButtons();
}

TvcButtonGroupItem* TvcButtonGroupItems::FindButton(const TControl* Control) const {
  if (!Control) return nullptr;
  for (int Index = 0; Index < Count(); ++Index)
    if (Items(Index)->Button() == Control) return Items(Index);
  return nullptr;
}

TvcButtonGroupItem* TvcButtonGroupItems::FindItem(int32_t ID) const {
  for (int Index = 0; Index < Count(); ++Index)
    if (Items(Index)->ID() == ID) return Items(Index);
  return nullptr;
}

void TvcButtonGroupItems::ClearItems() {
  while (Count() > 0) delete Items(Count() - 1);
}

int32_t TvcButtonGroupItems::VisibleCount() const {
  int32_t Result = 0;
  for (int Index = 0; Index < Count(); ++Index) {
    TvcCustomBitBtn* Button = Items(Index)->Button();
    if (FGroup->Designing() || (Button && Button->Visible())) ++Result;
  }
  return Result;
}

TvcButtonGroupItem* TvcButtonGroupItems::VisibleItems(int32_t Wanted) const {
  for (int Index = 0; Index < Count(); ++Index) {
    TvcCustomBitBtn* Button = Items(Index)->Button();
    if (FGroup->Designing() || (Button && Button->Visible()))
      if (Wanted-- == 0) return Items(Index);
  }
  return nullptr;
}

void TvcButtonGroupItems::ArrangeButtons() {
  if (Count() == 0 || FArranging || FAdding) return;
  TFlagHold Hold(&TvcButtonGroupItems::Arranging, &TvcButtonGroupItems::SetArranging, this);
  // Opaque for the duration: every button moved would otherwise repaint the parent beneath.
  const bool WasTransparent = FGroup->ExchangeTransparentField(false);
  TScopeExit Restore([this, WasTransparent] { FGroup->ExchangeTransparentField(WasTransparent); });

  const int N = Count();
  const int C = std::max(1, FGroup->Columns());  // no columns lays out as one
  const int Spacing = FGroup->ControlSpacing();
  const bool Vertical = FGroup->Layout() == loVertical;
  int Columns, Rows, Full = 0, Extra = 0;
  if (Vertical) {
    Full = N / C;
    Extra = N % C;
    Columns = C;
    Rows = Extra > 0 ? Full + 1 : Full;
  } else {
    Rows = C;
    Columns = N / C + (N % C > 0 ? 1 : 0);
  }
  const int Border = FGroup->BorderWidth();
  const int W = FGroup->ClientWidth() - 2 * Border;
  const int H = FGroup->ClientHeight() - 2 * Border;
  int CellW = (W - (Columns - 1) * Spacing) / Columns;
  int CellH = (H - (Rows - 1) * Spacing) / Rows;
  const int MaxSize = FGroup->MaxControlSize();
  if (MaxSize > 0) {
    if (Vertical)
      CellH = std::min(CellH, MaxSize);
    else
      CellW = std::min(CellW, MaxSize);
  }
  int SpareW = 0, SpareH = 0, StepW = 0, StepH = 0;
  if ((Vertical ? CellH : CellW) != MaxSize) {
    SpareH = H - Rows * CellH - (Rows - 1) * Spacing;
    StepH = CeilDiv(SpareH, Rows);
    SpareW = W - Columns * CellW - (Columns - 1) * Spacing;
    StepW = CeilDiv(SpareW, Columns);
  }

  // The bounds each placed button ended up with, by grid cell.
  std::vector<RECT> Placed(size_t(Columns) * size_t(Rows));
  auto At = [&](int X, int Y) -> RECT& { return Placed[size_t(X) * size_t(Rows) + size_t(Y)]; };
  const int Visible = VisibleCount();
  for (int K = 1; K <= Visible; ++K) {
    TvcButtonGroupItem* Item = VisibleItems(K - 1);
    TvcCustomBitBtn* Button = Item ? Item->Button() : nullptr;
    int X, Y;
    if (Vertical) {
      if (K <= Extra * (Full + 1)) {
        X = (K - 1) / (Full + 1);
        Y = (K - 1) % (Full + 1);
      } else {
        const int J = K - 1 - Extra * (Full + 1);
        X = Extra + J / Full;
        Y = J % Full;
      }
    } else {
      X = (K - 1) / C;
      Y = (K - 1) % C;
    }
    if (X >= Columns || Y >= Rows) continue;
    int Left, Top, Width, Height;
    if (Y > 0)
      Left = At(X, Y - 1).left;
    else if (X > 0)
      Left = At(X - 1, 0).right + Spacing;
    else
      Left = Border;
    Top = Y == 0 ? Border : At(X, Y - 1).bottom + Spacing;
    if (Y > 0) {
      Width = At(X, Y - 1).right - At(X, Y - 1).left;
    } else {
      Width = CellW + std::min(StepW, SpareW);
      SpareW = std::max(0, SpareW - StepW);
    }
    if (X > 0) {
      Height = At(X - 1, Y).bottom - At(X - 1, Y).top;
    } else {
      Height = CellH + std::min(StepH, SpareH);
      SpareH = std::max(0, SpareH - StepH);
    }
    if (Button) {
      Button->SetBounds(Left, Top, std::max(0, Width), std::max(0, Height));
      At(X, Y) = Button->BoundsRect();
    } else {
      At(X, Y) = RECT{Left, Top, Left + Width, Top + Height};
    }
  }
}

// --- TvcCustomButtonGroup -------------------------------------------------------------------------

TvcCustomButtonGroup::TvcCustomButtonGroup(TComponent* AOwner)
    : TvcCustomButtonGroup(AOwner, [](TvcCustomButtonGroup* Group) {
        return std::make_unique<TvcButtonGroupItems>(Group, TvcButtonGroupItem::StaticClass());
      }) {}

TvcCustomButtonGroup::TvcCustomButtonGroup(TComponent* AOwner, TItemsMaker MakeItems)
    : TvcCustomTransparentPanel(AOwner) {
  FButtonClass = &TvcShapeBtn::StaticClass();
  FAutoBold = true;
  FButtonItems = MakeItems(this);
  FButtonItems->SetPropName("ButtonItems");
  // Nothing is laid out until the first item is made in code, or the group has been read.
  FButtonItems->SetArranging(true);
  FClickStyle = bcsRadioGroup;
  FColumns = 1;
  FControlSpacing = 1;
  FChangeLink = std::make_unique<TvcChangeLink>();
  FChangeLink->OnChange = TNotifyEvent([this](TObject* Sender) { ButtonPressed(Sender); });
  FChangeLink->OnButtonDown = TNotifyEvent([this](TObject* Sender) { ButtonChanging(Sender); });
  FBevelInner = bvNone;
  FBevelOuter = bvNone;
  FControlStyle.Exclude(csSetCaption);
  FHeight = 100;
  SetTabStop(true);
  SetTransparent(false);
  FWidth = 75;
}

TvcCustomButtonGroup::~TvcCustomButtonGroup() { FreeItems(); }

void TvcCustomButtonGroup::BeforeDestruction() {
  Destroying();
  FreeItems();
  TvcCustomTransparentPanel::BeforeDestruction();
}

void TvcCustomButtonGroup::FreeItems() {
  if (!FButtonItems) return;
  FButtonItems->SetArranging(true);
  FButtonItems->ClearItems();
}

bool TvcCustomButtonGroup::ExchangeTransparentField(bool Value) {
  const bool Old = FTransparent;
  FTransparent = Value;
  return Old;
}

bool TvcCustomButtonGroup::IsTransparent() const { return FTransparent && !Designing(); }

// --- settings ---

void TvcCustomButtonGroup::SetAutoBold(bool Value) {
  if (FAutoBold == Value) return;
  FAutoBold = Value;
  ApplyAutoBold(true);
}

void TvcCustomButtonGroup::SetClickStyle(TvcButtonGroupClickStyle Value) {
  if (FClickStyle == Value) return;
  FClickStyle = Value;
  for (int Index = 0; Index < FButtonItems->Count(); ++Index) {
    TvcCustomBitBtn* Button = FButtonItems->Items(Index)->Button();
    if (!Button) continue;
    switch (Value) {
      case bcsCheckList:
        Button->SetGroupIndex(Index + 1);
        Button->SetAllowAllUp(true);
        break;
      case bcsRadioGroup:
        Button->SetGroupIndex(1);
        Button->SetAllowAllUp(false);
        break;
      case bcsClick:
        Button->SetGroupIndex(0);
        Button->SetAllowAllUp(false);
        break;
    }
  }
}

void TvcCustomButtonGroup::SetControlSpacing(int32_t Value) {
  if (FControlSpacing == Value) return;
  FControlSpacing = Value;
  FButtonItems->ArrangeButtons();
}

void TvcCustomButtonGroup::SetColumns(int32_t Value) {
  if (FColumns == Value || Value < 0) return;
  FColumns = Value;
  if (!Reading()) FButtonItems->ArrangeButtons();
}

void TvcCustomButtonGroup::SetLayout(TvcLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  if (!Reading()) FButtonItems->ArrangeButtons();
}

void TvcCustomButtonGroup::SetMaxControlSize(int32_t Value) {
  if (FMaxControlSize == Value) return;
  FMaxControlSize = Value;
  FButtonItems->ArrangeButtons();
}

void TvcCustomButtonGroup::SetShowDownAsUp(bool Value) {
  if (FShowDownAsUp == Value) return;
  FShowDownAsUp = Value;
  for (int Index = 0; Index < FButtonItems->Count(); ++Index)
    if (TvcCustomBitBtn* Button = FButtonItems->Items(Index)->Button()) Button->SetShowDownAsUp(Value);
}

void TvcCustomButtonGroup::SetButtonItems(TvcButtonGroupItems* Value) { FButtonItems->Assign(Value); }

std::string TvcCustomButtonGroup::ButtonClassName() const { return FButtonClass->Name; }

void TvcCustomButtonGroup::SetButtonClassName(const std::string& Value) {
  if (!Reading() && Designing() && FButtonItems->Count() > 0 &&
      MessageDlg("Setting this property will clear your items. Continue?", mtConfirmation,
                 TMsgDlgButtons{mbYes, mbNo}, 0) != mrYes)
    return;
  const TClassInfo* Class = FindClass(Value);
  if (!Class) throw EClassNotFound("Class " + Value + " not found");
  // A class that is no owner-drawn button could never make the items' buttons.
  if (!Class->InheritsFrom(TvcCustomBitBtn::StaticClass()) || !Class->CreateComponent)
    throw EInvalidCast("Invalid class typecast");
  SetButtonClass(*Class);
}

void TvcCustomButtonGroup::SetButtonClass(const TClassInfo& Value) {
  if (FButtonClass == &Value) return;
  FButtonClass = &Value;
  if (Reading()) return;
  FButtonItems->BeginUpdate();
  TScopeExit Done([this] { FButtonItems->EndUpdate(); });
  FButtonItems->ClearItems();
}

void TvcCustomButtonGroup::SetName(const std::string& Value) {
  const std::string Old = Name();
  if (Designing() && !Old.empty() && Old != Value)
    for (int Index = 0; Index < FButtonItems->Count(); ++Index) {
      TvcCustomBitBtn* Button = FButtonItems->Items(Index)->Button();
      if (Button && Button->Name().compare(0, Old.size(), Old) == 0)
        Button->SetName(Value + Button->Name().substr(Old.size()));
    }
  TvcCustomTransparentPanel::SetName(Value);
}

const TClassInfo& TvcCustomButtonGroup::GetCollectionClass() const { return TvcButtonGroupItems::StaticClass(); }

// --- selection ---

TvcButtonGroupItem* TvcCustomButtonGroup::Selected() const {
  for (int Index = 0; Index < FButtonItems->Count(); ++Index)
    if (FButtonItems->Items(Index)->Selected()) return FButtonItems->Items(Index);
  return nullptr;
}

void TvcCustomButtonGroup::SetSelected(TvcButtonGroupItem* Value) {
  if (Value) Value->SetSelected(true);
}

void TvcCustomButtonGroup::ButtonChanging(TObject* Sender) {
  if (Reading()) return;
  if (TvcButtonGroupItem* Current = Selected()) FPreviousSelection = Current;
  DoChanging(FPreviousSelection, FButtonItems->FindButton(dynamic_cast<TControl*>(Sender)));
}

void TvcCustomButtonGroup::ButtonPressed(TObject* Sender) {
  if (Reading()) return;
  auto* Button = dynamic_cast<TvcCustomBitBtn*>(Sender);
  if (!Button || !Button->SelectedState()) return;
  FButtonItems->ArrangeButtons();
  ApplyAutoBold(FAutoBold);
  TvcButtonGroupItem* Item = FButtonItems->FindButton(Button);
  if (Item != FPreviousSelection) DoChange(FPreviousSelection, Item);
}

void TvcCustomButtonGroup::DoChanging(TvcButtonGroupItem* OldSelected, TvcButtonGroupItem* NewSelected) {
  if (OnChanging) OnChanging(this, OldSelected, NewSelected);
}

void TvcCustomButtonGroup::DoChange(TvcButtonGroupItem* OldSelected, TvcButtonGroupItem* NewSelected) {
  if (OnChange) OnChange(this, OldSelected, NewSelected);
}

void TvcCustomButtonGroup::NotifyMouseLeave(TControl* Control) {
  for (int Index = 0; Index < FButtonItems->Count(); ++Index)
    if (FButtonItems->Items(Index)->Button() != Control) Perform(CM_MOUSELEAVE, 0, 0);
}

void TvcCustomButtonGroup::ApplyAutoBold(bool Apply) {
  if (!Apply) return;
  for (int Index = 0; Index < FButtonItems->Count(); ++Index)
    if (TvcCustomBitBtn* Button = FButtonItems->Items(Index)->Button()) {
      TFontStyles Style = Button->Font()->Style();
      Style.Exclude(fsBold);
      Button->Font()->SetStyle(Style);
    }
  TvcButtonGroupItem* Current = Selected();
  if (Current && Current->Button() && FAutoBold && FClickStyle == bcsRadioGroup) {
    TFontStyles Style = Current->Button()->Font()->Style();
    Style.Include(fsBold);
    Current->Button()->Font()->SetStyle(Style);
  }
}

// --- size and layout ---

void TvcCustomButtonGroup::CalcGroupSize(TControl* Control, bool Resize, SIZE& Size) {
  const int N = FButtonItems->Count();
  if (N == 0) return;
  if (!Control) Control = FButtonItems->Items(0)->Button();
  if (!Control) return;
  const int C = std::max(1, FColumns);
  const int S = FControlSpacing;
  const int Lines = CeilDiv(N, C);
  if (FLayout == loVertical) {
    Size.cx = (Control->Width() + S) * C - S;
    Size.cy = Lines * (Control->Height() + S) - S;
  } else {
    Size.cx = Lines * (Control->Width() + S) - S;
    Size.cy = (Control->Height() + S) * C - S;
  }
  if (Resize) {
    SetWidth(Size.cx);
    SetHeight(Size.cy);
  }
}

void TvcCustomButtonGroup::AlignControls(TControl* AControl, RECT& Rect) {
  TvcCustomTransparentPanel::AlignControls(AControl, Rect);
  if (FButtonItems->Deleting() || ComponentState().Contains(csDestroying)) return;
  const bool OfButtonClass = AControl && AControl->InheritsFrom(*FButtonClass);
  if (!FButtonItems->Adding() && !FButtonItems->Arranging() && !Reading() && OfButtonClass) {
    // A button that got another size sets the size of every cell.
    SIZE Size{};
    CalcGroupSize(AControl, true, Size);
  }
  if (!FButtonItems->Arranging() && !FButtonItems->Deleting() && dynamic_cast<TvcCustomBitBtn*>(AControl))
    FButtonItems->ArrangeButtons();
}

void TvcCustomButtonGroup::Resize() {
  TvcCustomTransparentPanel::Resize();
  if (!ComponentState().Contains(csDestroying)) FButtonItems->ArrangeButtons();
}

TvcButtonGroupItem* TvcCustomButtonGroup::NavigationTarget(WORD Key) const {
  const int Count = FButtonItems->Count();
  if (Count == 0) return nullptr;  // nothing to move to
  TvcButtonGroupItem* Current = Selected();
  int Target;
  switch (Key) {
    case VK_END: Target = Count - 1; break;
    case VK_HOME: Target = 0; break;
    case VK_LEFT:
    case VK_UP: Target = Current ? Current->Index() - 1 : 0; break;
    case VK_RIGHT:
    case VK_DOWN: Target = Current ? Current->Index() + 1 : 0; break;
    default: return nullptr;
  }
  if (!Current) Target = 0;
  if (Target < 0) Target = Count - 1;
  if (Target >= Count) Target = 0;
  return FButtonItems->Items(Target);
}

void TvcCustomButtonGroup::KeyDown(WORD& Key, TShiftState Shift) {
  TvcCustomTransparentPanel::KeyDown(Key, Shift);
  if (TvcButtonGroupItem* Target = NavigationTarget(Key)) Target->SetSelected(true);
}

void TvcCustomButtonGroup::Paint() {
  TvcCustomTransparentPanel::Paint();
  if (IsTransparent()) {
    for (int Index = 0; Index < FButtonItems->Count(); ++Index)
      if (TvcCustomBitBtn* Button = FButtonItems->Items(Index)->Button()) Button->Invalidate();
  }
  if (Designing() && FBorderStyle == bsNone && FBevelInner == bvNone && FBevelOuter == bvNone &&
      FButtonItems->Count() == 0) {
    // An empty group without any frame would be invisible in a designer.
    TCanvas* C = Canvas();
    C->Pen()->SetStyle(psDash);
    C->Pen()->SetColor(clBlack);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(0, 0, Width(), Height());
  }
}

// --- loading, messages and streaming ---

void TvcCustomButtonGroup::Loaded() {
  TvcCustomTransparentPanel::Loaded();
  for (int Index = 0; Index < ControlCount(); ++Index) {
    auto* Button = dynamic_cast<TvcCustomBitBtn*>(Controls(Index));
    if (!Button || !Button->InheritsFrom(*FButtonClass) || FButtonItems->FindButton(Button)) continue;
    for (int ItemIndex = 0; ItemIndex < FButtonItems->Count(); ++ItemIndex) {
      TvcButtonGroupItem* Item = FButtonItems->Items(ItemIndex);
      if (!Item->Button()) {
        Item->FButton = Button;
        break;
      }
    }
  }
  FButtonItems->SetArranging(false);
  FButtonItems->ArrangeButtons();
  for (int Index = 0; Index < FButtonItems->Count(); ++Index) FButtonItems->Items(Index)->AttachButton();
}

void TvcCustomButtonGroup::CMControlListChange(TMessage& Message) {
  auto* Control = reinterpret_cast<TControl*>(Message.WParam);
  const bool Inserting = Message.LParam != 0;
  if (auto* Button = dynamic_cast<TvcCustomBitBtn*>(Control)) {
    Button->UnregisterLink(FChangeLink.get());
    if (Inserting) Button->RegisterLink(FChangeLink.get());
  }
  // A button that leaves (freed, or given to another parent) takes its item with it; the
  // comparison is by address, so a button already half destroyed is found too.
  if (!Inserting && !FItemFreeing)
    if (TvcButtonGroupItem* Item = FButtonItems->FindButton(Control)) {
      Item->FButton = nullptr;
      TFlagHold Deleting(&TvcButtonGroupItems::Deleting, &TvcButtonGroupItems::SetDeleting, FButtonItems.get());
      delete Item;
      Invalidate();
    }
  TvcCustomTransparentPanel::Dispatch(Message);
}

void TvcCustomButtonGroup::CMControlChange(TMessage& Message) {
  TvcCustomTransparentPanel::Dispatch(Message);
  auto* Button = dynamic_cast<TvcCustomBitBtn*>(reinterpret_cast<TControl*>(Message.WParam));
  if (!Reading() || Message.LParam == 0 || !Button || FButtonItems->Adding() || FButtonItems->FindButton(Button))
    return;
  // Every streamed button gets an item, in the order the buttons are read; items the form listed
  // themselves are used first.
  TvcButtonGroupItem* Item = nullptr;
  for (int Index = 0; Index < FButtonItems->Count() && !Item; ++Index)
    if (!FButtonItems->Items(Index)->Button()) Item = FButtonItems->Items(Index);
  if (!Item) Item = static_cast<TvcButtonGroupItem*>(FButtonItems->Add());
  TFlagHold Adding(&TvcButtonGroupItems::Adding, &TvcButtonGroupItems::SetAdding, FButtonItems.get());
  Item->FButton = Button;
}

void TvcCustomButtonGroup::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_CONTROLLISTCHANGE:
      CMControlListChange(Message);
      return;
    case CM_CONTROLCHANGE:
      CMControlChange(Message);
      return;
    case CM_BORDERCHANGED:
      TvcCustomTransparentPanel::Dispatch(Message);
      FButtonItems->ArrangeButtons();
      return;
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      return;
    default:
      TvcCustomTransparentPanel::Dispatch(Message);
  }
}

void TvcCustomButtonGroup::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (int Index = 0; Index < FButtonItems->Count(); ++Index)
    if (TvcCustomBitBtn* Button = FButtonItems->Items(Index)->Button(); Button && Button->Owner() == Root)
      Proc(Button);
  TvcCustomTransparentPanel::GetChildren(
      [&](TComponent* Child) {
        if (!FButtonItems->FindButton(dynamic_cast<TControl*>(Child))) Proc(Child);
      },
      Root);
}
