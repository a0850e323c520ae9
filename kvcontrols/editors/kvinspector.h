#pragma once
// TkvDataInspector: the property inspector of the data-aware library. A grid with one caption
// column and one or more data columns whose rows are the displayed items of its item tree
// (kvinspectoritems.h). The program keeps its options in two of them and reads every option
// through the item interface; the grid adds the layout (row heights, column widths), a nested
// redraw lock for batches of item changes, scrolling, painting into an off-screen bitmap, and
// the placement of one editor over the value cell of the current row.
//
// The class is split over several files: kvinspector.cpp (construction, layout, writers, redraw
// lock, scrolling), kvinspectordata.cpp (the data links and the data-set reactions),
// kvinspectorpaint.cpp (painting), kvinspectoreditor.cpp (which editor a row uses, its
// placement and the in-place editor).

#include <cstdint>
#include <memory>
#include <string>

#include "kvcontrols/editors/kvinspectoritems.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/font.h"
#include "platform/forms/grids.h"

class TDataSource;
class TField;
class TkvDataInspectorEdit;
class TkvInspectorComboBox;
class TkvInspectorHintWindow;
class TkvDBComboBox;
class TkvDBCustomDateTimePicker;
class TkvDBDateTimePicker;
class TImageList;
class TTimer;

KORCAM_ENUM(TkvDataInspectorOption, ovColumnResize, ovRowResize, ovTabExits, ovEnterToTab, ovHighlightActiveRow,
            ovHideVertDataLines, ovCenterCaptionVert, ovTabToVisibleOnly, ovShowTreeLines, ovShowCaptionHints,
            ovShowCellHints, ovFillNonCellArea, ovActiveRecord3DLines, ovAllowInsert, ovHideCaptionColumn,
            ovHideVertFixedLines, ovUseOwnBackgroundColors)
using TkvDataInspectorOptions = TSet<TkvDataInspectorOption>;

KORCAM_ENUM(TkvDataInspectorLineStyle, ovNoLines, ovDottedLine, ovLight3DLine, ovDark3DLine, ovButtonLine)
KORCAM_ENUM(TkvInspectorTabSetFocusStyle, itsPreserveActiveItem, itsResetActiveItem)

using TkvInspectorNotifyEvent = TEvent<TkvDataInspector*>;
using TkvInspectorCalcCustomEditEvent = TEvent<TkvDataInspector*, TkvInspectorItem*, TWinControl*, bool&>;
using TkvInspectorDrawDataCellEvent = TEvent<TkvDataInspector*, TkvInspectorItem*, bool, RECT, bool&>;
using TkvInspectorDrawICellEvent = TEvent<TkvDataInspector*, int32_t, RECT, bool&>;
using TkvInspectorDrawCaptionEvent = TEvent<TkvDataInspector*, TkvInspectorItem*, bool, RECT, RECT&, bool&>;
using TkvInspectorBeforeSelectCellEvent = TEvent<TkvDataInspector*, TkvInspectorItem*, bool&>;
using TkvInspectorAfterSelectCellEvent = TEvent<TkvDataInspector*, TkvInspectorItem*>;
using TkvInspectorCanExpandEvent = TEvent<TkvDataInspector*, TkvInspectorItem*, bool&>;
using TkvInspectorCanCollapseEvent = TEvent<TkvDataInspector*, TkvInspectorItem*, bool&>;
using TkvInspectorExpandedEvent = TEvent<TkvDataInspector*, TkvInspectorItem*>;
using TkvInspectorCollapsedEvent = TEvent<TkvDataInspector*, TkvInspectorItem*>;
using TkvInspectorPaintTextEvent = TEvent<TkvDataInspector*, TkvInspectorItem*, std::string&>;
using TkvInspectorValidationError = TEvent<TkvDataInspector*, TkvInspectorItem*, std::string&, bool&>;
using TkvInspectorFieldChangedEvent = TEvent<TkvDataInspector*, TField*>;
// (Sender, HintWindow, AField, R, var WordWrap, var MaxWidth, var MaxHeight, var DoDefault).
using TkvCreateInspectorHintWindowEvent =
    TEvent<TObject*, TkvInspectorHintWindow*, TField*, RECT, bool&, int32_t&, int32_t&, bool&>;
