#include "kvcontrols/editors/kvinspector.h"

#include <algorithm>

#include "kvcontrols/editors/kvdatetimepicker.h"
#include "kvcontrols/editors/kvinspectorcombo.h"
#include "kvcontrols/editors/kvinspectoredit.h"
#include "kvcontrols/editors/kvinspectorhint.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/forms/form.h"
#include "platform/forms/imagelist.h"
#include "platform/forms/screen.h"
#include "platform/forms/timer.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TkvDataInspector)

// ---- construction ------------------------------------------------------------------------------

namespace {

// The indicator glyphs in the order of the data-set states they stand for: browse, edit, insert.
// The list takes the size of the first; white is transparent in each.
void LoadIndicatorImages(TImageList& Images) {
  static const char* const Names[] = {"KVINSPECTORARROW", "KVINSPECTOREDIT", "KVINSPECTORINSERT"};
  TBitmap Glyph;
  for (const char* Name : Names) {
    Glyph.LoadFromResourceName(nullptr, Name);
    if (Images.Count() == 0) Images.SetSize(Glyph.Width(), Glyph.Height());
    Images.AddMasked(&Glyph, clWhite);
  }
}

}  // namespace

TkvDataInspector::TkvDataInspector(TComponent* AOwner) : TCustomGrid(AOwner) {
  FPaintBitmap = std::make_unique<TBitmap>();
  // The owned settings exist before the first grid writer runs: the grid's hooks read them.
  FIndicatorRow = std::make_unique<TkvInspectorIndicatorRow>(this);
  FCaptionFont = std::make_unique<TFont>();
  FButtonOptions = std::make_unique<TkvInspectorButtonOptions>(this);
  FDataLink = std::make_unique<TkvDataInspectorDataLink>(this);
  FItems = std::make_unique<TkvInspectorCollection>(this, nullptr);
  FIndicatorImages = std::make_unique<TImageList>(nullptr);
  LoadIndicatorImages(*FIndicatorImages);
  SetControlStyle(ControlStyle() + csReplicatable);

  FSetFocusTabStyle = itsPreserveActiveItem;
  SetColor(clBtnFace);
  // The writer only acts on a change; start from the grid's own style so that it applies.
  FScrollBars = ssNone;
  SetScrollBars(ssVertical);
  FLineStyleCaption = ovDark3DLine;
  FLineStyleData = ovDark3DLine;
  SetSaveCellExtents(false);
  FDottedLineColor = clBtnShadow;

  FDataLink->SetVisualControl(true);
  FItems->SetPropName("Items");

  SetFixedCols(0);
  FCaptionIndent = 12;
  SetFixedRows(0);
  SetColCount(2);
  SetRowCount(1);
  FCaptionWidth = 100;

  TCustomGrid::SetOptions(TGridOptions{goColSizing, goEditing, goTabs, goAlwaysShowEditor});
  FOptions = TkvDataInspectorOptions{};
  SetOptions(TkvDataInspectorOptions{ovColumnResize, ovRowResize, ovEnterToTab, ovHighlightActiveRow,
                                     ovCenterCaptionVert});
  SetDefaultDrawing(false);

  FCaptionFont->OnChange = TNotifyEvent(this, &TkvDataInspector::CaptionFontChanged);
  FDataColumns = 1;
  FTreeLineColor = clWhite;

  FPaintColors.FixedRowColor = FIndicatorRow->Color();
  FPaintColors.FixedColumnColor = FCaptionColor;

  SetBaseFixedRows(0);
}

void TkvDataInspector::BeforeDestruction() {
  Destroying();
  CancelHint();
  // The keyboard hook must not reach an inspector that is going away.
  UnregisterEntered();
  // Items go first, while the grid is whole: an item's destructor asks its inspector whether
  // it is going away, and its field link leaves the data source.
  FItems->Clear();
  FActiveEditor = nullptr;
  TCustomGrid::BeforeDestruction();
}

