#pragma once
// TvcCustomTreeView and TvcTreeView: a windowed control over the common controls' tree-view
// window ("SysTreeView32", platform/forms/treeviewwindow.h). It keeps its nodes in Items
// (vctreenode.h), draws every item itself through custom draw (vctreepaint.cpp), and adds to the
// plain tree view: check boxes and radio buttons on nodes with a three-state cycle,
// multi-selection (optionally shown as check boxes, limited to one tree level), a hint window
// for node texts that do not fit, nodes whose DataText is a link opened on click, 3-D expand
// buttons, a delayed OnChange, and node events that pass the view and the node.
//
// The window may be destroyed and made again any number of times (a colour, the border, the
// state images): the nodes go through the node stream meanwhile, and everything a user set up
// comes back with them: full texts, check states, expansion, the top item, the selection, the
// multi-selection and the cut, drop-target and focus marks.
//
// Files: vctreeview.cpp (properties, window life, operations), vctreenotify.cpp (the window's
// notifications, the label editor), vctreeinput.cpp (mouse, keys, multi-selection, the node
// hint, dragging), vctreepaint.cpp (item painting).

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/dragdrop.h"
#include "platform/forms/hintwindow.h"
#include "platform/forms/wincontrol.h"
#include "vcontrols/treeview/vctreenode.h"

class TChangeLink;
class TCustomImageList;
class TImageList;
class TMemoryStream;
class TTimer;
class TvcCanvas;
class TvcTreeHintWindow;

KORCAM_ENUM(TvcTreeViewOption, tvoExpandOnDblClk, tvoExpandButtons3D, tvoFlatCheckBoxes, tvoHideSelection, tvoRowSelect,
            tvoShowButtons, tvoShowLines, tvoShowRoot, tvoHotTrack, tvoAutoURL, tvoToolTips, tvoEditText,
            tvo3StateCheckbox)
using TvcTreeViewOptions = TSet<TvcTreeViewOption>;
KORCAM_ENUM(TvcSortType, vcstNone, vcstData, vcstText, vcstBoth)
KORCAM_ENUM(TvcHitTest, vchtAbove, vchtBelow, vchtNowhere, vchtOnItem, vchtOnButton, vchtOnIcon, vchtOnIndent,
            vchtOnLabel, vchtOnRight, vchtOnStateIcon, vchtToLeft, vchtToRight)
using TvcHitTests = TSet<TvcHitTest>;
// The custom-draw item states, bit for bit (CDIS_SELECTED is bit 0 ... CDIS_INDETERMINATE bit 8).
KORCAM_ENUM(TvcItemState, vcisSelected, vcisGrayed, vcisDisabled, vcisChecked, vcisFocused, vcisDefault, vcisHot,
            vcisMarked, vcisIndeterminate)
using TvcItemStates = TSet<TvcItemState>;

using TvcTVChangedEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*>;
using TvcTVChangingEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*, bool&>;
using TvcTVCollapsingEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*, bool&>;
using TvcTVExpandingEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*, bool&>;
using TvcTVExpandedEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*>;
using TvcTVCompareEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*, TvcTreeNode*, int32_t, int32_t&>;
using TvcTVEditingEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*, bool&>;
using TvcTVEditedEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*, std::string&>;
using TvcTreeMouseEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*, TMouseButton, TShiftState, int32_t, int32_t>;
using TvcTreeMouseMoveEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*, TShiftState, int32_t, int32_t>;
using TvcToggleCheckboxEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*>;
using TvcCalcNodeAttributesEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*, TvcItemStates>;
using TvcTVDrawTextEvent = TEvent<TvcCustomTreeView*, TvcTreeNode*, RECT, TvcItemStates, bool&>;

// Called by the view for every node (not published; the tree combo keeps its text-to-image list
// with it): kind 0 right after a node was made (value empty), 1 when one is deleted, after
// OnDeletion (empty), 2 before a node's Text changes (the new text), 3 before its ImageIndex
// changes (the new index).
using TvcNodeChangeHook = std::function<void(TvcCustomTreeView* View, TvcTreeNode* Node, const TValue& Value,
                                             int32_t Kind)>;
