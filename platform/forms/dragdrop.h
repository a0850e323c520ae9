#pragma once
// Drag and drop between controls. A control that takes part implements TDragClient; BeginDrag
// starts dragging it. From then on the engine holds the pointer: each move asks the control
// under the pointer (when it is a TDragClient) whether it would take the drop (entering, moving
// over, leaving), shows the source's drag image beside the pointer and the drag cursor or the
// no-drop cursor; releasing the button over a control that accepts drops there; Escape, a lost
// capture or a release elsewhere ends the drag without a drop. Either way the source hears how
// it ended. Docking (DragKind dkDock) is not offered.
//
// The drag runs in a loop of its own while the button is held, like the window system's own
// drag detection; messages that are not mouse or key messages are dispatched meanwhile.

#include "platform/classes/events.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/wintypes.h"

class TControl;
struct TDragObject;

KORCAM_ENUM(TDragMode, dmManual, dmAutomatic)
KORCAM_ENUM(TDragKind, dkDrag, dkDock)
KORCAM_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove)

// The events of controls that take part (Sender first): OnStartDrag, OnDragOver (Accept starts
// true when the handler is assigned), OnDragDrop, OnEndDrag (Target nullptr: not dropped).
using TStartDragEvent = TEvent<TObject*, TDragObject*>;
using TDragOverEvent = TEvent<TObject*, TObject*, int32_t, int32_t, TDragState, bool&>;
using TDragDropEvent = TEvent<TObject*, TObject*, int32_t, int32_t>;
using TEndDragEvent = TEvent<TObject*, TObject*, int32_t, int32_t>;

// The drag in progress.
struct TDragObject {
  TControl* Source = nullptr;
  POINT Position{};       // the pointer, screen coordinates
  TControl* Target = nullptr;  // the control under the pointer that takes part, if any
  bool Accepted = false;       // whether Target would take the drop there
};

class TDragClient {
 public:
  virtual ~TDragClient() = default;
  // As the source: the drag begins (before the first move).
  virtual void DragStarting(TDragObject& Drag) {}
  // As the source: the image shown beside the pointer (image 0 of the list) and the point of it
  // that sits under the pointer; nullptr shows none. The list stays the source's.
  virtual HIMAGELIST DragImage(POINT& HotSpot) { return nullptr; }
  // As a target (client coordinates): would the drop be taken here? Accept starts false.
  virtual void DragOverTarget(TDragObject& Drag, int X, int Y, TDragState State, bool& Accept) {}
  virtual void DragDropTarget(TDragObject& Drag, int X, int Y) {}
  // As the source: the drag ended, dropped on Target at its client point (X, Y), or not
  // dropped (Target nullptr).
  virtual void DragEnded(TDragObject& Drag, TControl* Target, int X, int Y) {}
};

// Drags Source (a TDragClient, or nothing happens). Immediate false: the drag begins once the
// pointer has moved Threshold pixels (-1: the system's SM_CXDRAG) with the left button held; a
// release before is no drag. From: the screen point the distance is measured from (nullptr:
// where the pointer is now). Returns when the drag has ended.
void BeginDrag(TControl* Source, bool Immediate, int Threshold, const POINT* From = nullptr);
// Whether Control is being dragged now.
bool IsDragging(const TControl* Control);
// Ends the drag in progress (Drop: on the current target when it accepts).
void EndDrag(bool Drop);