TkvDataInspector::~TkvDataInspector() {
  Destroying();
  UnregisterEntered();
  FItems.reset();
  FAttachedWindow.reset();
  FDataLink.reset();
  FIndicatorImages.reset();
}

void TkvDataInspector::CaptionFontChanged(TObject*) { Invalidate(); }

// ---- published writers -------------------------------------------------------------------------

void TkvDataInspector::SetCaptionColor(TColor Value) {
  if (FCaptionColor == Value) return;
  FCaptionColor = Value;
  SetFixedColor(Value);
  FPaintColors.FixedColumnColor = Value;
  Invalidate();
}

void TkvDataInspector::SetDataColumns(int32_t Value) {
  if (FDataColumns == Value || Value < 0) return;
  FDataColumns = Value;
  SetColCount(Value + 1);
  if (Col() == 0 && Value > 0) SetCol(1);
  FDataLink->SetBufferCount(std::max(1, Value));
  UpdateColumnWidths();
}

void TkvDataInspector::SetIndicatorRow(TkvInspectorIndicatorRow* Value) { FIndicatorRow->Assign(Value); }

TDataSource* TkvDataInspector::DataSource() const { return FDataLink ? FDataLink->DataSource() : nullptr; }

void TkvDataInspector::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TkvDataInspector::SetItems(TkvInspectorCollection* Value) {
  if (Value && Value != FItems.get()) FItems->Assign(Value);
}

void TkvDataInspector::SetDefaultRowHeight(int32_t Value) {
  FDefaultRowHeight = Value;
  // A fixed height reaches the rows through the grid's change notification; 0 returns to the
  // height that follows the font.
  if (Value != 0) TCustomGrid::SetDefaultRowHeight(Value);
  else RebuildRows();
}

void TkvDataInspector::SetCaptionWidth(int32_t Value) {
  const int32_t Limited = std::max(std::min(Value, ClientWidth() - 20), 10);
  if (Limited == FCaptionWidth) return;
  if (FOptions.Contains(ovHideCaptionColumn) && ColCount() == 2) {
    SetColWidths(0, 0);
  } else {
    SetColWidths(0, Limited);
    FCaptionWidth = ColWidths(0);
  }
  // The value column takes what the caption column leaves, so no gap opens at the right.
  UpdateColumnWidths();
  Invalidate();
}

void TkvDataInspector::ApplyGridOptions(TkvDataInspectorOptions Value) {
  TGridOptions Grid{goEditing, goAlwaysShowEditor, goThumbTracking};
  if (Value.Contains(ovRowResize)) Grid.Include(goRowSizing);
  if (Value.Contains(ovColumnResize)) Grid.Include(goColSizing).Include(goColMoving);
  if (!Value.Contains(ovTabExits)) Grid.Include(goTabs);
  TCustomGrid::SetOptions(Grid);
}

void TkvDataInspector::SetOptions(const TkvDataInspectorOptions& Value) {
  if (FOptions == Value) return;
  const TkvDataInspectorOptions Old = FOptions;
  ApplyGridOptions(Value);
  FOptions = Value;
  SetColWidths(0, Value.Contains(ovHideCaptionColumn) && ColCount() == 2 ? 0 : FCaptionWidth);
  if (HandleAllocated()) UpdateColumnWidths();
  const TkvDataInspectorOptions Repainting{ovHighlightActiveRow, ovCenterCaptionVert, ovShowTreeLines,
                                           ovHideCaptionColumn};
  if (!((Old - Value) + (Value - Old)).SubsetOf(TkvDataInspectorOptions{}) &&
      !(((Old - Value) + (Value - Old)) * Repainting).Empty())
    Invalidate();
}

void TkvDataInspector::SetCaptionFont(TFont* Value) { FCaptionFont->Assign(Value); }

void TkvDataInspector::SetLineStyleCaption(TkvDataInspectorLineStyle Value) {
  FLineStyleCaption = Value;
  Invalidate();
}

