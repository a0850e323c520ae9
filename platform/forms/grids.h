#pragma once
// TCustomGrid: the class library's grid base, and TInplaceEdit, the text editor it places over
// the current cell.
//
// A grid is ColCount x RowCount cells. The first FixedCols columns and FixedRows rows are fixed:
// they never scroll. The others scroll: TopRow and LeftCol name the first scrolling row and
// column shown after the fixed ones. Every cell has the width of its column (ColWidths, or
// DefaultColWidth) and the height of its row (RowHeights, or DefaultRowHeight); grid lines of
// GridLineWidth pixels follow every cell to its right and bottom when the options ask for lines.
// A width or height of -1 hides the column or row (it takes no room, lines included).
//
// The current cell (Col, Row) is always a scrolling cell. Every change of it asks SelectCell
// first, which may refuse; the top row then moves so that the new cell is fully visible, and
// TopLeftChanged tells descendants that the scrolling origin moved.
//
// What descendants override and when the base calls it:
// - Paint: on WM_PAINT with Canvas bound to the paint DC. The default draws the fixed and
//   scrolling cells (DrawCell for each cell that meets the update rectangle) and the lines.
// - DrawCell(ACol, ARow, Rect, State): from the default Paint, once per visible cell.
// - SelectCell(ACol, ARow): before every change of the current cell; false keeps the old one.
// - TopLeftChanged: after TopRow or LeftCol changed (by code, keys, the scroll bars or a move).
// - ColWidthsChanged / RowHeightsChanged: after a width or height changed (by code or a drag);
//   the defaults update the scroll bars and the editor's place.
// - SizeChanged(OldColCount, OldRowCount): after ColCount or RowCount changed.
// - ColumnMoved / RowMoved(FromIndex, ToIndex): after a drag moved a column or row.
// - CalcSizingState(X, Y, ...): on a mouse press (and for the cursor), whether the point is on a
//   column or row border that may be dragged; MouseDown starts the drag when it answers so.
// - CreateEditor: the first time the editor is shown; the grid owns what it returns.
// - CanEditShow: gates ShowEditor (editing allowed, not a row-select grid, ...).
// - CanEditModify: asked by the editor before any change of its text; false refuses it.
// - CanEditAcceptKey(Key): asked by the editor for every typed character.
// - GetEditText / GetEditMask / GetEditLimit: pulled by the editor when it is placed on a cell.
// - SetEditText: pushed by the editor on every change of its text.
// - KeyDown / KeyPress / MouseDown / MouseMove / MouseUp / DoMouseWheelDown / DoMouseWheelUp:
//   the base's navigation; a descendant may replace it entirely.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/customcontrol.h"
#include "platform/forms/maskedit.h"

class TInplaceEdit;

// Misuse of a grid: fixed counts that leave no scrolling cell, an index out of range.
KORCAM_EXCEPTION(EInvalidGridOperation, Exception);

// The class library's order: the set's bits are read as a number (0x2C80 is ColSizing, Editing,
// Tabs and AlwaysShowEditor).
KORCAM_ENUM(TGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
            goDrawFocusSelected, goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs,
            goRowSelect, goAlwaysShowEditor, goThumbTracking)
using TGridOptions = TSet<TGridOption>;

KORCAM_ENUM(TGridState, gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving)

KORCAM_ENUM(TGridDrawStateItem, gdSelected, gdFocused, gdFixed)
using TGridDrawState = TSet<TGridDrawStateItem>;

KORCAM_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

