#pragma once
// TSplitter: a bar between an aligned control and the rest of its parent that the user drags to
// give that control another size. The control it resizes is the visible one aligned to the same
// side that the splitter touches (for a left splitter, the left-aligned control whose right edge
// is the splitter's left edge).
//
// While the left button holds it, a hatched line (ResizeStyle rsPattern; rsLine: a solid one)
// shows where the edge will go, drawn over the parent and its children with an inverting
// pattern, so drawing it twice leaves the picture as it was; rsUpdate resizes as the mouse
// moves, rsNone only at the end. The size stays within MinSize and what leaves the parent's other
// side at least MinSize too; OnCanResize may change or refuse each size. Releasing the button
// applies the size, and OnMoved follows when it changed. Escape during the drag puts everything
// back. A hidden splitter takes no room and cannot be dragged.

#include "platform/forms/graphiccontrol.h"

KORCAM_ENUM(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern)

using TCanResizeEvent = TEvent<TObject*, int&, bool&>;

class TSplitter : public TGraphicControl {
  KORCAM_CLASS(TSplitter, TGraphicControl)

 public:
  explicit TSplitter(TComponent* AOwner);
  ~TSplitter() override;
  void BeforeDestruction() override;

  PUBLISH_PROPERTY(TControl, TAlign, Align, alLeft)
  PUBLISH_PROPERTY(TControl, TCursor, Cursor, crHSplit)
  PROPERTY(bool, Beveled, false)
  PLAIN_PROPERTY(int32_t, MinSize, 30)
  PLAIN_PROPERTY(TResizeStyle, ResizeStyle, rsPattern)
  EVENT(TCanResizeEvent, OnCanResize)
  EVENT(TNotifyEvent, OnMoved)
  EVENT(TNotifyEvent, OnPaint)

 public:
  // The control a drag resizes now (nullptr: none), and whether a drag is going on.
  TControl* ResizeControl();
  bool Dragging() const { return FDragging; }
  // Ends a drag without changing anything (Escape does this).
  void CancelDrag();
  void Dispatch(TMessage& Message) override;
  // A top or bottom splitter read with the horizontal-split cursor gets the vertical one.
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;
  // OnCanResize; false refuses NewSize.
  virtual bool CanResizeTo(int& NewSize);
  virtual void StopSizing(bool Apply);

 private:
  bool Horizontal() const { return FAlign == alLeft || FAlign == alRight; }
  // The size the control would get for the mouse at a point of the splitter.
  int SizeFor(int X, int Y) const;
  void ApplySize(TControl* Control, int Size);
  void ToggleLine();
  RECT LineRect() const;

  TControl* FControl = nullptr;
  POINT FDownPos{0, 0};
  int FOldSize = 0;
  int FNewSize = 0;
  int FMaxSize = 0;
  bool FDragging = false;
  bool FLineShown = false;
  HDC FLineDC = nullptr;
  HBRUSH FLineBrush = nullptr;
  HHOOK FEscapeHook = nullptr;
};
