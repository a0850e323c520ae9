// How the user moves through the inspector: the thread keyboard hook that takes navigation keys
// away from an editor control placed in a row and posts them to the inspector, the inspector's
// own key handling, clicks on expand buttons, captions, values and check boxes, dragging the
// caption column's border and a row's bottom border, and focus entry and exit.
//
// The hook is one per thread and shared by every inspector. It is installed while at least one
// inspector is entered and removed when the last one leaves or goes away. It acts only while the
// window holding the keyboard focus is an entered inspector or lies inside one: a dialog opened
// from an editor (a folder dialog from a dialog combo) keeps its keys even though the screen's
// active control is still the editor in the inspector.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "kvcontrols/editors/kvdatetimepicker.h"
#include "kvcontrols/editors/kvdrawing.h"
#include "kvcontrols/editors/kvedit.h"
#include "kvcontrols/editors/kvhelpers.h"
#include "kvcontrols/editors/kvinspector.h"
#include "kvcontrols/editors/kvinspectorcombo.h"
#include "kvcontrols/editors/kvinspectoredit.h"
#include "platform/db/dataset.h"
#include "platform/forms/edit.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/gdi/rect.h"
#include "platform/rtl/unicode.h"
#include "platform/user/message.h"
#include "platform/user/user.h"

namespace {

HHOOK InspectorHook = nullptr;
// The inspectors between their entry and their exit (or destruction).
std::vector<TkvDataInspector*>& EnteredInspectors() {
  static std::vector<TkvDataInspector*> List;
  return List;
}

bool IsKeyDown(int VirtualKey) { return GetKeyState(VirtualKey) < 0; }

bool IsNavigationKey(WPARAM Key) {
  return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN;
}

bool OwnsWindowFocus(TWinControl* Control) {
  return Control && Control->HandleAllocated() && GetFocus() == Control->HandleIfAllocated();
}

// The window with the keyboard focus is the inspector's or one of its descendants.
bool HoldsKeyboardFocus(TkvDataInspector* Inspector) {
  if (!Inspector || !Inspector->HandleAllocated()) return false;
  const HWND Focus = GetFocus();
  return Focus && (Focus == Inspector->HandleIfAllocated() || IsChild(Inspector->HandleIfAllocated(), Focus));
}

// A drop-down list or calendar of the control is open: every key belongs to it.
bool HasOpenDropDown(TWinControl* Control) {
  if (kvHasChildOutsideClient(Control)) return true;
  if (auto* Edit = dynamic_cast<TkvDBCustomEdit*>(Control)) return Edit->IsDroppedDown();
  if (auto* Picker = dynamic_cast<TkvDBCustomDateTimePicker*>(Control)) return Picker->GetDroppedDown();
  return false;
}

bool IsInsideGrid(TControl* Control) {
  return Control && Control->Parent() && Control->Parent()->InheritsFrom("TCustomGrid");
}

bool IsInsideDBGrid(TControl* Control) {
  return Control && Control->Parent() && Control->Parent()->InheritsFrom("TkvDBGrid");
}

// Whether an edit's Left or Right may leave the text: the caret sits at the end it points to.
bool CaretLetsKeyOut(TCustomEdit* Edit, WPARAM Key) {
  const int32_t Start = Edit->SelStart();
  const int32_t Stop = Start + Edit->SelLength();
  const int32_t Length = int32_t(Utf8Length(Edit->Text()));
  if (Key == VK_LEFT)
    return Start == 0 && (Stop == 0 || Stop == Length || (Stop == 1 && dynamic_cast<TkvCustomMaskEdit*>(Edit)));
  return (Start == 0 || Start == Stop) && Stop == Length;
}

LPARAM ShiftFlags(TShiftState Shift) {
  return LPARAM(kvShiftStateToKeyFlags(uint32_t(Shift.Contains(ssShift)) | uint32_t(Shift.Contains(ssAlt)) << 1 |
                                       uint32_t(Shift.Contains(ssCtrl)) << 2));
}

}  // namespace

// ---- the keyboard hook -------------------------------------------------------------------------

bool TkvDataInspector::KeyboardHookInstalled() { return InspectorHook != nullptr; }

