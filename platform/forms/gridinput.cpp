// TCustomGrid: messages, keys and the mouse. The mouse selects cells, drags column and row
// borders (with a dotted XOR line that follows the mouse until the button is released) and moves
// columns and rows held by their fixed cells; the keys move the current cell, page, and start
// or end editing.

#include <algorithm>

#include "platform/forms/form.h"
#include "platform/forms/grids.h"
#include "platform/user/user.h"

namespace {

constexpr UINT_PTR SelectTimer = 1;
constexpr UINT SelectInterval = 60;

int32_t SpanOf(const TGridAxisDrawInfo& Axis, int32_t Index) {
  const int32_t Extent = Axis.GetExtent(Index);
  return Extent < 0 ? 0 : Extent + Axis.EffectiveLineWidth;
}

// Where cell Index starts, counted as shown now (fixed cells from 0, scrolling cells from the
// fixed boundary at the first shown one).
int32_t LineStart(const TGridAxisDrawInfo& Axis, int32_t Index) {
  int32_t Start = 0;
  int32_t From = 0;
  if (Index >= Axis.FixedCellCount) {
    Start = Axis.FixedBoundary;
    From = Axis.FirstGridCell;
  }
  for (int32_t I = From; I < Index; ++I) Start += SpanOf(Axis, I);
  return Start;
}

// Whether Position lies on the border after a scrolling cell of the axis; fills the sizing
// state. A border catches the mouse 7 pixels wide (or the line's width when wider), centred on
// the line.
bool AxisSizingState(const TGridAxisDrawInfo& Axis, int Position, TGridState NewState, TGridState& State,
                     int32_t& Index, int32_t& SizingPos, int32_t& SizingOfs) {
  int32_t Range = Axis.EffectiveLineWidth;
  int32_t Back = 0;
  if (Range < 7) {
    Range = 7;
    Back = (Range - Axis.EffectiveLineWidth) / 2;
  }
  int32_t Line = Axis.FixedBoundary;
  for (int32_t I = Axis.FirstGridCell; I < Axis.GridCellCount; ++I) {
    const int32_t Extent = Axis.GetExtent(I);
    if (Extent < 0) continue;
    Line += Extent;
    if (Line > Axis.GridBoundary) break;
    if (Position >= Line - Back && Position <= Line - Back + Range) {
      State = NewState;
      SizingPos = Line;
      SizingOfs = Line - Position;
      Index = I;
      return true;
    }
    Line += Axis.EffectiveLineWidth;
  }
  // Cells that end exactly at the client edge: that edge sizes the cell cut by it.
  if (Axis.GridBoundary == Axis.GridExtent && Position >= Axis.GridExtent - Back && Position <= Axis.GridExtent &&
      Axis.LastFullVisibleCell + 1 < Axis.GridCellCount) {
    State = NewState;
    SizingPos = Axis.GridExtent;
    SizingOfs = Axis.GridExtent - Position;
    Index = Axis.LastFullVisibleCell + 1;
    return true;
  }
  return false;
}

}  // namespace

// ---- messages ----------------------------------------------------------------------------------

void TCustomGrid::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      WMSize(Message);
      return;
    case WM_VSCROLL:
      WMVScroll(Message);
      return;
    case WM_HSCROLL:
      WMHScroll(Message);
      return;
    case WM_SETFOCUS:
      WMSetFocus(Message);
      return;
    case WM_KILLFOCUS:
      WMKillFocus(Message);
      return;
    case WM_SETCURSOR:
      WMSetCursor(Message);
      return;
    case WM_GETDLGCODE:
      WMGetDlgCode(Message);
      return;
    case WM_CHAR:
      WMChar(Message);
      return;
    case WM_LBUTTONDOWN:
      WMLButtonDown(Message);
      return;
    case WM_CANCELMODE:
      WMCancelMode(Message);
      return;
    case WM_TIMER:
      WMTimer(Message);
      return;
    case WM_ERASEBKGND:
      // The paint covers every pixel.
      Message.Result = 1;
      return;
    case CM_CANCELMODE:
      CMCancelMode(Message);
      return;
    case CM_FONTCHANGED:
      CMFontChanged(Message);
      return;
    case CM_WANTSPECIALKEY:
      CMWantSpecialKey(Message);
      return;
    default:
      TCustomControl::Dispatch(Message);
      return;
  }
}

void TCustomGrid::WMSize(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  UpdateScrollRange();
  if (FEditorMode) UpdateEdit();
}