// Makes a node of the view's node class.
using TvcTreeNodeFactory = TvcTreeNode* (*)(TvcTreeNodes* Owner);

class TvcTVMultiSelectAttributes : public TPersistent {
  KORCAM_CLASS(TvcTVMultiSelectAttributes, TPersistent)

 public:
  explicit TvcTVMultiSelectAttributes(TvcCustomTreeView* AView = nullptr) : FView(AView) {}
  PROPERTY(bool, Enabled, false)
  PLAIN_PROPERTY(bool, AutoUnselect, true)
  // -1: every level.
  PROPERTY(int32_t, MultiSelectLevel, 0)
  PROPERTY(bool, MultiSelectCheckbox, true)

 public:
  // Copies Enabled, MultiSelectCheckbox and MultiSelectLevel (not AutoUnselect).
  void Assign(TPersistent* Source) override;

 private:
  TvcCustomTreeView* FView;
};

class TvcCustomTreeView : public TWinControl, public TDragClient {
  KORCAM_CLASS(TvcCustomTreeView, TWinControl)

 public:
  explicit TvcCustomTreeView(TComponent* AOwner);
  ~TvcCustomTreeView() override;
  void BeforeDestruction() override;

  PROPERTY(bool, AutoExpand, false)
  PROPERTY(TBorderStyle, BorderStyle, bsSingle)
  PLAIN_PROPERTY(int32_t, ChangeDelay, 0)
  PROPERTY(TColor, LineColor, clBtnShadow)
  PROPERTY(TColor, InactiveFocusColor, clBtnFace)
  PROPERTY(TCustomImageList*, Images, nullptr)
  PROPERTY(TCustomImageList*, StateImages, nullptr)
  OWNED_PROPERTY(TvcTVMultiSelectAttributes, MultiSelectAttributes)
  PROPERTY(TvcTreeViewOptions, Options, tvoExpandOnDblClk, tvoHideSelection, tvoShowButtons, tvoShowLines, tvoShowRoot,
           tvoToolTips)
  OWNED_PROPERTY(TvcTreeNodes, Items)
  PROPERTY(bool, ReadOnly, false)
  PLAIN_PROPERTY(bool, RightClickSelects, false)
  PROPERTY(TvcSortType, SortType, vcstNone)
  PLAIN_PROPERTY(bool, StreamExpandedNode, false)
  // Streamed and kept; the paint is always buffered.
  PLAIN_PROPERTY(bool, UsePaintBuffering, false)
  PROPERTY(TDragMode, DragMode, dmManual)
  PLAIN_PROPERTY(TDragKind, DragKind, dkDrag)
  PLAIN_PROPERTY(TCursor, DragCursor, crDrag)
  PUBLISH_PROPERTY(TControl, bool, ParentColor, false)
  PUBLISH_PROPERTY(TWinControl, bool, TabStop, true)

 public:
  // The window's indent; kept across re-creations of the window. Always stored.
  int32_t Indent() const;
  void SetIndent(int32_t Value);
  PUBLISH_NODEFAULT(TvcCustomTreeView, int32_t, Indent)

  EVENT(TvcTVChangedEvent, OnChange)
  EVENT(TvcTVChangingEvent, OnChanging)
  EVENT(TvcTVCollapsingEvent, OnCollapsing)
  EVENT(TvcTVExpandedEvent, OnCollapsed)
  EVENT(TvcTVExpandingEvent, OnExpanding)
  EVENT(TvcTVExpandedEvent, OnExpanded)
  EVENT(TvcTVExpandedEvent, OnDeletion)
  EVENT(TvcTVExpandedEvent, OnGetImageIndex)
  EVENT(TvcTVExpandedEvent, OnGetSelectedIndex)
  EVENT(TvcTVCompareEvent, OnCompare)
  EVENT(TvcTVEditingEvent, OnEditing)
  EVENT(TvcTVEditedEvent, OnEdited)
  EVENT(TvcTreeMouseEvent, OnMouseDown)
  EVENT(TvcTreeMouseEvent, OnMouseUp)
  EVENT(TvcTreeMouseEvent, OnDblClick)
  EVENT(TvcTreeMouseMoveEvent, OnMouseMove)
  EVENT(TvcToggleCheckboxEvent, OnToggleCheckbox)
  EVENT(TvcCalcNodeAttributesEvent, OnCalcNodeAttributes)
  EVENT(TvcTVDrawTextEvent, OnDrawText)
  EVENT(TStartDragEvent, OnStartDrag)
  EVENT(TDragOverEvent, OnDragOver)
  EVENT(TDragDropEvent, OnDragDrop)
  EVENT(TEndDragEvent, OnEndDrag)