void TkvDataInspector::RegisterEntered() {
  auto& List = EnteredInspectors();
  if (std::find(List.begin(), List.end(), this) == List.end()) List.push_back(this);
  if (!InspectorHook)
    InspectorHook = SetWindowsHookEx(WH_KEYBOARD, &TkvDataInspector::InspectorKeyboardHook, nullptr,
                                     GetCurrentThreadId());
}

void TkvDataInspector::UnregisterEntered() {
  auto& List = EnteredInspectors();
  List.erase(std::remove(List.begin(), List.end(), this), List.end());
  // The hook goes with the last entered inspector, not with any one of several.
  if (List.empty() && InspectorHook) {
    UnhookWindowsHookEx(InspectorHook);
    InspectorHook = nullptr;
  }
}

TkvDataInspector* TkvDataInspector::FindFocusedInspector() {
  for (TWinControl* Control = Screen ? Screen->ActiveControl() : nullptr; Control; Control = Control->Parent())
    if (auto* Inspector = dynamic_cast<TkvDataInspector*>(Control)) return Inspector;
  return nullptr;
}

LRESULT TkvDataInspector::InspectorKeyboardHook(int Code, WPARAM Key, LPARAM KeyFlags) {
  const LRESULT Next = CallNextHookEx(InspectorHook, Code, Key, KeyFlags);
  if (Next == 1) return Next;
  TWinControl* FocusControl = Screen ? Screen->ActiveControl() : nullptr;
  if (!FocusControl) return Next;
  TkvDataInspector* Inspector = FindFocusedInspector();
  auto& Entered = EnteredInspectors();
  // Keys typed anywhere else (a dialog over the table, another window) are not ours to take.
  if (!Inspector || std::find(Entered.begin(), Entered.end(), Inspector) == Entered.end() ||
      !HoldsKeyboardFocus(Inspector))
    return Next;
  if (FocusControl == Inspector)
    if (TInplaceEdit* Edit = Inspector->InplaceEditor(); OwnsWindowFocus(Edit)) FocusControl = Edit;

  const bool Released = (KeyFlags & (LPARAM(1) << 31)) != 0;
  const bool Ctrl = IsKeyDown(VK_CONTROL);
  const bool Alt = IsKeyDown(VK_MENU);
  const HWND Target = Inspector->Handle();
  // An open drop-down list or calendar takes every key, Enter and Escape included.
  if (HasOpenDropDown(FocusControl)) return Next;

  if ((Key == VK_RETURN || Key == VK_TAB) && !Ctrl && !Alt && OwnsWindowFocus(FocusControl)) {
    if (Released) return 1;
    if (Key == VK_TAB || Inspector->Options().Contains(ovEnterToTab)) {
      PostMessage(Target, WM_KEYDOWN, Key, 0);
      return 1;
    }
    return Next;
  }
  if (Key == VK_F2 && !Ctrl && !Alt) {
    if (!Released) Inspector->FEditMode = !Inspector->FEditMode;
    return Next;
  }
  if (!IsNavigationKey(Key)) return Next;
  if (Ctrl) {
    if (Released || FocusControl == Inspector) return Next;
    PostMessage(Target, WM_KEYDOWN, Key, 0);
    return 1;
  }
  if (Alt) return Next;
  if (Released) return 1;
  if (auto* Edit = dynamic_cast<TCustomEdit*>(FocusControl); Edit && (Key == VK_LEFT || Key == VK_RIGHT)) {
    if (IsInsideDBGrid(Inspector)) {
      // A whole-text selection in a cell the inspector fills moves between the grid's cells.
      auto* Grid = dynamic_cast<TCustomGrid*>(Inspector->Parent());
      const int32_t Length = int32_t(Utf8Length(Edit->Text()));
      const bool AllSelected = Edit->SelStart() == 0 && Edit->SelLength() == Length;
      if (Grid && AllSelected && Inspector->Height() + 2 >= Grid->RowHeights(Grid->Row())) {
        PostMessage(Grid->Handle(), WM_KEYDOWN, Key, 0);
        return 1;
      }
      return Next;
    }
    if (Inspector->ColCount() <= 2) return Next;
    if (!CaretLetsKeyOut(Edit, Key)) return Next;
  }
  if (Inspector->FEditMode) return Next;
  PostMessage(Target, WM_KEYDOWN, Key, 0);
  return 1;
}