using TkvInspectorCreateDTPEvent = TEvent<TkvDataInspector*, TkvDBCustomDateTimePicker*>;
using TkvInspectorCreateComboEvent = TEvent<TkvDataInspector*, TkvDBComboBox*>;

// Colours the cells are painted with, taken from the inspector's own properties.
struct TkvInspectorPaintColors {
  TColor FixedRowColor = clBtnFace;     // the indicator row
  TColor FixedColumnColor = clBtnFace;  // the caption column
  TColor AlternatingRowColor = clNone;  // odd rows, when set
  TColor ActiveRecordColor = clNone;    // the current data column, when set
  bool AlternateDataColumns = true;     // odd rows of the data columns other than the current one
  bool AlternateActiveDataColumn = true;
  bool AlternateFixedColumns = false;
};

class TkvDataInspector : public TCustomGrid {
  KORCAM_CLASS(TkvDataInspector, TCustomGrid)

 public:
  explicit TkvDataInspector(TComponent* AOwner);
  ~TkvDataInspector() override;
  void BeforeDestruction() override;

  // ---- published -----------------------------------------------------------------------------
  PUBLISH_PROPERTY(TCustomGrid, TBorderStyle, BorderStyle, bsSingle)
  PROPERTY(TColor, CaptionColor, clBtnFace)
  PLAIN_PROPERTY(TColor, TreeLineColor, clWhite)
  PROPERTY(int32_t, DataColumns, 1)
  OWNED_PROPERTY(TkvInspectorIndicatorRow, IndicatorRow)
  PLAIN_PROPERTY(bool, PictureMaskFromDataSet, false)
  ACCESSOR_PROPERTY(TDataSource*, DataSource, nullptr)
  OWNED_PROPERTY(TkvInspectorCollection, Items)
  PROPERTY(int32_t, DefaultRowHeight, 0)
  NODEFAULT_PROPERTY(int32_t, CaptionWidth, 100)
  NODEFAULT_PROPERTY(TkvDataInspectorOptions, Options, ovColumnResize, ovRowResize, ovEnterToTab,
                     ovHighlightActiveRow, ovCenterCaptionVert)
  OWNED_PROPERTY(TFont, CaptionFont)
  PROPERTY(TkvDataInspectorLineStyle, LineStyleCaption, ovDark3DLine)
  PROPERTY(TkvDataInspectorLineStyle, LineStyleData, ovDark3DLine)
  PROPERTY(TColor, DottedLineColor, clBtnShadow)
  OWNED_PROPERTY(TkvInspectorButtonOptions, ButtonOptions)
  PLAIN_PROPERTY(bool, ReadOnly, false)
  PROPERTY(int32_t, CaptionIndent, 12)
  PLAIN_PROPERTY(TkvInspectorTabSetFocusStyle, SetFocusTabStyle, itsPreserveActiveItem)
  PROPERTY(TScrollStyle, ScrollBars, ssVertical)

  EVENT(TkvInspectorCalcCustomEditEvent, OnCalcCustomEdit)
  EVENT(TkvInspectorDrawDataCellEvent, OnDrawDataCell)
  EVENT(TkvInspectorDrawICellEvent, OnDrawIndicatorCell)
  EVENT(TkvInspectorDrawCaptionEvent, OnDrawCaptionCell)
  EVENT(TkvInspectorNotifyEvent, OnBeforePaint)
  EVENT(TNotifyEvent, OnTopLeftChanged)
  EVENT(TkvInspectorBeforeSelectCellEvent, OnBeforeSelectCell)
  EVENT(TkvInspectorAfterSelectCellEvent, OnAfterSelectCell)
  EVENT(TkvInspectorCanExpandEvent, OnCanExpand)
  EVENT(TkvInspectorCanCollapseEvent, OnCanCollapse)
  EVENT(TkvInspectorExpandedEvent, OnExpanded)
  EVENT(TkvInspectorCollapsedEvent, OnCollapsed)
  EVENT(TkvInspectorItemChanged, OnItemChanged)
  EVENT(TkvInspectorPaintTextEvent, OnCalcDataPaintText)
  EVENT(TkvInspectorValidationError, OnValidationErrorUsingMask)
  EVENT(TkvCreateInspectorHintWindowEvent, OnCreateHintWindow)
  EVENT(TkvInspectorCreateDTPEvent, OnCreateDateTimePicker)
  EVENT(TkvInspectorCreateComboEvent, OnCreateDefaultCombo)

