// TCustomGrid: shape, cell extents, geometry (draw information, cell rectangles, hit tests), the
// current cell with its selection, and scrolling. Input is in gridinput.cpp, painting in
// gridpaint.cpp, the in-place editor in gridedit.cpp.
//
// Geometry, one axis at a time: the fixed cells come first from pixel 0, each followed by its
// line; then the scrolling cells from the first shown one (LeftCol / TopRow). A cell is "fully
// visible" when it fits inside the client extent; its trailing line may be cut off. A hidden
// cell (extent below 0) takes no room at all, not even a line.

#include "platform/forms/grids.h"

#include <algorithm>

#include "platform/forms/form.h"
#include "platform/user/scrollbar.h"
#include "platform/user/user.h"

KORCAM_REGISTER_CLASS(TCustomGrid)
KORCAM_REGISTER_CLASS(TDrawGrid)
KORCAM_REGISTER_CLASS(TInplaceEdit)

namespace {

constexpr const char* IndexOutOfRange = "Grid index out of range";

// The room a cell takes along its axis, its line included.
int32_t CellSpan(const TGridAxisDrawInfo& Axis, int32_t Index) {
  const int32_t Extent = Axis.GetExtent(Index);
  return Extent < 0 ? 0 : Extent + Axis.EffectiveLineWidth;
}

// Where a cell starts along its axis; -1 when it is not shown (scrolled away, past the client
// extent, or hidden).
int32_t CellStart(const TGridAxisDrawInfo& Axis, int32_t Index) {
  if (Index < 0 || Index >= Axis.GridCellCount || Axis.GetExtent(Index) < 0) return -1;
  int32_t Position = 0;
  int32_t From = 0;
  if (Index >= Axis.FixedCellCount) {
    if (Index < Axis.FirstGridCell) return -1;
    Position = Axis.FixedBoundary;
    From = Axis.FirstGridCell;
  }
  for (int32_t I = From; I < Index; ++I) {
    Position += CellSpan(Axis, I);
    if (Position >= Axis.GridExtent) return -1;
  }
  return Position < Axis.GridExtent ? Position : -1;
}

// The pixel range [Low, High) of the shown cells among First..Last, without the last line and
// cut at the client extent. False when none of them is shown.
bool AxisRange(const TGridAxisDrawInfo& Axis, int32_t First, int32_t Last, int32_t& Low, int32_t& High) {
  if (First > Last) std::swap(First, Last);
  First = std::max<int32_t>(First, 0);
  Last = std::min<int32_t>(Last, Axis.GridCellCount - 1);
  bool Found = false;
  for (int32_t I = First; I <= Last; ++I) {
    // Skip the scrolled-away block in one step.
    if (I >= Axis.FixedCellCount && I < Axis.FirstGridCell) {
      I = Axis.FirstGridCell - 1;
      continue;
    }
    const int32_t Start = CellStart(Axis, I);
    if (Start < 0) {
      if (I >= Axis.FirstGridCell && Axis.GetExtent(I) >= 0) break;  // past the client extent
      continue;
    }
    if (!Found) Low = Start;
    Found = true;
    High = std::min(Start + Axis.GetExtent(I), Axis.GridExtent);
  }
  return Found;
}

// The cell under a pixel of one axis; -1 when none.
int32_t AxisCellAt(const TGridAxisDrawInfo& Axis, int32_t Position) {
  if (Position < 0 || Position >= Axis.GridExtent) return -1;
  int32_t Line = 0;
  int32_t From = 0;
  if (Position >= Axis.FixedBoundary) {
    Line = Axis.FixedBoundary;
    From = Axis.FirstGridCell;
  }
  const int32_t To = Position >= Axis.FixedBoundary ? Axis.GridCellCount : Axis.FixedCellCount;
  for (int32_t I = From; I < To; ++I) {
    Line += CellSpan(Axis, I);
    if (Position < Line) return I;
  }
  return -1;
}

// The first cell to show so that Last is fully visible (as far back as the room allows).
int32_t AxisMaxFirst(const TGridAxisDrawInfo& Axis, int32_t Last) {
  const int32_t Room = Axis.GridExtent - Axis.FixedBoundary + Axis.EffectiveLineWidth;
  int32_t Used = CellSpan(Axis, Last);
  int32_t First = Last;
  for (int32_t I = Last - 1; I >= Axis.FixedCellCount; --I) {
    const int32_t Span = CellSpan(Axis, I);
    if (Used + Span > Room) break;
    Used += Span;
    First = I;
  }
  return std::max(First, Axis.FixedCellCount);
}

void Restrict(TGridCoord& Coord, int32_t MinX, int32_t MinY, int32_t MaxX, int32_t MaxY) {
  Coord.X = std::max(MinX, std::min(Coord.X, MaxX));
  Coord.Y = std::max(MinY, std::min(Coord.Y, MaxY));
}

}  // namespace