// ---- keys --------------------------------------------------------------------------------------

void TkvDataInspector::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
  if (FOptions.Contains(ovEnterToTab) && Key == VK_RETURN) Key = VK_TAB;
  const int32_t FirstItemRow = FIndicatorRow->Enabled() ? 1 : 0;
  const int32_t LastRow = RowCount() - 1;
  TkvInspectorItem* Active = GetActiveItem();
  TWinControl* GridParent = IsInsideGrid(this) ? Parent() : nullptr;
  const bool Ctrl = Shift.Contains(ssCtrl);

  if (Ctrl || ColCount() <= 2) {
    switch (Key) {
      case VK_END: MoveToCell(Col(), LastRow); break;
      case VK_HOME: MoveToCell(Col(), FirstItemRow); break;
      case VK_LEFT:
        if (Active && Active->FirstChild(false, false) && Active->Expanded() && (Active->ReadOnly() || Ctrl)) {
          CollapseItem(Active);
          Key = 0;
        }
        break;
      case VK_RIGHT:
        if (Active && Active->FirstChild(false, false) && !Active->Expanded() && (Active->ReadOnly() || Ctrl)) {
          ExpandItem(Active);
          Key = 0;
        }
        break;
      default: break;
    }
  }

  switch (Key) {
    case VK_TAB: {
      const bool Back = Shift.Contains(ssShift);
      const bool ExpandedOnly = FOptions.Contains(ovTabToVisibleOnly);
      TkvInspectorItem* Item = Active;
      do {
        Item = Item ? (Back ? Item->PreviousItem(true, ExpandedOnly) : Item->NextItem(true, ExpandedOnly)) : nullptr;
      } while (Item && !Item->TabStop());
      if (Item) {
        SetActiveItem(Item);
      } else if (GridParent) {
        PostMessage(GridParent->Handle(), WM_KEYDOWN, VK_TAB, Back ? ShiftFlags(Shift) : 0);
      } else if (TCustomForm* Form = GetParentForm(this); Form && Form->HandleAllocated()) {
        // Past the last row (or before the first) the form's next control takes the focus. The
        // form counts from the table, not from the editor inside it.
        if (CanFocus()) SetFocus();
        PostMessage(Form->Handle(), WM_NEXTDLGCTL, Back ? 1 : 0, 0);
        return;
      }
      break;
    }
    case VK_RETURN:
      if (auto* Edit = dynamic_cast<TCustomEdit*>(GetActiveEditor())) Edit->SelectAll();
      break;
    case VK_ESCAPE:
      FDataLink->Reset();
      if (TInplaceEdit* Edit = InplaceEditor(); Edit && Edit->Visible()) Edit->SelectAll();
      break;
    case VK_PRIOR:
    case VK_NEXT: {
      const int32_t Page = std::max(1, VisibleRowCount());
      if (Key == VK_PRIOR) MoveToCell(Col(), std::max(FirstItemRow, Row() - Page));
      else MoveToCell(Col(), std::min(LastRow, Row() + Page));
      break;
    }
    case VK_UP:
      if (Row() > FirstItemRow) {
        MoveToCell(Col(), Row() - 1);
      } else if (GridParent) {
        SendMessage(GridParent->Handle(), WM_KEYDOWN, VK_UP, ShiftFlags(Shift));
        MoveToCell(Col(), LastRow);
      }
      break;
    case VK_DOWN:
      if (Row() < LastRow) {
        MoveToCell(Col(), Row() + 1);
      } else if (GridParent) {
        SendMessage(GridParent->Handle(), WM_KEYDOWN, VK_DOWN, ShiftFlags(Shift));
        MoveToCell(Col(), 0);
      }
      break;
    case VK_LEFT:
    case VK_RIGHT: {
      TDataSet* DataSet = FDataLink->Active() ? FDataLink->DataSet() : nullptr;
      const bool CanMove = DataSet && (Key == VK_LEFT ? !DataSet->Bof() : !DataSet->Eof());
      if (ColCount() > 2 && CanMove) {
        HideActiveEditor();
        if (CanFocus()) SetFocus();
        FDataLink->MoveBy(Key == VK_LEFT ? -1 : 1);
        Key = 0;
      } else if (GridParent) {
        PostMessage(GridParent->Handle(), WM_KEYDOWN, Key, ShiftFlags(Shift));
      }
      break;
    }
    default: break;
  }
  FocusEditorControl();
}