void TkvDataInspector::SetLineStyleData(TkvDataInspectorLineStyle Value) {
  FLineStyleData = Value;
  Invalidate();
}

void TkvDataInspector::SetDottedLineColor(TColor Value) {
  FDottedLineColor = Value;
  Invalidate();
}

void TkvDataInspector::SetButtonOptions(TkvInspectorButtonOptions* Value) {
  FButtonOptions->SetExpandGlyph(Value->ExpandGlyph());
  FButtonOptions->SetCollapseGlyph(Value->CollapseGlyph());
  FButtonOptions->SetTransparentGlyphs(Value->TransparentGlyphs());
}

void TkvDataInspector::SetCaptionIndent(int32_t Value) {
  if (FCaptionIndent == Value) return;
  FCaptionIndent = Value;
  Invalidate();
}

void TkvDataInspector::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  // Rows scroll with the grid's own vertical bar; the horizontal bar moves between records and
  // is driven by the inspector itself.
  TCustomGrid::SetScrollBars(Value == ssVertical || Value == ssBoth ? ssVertical : ssNone);
  if (HandleAllocated()) {
    RecreateWnd();
    UpdateScrollBar();
  }
}

void TkvDataInspector::IndicatorColorChanged() {
  FPaintColors.FixedRowColor = FIndicatorRow->Color();
  if (!FIndicatorRow->Enabled() || !HandleAllocated()) return;
  RECT Rect = CellRect(0, 0);
  Rect.right = ClientWidth();
  ::InvalidateRect(Handle(), &Rect, TRUE);
}

// ---- the item tree -----------------------------------------------------------------------------

void TkvDataInspector::WalkItems(bool DisplayedOnly, void* Data, const TkvInspectorWalkProc& Callback) {
  FItems->WalkItems(this, DisplayedOnly, Data, Callback);
}

TkvInspectorItem* TkvDataInspector::FindItemByDataField(const std::string& FieldName) const {
  return FItems->FindItemByDataField(FieldName);
}

TkvInspectorItem* TkvDataInspector::ItemAtRow(int32_t ARow) {
  if (Row() < 0) return nullptr;
  const int32_t First = FIndicatorRow->Enabled() ? 1 : 0;
  return FItems->DisplayedItem(ARow - First);
}

int32_t TkvDataInspector::RowOfItem(const TkvInspectorItem* Item) {
  if (!Item) return -1;
  const int Position = FItems->DisplayPosition(Item);
  if (Position < 0) return -1;
  return Position + (FIndicatorRow->Enabled() ? 1 : 0);
}

int32_t TkvDataInspector::CountDisplayedRows() const {
  return FItems->CountDisplayed() + (FIndicatorRow->Enabled() ? 1 : 0);
}

void TkvDataInspector::CellAtPoint(int X, int Y, int32_t& ACol, int32_t& ARow) {
  const TGridCoord Cell = MouseCoord(X, Y);
  ACol = Cell.X;
  ARow = Cell.Y;
}

TkvInspectorItem* TkvDataInspector::ItemAtPoint(int X, int Y) {
  int32_t ACol = -1, ARow = -1;
  CellAtPoint(X, Y, ACol, ARow);
  if (ARow < 0) return nullptr;
  return ItemAtRow(ARow);
}

void TkvDataInspector::SetActiveItem(TkvInspectorItem* Item) {
  if (!Item) return;
  bool Locked = false;
  for (TkvInspectorItem* Parent = Item->ParentItem(); Parent; Parent = Parent->ParentItem()) {
    if (!Parent->Expanded() && !Locked) {
      LockRedraw();
      Locked = true;
    }
    Parent->SetExpanded(true);
  }
  const int32_t Target = RowOfItem(Item);
  if (Target >= 0) MoveToCell(Col(), Target);
  // The rebuilds of the rows have already asked for a repaint.
  if (Locked) UnlockRedraw(false);
}