 public:
  // Not published: called by FieldChanged; nothing in the program assigns it.
  TkvInspectorFieldChangedEvent OnFieldChanged;
  // Not published: hears every picture-mask check of the in-place editor (Sender = the editor).
  TkvValidateEvent OnCheckValue;

  // ---- the item tree ---------------------------------------------------------------------------
  TkvInspectorItem* FirstItem(bool VisibleOnly) const { return FItems->FirstItem(VisibleOnly); }
  bool HasVisibleItems() const { return FItems->HasVisibleItems(); }
  void WalkItems(bool DisplayedOnly, void* Data, const TkvInspectorWalkProc& Callback);
  TkvInspectorItem* FindItemByTagString(const std::string& Key) const { return FItems->FindItemByTagString(Key); }
  TkvInspectorItem* FindItemByDataField(const std::string& FieldName) const;
  // The item of a grid row (nullptr for the indicator row, outside the items, or while the grid
  // has no current row).
  virtual TkvInspectorItem* ItemAtRow(int32_t ARow);
  // The row of an item; -1 when it is not displayed.
  virtual int32_t RowOfItem(const TkvInspectorItem* Item);
  int32_t CountDisplayedRows() const;
  void CellAtPoint(int X, int Y, int32_t& ACol, int32_t& ARow);
  TkvInspectorItem* ItemAtPoint(int X, int Y);
  TkvInspectorItem* GetActiveItem() { return ItemAtRow(Row()); }
  // Expands the item's ancestors and moves to its row.
  void SetActiveItem(TkvInspectorItem* Item);
  // The user's toggle of a check-box row: writes the other value and fires the change event.
  void ToggleCheckbox(TkvInspectorItem* Item);
  virtual void ItemChanged(TkvInspectorItem* Item, const std::string& NewValue);
  virtual void FieldChanged(TField* Field);
  bool IsAutoDateTimeItem(const TkvInspectorItem* Item) const;
  bool IsAutoLookupItem(const TkvInspectorItem* Item) const;

  // ---- layout ------------------------------------------------------------------------------
  // Recomputes rows and columns from the item tree (nothing while loading).
  void RebuildRows();
  // Sets RowCount from the displayed items when a recount was asked for.
  void RecountRows();
  void SetRowRecountNeeded() { FRowRecountNeeded = true; }
  bool RowRecountNeeded() const { return FRowRecountNeeded; }
  virtual void UpdateColumnWidths();
  virtual void UpdateItemRowHeight(TkvInspectorItem* Item);
  void SetBaseFixedRows(int32_t Count);
  int32_t BaseFixedRows() const { return FBaseFixedRows; }
  RECT GetEditorRect(int32_t ACol, int32_t ARow);
  // Repaints one row (ACol -1) or one cell of it, without erasing.
  void InvalidateRow(int32_t ARow, int32_t ACol = -1);
  // The grid's own default row height (the published DefaultRowHeight may be 0).
  int32_t DefaultRowHeightOfGrid() const { return TCustomGrid::DefaultRowHeight(); }
  int32_t NaturalRowHeight() const { return FNaturalRowHeight; }
  TGridOptions GridOptions() const { return TCustomGrid::Options(); }

  // ---- redraw lock ---------------------------------------------------------------------------
  // Nested: the first Lock switches redrawing off, the last Unlock switches it back on and
  // repaints once when any level asked for it. Locks while the control is not showing do nothing.
  void LockRedraw();
  void UnlockRedraw(bool Repaint);
  int RedrawLockCount() const { return FRedrawLockCount; }

