#pragma once
// TCustomControl: a windowed control that draws itself. Paint is called with Canvas bound to the
// paint DC (the window's own, or the DC of a copy being painted when csPaintCopy is set).

#include <memory>

#include "platform/forms/controlcanvas.h"
#include "platform/forms/wincontrol.h"

class TCustomControl : public TWinControl {
  KORCAM_CLASS(TCustomControl, TWinControl)

 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;

  TCanvas* Canvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

 protected:
  // Draws the control on Canvas. The default draws nothing.
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};