void TkvDataInspector::ToggleCheckbox(TkvInspectorItem* Item) {
  if (!Item) return;
  TkvInspectorPickList* PickList = Item->PickList();
  const std::string Checked = PickList->Entry(0);
  if (TField* Field = Item->GetField()) {
    if (!CanEditModifyItem(Item)) return;
    Field->SetEditText(Field->EditText() != Checked ? Checked : PickList->Entry(1));
    Item->SetEditText(Field->EditText());
  } else {
    if (FReadOnly || Item->ReadOnly()) return;
    Item->SetEditText(Item->EditText() != Checked ? Checked : PickList->Entry(1));
  }
  Item->DoItemChanged();
}

void TkvDataInspector::ItemChanged(TkvInspectorItem* Item, const std::string& NewValue) {
  if (OnItemChanged) OnItemChanged(this, Item, NewValue);
}

void TkvDataInspector::FieldChanged(TField* Field) {
  if (OnFieldChanged) OnFieldChanged(this, Field);
}

bool TkvDataInspector::IsAutoDateTimeItem(const TkvInspectorItem* Item) const {
  if (!Item || !Item->Options().Contains(iioAutoDateTimePicker)) return false;
  TField* Field = Item->GetField();
  if (!Field) return false;
  const TFieldType Type = Field->DataType();
  return Type == ftDate || Type == ftTime || Type == ftDateTime;
}

bool TkvDataInspector::IsAutoLookupItem(const TkvInspectorItem* Item) const {
  if (!Item || !Item->Options().Contains(iioAutoLookupCombo)) return false;
  TField* Field = Item->GetField();
  return Field && Field->Lookup();
}

// ---- layout ------------------------------------------------------------------------------------

void TkvDataInspector::RebuildRows() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  LockRedraw();
  TCanvas* Measure = FPaintBitmap->Canvas();
  Measure->Font()->Assign(Font());
  FNaturalRowHeight = Measure->TextHeight("0") + 3;
  if (FDefaultRowHeight == 0 && TCustomGrid::DefaultRowHeight() != FNaturalRowHeight)
    TCustomGrid::SetDefaultRowHeight(FNaturalRowHeight);

  // A bound inspector without items shows one row per field of its data set.
  if (FItems->Count() == 0 && FDataLink->Active() && DataSource() && DataSource()->DataSet()) {
    TFields* Fields = DataSource()->DataSet()->Fields();
    for (int Index = 0; Index < Fields->Count(); ++Index) {
      TField* Field = Fields->Fields(Index);
      TkvInspectorItem* Item = FItems->Add();
      Item->SetCaption(Field->DisplayLabel());
      Item->SetReadOnly(Field->ReadOnly());
      Item->SetDataField(Field->FieldName());
    }
  }

  const int32_t Rows = CountDisplayedRows();
  if (Rows != RowCount() && Rows > 0) SetRowCount(Rows);

  int32_t Counter = FIndicatorRow->Enabled() ? 1 : 0;
  WalkItems(true, nullptr, [&](TkvDataInspector*, TkvInspectorItem* Item, void*, bool&) {
    if (TWinControl* Control = Item->CustomControl())
      Control->SetControlStyle(Control->ControlStyle() + csNoDesignVisible);
    if (!Item->Visible()) return;
    // Hidden children of a displayed parent are visited too; only shown rows count.
    for (TkvInspectorItem* Parent = Item->ParentItem(); Parent; Parent = Parent->ParentItem())
      if (!Parent->Visible() || !Parent->Expanded()) return;
    if (Counter < RowCount())
      SetRowHeights(Counter, Item->CellHeight() >= 1 ? Item->CellHeight() : TCustomGrid::DefaultRowHeight());
    ++Counter;
  });

  if (FIndicatorRow->Enabled() && RowCount() > 1) {
    SetFixedRows(FBaseFixedRows + 1);
    SetRowHeights(0, FIndicatorRow->Height() > 0 ? FIndicatorRow->Height() : TCustomGrid::DefaultRowHeight());
  } else if (FBaseFixedRows < RowCount()) {
    SetFixedRows(FBaseFixedRows);
  }

  UpdateColumnWidths();
  if (ColCount() != FDataColumns + 1) SetColCount(FDataColumns + 1);
  FDataLink->SetBufferCount(std::max(1, FDataColumns));
  if (FDataColumns > 0 && Col() == 0) SetCol(1);
  UnlockRedraw(true);
  if (UsesInplaceEdit() && HandleAllocated()) ShowEditor();
}