 public:
  // ---- operations --------------------------------------------------------------------------------
  TvcTreeNode* Selected() const;
  void SetSelected(TvcTreeNode* Value);
  TvcTreeNode* TopItem() const;
  void SetTopItem(TvcTreeNode* Value);
  // The drop-highlighted node, else the last drop target.
  TvcTreeNode* DropTarget() const;
  void SetDropTarget(TvcTreeNode* Value);
  TvcTreeNode* GetNodeAt(int32_t X, int32_t Y) const;
  TvcHitTests GetHitTestInfoAt(int32_t X, int32_t Y) const;
  bool IsEditing() const;
  void FullExpand();
  void FullCollapse();
  bool AlphaSort();
  bool CustomSort(TvcTVCompare Compare, int32_t Data);
  int32_t ItemHeight() const;
  void InvalidateNode(TvcTreeNode* Node);
  void InvalidateAll();
  bool IsMultiSelectLevel(int32_t Level) const;
  bool IsMultiSelectCheckbox(TvcTreeNode* Node) const;
  bool HasCheckbox(TvcTreeNode* Node) const;
  // Adds Node to the multi-selection or takes it out (only on a multi-select level).
  virtual void MultiSelectNode(TvcTreeNode* Node, bool Select, bool Redraw);
  // Every listed node but Keep loses its multi-selection; the list then holds only Keep.
  void ClearMultiSelect(TvcTreeNode* Keep);
  const std::vector<TvcTreeNode*>& MultiSelectList() const { return FMultiSelectList; }
  // The node the range selection starts from (the last one clicked without Shift).
  TvcTreeNode* RangeAnchor() const { return FRangeAnchor; }
  int32_t StreamVersion() const { return FStreamVersion; }
  void SetStreamVersion(int32_t Value) { FStreamVersion = Value; }
  void SetNodeClass(TvcTreeNodeFactory Factory) { FNodeFactory = Factory; }
  TvcCanvas* Canvas() const { return FCanvas.get(); }
  // Drags the view (see platform/forms/dragdrop.h): the drag node, the drop target under the
  // pointer, OnStartDrag, OnDragOver, OnDragDrop and OnEndDrag.
  void BeginDrag(bool Immediate, int32_t Threshold);
  bool Dragging() const;
  // The blank state list every view without StateImages gives its window.
  static HIMAGELIST SharedBlankList();
  TvcTreeNode* RightClickedNode() const { return FRightClickedNode; }
  TvcTreeNode* EditedNode() const { return FEditNode; }
  TvcTreeNode* HintNode() const { return FHintNode; }
  TvcTreeHintWindow* HintWindow() const { return FHintWindow; }
  bool ManualNotify() const { return FManualNotify; }
  void SetManualNotify(bool Value) { FManualNotify = Value; }

  TvcNodeChangeHook NodeChangeHook;

  // ---- geometry of an item's row, as the painting uses it (client coordinates) ------------------
  RECT GetButtonRect(TvcTreeNode* Node) const;
  static POINT GetRectCenter(const RECT& Rect);
  int32_t GetButtonX(TvcTreeNode* Node) const;
  bool ShowsImage(TvcTreeNode* Node) const;
  bool ShowsStateImage(TvcTreeNode* Node) const;
  int32_t StateImageWidth() const;