// ---- construction ------------------------------------------------------------------------------

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csClickEvents};
  SetBounds(0, 0, 320, 120);
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FTopLeft = {FFixedCols, FFixedRows};
  FCurrent = FTopLeft;
  FAnchor = FCurrent;
  FEditorMode = FOptions.Contains(goAlwaysShowEditor);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::BeforeDestruction() {
  // The editor is an owned component; it goes with the grid's other components.
  FInplaceEdit = nullptr;
  TCustomControl::BeforeDestruction();
}

// ---- shape -------------------------------------------------------------------------------------

void TCustomGrid::SetAxisExtent(std::vector<int32_t>& Extents, int32_t Count, int32_t Default) {
  if (Extents.empty()) return;
  Extents.resize(size_t(Count), Default);
}

void TCustomGrid::ChangeSize(int32_t NewColCount, int32_t NewRowCount) {
  const int32_t OldColCount = FColCount;
  const int32_t OldRowCount = FRowCount;
  if (NewColCount == OldColCount && NewRowCount == OldRowCount) return;
  FColCount = NewColCount;
  FRowCount = NewRowCount;
  SetAxisExtent(FColWidths, FColCount, FDefaultColWidth);
  SetAxisExtent(FRowHeights, FRowCount, FDefaultRowHeight);
  if (!FTabStops.empty()) FTabStops.resize(size_t(FColCount), true);
  // Positions past the new end move to the last cell; the cell no longer exists, so there is
  // nothing for SelectCell to refuse.
  Restrict(FCurrent, FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1);
  Restrict(FAnchor, FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1);
  Restrict(FTopLeft, FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1);
  if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
  InvalidateGrid();
  SizeChanged(OldColCount, OldRowCount);
  UpdateScrollRange();
  if (FEditorMode) UpdateEdit();
}

void TCustomGrid::SetColCount(int32_t Value) {
  if (Value == FColCount) return;
  if (Value < 1) Value = 1;
  if (Value <= FFixedCols) SetFixedCols(Value - 1);
  ChangeSize(Value, FRowCount);
}

void TCustomGrid::SetRowCount(int32_t Value) {
  if (Value == FRowCount) return;
  if (Value < 1) Value = 1;
  if (Value <= FFixedRows) SetFixedRows(Value - 1);
  ChangeSize(FColCount, Value);
}