void TkvDataInspector::RecountRows() {
  if (!FRowRecountNeeded || ComponentState().Contains(csLoading)) return;
  const int32_t Rows = CountDisplayedRows();
  if (Rows != RowCount() && Rows > 0) SetRowCount(Rows);
  FRowRecountNeeded = false;
}

void TkvDataInspector::UpdateColumnWidths() {
  const int32_t Caption = FOptions.Contains(ovHideCaptionColumn) ? 0 : FCaptionWidth;
  const int32_t Data = ClientWidth() - Caption;
  if (ColCount() == 2) {
    SetColWidths(1, Data);
  } else if (ColCount() > 2 && FDataColumns > 0) {
    for (int32_t Index = 1; Index < ColCount(); ++Index) SetColWidths(Index, Data / FDataColumns);
    SetColWidths(0, ClientWidth() - ColWidths(1) * FDataColumns);
  }
  if (FActiveEditor) FActiveEditor->SetBoundsRect(GetEditorRect(Col(), Row()));
}

void TkvDataInspector::UpdateItemRowHeight(TkvInspectorItem* Item) {
  if (ComponentState().Contains(csLoading) || FItems->UpdateCount() > 0) return;
  const int32_t ARow = RowOfItem(Item);
  if (ARow < 0 || ARow >= RowCount()) return;
  SetRowHeights(ARow, Item->CellHeight() > 0 ? Item->CellHeight() : TCustomGrid::DefaultRowHeight());
}

void TkvDataInspector::SetBaseFixedRows(int32_t Count) {
  FBaseFixedRows = Count;
  const int32_t Needed = Count + (FIndicatorRow->Enabled() ? 1 : 0);
  if (RowCount() < Needed + 1) SetRowCount(Needed + 1);
  SetFixedRows(Count);
}

RECT TkvDataInspector::GetEditorRect(int32_t ACol, int32_t ARow) {
  RECT Rect = CellRect(ACol, ARow);
  Rect.left += 1;
  Rect.right -= 1;
  Rect.bottom = Rect.top + RowHeights(ARow) - 1;
  return Rect;
}

void TkvDataInspector::InvalidateRow(int32_t ARow, int32_t ACol) {
  if (!HandleAllocated()) return;
  RECT Rect;
  if (ACol == -1) {
    Rect = BoxRect(0, ARow, ColCount(), ARow);
    Rect.right = ClientWidth();
  } else {
    Rect = BoxRect(ACol, ARow, ACol, ARow);
  }
  Rect.top -= 2;
  Rect.bottom += 1;
  Rect.left -= 1;
  ::InvalidateRect(Handle(), &Rect, FALSE);
}

void TkvDataInspector::RowHeightsChanged() {
  TCustomGrid::RowHeightsChanged();
  if (TCustomGrid::DefaultRowHeight() != FLastGridRowHeight) {
    FLastGridRowHeight = TCustomGrid::DefaultRowHeight();
    RebuildRows();
  }
}

// ---- redraw lock -------------------------------------------------------------------------------

void TkvDataInspector::LockRedraw() {
  if (!Showing()) return;
  if (FRedrawLockCount == 0) SendMessage(Handle(), WM_SETREDRAW, 0, 0);
  ++FRedrawLockCount;
}

