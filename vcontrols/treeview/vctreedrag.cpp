// The tree view in drag and drop: as the source it drags its drag node (the one the window saw
// the drag start on, else the node under the pointer) with the window's drag image; as a target
// the node under the pointer is highlighted as the drop target, and the node last highlighted
// stays the drop target after the pointer leaves, until the drop or the end of the drag.

#include "platform/forms/imagelistapi.h"
#include "platform/user/user.h"
#include "vcontrols/treeview/vctreeview.h"

void TvcCustomTreeView::BeginDrag(bool Immediate, int32_t Threshold) { ::BeginDrag(this, Immediate, Threshold); }

bool TvcCustomTreeView::Dragging() const { return IsDragging(this); }

void TvcCustomTreeView::DragStarting(TDragObject& Drag) {
  if (!FDragNode) {
    POINT Cursor{};
    GetCursorPos(&Cursor);
    const POINT Point = ScreenToClient(Cursor);
    FDragNode = GetNodeAt(Point.x, Point.y);
  }
  FLastDropTarget = nullptr;
  if (FDragImage) ImageList_Destroy(FDragImage);
  FDragImage = nullptr;
  if (FDragNode && HandleAllocated())
    FDragImage = HIMAGELIST(
        SendMessageA(HandleIfAllocated(), TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(FDragNode->ItemId())));
  OnStartDrag(this, &Drag);
}

HIMAGELIST TvcCustomTreeView::DragImage(POINT& HotSpot) {
  HotSpot = POINT{2, 2};
  return FDragImage && ImageList_GetImageCount(FDragImage) > 0 ? FDragImage : nullptr;
}

void TvcCustomTreeView::DragOverTarget(TDragObject& Drag, int X, int Y, TDragState State, bool& Accept) {
  if (State == dsDragLeave) {
    if (TvcTreeNode* Current = DropTarget()) FLastDropTarget = Current;
    if (HandleAllocated()) SendMessageA(HandleIfAllocated(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
  } else if (TvcTreeNode* Node = GetNodeAt(X, Y); Node && !Node->DropTarget()) {
    Node->SetDropTarget(true);
    Update();
  }
  Accept = bool(OnDragOver);
  OnDragOver(this, Drag.Source, X, Y, State, Accept);
}

void TvcCustomTreeView::DragDropTarget(TDragObject& Drag, int X, int Y) {
  OnDragDrop(this, Drag.Source, X, Y);
  FLastDropTarget = nullptr;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
}

void TvcCustomTreeView::DragEnded(TDragObject& Drag, TControl* Target, int X, int Y) {
  FLastDropTarget = nullptr;
  FDragNode = nullptr;
  if (HandleAllocated()) SendMessageA(HandleIfAllocated(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
  OnEndDrag(this, Target, X, Y);
}