struct TGridCoord {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// A block of cells, both corners included.
struct TGridRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  TGridCoord TopLeft() const { return {Left, Top}; }
  TGridCoord BottomRight() const { return {Right, Bottom}; }
  friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

// The geometry of one axis as the grid shows it now. Boundaries are client pixels along the axis.
struct TGridAxisDrawInfo {
  int32_t EffectiveLineWidth = 0;  // the line after every cell (0 without lines)
  int32_t FixedBoundary = 0;       // where the fixed cells end (their last line included)
  int32_t GridBoundary = 0;        // where the shown cells end, at most the client extent
  int32_t GridExtent = 0;          // the client extent (width or height)
  int32_t LastFullVisibleCell = 0;  // the last scrolling cell shown whole (FirstGridCell - 1: none)
  int32_t FullVisBoundary = 0;     // where that cell (with its line) ends
  int32_t FixedCellCount = 0;      // FixedCols or FixedRows
  int32_t FirstGridCell = 0;       // LeftCol or TopRow
  int32_t GridCellCount = 0;       // ColCount or RowCount
  // The extent of cell Index (-1 for a hidden cell).
  std::function<int32_t(int32_t Index)> GetExtent;
};

struct TGridDrawInfo {
  TGridAxisDrawInfo Horz;
  TGridAxisDrawInfo Vert;
};

class TCustomGrid : public TCustomControl {
  KORCAM_CLASS(TCustomGrid, TCustomControl)

 public:
  explicit TCustomGrid(TComponent* AOwner);
  ~TCustomGrid() override;
  void BeforeDestruction() override;

  // ---- shape -------------------------------------------------------------------------------
  int32_t ColCount() const { return FColCount; }
  void SetColCount(int32_t Value);
  int32_t RowCount() const { return FRowCount; }
  void SetRowCount(int32_t Value);
  // Raise EInvalidGridOperation "Fixed column count must be less than column count" (rows
  // alike) when no scrolling column (row) would remain.
  int32_t FixedCols() const { return FFixedCols; }
  void SetFixedCols(int32_t Value);
  int32_t FixedRows() const { return FFixedRows; }
  void SetFixedRows(int32_t Value);

  // ---- sizes -------------------------------------------------------------------------------
  int32_t DefaultColWidth() const { return FDefaultColWidth; }
  // Also forgets every column's own width.
  void SetDefaultColWidth(int32_t Value);
  int32_t DefaultRowHeight() const { return FDefaultRowHeight; }
  // Also forgets every row's own height.
  void SetDefaultRowHeight(int32_t Value);
  // Out-of-range indexes read the default and are not written.
  int32_t ColWidths(int32_t Index) const;
  void SetColWidths(int32_t Index, int32_t Value);
  int32_t RowHeights(int32_t Index) const;
  void SetRowHeights(int32_t Index, int32_t Value);
  // Whether Tab stops at a column (all do by default).
  bool TabStops(int32_t Index) const;
  void SetTabStops(int32_t Index, bool Value);
  int32_t GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int32_t Value);
  // The pixel extent of all cells and lines, limited to the client area.
  int32_t GridWidth();
  int32_t GridHeight();

  // ---- current cell and scrolling ------------------------------------------------------------
  int32_t Col() const { return FCurrent.X; }
  void SetCol(int32_t Value);
  int32_t Row() const { return FCurrent.Y; }
  void SetRow(int32_t Value);
  int32_t LeftCol() const { return FTopLeft.X; }
  void SetLeftCol(int32_t Value);
  int32_t TopRow() const { return FTopLeft.Y; }
  void SetTopRow(int32_t Value);
  // The number of scrolling columns (rows) shown whole, at least 1 when there is any.
  int32_t VisibleColCount();
  int32_t VisibleRowCount();
  TGridRect Selection() const;
  void SetSelection(const TGridRect& Value);

  // ---- options and appearance ----------------------------------------------------------------
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
  // Whether column widths and row heights are kept when the grid is streamed.
  bool SaveCellExtents() const { return FSaveCellExtents; }
  void SetSaveCellExtents(bool Value) { FSaveCellExtents = Value; }

  // ---- geometry ------------------------------------------------------------------------------
  // The cell's rectangle in client coordinates, clipped to the shown part; empty when the cell
  // is not shown at all.
  RECT CellRect(int32_t ACol, int32_t ARow);
  // The rectangle covering the shown cells of a block.
  RECT BoxRect(int32_t ALeft, int32_t ATop, int32_t ARight, int32_t ABottom);
  // The cell under a client point; (-1, -1) when either axis has no cell there.
  TGridCoord MouseCoord(int X, int Y);
  void MouseToCell(int X, int Y, int32_t& ACol, int32_t& ARow);