void TkvDataInspector::UnlockRedraw(bool Repaint) {
  // The count goes down even while the control is hidden: a table hidden between a lock and its
  // unlock (the options panel closed meanwhile) must not keep redrawing off for good.
  if (Repaint) FRedrawPending = true;
  if (FRedrawLockCount > 0) --FRedrawLockCount;
  if (FRedrawLockCount > 0) return;
  // A window that stopped showing meanwhile is left alone: switching redrawing on would make it
  // visible again, and showing the control later switches it on by itself.
  if (Showing()) {
    SendMessage(Handle(), WM_SETREDRAW, 1, 0);
    if (FRedrawPending) Invalidate();
  }
  FRedrawPending = false;
}

// ---- scrolling ---------------------------------------------------------------------------------

void TkvDataInspector::WMSize(TMessage& Message) {
  TCustomGrid::WMSize(Message);
  UpdateColumnWidths();
  const RECT Size{0, 0, Width(), Height()};
  if (Size.right != FLaidOutSize.right || Size.bottom != FLaidOutSize.bottom) FLaidOutSize = Size;
}

void TkvDataInspector::WMVScroll(TMessage& Message) {
  const int32_t OldTop = TopRow();
  LockRedraw();
  const UINT Code = LOWORD(Message.WParam);
  // The grid's own handling would take the focus for a tab stop; a scroll is no reason to move
  // the focus into the table.
  const bool SavedTabStop = TabStop();
  if (Code == SB_THUMBTRACK) FThumbTracking = true;
  if (Code == SB_ENDSCROLL && FThumbTracking) {
    FTabStop = false;
    TCustomGrid::WMVScroll(Message);
    FTabStop = SavedTabStop;
    FThumbTracking = false;
    UnlockRedraw(false);
    InvalidateRow(Row());
    return;
  }
  FTabStop = false;
  TCustomGrid::WMVScroll(Message);
  FTabStop = SavedTabStop;
  UnlockRedraw(false);
  if (TopRow() != OldTop) {
    if (UsesInplaceEdit()) ShowEditor();
    else HideEditor();
    Invalidate();
    Update();
  }
}

bool TkvDataInspector::DoMouseWheelDown(TShiftState, POINT) {
  if (HandleAllocated()) SendMessage(Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  return true;
}

bool TkvDataInspector::DoMouseWheelUp(TShiftState, POINT) {
  if (HandleAllocated()) SendMessage(Handle(), WM_VSCROLL, SB_LINEUP, 0);
  return true;
}

void TkvDataInspector::TopLeftChanged() {
  // The hinted cell has moved away from under the hint.
  CancelHint();
  TCustomGrid::TopLeftChanged();
  if (OnTopLeftChanged) OnTopLeftChanged(this);
  if (!FActiveEditor) return;
  TGridDrawInfo Info;
  CalcDrawInfo(Info);
  if (Row() < TopRow() || Row() > Info.Vert.LastFullVisibleCell + 1) {
    if (FActiveEditor->Focused() && CanFocus()) SetFocus();
    FActiveEditor->Hide();
  } else {
    FActiveEditor->SetBoundsRect(GetEditorRect(Col(), Row()));
    FActiveEditor->Show();
    if (FActiveEditor->CanFocus() && Focused()) FActiveEditor->SetFocus();
  }
}

void TkvDataInspector::WMSetCursor(TMessage& Message) {
  // No sizing cursor over the borders between data columns: only the caption column's border
  // may be dragged.
  if (LOWORD(Message.LParam) == HTCLIENT && HandleAllocated()) {
    POINT Mouse{};
    GetCursorPos(&Mouse);
    Mouse = ScreenToClient(Mouse);
    if (FGridState == gsColSizing || (Sizing(Mouse.x, Mouse.y) && Mouse.x > ColWidths(0) + 3)) {
      if (Mouse.x > ColWidths(0) + 3) {
        Message.Result = 1;
        return;
      }
    }
  }
  TCustomGrid::WMSetCursor(Message);
}

void TkvDataInspector::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TkvDataInspector::WMPaint(TMessage& Message) {
  if (HandleAllocated() && GetUpdateRect(Handle(), &FUpdateRect, FALSE)) FHasUpdateRect = true;
  else FHasUpdateRect = false;
  FPaintCopyTextColor = clNone;
  if (ControlState().Contains(csPaintCopy) && Message.WParam && Parent() &&
      Parent()->InheritsFrom("TCustomGrid"))
    FPaintCopyTextColor = static_cast<TColor>(GetTextColor(Message.DC()));
  TCustomGrid::Dispatch(Message);
}

void TkvDataInspector::CMGetDataLink(TMessage& Message) {
  Message.Result = reinterpret_cast<LRESULT>(static_cast<TDataLink*>(FDataLink.get()));
}

void TkvDataInspector::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE: WMSize(Message); return;
    case WM_VSCROLL: WMVScroll(Message); return;
    case WM_HSCROLL: WMHScroll(Message); return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_PAINT: WMPaint(Message); return;
    case CM_GETDATALINK: CMGetDataLink(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case CM_ENTER: CMEnter(Message); return;
    case CM_EXIT: CMExit(Message); return;
    case WM_CHAR: WMChar(Message); return;
  }
  TCustomGrid::Dispatch(Message);
}