void TCustomGrid::WMVScroll(TMessage& Message) {
  // A separate scroll-bar control's message is not about the grid's own bar.
  if (Message.LParam != 0) {
    TCustomControl::Dispatch(Message);
    return;
  }
  ModifyScrollBar(SB_VERT, LOWORD(Message.WParam), HIWORD(Message.WParam));
  Message.Result = 0;
}

void TCustomGrid::WMHScroll(TMessage& Message) {
  if (Message.LParam != 0) {
    TCustomControl::Dispatch(Message);
    return;
  }
  ModifyScrollBar(SB_HORZ, LOWORD(Message.WParam), HIWORD(Message.WParam));
  Message.Result = 0;
}

void TCustomGrid::WMSetFocus(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  // Focus coming back from the editor changes nothing; otherwise the selection repaints in its
  // focused colours and an always-shown editor appears.
  const HWND Previous = reinterpret_cast<HWND>(Message.WParam);
  if (!FInplaceEdit || !Previous || Previous != FInplaceEdit->HandleIfAllocated()) {
    InvalidateRect(Selection());
    UpdateEdit();
  }
}

void TCustomGrid::WMKillFocus(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  InvalidateRect(Selection());
}

bool TCustomGrid::SizingCursorAt(POINT ClientPoint) {
  TGridState State = FGridState;
  if (State == gsNormal) {
    TGridDrawInfo DrawInfo;
    CalcDrawInfo(DrawInfo);
    int32_t Index = 0, Pos = 0, Ofs = 0;
    CalcSizingState(ClientPoint.x, ClientPoint.y, State, Index, Pos, Ofs, DrawInfo);
  }
  if (State == gsRowSizing) {
    ::SetCursor(CursorHandle(crVSplit));
    return true;
  }
  if (State == gsColSizing) {
    ::SetCursor(CursorHandle(crHSplit));
    return true;
  }
  return false;
}

