#pragma once
// TTrackBar: a slider over the whole numbers Min to Max, with a thumb at Position and tick marks
// beside the channel (at the bottom by default).
//
// Position is always within Min..Max; every change of it raises OnChange, whether the user moved
// the thumb or the program set it (handlers that follow a playing movie rely on that). The user
// moves it with the keys while the bar has the focus (Left and Up by LineSize down, Right and
// Down up, Page Up and Page Down by PageSize, Home and End to the ends), by dragging the thumb,
// and by pressing the channel beside the thumb, which steps by PageSize towards the mouse and
// repeats while the button stays down. A click takes the focus.
//
// Ticks: with TickStyle tsAuto one every Frequency values from Min, and one at Max; tsManual
// only at both ends; tsNone none. ThumbLength is the thumb's height across the channel.

#include <vector>

#include "platform/forms/customcontrol.h"

KORCAM_ENUM(TTickMark, tmBottomRight, tmTopLeft, tmBoth)
KORCAM_ENUM(TTickStyle, tsNone, tsAuto, tsManual)

class TTrackBar : public TCustomControl {
  KORCAM_CLASS(TTrackBar, TCustomControl)

 public:
  explicit TTrackBar(TComponent* AOwner);
  ~TTrackBar() override;

  PROPERTY(int32_t, Min, 0)
  PROPERTY(int32_t, Max, 10)
  PROPERTY(int32_t, Position, 0)
  PLAIN_PROPERTY(int32_t, LineSize, 1)
  PLAIN_PROPERTY(int32_t, PageSize, 2)
  PROPERTY(int32_t, Frequency, 1)
  PROPERTY(TTickMark, TickMarks, tmBottomRight)
  PROPERTY(TTickStyle, TickStyle, tsAuto)
  PROPERTY(int32_t, ThumbLength, 20)
  PROPERTY(bool, SliderVisible, true)
  PUBLISH_PROPERTY(TWinControl, bool, TabStop, true)
  EVENT(TNotifyEvent, OnChange)

 public:
  // Both ends at once (Position is kept within them).
  void SetRange(int32_t AMin, int32_t AMax);
  // Geometry, in client coordinates: the channel, the thumb, the centre of a value.
  RECT ChannelRect();
  RECT ThumbRect();
  int ValueToX(int32_t Value);
  // The value nearest to an x along the channel.
  int32_t XToValue(int X);
  // The values a tick is drawn at.
  std::vector<int32_t> Ticks() const;
  void Dispatch(TMessage& Message) override;
  // A position read before its range is brought within it (without OnChange).
  void Loaded() override;

 protected:
  virtual void Changed();
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  int ThumbWidth() const;
  int ThumbTop() const;
  // One page step towards the point the mouse holds down; false once the thumb is there.
  bool PageTowardsMouse();
  void StopTracking();

  bool FDraggingThumb = false;
  int FDragOffset = 0;  // from the mouse to the thumb's centre
  bool FPaging = false;
  POINT FPagePoint{0, 0};
  UINT_PTR FRepeatTimer = 0;
};