// ---- cells and focus ---------------------------------------------------------------------------

bool TkvDataInspector::SelectCell(int32_t ACol, int32_t ARow) {
  CancelHint();
  bool CanSelect = true;
  if (OnBeforeSelectCell) OnBeforeSelectCell(this, ItemAtRow(ARow), CanSelect);
  if (!CanSelect) return false;
  // The caption column is never the current cell: the current cell is always a value.
  if (ACol == 0) return false;
  if (FActiveEditor && (FEditorCol != ACol || FEditorRow != ARow)) HideActiveEditor();
  if (TkvInspectorItem* Item = ItemAtRow(ARow)) Item->SetEditText(GetEditText(1, ARow));
  InvalidateRow(Row());
  InvalidateRow(ARow);
  return true;
}

void TkvDataInspector::HideActiveEditor() {
  if (!FActiveEditor) return;
  if (FActiveEditor->Visible() && FActiveEditor->Focused() && CanFocus()) SetFocus();
  FActiveEditor->Hide();
  FActiveEditor = nullptr;
  FEditorCol = -1;
  FEditorRow = -1;
}

// ---- the rest ----------------------------------------------------------------------------------

void TkvDataInspector::SetAttachedWindow(TObject* Window) { FAttachedWindow.reset(Window); }

void TkvDataInspector::AttachedWindowChanged() { Invalidate(); }

void TkvDataInspector::Loaded() {
  TCustomGrid::Loaded();
  FLastGridRowHeight = TCustomGrid::DefaultRowHeight();
  RebuildRows();
}

void TkvDataInspector::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomGrid::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FDataLink && AComponent == DataSource()) FDataLink->SetDataSource(nullptr);
  if (AComponent == FActiveEditor) {
    FActiveEditor = nullptr;
    FEditorCol = FEditorRow = -1;
  }
  // The shared editors and the hint are owned components; their owner frees them last.
  if (AComponent == FComboBox) FComboBox = nullptr;
  if (AComponent == FDateTimePicker) FDateTimePicker = nullptr;
  if (AComponent == FHintWindow) FHintWindow = nullptr;
  if (AComponent == FHintTimer) FHintTimer = nullptr;
  if (ComponentState().Contains(csDestroying) || !FItems) return;
  // A freed editor control leaves every row that hosted it, at any depth.
  bool Cleared = false;
  for (TkvInspectorItem* Item = FItems->FirstItem(false); Item; Item = Item->NextItem(false, false)) {
    if (Item->CustomControl() != AComponent) continue;
    Item->ForgetCustomControl();
    Cleared = true;
  }
  if (Cleared) Invalidate();
}