  // ---- extension points, in the order descendants meet them ----------------------------------------
  // A new node of the node class (owner Items), announced to NodeChangeHook (kind 0).
  virtual TvcTreeNode* CreateNode();
  // OnGetImageIndex / OnGetSelectedIndex: the handler may set the node's index before the
  // window is told it.
  virtual void GetImageIndex(TvcTreeNode* Node);
  virtual void GetSelectedIndex(TvcTreeNode* Node);
  // The node's row top (UseTop) or bottom lies inside the client area.
  virtual bool IsRowVisible(TvcTreeNode* Node, bool UseTop) const;
  // OnDrawText; DefaultDrawing says whether the view draws the text itself.
  virtual void DoDrawText(TvcTreeNode* Node, RECT Rect, TvcItemStates State, bool& DefaultDrawing);
  virtual int32_t CompareNodes(TvcTreeNode* Node1, TvcTreeNode* Node2, int32_t Data);
  virtual void CalcNodeAttributes(TvcTreeNode* Node, TvcItemStates State);
  virtual std::string GetDisplayText(TvcTreeNode* Node);
  virtual bool IsRowSelect() const;
  // A press on a 3-D expand button: the button follows the pointer until the release.
  virtual void ExpandButtonClick(int32_t X, int32_t Y);
  virtual void BeginPainting();
  virtual void EndPainting() {}
  virtual void PaintItemBackground(TvcTreeNode* Node, RECT Rect, TvcItemStates State) {}
  virtual void PaintItem(TvcTreeNode* Node, RECT Rect, TvcItemStates State);
  virtual void AfterPaintItem(TvcTreeNode* Node, RECT Rect, TvcItemStates State) {}
  virtual void ToggleCheckbox(TvcTreeNode* Node);
  virtual void HideNodeHint();
  virtual TvcTreeHintWindow* CreateHintWindow(TvcTreeNode* Node);

  // ---- event dispatchers ---------------------------------------------------------------------------
  virtual bool CanEdit(TvcTreeNode* Node);
  virtual bool CanChange(TvcTreeNode* Node);
  virtual bool CanCollapse(TvcTreeNode* Node);
  virtual bool CanExpand(TvcTreeNode* Node);
  virtual void Change(TvcTreeNode* Node);
  virtual void Collapse(TvcTreeNode* Node);
  virtual void Expand(TvcTreeNode* Node);
  virtual void Delete(TvcTreeNode* Node);
  virtual void Edit(const TVITEMA& Item);