void TCustomGrid::WMSetCursor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) == FHandle &&
      short(LOWORD(DWORD_PTR(Message.LParam))) == HTCLIENT) {
    POINT P{};
    GetCursorPos(&P);
    if (SizingCursorAt(ScreenToClient(P))) {
      Message.Result = 1;
      return;
    }
  }
  TCustomControl::Dispatch(Message);
}

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS;
  if (FOptions.Contains(goRowSelect)) return;
  if (FOptions.Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
  if (FOptions.Contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::WMChar(TMessage& Message) {
  const char32_t Key = char32_t(Message.WParam);
  // A character typed on an editable grid starts editing with it.
  if (FOptions.Contains(goEditing) && (Key == 8 || (Key >= 32 && Key != 127))) {
    ShowEditorChar(Key);
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TCustomGrid::WMLButtonDown(TMessage& Message) {
  TCustomControl::Dispatch(Message);
}

void TCustomGrid::WMCancelMode(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (FGridState == gsRowSizing || FGridState == gsColSizing) {
    TGridDrawInfo DrawInfo;
    CalcDrawInfo(DrawInfo);
    if (FSizingLineShown) DrawSizingLine(DrawInfo);
  }
  StopSelecting();
  FGridState = gsNormal;
  if (MouseCapture()) SetMouseCapture(false);
}

void TCustomGrid::StopSelecting() {
  if (FGridState == gsSelecting && FHandle) KillTimer(FHandle, SelectTimer);
}

void TCustomGrid::WMTimer(TMessage& Message) {
  if (Message.WParam != SelectTimer || FGridState != gsSelecting) {
    TCustomControl::Dispatch(Message);
    return;
  }
  POINT P{};
  GetCursorPos(&P);
  P = ScreenToClient(P);
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  // The cell the selection reaches for: one past the shown ones on the side the mouse is out.
  TGridCoord Target = FOptions.Contains(goRangeSelect) ? FAnchor : FCurrent;
  TGridCoord NewTopLeft = FTopLeft;
  if (P.y < DrawInfo.Vert.FixedBoundary && FTopLeft.Y > FFixedRows) {
    --NewTopLeft.Y;
    Target.Y = NewTopLeft.Y;
  } else if (P.y >= DrawInfo.Vert.GridBoundary && DrawInfo.Vert.LastFullVisibleCell < FRowCount - 1) {
    ++NewTopLeft.Y;
    Target.Y = std::min(DrawInfo.Vert.LastFullVisibleCell + 1, FRowCount - 1);
  }
  if (P.x < DrawInfo.Horz.FixedBoundary && FTopLeft.X > FFixedCols) {
    --NewTopLeft.X;
    Target.X = NewTopLeft.X;
  } else if (P.x >= DrawInfo.Horz.GridBoundary && DrawInfo.Horz.LastFullVisibleCell < FColCount - 1) {
    ++NewTopLeft.X;
    Target.X = std::min(DrawInfo.Horz.LastFullVisibleCell + 1, FColCount - 1);
  }
  if (NewTopLeft == FTopLeft) return;
  if (FOptions.Contains(goRangeSelect))
    MoveAnchorTo(Target);
  else
    MoveCurrent(Target.X, Target.Y, true, true);
}

void TCustomGrid::CMCancelMode(TMessage& Message) {
  if (reinterpret_cast<TControl*>(Message.LParam) != this && FGridState != gsNormal) {
    TMessage Cancel{WM_CANCELMODE, 0, 0, 0};
    WMCancelMode(Cancel);
  }
  TCustomControl::Dispatch(Message);
}

void TCustomGrid::CMFontChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  InvalidateGrid();
}

void TCustomGrid::CMWantSpecialKey(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  // Enter starts and ends editing instead of pressing the form's default button.
  if (FOptions.Contains(goEditing) && Message.WParam == VK_RETURN) Message.Result = 1;
}

// ---- keys --------------------------------------------------------------------------------------

bool TCustomGrid::CanGridAcceptKey(WORD, TShiftState) {
  return true;
}

void TCustomGrid::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  if (!CanGridAcceptKey(Key, Shift)) {
    Key = 0;
    return;
  }
  const bool RowSelect = FOptions.Contains(goRowSelect);
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  const int32_t PageWidth = std::max(1, DrawInfo.Horz.LastFullVisibleCell - LeftCol());
  const int32_t PageHeight = std::max(1, DrawInfo.Vert.LastFullVisibleCell - TopRow());
  TGridCoord NewCurrent = FCurrent;
  TGridCoord NewTopLeft = FTopLeft;
  if (Shift.Contains(ssCtrl)) {
    switch (Key) {
      case VK_UP:
        --NewTopLeft.Y;
        break;
      case VK_DOWN:
        ++NewTopLeft.Y;
        break;
      case VK_LEFT:
        if (!RowSelect) {
          NewCurrent.X -= PageWidth;
          NewTopLeft.X -= PageWidth;
        }
        break;
      case VK_RIGHT:
        if (!RowSelect) {
          NewCurrent.X += PageWidth;
          NewTopLeft.X += PageWidth;
        }
        break;
      case VK_PRIOR:
        NewCurrent.Y = TopRow();
        break;
      case VK_NEXT:
        NewCurrent.Y = DrawInfo.Vert.LastFullVisibleCell;
        break;
      case VK_HOME:
        NewCurrent = {FFixedCols, FFixedRows};
        break;
      case VK_END:
        NewCurrent = {FColCount - 1, FRowCount - 1};
        break;
      default:
        break;
    }
  } else {
    switch (Key) {
      case VK_UP:
        --NewCurrent.Y;
        break;
      case VK_DOWN:
        ++NewCurrent.Y;
        break;
      case VK_LEFT:
        if (RowSelect)
          --NewTopLeft.X;
        else
          --NewCurrent.X;
        break;
      case VK_RIGHT:
        if (RowSelect)
          ++NewTopLeft.X;
        else
          ++NewCurrent.X;
        break;
      case VK_NEXT:
        NewCurrent.Y += PageHeight;
        NewTopLeft.Y += PageHeight;
        break;
      case VK_PRIOR:
        NewCurrent.Y -= PageHeight;
        NewTopLeft.Y -= PageHeight;
        break;
      case VK_HOME:
        if (RowSelect)
          NewCurrent.Y = FFixedRows;
        else
          NewCurrent.X = FFixedCols;
        break;
      case VK_END:
        if (RowSelect)
          NewCurrent.Y = FRowCount - 1;
        else
          NewCurrent.X = FColCount - 1;
        break;
      case VK_TAB:
        if (Shift.Contains(ssAlt)) break;
        // Tab walks the row and wraps into the next (Shift: previous) row, skipping columns
        // that are no tab stops.
        do {
          if (Shift.Contains(ssShift)) {
            if (--NewCurrent.X < FFixedCols) {
              NewCurrent.X = FColCount - 1;
              if (--NewCurrent.Y < FFixedRows) NewCurrent.Y = FRowCount - 1;
            }
          } else {
            if (++NewCurrent.X >= FColCount) {
              NewCurrent.X = FFixedCols;
              if (++NewCurrent.Y >= FRowCount) NewCurrent.Y = FFixedRows;
            }
          }
        } while (!TabStops(NewCurrent.X) && NewCurrent.X != FCurrent.X);
        // A Tab move is never a range extension.
        Shift.Exclude(ssShift);
        break;
      case VK_F2:
        SetEditorMode(true);
        break;
      default:
        break;
    }
  }
  TGridDrawInfo Fresh;
  CalcDrawInfo(Fresh);
  const TGridCoord MaxTopLeft = CalcMaxTopLeft(TGridCoord{FColCount - 1, FRowCount - 1}, Fresh);
  const int32_t MaxLeft = MaxTopLeft.X;
  const int32_t MaxTop = MaxTopLeft.Y;
  NewTopLeft.X = std::max(FFixedCols, std::min(NewTopLeft.X, MaxLeft));
  NewTopLeft.Y = std::max(FFixedRows, std::min(NewTopLeft.Y, MaxTop));
  if (NewTopLeft.X != FTopLeft.X || NewTopLeft.Y != FTopLeft.Y) MoveTopLeft(NewTopLeft.X, NewTopLeft.Y);
  NewCurrent.X = std::max(FFixedCols, std::min(NewCurrent.X, FColCount - 1));
  NewCurrent.Y = std::max(FFixedRows, std::min(NewCurrent.Y, FRowCount - 1));
  if (NewCurrent.X != FCurrent.X || NewCurrent.Y != FCurrent.Y)
    FocusCell(NewCurrent.X, NewCurrent.Y, !Shift.Contains(ssShift));
}

void TCustomGrid::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  // Without an always-shown editor, Enter switches editing on and off.
  if (!FOptions.Contains(goAlwaysShowEditor) && Key == 13) {
    if (FEditorMode)
      HideEditor();
    else
      ShowEditor();
    Key = 0;
  }
}

// ---- the mouse ---------------------------------------------------------------------------------

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int32_t& Index, int32_t& SizingPos,
                                  int32_t& SizingOfs, TGridDrawInfo& FixedInfo) {
  State = gsNormal;
  Index = -1;
  if (!FOptions.Contains(goColSizing) && !FOptions.Contains(goRowSizing)) return;
  // Columns are sized in the fixed rows, rows in the fixed columns; only scrolling cells size.
  if (Y < FixedInfo.Vert.FixedBoundary && FOptions.Contains(goColSizing)) {
    if (X >= FixedInfo.Horz.GridBoundary) return;
    AxisSizingState(FixedInfo.Horz, X, gsColSizing, State, Index, SizingPos, SizingOfs);
  } else if (X < FixedInfo.Horz.FixedBoundary && FOptions.Contains(goRowSizing)) {
    if (Y >= FixedInfo.Vert.GridBoundary) return;
    AxisSizingState(FixedInfo.Vert, Y, gsRowSizing, State, Index, SizingPos, SizingOfs);
  }
}

