#pragma once
// THintWindow: the small pop-up that shows a control's hint. It is a top-most tool window that
// never takes the activation or the mouse (hits pass through it), sized to its text by
// CalcHintRect and shown at a screen rectangle by ActivateHint.

#include "platform/forms/customcontrol.h"

class THintWindow : public TCustomControl {
  KORCAM_CLASS(THintWindow, TCustomControl)

 public:
  explicit THintWindow(TComponent* AOwner);

  // Shows AHint in Rect (screen coordinates, moved inside the screen), without activating.
  virtual void ActivateHint(RECT Rect, const std::string& AHint);
  virtual void ActivateHintData(RECT Rect, const std::string& AHint, void* AData);
  // The rectangle the text needs (origin 0, 0), wrapped at MaxWidth.
  virtual RECT CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
  // Whether Msg (input) should take the hint away.
  virtual bool IsHintMsg(const MSG& Msg) const;
  // Hides the hint by destroying its window.
  void ReleaseHandle();
  // Shown now.
  bool Active() const;

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
};