void TCustomGrid::SetFixedCols(int32_t Value) {
  if (Value == FFixedCols) return;
  if (Value < 0) throw EInvalidGridOperation(IndexOutOfRange);
  if (Value >= FColCount) throw EInvalidGridOperation("Fixed column count must be less than column count");
  FFixedCols = Value;
  // The scrolling part starts anew on this axis; the other axis keeps its place.
  FTopLeft.X = FFixedCols;
  FCurrent.X = FFixedCols;
  FAnchor.X = FOptions.Contains(goRowSelect) ? FColCount - 1 : FCurrent.X;
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGrid::SetFixedRows(int32_t Value) {
  if (Value == FFixedRows) return;
  if (Value < 0) throw EInvalidGridOperation(IndexOutOfRange);
  if (Value >= FRowCount) throw EInvalidGridOperation("Fixed row count must be less than row count");
  FFixedRows = Value;
  FTopLeft.Y = FFixedRows;
  FCurrent.Y = FFixedRows;
  FAnchor.Y = FCurrent.Y;
  InvalidateGrid();
  UpdateScrollRange();
}

// ---- sizes -------------------------------------------------------------------------------------

void TCustomGrid::SetDefaultColWidth(int32_t Value) {
  FColWidths.clear();
  FDefaultColWidth = Value;
  ColWidthsChanged();
  InvalidateGrid();
}

void TCustomGrid::SetDefaultRowHeight(int32_t Value) {
  FRowHeights.clear();
  FDefaultRowHeight = Value;
  RowHeightsChanged();
  InvalidateGrid();
}

int32_t TCustomGrid::ColWidths(int32_t Index) const {
  if (Index < 0 || size_t(Index) >= FColWidths.size()) return FDefaultColWidth;
  return FColWidths[size_t(Index)];
}

void TCustomGrid::SetColWidths(int32_t Index, int32_t Value) {
  if (Index < 0 || Index >= FColCount) throw EInvalidGridOperation(IndexOutOfRange);
  if (FColWidths.empty()) {
    if (Value == FDefaultColWidth) return;
    FColWidths.assign(size_t(FColCount), FDefaultColWidth);
  }
  if (FColWidths[size_t(Index)] == Value) return;
  FColWidths[size_t(Index)] = Value;
  ColWidthsChanged();
  InvalidateGrid();
}

int32_t TCustomGrid::RowHeights(int32_t Index) const {
  if (Index < 0 || size_t(Index) >= FRowHeights.size()) return FDefaultRowHeight;
  return FRowHeights[size_t(Index)];
}

void TCustomGrid::SetRowHeights(int32_t Index, int32_t Value) {
  if (Index < 0 || Index >= FRowCount) throw EInvalidGridOperation(IndexOutOfRange);
  if (FRowHeights.empty()) {
    if (Value == FDefaultRowHeight) return;
    FRowHeights.assign(size_t(FRowCount), FDefaultRowHeight);
  }
  if (FRowHeights[size_t(Index)] == Value) return;
  FRowHeights[size_t(Index)] = Value;
  RowHeightsChanged();
  InvalidateGrid();
}

bool TCustomGrid::TabStops(int32_t Index) const {
  if (Index < 0 || size_t(Index) >= FTabStops.size()) return true;
  return FTabStops[size_t(Index)];
}

void TCustomGrid::SetTabStops(int32_t Index, bool Value) {
  if (Index < 0 || Index >= FColCount) throw EInvalidGridOperation(IndexOutOfRange);
  if (FTabStops.empty()) {
    if (Value) return;
    FTabStops.assign(size_t(FColCount), true);
  }
  FTabStops[size_t(Index)] = Value;
}

void TCustomGrid::SetGridLineWidth(int32_t Value) {
  if (Value < 0) Value = 0;
  if (Value == FGridLineWidth) return;
  FGridLineWidth = Value;
  UpdateScrollRange();
  InvalidateGrid();
  if (FEditorMode) UpdateEdit();
}

int32_t TCustomGrid::GridWidth() {
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  return DrawInfo.Horz.GridBoundary;
}

int32_t TCustomGrid::GridHeight() {
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  return DrawInfo.Vert.GridBoundary;
}

void TCustomGrid::ColWidthsChanged() {
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGrid::RowHeightsChanged() {
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGrid::SizeChanged(int32_t, int32_t) {}

void TCustomGrid::ColumnMoved(int32_t, int32_t) {}

void TCustomGrid::RowMoved(int32_t, int32_t) {}

void TCustomGrid::MoveColumn(int32_t FromIndex, int32_t ToIndex) {
  if (FromIndex == ToIndex) return;
  if (FromIndex < 0 || FromIndex >= FColCount || ToIndex < 0 || ToIndex >= FColCount)
    throw EInvalidGridOperation(IndexOutOfRange);
  if (!FColWidths.empty()) {
    const int32_t Width = FColWidths[size_t(FromIndex)];
    FColWidths.erase(FColWidths.begin() + FromIndex);
    FColWidths.insert(FColWidths.begin() + ToIndex, Width);
  }
  if (!FTabStops.empty()) {
    const bool Stop = FTabStops[size_t(FromIndex)];
    FTabStops.erase(FTabStops.begin() + FromIndex);
    FTabStops.insert(FTabStops.begin() + ToIndex, Stop);
  }
  ColumnMoved(FromIndex, ToIndex);
  if (FCurrent.X == FromIndex) FCurrent.X = ToIndex;
  InvalidateGrid();
}

void TCustomGrid::MoveRow(int32_t FromIndex, int32_t ToIndex) {
  if (FromIndex == ToIndex) return;
  if (FromIndex < 0 || FromIndex >= FRowCount || ToIndex < 0 || ToIndex >= FRowCount)
    throw EInvalidGridOperation(IndexOutOfRange);
  if (!FRowHeights.empty()) {
    const int32_t Height = FRowHeights[size_t(FromIndex)];
    FRowHeights.erase(FRowHeights.begin() + FromIndex);
    FRowHeights.insert(FRowHeights.begin() + ToIndex, Height);
  }
  RowMoved(FromIndex, ToIndex);
  if (FCurrent.Y == FromIndex) FCurrent.Y = ToIndex;
  InvalidateGrid();
}

// ---- draw information --------------------------------------------------------------------------

void TCustomGrid::CalcFixedInfo(TGridDrawInfo& DrawInfo) {
  auto Fixed = [](TGridAxisDrawInfo& Axis, int32_t LineWidth, int32_t FixedCount, int32_t First,
                  int32_t Count, std::function<int32_t(int32_t)> Extent) {
    Axis.EffectiveLineWidth = LineWidth;
    Axis.FixedCellCount = FixedCount;
    Axis.FirstGridCell = First;
    Axis.GridCellCount = Count;
    Axis.GetExtent = std::move(Extent);
    Axis.FixedBoundary = 0;
    for (int32_t I = 0; I < FixedCount; ++I) Axis.FixedBoundary += CellSpan(Axis, I);
  };
  const bool VertLines = FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine);
  const bool HorzLines = FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine);
  Fixed(DrawInfo.Horz, VertLines ? FGridLineWidth : 0, FFixedCols, FTopLeft.X, FColCount,
        [this](int32_t Index) { return ColWidths(Index); });
  Fixed(DrawInfo.Vert, HorzLines ? FGridLineWidth : 0, FFixedRows, FTopLeft.Y, FRowCount,
        [this](int32_t Index) { return RowHeights(Index); });
}

void TCustomGrid::CalcDrawInfoXY(TGridDrawInfo& DrawInfo, int32_t UseWidth, int32_t UseHeight) {
  CalcFixedInfo(DrawInfo);
  auto Scrolling = [](TGridAxisDrawInfo& Axis, int32_t Extent) {
    Axis.GridExtent = Extent;
    Axis.GridBoundary = Axis.FixedBoundary;
    Axis.FullVisBoundary = Axis.FixedBoundary;
    // The first scrolling cell counts as shown even when it does not fit: a page is never
    // empty, so paging and the visible counts always move by at least one cell.
    Axis.LastFullVisibleCell = Axis.FirstGridCell;
    for (int32_t I = Axis.FirstGridCell; I < Axis.GridCellCount; ++I) {
      Axis.GridBoundary += CellSpan(Axis, I);
      if (Axis.GridBoundary > Axis.GridExtent + Axis.EffectiveLineWidth) {
        Axis.GridBoundary = Axis.GridExtent;
        break;
      }
      Axis.LastFullVisibleCell = I;
      Axis.FullVisBoundary = Axis.GridBoundary;
    }
    if (Axis.GridBoundary > Axis.GridExtent) Axis.GridBoundary = Axis.GridExtent;
  };
  Scrolling(DrawInfo.Horz, UseWidth);
  Scrolling(DrawInfo.Vert, UseHeight);
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& DrawInfo) {
  CalcDrawInfoXY(DrawInfo, ClientWidth(), ClientHeight());
}

RECT TCustomGrid::CalcCellRect(const TGridDrawInfo& DrawInfo, int32_t ACol, int32_t ARow) const {
  RECT Result{0, 0, 0, 0};
  int32_t Left = 0, Right = 0, Top = 0, Bottom = 0;
  if (!AxisRange(DrawInfo.Horz, ACol, ACol, Left, Right)) return Result;
  if (!AxisRange(DrawInfo.Vert, ARow, ARow, Top, Bottom)) return Result;
  return RECT{Left, Top, Right, Bottom};
}

RECT TCustomGrid::CellRect(int32_t ACol, int32_t ARow) {
  return BoxRect(ACol, ARow, ACol, ARow);
}

RECT TCustomGrid::BoxRect(int32_t ALeft, int32_t ATop, int32_t ARight, int32_t ABottom) {
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  int32_t Left = 0, Right = 0, Top = 0, Bottom = 0;
  if (!AxisRange(DrawInfo.Horz, ALeft, ARight, Left, Right)) return RECT{0, 0, 0, 0};
  if (!AxisRange(DrawInfo.Vert, ATop, ABottom, Top, Bottom)) return RECT{0, 0, 0, 0};
  return RECT{Left, Top, Right, Bottom};
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) {
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  TGridCoord Result{AxisCellAt(DrawInfo.Horz, X), AxisCellAt(DrawInfo.Vert, Y)};
  if (Result.X < 0 || Result.Y < 0) return TGridCoord{-1, -1};
  return Result;
}

void TCustomGrid::MouseToCell(int X, int Y, int32_t& ACol, int32_t& ARow) {
  const TGridCoord Coord = MouseCoord(X, Y);
  ACol = Coord.X;
  ARow = Coord.Y;
}

int32_t TCustomGrid::VisibleColCount() {
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  return std::max(0, DrawInfo.Horz.LastFullVisibleCell - LeftCol() + 1);
}

int32_t TCustomGrid::VisibleRowCount() {
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  return std::max(0, DrawInfo.Vert.LastFullVisibleCell - TopRow() + 1);
}

// ---- current cell and selection ----------------------------------------------------------------

TGridRect TCustomGrid::Selection() const {
  return TGridRect{std::min(FCurrent.X, FAnchor.X), std::min(FCurrent.Y, FAnchor.Y),
                   std::max(FCurrent.X, FAnchor.X), std::max(FCurrent.Y, FAnchor.Y)};
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
  const TGridRect OldSelection = Selection();
  FAnchor = Value.TopLeft();
  FCurrent = Value.BottomRight();
  Restrict(FAnchor, FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1);
  Restrict(FCurrent, FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1);
  SelectionMoved(OldSelection);
}

void TCustomGrid::SelectionMoved(const TGridRect& OldSelection) {
  if (!HandleAllocated()) return;
  InvalidateRect(OldSelection);
  InvalidateRect(Selection());
}

void TCustomGrid::MoveAnchorTo(const TGridCoord& NewAnchor) {
  if (!FOptions.Contains(goRangeSelect)) {
    MoveCurrent(NewAnchor.X, NewAnchor.Y, true, true);
    return;
  }
  const TGridRect OldSelection = Selection();
  FAnchor = NewAnchor;
  if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
  ClampInView(NewAnchor);
  SelectionMoved(OldSelection);
}

void TCustomGrid::MoveCurrent(int32_t ACol, int32_t ARow, bool MoveAnchor, bool Show) {
  if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
    throw EInvalidGridOperation(IndexOutOfRange);
  if (!SelectCell(ACol, ARow)) return;
  const TGridRect OldSelection = Selection();
  const TGridCoord OldCurrent = FCurrent;
  FCurrent = {ACol, ARow};
  if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
  if (MoveAnchor || !FOptions.Contains(goRangeSelect)) {
    FAnchor = FCurrent;
    if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
  }
  if (FOptions.Contains(goRowSelect)) FCurrent.X = FFixedCols;
  if (Show) ClampInView(FCurrent);
  SelectionMoved(OldSelection);
  InvalidateCell(OldCurrent.X, OldCurrent.Y);
  InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::MoveColRow(int32_t ACol, int32_t ARow, bool MoveAnchor, bool Show) {
  MoveCurrent(ACol, ARow, MoveAnchor, Show);
}

void TCustomGrid::FocusCell(int32_t ACol, int32_t ARow, bool MoveAnchor) {
  MoveCurrent(ACol, ARow, MoveAnchor, true);
  UpdateEdit();
  Click();
}

void TCustomGrid::SetCol(int32_t Value) {
  if (Value != FCurrent.X) FocusCell(Value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int32_t Value) {
  if (Value != FCurrent.Y) FocusCell(FCurrent.X, Value, true);
}

bool TCustomGrid::SelectCell(int32_t, int32_t) {
  return true;
}

// ---- scrolling ---------------------------------------------------------------------------------

void TCustomGrid::SetLeftCol(int32_t Value) {
  Value = std::max(FFixedCols, std::min(Value, FColCount - 1));
  if (Value != FTopLeft.X) MoveTopLeft(Value, FTopLeft.Y);
}

void TCustomGrid::SetTopRow(int32_t Value) {
  Value = std::max(FFixedRows, std::min(Value, FRowCount - 1));
  if (Value != FTopLeft.Y) MoveTopLeft(FTopLeft.X, Value);
}

void TCustomGrid::MoveTopLeft(int32_t ALeft, int32_t ATop) {
  if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
  FTopLeft = {ALeft, ATop};
  UpdateScrollPos();
  InvalidateGrid();
  TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
  if (FEditorMode && FInplaceEdit) FInplaceEdit->UpdateLoc(CellRect(Col(), Row()));
}

TGridCoord TCustomGrid::CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfo& DrawInfo) const {
  return TGridCoord{AxisMaxFirst(DrawInfo.Horz, Coord.X), AxisMaxFirst(DrawInfo.Vert, Coord.Y)};
}

void TCustomGrid::ClampInView(const TGridCoord& Coord) {
  if (!HandleAllocated() && ClientWidth() <= 0) return;
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  TGridCoord NewTopLeft = FTopLeft;
  if (Coord.X >= FFixedCols) {
    if (Coord.X < FTopLeft.X)
      NewTopLeft.X = Coord.X;
    else if (Coord.X > DrawInfo.Horz.LastFullVisibleCell)
      NewTopLeft.X = AxisMaxFirst(DrawInfo.Horz, Coord.X);
  }
  if (Coord.Y >= FFixedRows) {
    if (Coord.Y < FTopLeft.Y)
      NewTopLeft.Y = Coord.Y;
    else if (Coord.Y > DrawInfo.Vert.LastFullVisibleCell)
      NewTopLeft.Y = AxisMaxFirst(DrawInfo.Vert, Coord.Y);
  }
  MoveTopLeft(NewTopLeft.X, NewTopLeft.Y);
}

void TCustomGrid::SetScrollInfoFor(int Bar, int32_t Min, int32_t Max, int32_t Page, int32_t Pos) {
  SCROLLINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  Info.nMin = Min;
  Info.nMax = Max;
  Info.nPage = UINT(Page);
  Info.nPos = Pos;
  ::SetScrollInfo(FHandle, Bar, &Info, TRUE);
}

int32_t TCustomGrid::ScrollBarPosition(bool Vertical) {
  return Vertical ? FTopLeft.Y - FFixedRows : FTopLeft.X - FFixedCols;
}

void TCustomGrid::UpdateScrollRange() {
  if (!HandleAllocated() || FUpdatingScrollRange) return;
  FUpdatingScrollRange = true;
  // Showing or hiding one bar changes the client area and so the other bar's range: settle.
  for (int Pass = 0; Pass < 3; ++Pass) {
    const int32_t OldWidth = ClientWidth();
    const int32_t OldHeight = ClientHeight();
    TGridDrawInfo DrawInfo;
    CalcDrawInfo(DrawInfo);
    const int32_t MaxLeft = AxisMaxFirst(DrawInfo.Horz, FColCount - 1);
    const int32_t MaxTop = AxisMaxFirst(DrawInfo.Vert, FRowCount - 1);
    // A grid that now shows everything scrolls back to its start.
    TGridCoord NewTopLeft{std::min(FTopLeft.X, MaxLeft), std::min(FTopLeft.Y, MaxTop)};
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
      SetScrollInfoFor(SB_HORZ, 0, MaxLeft - FFixedCols, 0, NewTopLeft.X - FFixedCols);
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
      SetScrollInfoFor(SB_VERT, 0, MaxTop - FFixedRows, 0, NewTopLeft.Y - FFixedRows);
    if (NewTopLeft.X != FTopLeft.X || NewTopLeft.Y != FTopLeft.Y) {
      FUpdatingScrollRange = false;
      MoveTopLeft(NewTopLeft.X, NewTopLeft.Y);
      FUpdatingScrollRange = true;
    }
    if (ClientWidth() == OldWidth && ClientHeight() == OldHeight) break;
  }
  FUpdatingScrollRange = false;
}

void TCustomGrid::UpdateScrollPos() {
  if (!HandleAllocated()) return;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
    ::SetScrollPos(FHandle, SB_HORZ, ScrollBarPosition(false), TRUE);
  if (FScrollBars == ssVertical || FScrollBars == ssBoth)
    ::SetScrollPos(FHandle, SB_VERT, ScrollBarPosition(true), TRUE);
}

void TCustomGrid::ModifyScrollBar(int Bar, UINT ScrollCode, int32_t Pos) {
  const bool Vertical = Bar == SB_VERT;
  // Using a scroll bar takes the focus, as clicking into the grid would.
  if (Visible() && TabStop() && CanFocus() && !ComponentState().Contains(csDesigning) && !Focused()) SetFocus();
  TGridDrawInfo DrawInfo;
  CalcDrawInfo(DrawInfo);
  const TGridAxisDrawInfo& Axis = Vertical ? DrawInfo.Vert : DrawInfo.Horz;
  const int32_t Fixed = Axis.FixedCellCount;
  const int32_t MaxFirst = AxisMaxFirst(Axis, Axis.GridCellCount - 1);
  const int32_t Page = std::max(1, Axis.LastFullVisibleCell - Axis.FirstGridCell);
  int32_t First = Axis.FirstGridCell;
  switch (ScrollCode) {
    case SB_LINEUP:
      --First;
      break;
    case SB_LINEDOWN:
      ++First;
      break;
    case SB_PAGEUP:
      First -= Page;
      break;
    case SB_PAGEDOWN:
      First += Page;
      break;
    case SB_THUMBTRACK:
      if (!FOptions.Contains(goThumbTracking)) {
        FTracking = true;
        return;
      }
      First = Fixed + Pos;
      break;
    case SB_THUMBPOSITION:
      FTracking = false;
      First = Fixed + Pos;
      break;
    case SB_TOP:
      First = Fixed;
      break;
    case SB_BOTTOM:
      First = MaxFirst;
      break;
    case SB_ENDSCROLL:
      FTracking = false;
      UpdateScrollPos();
      return;
    default:
      return;
  }
  First = std::max(Fixed, std::min(First, MaxFirst));
  if (Vertical)
    MoveTopLeft(FTopLeft.X, First);
  else
    MoveTopLeft(First, FTopLeft.Y);
  UpdateScrollPos();
}

// ---- invalidation ------------------------------------------------------------------------------

void TCustomGrid::InvalidateRect(const TGridRect& ARect) {
  if (!HandleAllocated()) return;
  const RECT R = BoxRect(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
  if (R.right <= R.left || R.bottom <= R.top) return;
  // The lines after the cells belong to them.
  RECT WithLines{R.left, R.top, R.right + FGridLineWidth, R.bottom + FGridLineWidth};
  ::InvalidateRect(FHandle, &WithLines, FALSE);
}

void TCustomGrid::InvalidateCell(int32_t ACol, int32_t ARow) {
  InvalidateRect(TGridRect{ACol, ARow, ACol, ARow});
}

void TCustomGrid::InvalidateCol(int32_t ACol) {
  InvalidateRect(TGridRect{ACol, 0, ACol, FRowCount - 1});
}

void TCustomGrid::InvalidateRow(int32_t ARow) {
  InvalidateRect(TGridRect{0, ARow, FColCount - 1, ARow});
}

void TCustomGrid::InvalidateGrid() {
  Invalidate();
}

// ---- options and appearance --------------------------------------------------------------------

void TCustomGrid::SetOptions(TGridOptions Value) {
  // A row-select grid never shows the editor.
  if (Value.Contains(goRowSelect)) Value.Exclude(goAlwaysShowEditor);
  if (Value == FOptions) return;
  const bool LinesChanged = FOptions.Contains(goVertLine) != Value.Contains(goVertLine) ||
                            FOptions.Contains(goHorzLine) != Value.Contains(goHorzLine) ||
                            FOptions.Contains(goFixedVertLine) != Value.Contains(goFixedVertLine) ||
                            FOptions.Contains(goFixedHorzLine) != Value.Contains(goFixedHorzLine);
  FOptions = Value;
  if (!FEditorMode) {
    if (FOptions.Contains(goAlwaysShowEditor)) ShowEditor();
  } else if (FOptions.Contains(goRowSelect) || !FOptions.Contains(goEditing)) {
    HideEditor();
  }
  if (FOptions.Contains(goRowSelect)) {
    FCurrent.X = FFixedCols;
    FAnchor.X = FColCount - 1;
  }
  if (LinesChanged) {
    UpdateScrollRange();
    if (FEditorMode) UpdateEdit();
  }
  InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
  if (Value == FScrollBars) return;
  FScrollBars = Value;
  RecreateWnd();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomGrid::SetFixedColor(TColor Value) {
  if (Value == FFixedColor) return;
  FFixedColor = Value;
  InvalidateGrid();
}

void TCustomGrid::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_TABSTOP;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FBorderStyle == bsSingle) {
    if (FCtl3D)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollRange();
  UpdateScrollPos();
}

bool TCustomGrid::IsActiveControl() {
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form->ActiveControl() == this) return true;
  const HWND Focus = ::GetFocus();
  return FHandle && Focus && (Focus == FHandle || ::IsChild(FHandle, Focus));
}