bool TCustomGrid::Sizing(int X, int Y) {
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  TGridState State = gsNormal;
  int32_t Index = 0, Pos = 0, Ofs = 0;
  CalcSizingState(X, Y, State, Index, Pos, Ofs, DrawInfo);
  return State != gsNormal;
}

void TCustomGrid::DrawSizingLine(const TGridDrawInfo& DrawInfo) {
  if (!HandleAllocated()) return;
  TCanvas* Canvas = this->Canvas();
  TPen* Pen = Canvas->Pen();
  const TPenStyle OldStyle = Pen->Style();
  const TPenMode OldMode = Pen->Mode();
  const int32_t OldWidth = Pen->Width();
  const TColor OldColor = Pen->Color();
  Pen->SetStyle(psDot);
  Pen->SetMode(pmXor);
  Pen->SetWidth(1);
  Pen->SetColor(clWhite);
  if (FGridState == gsRowSizing) {
    Canvas->MoveTo(0, FSizingPos);
    Canvas->LineTo(DrawInfo.Horz.GridBoundary, FSizingPos);
  } else if (FGridState == gsColSizing) {
    Canvas->MoveTo(FSizingPos, 0);
    Canvas->LineTo(FSizingPos, DrawInfo.Vert.GridBoundary);
  }
  Pen->SetStyle(OldStyle);
  Pen->SetMode(OldMode);
  Pen->SetWidth(OldWidth);
  Pen->SetColor(OldColor);
  FSizingLineShown = !FSizingLineShown;
  // The window DC is not kept between drags.
  if (auto* ControlCanvas = dynamic_cast<TControlCanvas*>(Canvas)) ControlCanvas->FreeHandle();
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!ComponentState().Contains(csDesigning) && (CanFocus() || !GetParentForm(this))) {
    SetFocus();
    if (!IsActiveControl()) {
      SetMouseCapture(false);
      return;
    }
  }
  if (Button == mbLeft && Shift.Contains(ssDouble)) {
    DblClick();
  } else if (Button == mbLeft) {
    TGridDrawInfo DrawInfo;
    CalcDrawInfo(DrawInfo);
    CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs, DrawInfo);
    if (FGridState != gsNormal) {
      FSizingLineShown = false;
      DrawSizingLine(DrawInfo);
      TCustomControl::MouseDown(Button, Shift, X, Y);
      return;
    }
    const TGridCoord Cell = MouseCoord(X, Y);
    if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows) {
      if (FOptions.Contains(goEditing)) {
        if (Cell == FCurrent) {
          ShowEditor();
        } else {
          MoveCurrent(Cell.X, Cell.Y, true, true);
          UpdateEdit();
        }
        Click();
      } else {
        FGridState = gsSelecting;
        if (FHandle) SetTimer(FHandle, SelectTimer, SelectInterval, nullptr);
        if (Shift.Contains(ssShift))
          MoveAnchorTo(Cell);
        else
          MoveCurrent(Cell.X, Cell.Y, true, true);
      }
    } else if (FOptions.Contains(goRowMoving) && Cell.X >= 0 && Cell.X < FFixedCols && Cell.Y >= FFixedRows) {
      FGridState = gsRowMoving;
      FMoveIndex = Cell.Y;
      FMovePos = Cell.Y;
    } else if (FOptions.Contains(goColMoving) && Cell.Y >= 0 && Cell.Y < FFixedRows && Cell.X >= FFixedCols) {
      FGridState = gsColMoving;
      FMoveIndex = Cell.X;
      FMovePos = Cell.X;
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
  switch (FGridState) {
    case gsSelecting: {
      const TGridCoord Cell = MouseCoord(X, Y);
      if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows && !(Cell == FAnchor)) {
        if (FOptions.Contains(goRangeSelect))
          MoveAnchorTo(Cell);
        else if (!(Cell == FCurrent))
          MoveCurrent(Cell.X, Cell.Y, true, true);
      }
      break;
    }
    case gsRowSizing:
    case gsColSizing: {
      TGridDrawInfo DrawInfo;
      CalcDrawInfo(DrawInfo);
      if (FSizingLineShown) DrawSizingLine(DrawInfo);  // erase at the old place
      FSizingPos = (FGridState == gsRowSizing ? Y : X) + FSizingOfs;
      DrawSizingLine(DrawInfo);
      break;
    }
    case gsRowMoving:
    case gsColMoving: {
      const TGridCoord Cell = MouseCoord(X, Y);
      if (FGridState == gsRowMoving && Cell.Y >= FFixedRows) FMovePos = Cell.Y;
      if (FGridState == gsColMoving && Cell.X >= FFixedCols) FMovePos = Cell.X;
      break;
    }
    default:
      break;
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  switch (FGridState) {
    case gsSelecting:
      MouseMove(Shift, X, Y);
      StopSelecting();
      FGridState = gsNormal;
      UpdateEdit();
      Click();
      break;
    case gsRowSizing:
    case gsColSizing: {
      TGridDrawInfo DrawInfo;
      CalcDrawInfo(DrawInfo);
      if (FSizingLineShown) DrawSizingLine(DrawInfo);
      const bool Rows = FGridState == gsRowSizing;
      // The state is normal again before the notifications run: handlers may start a new drag.
      FGridState = gsNormal;
      const TGridAxisDrawInfo& Axis = Rows ? DrawInfo.Vert : DrawInfo.Horz;
      if (FSizingIndex >= 0 && FSizingIndex < Axis.GridCellCount) {
        const int32_t NewSize = FSizingPos - LineStart(Axis, FSizingIndex);
        if (NewSize > 1) {
          if (Rows)
            SetRowHeights(FSizingIndex, NewSize);
          else
            SetColWidths(FSizingIndex, NewSize);
        }
      }
      break;
    }
    case gsColMoving:
      FGridState = gsNormal;
      if (FMoveIndex != FMovePos) MoveColumn(FMoveIndex, FMovePos);
      break;
    case gsRowMoving:
      FGridState = gsNormal;
      if (FMoveIndex != FMovePos) MoveRow(FMoveIndex, FMovePos);
      break;
    default:
      break;
  }
  FGridState = gsNormal;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, POINT MousePos) {
  if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
  if (Row() < FRowCount - 1) SetRow(Row() + 1);
  return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, POINT MousePos) {
  if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
  if (Row() > FFixedRows) SetRow(Row() - 1);
  return true;
}

void TCustomGrid::DoExit() {
  TCustomControl::DoExit();
  if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
}