  void Dispatch(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TvcTreeNode;
  friend class TvcTreeNodes;
  friend LRESULT TreeEditSubclass(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  // Drag and drop (vctreedrag.cpp).
  void DragStarting(TDragObject& Drag) override;
  HIMAGELIST DragImage(POINT& HotSpot) override;
  void DragOverTarget(TDragObject& Drag, int X, int Y, TDragState State, bool& Accept) override;
  void DragDropTarget(TDragObject& Drag, int X, int Y) override;
  void DragEnded(TDragObject& Drag, TControl* Target, int X, int Y) override;

  // ---- message handlers (vctreenotify.cpp, vctreeinput.cpp, vctreepaint.cpp) -----------------------
  void CNNotify(TMessage& Message);
  void CustomDraw(TMessage& Message);
  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMLButtonDown(TMessage& Message);
  void WMLButtonDblClk(TMessage& Message);
  void WMRButtonDown(TMessage& Message);
  void WMDestroy(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMSysColorChange(TMessage& Message);
  void CMExit(TMessage& Message);

  // ---- steps ---------------------------------------------------------------------------------------
  // Sets or clears a window style bit (read-modify-write of GWL_STYLE) and repaints.
  void SetStyleBit(DWORD Bit, bool On);
  void ImageListChange(TObject* Sender);
  void SetImageList(HIMAGELIST Handle, WPARAM Which);
  // Where the window item's state image differs from the one StateIndex gives, StateIndex is set
  // again.
  void SyncStateImages();
  void ResetStateImages();
  friend class TvcTVMultiSelectAttributes;
  void ChangeTimerTick(TObject* Sender);
  void StopChangeTimer();
  void HintTimerTick(TObject* Sender);
  void UpdateNodeHint(TvcTreeNode* Node);
  void StartEditSubclass(HWND Edit);
  // The three-state cycle of a click or the space bar (radio: checked, not grayed).
  void StepCheckState(TvcTreeNode* Node);
  // Multi-selection by a left click (the rules of the click with Shift, Ctrl, AutoUnselect).
  void MultiSelectClick(TvcTreeNode* Node, TShiftState Shift, int32_t X, int32_t Y);
  // Painting steps (vctreepaint.cpp).
  void DrawLines(TvcTreeNode* Node);
  void DrawExpandButton(TvcTreeNode* Node, POINT Center, int32_t Size);
  void PaintImages(TvcTreeNode* Node, TvcItemStates State);
  void SetItemColors(TvcTreeNode* Node, TvcItemStates State);
  // The node of an item handle from a notification.
  TvcTreeNode* NodeOfItem(HTREEITEM Item) const;
  // A node is going away: nothing of the view may point at it afterwards.
  void NodeGone(TvcTreeNode* Node);
  void SaveNodes();
  void RestoreNodes();

  std::unique_ptr<TvcCanvas> FCanvas;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  std::unique_ptr<TChangeLink> FStateChangeLink;
  TvcTreeNodeFactory FNodeFactory;
  std::vector<TvcTreeNode*> FMultiSelectList;
  TvcTreeNode* FRangeAnchor = nullptr;
  TvcTreeNode* FSelectedAtMouseDown = nullptr;
  TvcTreeNode* FNodeAtMouseDown = nullptr;
  TvcTreeNode* FPressedButtonNode = nullptr;
  bool FButtonPushed = false;
  TvcTreeNode* FEditNode = nullptr;
  HWND FEditWindow = nullptr;
  WNDPROC FEditDefProc = nullptr;
  bool FEditStarted = false;
  TvcTreeHintWindow* FHintWindow = nullptr;
  TTimer* FHintTimer = nullptr;
  int32_t FHintTicks = 0;
  TvcTreeNode* FHintNode = nullptr;
  TvcTreeNode* FRightClickedNode = nullptr;
  TvcTreeNode* FDragNode = nullptr;
  TvcTreeNode* FLastDropTarget = nullptr;
  TTimer* FChangeTimer = nullptr;
  TvcTreeNode* FChangeNode = nullptr;
  int32_t FStreamVersion = 0;
  int32_t FIndent = -1;
  // The nodes while the window does not exist, with what the stream does not carry.
  struct TSavedNode {
    std::string Text;
    bool Expanded = false, MultiSelected = false, Cut = false, DropTarget = false, Focused = false;
  };
  std::unique_ptr<TMemoryStream> FSavedStream;
  std::vector<TSavedNode> FSavedNodes;
  std::vector<int32_t> FSavedMultiSelect;  // absolute indexes, in selection order
  int32_t FSavedRangeAnchor = -1;
  int32_t FSavedTopIndex = -1;
  int32_t FSavedSelectedIndex = -1;
  bool FManualNotify = false;
  bool FClearing = false;
  bool FDestroyingWindow = false;
  bool FNoErase = false;
  bool FWindowStartedDrag = false;
  HIMAGELIST FDragImage = nullptr;
  int32_t FPaintIndent = 0;
};

class TvcTreeView : public TvcCustomTreeView {
  KORCAM_CLASS(TvcTreeView, TvcCustomTreeView)

 public:
  explicit TvcTreeView(TComponent* AOwner) : TvcCustomTreeView(AOwner) {}
};

// The hint of a node text that does not fit (tvoToolTips): the node's text at 2 pixels from the
// left and top, in the view's font, in the hint text colour, or blue and underlined for a link.
class TvcTreeHintWindow : public THintWindow {
  KORCAM_CLASS(TvcTreeHintWindow, THintWindow)

 public:
  explicit TvcTreeHintWindow(TComponent* AOwner);
  // Drawn as a link (tvoAutoURL and a DataText).
  bool Link = false;

 protected:
  // Its frame is the black rectangle it paints, not a window border.
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
};