void TkvDataInspector::WMChar(TMessage& Message) {
  // Only Space means something to the table itself: it toggles a check-box row. Every other
  // character is dropped; typing does not start an editor.
  if (Message.WParam == ' ' && GridOptions().Contains(goEditing) && IsCheckboxRow(Row())) {
    ToggleCheckbox(GetActiveItem());
    InvalidateRow(Row(), Col());
  }
  Message.Result = 0;
}

// ---- expanding and collapsing ------------------------------------------------------------------

void TkvDataInspector::CollapseItem(TkvInspectorItem* Item) {
  if (!Item) return;
  bool CanCollapse = true;
  if (OnCanCollapse) OnCanCollapse(this, Item, CanCollapse);
  if (!CanCollapse) return;
  Item->SetExpanded(false);
  if (!ComponentState().Contains(csLoading) && OnCollapsed) OnCollapsed(this, Item);
}

void TkvDataInspector::ExpandItem(TkvInspectorItem* Item) {
  if (!Item) return;
  bool CanExpand = true;
  if (OnCanExpand) OnCanExpand(this, Item, CanExpand);
  if (!CanExpand) return;
  Item->SetExpanded(true);
  if (!ComponentState().Contains(csLoading) && OnExpanded) OnExpanded(this, Item);
}

// ---- focus -------------------------------------------------------------------------------------

bool TkvDataInspector::TrySetFocus() {
  if (!CanFocus() || ComponentState().Contains(csDesigning)) return true;
  SetFocus();
  TInplaceEdit* Edit = InplaceEditor();
  return FEntered || (Edit && Edit->Focused());
}

bool TkvDataInspector::IsFocusedOrChildFocused() {
  TWinControl* Active = Screen ? Screen->ActiveControl() : nullptr;
  return Active && (Active == this || Active->Parent() == this);
}

void TkvDataInspector::FocusEditorControl() {
  TWinControl* Control = GetActiveEditor();
  if (!Control || !Control->HandleAllocated() || !IsWindowVisible(Control->HandleIfAllocated())) return;
  if (!Control->Focused() && Control->CanFocus()) Control->SetFocus();
}

void TkvDataInspector::CMEnter(TMessage& Message) {
  TCustomGrid::Dispatch(Message);
  FEntered = true;
  if (FSetFocusTabStyle == itsResetActiveItem) {
    const int32_t First = FIndicatorRow->Enabled() ? 1 : 0;
    if (First < RowCount() && Row() != First) MoveColRow(Col(), First, true, true);
  }
  InvalidateRow(Row());
  RegisterEntered();
}

void TkvDataInspector::CMExit(TMessage& Message) {
  try {
    CommitEditor();
  } catch (...) {
    // The value stays in its editor: the table keeps the focus (and its keys) for a correction.
    if (CanFocus()) SetFocus();
    throw;
  }
  UnregisterEntered();
  TCustomGrid::Dispatch(Message);
  FEntered = false;
  InvalidateRow(Row());
}

void TkvDataInspector::DoExit() {
  if (FActiveEditor) {
    FActiveEditor->Hide();
    FActiveEditor = nullptr;
    FEditorCol = FEditorRow = -1;
  }
  HideEditor();
  TCustomGrid::DoExit();
}

void TkvDataInspector::Click() {
  TCustomGrid::Click();
  TInplaceEdit* Edit = InplaceEditor();
  if (!UsesInplaceEdit() && Edit && Edit->Focused()) HideEditor();
}

// ---- the mouse ---------------------------------------------------------------------------------