  // ---- data --------------------------------------------------------------------------------
  TkvDataInspectorDataLink* DataLink() const { return FDataLink.get(); }
  virtual bool IsDataSetActive() const;
  virtual void UpdateScrollBar();
  virtual void RecordScrolled(int Distance);
  virtual void DataSetActiveChanged(bool Active);
  virtual void DataSetChanged();
  virtual void SyncColToRecord();
  void RecordChanged(TField* Field);
  void RefreshFieldRows(TField* Field);
  void PostEditorToField();
  bool OwnSourceChange() const { return FOwnSourceChange; }
  void SetOwnSourceChange(bool Value) { FOwnSourceChange = Value; }

  // ---- editing -------------------------------------------------------------------------------
  virtual bool UsesInplaceEdit();
  virtual bool IsCheckboxRow(int32_t ARow);
  TWinControl* GetActiveEditor();
  TWinControl* ActiveEditorControl() const { return FActiveEditor; }
  // Chooses, configures and places (hidden) the editor control of the active item.
  void ActivateItemEditor();
  virtual void AttachCustomControl(TWinControl* Control, TkvInspectorItem* Item);
  virtual void MoveToCell(int32_t ACol, int32_t ARow);
  void CommitEditor();
  virtual void DoCalcCustomEdit(TkvInspectorItem* Item, TWinControl* CustomEdit, bool& AllowCustomEdit);
  virtual void DoValidationError(TkvInspectorItem* Item);
  bool CanEditModify() override;
  // As CanEditModify, for the given item instead of the active one.
  bool CanEditModifyItem(TkvInspectorItem* Item);
  bool CanEditShow() override;
  std::string GetEditText(int32_t ACol, int32_t ARow) override;
  void SetEditText(int32_t ACol, int32_t ARow, const std::string& Value) override;
  std::string GetEditMask(int32_t ACol, int32_t ARow) override;
  bool Entered() const { return FEntered; }
  void SetEntered(bool Value) { FEntered = Value; }
  const std::string& LastEditText() const { return FLastEditText; }
  void SetLastEditText(const std::string& Value) { FLastEditText = Value; }
  // The combo shared by every pick-list row; nullptr until a pick-list row was first edited.
  TkvInspectorComboBox* ComboBox() const { return FComboBox; }
  bool FocusReset() const { return FFocusReset; }
  TkvDataInspectorEdit* InspectorEdit() const;
  // The date/time picker shared by the bound date and time rows, made (and announced through
  // OnCreateDateTimePicker) on first use.
  TkvDBDateTimePicker* GetDateTimePicker();
  TkvDBDateTimePicker* DateTimePicker() const { return FDateTimePicker; }
  virtual void DoCreateDefaultCombo(TkvDBComboBox* Combo);
  virtual void DoCreateDateTimePicker(TkvDBCustomDateTimePicker* Picker);

  // ---- keyboard, mouse and focus (kvinspectorinput.cpp) --------------------------------------
  // The thread keyboard hook shared by every inspector: it takes the navigation keys away from an
  // editor control placed in an inspector and posts them to the inspector. It is installed while
  // at least one inspector is entered, and acts only while the keyboard focus really lies in an
  // inspector (or the editor it hosts).
  static LRESULT InspectorKeyboardHook(int Code, WPARAM Key, LPARAM KeyFlags);
  static bool KeyboardHookInstalled();
  // The screen's active control or its first ancestor that is an inspector; nullptr when none.
  static TkvDataInspector* FindFocusedInspector();
  // The user's collapse and expand: OnCanCollapse (OnCanExpand) may refuse; OnCollapsed
  // (OnExpanded) follows unless the inspector is loading.
  virtual void CollapseItem(TkvInspectorItem* Item);
  virtual void ExpandItem(TkvInspectorItem* Item);
  // Takes the focus when it can; False when the focus did not arrive (a handler refused it).
  virtual bool TrySetFocus();
  bool IsFocusedOrChildFocused();
  // Gives the visible editor control of the current row the focus.
  void FocusEditorControl();
  // F2 toggles it while the focus is in the inspector: the arrow and page keys then stay in the
  // editor control. Every change of the current cell clears it.
  bool EditMode() const { return FEditMode; }
  // The inspector's own key handling (the grid's is not used); the hook posts keys here.
  void KeyDown(WORD& Key, TShiftState Shift) override;