  // ---- the editor ----------------------------------------------------------------------------
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }

  // ---- drawing -------------------------------------------------------------------------------
  void CalcDrawInfo(TGridDrawInfo& DrawInfo);
  // The draw information with only the fixed cells shown (the sizing test uses it).
  void CalcFixedInfo(TGridDrawInfo& DrawInfo);
  // As CalcDrawInfo for a client area of UseWidth x UseHeight.
  void CalcDrawInfoXY(TGridDrawInfo& DrawInfo, int32_t UseWidth, int32_t UseHeight);

  void Dispatch(TMessage& Message) override;

  // ---- services of the grid for descendants and hosted editors ------------------------------
  // Moves the current cell (SelectCell decides). MoveAnchor: the selection collapses onto the
  // cell; Show: scroll so that the cell is fully visible.
  void MoveColRow(int32_t ACol, int32_t ARow, bool MoveAnchor, bool Show);
  void FocusCell(int32_t ACol, int32_t ARow, bool MoveAnchor);
  void InvalidateCell(int32_t ACol, int32_t ARow);
  void InvalidateCol(int32_t ACol);
  void InvalidateRow(int32_t ARow);
  void InvalidateGrid();
  void InvalidateEditor();
  void ShowEditor();
  void HideEditor();
  // Shows the editor with Ch typed into it (a character typed on the grid starts editing).
  void ShowEditorChar(char32_t Ch);
  void MoveColumn(int32_t FromIndex, int32_t ToIndex);
  void MoveRow(int32_t FromIndex, int32_t ToIndex);

  // The editing hooks, public so that the in-place editor (and hosted editors) can call them.
  virtual bool CanEditAcceptKey(char32_t Key);
  virtual bool CanEditModify();
  virtual bool CanEditShow();
  virtual std::string GetEditText(int32_t ACol, int32_t ARow);
  virtual void SetEditText(int32_t ACol, int32_t ARow, const std::string& Value);
  virtual std::string GetEditMask(int32_t ACol, int32_t ARow);
  virtual int32_t GetEditLimit();

  // Handed the keys the in-place editor passes on (and KeyPress for characters).
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;

 protected:
  friend class TInplaceEdit;

  // ---- extension points (see the top of this file) --------------------------------------------
  virtual void DrawCell(int32_t ACol, int32_t ARow, const RECT& ARect, TGridDrawState AState);
  virtual bool SelectCell(int32_t ACol, int32_t ARow);
  virtual void TopLeftChanged();
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  virtual void SizeChanged(int32_t OldColCount, int32_t OldRowCount);
  virtual void ColumnMoved(int32_t FromIndex, int32_t ToIndex);
  virtual void RowMoved(int32_t FromIndex, int32_t ToIndex);
  virtual void CalcSizingState(int X, int Y, TGridState& State, int32_t& Index, int32_t& SizingPos,
                               int32_t& SizingOfs, TGridDrawInfo& FixedInfo);
  virtual TInplaceEdit* CreateEditor();
  // Whether a key (arrows, Home, End, PageUp, PageDown, Tab...) may move the current cell.
  virtual bool CanGridAcceptKey(WORD Key, TShiftState Shift);
  // The vertical (and horizontal) scroll bar's range and position follow the grid.
  virtual void UpdateScrollRange();
  virtual void UpdateScrollPos();

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheelDown(TShiftState Shift, POINT MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, POINT MousePos) override;
  void DoExit() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // ---- message handlers --------------------------------------------------------------------------
  void WMSize(TMessage& Message);
  void WMVScroll(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMChar(TMessage& Message);
  void WMLButtonDown(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  // While the mouse selects past the grid's edge, every tick scrolls one cell towards it.
  void WMTimer(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMCancelMode(TMessage& Message);
  void CMWantSpecialKey(TMessage& Message);

  // ---- helpers for descendants --------------------------------------------------------------------
  // Scrolls one axis as a scroll-bar code asks (SB_LINEUP ... SB_ENDSCROLL; Pos for the thumb).
  void ModifyScrollBar(int Bar, UINT ScrollCode, int32_t Pos);
  // Moves the scrolling origin; fires TopLeftChanged once when it moved.
  void MoveTopLeft(int32_t ALeft, int32_t ATop);
  // Moves TopRow / LeftCol so that the cell is fully visible.
  void ClampInView(const TGridCoord& Coord);
  // The furthest LeftCol / TopRow from which Coord is still fully visible.
  TGridCoord CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfo& DrawInfo) const;
  // Places the editor on the current cell when it may show (creating it the first time).
  void UpdateEdit();
  // Pushes the editor's text to SetEditText for the cell it was placed on.
  void UpdateText();
  // Whether the grid's form has it (or its editor) as the active control.
  bool IsActiveControl();
  // The XOR line a border drag shows while the mouse moves.
  void DrawSizingLine(const TGridDrawInfo& DrawInfo);
  // The cell rectangle in the given draw information (empty when not shown).
  RECT CalcCellRect(const TGridDrawInfo& DrawInfo, int32_t ACol, int32_t ARow) const;
  void InvalidateRect(const TGridRect& ARect);
  // True when X, Y lies on a border the options let the user drag.
  bool Sizing(int X, int Y);

  // ---- state (descendants read and set these, as the class library's fields) --------------------
  TGridState FGridState = gsNormal;
  int32_t FSizingIndex = 0;
  int32_t FSizingPos = 0;
  int32_t FSizingOfs = 0;
  int32_t FMoveIndex = 0;
  int32_t FMovePos = 0;
  TGridCoord FCurrent{0, 0};
  TGridCoord FAnchor{0, 0};
  TGridCoord FTopLeft{0, 0};
  TInplaceEdit* FInplaceEdit = nullptr;
  int32_t FInplaceCol = -1;
  int32_t FInplaceRow = -1;
  bool FEditorMode = false;
  bool FCanEditModify = false;

  int32_t FColCount = 5;
  int32_t FRowCount = 5;
  int32_t FFixedCols = 1;
  int32_t FFixedRows = 1;
  int32_t FDefaultColWidth = 64;
  int32_t FDefaultRowHeight = 24;
  int32_t FGridLineWidth = 1;
  TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TScrollStyle FScrollBars = ssBoth;
  TBorderStyle FBorderStyle = bsSingle;
  TColor FFixedColor = clBtnFace;
  bool FDefaultDrawing = true;
  bool FSaveCellExtents = true;
  // Set while the thumb is dragged without goThumbTracking: the grid moves on release.
  bool FTracking = false;
  bool FUpdatingScrollRange = false;

 private:
  void ChangeSize(int32_t NewColCount, int32_t NewRowCount);
  void MoveCurrent(int32_t ACol, int32_t ARow, bool MoveAnchor, bool Show);
  void MoveAnchorTo(const TGridCoord& NewAnchor);
  void SetAxisExtent(std::vector<int32_t>& Extents, int32_t Count, int32_t Default);
  void DrawLines(const TGridDrawInfo& DrawInfo, const RECT& Clip);
  void DrawCells(const TGridDrawInfo& DrawInfo, int32_t ACol, int32_t ARow, int StartX, int StartY,
                 int StopX, int StopY, TColor Color, TGridDrawState IncludeDrawState, const RECT& Clip);
  int32_t ScrollBarPosition(bool Vertical);
  void SetScrollInfoFor(int Bar, int32_t Min, int32_t Max, int32_t Page, int32_t Pos);
  void SelectionMoved(const TGridRect& OldSel);
  void HideEdit();
  void UpdateEditor();
  bool SizingCursorAt(POINT ClientPoint);
  void StopSelecting();

  std::vector<int32_t> FColWidths;   // empty: every column has the default width
  std::vector<int32_t> FRowHeights;  // empty: every row has the default height
  std::vector<bool> FTabStops;       // empty: every column is a tab stop
  // Where the sizing line was last drawn (XOR: drawing it again erases it).
  bool FSizingLineShown = false;
};

// The events of the published grid: draw a cell; may a cell become current (CanSelect); the
// editor's text for a cell, and the text it gives back.
using TDrawCellEvent = TEvent<TObject*, int32_t, int32_t, RECT, TGridDrawState>;
using TSelectCellEvent = TEvent<TObject*, int32_t, int32_t, bool&>;
using TGetEditEvent = TEvent<TObject*, int32_t, int32_t, std::string&>;
using TSetEditEvent = TEvent<TObject*, int32_t, int32_t, const std::string&>;

// The class library's grid with owner drawing, published for forms.
class TDrawGrid : public TCustomGrid {
  KORCAM_CLASS(TDrawGrid, TCustomGrid)

 public:
  explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

  PUBLISH_PROPERTY(TCustomGrid, int32_t, ColCount, 5)
  PUBLISH_PROPERTY(TCustomGrid, int32_t, RowCount, 5)
  PUBLISH_PROPERTY(TCustomGrid, int32_t, FixedCols, 1)
  PUBLISH_PROPERTY(TCustomGrid, int32_t, FixedRows, 1)
  PUBLISH_PROPERTY(TCustomGrid, int32_t, DefaultColWidth, 64)
  PUBLISH_PROPERTY(TCustomGrid, int32_t, DefaultRowHeight, 24)
  PUBLISH_PROPERTY(TCustomGrid, int32_t, GridLineWidth, 1)
  PUBLISH_PROPERTY(TCustomGrid, TGridOptions, Options, goFixedVertLine, goFixedHorzLine, goVertLine,
                   goHorzLine, goRangeSelect)
  PUBLISH_PROPERTY(TCustomGrid, TScrollStyle, ScrollBars, ssBoth)
  PUBLISH_PROPERTY(TCustomGrid, TBorderStyle, BorderStyle, bsSingle)
  PUBLISH_PROPERTY(TCustomGrid, TColor, FixedColor, clBtnFace)
  PUBLISH_PROPERTY(TCustomGrid, bool, DefaultDrawing, true)

  EVENT(TDrawCellEvent, OnDrawCell)
  EVENT(TSelectCellEvent, OnSelectCell)
  EVENT(TGetEditEvent, OnGetEditText)
  EVENT(TSetEditEvent, OnSetEditText)
  EVENT(TNotifyEvent, OnTopLeftChanged)

 public:
  // The cell at a client point, as MouseToCell.
  TGridCoord CellAt(int X, int Y) { return MouseCoord(X, Y); }
  std::string GetEditText(int32_t ACol, int32_t ARow) override;
  void SetEditText(int32_t ACol, int32_t ARow, const std::string& Value) override;

 protected:
  void DrawCell(int32_t ACol, int32_t ARow, const RECT& ARect, TGridDrawState AState) override;
  bool SelectCell(int32_t ACol, int32_t ARow) override;
  void TopLeftChanged() override;
};

// The grid's in-place text editor: owned by the grid, placed over the current cell, takes its
// text, mask and limit from the grid when placed and pushes every change of its text back.
// Keys that move between cells (arrows at the text's ends, Up, Down, PageUp, PageDown, Tab,
// Enter, Escape) go to the grid.
class TInplaceEdit : public TCustomMaskEdit {
  KORCAM_CLASS(TInplaceEdit, TCustomMaskEdit)

 public:
  explicit TInplaceEdit(TComponent* AOwner);
  ~TInplaceEdit() override;

  TCustomGrid* Grid() const { return FGrid; }
  // The grid whose cells the editor edits; the grid also makes itself the editor's parent.
  void SetGrid(TCustomGrid* Value);

  // Selection helpers (the caret goes to the end).
  void Deselect();
  void Hide();
  // Places the editor on a client rectangle of the grid and shows it.
  void Move(const RECT& Loc);
  bool PosEqual(const RECT& Rect) const;
  void SetFocus() override;
  // Moves to Loc and takes the focus when the grid has it.
  void UpdateLoc(const RECT& Loc);

  void Dispatch(TMessage& Message) override;
  // Pulls text, mask and limit for the grid's current cell; no push back while it runs.
  virtual void UpdateContents();
  // Whether the text may be changed now: the grid's CanEditModify.
  bool EditCanModify() override;

 protected:
  // The editor moved or resized: descendants adjust their formatting rectangle.
  virtual void BoundsChanged();
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) override;
  void Change() override;

  TCustomGrid* FGrid = nullptr;
  // Set while UpdateContents fills the editor from the grid.
  bool FUpdating = false;

 private:
  void SendToGrid(WORD& Key, TShiftState Shift);
  bool CaretAtStart() const;
  bool CaretAtEnd() const;
};