void TkvDataInspector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  CancelHint();
  int32_t ACol = -1, ARow = -1;
  CellAtPoint(X, Y, ACol, ARow);

  if (!(ACol == 0 && ARow == Row() && IsFocusedOrChildFocused())) {
    if (FEntered) FClickPending = true;
    const bool Arrived = TrySetFocus();
    FClickPending = false;
    if (!Arrived) return;
  }
  if (ACol < 0 || ARow < 0 || Shift.Contains(ssDouble)) {
    FDataLink->UpdateData();
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    if (IsInsideGrid(this) && ACol < 0) FGridState = gsNormal;
    return;
  }
  if (FComboBox) FComboBox->SetMouseDownTime(uint32_t(GetMessageTime()));

  TkvInspectorItem* Item = ItemAtRow(ARow);
  if (ACol == 0 && Item && Item->FirstChild(false, false)) {
    const POINT Center = Item->ButtonPoint();
    if (std::abs(X - Center.x) <= 4 && std::abs(Y - Center.y) <= 4) {
      MoveToCell(Col(), ARow);
      if (UsesInplaceEdit()) ShowEditor();
      else HideEditor();
      if (Item->Expanded()) CollapseItem(Item);
      else ExpandItem(Item);
      if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
      return;
    }
  }

  if (ACol < 0 || ACol > ColCount() || (Sizing(X, Y) && X <= ColWidths(0) + 3)) {
    TGridDrawInfo Info;
    CalcDrawInfo(Info);
    TGridState State = gsNormal;
    int32_t Index = -1, Pos = 0, Ofs = 0;
    CalcSizingState(X, Y, State, Index, Pos, Ofs, Info);
    if (State == gsColSizing || State == gsRowSizing) FDataLink->UpdateData();
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    if (FGridState == gsColSizing) {
      // The caption column resizes live while the mouse moves: no line follows it. Only the
      // caption column's border can be dragged.
      TCustomGrid::DrawSizingLine(Info);
      if (FSizingPos > ColWidths(0) + 3) FGridState = gsNormal;
    }
    return;
  }

  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
  const int32_t OldCol = Col(), OldRow = Row(), OldTop = TopRow();
  if (ACol == 0) {
    MoveToCell(Col(), ARow);
  } else if (ACol == Col()) {
    MoveToCell(std::min(ACol, ColCount() - 1), ARow);
  } else {
    HideActiveEditor();
    if (CanFocus()) SetFocus();
    FClickRow = ARow;
    FDataLink->MoveBy(ACol - Col());
    FClickRow = -1;
  }

  // The click that placed an editor reaches it too: a click on a dialog combo's button opens
  // the dialog at once.
  TWinControl* Editor = GetActiveEditor();
  if (ACol != 0 && (ACol != OldCol || ARow != OldRow) && TopRow() == OldTop && Editor && Editor->HandleAllocated() &&
      IsWindowVisible(Editor->HandleIfAllocated())) {
    const POINT InEditor{X - Editor->Left(), Y - Editor->Top()};
    TWinControl* Child = nullptr;
    if (TControl* Found = Editor->ControlAtPos(InEditor, false, true)) Child = dynamic_cast<TWinControl*>(Found);
    if (Child) {
      const LPARAM At = MAKELPARAM(WORD(InEditor.x - Child->Left()), WORD(InEditor.y - Child->Top()));
      SendMessage(Child->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
      SendMessage(Child->Handle(), WM_LBUTTONUP, 0, At);
    } else {
      SendMessage(Editor->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(WORD(InEditor.x), WORD(InEditor.y)));
    }
  }

  if (ACol >= 1 && IsCheckboxRow(ARow)) {
    RECT Box{};
    GetCheckboxRect(CellRect(ACol, ARow), Box);
    InflateRect(&Box, 1, 1);
    const POINT Point{X, Y};
    if (PtInRect(&Box, Point)) {
      ToggleCheckbox(ItemAtRow(ARow));
      InvalidateRow(ARow, ACol);
    }
  }
}

int32_t TkvDataInspector::DraggedCaptionWidth() {
  TGridDrawInfo Info;
  CalcDrawInfo(Info);
  int32_t Width = FSizingPos - Info.Horz.FixedBoundary;
  for (int32_t Index = Info.Horz.FirstGridCell; Index < FSizingIndex; ++Index)
    Width -= ColWidths(Index) + Info.Horz.EffectiveLineWidth;
  return Width;
}