  // ---- cell hints (kvinspectorhint.cpp) ----------------------------------------------------
  // The mouse-move entry: shows the whole text of the caption or value cell under the client
  // point when it is clipped (ovShowCaptionHints, ovShowCellHints). The mouse handling calls it
  // after its own work on every move; a move within the hinted cell changes nothing.
  virtual void ShowCellHint(TShiftState Shift, int X, int Y);
  virtual TkvInspectorHintWindow* CreateHintWindow();
  virtual void DoCreateHintWindow(TkvInspectorHintWindow* HintWindow, TField* Field, const RECT& R, bool& WordWrap,
                                  int32_t& MaxWidth, int32_t& MaxHeight, bool& DoDefault);
  // Takes the hint away (scrolling, another cell, a click, the timer).
  virtual void CancelHint();
  void HintTimerTick(TObject* Sender);
  TkvInspectorHintWindow* HintWindow() const { return FHintWindow; }
  TTimer* HintTimer() const { return FHintTimer; }
  // True while the hint window is being freed.
  bool HintCancelling() const { return FHintCancelling; }
  // The indicator glyphs: 0 browse, 1 edit, 2 insert.
  TImageList* IndicatorImages() const { return FIndicatorImages.get(); }

  // ---- painting ------------------------------------------------------------------------------
  virtual TCanvas* GetPaintCanvas();
  void PaintControlImage(TWinControl* Control, const RECT& Rect, TkvInspectorItem* Item);
  virtual void GetTreeButtonCenter(const RECT& Rect, TkvInspectorItem* Item, POINT& Point);
  virtual void GetCheckboxRect(const RECT& CellRect, RECT& Rect);
  const TkvInspectorPaintColors& PaintColors() const { return FPaintColors; }
  TkvInspectorPaintColors& PaintColors() { return FPaintColors; }
  TBitmap* PaintBitmap() const { return FPaintBitmap.get(); }

  // ---- the rest ------------------------------------------------------------------------------
  virtual void SetAttachedWindow(TObject* Window);
  TObject* AttachedWindow() const { return FAttachedWindow.get(); }
  // An item caption changed while a window is attached: it shows the captions too.
  void AttachedWindowChanged();
  // The indicator row's colour changed: the fixed-row colour follows and the row repaints.
  void IndicatorColorChanged();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;

 protected:
  // Painting (kvinspectorpaint.cpp).
  void Paint() override;
  void DrawCell(int32_t ACol, int32_t ARow, const RECT& ARect, TGridDrawState AState) override;
  void DrawAllCells(const TGridDrawInfo& DrawInfo);
  virtual void DrawIndicatorCell(int32_t ACol, const RECT& Rect);
  virtual void PaintCaptionBackground(const RECT& Rect, int32_t ARow);
  virtual void PaintAlternatingBackground(const RECT& Rect);
  virtual void DrawTreeLines(TkvInspectorItem* Item);
  virtual void DoDrawDataCell(TkvInspectorItem* Item, bool ASelected, const RECT& ACellRect, bool& DefaultDrawing);
  virtual void DoDrawCaptionCell(TkvInspectorItem* Item, bool ASelected, const RECT& ACellRect, RECT& ACaptionRect,
                                 bool& DefaultTextDrawing);
  virtual void DoCalcDataPaintText(TkvInspectorItem* Item, std::string& PaintText);

  // Grid hooks.
  bool SelectCell(int32_t ACol, int32_t ARow) override;
  void TopLeftChanged() override;
  void RowHeightsChanged() override;
  TInplaceEdit* CreateEditor() override;
  virtual TkvInspectorComboBox* CreateComboBox();
  virtual TkvDBDateTimePicker* CreateDateTimePicker();
  bool DoMouseWheelDown(TShiftState Shift, POINT MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, POINT MousePos) override;

