#pragma once
// The up/down buttons of the spin edit: TkvSpinButton holds two TkvTimerSpeedButtons, the upper
// one steps up and the lower one down. A speed button held down repeats its click: the first
// repeat comes 400 ms after the press, then one every 100 ms, and the class library's speed
// button clicks once more when the mouse is released over it.

#include "platform/forms/buttons.h"
#include "platform/forms/timer.h"
#include "platform/forms/wincontrol.h"

class TkvDBSpinEdit;

class TkvTimerSpeedButton : public TSpeedButton {
  KORCAM_CLASS(TkvTimerSpeedButton, TSpeedButton)

 public:
  explicit TkvTimerSpeedButton(TComponent* AOwner);
  ~TkvTimerSpeedButton() override;

  // Set by the spin button: a press repeats.
  bool AutoRepeat() const { return FAutoRepeat; }
  void SetAutoRepeat(bool Value) { FAutoRepeat = Value; }
  // The mouse is over the button (the spin button resets it when the edit loses the focus).
  bool MouseInside() const { return FMouseInside; }
  void SetMouseInside(bool Value) { FMouseInside = Value; }
  // The spin edit whose button this is (painting asks it about focus and the erase guard).
  TkvDBSpinEdit* SpinEdit() const;
  // The repeat timer; made on the first press.
  TTimer* RepeatTimer() const { return FRepeatTimer; }
  // Which arrow the button shows (when it has no glyph of its own).
  bool UpArrow() const { return FUpArrow; }
  void SetUpArrow(bool Value) { FUpArrow = Value; }

  void Dispatch(TMessage& Message) override;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;

 private:
  void TimerExpired(TObject* Sender);
  // Repaints what lies behind a flat or transparent spin button.
  void RefreshParentBehind();

  TTimer* FRepeatTimer = nullptr;
  bool FAutoRepeat = false;
  bool FMouseInside = false;
  bool FUpArrow = true;
};

class TkvSpinButton : public TWinControl {
  KORCAM_CLASS(TkvSpinButton, TWinControl)

 public:
  explicit TkvSpinButton(TComponent* AOwner);

  // Both buttons' Flat; reading gives the upper one's.
  ACCESSOR_PROPERTY(bool, Flat, false)

 public:
  TkvTimerSpeedButton* UpButton() const { return FUpButton; }
  TkvTimerSpeedButton* DownButton() const { return FDownButton; }
  // Set by the spin edit.
  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(TMessage& Message) override;
  // The upper button takes the top half; the lower one starts one pixel above the middle, so the
  // two share a row.
  void LayoutButtons();

 private:
  void ButtonClick(TObject* Sender);

  TkvTimerSpeedButton* FUpButton = nullptr;
  TkvTimerSpeedButton* FDownButton = nullptr;
};

// Draws the arrow of a spin button (Up: pointing up), 7 x 4 pixels centred in Rect; grey when
// disabled, one pixel lower and to the right while pressed.
void kvDrawSpinArrow(TCanvas* Canvas, const RECT& Rect, bool Up, bool Enabled, bool Pressed);