void TkvDataInspector::MouseMove(TShiftState Shift, int X, int Y) {
  if (FGridState == gsColSizing) {
    // The caption follows the mouse while it moves.
    FSizingPos = X + FSizingOfs;
    const int32_t Width = DraggedCaptionWidth();
    if (Width > 1 && Width != FCaptionWidth) SetCaptionWidth(Width);
    return;
  }
  TCustomGrid::MouseMove(Shift, X, Y);
  ShowCellHint(Shift, X, Y);
}

void TkvDataInspector::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  switch (FGridState) {
    case gsColSizing: {
      FSizingPos = (UseRightToLeftAlignment() ? ClientWidth() - X : X) + FSizingOfs;
      const int32_t Width = DraggedCaptionWidth();
      if (Width > 1 && Width != FCaptionWidth) SetCaptionWidth(Width);
      if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
      FGridState = gsNormal;
      return;
    }
    case gsRowSizing: {
      const int32_t Index = FSizingIndex;
      TCustomGrid::MouseUp(Button, Shift, X, Y);
      FocusEditorControl();
      if (Index >= 0 && Index < RowCount()) {
        if (RowHeights(Index) < FNaturalRowHeight) SetRowHeights(Index, FNaturalRowHeight);
        if (TkvInspectorItem* Item = ItemAtRow(Index)) Item->SetCellHeight(RowHeights(Index));
        InvalidateRow(Index);
      }
      return;
    }
    case gsSelecting:
    case gsRowMoving:
    case gsColMoving: TCustomGrid::MouseUp(Button, Shift, X, Y); return;
    default:
      if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
      return;
  }
}

// Columns: any column border is hot within 7 pixels, but the mouse handling only lets the
// caption column's border go. Rows: only inside the caption column, within 5 pixels, and only
// below an item that allows resizing.
void TkvDataInspector::CalcSizingState(int X, int Y, TGridState& State, int32_t& Index, int32_t& SizingPos,
                                       int32_t& SizingOfs, TGridDrawInfo& FixedInfo) {
  State = gsNormal;
  Index = -1;
  TGridOptions Allowed = GridOptions();
  if (!Allowed.Contains(goColSizing) && !Allowed.Contains(goRowSizing)) return;
  if (UseRightToLeftAlignment()) X = ClientWidth() - X;

  auto HotBorder = [](const TGridAxisDrawInfo& Axis, int Position, int32_t Width, int32_t& Border, int32_t& Cell) {
    int32_t Range = std::max(Axis.EffectiveLineWidth, Width);
    const int32_t Back = (Range - Axis.EffectiveLineWidth) / 2;
    int32_t Line = Axis.FixedBoundary;
    for (int32_t I = Axis.FirstGridCell; I < Axis.GridCellCount; ++I) {
      Line += Axis.GetExtent(I);
      if (Line > Axis.GridBoundary) break;
      if (Position >= Line - Back && Position <= Line - Back + Range) {
        Border = Line;
        Cell = I;
        return true;
      }
      Line += Axis.EffectiveLineWidth;
    }
    if (Axis.GridBoundary == Axis.GridExtent && Position >= Axis.GridExtent - Back && Position <= Axis.GridExtent) {
      Border = Axis.GridExtent;
      Cell = std::min(Axis.LastFullVisibleCell + 1, Axis.GridCellCount - 1);
      return true;
    }
    return false;
  };

  int32_t Border = 0, Cell = -1;
  if (Allowed.Contains(goColSizing) && HotBorder(FixedInfo.Horz, X, 7, Border, Cell)) {
    State = gsColSizing;
  } else if (Allowed.Contains(goRowSizing) && X <= ColWidths(0) && HotBorder(FixedInfo.Vert, Y, 5, Border, Cell)) {
    TkvInspectorItem* Item = ItemAtRow(Cell);
    if (!Item || !Item->Resizeable()) return;
    State = gsRowSizing;
  } else {
    return;
  }
  SizingPos = Border;
  SizingOfs = Border - (State == gsColSizing ? X : Y);
  Index = Cell;
}

void TkvDataInspector::DrawSizingLine() {
  TGridDrawInfo Info;
  CalcDrawInfo(Info);
  TCustomGrid::DrawSizingLine(Info);
}