  // Message handlers.
  void WMSize(TMessage& Message);
  void WMVScroll(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMPaint(TMessage& Message);
  void CMGetDataLink(TMessage& Message);
  void WMSetFocus(TMessage& Message);

  // Mouse and focus (kvinspectorinput.cpp).
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CalcSizingState(int X, int Y, TGridState& State, int32_t& Index, int32_t& SizingPos, int32_t& SizingOfs,
                       TGridDrawInfo& FixedInfo) override;
  // The dotted XOR line of a border drag (drawing it again erases it).
  void DrawSizingLine();
  void DoExit() override;
  void Click() override;
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void WMChar(TMessage& Message);

 private:
  friend class TkvDataInspectorDataLink;
  friend class TkvInspectorFieldDataLink;
  friend class TkvDataInspectorEdit;
  friend class TkvInspectorComboBox;

  void CaptionFontChanged(TObject* Sender);
  // The shared combo, made on first use and filled from the item's pick list.
  TkvInspectorComboBox* PreparedComboBox(TkvInspectorItem* Item);
  void ApplyGridOptions(TkvDataInspectorOptions Value);
  void PaintRowLines(int32_t ARow, int32_t Y);
  void PaintVerticalLines();
  void PaintFrames();
  void DrawTreeButton(TkvInspectorItem* Item, const RECT& Rect);
  void CopyToScreen();
  // The grid row under the point of a click on a record's column, remembered by the mouse
  // handling; -1 when none.
  int32_t RememberedClickRow() const { return FClickRow; }
  void HideActiveEditor();
  void ShowInplaceEditorReset();
  // The keyboard hook's bookkeeping: an inspector counts from its entry to its exit or end.
  void RegisterEntered();
  void UnregisterEntered();
  // The caption width a column drag gives at the current sizing position.
  int32_t DraggedCaptionWidth();

  std::unique_ptr<TkvDataInspectorDataLink> FDataLink;
  std::unique_ptr<TBitmap> FPaintBitmap;
  std::unique_ptr<TObject> FAttachedWindow;
  TkvInspectorPaintColors FPaintColors;

  int FRedrawLockCount = 0;
  bool FRedrawPending = false;
  int32_t FNaturalRowHeight = 0;
  int32_t FLastGridRowHeight = 0;
  int32_t FBaseFixedRows = 0;
  bool FRowRecountNeeded = false;
  bool FOwnSourceChange = false;
  bool FEntered = false;
  bool FThumbTracking = false;
  bool FBitmapPainting = false;
  bool FDesigning = false;
  bool FFocusReset = false;
  bool FEditorHide = false;
  bool FEditMode = false;
  bool FClickPending = false;
  int32_t FClickRow = -1;
  RECT FLaidOutSize{0, 0, 0, 0};
  RECT FUpdateRect{0, 0, 0, 0};
  bool FHasUpdateRect = false;
  TColor FPaintCopyTextColor = clNone;
  TkvInspectorItem* FLastPaintedActive = nullptr;
  bool FPaintedOnce = false;

  // The editor placed over the value cell and the cell it was placed for.
  TWinControl* FActiveEditor = nullptr;
  int32_t FEditorCol = -1;
  int32_t FEditorRow = -1;
  std::string FLastEditText;
  TkvInspectorComboBox* FComboBox = nullptr;  // owned as a component
  TkvDBDateTimePicker* FDateTimePicker = nullptr;  // owned as a component
  std::unique_ptr<TImageList> FIndicatorImages;

  // The cell hint: window and timer are owned as components while they exist; the hint cell is
  // -1, -1 when no cell is hinted.
  TkvInspectorHintWindow* FHintWindow = nullptr;
  TTimer* FHintTimer = nullptr;
  int32_t FHintCol = -1;
  int32_t FHintRow = -1;
  int FHintTicks = 0;
  bool FHintCancelling = false;
};
